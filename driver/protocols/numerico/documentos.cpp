// The numeric-code printers' document commands: receipts, sales, payments, non-fiscal
// documents, reports, readings and the drawer.
#include <string>

#include "driver/core/configuracao.h"
#include "driver/core/formatadores.h"
#include "driver/core/recusa.h"
#include "driver/core/registro.h"
#include "driver/protocols/familias.h"
#include "driver/protocols/numerico/campos.h"
#include "driver/protocols/numerico/motor.h"
#include "driver/protocols/numerico/proprios.h"

namespace tarvo::numerico {

namespace {

// A null text from the host reads as empty.
std::string T(const char* s) {
    return s ? s : "";
}

bool Familia2() {
    return Config().FamiliaModelo == FamiliaNumerica2;
}

std::string Texto(const std::string& t, int largura) {
    return PreencheEspacosDireita(t, largura);
}

// One text line of a report or a voucher: 40 columns on family 1, 48 on family 2.
int LinhaDeTexto(const char* texto) {
    return EnviaComandoNum("260" + Texto(T(texto), Familia2() ? 48 : 40));
}

// Payment-form code of the printer for the host's form number: the host counts from the
// printer's cash register ([Sistema] DINHEIRO); a form that is no number is cash.
std::optional<std::string> CodigoForma(const std::string& forma) {
    const int dinheiro = Config().Dinheiro;
    std::string t = Apara(forma);
    std::int64_t codigo = dinheiro;
    if (!t.empty() && t.find_first_not_of("0123456789") == std::string::npos && t.size() <= 9)
        codigo = std::stoll(t) + dinheiro - 1;
    if (codigo < 0 || codigo > 99) return std::nullopt;
    return PreencheZerosEsquerda(std::to_string(codigo), 2);
}

// "22", then "23" with the register and the value when it opened, then "21" in every case.
int OperacaoNaoFiscal(const std::string& registrador, const std::string& valor) {
    std::optional<std::string> r = CampoInteiro(registrador, 2, "FormaPagamento");
    if (!r) return RecusaCampo(Falha::FormaPagamentoInvalida);
    std::optional<std::string> v = CampoValor(valor, 2, 15, "Valor");
    if (!v) return RecusaCampo(Falha::ValorInvalido);
    int resultado = EnviaComandoNum("22");
    if (resultado == 1) resultado = EnviaComandoNum("23" + *r + *v + "%0000");
    if (resultado == 1) return EnviaComandoNum("21");
    // The document is closed whatever happened to its item; the caller still learns what
    // failed first, not how the closing went.
    const UltimoErro falha = Erro();
    EnviaComandoNum("21");
    Erro().UltimoRetorno = falha.UltimoRetorno;
    Erro().UltimaMensagem = falha.UltimaMensagem;
    return resultado;
}

}  // namespace

// --- receipts -------------------------------------------------------------------------------

int Tarvo_AbreCupom(const char* idConsumidor) {
    return EnviaComandoNum(Familia2() ? "10" + Texto(T(idConsumidor), 28) : std::string("10"));
}

int Tarvo_AbreCupomMFD(const char* idConsumidor, const char*, const char*) {
    return Tarvo_AbreCupom(idConsumidor);
}

int Tarvo_VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                    const char* tipoQuantidade, const char* quantidade, int casasDecimais,
                    const char* valorUnitario, const char*, const char* desconto) {
    const bool f2 = Familia2();
    const int larguraQuantidade = f2 ? 7 : 6;
    std::optional<std::string> qtd = CampoValor(T(quantidade), 3, larguraQuantidade, "Quantidade");
    if (!qtd) return RecusaCampo(Falha::QuantidadeInvalida);
    // The unit price carries three places only where the family can say so (marker "H").
    const int casasPreco = f2 && casasDecimais == 3 ? 3 : 2;
    std::optional<std::string> preco = CampoValor(T(valorUnitario), casasPreco, 11, "ValorUnitario");
    std::optional<std::string> desc = CampoValor(T(desconto), 2, 15, "Desconto");
    if (!preco || !desc) return RecusaCampo(Falha::ValorInvalido);
    // The product code is an identifier, not an amount: its digits fill the field as they
    // always did.
    std::optional<std::string> cod = CampoInteiro(SomenteNumeros(T(codigo)), 13, "Codigo");
    if (!cod) return RecusaCampo(Falha::CodigoInvalido);

    const std::string tributo = T(aliquota);
    std::string campoTributo;
    if (tributo == "FF")
        campoTributo = "F00";
    else if (tributo == "II")
        campoTributo = "I00";
    else if (tributo == "NN")
        campoTributo = "N00";
    else if (ParaInteiro(tributo, -1) == 16)
        campoTributo = "T00";
    else if (std::optional<std::string> slot = CampoInteiro(tributo, 2, "Aliquota"))
        campoTributo = "T" + *slot;
    else
        return RecusaCampo(Falha::AliquotaInvalida);

    const std::string marca = !f2 ? "-" : (casasDecimais == 3 ? "H" : "G");
    const std::string unidade = T(tipoQuantidade);
    std::string comando =
        "11" + marca + *qtd + *preco + campoTributo + "&" + *desc + Texto(unidade, 2) + *cod;
    if (MaiusculasAnsi(unidade) == "UN") {
        comando += "0" + Texto(T(descricao), 20);
    } else {
        // Two lines: the description, then what the quantity measures.
        const char inicial =
            unidade.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(unidade[0])));
        const std::string palavra = inicial == 'K'   ? "Peso "
                                    : inicial == 'L' ? "Litro"
                                    : inicial == 'M' ? "Metro"
                                                     : "";
        const std::string linha2 = palavra + "(" + unidade + ") X Preco(R$/" + unidade + ")         Valor";
        comando += "2" + Texto(T(descricao), 38) + Texto(linha2, 38);
    }
    return EnviaComandoNum(comando);
}

int Tarvo_CancelaItemGenerico(const char* item) {
    std::optional<std::string> n = CampoInteiro(T(item), 3, "Item");
    if (!n) return RecusaCampo(Falha::ItemInvalido);
    return EnviaComandoNum("12" + *n);
}

int Tarvo_CancelaCupom(void) {
    return EnviaComandoNum("14");
}

int Tarvo_IniciaFechamentoCupom(const char* tipo, const char*, const char* valor) {
    std::optional<std::string> v = CampoValor(T(valor), 2, 15, "Valor");
    if (!v) return RecusaCampo(Falha::ValorInvalido);
    return EnviaComandoNum((T(tipo) == "A" ? "06@&" : "06&") + *v);
}

int Tarvo_EfetuaFormaPagamento(const char* formaPagamento, const char* valor) {
    std::optional<std::string> forma = CodigoForma(T(formaPagamento));
    if (!forma) return RecusaCampo(Falha::FormaPagamentoInvalida);
    std::optional<std::string> v = CampoValor(T(valor), 2, 15, "Valor");
    if (!v) return RecusaCampo(Falha::ValorInvalido);
    return EnviaComandoNum("07" + *forma + *v + "1");
}

int Tarvo_FechaCupom(const char* formaPagamento, const char*, const char*, const char*, const char*,
                     const char* mensagem) {
    std::optional<std::string> forma = CampoInteiro(T(formaPagamento), 2, "FormaPagamento");
    if (!forma) return RecusaCampo(Falha::FormaPagamentoInvalida);
    const std::string texto = T(mensagem);
    if (texto.size() > 999) return RecusaCampo(Falha::MensagemLonga);
    // The settling of the payment may fail (the receipt may be paid already): the closing
    // says whether the receipt ended.
    EnviaComandoNum("07" + *forma + std::string(15, '0') + "0");
    return EnviaComandoNum("08S" + PreencheZerosEsquerda(std::to_string(texto.size()), 3) + texto);
}

// --- non-fiscal documents and reports ----------------------------------------------------------

int Tarvo_AbreRelatorioGerencial(void) {
    return EnviaComandoNum("151");
}
int Tarvo_AbreRelatorioGerencialMFD(const char*) {
    return EnviaComandoNum("151");
}
int Tarvo_RelatorioGerencial(const char* texto) {
    return LinhaDeTexto(texto);
}
int Tarvo_UsaRelatorioGerencialMFD(const char* texto) {
    return LinhaDeTexto(texto);
}
int Tarvo_UsaComprovanteNaoFiscalVinculado(const char* texto) {
    return LinhaDeTexto(texto);
}
int Tarvo_FechaRelatorioGerencial(void) {
    return EnviaComandoNum("21");
}
int Tarvo_FechaComprovanteNaoFiscalVinculado(void) {
    return EnviaComandoNum("21");
}
int Tarvo_AbreComprovanteNaoFiscalVinculado(const char*, const char*, const char*) {
    return EnviaComandoNum("20");
}

int Tarvo_Suprimento(const char* valor, const char* formaPagamento) {
    return OperacaoNaoFiscal(T(formaPagamento), T(valor));
}

int Tarvo_Sangria(const char* valor) {
    return OperacaoNaoFiscal("1", T(valor));
}

int Tarvo_AcionaGaveta(void) {
    return EnviaComandoNum(std::string("240") + '\x14' + "P");
}

int Tarvo_Autenticacao(void) {
    int r = EnviaComandoNum("01000");
    if (r == 1 || Erro().UltimoRetorno == 44) return EnviaComandoNum("03     ");
    return r;
}

// --- readings and the Z reduction ------------------------------------------------------------

int Tarvo_LeituraX(void) {
    return EnviaComandoNum("150");
}

int Tarvo_ReducaoZ(const char*, const char*) {
    return EnviaComandoNum("160");
}

int Tarvo_LeituraMemoriaFiscalData(const char* DataInicial, const char* DataFinal, const char*) {
    std::optional<std::string> de = CampoData(T(DataInicial)), ate = CampoData(T(DataFinal));
    if (!de || !ate) return RecusaCampo(Falha::DataInvalida);
    return EnviaComandoNum("17" + *de + *ate);
}

int Tarvo_LeituraMemoriaFiscalReducao(const char* ReducaoInicial, const char* ReducaoFinal, const char*) {
    std::optional<std::string> de = CampoInteiro(T(ReducaoInicial), 4, "ReducaoInicial"),
                               ate = CampoInteiro(T(ReducaoFinal), 4, "ReducaoFinal");
    if (!de || !ate) return RecusaCampo(Falha::ReducaoInvalida);
    return EnviaComandoNum("18" + *de + *ate);
}

}  // namespace tarvo::numerico
