// Single values of family-0 printers by register number, amounts and dates by name,
// the date and time of the last Z reduction.
#include <map>

#include "driver/core/erros.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/parametros.h"

namespace tarvo {

namespace {

struct Registrador {
    const char* comando;
    const char* parametro;
};

const std::map<int, Registrador>& Registradores() {
    static const std::map<int, Registrador> tabela = {
        {0, {"LeTexto", "NomeTexto=\"NumeroSerieECF\""}},
        {1, {"LeTexto", "NomeTexto=\"VersaoSW\""}},
        {3, {"LeMoeda", "NomeDadoMonetario=\"GT\""}},
        {4, {"LeMoeda", "NomeDadoMonetario=\"TotalDiaCancelamentosICMS\""}},
        {5, {"LeMoeda", "NomeDadoMonetario=\"TotalDiaDescontos\""}},
        {6, {"LeInteiro", "NomeInteiro=\"COO\""}},
        {7, {"LeInteiro", "NomeInteiro=\"GNF\""}},
        {8, {"LeInteiro", "NomeInteiro=\"CFC\""}},
        {9, {"LeInteiro", "NomeInteiro=\"CRZ\""}},
        {10, {"LeInteiro", "NomeInteiro=\"CRO\""}},
        {12, {"LeInteiro", "NomeInteiro=\"ContadorDocUltimoItemVendido\""}},
        {14, {"LeInteiro", "NomeInteiro=\"ECF\""}},
        {15, {"LeInteiro", "NomeInteiro=\"Loja\""}},
        {18, {"LeInteiro", "NomeInteiro=\"TempoOperacional\""}},
        {19, {"LeInteiro", "NomeInteiro=\"TempoEmitindoDocFiscal\""}},
        {52, {"LeInteiro", "NomeInteiro=\"CDC\""}},
        {53, {"LeInteiro", "NomeInteiro=\"NFC\""}},
        {54, {"LeInteiro", "NomeInteiro=\"GRG\""}},
        {55, {"LeInteiro", "NomeInteiro=\"CCF\""}},
        {56, {"LeInteiro", "NomeInteiro=\"CFD\""}},
        {100, {"LeMoeda", "NomeDadoMonetario=\"TotalDocLiquido\""}},
        {101, {"LeTexto", "NomeTexto=\"Marca\""}},
        {102, {"LeTexto", "NomeTexto=\"Modelo\""}},
        {103, {"LeTexto", "NomeTexto=\"TipoECF\""}},
        {104, {"LeInteiro", "NomeInteiro=\"NCN\""}},
        {105, {"LeInteiro", "NomeInteiro=\"ContadorProprietarios\""}},
        {106, {"LeTexto", "NomeTexto=\"CNPJ\""}},
        {107, {"LeTexto", "NomeTexto=\"IE\""}},
        {108, {"LeTexto", "NomeTexto=\"IM\""}},
        {109, {"LeTexto", "NomeTexto=\"NumeroSerieMFD\""}},
        {110, {"LeInteiro", "NomeInteiro=\"CRZRestantes\""}},
        {111, {"LeInteiro", "NomeInteiro=\"MFDLivre\""}},
        {112, {"LeInteiro", "NomeInteiro=\"PercentualMFDUtilizada\""}},
        {113, {"LeInteiro", "NomeInteiro=\"AliquotaDisponivel\""}},
        {114, {"LeInteiro", "NomeInteiro=\"Arredondamento\""}},
        {115, {"LeTexto", "NomeTexto=\"SimboloMoeda\""}},
        {116, {"LeIndicador", "NomeIndicador=\"HorarioVerao\""}},
    };
    return tabela;
}

// National identification codes of the ECF models this library knows, by model and
// firmware version as the printer reports them.
struct CodigoNacional {
    const char* modelo;
    const char* versao;
    const char* codigo;
};
const CodigoNacional kCodigosNacionais[] = {
    {"RIX 4000", "01.00.05", "081901"},        {"RIX 4000", "01.01.00", "081902"},
    {"RIX FS-700", "01.00.08", "081905"},      {"ORVIKTH MP-4000", "01.02.00", "152301"},
    {"ORVIKTH MP-4000", "01.03.01", "152302"}, {"DASK 300", "01.00.00", "162101"},
    {"NARDO NT-2000", "02.01.03", "170504"},   {"NARDO NT-2000", "02.02.00", "170505"},
    {"VESK V-90", "01.05.00", "181201"},       {"VESK V-90", "01.06.01", "181202"},
};

// Reads into a scratch buffer through the generic reading export, as the host would.
int LeituraPorNome(const char* comando, const char* parametro, const std::string& nome) {
    std::string rascunho(cap::Tarvo_ExecutaLeitura::Retorno, '\0');
    return Tarvo_ExecutaLeitura(comando, (std::string(parametro) + "=" + Aspas(nome)).c_str(),
                                rascunho.data());
}

}  // namespace

int LeRegistradorTxt(int numero, std::string& texto) {
    texto.clear();
    auto it = Registradores().find(numero);
    if (it == Registradores().end()) return 0;
    int r = EnviaComandoTxt(it->second.comando, it->second.parametro);
    if (r == 1) texto = Resposta().ValorResposta;
    return r;
}

int RixLeMoedaPorNome(const std::string& nome) {
    int r = LeituraPorNome("LeMoeda", "NomeDadoMonetario", nome);
    const std::string& dados = Resposta().DadosResposta;
    std::size_t igual = dados.find('=');
    Resposta().ValorResposta = igual == std::string::npos ? std::string() : dados.substr(igual + 1);
    return r;
}

int RixLeDataPorNome(const std::string& nome) {
    int r = LeituraPorNome("LeData", "NomeData", nome);
    const std::string& dados = Resposta().DadosResposta;
    // ValorData=#dd/mm/yyyy#: from after "=#", without the closing "#".
    std::size_t igual = dados.find('=');
    std::size_t inicio = igual == std::string::npos ? dados.size() : igual + 2;
    Resposta().ValorResposta =
        inicio + 1 <= dados.size() ? dados.substr(inicio, dados.size() - inicio - 1) : std::string();
    return r;
}

int DataHoraReducaoTxt(std::string& data, std::string& hora) {
    std::string crz;
    int r = LeRegistradorTxt(9, crz);
    if (r != 1) return r;
    const std::string& n = crz;
    r = EnviaComandoTxt("LeData", "NomeData=" + Aspas("DataReducao[" + n + "]"));
    if (r != 1) return r;
    const std::string& v = Resposta().ValorResposta;  // ddmmyyyy
    data = v.substr(0, 4) + (v.size() >= 8 ? v.substr(6, 2) : std::string());
    r = EnviaComandoTxt("LeHora", "NomeHora=" + Aspas("HoraReducao[" + n + "]"));
    if (r != 1) return r;
    hora = Resposta().ValorResposta;
    return 1;
}

namespace familia0 {

int Tarvo_LeCodigoNacionalIdentificacaoECF(char* CNI) {
    std::string versao, modelo;
    int r = LeRegistradorTxt(1, versao);
    if (r != 1) return r;
    r = LeRegistradorTxt(102, modelo);
    if (r != 1) return r;
    modelo = MaiusculasAnsi(modelo);
    for (const CodigoNacional& linha : kCodigosNacionais) {
        if (modelo == linha.modelo && versao == linha.versao) {
            Erro().TextoRetorno = linha.codigo;
            TARVO_DEVOLVE(Tarvo_LeCodigoNacionalIdentificacaoECF, CNI);
            return 1;
        }
    }
    DefineErro(Falha::ModeloNaoCadastrado);
    GravaLog("---[Modelo nao cadastrado]---");
    Erro().TextoRetorno.clear();  // the buffer must not show a previous export's answer
    TARVO_DEVOLVE(Tarvo_LeCodigoNacionalIdentificacaoECF, CNI);
    return 0;
}

}  // namespace familia0

}  // namespace tarvo
