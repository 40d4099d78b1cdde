// The fiscal receipt on family-0 printers: open, items, surcharges and discounts, payments,
// close, cancellation and the files that carry the consumer identification and the long
// item description from one export to the next.

#include <vector>

#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/recusa.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_documentos.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

// Consumer identification and long item description, in the current folder.
const char* const kArquivoIdentificacao = "ID.TXT";
const char* const kArquivoDescricao = "AUMENTA.TXT";
// The printer's answer for a percentage that is not programmed as an ICMS rate.
constexpr int kAliquotaInexistente = 8005;
// The document's subtotal register.
constexpr int kRegistradorSubtotal = 100;

// The rate part of a sale: the fixed totalisers by their codes, a percentage of three or
// more characters, or a rate index.
std::string ParteAliquota(const std::string& aliquota, bool& percentual) {
    struct Fixa {
        const char* nome;
        const char* codigo;
    };
    static const Fixa kFixas[] = {{"FF", "-2"},  {"II", "-3"},  {"NN", "-4"},
                                  {"FS", "-11"}, {"NS", "-13"}, {"IS", "-12"}};
    percentual = false;
    const std::string m = MaiusculasAnsi(aliquota);
    for (const Fixa& f : kFixas)
        if (m == f.nome) return std::string("CodAliquota=") + f.codigo;
    if (aliquota.size() >= 3) {
        percentual = true;
        const std::string taxa =
            NumeroDoChamador(aliquota, "PercentualAliquota", false, true, kDigitosPercentual);
        return "PercentualAliquota=" + FormataDuasDecimais(taxa);
    }
    return "CodAliquota=" + NumeroDoChamador(aliquota, "CodAliquota", true);
}

// VendeItem; a percentage that the printer holds only as a non-ICMS rate is sold again
// without ICMS.
int EnviaVenda(bool percentual, const std::string& parametros) {
    if (!percentual) return EnviaComandoTxt("VendeItem", parametros);
    int r = EnviaComandoTxt("VendeItem", "AliquotaICMS=true " + parametros);
    if (r != 1 && Erro().UltimoRetorno == kAliquotaInexistente)
        r = EnviaComandoTxt("VendeItem", "AliquotaICMS=false " + parametros);
    return r;
}

// The description waiting in AUMENTA.TXT, its lines joined by line feeds; the file is used once.
bool DescricaoAumentada(std::string& descricao) {
    if (!plataforma::ExisteArquivo(kArquivoDescricao)) return false;
    std::string texto = LeArquivo(kArquivoDescricao);
    ApagaArquivo(kArquivoDescricao);
    const std::vector<std::string> linhas = LinhasDoTexto(texto);
    std::string unida;
    for (std::size_t i = 0; i < linhas.size(); ++i) unida += (i > 0 ? "\n" : "") + linhas[i];
    descricao = unida;
    return true;
}

// Surcharge or discount on the subtotal: "$"/"%" choose between an amount and a percentage
// as each export reads its type.
int AcresceSubtotal(bool percentual, const std::string& valorComSinal) {
    return EnviaComandoTxt("AcresceSubtotal", std::string("Cancelar=false ") +
                                                  (percentual ? "ValorPercentual=" : "ValorAcrescimo=") +
                                                  valorComSinal);
}

bool Percentual(const char* modo) {
    return Apara(TextoArg(modo)) == "%";
}

}  // namespace

int IniciaFechamentoComDoisValores(const std::string& tipo, const std::string& modo,
                                   const std::string& acrescimo, const std::string& desconto) {
    const std::string t = MaiusculasAnsi(Apara(tipo));
    if (t == "X") return InformaComandoInexistente("IniciaFechamentoCupomMFD com Desconto e Acrescimo");
    const bool percentual = Apara(modo) == "%";
    const std::string a = ValorDoChamador(acrescimo, "Acrescimo"), d = ValorDoChamador(desconto, "Desconto");
    int r = 1;
    if (t != "D") r = AcresceSubtotal(percentual, FormataDuasDecimais(a));
    if (r == 1 && t != "A") r = AcresceSubtotal(percentual, "-" + FormataDuasDecimais(d));
    return r;
}

int AcrescimoDescontoSubtotal(const std::string& tipo, const std::string& modo, const std::string& valor) {
    return AcresceSubtotal(Apara(modo) != "$", ValorComSinal(tipo, valor));
}

namespace familia0 {

int AbreCupom(const std::string& idConsumidor) {
    int r = EnviaComandoTxt("AbreCupomFiscal",
                            Apara(idConsumidor).empty() ? "" : "IdConsumidor=" + Aspas(idConsumidor));
    if (r != 1) return r;
    return AtualizaImpostoCampanha(true);
}

int AbreCupomMFD(const std::string& idConsumidor, const std::string& nome, const std::string& endereco) {
    std::string parametros;
    if (!Apara(idConsumidor).empty()) parametros += "IdConsumidor=" + Aspas(idConsumidor);
    if (!Apara(nome).empty()) parametros += " NomeConsumidor=" + Aspas(nome);
    if (!Apara(endereco).empty()) parametros += " EnderecoConsumidor=" + Aspas(endereco);
    return EnviaComandoTxt("AbreCupomFiscal", parametros);
}

int Tarvo_IdentificaConsumidor(const char* documento, const char* nome, const char* endereco) {
    GravaArquivo(kArquivoIdentificacao,
                 TextoArg(documento) + "\r\n" + TextoArg(nome) + "\r\n" + TextoArg(endereco) + "\r\n");
    return 1;
}

int Tarvo_AumentaDescricaoItem(const char* texto) {
    GravaArquivo(kArquivoDescricao, TextoArg(texto) + "\r\n");
    return 1;
}

int Tarvo_VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                    const char* tipoQuantidade, const char* quantidade, int casasDecimais,
                    const char* valorUnitario, const char* tipoDesconto, const char* desconto) {
    // The caller's numbers are checked before anything goes out.
    const std::string tipo = MaiusculasAnsi(TextoArg(tipoQuantidade));
    const std::string precoChamador = ValorDoChamador(TextoArg(valorUnitario), "PrecoUnitario");
    // A quantity of whole units ("I") is the digits the caller wrote: "2un" is 2.
    std::string qtd = tipo == "I" ? NumeroDoChamador(SomenteNumeros(TextoArg(quantidade)), "Quantidade",
                                                     false, false, kDigitosValor)
                                  : ValorDoChamador(TextoArg(quantidade), "Quantidade");
    std::string valorDesconto = ValorDoChamador(TextoArg(desconto), "Desconto");
    std::string nome = TextoArg(descricao);
    DescricaoAumentada(nome);
    bool percentual = false;
    const std::string parteAliquota = ParteAliquota(TextoArg(aliquota), percentual);

    int r = AtualizaImpostoCampanha(true);
    if (r != 1) return r;

    const std::string preco =
        casasDecimais == 3 ? FormataTresDecimais(precoChamador) : FormataDuasDecimais(precoChamador);
    if (tipo != "F") CompletaDecimais(3, qtd);  // "F": the digits are thousandths already
    qtd = FormataTresDecimais(qtd);
    CompletaDecimais(2, valorDesconto);
    valorDesconto = FormataDuasDecimais(valorDesconto);
    const std::string unidade =
        MaiusculasAnsi(Apara(TextoArg(tipoQuantidade))) == "I" ? std::string("Un") : TextoArg(tipoQuantidade);

    const std::string parametros = parteAliquota + " CodProduto=" + Aspas(TextoArg(codigo)) +
                                   " NomeProduto=" + Aspas(nome) + " PrecoUnitario=" + preco +
                                   " Quantidade=" + qtd + " Unidade=" + Aspas(unidade);
    r = EnviaVenda(percentual, parametros);
    if (r == 1 && !ValorZero(valorDesconto))
        r = EnviaComandoTxt("AcresceItemFiscal",
                            std::string("Cancelar=false ") +
                                (Percentual(tipoDesconto) ? "ValorPercentual=-" : "ValorAcrescimo=-") +
                                valorDesconto);
    return r;
}

int Tarvo_VendeItemDepartamento(const char* codigo, const char* descricao, const char* aliquota,
                                const char* valorUnitario, const char* quantidade, const char* acrescimo,
                                const char* desconto, const char* departamento, const char* unidade) {
    // The caller's numbers are checked before anything goes out.
    bool percentual = false;
    const std::string parteAliquota = ParteAliquota(TextoArg(aliquota), percentual);
    const std::string codDepartamento = NumeroDoChamador(TextoArg(departamento), "CodDepartamento");
    std::string preco = ValorDoChamador(TextoArg(valorUnitario), "PrecoUnitario");
    std::string qtd = ValorDoChamador(TextoArg(quantidade), "Quantidade");
    std::string valorAcrescimo = ValorDoChamador(TextoArg(acrescimo), "Acrescimo");
    std::string valorDesconto = ValorDoChamador(TextoArg(desconto), "Desconto");
    int r = AtualizaImpostoCampanha(true);
    if (r != 1) return r;

    CompletaDecimais(3, preco);
    CompletaDecimais(3, qtd);
    qtd = FormataTresDecimais(qtd);
    CompletaDecimais(2, valorAcrescimo);
    CompletaDecimais(2, valorDesconto);

    std::string un = TextoArg(unidade);
    if (un.empty()) un = "UN";
    std::string nome = TextoArg(descricao);
    if (MaiusculasAnsi(un) != "UN") {
        // Goods sold by weight, volume or length get a line that names the measure.
        const char* prefixo = un[0] == 'K' ? "Peso " : un[0] == 'L' ? "Litro" : un[0] == 'M' ? "Metro" : "";
        nome = PreencheEspacosDireita(nome, 30) + prefixo + "(" + un + ")    X    Preco(R$/" + un +
               ")            Valor";
    }
    std::string parametros = parteAliquota + " CodProduto=" + Aspas(TextoArg(codigo)) +
                             " NomeProduto=" + Aspas(nome) + " PrecoUnitario=" + preco +
                             " Quantidade=" + qtd + " Unidade=" + Aspas(un);
    if (!Apara(TextoArg(departamento)).empty()) parametros += " CodDepartamento=" + codDepartamento;

    r = EnviaVenda(percentual, parametros);
    if (r != 1) return r;
    if (!ValorZero(valorDesconto))
        return EnviaComandoTxt("AcresceItemFiscal",
                               "Cancelar=false ValorAcrescimo=-" + FormataDuasDecimais(valorDesconto));
    if (!ValorZero(valorAcrescimo))
        return EnviaComandoTxt("AcresceItemFiscal",
                               "Cancelar=false ValorAcrescimo=" + FormataDuasDecimais(valorAcrescimo));
    return r;
}

int Tarvo_AcrescimoDescontoItemMFD(const char* item, const char* tipo, const char* modo, const char* valor) {
    return EnviaComandoTxt("AcresceItemFiscal",
                           "Cancelar=false NumItem=" + NumeroDoChamador(TextoArg(item), "NumItem") +
                               (Percentual(modo) ? " ValorPercentual=" : " ValorAcrescimo=") +
                               ValorComSinal(TextoArg(tipo), TextoArg(valor)));
}

int Tarvo_CancelaAcrescimoDescontoItemMFD(const char*, const char* item) {
    return EnviaComandoTxt("AcresceItemFiscal",
                           "Cancelar=true NumItem=" + NumeroDoChamador(TextoArg(item), "NumItem"));
}

int Tarvo_CancelaItemAnterior() {
    return EnviaComandoTxt("CancelaItemFiscal", "");
}

int Tarvo_CancelaItemGenerico(const char* item) {
    return EnviaComandoTxt("CancelaItemFiscal", "NumItem=" + NumeroDoChamador(TextoArg(item), "NumItem"));
}

int Tarvo_IniciaFechamentoCupom(const char* tipo, const char* modo, const char* valor) {
    // An amount that is no number is refused, not taken for zero.
    ValorDoChamador(TextoArg(valor), "Valor");
    if (ValorZero(TextoArg(valor))) return 1;
    return AcresceSubtotal(Percentual(modo), ValorComSinal(TextoArg(tipo), TextoArg(valor)));
}

int Tarvo_IniciaFechamentoCupomMFD(const char* tipo, const char* modo, const char* acrescimo,
                                   const char* desconto) {
    return IniciaFechamentoComDoisValores(TextoArg(tipo), TextoArg(modo), TextoArg(acrescimo),
                                          TextoArg(desconto));
}

int Tarvo_AcrescimoDescontoSubtotalMFD(const char* tipo, const char* modo, const char* valor) {
    return AcrescimoDescontoSubtotal(TextoArg(tipo), TextoArg(modo), TextoArg(valor));
}

int Tarvo_CancelaAcrescimoDescontoSubtotalMFD(const char*) {
    return EnviaComandoTxt("AcresceSubtotal", "Cancelar=true");
}

int Tarvo_EfetuaFormaPagamento(const char* formaPagamento, const char* valor) {
    return RixPagaCupom(TextoArg(formaPagamento), TextoArg(valor));
}

int Tarvo_EfetuaFormaPagamentoDescricaoForma(const char* formaPagamento, const char* valor,
                                             const char* descricao) {
    return RixPagaCupom(TextoArg(formaPagamento), TextoArg(valor), TextoArg(descricao));
}

int Tarvo_EfetuaFormaPagamentoMFD(const char* formaPagamento, const char* valor, const char*, const char*) {
    return RixPagaCupom(TextoArg(formaPagamento), TextoArg(valor));
}

int Tarvo_EstornoFormasPagamento(const char* formaOrigem, const char* formaDestino, const char* valor) {
    // Both forms must be named, and the amount must be a number: otherwise nothing is sent
    // and the cause is recorded.
    if (Apara(TextoArg(formaOrigem)).empty()) throw TextoRecusado("Parametro invalido: FormaOrigem");
    if (Apara(TextoArg(formaDestino)).empty()) throw TextoRecusado("Parametro invalido: FormaDestino");
    const std::string numero = ValorDoChamador(TextoArg(valor), "Valor");
    const std::string origem = CodigoMeioPagamento(TextoArg(formaOrigem));
    if (origem.empty()) return 0;
    const std::string destino = CodigoMeioPagamento(TextoArg(formaDestino));
    if (destino.empty()) return 0;
    return CortaSeHabilitado(EnviaComandoTxt(
        "EstornaMeioPagamento",
        "CodMeioPagamentoOrigem=" + origem + " CodMeioPagamentoDestino=" + destino + " Valor=" + numero));
}

int Tarvo_FechaCupom(const char* formaPagamento, const char* tipo, const char* modo, const char* valor,
                     const char* valorPago, const char* mensagem) {
    // Every step runs, so the receipt is closed whenever the printer allows it. The result
    // says whether it was closed; a refused surcharge, discount or payment stays in the
    // last-error record.
    ValorDoChamador(TextoArg(valor), "Valor");  // refused before anything goes out
    ValorDoChamador(TextoArg(valorPago), "ValorPago");
    PrimeiraFalha falhas;
    falhas.Registra(Tarvo_IniciaFechamentoCupom(tipo, modo, valor));
    if (!TextoArg(formaPagamento).empty())
        falhas.Registra(RixPagaCupom(TextoArg(formaPagamento), TextoArg(valorPago)));
    return falhas.Mantem(EncerraDocumentoTxt(true, TextoArg(mensagem)));
}

int Tarvo_FechaCupomResumido(const char* formaPagamento, const char* mensagem) {
    std::string subtotal;  // in cents
    int r = LeRegistradorTxt(kRegistradorSubtotal, subtotal);
    if (r != 1) return r;
    r = RixPagaCupom(TextoArg(formaPagamento), subtotal);
    if (r != 1) return r;
    return EncerraDocumentoTxt(true, TextoArg(mensagem));
}

int Tarvo_CupomAdicionalMFD() {
    return CortaSeHabilitado(EnviaComandoTxt("ImprimeCupomAdicional", ""));
}

int Tarvo_CancelaCupom() {
    return CortaSeHabilitado(EnviaComandoTxt("CancelaCupom", "Operador=" + Aspas(Estado().NomeOperador)));
}

}  // namespace familia0

}  // namespace tarvo
