// The dispatch of the command sequences against the real libtarvo.so and the printer
// emulator on COM1: which export each function name calls (by its call text in the call
// log), the operator-log lines with their success texts, the fill check, and the
// function-list files written into the program folder at build time.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "comum/ambiente.h"
#include "console/binding/auxiliar.h"
#include "console/binding/log_dll.h"
#include "console/sequencias/comando.h"
#include "console/sequencias/linha.h"
#include "console/sequencias/tabela.h"
#include "emulador/emulador.h"
#include "platform/codepage.h"
#include "platform/ini.h"

namespace {

const plataforma::DataHora kHoje{2026, 3, 4, 10, 0, 0, 0};
const char* const kLogDLL = "logDLL-20260304.txt";

// A command as the sequence form makes it from the function list, its input parameters
// filled with `valores` in order (texts as given, integers converted).
seq::TComando Comando(const std::string& chave, const std::vector<std::string>& valores = {}) {
    seq::TComando c;
    const seq::ChaveDespacho* e = seq::ProcuraChave(chave);
    EXPECT_NE(e, nullptr) << chave;
    if (!e) return c;
    std::string erro;
    EXPECT_TRUE(seq::GeraListaParametros(seq::Declaracao(*e), c, erro)) << erro;
    std::size_t i = 0;
    for (seq::TParametro& p : c.Parametros) {
        if (!p.Entrada || i >= valores.size()) continue;
        if (seq::TipoTexto(p.Tipo))
            p.ValorTexto = valores[i];
        else
            p.ValorInteiro = std::stoi(valores[i]);
        p.Preenchido = true;
        ++i;
    }
    return c;
}

// The call lines of the call log (time stamp removed), result lines left out.
std::vector<std::string> Chamadas(const std::string& log) {
    std::vector<std::string> r;
    std::istringstream in(log);
    std::string linha;
    while (std::getline(in, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        const std::size_t p = linha.find(" > ");
        if (p != 12 || linha.compare(p, 18, " > Retorno da DLL:") == 0) continue;
        r.push_back(linha.substr(p + 3));
    }
    return r;
}

class Despacho : public ::testing::Test {
  protected:
    emulador::Emulador impressora;
    std::vector<std::string> log;

    void SetUp() override {
        ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
        std::filesystem::remove(kLogDLL);
        belmora::DefineRelogioLogDLL([] { return kHoje; });
        belmora::DefineLogOperador([this](const std::string& l) { log.push_back(l); });
    }
    void TearDown() override {
        belmora::DefineLogOperador(nullptr);
        belmora::DefineRelogioLogDLL(nullptr);
    }
    std::string LogDLL() { return plataforma::Cp1252ParaUtf8(teste::LeArquivo(kLogDLL)); }
    void Limpa() {
        log.clear();
        std::filesystem::remove(kLogDLL);
    }
};

// The function names of the dispatch, in the order they are matched.
const std::vector<std::string> kChaves = {"tarvo_autenticacao",
                                          "tarvo_autenticacaomfd",
                                          "tarvo_acionagaveta",
                                          "tarvo_verificaestadogaveta",
                                          "tarvo_verificaestadogavetastr",
                                          "tarvo_abrecomprovantenaofiscalvinculado",
                                          "tarvo_cancelaacrescimonaofiscalmfd",
                                          "tarvo_cancelaitemnaofiscalmfd",
                                          "tarvo_fechacomprovantenaofiscalvinculado",
                                          "tarvo_recebimentonaofiscal",
                                          "tarvo_sangria",
                                          "tarvo_suprimento",
                                          "tarvo_usacomprovantenaofiscalvinculado",
                                          "tarvo_abrecupom",
                                          "tarvo_cancelacupom",
                                          "tarvo_cancelaitemanterior",
                                          "tarvo_cancelaitemgenerico",
                                          "tarvo_efetuaformapagamento",
                                          "tarvo_efetuaformapagamentodescricaoforma",
                                          "tarvo_estornoformaspagamento",
                                          "tarvo_fechacupom",
                                          "tarvo_fechacupomresumido",
                                          "tarvo_iniciafechamentocupom",
                                          "tarvo_resetaimpressora",
                                          "tarvo_terminafechamentocupom",
                                          "tarvo_vendeitem",
                                          "tarvo_vendeitemdepartamento",
                                          "tarvo_imprimecheque",
                                          "tarvo_imprimechequemfd",
                                          "tarvo_imprimecopiacheque",
                                          "tarvo_incluicidadefavorecido",
                                          "tarvo_cancelaimpressaocheque",
                                          "tarvo_leituracheque",
                                          "tarvo_programamoedaplural",
                                          "tarvo_programamoedasingular",
                                          "tarvo_verificastatuscheque",
                                          "tarvo_alterasimbolomoeda",
                                          "tarvo_ativadesativavendaumalinhamfd",
                                          "tarvo_aumentadescricaoitem",
                                          "tarvo_espacoentrelinhas",
                                          "tarvo_linhasentrecupons",
                                          "tarvo_nomeiadepartamento",
                                          "tarvo_nomeiatotalizadornaosujeitoicms",
                                          "tarvo_programaaliquota",
                                          "tarvo_programahorarioverao",
                                          "tarvo_programabaudrate",
                                          "tarvo_abrerelatoriogerencial",
                                          "tarvo_fecharelatoriogerencial",
                                          "tarvo_leituramemoriafiscaldata",
                                          "tarvo_leituramemoriafiscalreducao",
                                          "tarvo_leituramemoriafiscalserialdata",
                                          "tarvo_leituramemoriafiscalserialreducao",
                                          "tarvo_leiturax",
                                          "tarvo_leituraxserial",
                                          "tarvo_lenomerelatoriogerencial",
                                          "tarvo_reducaoz",
                                          "tarvo_relatoriogerencial",
                                          "tarvo_aberturadodia",
                                          "tarvo_abreportaserial",
                                          "tarvo_acionaguilhotinamfd",
                                          "tarvo_fechamentododia",
                                          "tarvo_fechaportaserial",
                                          "tarvo_identificaconsumidor",
                                          "tarvo_imprimeconfiguracoesimpressora",
                                          "tarvo_imprimedepartamentos",
                                          "tarvo_learquivoretorno",
                                          "tarvo_maparesumo",
                                          "tarvo_modeloimpressora",
                                          "tarvo_numeroseriecriptografado",
                                          "tarvo_numeroseriedescriptografado",
                                          "tarvo_programacaracterautenticacao",
                                          "tarvo_programaidaplicativomfd",
                                          "tarvo_programaoperador",
                                          "tarvo_relatoriotipo60analitico",
                                          "tarvo_relatoriotipo60mestre",
                                          "tarvo_verificaimpressoraligada",
                                          "tarvo_verificareducaozautomatica",
                                          "rfd_convertedamfd",
                                          "rfd_convertedamfddata",
                                          "tarvo_relatoriosintegramfd",
                                          "tarvo_lecodigonacionalidentificacaoecf",
                                          "tarvo_leparametrospaf",
                                          "tarvo_acrescimos",
                                          "tarvo_cancelamentos",
                                          "tarvo_cgc_ie",
                                          "tarvo_clicheproprietario",
                                          "tarvo_cnpj_ie",
                                          "tarvo_contadorestotalizadoresnaofiscais",
                                          "tarvo_dadosultimareducao",
                                          "tarvo_datahoraimpressora",
                                          "tarvo_datahorareducao",
                                          "tarvo_datahorasoftwarebasico",
                                          "tarvo_datamovimento",
                                          "tarvo_descontos",
                                          "tarvo_flagsfiscais",
                                          "tarvo_flagsfiscaisstr",
                                          "tarvo_grandetotal",
                                          "tarvo_leindicadores",
                                          "tarvo_minutosimprimindo",
                                          "tarvo_minutosligada",
                                          "tarvo_numerocaixa",
                                          "tarvo_numerocupom",
                                          "tarvo_numerocuponscancelados",
                                          "tarvo_numerointervencoes",
                                          "tarvo_numeroloja",
                                          "tarvo_numerooperacoesnaofiscais",
                                          "tarvo_numeroreducoes",
                                          "tarvo_numeroserie",
                                          "tarvo_numerosubstituicoesproprietario",
                                          "tarvo_retornoaliquotas",
                                          "tarvo_retornoimpressora",
                                          "tarvo_simbolomoeda",
                                          "tarvo_subtotal",
                                          "tarvo_totaldiatroco",
                                          "tarvo_totaldoctroco",
                                          "tarvo_totalicmscupom",
                                          "tarvo_ultimoitemvendido",
                                          "tarvo_valorformapagamento",
                                          "tarvo_valorpagoultimocupom",
                                          "tarvo_valortotalizadornaofiscal",
                                          "tarvo_vendabruta",
                                          "tarvo_vendaliquida",
                                          "tarvo_verificaaliquotasicms",
                                          "tarvo_verificaaliquotasiss",
                                          "tarvo_verificadepartamentos",
                                          "tarvo_verificaestadoimpressora",
                                          "tarvo_verificaestadoimpressorastr",
                                          "tarvo_verificaformaspagamento",
                                          "tarvo_verificaindicealiquotasicms",
                                          "tarvo_verificaindicealiquotasiss",
                                          "tarvo_verificamodooperacao",
                                          "tarvo_verificarecebimentonaofiscal",
                                          "tarvo_verificatipoimpressora",
                                          "tarvo_verificatipoimpressorastr",
                                          "tarvo_verificatotalizadoresnaofiscais",
                                          "tarvo_verificatotalizadoresparciais",
                                          "tarvo_verificatruncamento",
                                          "tarvo_verificazpendente",
                                          "tarvo_versaofirmware",
                                          "tarvo_abrecomprovantenaofiscalvinculadomfd",
                                          "tarvo_abrecupommfd",
                                          "tarvo_abrerecebimentonaofiscalmfd",
                                          "tarvo_abrerelatoriogerencialmfd",
                                          "tarvo_acrescimodescontoitemmfd",
                                          "tarvo_acrescimodescontosubtotalmfd",
                                          "tarvo_acrescimodescontosubtotalrecebimentomfd",
                                          "tarvo_acrescimoitemnaofiscalmfd",
                                          "tarvo_cancelaacrescimodescontoitemmfd",
                                          "tarvo_cancelaacrescimodescontosubtotalmfd",
                                          "tarvo_cancelaacrescimodescontosubtotalrecebimentomfd",
                                          "tarvo_cancelacupommfd",
                                          "tarvo_cancelarecebimentonaofiscalmfd",
                                          "tarvo_cnpjmfd",
                                          "tarvo_comprovantesnaofiscaisnaoemitidosmfd",
                                          "tarvo_contadorcomprovantescreditomfd",
                                          "tarvo_contadorcupomfiscalmfd",
                                          "tarvo_contadorestotalizadoresnaofiscaismfd",
                                          "tarvo_contadorfitadetalhemfd",
                                          "tarvo_contadoroperacoesnaofiscaiscanceladasmfd",
                                          "tarvo_contadorrelatoriosgerenciaismfd",
                                          "tarvo_cupomadicionalmfd",
                                          "tarvo_dadosultimareducaomfd",
                                          "tarvo_datahoraultimodocumentomfd",
                                          "tarvo_datamovimentoultimareducaomfd",
                                          "tarvo_downloadmfd",
                                          "tarvo_efetuaformapagamentomfd",
                                          "tarvo_efetuarecebimentonaofiscalmfd",
                                          "tarvo_estornonaofiscalvinculadomfd",
                                          "tarvo_fecharecebimentonaofiscalmfd",
                                          "tarvo_formatodadosmfd",
                                          "tarvo_grandetotalultimareducaomfd",
                                          "tarvo_habilitadesabilitaretornoestendidomfd",
                                          "tarvo_iniciafechamentocupommfd",
                                          "tarvo_iniciafechamentorecebimentonaofiscalmfd",
                                          "tarvo_iniciofimcoosmfd",
                                          "tarvo_iniciofimgtsmfd",
                                          "tarvo_inscricaoestadualmfd",
                                          "tarvo_inscricaomunicipalmfd",
                                          "tarvo_maparesumomfd",
                                          "tarvo_marcamodelotipoimpressoramfd",
                                          "tarvo_minutosemitindodocumentosfiscaismfd",
                                          "tarvo_nomeiarelatoriogerencialmfd",
                                          "tarvo_numeroseriememoriamfd",
                                          "tarvo_percentuallivremfd",
                                          "tarvo_programaformapagamentomfd",
                                          "tarvo_reducoesrestantesmfd",
                                          "tarvo_registrostipo60",
                                          "tarvo_reimpressaonaofiscalvinculadomfd",
                                          "tarvo_relatoriotipo60analiticomfd",
                                          "tarvo_segundavianaofiscalvinculadomfd",
                                          "tarvo_statusestendidomfd",
                                          "tarvo_subtotalcomprovantenaofiscalmfd",
                                          "tarvo_tamanhototalmfd",
                                          "tarvo_tempooperacionalmfd",
                                          "tarvo_totallivremfd",
                                          "tarvo_usarelatoriogerencialmfd",
                                          "tarvo_valorformapagamentomfd",
                                          "tarvo_valortotalizadornaofiscalmfd",
                                          "tarvo_verificaestadoimpressoramfd",
                                          "tarvo_verificaformaspagamentomfd",
                                          "tarvo_verificarecebimentonaofiscalmfd",
                                          "tarvo_verificarelatoriogerencialmfd",
                                          "tarvo_verificasensorpoucopapelmfd",
                                          "tarvo_verificatotalizadoresnaofiscaismfd",
                                          "tarvo_verificatotalizadoresparciaismfd",
                                          "tarvo_programacabecalho",
                                          "tarvo_programaproprietario",
                                          "tarvo_programarelogio",
                                          "tarvo_cadastraaliquota",
                                          "tarvo_excluialiquota",
                                          "tarvo_cadastrameiopagamento",
                                          "tarvo_excluimeiopagamento",
                                          "tarvo_cadastranaofiscal",
                                          "tarvo_excluinaofiscal",
                                          "tarvo_executacomando",
                                          "tarvo_executaleitura",
                                          "tarvo_programaarredondamento",
                                          "tarvo_programatruncamento",
                                          "tarvo_cancelaleiturabinario",
                                          "tarvo_converteato17parapafrj",
                                          "tarvo_geraarquivoato17binario",
                                          "tarvo_gerarfdbinario",
                                          "tarvo_gerarfdbinariorj",
                                          "tarvo_lememoriasbinario",
                                          "tarvo_lestatusgerabinario"};

// The export each key calls where it is not the export of the key's own name.
const std::map<std::string, std::string> kOutrosAlvos = {
    {"tarvo_programacabecalho", "Tarvo_ExecutaComando(\"DefineDadosCabecalho\","},
    {"tarvo_programaproprietario", "Tarvo_ExecutaComando(\"DefineProprietario\","},
    {"tarvo_programarelogio", "Tarvo_ExecutaComando(\"ProgramaRelogio\","},
    {"tarvo_cadastraaliquota", "Tarvo_ExecutaComando(\"DefineAliquota\","},
    {"tarvo_excluialiquota", "Tarvo_ExecutaComando(\"ExcluiAliquota\","},
    {"tarvo_cadastrameiopagamento", "Tarvo_ExecutaComando(\"DefineMeioPagamento\","},
    {"tarvo_excluimeiopagamento", "Tarvo_ExecutaComando(\"ExcluiMeioPagamento\","},
    {"tarvo_cadastranaofiscal", "Tarvo_ExecutaComando(\"DefineNaoFiscal\","},
    {"tarvo_excluinaofiscal", "Tarvo_ExecutaComando(\"ExcluiNaoFiscal\","},
    {"tarvo_dadosultimareducao", "Tarvo_DadosUltimaReducaoMFD(strRetorno);"},
    {"tarvo_relatoriotipo60analiticomfd", "Tarvo_RelatorioTipo60Analitico();"},
    {"rfd_convertedamfd", "RFD_ConvertedaMFD(\"7\");"},
    // The binary memory-file family writes its name without the prefix.
    {"tarvo_cancelaleiturabinario", "CancelaLeituraBinario("},
    {"tarvo_converteato17parapafrj", "ConverteATO17ParaPAFRJ("},
    {"tarvo_geraarquivoato17binario", "GeraArquivoATO17Binario("},
    {"tarvo_gerarfdbinario", "GeraRFDBinario("},
    {"tarvo_gerarfdbinariorj", "GeraRFDBinarioRJ("},
    {"tarvo_lememoriasbinario", "LeMemoriasBinario("},
    {"tarvo_lestatusgerabinario", "LeStatusGeraBinario("},
};

// The out-value of `nome` in the call log ("nome=value", up to the line feed or line end).
std::string ValorNoLog(const std::string& log, const std::string& nome) {
    std::size_t p = log.find("\n" + nome + "=");
    if (p == std::string::npos) return "<none>";
    p += nome.size() + 2;
    return log.substr(p, log.find_first_of("\r\n", p) - p);
}

TEST(TabelaDespacho, TheKeysAreMatchedInTheirOrder) {
    std::vector<std::string> chaves;
    for (const seq::ChaveDespacho& e : seq::TabelaDespacho()) chaves.push_back(seq::Chave(e));
    EXPECT_EQ(chaves, kChaves);
    EXPECT_EQ(std::set<std::string>(chaves.begin(), chaves.end()).size(), 225u);
}

TEST(TabelaDespacho, TheParametersOfTheTellingRows) {
    // Parameter kinds as the function lists declare them: k-th parameter, k-th argument.
    auto tipos = [](const std::string& chave) {
        seq::TComando c;
        std::string erro, r;
        const seq::ChaveDespacho* e = seq::ProcuraChave(chave);
        if (!e || !seq::GeraListaParametros(seq::Declaracao(*e), c, erro)) return std::string("<error>");
        for (const seq::TParametro& p : c.Parametros)
            r += std::string(p.Entrada ? "" : "var ") + (seq::TipoTexto(p.Tipo) ? "T" : "I") + " ";
        return r;
    };
    EXPECT_EQ(tipos("tarvo_vendeitem"), "T T T T T I T T T ");
    EXPECT_EQ(tipos("tarvo_programacabecalho"), "T T T T T T ");
    for (const char* k : {"tarvo_programaproprietario", "tarvo_cadastraaliquota",
                          "tarvo_cadastrameiopagamento", "tarvo_cadastranaofiscal"})
        EXPECT_EQ(tipos(k), "T T T T ") << k;
    for (const char* k : {"tarvo_programarelogio", "tarvo_excluialiquota", "tarvo_excluimeiopagamento",
                          "tarvo_excluinaofiscal", "tarvo_executacomando", "rfd_convertedamfddata"})
        EXPECT_EQ(tipos(k), "T T ") << k;
    EXPECT_EQ(tipos("rfd_convertedamfd"), "T ");
    EXPECT_EQ(tipos("tarvo_programabaudrate"), "T ");
    EXPECT_EQ(tipos("tarvo_programaaliquota"), "T I ");
    EXPECT_EQ(tipos("tarvo_verificaestadogaveta"), "var I ");
    EXPECT_EQ(tipos("tarvo_relatoriosintegramfd"), "I T T T T T T T T T T T T T ");
    for (const char* k :
         {"tarvo_cancelamentos", "tarvo_totaldoctroco", "tarvo_dadosultimareducao",
          "tarvo_programaarredondamento", "tarvo_programatruncamento", "tarvo_relatoriotipo60analiticomfd"}) {
        const std::string t = tipos(k);
        EXPECT_TRUE(t.empty() || t == "var T ") << k << ": " << t;
    }
}

TEST(ListasDeFuncoes, TheLineFormOfADeclaration) {
    using V = std::vector<std::string>;
    // Leading blanks go, inner blanks stay, empty tokens are dropped, quoted separators stay.
    EXPECT_EQ(seq::SeparaLinha("F(  a b : string;;\"x;y:(z)\": 'p:q' );1\r\n"),
              V({"F", "a b ", "string", "\"x;y:(z)\"", "'p:q' ", "1"}));
    // A lone quote keeps no separator together.
    EXPECT_EQ(seq::SeparaLinha("F(Texto:string:it's;);1"), V({"F", "Texto", "string", "it's", "1"}));
    // Return variables, the tokens between the last type and the count ignored.
    seq::TComando c;
    std::string erro;
    ASSERT_TRUE(seq::GeraListaParametros("Tarvo_X(a: string; VAR  b c: integer): integer; 2", c, erro))
        << erro;
    ASSERT_EQ(c.Parametros.size(), 2u);
    EXPECT_TRUE(c.Parametros[0].Entrada);
    EXPECT_FALSE(c.Parametros[1].Entrada);
    EXPECT_EQ(c.Parametros[1].Nome, "b");
    EXPECT_EQ(c.Parametros[1].Tipo, "integer");
    // A count the tokens cannot hold, or no count at all, is refused.
    EXPECT_FALSE(seq::GeraListaParametros("Tarvo_X(a: string): integer; 3", c, erro));
    EXPECT_FALSE(seq::GeraListaParametros("Tarvo_X(a: string): integer; x", c, erro));
}

TEST(ListasDeFuncoes, TwelveFilesInTheProgramFolderEveryDeclarationParses) {
    // File names UTF-8 on disk, in the order of the category list.
    const std::vector<std::string> arquivos = {"FunçõesImpressãoCheque.txt",
                                               "FunçõesInicialização.txt",
                                               "FunçõesCupomFiscal.txt",
                                               "FunçõesRelatórios.txt",
                                               "FunçõesOperaçõesNãoFiscais.txt",
                                               "FunçõesInformaçõesImpressora.txt",
                                               "FunçõesGaveta.txt",
                                               "FunçõesImpressorasMFD.txt",
                                               "FunçõesAutenticação.txt",
                                               "FunçõesIntervenção.txt",
                                               "FunçõesOutras.txt",
                                               "FunçõesAtoCotepe1704.txt"};
    std::vector<std::string> todas;
    for (std::size_t i = 0; i < arquivos.size(); ++i) {
        const std::string caminho = std::string(BELMORA_BIN) + "/" + arquivos[i];
        ASSERT_TRUE(std::filesystem::exists(caminho)) << caminho;
        const std::string texto = teste::LeArquivo(caminho);
        ASSERT_GE(texto.size(), 2u) << arquivos[i];
        EXPECT_EQ(texto.substr(texto.size() - 2), "\r\n") << arquivos[i];
        std::size_t inicio = 0;
        while (inicio < texto.size()) {
            const std::size_t fim = texto.find("\r\n", inicio);
            ASSERT_NE(fim, std::string::npos) << arquivos[i];
            const std::string linha = texto.substr(inicio, fim - inicio);
            inicio = fim + 2;
            EXPECT_EQ(linha.find('\n'), std::string::npos) << linha;
            seq::TComando c;
            std::string erro;
            ASSERT_TRUE(seq::GeraListaParametros(linha, c, erro)) << linha << ": " << erro;
            EXPECT_EQ(c.Quantidade, static_cast<int>(c.Parametros.size()));
            EXPECT_EQ(seq::SeparaLinha(linha)[0], c.Nome);
            const seq::ChaveDespacho* e = seq::ProcuraChave(seq::NormalizaChave(c.Nome));
            ASSERT_NE(e, nullptr) << linha;
            EXPECT_EQ(static_cast<std::size_t>(e->categoria), i) << linha;
            EXPECT_EQ(seq::DadosDe(e->categoria).arquivo, arquivos[i]);
            todas.push_back(seq::NormalizaChave(c.Nome));
        }
    }
    // Every key once, and each file in table order.
    std::vector<std::string> ordenadas = kChaves;
    std::stable_sort(ordenadas.begin(), ordenadas.end(), [](const std::string& a, const std::string& b) {
        return seq::ProcuraChave(a)->categoria < seq::ProcuraChave(b)->categoria;
    });
    EXPECT_EQ(todas, ordenadas);
    // A declaration of the Part's line form: return variables marked "var", then the count.
    const std::string cupom = teste::LeArquivo(std::string(BELMORA_BIN) + "/FunçõesCupomFiscal.txt");
    EXPECT_NE(cupom.find("Tarvo_EfetuaFormaPagamento(formaPagamento: string; valor: string): integer; 2\r\n"),
              std::string::npos);
    const std::string gaveta = teste::LeArquivo(std::string(BELMORA_BIN) + "/FunçõesGaveta.txt");
    EXPECT_EQ(gaveta,
              "Tarvo_AcionaGaveta(): integer; 0\r\n"
              "Tarvo_VerificaEstadoGaveta(var iEstadoGaveta: integer): integer; 1\r\n"
              "Tarvo_VerificaEstadoGavetaStr(var strEstadoGaveta: string): integer; 1\r\n");
}

TEST_F(Despacho, EveryKeyCallsTheExportOfItsRow) {
    for (const std::string& chave : kChaves) {
        std::string esperado;
        auto outro = kOutrosAlvos.find(chave);
        if (outro != kOutrosAlvos.end()) {
            esperado = outro->second;
        } else {
            for (const seq::Assinatura& a : seq::Assinaturas())
                if (seq::NormalizaChave(a.nome) == chave) esperado = std::string(a.nome) + "(";
        }
        std::vector<std::string> valores(20, "1");
        if (chave == "rfd_convertedamfd") valores = {"7"};
        if (chave == "tarvo_executacomando") valores = {"AbreGaveta", ""};
        if (chave == "tarvo_executaleitura") valores = {"LeInteiro", "NomeInteiro=\"COO\""};
        seq::TComando c = Comando(chave, valores);
        Limpa();
        impressora.LimpaRegistros();
        seq::TrataComando(c);
        ASSERT_FALSE(log.empty()) << chave;
        EXPECT_EQ(log[0], "-> Executando " + c.Nome);
        const std::vector<std::string> chamadas = Chamadas(LogDLL());
        if (chave == "tarvo_executacomando" || chave == "tarvo_executaleitura") {
            // The raw generic calls reach the printer without a record of their own.
            EXPECT_TRUE(chamadas.empty() || chamadas[0].rfind("Tarvo_Executa", 0) != 0) << chave;
            ASSERT_FALSE(impressora.Comandos().empty()) << chave;
            EXPECT_EQ(impressora.Comandos().back(), valores[0]);
            continue;
        }
        ASSERT_FALSE(esperado.empty()) << chave;
        ASSERT_FALSE(chamadas.empty()) << chave;
        EXPECT_EQ(chamadas[0].substr(0, esperado.size()), esperado) << chave;
    }
}

TEST_F(Despacho, CancellationsAndDocumentChangeReadTheirOwnTotals) {
    seq::TComando c = Comando("tarvo_cancelamentos");
    ASSERT_TRUE(seq::TrataComando(c));
    seq::TComando t = Comando("tarvo_totaldoctroco");
    ASSERT_TRUE(seq::TrataComando(t));
    const std::string l = LogDLL();
    EXPECT_EQ(Chamadas(l), std::vector<std::string>(
                               {"Tarvo_Cancelamentos(strRetorno);", "Tarvo_TotalDocTroco(strRetorno);"}));
    EXPECT_EQ(log[1], "<- Operação executada com Sucesso! Retorno: " + c.Parametros[0].ValorTexto);
    EXPECT_EQ(c.Parametros[0].ValorTexto, l.substr(l.find("strRetorno=") + 11, 14));
}

TEST_F(Despacho, SuccessTextsOfTheReadings) {
    auto roda = [&](const std::string& chave, const std::vector<std::string>& valores = {}) {
        seq::TComando c = Comando(chave, valores);
        Limpa();
        EXPECT_TRUE(seq::TrataComando(c)) << chave << "\n" << LogDLL();
        EXPECT_EQ(log.size(), 2u) << chave;
        return c;
    };
    // Two values joined by " - ", the return variables filled with them.
    seq::TComando c = roda("tarvo_datahoraimpressora");
    const std::string data = ValorNoLog(LogDLL(), "strData"), hora = ValorNoLog(LogDLL(), "strHora");
    EXPECT_EQ(data.size(), 6u);
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso! Retorno: " + data + " - " + hora);
    EXPECT_EQ(c.Parametros[0].ValorTexto, data);
    EXPECT_EQ(c.Parametros[1].ValorTexto, hora);
    // Integer outputs in decimal; an input of the export is among the values where the row says so.
    roda("tarvo_verificaestadoimpressoramfd", {"0"});
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso! Retorno: " + ValorNoLog(LogDLL(), "nACK") +
                              " - " + ValorNoLog(LogDLL(), "nST1") + " - " + ValorNoLog(LogDLL(), "nST2") +
                              " - 0");
    roda("tarvo_valorformapagamento", {"Dinheiro"});
    EXPECT_EQ(log.back(),
              "<- Operação executada com Sucesso! Retorno: Dinheiro - " + ValorNoLog(LogDLL(), "strRetorno"));
    // Drawer: the name of the first parameter and the state; the integer variable takes it.
    c = roda("tarvo_verificaestadogaveta");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso! Retornou:iEstadoGaveta: " +
                              ValorNoLog(LogDLL(), "iEstadoGaveta"));
    EXPECT_EQ(std::to_string(c.Parametros[0].ValorInteiro), ValorNoLog(LogDLL(), "iEstadoGaveta"));
    roda("tarvo_verificaestadogavetastr");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso! Retornou:strEstadoGaveta: " +
                              ValorNoLog(LogDLL(), "strEstadoGaveta"));
    // The files the readings leave behind (the type-60 reports need a reduction).
    roda("tarvo_leituraxserial");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso! Arquivo \"impr.txt\" criado!");
    roda("tarvo_reducaoz", {"", ""});
    roda("tarvo_relatoriotipo60mestre");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso! Arquivo \"RETORNO.txt\" criado!");
    // Identification readings with labels of their own.
    roda("tarvo_lecodigonacionalidentificacaoecf");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso! CNI: " + ValorNoLog(LogDLL(), "CNI"));
    roda("tarvo_leparametrospaf");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso!CNPJ=" + ValorNoLog(LogDLL(), "CNPJ") +
                              " Data=" + ValorNoLog(LogDLL(), "Data") + " Hora=" +
                              ValorNoLog(LogDLL(), "Hora") + " NumSerie=" + ValorNoLog(LogDLL(), "NumSerie") +
                              " NumECF=" + ValorNoLog(LogDLL(), "NumECF") +
                              " GrandeTotal=" + ValorNoLog(LogDLL(), "GrandeTotal"));
    // The raw reading: its reply.
    roda("tarvo_executaleitura", {"LeInteiro", "NomeInteiro=\"COO\""});
    EXPECT_EQ(log.back().rfind("<- Operação executada com Sucesso! Retorno: ValorInteiro=", 0), 0u)
        << log.back();
    // A command without a success text.
    roda("tarvo_acionagaveta");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso!");
}

// The cheque readings need a printer with a cheque station, which the library takes from
// TARVO.INI as it loads: the test writes the model and runs itself again in a child process.
TEST(DespachoCheque, ChequeReadingsGiveTheirResult) {
    const std::string ini = std::string(std::getenv("TARVO_HOME")) + "/TARVO.INI";
    if (!std::getenv("BELMORA_TESTE_CHEQUE")) {
        ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(ini, "Sistema", "ModeloImp", "TARVO_ORVIKTH"));
        const pid_t filho = ::fork();
        ASSERT_GE(filho, 0);
        if (filho == 0) {
            ::setenv("BELMORA_TESTE_CHEQUE", "1", 1);
            ::execl("/proc/self/exe", "console_sequencias_despacho_test", "--gtest_filter=DespachoCheque.*",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int estado = 0;
        ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
        EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << "the child reported failures (above)";
        plataforma::ArquivoIni::GravaChave(ini, "Sistema", "ModeloImp", "TARVO_RIX");
        return;
    }
    emulador::Emulador impressora;
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
    impressora.Altera([](emulador::Impressora& i) { i.chequeInserido = true; });
    std::vector<std::string> log;
    belmora::DefineLogOperador([&](const std::string& l) { log.push_back(l); });
    belmora::DefineRelogioLogDLL([] { return kHoje; });
    auto logDLL = [] { return plataforma::Cp1252ParaUtf8(teste::LeArquivo(kLogDLL)); };
    seq::TComando c = Comando("tarvo_leituracheque");
    EXPECT_TRUE(seq::TrataComando(c)) << logDLL();
    EXPECT_EQ(log.back(),
              "<- Operação executada com Sucesso! Resultado: " + ValorNoLog(logDLL(), "CodigoCMC7"));
    EXPECT_NE(log.back().find(impressora.Impressora().cmc7.substr(0, 10)), std::string::npos) << log.back();
    EXPECT_EQ(c.Parametros[0].ValorTexto, ValorNoLog(logDLL(), "CodigoCMC7"));
    seq::TComando s = Comando("tarvo_verificastatuscheque");
    EXPECT_TRUE(seq::TrataComando(s)) << logDLL();
    EXPECT_EQ(log.back(),
              "<- Operação executada com Sucesso! Resultado: " + ValorNoLog(logDLL(), "iStatusCheque"));
    belmora::DefineLogOperador(nullptr);
    belmora::DefineRelogioLogDLL(nullptr);
}

TEST_F(Despacho, AFailureLogsTheDriversErrorThenTheFailureLine) {
    // No linked document is open.
    seq::TComando c = Comando("tarvo_fechacomprovantenaofiscalvinculado");
    EXPECT_FALSE(seq::TrataComando(c));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].rfind("  <- Erro nº: ", 0), 0u) << log[1];
    EXPECT_EQ(log[2], "<- Operação falhou!");
    // A Z counter that is not a number is refused before any call.
    Limpa();
    seq::TComando rfd = Comando("rfd_convertedamfd", {"doze"});
    EXPECT_FALSE(seq::TrataComando(rfd));
    EXPECT_EQ(log,
              std::vector<std::string>({"-> Executando RFD_ConvertedaMFD",
                                        "  <- Erro Nº: -2 - Parâmetro inválido", "<- Operação falhou!"}));
    EXPECT_FALSE(std::filesystem::exists(kLogDLL));
}

TEST_F(Despacho, TheFillCheckRefusesUnfilledInputsExceptOnExemptKeys) {
    const std::size_t quadros = impressora.Quadros().size();
    // One parameter left unfilled: nothing is called.
    seq::TComando c = Comando("tarvo_vendeitem", {"001", "ARROZ", "FF", "I", "1", "2", "5,00", "$", "0,00"});
    c.Parametros[4].Preenchido = false;
    EXPECT_FALSE(seq::TrataComando(c));
    EXPECT_EQ(log, std::vector<std::string>(
                       {"-> Executando Tarvo_VendeItem", "<- Operação falhou! Parametro não preenchido"}));
    // A command that lacks the parameters of its export (a hand-written line with count 0).
    Limpa();
    seq::TComando vazio;
    vazio.Nome = "Tarvo_EfetuaFormaPagamento";
    EXPECT_FALSE(seq::TrataComando(vazio));
    EXPECT_EQ(log.back(), "<- Operação falhou! Parametro não preenchido");
    // A builder pseudo-command is checked too.
    Limpa();
    seq::TComando relogio = Comando("tarvo_programarelogio", {"04/03/2026"});
    EXPECT_FALSE(seq::TrataComando(relogio));
    EXPECT_EQ(log.back(), "<- Operação falhou! Parametro não preenchido");
    EXPECT_FALSE(std::filesystem::exists(kLogDLL));
    EXPECT_EQ(impressora.Quadros().size(), quadros);
    // Exempt keys run with their values as they stand (empty text).
    Limpa();
    seq::TComando abre = Comando("tarvo_abrecupom");
    ASSERT_FALSE(abre.Parametros[0].Preenchido);
    EXPECT_TRUE(seq::TrataComando(abre));
    EXPECT_EQ(Chamadas(LogDLL()), std::vector<std::string>({"Tarvo_AbreCupom(\"\");"}));
    // Unfilled return variables are no inputs.
    Limpa();
    seq::TComando cupom = Comando("tarvo_numerocupom");
    ASSERT_FALSE(cupom.Parametros[0].Entrada);
    EXPECT_TRUE(seq::TrataComando(cupom));
    EXPECT_EQ(cupom.Parametros[0].ValorTexto, ValorNoLog(LogDLL(), "strRetorno"));
    EXPECT_EQ(cupom.Parametros[0].ValorTexto.size(), 6u);
}

TEST_F(Despacho, NamesAreMatchedLowerCasedAndTrimmed) {
    seq::TComando c;
    c.Nome = "Tarvo_Inexistente";
    EXPECT_FALSE(seq::TrataComando(c));
    EXPECT_EQ(log, std::vector<std::string>({"-> Executando Tarvo_Inexistente"}));
    EXPECT_FALSE(std::filesystem::exists(kLogDLL));
    Limpa();
    c.Nome = " TARVO_LEITURAX ";
    EXPECT_TRUE(seq::TrataComando(c));
    EXPECT_EQ(log, std::vector<std::string>(
                       {"-> Executando  TARVO_LEITURAX ", "<- Operação executada com Sucesso!"}));
    EXPECT_EQ(Chamadas(LogDLL()), std::vector<std::string>({"Tarvo_LeituraX();"}));
}

TEST_F(Despacho, TextsGoToTheLibraryInWindows1252AndComeBackInUtf8) {
    seq::TComando c = Comando("tarvo_programaoperador", {"João"});
    EXPECT_TRUE(seq::TrataComando(c));
    EXPECT_NE(teste::LeArquivo(kLogDLL).find("Tarvo_ProgramaOperador(\"Jo\xE3o\");"), std::string::npos);
}

TEST_F(Despacho, NoExceptionLeavesTheDispatch) {
    // An operator log that throws on the first line, then on every line.
    int linhas = 0;
    belmora::DefineLogOperador([&](const std::string&) {
        ++linhas;
        throw std::runtime_error("log cheio");
    });
    seq::TComando c = Comando("tarvo_leiturax");
    bool r = true;
    EXPECT_NO_THROW(r = seq::TrataComando(c));
    EXPECT_FALSE(r);
    EXPECT_EQ(linhas, 2);
}

TEST_F(Despacho, AReceiptOpenedSoldPaidAndClosed) {
    struct Passo {
        std::string chave;
        std::vector<std::string> valores;
        std::string chamada;
    };
    const std::vector<Passo> passos = {
        {"tarvo_abrecupom", {""}, "Tarvo_AbreCupom(\"\");"},
        {"tarvo_vendeitem",
         {"001", "ARROZ", "FF", "I", "2", "2", "5,00", "$", "0,00"},
         "Tarvo_VendeItem(\"001\",\"ARROZ\",\"FF\",\"I\",\"2\",2,\"5,00\",\"$\",\"0,00\");"},
        {"tarvo_iniciafechamentocupom",
         {"A", "$", "0,00"},
         "Tarvo_IniciaFechamentoCupom(\"A\",\"$\",\"0,00\");"},
        {"tarvo_efetuaformapagamento",
         {"Dinheiro", "10,00"},
         "Tarvo_EfetuaFormaPagamento(\"Dinheiro\",\"10,00\");"},
        {"tarvo_terminafechamentocupom", {"Volte sempre"}, "Tarvo_TerminaFechamentoCupom(\"Volte sempre\");"},
        {"tarvo_leiturax", {}, "Tarvo_LeituraX();"},
    };
    std::vector<std::string> esperado, chamadas;
    for (const Passo& p : passos) {
        seq::TComando c = Comando(p.chave, p.valores);
        EXPECT_TRUE(seq::TrataComando(c)) << p.chave << "\n" << LogDLL();
        esperado.push_back("-> Executando " + c.Nome);
        esperado.push_back("<- Operação executada com Sucesso!");
        chamadas.push_back(p.chamada);
    }
    EXPECT_EQ(log, esperado);
    EXPECT_EQ(Chamadas(LogDLL()), chamadas);
    EXPECT_EQ(impressora.Impressora().aberto.tipo, emulador::TipoDocumento::Nenhum);
}

}  // namespace
