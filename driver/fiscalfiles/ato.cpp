#include "driver/fiscalfiles/ato.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/campo_ato.h"
#include "driver/fiscalfiles/intervalo.h"
#include "driver/fiscalfiles/leituras_fiscais.h"
#include "driver/fiscalfiles/memorias.h"
#include "driver/fiscalfiles/registros_ato.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "platform/arquivo.h"
#include "platform/biblioteca.h"
#include "platform/pastas.h"
#include "tarvo.h"

namespace tarvo::ato {

namespace {

// The serial number as Tarvo_NumeroSerie answers it, right-trimmed; its result in `r`.
std::string NumeroSerie(int& r) {
    char buffer[22];
    std::memset(buffer, 0, sizeof buffer);
    r = ::Tarvo_NumeroSerie(buffer);
    buffer[sizeof buffer - 1] = '\0';
    return AparaDireita(buffer);
}

void RetornoLeitura(const char* exportacao, int r) {
    memorias::InformaRetornoLeitura(r);
    GravaLog(std::string("Retorno da fun\xE7\xE3o ") + exportacao + ":" + std::to_string(r) + " - " +
             Erro().UltimaMensagem);
}

// A dd/mm/yyyy answer as its three numbers; false when it is no such date.
bool SeparaData(const std::string& texto, int& ano, int& mes, int& dia) {
    std::string d = Apara(texto);
    if (d.size() != 10 || d[2] != '/' || d[5] != '/') return false;
    std::string digitos = d.substr(0, 2) + d.substr(3, 2) + d.substr(6, 4);
    if (!EhNumerico(digitos)) return false;
    dia = std::stoi(digitos.substr(0, 2));
    mes = std::stoi(digitos.substr(2, 2));
    ano = std::stoi(digitos.substr(4, 4));
    return dia >= 1 && dia <= 31 && mes >= 1 && mes <= 12;
}

std::string Aaaammdd(int ano, int mes, int dia) {
    return PreencheZerosEsquerda(std::to_string(ano), 4) + PreencheZerosEsquerda(std::to_string(mes), 2) +
           PreencheZerosEsquerda(std::to_string(dia), 2);
}

std::string NomeSemPasta(const std::string& arquivo) {
    std::size_t barra = arquivo.find_last_of("/\\");
    return barra == std::string::npos ? arquivo : arquivo.substr(barra + 1);
}

}  // namespace

std::string ExtensaoArquivoRFD(int ano, int mes, int dia) {
    return ExtensaoRFDData(Aaaammdd(ano, mes, dia));
}

char CaracterPeriodo(int tipoPeriodo) {
    switch (tipoPeriodo) {
        case 0:
            return 'D';
        case 2:
            return 'C';
        default:
            return 'M';
    }
}

const char* TextoLeitura(int tipoLeitura) {
    switch (tipoLeitura) {
        case 1:
            return "MF";
        case 2:
            return "MFD";
        default:
            return "TDM";
    }
}

int GeraArquivoATO17Binario(const std::string& dump, const std::string& saida, const std::string& inicio,
                            const std::string& fim, char tipoPeriodo, const std::string& usuario,
                            const std::string& tipoLeitura) {
    GravaLog("Chamando a fun\xE7\xE3o DLLATO17GeraArquivo da ATO17.dll");
    GravaLog("DLLATO17GeraArquivo(" + dump + "," + saida + "," + inicio + "," + fim + "," +
             std::string(1, tipoPeriodo) + "," + usuario + "," + tipoLeitura + ")");
    // Loaded for this call only and freed when it returns.
    plataforma::BibliotecaDinamica ato17;
    if (!ato17.Carrega("ATO17.dll")) return -1;
    return memorias::ChamaGeraArquivoATO17(ato17, dump, saida, inicio, fim, tipoPeriodo, usuario,
                                           tipoLeitura);
}

int GeraRFDBinario(const std::string& inicio, const std::string& fim, int tipoPeriodo, int tipoLeitura,
                   std::string& nome) {
    // A range that cannot hold a reduction is refused before the memories are read.
    if (CaracterPeriodo(tipoPeriodo) == 'C' ? intervalo::ContadoresInvertidos(inicio, fim)
                                            : intervalo::DatasInvertidas(inicio, fim))
        return 0;
    int r = 0;
    std::string serie = NumeroSerie(r);
    GravaLog("Chamando Tarvo_GeraRFDBinario...");
    GravaLog("Tarvo_GeraRFDBinario(" + inicio + "," + fim + "," + std::to_string(tipoPeriodo) + "," +
             std::to_string(tipoLeitura) + "," + nome + ")");
    GravaLog("Lendo as mem\xF3rias do ECF...");
    if (r == 1) {
        const Configuracao& config = Config();
        const std::string dump = config.PathTDM + memorias::NomeArquivoMemorias(serie);
        const std::string saida = config.PathRFD + serie + ".txt";
        if (saida.size() >= kTamanhoNomeArquivo) {
            // The name would not fit the caller's buffer: refused before anything is read.
            GravaLog(
                "Nome do arquivo de sa\xED"
                "da com mais de " +
                std::to_string(kTamanhoNomeArquivo - 1) + " caracteres: " + saida);
            r = 16393;
        } else {
            std::shared_ptr<memorias::TQovDlls> leitor = memorias::SubstituiLeitor();
            GravaLog("Criando arquivo " + dump + "...");
            r = leitor->LeMemorias(dump, serie, true);
            if (r == 1) {
                const std::string periodo(1, CaracterPeriodo(tipoPeriodo));
                const std::string leitura = TextoLeitura(tipoLeitura);
                GravaLog("Gerando arquivo do ATO COTEPE 1704");
                GravaLog("GeraArquivoATO17( " + dump + "," + saida + "," + inicio + "," + fim + "," +
                         periodo + ",01," + leitura + " )");
                // The converter writes beside the output; the file replaces an earlier one only
                // when it is whole and its range held a reduction.
                plataforma::SaidaSegura arquivo(saida);
                r = leitor->GeraArquivoATO17(dump, arquivo.Temporario(), inicio, fim, periodo[0], "01",
                                             leitura);
                if (r == 1 && !intervalo::ArquivoTemReducao(arquivo.Temporario())) {
                    GravaLog("Retorno da fun\xE7\xE3o Tarvo_GeraRFDBinario:0 - ",
                             intervalo::kDataInexistente);
                    return intervalo::InformaSemReducao();
                }
                if (r == 1 && !arquivo.Conclui()) r = 16389;
                if (r == 1) nome = saida;
            }
        }
    }
    RetornoLeitura("Tarvo_GeraRFDBinario", r);
    return r;
}

int GeraRFDBinarioCRZ(const std::string& primeiro, const std::string& ultimo, int tipoPeriodo,
                      int tipoLeitura, std::string& nome) {
    if (intervalo::ContadoresInvertidos(primeiro, ultimo)) return 0;
    std::string datas[2];
    const std::string* contadores[2] = {&primeiro, &ultimo};
    for (int i = 0; i < 2; ++i) {
        const std::string& crz = *contadores[i];
        std::string data;
        int r = LeiturasDaImpressora().LeData("DataReducao[" + crz + "]", data);
        int ano = 0, mes = 0, dia = 0;
        if (r == 1 && !SeparaData(data, ano, mes, dia)) r = 0;
        if (r != 1) {
            // A failed reading ends the call and says which counter failed, under the printer's
            // code (a missing reduction's) or the reading's own; never under 0.
            const int codigo = Erro().UltimoRetorno != 0 ? Erro().UltimoRetorno
                               : r != 0                  ? r
                                                         : intervalo::kSemDados;
            DefineErro(codigo, TextoFalha(Falha::DataReducaoIlegivel, {crz}));
            GravaLog("Erro: " + Erro().UltimaMensagem);
            return r;
        }
        datas[i] = Aaaammdd(ano, mes, dia);
    }
    GravaLog("Tarvo_GeraRFDBinarioCRZ=>Data Inicial:" + datas[0] + ";Data final:" + datas[1]);
    return GeraRFDBinario(datas[0], datas[1], tipoPeriodo, tipoLeitura, nome);
}

int GeraRFDBinarioRJ(const std::string& inicio, const std::string& fim, int tipoPeriodo) {
    std::string nome;
    int r = GeraRFDBinario(inicio, fim, tipoPeriodo, 2, nome);
    if (r == 1) r = ConverteATO17ParaPAFRJ(nome);
    // A 0 already carries its own last error (a refused range, a conversion that failed).
    if (r != 0) RetornoLeitura("Tarvo_GeraRFDBinarioRJ", r);
    return r;
}

std::string NomePafRj(const std::string& arquivo) {
    const std::string nome = NomeSemPasta(arquivo);
    return arquivo.substr(0, arquivo.size() - nome.size()) + "PAF-RJ_" + nome;
}

int ConverteATO17ParaPAFRJ(const std::string& arquivo) {
    GravaLog("Convertendo arquivo para o PAF-RJ");
    int r = 0;
    if (!plataforma::ExisteArquivo(arquivo)) {
        GravaLog("O arquivo " + arquivo + " n\xE3o foi encotrado.");
    } else {
        static const char* const kFora[] = {"E03", "E04", "E05", "E06", "E07", "E08",
                                            "E09", "E10", "E11", "E12", "E13", "EAD"};
        std::vector<std::string> mantidas;
        for (std::string& linha : LinhasArquivo(arquivo)) {
            bool fora = false;
            for (const char* tipo : kFora) fora |= linha.compare(0, 3, tipo) == 0;
            if (fora) continue;
            if (linha.compare(0, 3, "E01") == 0) {
                std::size_t p = MaiusculasAnsi(linha).find("TDM");
                if (p != std::string::npos) linha.replace(p, 3, "MFD");
            }
            mantidas.push_back(std::move(linha));
        }
        // A file that ends in a line break gives an empty last piece: it is no line.
        if (!mantidas.empty() && mantidas.back().empty()) mantidas.pop_back();
        if (mantidas.size() < 2) {
            GravaLog(
                "N\xE3o foi poss\xEDvel realizar a convers\xE3o do arquivo, o arquivo de origem est\xE1 "
                "vazio.");
        } else {
            std::string texto;
            for (const std::string& linha : mantidas) texto += linha + "\r\n";
            const std::string destino = NomePafRj(arquivo);
            if (!plataforma::GravaArquivoSeguro(destino, texto)) throw ErroArquivoFiscal::AoGravar(destino);
            GravaLog("Convers\xE3o efetuada com sucesso - " + NomePafRj(NomeSemPasta(arquivo)));
            r = 1;
        }
    }
    RetornoLeitura("Tarvo_ConverteATO17ParaPAFRJ", r);
    return r;
}

int RFD_ConvertedaMFDMemorias(const std::string& n) {
    int r = 0;
    const std::string serie = NumeroSerie(r);
    if (r != 1) throw ErroArquivoFiscal("Falha ao ler o n\xFAmero de s\xE9rie do ECF");
    const Configuracao& config = Config();
    const std::string dump = config.PathTDM + memorias::NomeArquivoMemorias(serie);
    if (memorias::LeMemoriasBinario(dump, serie, true) != 1)
        throw ErroArquivoFiscal("Falha ao ler as mem\xF3rias do ECF");

    const std::string falhaData = "Falha ao ler a data da Redu\xE7\xE3o Z n\xBA " + n;
    std::string data;
    if (LeiturasDaImpressora().LeData("DataMovimentoReducao[" + n + "]", data) != 1 &&
        LeiturasDaImpressora().LeData("DataReducao[" + n + "]", data) != 1)
        throw ErroArquivoFiscal(falhaData);
    const ReducaoEmCurso z = LeiturasDaImpressora().ReducaoPendente();
    if (z.emAndamento && z.dataAbertura != z.data) {
        // The reduction closes a day opened earlier: the file is that day's.
        const std::string& a = z.dataAbertura;
        data = a.substr(0, 2) + "/" + a.substr(2 < a.size() ? 2 : a.size(), 2) + "/" +
               a.substr(4 < a.size() ? 4 : a.size(), 4);
        GravaLog("Redu\xE7\xE3o Z pendente, acertando data para gerar ato cotepe = " + a);
    }
    int ano = 0, mes = 0, dia = 0;
    if (!SeparaData(data, ano, mes, dia)) throw ErroArquivoFiscal(falhaData);
    const std::string diaTexto = Aaaammdd(ano, mes, dia);
    const std::string fim4 = serie.size() > 4 ? serie.substr(serie.size() - 4) : serie;
    const std::string saida = config.PathRFD + serie.substr(0, 3) + fim4 + ExtensaoArquivoRFD(ano, mes, dia);
    plataforma::SaidaSegura arquivo(saida);
    if (GeraArquivoATO17Binario(dump, arquivo.Temporario(), diaTexto, diaTexto, 'M', "01", "TDM") != 1 ||
        !arquivo.Conclui())
        throw ErroArquivoFiscal("Falha ao gerar o arquivo do ATO COTEPE da Redu\xE7\xE3o Z n\xBA " + n);
    return 1;
}

}  // namespace tarvo::ato
