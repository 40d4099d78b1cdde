// The RFD files of the Z reductions of a range of movement dates, one reduction at a time
// from the printer's detail tape.
#include <filesystem>
#include <stdexcept>

#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/intervalo.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/fiscalfiles/sintegra.h"
#include "driver/protocols/familia0/f0_consultas.h"
#include "driver/protocols/familia0/f0_leituras.h"
#include "driver/protocols/familia0/parametros.h"

using namespace tarvo;

namespace {

constexpr int kReducaoInexistente = 1001;

// The host's inputs of the storage mode: the detail-tape text, the rate tables and the
// counters of each reduction. Emptying the scratch folder for a run keeps them.
bool EntradaArmazenamento(const std::string& nome) {
    if (nome == "DETALHE.TXT") return true;
    return (nome.starts_with("ALQ_") || nome.starts_with("E11_")) && nome.size() > 8 &&
           nome.ends_with(".TXT");
}

void EsvaziaMenosEntradas() {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> apagar;
    for (const auto& entrada : fs::directory_iterator(DiretorioTemporarioRFD(), ec))
        if (!entrada.is_directory(ec) && !EntradaArmazenamento(entrada.path().filename().string()))
            apagar.push_back(entrada.path().string());
    for (const std::string& nome : apagar) ApagaArquivo(nome);
}

int Numero(const std::string& texto) {
    const std::string d = SomenteNumeros(texto);
    if (d.empty() || d.size() > 9) return 0;
    return std::stoi(d);
}

// The first reduction whose date lies after `fim`, through the date reading by name; 0 when
// none does. The result is that of the first reading that failed, else 1.
int PrimeiraReducaoDepois(const std::string& fim, int& achada) {
    achada = 0;
    std::string crz;
    int r = consultas::LeInteiro("CRZ", crz);
    if (r != 1) return r;
    const int total = Numero(crz);
    for (int n = 1; n <= total; ++n) {
        r = EnviaComandoTxt("LeData", "NomeData=\"DataReducao[" + std::to_string(n) + "]\"");
        if (r != 1) return r;
        if (ComparaDatas(Resposta().ValorResposta, fim) > 0) {
            achada = n;
            return 1;
        }
    }
    return 1;
}

int ConverteIntervalo(const std::string& inicio, const std::string& fim) {
    EstadoDriver& estado = Estado();
    int primeira = 0, ultima = 0;
    auto campos = [&] {
        return inicio + "," + fim + "Inicio=" + std::to_string(primeira) + "," + std::to_string(ultima);
    };
    GravaLog("*** Debug1(" + campos());
    if (intervalo::DatasInvertidas(inicio, fim)) return 0;
    int r = 1;
    if (Config().Debugger) {
        primeira = ultima = 121;
    } else {
        ReducoesDoPeriodo periodo;
        r = RixReducoesDoPeriodo(inicio, fim, periodo);
        if (r == 1) {
            primeira = Numero(periodo.primeira);
            ultima = Numero(periodo.ultima);
        }
    }
    GravaLog("*** Debug2(" + campos());
    if (r != 1) {
        if (Erro().UltimoRetorno != intervalo::kSemDados) return r;
        int achada = 0;
        const int leitura = PrimeiraReducaoDepois(fim, achada);
        if (leitura != 1 || achada == 0) {
            // Readings that worked but found no reduction are no success either.
            intervalo::InformaSemReducao();
            return leitura != 1 ? leitura : 0;
        }
        primeira = ultima = achada;
    }

    // The fiscal memory is not read again for each reduction of the loop; on again afterwards,
    // also when a conversion throws.
    estado.EmiteLMF_RFD = false;
    struct Religa {
        ~Religa() { Estado().EmiteLMF_RFD = true; }
    } religa;
    ApagaArquivo(DiretorioTemporarioRFD() + "LEITMF.TXT");
    ApagaArquivo(DiretorioTemporarioRFD() + "SINT.TXT");
    ApagaArquivo(DiretorioTemporarioRFD() + "SINTEGRA.TXT");
    EsvaziaMenosEntradas();
    GravaLog("*** Debug3(" + campos());
    if (Config().Debugger)
        GravaLog("Modo Debug3 - Nao deve ser usado em producao");
    else
        ++ultima;  // the reduction after the period's last one holds the period's last day too

    GravaLog("*** Lendo intervalo(" + std::to_string(primeira) + " ate " + std::to_string(ultima));
    int n = primeira;
    for (; n <= ultima; ++n) {
        r = RFD_ConvertedaMFDTexto(std::to_string(n));
        if (r != 1) break;
    }
    // The reduction after the last one may not exist yet.
    if (r != 1 && n == ultima &&
        (Erro().UltimoRetorno == kReducaoInexistente || Erro().UltimoRetorno == intervalo::kSemDados))
        r = 1;
    // A range whose reductions all lie outside it (before the first Z) wrote no file.
    if (r == 1 && PeriodoBuscaSintegra().arquivos == 0) return intervalo::InformaSemReducao();
    if (r == 1 && estado.GeraSintegraAtivo) {
        // The SINTEGRA file from the lines that the conversions left in "SINT.TXT".
        try {
            OpcoesSintegra& o = Sintegra();
            if (o.Flag60D) MontaRegistros60D();
            if (o.Flag60R) MontaRegistros60R();
            o.Registro10 = Registro10NoPeriodo(o.Registro10, FormataData(inicio), FormataData(fim));
            GravaArquivoSintegra();
        } catch (const std::exception& e) {
            DefineErro(Falha::ConsolidacaoSintegra, {"RFD_ConvertedaMFDData", e.what()});
            GravaLog(Erro().UltimaMensagem);
            r = 0;
        }
    }
    // A success leaves no error behind (the reduction after the last one may have failed).
    if (r == 1) DefineErro(Falha::Nenhuma);
    return r;
}

}  // namespace

extern "C" TARVO_API int RFD_ConvertedaMFDData(const char* DataInicial, const char* DataFinal) {
    return Protegido([&] {
        TARVO_LIMITA(RFD_ConvertedaMFDData, DataInicial);
        TARVO_LIMITA(RFD_ConvertedaMFDData, DataFinal);
        const std::string inicio = DataInicial ? DataInicial : "", fim = DataFinal ? DataFinal : "";
        PeriodoBuscaSintegra() = {FormataData(inicio), FormataData(fim)};
        int resultado = 0;
        try {
            resultado = ConverteIntervalo(inicio, fim);
        } catch (const std::exception& e) {
            GravaLog(std::string("RFD_ConvertedaMFDData: ") + e.what());
            DefineErro(-1, e.what());
            resultado = 0;
        }
        Estado().GeraSintegraAtivo = false;
        PeriodoBuscaSintegra() = {};
        return resultado;
    });
}
