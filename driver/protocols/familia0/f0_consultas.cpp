// Table and status readings of family-0 printers: single values, the printer's tables laid
// out as fixed-width texts, and the status words.
#include "driver/protocols/familia0/f0_consultas.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/exportacao.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_documentos.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"

namespace tarvo::consultas {

namespace {

int Le(const char* comando, const char* parametro, const std::string& nome, std::string& valor) {
    int r = EnviaComandoTxt(comando, std::string(parametro) + "=" + Aspas(nome));
    valor = r == 1 ? Resposta().ValorResposta : std::string();
    return r;
}

}  // namespace

int LeSlot(const std::string& comando, const std::string& parametros, int codigoVazio, bool& vazio) {
    vazio = false;
    int r = EnviaComandoTxt(comando, parametros);
    if (r == 0 && Erro().UltimoRetorno == codigoVazio) {
        DefineErro(Falha::Nenhuma);
        Erro().EstadoSt2 = 0;
        vazio = true;
        return 1;
    }
    return r;
}

int LeInteiro(const std::string& nome, std::string& valor) {
    return Le("LeInteiro", "NomeInteiro", nome, valor);
}
int LeMoeda(const std::string& nome, std::string& valor) {
    return Le("LeMoeda", "NomeDadoMonetario", nome, valor);
}
int LeTexto(const std::string& nome, std::string& valor) {
    return Le("LeTexto", "NomeTexto", nome, valor);
}
int LeIndicador(const std::string& nome, std::string& valor) {
    return Le("LeIndicador", "NomeIndicador", nome, valor);
}

int LeMoedaSlot(const std::string& nome, int codigoVazio, std::string& valor) {
    bool vazio = false;
    int r = LeSlot("LeMoeda", "NomeDadoMonetario=" + Aspas(nome), codigoVazio, vazio);
    valor = r == 1 && !vazio ? Resposta().ValorResposta : std::string();
    return r;
}

bool EhIndice(const std::string& texto) {
    std::string d = !texto.empty() && (texto[0] == '-' || texto[0] == '+') ? texto.substr(1) : texto;
    return !d.empty() && d.size() <= 9 && EhNumerico(d);
}

int ParametroInvalido() {
    DefineErro(Falha::ParametroInvalido);
    GravaLog("---[Parametro invalido]---");
    return -2;
}

namespace {

std::string Junta(const std::vector<std::string>& itens) {
    std::string r;
    for (std::size_t i = 0; i < itens.size(); ++i) r += (i ? "," : "") + itens[i];
    return r;
}

std::string Indexado(const std::string& nome, int n) {
    return nome + "[" + std::to_string(n) + "]";
}
std::string Indexado(const std::string& nome, const std::string& n) {
    return nome + "[" + n + "]";
}

// ddmmyyyy (the digits of the printer's date) as ddmmyy.
std::string DataCurta(const std::string& valor) {
    std::string d = SomenteNumeros(valor);
    return d.substr(0, 4) + (d.size() >= 8 ? d.substr(6, 2) : std::string());
}

// A failure that is not the printer's answer about one slot: the printer did not answer,
// or the port could not be opened.
bool SemComunicacao(int resultado) {
    return resultado != 0 || Erro().UltimoRetorno < 0;
}

void LimpaErro() {
    DefineErro(Falha::Nenhuma);
    Erro().EstadoSt2 = 0;
}

// The answer of a single register reading (empty after a failure).
int Registrador(int numero) {
    std::string v;
    int r = LeRegistradorTxt(numero, v);
    Erro().TextoRetorno = v;
    return r;
}

int Moeda(const std::string& nome) {
    std::string v;
    int r = LeMoeda(nome, v);
    Erro().TextoRetorno = v;
    return r;
}

// The rate kind that the engine keeps for the rate readings, put back to "any" afterwards
// so that the host's own rate readings are not filtered.
class TipoAliquota {
  public:
    explicit TipoAliquota(int tipo) { Resposta().TipoAliquotaPedido = tipo; }
    ~TipoAliquota() { Resposta().TipoAliquotaPedido = 0; }
    TipoAliquota(const TipoAliquota&) = delete;
    TipoAliquota& operator=(const TipoAliquota&) = delete;
};

// Rate lists. Layout 0: every slot as 4 digits; 1 and 3: the ISS or ICMS rates as 4
// digits; 2 and 4: their slot numbers as 2 digits. A failure keeps what was read before it.
int ListaAliquotas(int layout) {
    Sequencia vez;
    TipoAliquota tipo(layout);
    std::vector<std::string> itens;
    int r = 1;
    for (int n = 0; n < 16; ++n) {
        bool vazio = false;
        r = LeSlot("LeAliquota", "CodAliquotaProgramavel=" + std::to_string(n), kVazioAliquota, vazio);
        if (r != 1) break;
        const std::string valor = vazio ? std::string() : Resposta().ValorResposta;
        if (layout == 0)
            itens.push_back(PreencheZerosEsquerda(valor, 4));
        else if (!valor.empty())
            itens.push_back(layout == 1 || layout == 3 ? PreencheZerosEsquerda(valor, 4)
                                                       : PreencheZerosEsquerda(std::to_string(n), 2));
    }
    Erro().TextoRetorno = Junta(itens);
    return r;
}

// One entry of a totaliser table: an amount read by name (nothing to read: zeros), its
// width, and whether a "," stands before it.
struct Entrada {
    std::string nome;
    int largura;
    bool virgula;
};

int Totalizadores(const std::vector<Entrada>& entradas) {
    Sequencia vez;
    Erro().TextoRetorno.clear();
    std::string texto;
    for (const Entrada& e : entradas) {
        std::string valor;
        if (!e.nome.empty()) {
            int r = LeMoedaSlot(e.nome, kVazioAliquota, valor);
            if (r != 1) return r;
        }
        if (e.virgula) texto += ",";
        texto += PreencheZerosEsquerda(valor, e.largura);
    }
    Erro().TextoRetorno = texto;
    return 1;
}

std::vector<Entrada> Aliquotas() {
    std::vector<Entrada> v;
    for (int n = 0; n < 16; ++n) v.push_back({Indexado("TotalDiaValorAliquota", n), 14, false});
    return v;
}

// A table read slot by slot into TextoRetorno: `linha(n, texto)` reads slot n (from 0) into
// its line and answers 1, or the code that ends the walk with nothing handed back; `vazias`
// lines `vazia` close the table.
int TabelaSlots(int quantos, const std::function<int(int, std::string&)>& linha, int vazias = 0,
                const std::string& vazia = {}) {
    Sequencia vez;
    Erro().TextoRetorno.clear();
    std::vector<std::string> itens;
    for (int n = 0; n < quantos; ++n) {
        std::string texto;
        int r = linha(n, texto);
        if (r != 1) return r;
        itens.push_back(std::move(texto));
    }
    itens.insert(itens.end(), static_cast<std::size_t>(vazias), vazia);
    Erro().TextoRetorno = Junta(itens);
    return 1;
}

// Names of the non-fiscal totalisers 0 to `ultimo`, 19 characters each.
int NomesNaoFiscais(int ultimo) {
    return TabelaSlots(ultimo + 1, [](int n, std::string& linha) {
        bool vazio = false;
        int r = LeSlot("LeNaoFiscal", "CodNaoFiscal=" + std::to_string(n), kVazioAliquota, vazio);
        if (r == 1) linha = PreencheEspacosDireita(vazio ? std::string() : Resposta().ValorResposta, 19);
        return r;
    });
}

int ContadoresNaoFiscais() {
    return TabelaSlots(9, [](int n, std::string& linha) {
        bool vazio = false;
        int r = LeSlot("LeInteiro", "NomeInteiro=" + Aspas(Indexado("CON", n)), kVazioAliquota, vazio);
        if (r == 1) linha = PreencheZerosEsquerda(vazio ? std::string() : Resposta().ValorResposta, 4);
        return r;
    });
}

// The status reading that the drawer exports share: the sensor's first digit, inverted
// when the drawer's sensor works the other way round ([Sistema] ModoGaveta "1").
int EstadoGaveta(int& estado) {
    std::string v;
    int r = LeIndicador("SensorGaveta", v);
    const std::string c = CaracterNaPosicao(v, 1);
    estado = c.empty() || !EhNumerico(c) ? 0 : c[0] - '0';
    if (Config().ModoGaveta == "1") estado = estado == 0 ? 1 : 0;
    return r;
}

int FlagsFiscais(int& flags) {
    Sequencia vez;
    flags = 0;
    std::string tipo, estado, verao, diaFechado, ultimo;
    int r = LeInteiro("TipoDocEmEmissao", tipo);
    if (r == 1) r = LeTexto("NomeEstadoFiscal", estado);
    if (r == 1) r = LeIndicador("HorarioVerao", verao);
    if (r == 1) r = LeIndicador("DiaFechado", diaFechado);
    if (r == 1) r = LeInteiro("TipoUltimoDocEmitido", ultimo);
    if (r != 1) return r;
    const bool aberto = tipo == "3";
    estado = Apara(estado);
    if (aberto) flags += 1;
    if (estado == "ESTADO_TOTALIZANDO" || estado == "ESTADO_PAGAMENTO") flags += 2;
    if (verao == "11") flags += 4;
    if (diaFechado != "00") flags += 8;
    if (aberto || ultimo == "3") flags += 32;
    return 1;
}

int Indicadores(int& valor) {
    std::string v;
    int r = LeInteiro("Indicadores", v);
    if (r == 1) valor = ParaInteiro(v, 0);
    return r;
}

// Free share of the detail-tape memory in hundredths of a percent (0 to 9999), from the
// used share the printer reports. A used share beyond 99,99% counts as 99,99%, so the
// free share is never negative.
int LivreCentesimos(int& livre) {
    std::string v;
    int r = LeRegistradorTxt(112, v);
    if (r != 1) return r;
    const std::string d = RemoveZerosEsquerda(SomenteNumeros(v));
    const int usado = d.size() > 4 ? 9999 : ParaInteiro(d.empty() ? "0" : d, 0);
    livre = std::max(0, 9999 - std::min(usado, 9999));
    return 1;
}

const char* const kTiposImpressora[] = {
    "",
    "Impressora fiscal, gaveta, autentica\xE7"
    "ao.",
    "Impressora fiscal, gaveta, cutter.",
    "Impressora fiscal, presenter, autentica\xE7"
    "ao.",
    "Impressora fiscal, presenter, cutter.",
};

}  // namespace

int TabelaFormasPagamento(int tipo, std::string& texto) {
    Sequencia vez;
    const int w = tipo == 0 ? 20 : 14;
    const int enchimentos = tipo == 0 ? 36 : 4;
    const std::string vazia = std::string(16, ' ') + std::string(static_cast<std::size_t>(2 * w + 1), '0');
    texto.clear();
    std::string t;
    for (int forma = -2; forma <= 14; ++forma) {
        if (forma == -1) continue;
        const std::string f = std::to_string(forma);
        bool vazio = false;
        Resposta().PermiteVinculadoResposta.clear();
        int r = LeSlot("LeMeioPagamento", "CodMeioPagamentoProgram=" + f, kVazioMeioPagamento, vazio);
        if (r != 1) return r;
        if (vazio) {
            t += vazia + ",";
            continue;
        }
        const std::string nome = Resposta().ValorResposta;
        const bool vinculado = Resposta().PermiteVinculadoResposta != "N";
        std::string dia, documento;
        r = LeMoeda(forma == -2 ? "TotalDiaDinheiro" : Indexado("TotalDiaMeioPagamento", f), dia);
        if (r != 1) return r;
        r = LeMoeda(forma == -2 ? "TotalDocDinheiro" : Indexado("TotalDocMeioPagamento", f), documento);
        if (r != 1) return r;
        t += PreencheEspacosDireita(nome, 16) + PreencheZerosEsquerda(dia, w) +
             PreencheZerosEsquerda(documento, w) + (vinculado ? "1" : "0") + ",";
    }
    for (int i = 0; i < enchimentos; ++i) t += (i ? "," : "") + vazia;
    texto = t;
    return 1;
}

int EstadoImpressora(int& ack, int& st1, int& st2) {
    Sequencia vez;
    std::string tipo, semPapel, poucoPapel;
    // Each reading must succeed: a failed one would leave the value of an earlier reply.
    int r = LeInteiro("TipoDocEmEmissao", tipo);
    if (r == 1) r = LeIndicador("SemPapel", semPapel);
    if (r == 1) r = LeIndicador("SensorPoucoPapel", poucoPapel);
    if (r != 1) return r;
    auto poe = [](int palavra, int bit, bool ligado) { return ligado ? palavra | bit : palavra & ~bit; };
    int s1 = Erro().EstadoSt1;
    s1 = poe(s1, 2, tipo == "3");
    s1 = poe(s1, 128, CaracterNaPosicao(semPapel, 1) != "0");
    s1 = poe(s1, 64, CaracterNaPosicao(poucoPapel, 1) != "0");
    ack = 6;
    st1 = s1;
    st2 = Erro().EstadoSt2 & ~4;
    return 1;
}

}  // namespace tarvo::consultas

namespace tarvo::familia0 {

using namespace tarvo::consultas;

// --- single registers ----------------------------------------------------------------------------

int Tarvo_ModeloImpressora(char*) {
    return Registrador(102);
}
int Tarvo_VersaoFirmware(char*) {
    return Registrador(1);
}
int Tarvo_NumeroSerie(char*) {
    return Registrador(0);
}
int Tarvo_NumeroSerieMemoriaMFD(char*) {
    return Registrador(109);
}
int Tarvo_CNPJMFD(char*) {
    return Registrador(106);
}
int Tarvo_InscricaoEstadualMFD(char*) {
    return Registrador(107);
}
int Tarvo_InscricaoMunicipalMFD(char*) {
    return Registrador(108);
}
int Tarvo_SimboloMoeda(char*) {
    return Registrador(115);
}
int Tarvo_NumeroLoja(char*) {
    return Registrador(15);
}
int Tarvo_NumeroCaixa(char*) {
    return Registrador(14);
}
int Tarvo_NumeroCupom(char*) {
    return Registrador(6);
}
int Tarvo_NumeroCuponsCancelados(char*) {
    return Registrador(8);
}
int Tarvo_NumeroOperacoesNaoFiscais(char*) {
    return Registrador(7);
}
int Tarvo_NumeroIntervencoes(char*) {
    return Registrador(10);
}
int Tarvo_NumeroReducoes(char*) {
    return Registrador(9);
}
int Tarvo_NumeroSubstituicoesProprietario(char*) {
    return Registrador(105);
}
int Tarvo_UltimoItemVendido(char*) {
    return Registrador(12);
}
int Tarvo_ComprovantesNaoFiscaisNaoEmitidosMFD(char*) {
    return Registrador(104);
}
int Tarvo_ContadorComprovantesCreditoMFD(char*) {
    return Registrador(52);
}
int Tarvo_ContadorOperacoesNaoFiscaisCanceladasMFD(char*) {
    return Registrador(53);
}
int Tarvo_ContadorCupomFiscalMFD(char*) {
    return Registrador(55);
}
int Tarvo_ContadorFitaDetalheMFD(char*) {
    return Registrador(56);
}
int Tarvo_ContadorRelatoriosGerenciaisMFD(char*) {
    return Registrador(54);
}
int Tarvo_ReducoesRestantesMFD(char*) {
    return Registrador(110);
}
int Tarvo_MinutosImprimindo(char*) {
    return Registrador(19);
}
int Tarvo_MinutosEmitindoDocumentosFiscaisMFD(char*) {
    return Registrador(19);
}
int Tarvo_MinutosLigada(char*) {
    return Registrador(18);
}
int Tarvo_TempoOperacionalMFD(char*) {
    return Registrador(18);
}
int Tarvo_TotalLivreMFD(char*) {
    return Registrador(111);
}
int Tarvo_SubTotal(char*) {
    return Registrador(100);
}
int Tarvo_GrandeTotal(char*) {
    return Registrador(3);
}
int Tarvo_Descontos(char*) {
    return Registrador(5);
}
int Tarvo_Cancelamentos(char*) {
    return Registrador(4);
}

int Tarvo_MarcaModeloTipoImpressoraMFD(char* strMarca, char* strModelo, char* strTipo) {
    Sequencia vez;
    using Cap = cap::Tarvo_MarcaModeloTipoImpressoraMFD;
    const struct {
        int registrador;
        int largura;
        char* buffer;
        std::size_t capacidade;
    } itens[] = {{101, 15, strMarca, Cap::strMarca},
                 {102, 20, strModelo, Cap::strModelo},
                 {103, 7, strTipo, Cap::strTipo}};
    for (const auto& i : itens) {
        std::string v;
        int r = LeRegistradorTxt(i.registrador, v);
        if (r != 1) return r;
        Erro().TextoRetorno = v;
        DevolveRetornoBrancos(i.largura, i.buffer, i.capacidade);
    }
    return 1;
}

int Tarvo_CNPJ_IE(char*, char*) {
    Sequencia vez;
    std::string cnpj, ie;
    Erro().TextoValor.clear();
    int r = LeRegistradorTxt(106, cnpj);
    Erro().TextoRetorno = cnpj;
    // Without the CNPJ the export has failed, whatever a reading of the IE would answer.
    if (r != 1) return r;
    r = LeRegistradorTxt(107, ie);
    Erro().TextoValor = ie;
    return r;
}

// --- named amounts and texts ------------------------------------------------------------------

int Tarvo_Acrescimos(char*) {
    return Moeda("TotalDiaAcrescimos");
}
int Tarvo_VendaBruta(char*) {
    return Moeda("TotalDiaVendaBruta");
}
int Tarvo_VendaLiquida(char*) {
    return Moeda("TotalDiaVendaLiquida");
}
int Tarvo_TotalDocTroco(char*) {
    return Moeda("TotalDocTroco");
}
int Tarvo_TotalDiaTroco(char*) {
    return Moeda("TotalDiaTroco");
}
int Tarvo_ValorPagoUltimoCupom(char*) {
    return Moeda("TotalDocValorPago");
}

int Tarvo_ClicheProprietario(char*) {
    std::string v;
    int r = LeTexto("Cliche", v);
    Erro().TextoRetorno = v;
    return r;
}

int Tarvo_TotalIcmsCupom(char*) {
    Erro().TextoRetorno = Config().CupomManiaTotalImp;
    return 1;
}

int Tarvo_ValorTotalizadorNaoFiscal(const char* Totalizador, char*) {
    Sequencia vez;
    Erro().TextoRetorno.clear();
    const std::string t = Apara(TextoArg(Totalizador));
    std::string codigo = t;
    if (t.empty() || !EhNumerico(t)) {
        Resposta().CodigoResposta.clear();
        int r = EnviaComandoTxt("LeNaoFiscal", "NomeNaoFiscal=" + Aspas(t));
        if (r != 1) return r;
        codigo = Resposta().CodigoResposta;
        if (!EhIndice(codigo)) {
            DefineErro(Falha::TotalizadorNaoEncontrado, t);
            return 0;
        }
    }
    return Moeda(Indexado("TotalDiaNaoFiscal", codigo));
}

int Tarvo_ValorFormaPagamento(const char* FormaPagamento, char*) {
    Sequencia vez;
    Erro().TextoRetorno.clear();
    std::string codigo;
    int r = CodigoMeioPagamento(TextoArg(FormaPagamento), codigo);
    if (r != 1) return r;
    if (!EhIndice(codigo)) {
        DefineErro(Falha::FormaPagamentoNaoEncontrada, Apara(TextoArg(FormaPagamento)));
        return 0;
    }
    return Moeda(codigo == "-2" ? std::string("TotalDiaDinheiro")
                                : Indexado("TotalDiaMeioPagamento", codigo));
}

int Tarvo_LeNomeRelatorioGerencial(const char* Indice, char*) {
    Erro().TextoRetorno.clear();
    const std::string indice = Apara(TextoArg(Indice));
    if (!EhIndice(indice)) return ParametroInvalido();
    int r = EnviaComandoTxt("LeGerencial", "CodGerencial=" + indice);
    if (r == 1) Erro().TextoRetorno = Resposta().ValorResposta;
    return r;
}

// --- dates -----------------------------------------------------------------------------------------

namespace {
int LeDataHora(const std::string& nomeData, const std::string& nomeHora, std::string& data,
               std::string& hora) {
    data.clear();
    hora.clear();
    int r = EnviaComandoTxt("LeData", "NomeData=" + Aspas(nomeData));
    if (r != 1) return r;
    data = DataCurta(Resposta().ValorResposta);
    r = EnviaComandoTxt("LeHora", "NomeHora=" + Aspas(nomeHora));
    if (r == 1) hora = Resposta().ValorResposta;
    return r;
}
}  // namespace

int Tarvo_DataHoraImpressora(char*, char*) {
    Sequencia vez;
    return LeDataHora("Data", "Hora", Erro().TextoRetorno, Erro().TextoValor);
}

int Tarvo_DataHoraUltimoDocumentoMFD(char*) {
    Sequencia vez;
    std::string data, hora;
    int r = LeDataHora("DataUltimoDoc", "HoraUltimoDoc", data, hora);
    Erro().TextoRetorno = r == 1 ? data + hora : std::string();
    return r;
}

int Tarvo_DataMovimento(char*) {
    Sequencia vez;
    Erro().TextoRetorno = "000000";
    int r = RixLeDataPorNome("DataAbertura");
    // The value is the date as dd/mm/yyyy.
    const std::string d = SomenteNumeros(Resposta().ValorResposta);
    Erro().TextoRetorno = r == 1 && d.size() == 8 ? DataCurta(d) : "000000";
    return r;
}

int Tarvo_DataHoraReducao(char*, char*) {
    Sequencia vez;
    std::string data, hora;
    int r = DataHoraReducaoTxt(data, hora);
    Erro().TextoRetorno = data;
    Erro().TextoValor = r == 1 ? hora : std::string();
    return r;
}

// --- tables ------------------------------------------------------------------------------------

int Tarvo_RetornoAliquotas(char*) {
    return ListaAliquotas(0);
}
int Tarvo_VerificaAliquotasIss(char*) {
    return ListaAliquotas(1);
}
int Tarvo_VerificaIndiceAliquotasIss(char*) {
    return ListaAliquotas(2);
}
int Tarvo_VerificaAliquotasICMS(char*) {
    return ListaAliquotas(3);
}
int Tarvo_VerificaIndiceAliquotasICMS(char*) {
    return ListaAliquotas(4);
}

int Tarvo_VerificaTotalizadoresParciais(char*) {
    const Configuracao& c = Config();
    std::vector<Entrada> e = Aliquotas();
    e.push_back({"TotalDiaIsencaoICMS", 14, true});
    e.push_back({"TotalDiaNaoTributadoICMS", 14, true});
    e.push_back({"TotalDiaSubstituicaoTributariaICMS", 14, true});
    for (int n = 0; n < 9; ++n) e.push_back({Indexado("TotalDiaNaoFiscal", n), 14, n == 0});
    e.push_back({Indexado("TotalDiaNaoFiscal", c.Sangria), 14, true});
    e.push_back({Indexado("TotalDiaNaoFiscal", c.Suprimento), 14, true});
    e.push_back({"GT", 18, true});
    return Totalizadores(e);
}

int Tarvo_VerificaTotalizadoresParciaisMFD(char*) {
    const Configuracao& c = Config();
    std::vector<Entrada> e = Aliquotas();  // 0-15
    for (const char* nome :
         {"TotalDiaIsencaoICMS", "TotalDiaNaoTributadoICMS", "TotalDiaSubstituicaoTributariaICMS",
          "TotalDiaIsencaoISSQN", "TotalDiaNaoTributadoISSQN", "TotalDiaSubstituicaoTributariaISSQN",
          "TotalDiaDescontos", "TotalDiaAcrescimos", "TotalDiaCancelamentosICMS", "", "",
          "TotalDiaCancelamentosISSQN"})
        e.push_back({nome, 14, true});                                                         // 16-27
    for (int n = 0; n < 15; ++n) e.push_back({Indexado("TotalDiaNaoFiscal", n), 14, n == 0});  // 28-42
    for (int n = 43; n <= 55; ++n) e.push_back({"", 14, false});
    e.push_back({Indexado("TotalDiaNaoFiscal", c.Sangria), 14, false});     // 56
    e.push_back({Indexado("TotalDiaNaoFiscal", c.Suprimento), 14, false});  // 57
    for (int n = 58; n <= 60; ++n) e.push_back({"", 14, true});
    e.push_back({"GT", 18, true});  // 61
    return Totalizadores(e);
}

int Tarvo_VerificaDepartamentos(char*) {
    Sequencia vez;
    std::vector<std::string> itens;
    int r = 1;
    for (int d = 0; d < 20 && r == 1; ++d) {
        bool vazio = false;
        r = LeSlot("LeDepartamento", "CodDepartamento=" + std::to_string(d), kVazioDepartamento, vazio);
        if (r != 1) break;
        const std::string nome = vazio ? std::string() : Resposta().ValorResposta;
        std::string valor, quantidade;
        if (!vazio) {
            r = LeMoedaSlot(Indexado("TotalDiaValorVendasDepartamento", d), kVazioDepartamento, valor);
            if (r == 1)
                r = LeMoedaSlot(Indexado("TotalDiaQuantidadeVendasDepartamento", d), kVazioDepartamento,
                                quantidade);
            if (r != 1) break;
        }
        itens.push_back(PreencheZerosEsquerda(valor, 20) + PreencheZerosEsquerda(quantidade, 20) +
                        PreencheEspacosDireita(nome, 10));
    }
    Erro().TextoRetorno = Junta(itens);
    return r;
}

int Tarvo_ContadoresTotalizadoresNaoFiscais(char*) {
    return ContadoresNaoFiscais();
}
int Tarvo_VerificaTotalizadoresNaoFiscais(char*) {
    return NomesNaoFiscais(8);
}
int Tarvo_VerificaTotalizadoresNaoFiscaisMFD(char*) {
    return NomesNaoFiscais(14);
}

int Tarvo_VerificaRecebimentoNaoFiscal(char*) {
    auto slot = [](int n, std::string& linha) {
        std::string nome, valor, contador;
        int r = EnviaComandoTxt("LeNaoFiscal", "CodNaoFiscal=" + std::to_string(n));
        if (r == 1) {
            nome = Resposta().ValorResposta;
            r = LeMoeda(Indexado("TotalDiaNaoFiscal", n), valor);
        }
        if (r == 1) r = LeInteiro(Indexado("CON", n), contador);
        if (r != 1) {
            // A slot the printer refuses is an empty one; a printer that does not answer
            // ends the walk.
            if (SemComunicacao(r)) return r;
            LimpaErro();
            nome.clear();
            valor.clear();
            contador.clear();
        }
        linha = PreencheZerosEsquerda(contador, 4) + PreencheZerosEsquerda(valor, 20) +
                PreencheEspacosDireita(nome, 19);
        return 1;
    };
    return TabelaSlots(10, slot, 40, std::string(24, '0') + std::string(19, ' '));
}

int Tarvo_VerificaRecebimentoNaoFiscalMFD(char*) {
    auto slot = [](int n, std::string& linha) {
        bool vazio = false;
        int r = LeSlot("LeNaoFiscal", "CodNaoFiscal=" + std::to_string(n), kVazioAliquota, vazio);
        if (r != 1) return r;
        const std::string nome = vazio ? std::string() : Resposta().ValorResposta;
        std::string valor;
        if (!vazio) {
            r = LeMoedaSlot(Indexado("TotalDiaNaoFiscal", n), kVazioAliquota, valor);
            if (r != 1) return r;
        }
        linha = PreencheEspacosDireita(nome, 19) + PreencheZerosEsquerda(valor, 14);
        return 1;
    };
    return TabelaSlots(10, slot, 20, std::string(19, ' ') + std::string(14, '0'));
}

int Tarvo_VerificaFormasPagamento(char*) {
    return TabelaFormasPagamento(0, Erro().TextoRetorno);
}

int Tarvo_VerificaRelatorioGerencialMFD(char*) {
    auto slot = [](int n, std::string& linha) {
        bool vazio = false;
        int r = LeSlot("LeGerencial", "CodGerencial=" + std::to_string(n), kVazioGerencial, vazio);
        if (r != 1) return r;
        const std::string nome = vazio ? std::string() : Resposta().ValorResposta;
        std::string contador;
        if (!vazio) {
            r = LeSlot("LeInteiro", "NomeInteiro=" + Aspas(Indexado("CER", n)), kVazioGerencial, vazio);
            if (r != 1) return r;
            if (!vazio) contador = Resposta().ValorResposta;
        }
        linha = PreencheZerosEsquerda(contador, 4) + PreencheEspacosDireita(nome, 17);
        return 1;
    };
    return TabelaSlots(20, slot, 10, std::string(4, '0') + std::string(17, ' '));
}

// --- status ------------------------------------------------------------------------------------

int Tarvo_VerificaEstadoImpressora(int* nACK, int* nST1, int* nST2) {
    int ack = 0, st1 = 0, st2 = 0;
    int r = EstadoImpressora(ack, st1, st2);
    if (r != 1) return r;
    if (nACK) *nACK = ack;
    if (nST1) *nST1 = st1;
    if (nST2) *nST2 = st2;
    return 1;
}

int Tarvo_FlagsFiscais(int* iRetorno) {
    if (iRetorno) *iRetorno = 0;
    int flags = 0;
    int r = FlagsFiscais(flags);
    if (iRetorno) *iRetorno = flags;
    return r;
}

int Tarvo_FlagsFiscaisStr(char*) {
    int flags = 0;
    int r = FlagsFiscais(flags);
    Erro().TextoRetorno = PreencheZerosEsquerda(std::to_string(flags), 3);
    return r;
}

int Tarvo_LeIndicadores(int* Indicadores) {
    int valor = 0;
    int r = consultas::Indicadores(valor);
    if (r == 1 && Indicadores) *Indicadores = valor;
    return r;
}

int Tarvo_VerificaZPendente(int* iFlag) {
    int valor = 0;
    int r = Indicadores(valor);
    if (r == 1 && iFlag) *iFlag = (valor & 128) ? 1 : 0;
    return r;
}

int Tarvo_VerificaModoOperacao(char*) {
    std::string v;
    int r = LeIndicador("IntervencaoTecnica", v);
    // After a failure the buffer gets nothing that could pass for a mode.
    Erro().TextoRetorno = r != 1 ? std::string() : CaracterNaPosicao(v, 1) == "0" ? "1" : "0";
    return r;
}

int Tarvo_VerificaTruncamento(char*) {
    std::string v;
    int r = LeRegistradorTxt(114, v);
    Erro().TextoRetorno = v == "1" ? "1" : "0";
    return r;
}

int Tarvo_VerificaEstadoGaveta(int* iEstadoGaveta) {
    int estado = 0;
    int r = EstadoGaveta(estado);
    if (iEstadoGaveta) *iEstadoGaveta = estado;
    return r;
}

int Tarvo_VerificaEstadoGavetaStr(char*) {
    int estado = 0;
    int r = EstadoGaveta(estado);
    Erro().TextoRetorno = std::to_string(estado);
    return r;
}

int Tarvo_VerificaImpressoraLigada() {
    std::string v;
    return LeIndicador("SensorGaveta", v) == 1 ? 1 : -6;
}

int Tarvo_VerificaSensorPoucoPapelMFD(char*) {
    std::string v;
    int r = LeIndicador("SensorPoucoPapel", v);
    const std::string c = CaracterNaPosicao(v, 1);
    Erro().TextoRetorno = r == 1 && !c.empty() ? c : "0";
    return r;
}

int Tarvo_VerificaTipoImpressora(int* iRetorno) {
    std::string v;
    int r = LeRegistradorTxt(103, v);
    if (r == 1 && iRetorno) *iRetorno = 1;
    return r;
}

int Tarvo_VerificaTipoImpressoraStr(char*) {
    std::string v;
    int r = LeRegistradorTxt(103, v);
    Erro().TextoRetorno = r == 1 ? kTiposImpressora[1] : "";
    return r;
}

// --- detail-tape memory ------------------------------------------------------------------------

int Tarvo_PercentualLivreMFD(char*) {
    Erro().TextoRetorno.clear();
    int livre = 0;
    int r = LivreCentesimos(livre);
    if (r != 1) return r;
    const std::string d = PreencheZerosEsquerda(std::to_string(livre), 4);
    Erro().TextoRetorno = d.substr(0, 2) + "," + d.substr(2, 2) + "%";
    return 1;
}

int Tarvo_TamanhoTotalMFD(char*) {
    Sequencia vez;
    Erro().TextoRetorno.clear();
    std::string totalLivre;
    int r = LeRegistradorTxt(111, totalLivre);
    if (r != 1) return r;
    int livre = 0;
    r = LivreCentesimos(livre);
    if (r != 1) return r;
    if (livre <= 0) {
        // A full memory gives no share to work the size out from.
        Erro().TextoRetorno = "0";
        return 1;
    }
    // Free bytes over free hundredths of a percent, in megabytes.
    const double mb = static_cast<double>(ParaInteiro64(totalLivre, 0)) / livre / 104.8576;
    // The free share is reported rounded down, so the size works out a little above the
    // memory's real size: each standard size takes the megabyte above it.
    const struct {
        double abaixoDe;
        const char* bytes;
    } tamanhos[] = {{9, "8388608"}, {17, "16777216"}, {33, "33554432"}, {65, "67108864"}, {129, "134217728"}};
    std::string t = "268435456";
    for (const auto& k : tamanhos)
        if (mb < k.abaixoDe) {
            t = k.bytes;
            break;
        }
    Erro().TextoRetorno = mb < 0 ? "0" : t;
    return 1;
}

}  // namespace tarvo::familia0
