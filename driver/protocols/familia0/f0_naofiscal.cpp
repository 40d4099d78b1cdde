// Non-fiscal documents on family-0 printers: non-fiscal receipts, cash supply and
// withdrawal, credit/debit vouchers bound to a payment, and management reports.
#include "driver/core/configuracao.h"
#include "driver/core/formatadores.h"
#include "driver/core/recusa.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_documentos.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"

namespace tarvo {

namespace {

// COO is register 6, the document subtotal register 100.
constexpr int kRegistradorCOO = 6;
constexpr int kRegistradorSubtotal = 100;

int EmiteItemNaoFiscal(const std::string& totalizador, const std::string& valor) {
    return EnviaComandoTxt("EmiteItemNaoFiscal",
                           "CodNaoFiscal=" + NumeroDoChamador(totalizador, "CodNaoFiscal") +
                               " Valor=" + FormataDuasDecimais(ValorDoChamador(valor, "Valor")));
}

// A non-fiscal receipt in one call. Every step runs so that no document stays open. The
// result is 1 only when the open, the item and the close all went through; the payment
// counts too when `pagamentoConta` (the cash-in). The first failure that counts is the one
// reported.
int ReciboEmUmPasso(const std::string& totalizador, const std::string& valor, const std::string& forma,
                    bool pagamentoConta) {
    NumeroDoChamador(totalizador, "CodNaoFiscal");  // refused before the receipt opens
    ValorDoChamador(valor, "Valor");
    PrimeiraFalha falhas;
    falhas.Registra(EnviaComandoTxt("AbreCupomNaoFiscal", ""));
    falhas.Registra(EmiteItemNaoFiscal(totalizador, valor));
    int pagamento = RixPagaCupom(forma, valor);
    if (pagamentoConta) falhas.Registra(pagamento);
    int r = falhas.Registra(EncerraDocumentoTxt(false, ""));
    if (!falhas.Houve()) return r;
    falhas.Final(r);
    return 0;
}

// The bound voucher's opening: only the arguments given are sent, the value and the COO
// with a blank on each side of their equals sign.
int AbreCreditoDebito(const std::string& forma, const std::string& valor, const std::string& coo) {
    const std::string numero = ValorDoChamador(valor, "Valor");
    std::string parametros;
    const std::string f = Apara(forma);
    if (!f.empty())
        parametros += f == "-2" || EhNumerico(f) ? "CodMeioPagamento=" + f : "NomeMeioPagamento=" + Aspas(f);
    if (!valor.empty()) parametros += " Valor = " + FormataDuasDecimais(numero);
    if (!coo.empty()) parametros += " COO = " + NumeroDoChamador(coo, "COO");
    return EnviaComandoTxt("AbreCreditoDebito", parametros);
}

}  // namespace

namespace familia0 {

int Tarvo_AbreRecebimentoNaoFiscalMFD(const char* idConsumidor, const char* nome, const char* endereco) {
    return EnviaComandoTxt("AbreCupomNaoFiscal", "IdConsumidor=" + Aspas(TextoArg(idConsumidor)) +
                                                     " EnderecoConsumidor=" + Aspas(TextoArg(endereco)) +
                                                     " NomeConsumidor=" + Aspas(TextoArg(nome)));
}

int Tarvo_EfetuaRecebimentoNaoFiscalMFD(const char* totalizador, const char* valor) {
    return EmiteItemNaoFiscal(TextoArg(totalizador), TextoArg(valor));
}

int Tarvo_AcrescimoItemNaoFiscalMFD(const char*, const char* tipo, const char* modo, const char* valor) {
    const bool percentual = Apara(TextoArg(modo)) == "%";
    return EnviaComandoTxt("AcresceItemNaoFiscal", std::string("Cancelar=false ") +
                                                       (percentual ? "ValorPercentual=" : "ValorAcrescimo=") +
                                                       ValorComSinal(TextoArg(tipo), TextoArg(valor)));
}

int Tarvo_CancelaAcrescimoNaoFiscalMFD(const char* item, const char*) {
    return EnviaComandoTxt("AcresceItemNaoFiscal",
                           "Cancelar=true NumItem=" + NumeroDoChamador(TextoArg(item), "NumItem"));
}

int Tarvo_CancelaItemNaoFiscalMFD(const char* item) {
    return EnviaComandoTxt("CancelaItemNaoFiscal", "NumItem=" + NumeroDoChamador(TextoArg(item), "NumItem"));
}

int Tarvo_IniciaFechamentoRecebimentoNaoFiscalMFD(const char* tipo, const char* modo, const char* acrescimo,
                                                  const char* desconto) {
    return IniciaFechamentoComDoisValores(TextoArg(tipo), TextoArg(modo), TextoArg(acrescimo),
                                          TextoArg(desconto));
}

int Tarvo_AcrescimoDescontoSubtotalRecebimentoMFD(const char* tipo, const char* modo, const char* valor) {
    return AcrescimoDescontoSubtotal(TextoArg(tipo), TextoArg(modo), TextoArg(valor));
}

int Tarvo_CancelaAcrescimoDescontoSubtotalRecebimentoMFD(const char*) {
    return EnviaComandoTxt("AcresceSubtotal", "Cancelar=true");
}

int Tarvo_FechaRecebimentoNaoFiscalMFD(const char* mensagem) {
    // The message's refusal stays in the last-error record; the close decides the result.
    PrimeiraFalha falhas;
    falhas.Registra(RixImprimeTextoLivre(TextoArg(mensagem)));
    return falhas.Mantem(EncerraDocumentoTxt(false, ""));
}

int Tarvo_CancelaRecebimentoNaoFiscalMFD(const char*, const char*, const char*) {
    return Tarvo_CancelaCupom();
}

int Tarvo_SubTotalComprovanteNaoFiscalMFD(char*) {
    std::string subtotal;
    int r = LeRegistradorTxt(kRegistradorSubtotal, subtotal);
    if (r == 1) Erro().TextoRetorno = subtotal;
    return r;
}

int Tarvo_RecebimentoNaoFiscal(const char* totalizador, const char* valor, const char* formaPagamento) {
    return ReciboEmUmPasso(TextoArg(totalizador), TextoArg(valor), TextoArg(formaPagamento), false);
}

int Tarvo_Suprimento(const char* valor, const char* formaPagamento) {
    std::string forma = TextoArg(formaPagamento);
    if (Apara(forma).empty()) forma = "-2";
    return ReciboEmUmPasso(Config().Suprimento, TextoArg(valor), forma, true);
}

int Tarvo_Sangria(const char* valor) {
    return ReciboEmUmPasso(Config().Sangria, TextoArg(valor), "-2", false);
}

int Tarvo_AberturaDoDia(const char* valor, const char* formaPagamento) {
    ValorDoChamador(TextoArg(valor), "Valor");  // refused before the X reading
    int r = Tarvo_LeituraX();
    if (r == 1 && !ValorZero(TextoArg(valor))) r = Tarvo_Suprimento(valor, formaPagamento);
    return r;
}

int Tarvo_AbreComprovanteNaoFiscalVinculado(const char* formaPagamento, const char* valor, const char* coo) {
    return AbreCreditoDebito(TextoArg(formaPagamento), TextoArg(valor), TextoArg(coo));
}

int Tarvo_AbreComprovanteNaoFiscalVinculadoMFD(const char* formaPagamento, const char* valor, const char* coo,
                                               const char*, const char*, const char*) {
    return AbreCreditoDebito(TextoArg(formaPagamento), TextoArg(valor), TextoArg(coo));
}

int Tarvo_UsaComprovanteNaoFiscalVinculado(const char* texto) {
    return RixImprimeTextoLivre(TextoArg(texto));
}

int Tarvo_FechaComprovanteNaoFiscalVinculado() {
    return EncerraDocumentoTxt(true, "");
}

int Tarvo_EstornoNaoFiscalVinculadoMFD(const char*, const char*, const char*) {
    std::string coo;
    int r = LeRegistradorTxt(kRegistradorCOO, coo);
    if (r != 1) return r;
    return EnviaComandoTxt("EstornaCreditoDebito", "COO=" + coo);
}

int Tarvo_ReimpressaoNaoFiscalVinculadoMFD() {
    return CortaSeHabilitado(EnviaComandoTxt("ReimprimeViaCreditoDebito", ""));
}

int Tarvo_SegundaViaNaoFiscalVinculadoMFD() {
    return CortaSeHabilitado(EnviaComandoTxt("EmiteViaCreditoDebito", ""));
}

int Tarvo_AbreRelatorioGerencial() {
    return AbreGerencialTxt();
}

int Tarvo_AbreRelatorioGerencialMFD(const char* indice) {
    return EnviaComandoTxt("AbreGerencial",
                           "CodGerencial=" + NumeroDoChamador(TextoArg(indice), "CodGerencial"));
}

int Tarvo_UsaRelatorioGerencialMFD(const char* texto) {
    return ImprimeGerencialTxt(TextoArg(texto));
}

int Tarvo_FechaRelatorioGerencial() {
    GravaFlagGerencial(0);
    return EncerraDocumentoTxt(false, "");
}

int Tarvo_ImprimeDepartamentos() {
    int r = AbreGerencialTxt();
    if (r != 1) return r;
    if ((r = EnviaComandoTxt("ImprimeDadosDepartamento", "")) != 1) return r;
    return Tarvo_FechaRelatorioGerencial();
}

}  // namespace familia0

}  // namespace tarvo
