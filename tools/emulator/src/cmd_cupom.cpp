// The fiscal receipt: open, items with their discounts, surcharges and cancellations, subtotal
// adjustment, payments, consumer identification, closing texts, close and cancellation. The
// payment, text and close commands also serve the non-fiscal receipt and the other documents.
#include <algorithm>

#include "comandos.h"

namespace emulador {

namespace {

bool EhComprovante(TipoDocumento t) {
    return t == TipoDocumento::CupomFiscal || t == TipoDocumento::NaoFiscal;
}

Item& ItemPorNumero(DocumentoAberto& d, std::optional<std::int64_t> numero) {
    if (d.itens.empty()) Recusa(erro::kItemInexistente, "ItemInexistente", "Nenhum item no documento");
    if (!numero) {
        Item& ultimo = d.itens.back();
        if (ultimo.cancelado) Recusa(erro::kItemInexistente, "ItemCancelado", "Ultimo item ja cancelado");
        return ultimo;
    }
    if (*numero < 1 || *numero > static_cast<std::int64_t>(d.itens.size()))
        Recusa(erro::kItemInexistente, "ItemInexistente", "Item " + std::to_string(*numero) + " inexistente");
    Item& it = d.itens[static_cast<std::size_t>(*numero - 1)];
    if (it.cancelado)
        Recusa(erro::kItemInexistente, "ItemCancelado", "Item " + std::to_string(*numero) + " ja cancelado");
    return it;
}

// Quebra um texto em linhas de até `largura` colunas (line feeds also break).
std::vector<std::string> Quebra(const std::string& texto, std::size_t largura) {
    std::vector<std::string> r;
    std::string linha;
    for (char c : texto) {
        if (c == '\r') continue;
        if (c == '\n') {
            r.push_back(linha);
            linha.clear();
            continue;
        }
        linha += c;
        if (linha.size() == largura) {
            r.push_back(linha);
            linha.clear();
        }
    }
    if (!linha.empty() || r.empty()) r.push_back(linha);
    return r;
}

}  // namespace

bool Comandos::ImprimeConsumidor(DocumentoAberto& d, const std::string& id, const std::string& nome,
                                 const std::string& endereco) {
    if (Apara(id).empty() && Apara(nome).empty() && Apara(endereco).empty()) return false;
    d.consumidorId = Apara(id), d.consumidorNome = Apara(nome), d.consumidorEndereco = Apara(endereco);
    if (!Apara(id).empty()) Imprime(d.indiceFita, "CNPJ/CPF consumidor: " + Apara(id).substr(0, 26));
    if (!Apara(nome).empty()) Imprime(d.indiceFita, "NOME: " + Apara(nome).substr(0, 42));
    if (!Apara(endereco).empty())
        for (const std::string& l : Quebra(Cp850("ENDEREÇO: ") + Apara(endereco), kColunas))
            Imprime(d.indiceFita, l);
    return true;
}

int Comandos::AbreDocumentoDeVenda(TipoDocumento tipo, const char* rotulo, int& contador) {
    ExigeNenhumDocumento();
    ExigeDiaAberto();
    std::string id = a.TextoOpcional("IdConsumidor").value_or("");
    std::string nome = a.TextoOpcional("NomeConsumidor").value_or("");
    std::string endereco = a.TextoOpcional("EnderecoConsumidor").value_or("");
    ++contador;
    int idx = NovoDocumento(tipo, "", rotulo, contador);
    p.aberto = DocumentoAberto{};
    p.aberto.tipo = tipo;
    p.aberto.indiceFita = idx;
    if (ImprimeConsumidor(p.aberto, id, nome, endereco)) Separador(idx);
    return idx;
}

Resposta Comandos::AbreCupomFiscal() {
    int idx = AbreDocumentoDeVenda(TipoDocumento::CupomFiscal, "CCF:", p.contadores.ccf);
    Imprime(idx, Centro("CUPOM FISCAL"), true);
    Imprime(idx, Cp850("ITEM CÓDIGO DESCRIÇÃO"));
    Imprime(idx, Direita("QTD.UN. VL.UNIT(R$) ST", "VL.ITEM(R$)"));
    Separador(idx);
    p.ultimoItemVendido = 0;
    return {};
}

Resposta Comandos::VendeItem() {
    ExigeDocumento(TipoDocumento::CupomFiscal, "cupom fiscal");
    DocumentoAberto& d = p.aberto;
    if (d.fase != Fase::Venda)
        Recusa(erro::kSequenciaInvalida, "VendaEncerrada", "Cupom ja totalizado: nao aceita mais itens");
    if (d.itens.size() >= 999)
        Recusa(erro::kSequenciaInvalida, "LimiteItens", "Limite de itens do cupom atingido");

    Item it;
    if (auto cod = a.InteiroOpcional("CodAliquota")) {
        switch (*cod) {
            case -2:
                it.tributo.tipo = Tributo::Tipo::F;
                break;
            case -3:
                it.tributo.tipo = Tributo::Tipo::I;
                break;
            case -4:
                it.tributo.tipo = Tributo::Tipo::N;
                break;
            case -11:
                it.tributo.tipo = Tributo::Tipo::FS;
                break;
            case -12:
                it.tributo.tipo = Tributo::Tipo::IS;
                break;
            case -13:
                it.tributo.tipo = Tributo::Tipo::NS;
                break;
            default:
                if (*cod < 0 || *cod > 15)
                    Recusa(erro::kParametroInvalido, "CodAliquotaInvalido", "CodAliquota fora da faixa");
                if (!p.aliquotas[static_cast<std::size_t>(*cod)].programada)
                    Recusa(erro::kAliquotaNaoProgramada, "AliquotaNaoProgramada",
                           "Aliquota " + std::to_string(*cod) + " nao programada");
                it.tributo.indice = static_cast<int>(*cod);
        }
    } else if (auto perc = a.DecimalOpcional("PercentualAliquota", 2)) {
        bool icms = a.Booleano("AliquotaICMS").value_or(true);
        int slot = -1;
        for (int k = 0; k < 16 && slot < 0; ++k)
            if (p.aliquotas[k].programada && p.aliquotas[k].percentual == *perc &&
                p.aliquotas[k].icms == icms)
                slot = k;
        if (slot < 0)
            Recusa(erro::kAliquotaNaoProgramada, "AliquotaNaoProgramada",
                   "Aliquota " + std::string(icms ? "ICMS " : "ISS ") + Percentual(static_cast<int>(*perc)) +
                       "% nao programada");
        it.tributo.indice = slot;
    } else {
        Recusa(erro::kParametroAusente, "ParametroAusente", "Falta CodAliquota ou PercentualAliquota");
    }
    it.icms = it.tributo.Icms(p.aliquotas);
    it.codigo = Apara(a.TextoOpcional("CodProduto").value_or(""));
    it.descricao = a.Texto("NomeProduto");
    if (Apara(it.descricao).empty()) Recusa(erro::kParametroInvalido, "DescricaoVazia", "NomeProduto vazio");
    it.preco = a.Decimal("PrecoUnitario", 3);
    it.casasPreco = a.Casas("PrecoUnitario") == 3 ? 3 : 2;
    it.quantidade = a.Decimal("Quantidade", 3);
    it.unidade = Apara(a.TextoOpcional("Unidade").value_or("Un")).substr(0, 3);
    if (it.preco <= 0) Recusa(erro::kValorInvalido, "PrecoInvalido", "Preco unitario deve ser positivo");
    if (it.quantidade <= 0)
        Recusa(erro::kValorInvalido, "QuantidadeInvalida", "Quantidade deve ser positiva");
    if (auto dep = a.InteiroOpcional("CodDepartamento")) {
        if (*dep < 0 || *dep > 19 || !p.departamentos[static_cast<std::size_t>(*dep)].programado)
            Recusa(erro::kDepartamentoNaoProgramado, "DepartamentoNaoProgramado",
                   "Departamento " + std::to_string(*dep) + " nao programado");
        it.departamento = static_cast<int>(*dep);
    }
    it.valor = Escala(it.quantidade, it.preco, 10000, Trunca());
    if (it.valor <= 0) Recusa(erro::kValorInvalido, "ValorItemZero", "Valor do item resulta zero");
    it.numero = static_cast<int>(d.itens.size()) + 1;

    // Printed: the item line(s), then the value line that ends with the item mark 0xB0.
    std::string rotulo = it.tributo.tipo == Tributo::Tipo::Aliquota
                             ? std::string(it.icms ? "T" : "S") + Zeros(it.tributo.indice, 2)
                             : it.tributo.Rotulo();
    std::string conta = Quantidade(it.quantidade) + it.unidade + " X " + Preco(it.preco, it.casasPreco) +
                        " " + rotulo + " " + (Trunca() ? "T" : "A");
    std::string valor = Valor(it.valor) + "\xB0";
    std::string cabeca =
        Zeros(it.numero, 3) + " " + (it.codigo.empty() ? "" : it.codigo + " ") + it.descricao;
    std::string umaLinha = cabeca + " " + conta + " " + valor;
    if (p.imprimeItem1Linha && cabeca.find('\n') == std::string::npos && umaLinha.size() <= kColunas) {
        Imprime(d.indiceFita, Direita(cabeca + " " + conta, valor));
    } else {
        for (const std::string& l : Quebra(cabeca, kColunas)) Imprime(d.indiceFita, l);
        Imprime(d.indiceFita, Direita("  " + conta, valor));
    }

    TotalTributo(it.tributo) += it.valor;
    p.gt += it.valor;
    if (it.departamento >= 0) {
        p.dia.departamentoValor[static_cast<std::size_t>(it.departamento)] += it.valor;
        p.dia.departamentoQuantidade[static_cast<std::size_t>(it.departamento)] += it.quantidade;
    }
    p.ultimoItemVendido = it.numero;
    d.itens.push_back(std::move(it));
    return {};
}

Resposta Comandos::AcresceItemFiscal() {
    ExigeDocumento(TipoDocumento::CupomFiscal, "cupom fiscal");
    DocumentoAberto& d = p.aberto;
    if (d.fase != Fase::Venda) Recusa(erro::kSequenciaInvalida, "VendaEncerrada", "Cupom ja totalizado");
    Item& it = ItemPorNumero(d, a.InteiroOpcional("NumItem"));
    const bool icms = it.icms;
    return AcresceItem(it,
                       {TotalTributo(it.tributo), icms ? p.dia.descontosIcms : p.dia.descontosIss,
                        icms ? p.dia.acrescimosIcms : p.dia.acrescimosIss,
                        icms ? p.dia.cancelamentosIcms : p.dia.cancelamentosIss, &p.gt},
                       true);
}

Resposta Comandos::AcresceItem(Item& it, const ContasDoItem& c, bool percentual) {
    const int indice = p.aberto.indiceFita;
    if (a.Booleano("Cancelar").value_or(false)) {
        if (!it.desconto && !it.acrescimo)
            Recusa(erro::kSequenciaInvalida, "SemAcrescimoDesconto", "Item sem desconto ou acrescimo");
        c.total += it.desconto - it.acrescimo;
        c.descontos -= it.desconto;
        c.acrescimos -= it.acrescimo;
        c.cancelamentos += it.acrescimo;
        std::int64_t liquido = it.acrescimo - it.desconto;
        it.desconto = it.acrescimo = 0;
        Imprime(indice, Direita(Cp850("canc. acrésc./desc. item:") + Zeros(it.numero, 3),
                                (liquido < 0 ? "+" : "-") + Valor(liquido < 0 ? -liquido : liquido)));
        return {};
    }
    std::optional<std::int64_t> valor = a.DecimalOpcional("ValorAcrescimo", 2);
    std::optional<std::int64_t> perc = a.DecimalOpcional("ValorPercentual", 2);
    if (!valor == !perc)
        Recusa(erro::kParametroAusente, "ParametroAusente", "Informe ValorAcrescimo ou ValorPercentual");
    std::int64_t v = valor ? *valor : *perc;
    if (v == 0) Recusa(erro::kValorInvalido, "ValorZero", "Acrescimo ou desconto nulo");
    std::int64_t quantia = valor ? (v < 0 ? -v : v) : Escala(it.valor, v < 0 ? -v : v, 10000, Trunca());
    if (quantia <= 0) Recusa(erro::kValorInvalido, "ValorZero", "Acrescimo ou desconto nulo");
    std::string meio = percentual && perc ? " " + Percentual(static_cast<int>(v < 0 ? -v : v)) + "%" : "";
    if (v < 0) {
        if (it.desconto) Recusa(erro::kSequenciaInvalida, "DescontoJaAplicado", "Item ja tem desconto");
        if (quantia >= it.valor + it.acrescimo)
            Recusa(erro::kValorInvalido, "DescontoExcessivo", "Desconto maior ou igual ao valor do item");
        it.desconto = quantia;
        c.total -= quantia;
        c.descontos += quantia;
        Imprime(indice, Direita("desconto item:" + Zeros(it.numero, 3) + meio, "-" + Valor(quantia)));
    } else {
        if (it.acrescimo) Recusa(erro::kSequenciaInvalida, "AcrescimoJaAplicado", "Item ja tem acrescimo");
        it.acrescimo = quantia;
        c.total += quantia;
        c.acrescimos += quantia;
        if (c.gt) *c.gt += quantia;
        Imprime(indice, Direita(Cp850("acréscimo item:") + Zeros(it.numero, 3) + meio, "+" + Valor(quantia)));
    }
    return {};
}

Resposta Comandos::CancelaItemFiscal() {
    ExigeDocumento(TipoDocumento::CupomFiscal, "cupom fiscal");
    DocumentoAberto& d = p.aberto;
    if (d.fase != Fase::Venda) Recusa(erro::kSequenciaInvalida, "VendaEncerrada", "Cupom ja totalizado");
    Item& it = ItemPorNumero(d, a.InteiroOpcional("NumItem"));
    std::int64_t liquido = it.Liquido();
    it.cancelado = true;
    LancaCancelamento(it, liquido);
    if (it.departamento >= 0) {
        p.dia.departamentoValor[static_cast<std::size_t>(it.departamento)] -= it.valor;
        p.dia.departamentoQuantidade[static_cast<std::size_t>(it.departamento)] -= it.quantidade;
    }
    Imprime(d.indiceFita, Direita("item cancelado:" + Zeros(it.numero, 3), "-" + Valor(liquido)));
    return {};
}

Resposta Comandos::AcresceSubtotal() {
    DocumentoAberto& d = p.aberto;
    if (!EhComprovante(d.tipo))
        Recusa(erro::kDocumentoNaoAberto, "DocumentoNaoAberto", "Nao ha cupom aberto");
    if (d.fase == Fase::Pagamento) Recusa(erro::kSequenciaInvalida, "EmPagamento", "Pagamento ja iniciado");
    if (d.Bruto() <= 0) Recusa(erro::kSequenciaInvalida, "SemItens", "Documento sem itens");
    if (a.Booleano("Cancelar").value_or(false)) {
        if (!d.ajusteSubtotal)
            Recusa(erro::kSequenciaInvalida, "SemAjusteSubtotal", "Nao ha acrescimo ou desconto no subtotal");
        for (Item& it : d.itens) {
            std::int64_t v = it.rateio;
            if (!v) continue;
            it.rateio = 0;
            if (it.naoFiscal >= 0) {
                p.dia.naoFiscal[static_cast<std::size_t>(it.naoFiscal)] -= v;
                (v < 0 ? p.dia.descontosNaoFiscal : p.dia.acrescimosNaoFiscal) -= v < 0 ? -v : v;
                if (v > 0) p.dia.cancelamentosNaoFiscal += v;
                continue;
            }
            TotalTributo(it.tributo) -= v;
            if (v < 0) {
                (it.icms ? p.dia.descontosIcms : p.dia.descontosIss) -= -v;
            } else {
                (it.icms ? p.dia.acrescimosIcms : p.dia.acrescimosIss) -= v;
                (it.icms ? p.dia.cancelamentosIcms : p.dia.cancelamentosIss) += v;
            }
        }
        std::int64_t antes = d.ajusteSubtotal;
        d.ajusteSubtotal = 0;
        Imprime(d.indiceFita, Direita(Cp850("cancelamento ajuste subtotal"),
                                      (antes < 0 ? "+" : "-") + Valor(antes < 0 ? -antes : antes)));
        return {};
    }
    if (d.ajusteSubtotal)
        Recusa(erro::kSequenciaInvalida, "AjusteJaAplicado", "Subtotal ja tem acrescimo ou desconto");
    std::optional<std::int64_t> valor = a.DecimalOpcional("ValorAcrescimo", 2);
    std::optional<std::int64_t> perc = a.DecimalOpcional("ValorPercentual", 2);
    if (!valor == !perc)
        Recusa(erro::kParametroAusente, "ParametroAusente", "Informe ValorAcrescimo ou ValorPercentual");
    std::int64_t v = valor ? *valor : *perc;
    std::int64_t bruto = d.Bruto();
    std::int64_t quantia = valor ? (v < 0 ? -v : v) : Escala(bruto, v < 0 ? -v : v, 10000, Trunca());
    if (quantia <= 0) Recusa(erro::kValorInvalido, "ValorZero", "Acrescimo ou desconto nulo");
    if (v < 0 && quantia >= bruto)
        Recusa(erro::kValorInvalido, "DescontoExcessivo", "Desconto maior ou igual ao subtotal");
    std::int64_t ajuste = v < 0 ? -quantia : quantia;
    RateiaSubtotal(d, ajuste);
    d.ajusteSubtotal = ajuste;
    d.fase = Fase::Totalizando;
    std::string meio = perc ? " " + Percentual(static_cast<int>(v < 0 ? -v : v)) + "%" : "";
    Imprime(d.indiceFita, Direita("SUBTOTAL R$", Valor(bruto)));
    if (ajuste < 0)
        Imprime(d.indiceFita, Direita("DESCONTO" + meio, "-" + Valor(quantia)));
    else
        Imprime(d.indiceFita, Direita(Cp850("acréscimo") + meio, "+" + Valor(quantia)));
    return {};
}

void Comandos::ImprimeTotal(DocumentoAberto& d) {
    if (d.totalImpresso) return;
    Imprime(d.indiceFita, Direita("TOTAL R$", Valor(d.Total())));
    d.totalImpresso = true;
}

Resposta Comandos::PagaCupom() {
    DocumentoAberto& d = p.aberto;
    if (!EhComprovante(d.tipo))
        Recusa(erro::kDocumentoNaoAberto, "DocumentoNaoAberto", "Nao ha cupom aberto");
    if (d.Total() <= 0) Recusa(erro::kSequenciaInvalida, "SemItens", "Documento sem itens a pagar");
    if (d.Pago()) Recusa(erro::kPagamentoExcedido, "PagamentoConcluido", "Nao ha valor a pagar");
    int forma = FormaPorParametros("CodMeioPagamento", "NomeMeioPagamento", true);
    std::int64_t valor = a.Decimal("Valor", 2);
    if (valor <= 0) Recusa(erro::kValorInvalido, "ValorInvalido", "Valor do pagamento deve ser positivo");
    std::string texto = a.TextoOpcional("TextoAdicional").value_or("").substr(0, 80);
    ImprimeTotal(d);
    d.fase = Fase::Pagamento;
    Pagamento pg{forma, NomeForma(forma), valor, texto, 0};
    int sinal = d.saida ? -1 : 1;
    (forma == -2 ? p.dia.dinheiro : p.dia.meioPagamento[static_cast<std::size_t>(forma)]) += sinal * valor;
    d.pagamentos.push_back(pg);
    d.pago += valor;
    Imprime(d.indiceFita, Direita(pg.nome.substr(0, 16), Valor(valor)));
    if (d.Pago()) {
        std::int64_t troco = d.pago - d.Total();
        if (troco > 0) {
            Imprime(d.indiceFita, Direita("TROCO R$", Valor(troco)));
            p.dia.troco += sinal * troco;
        }
        Separador(d.indiceFita);
        for (const Pagamento& x : d.pagamentos)
            if (!x.texto.empty())
                for (const std::string& l : Quebra(x.nome + ": " + x.texto, kColunas))
                    Imprime(d.indiceFita, l);
    }
    return {};
}

Resposta Comandos::EstornaMeioPagamento() {
    ExigeNenhumDocumento();
    UltimoComprovante& u = p.ultimo;
    if (u.tipo != TipoDocumento::CupomFiscal || !u.cancelavel ||
        p.ultimoDocumento != TipoDocumento::CupomFiscal)
        Recusa(erro::kSequenciaInvalida, "SemCupomParaEstorno", "Estorno so logo apos o cupom fiscal");
    int origem = FormaPorParametros("CodMeioPagamentoOrigem", "NomeMeioPagamentoOrigem", true);
    int destino = FormaPorParametros("CodMeioPagamentoDestino", "NomeMeioPagamentoDestino", true);
    if (origem == destino)
        Recusa(erro::kParametroInvalido, "FormasIguais", "Formas de origem e destino iguais");
    std::int64_t valor = a.Decimal("Valor", 2);
    std::int64_t pagoOrigem = 0;
    for (const Pagamento& pg : u.doc.pagamentos)
        if (pg.codigo == origem) pagoOrigem += pg.valor - pg.vinculado;
    if (valor <= 0 || valor > pagoOrigem)
        Recusa(erro::kValorInvalido, "ValorEstornoInvalido", "Valor maior que o pago na forma de origem");
    ++p.contadores.gnf;
    int idx = NovoDocumento(TipoDocumento::EstornoMeioPagamento, "COMPROVANTE NAO-FISCAL",
                            "GNF:", p.contadores.gnf);
    Imprime(idx, Centro("ESTORNO DE MEIO DE PAGAMENTO"));
    Imprime(idx, "COO DO CUPOM: " + Zeros(u.coo, 6));
    Imprime(idx, Direita("Origem: " + NomeForma(origem), "-" + Valor(valor)));
    Imprime(idx, Direita("Destino: " + NomeForma(destino), "+" + Valor(valor)));
    if (auto t = a.TextoOpcional("TextoAdicional")) Imprime(idx, t->substr(0, kColunas));
    Separador(idx);
    Encerra(idx, true);
    (origem == -2 ? p.dia.dinheiro : p.dia.meioPagamento[static_cast<std::size_t>(origem)]) -= valor;
    (destino == -2 ? p.dia.dinheiro : p.dia.meioPagamento[static_cast<std::size_t>(destino)]) += valor;
    std::int64_t resta = valor;
    for (Pagamento& pg : u.doc.pagamentos)
        if (pg.codigo == origem && resta > 0) {
            std::int64_t tira = std::min(resta, pg.valor - pg.vinculado);
            pg.valor -= tira;
            resta -= tira;
        }
    u.doc.pagamentos.push_back({destino, NomeForma(destino), valor, "", 0});
    u.cancelavel = false;
    return {};
}

Resposta Comandos::IdentificaConsumidor() {
    DocumentoAberto& d = p.aberto;
    if (!EhComprovante(d.tipo) && d.tipo != TipoDocumento::CreditoDebito)
        Recusa(erro::kDocumentoNaoAberto, "DocumentoNaoAberto", "Nao ha comprovante aberto");
    if (EhComprovante(d.tipo) && !d.Pago())
        Recusa(erro::kSequenciaInvalida, "PagamentoPendente", "Identificacao so depois do pagamento");
    if (d.consumidorImpresso)
        Recusa(erro::kSequenciaInvalida, "ConsumidorJaIdentificado", "Consumidor ja identificado");
    std::string id = a.TextoOpcional("IdConsumidor").value_or("");
    std::string nome = a.TextoOpcional("NomeConsumidor").value_or("");
    std::string end = a.TextoOpcional("EnderecoConsumidor").value_or("");
    if (Apara(id + nome + end).empty())
        Recusa(erro::kParametroAusente, "ParametroAusente", "Nenhum dado do consumidor");
    Separador(d.indiceFita);
    ImprimeConsumidor(d, id, nome, end);
    d.consumidorImpresso = true;
    return {};
}

Resposta Comandos::ImprimeTexto() {
    std::string texto = a.Texto("TextoLivre");
    DocumentoAberto& d = p.aberto;
    if (d.tipo == TipoDocumento::Nenhum) {
        TextoLivre(-1, texto);  // barcode settings alone need no document
        return {};
    }
    if (EhComprovante(d.tipo) && !d.Pago())
        Recusa(erro::kSequenciaInvalida, "PagamentoPendente", "Texto livre so depois do pagamento");
    TextoLivre(d.indiceFita, texto);
    ++d.linhasTexto;
    return {};
}

Resposta Comandos::EncerraDocumento() {
    DocumentoAberto& d = p.aberto;
    if (d.tipo == TipoDocumento::Nenhum)
        Recusa(erro::kDocumentoNaoAberto, "DocumentoNaoAberto", "Nao ha documento aberto");
    if (EhComprovante(d.tipo) && !d.Pago())
        Recusa(erro::kSequenciaInvalida, "PagamentoPendente", "Documento nao totalmente pago");
    bool cupom = d.tipo == TipoDocumento::CupomFiscal;
    Encerra(d.indiceFita, !cupom);
    p.fita[static_cast<std::size_t>(d.indiceFita)].dados = std::make_shared<const DocumentoAberto>(d);
    const Documento& doc = p.fita[static_cast<std::size_t>(d.indiceFita)];
    if (EhComprovante(d.tipo)) {
        if (cupom) p.segundosEmitindo += doc.fim.Segundos() - doc.inicio.Segundos();
        p.ultimo = UltimoComprovante{d.tipo, doc.coo, cupom ? p.contadores.ccf : 0, d.indiceFita, d, true, 0};
        p.vinculadosPendentes.clear();
        for (const Pagamento& pg : d.pagamentos)
            if (pg.codigo >= 0 && p.meiosPagamento[static_cast<std::size_t>(pg.codigo)].permiteVinculado)
                p.vinculadosPendentes.push_back(pg.codigo);
    }
    p.aberto = DocumentoAberto{};
    return {};
}

Resposta Comandos::CancelaCupom() {
    DocumentoAberto& d = p.aberto;
    if (EhComprovante(d.tipo)) {
        // The receipt in emission: everything sold goes to the cancellation totals.
        bool cupom = d.tipo == TipoDocumento::CupomFiscal;
        std::int64_t total = d.Total();
        for (Item& it : d.itens)
            if (!it.cancelado) {
                LancaCancelamento(it, it.Liquido());
                if (it.departamento >= 0) {
                    p.dia.departamentoValor[static_cast<std::size_t>(it.departamento)] -= it.valor;
                    p.dia.departamentoQuantidade[static_cast<std::size_t>(it.departamento)] -= it.quantidade;
                }
            }
        int sinal = d.saida ? -1 : 1;
        LancaPagamentos(d, -sinal);
        if (d.Pago()) p.dia.troco -= sinal * (d.pago - d.Total());
        Imprime(d.indiceFita, Centro("CANCELAMENTO"), true);
        Imprime(d.indiceFita, Direita(Cp850("VALOR DA OPERAÇÃO CANCELADA"), Valor(total)));
        Separador(d.indiceFita);
        Encerra(d.indiceFita, !cupom);
        p.fita[static_cast<std::size_t>(d.indiceFita)].dados = std::make_shared<const DocumentoAberto>(d);
        ++(cupom ? p.contadores.cfc : p.contadores.nfc);
        const Documento& doc = p.fita[static_cast<std::size_t>(d.indiceFita)];
        p.ultimo =
            UltimoComprovante{d.tipo, doc.coo, cupom ? p.contadores.ccf : 0, d.indiceFita, d, false, 0};
        p.aberto = DocumentoAberto{};
        return {};
    }
    if (d.tipo != TipoDocumento::Nenhum)
        Recusa(erro::kCancelamentoNaoPermitido, "DocumentoNaoCancelavel",
               "Este documento nao se cancela; encerre-o");
    UltimoComprovante& u = p.ultimo;
    if (!u.cancelavel || p.ultimoDocumento != u.tipo || !EhComprovante(u.tipo))
        Recusa(erro::kCancelamentoNaoPermitido, "NadaACancelar", "Nao ha cupom a cancelar");
    ExigeDiaAberto();
    bool cupom = u.tipo == TipoDocumento::CupomFiscal;
    p.vinculadosPendentes.clear();
    if (!cupom) ++p.contadores.gnf;
    int idx = NovoDocumento(cupom ? TipoDocumento::CupomFiscalCancelado : TipoDocumento::NaoFiscalCancelado,
                            cupom ? "CUPOM FISCAL CANCELADO" : "COMPROVANTE NAO-FISCAL CANCELADO",
                            cupom ? "CCF:" : "GNF:", cupom ? u.ccf : p.contadores.gnf);
    Imprime(idx,
            Direita(cupom ? "COO DO CUPOM CANCELADO:" : "COO DO COMPROVANTE CANCELADO:", Zeros(u.coo, 6)));
    Imprime(idx, Direita(Cp850("VALOR DA OPERAÇÃO R$"), Valor(u.doc.Total())));
    Separador(idx);
    Encerra(idx, !cupom);
    p.fita[static_cast<std::size_t>(idx)].dados = std::make_shared<const DocumentoAberto>(u.doc);
    for (Item& it : u.doc.itens)
        if (!it.cancelado) {
            LancaCancelamento(it, it.Liquido());
            if (it.departamento >= 0) {
                p.dia.departamentoValor[static_cast<std::size_t>(it.departamento)] -= it.valor;
                p.dia.departamentoQuantidade[static_cast<std::size_t>(it.departamento)] -= it.quantidade;
            }
        }
    int sinal = u.doc.saida ? -1 : 1;
    LancaPagamentos(u.doc, -sinal);
    p.dia.troco -= sinal * std::max<std::int64_t>(0, u.doc.pago - u.doc.Total());
    ++(cupom ? p.contadores.cfc : p.contadores.nfc);
    u.cancelavel = false;
    return {};
}

Resposta Comandos::ImprimeCupomAdicional() {
    ExigeNenhumDocumento();
    const UltimoComprovante& u = p.ultimo;
    if (u.tipo != TipoDocumento::CupomFiscal || p.ultimoDocumento != TipoDocumento::CupomFiscal ||
        u.indiceFita < 0)
        Recusa(erro::kSequenciaInvalida, "SemCupom", "Cupom adicional so logo apos o cupom fiscal");
    // The copy goes to the paper only; the detail tape already holds the receipt.
    p.papel.push_back(Centro("CUPOM ADICIONAL"));
    for (const Linha& l : p.fita[static_cast<std::size_t>(u.indiceFita)].linhas) p.papel.push_back(l.texto);
    return {};
}

}  // namespace emulador
