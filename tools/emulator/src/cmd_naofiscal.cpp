// Non-fiscal receipts (items on the non-fiscal totalisers), bound credit/debit vouchers with
// their reversal and copies, and management reports.
#include "comandos.h"

namespace emulador {

namespace {
Item& ItemNaoFiscal(DocumentoAberto& d, std::optional<std::int64_t> numero) {
    if (d.itens.empty()) Recusa(erro::kItemInexistente, "ItemInexistente", "Nenhum item no documento");
    std::size_t i = numero ? static_cast<std::size_t>(*numero - 1) : d.itens.size() - 1;
    if (numero && (*numero < 1 || *numero > static_cast<std::int64_t>(d.itens.size())))
        Recusa(erro::kItemInexistente, "ItemInexistente", "Item " + std::to_string(*numero) + " inexistente");
    if (d.itens[i].cancelado) Recusa(erro::kItemInexistente, "ItemCancelado", "Item ja cancelado");
    return d.itens[i];
}
}  // namespace

Resposta Comandos::AbreCupomNaoFiscal() {
    int idx = AbreDocumentoDeVenda(TipoDocumento::NaoFiscal, "GNF:", p.contadores.gnf);
    Imprime(idx, Centro("COMPROVANTE NAO-FISCAL"), true);
    return {};
}

Resposta Comandos::EmiteItemNaoFiscal() {
    ExigeDocumento(TipoDocumento::NaoFiscal, "comprovante nao fiscal");
    DocumentoAberto& d = p.aberto;
    if (d.fase != Fase::Venda)
        Recusa(erro::kSequenciaInvalida, "VendaEncerrada", "Comprovante ja totalizado");
    const int cod = NaoFiscalPedido();
    const TotalizadorNaoFiscal& t = p.naoFiscais[static_cast<std::size_t>(cod)];
    bool ativos = false;
    for (const Item& i : d.itens) ativos = ativos || !i.cancelado;
    if (ativos && d.saida == t.entrada)
        Recusa(erro::kSequenciaInvalida, "SentidosMisturados", "Entradas e saidas no mesmo comprovante");
    std::int64_t valor = a.Decimal("Valor", 2);
    if (valor <= 0) Recusa(erro::kValorInvalido, "ValorInvalido", "Valor deve ser positivo");
    Item it;
    it.numero = static_cast<int>(d.itens.size()) + 1;
    it.naoFiscal = cod;
    it.descricao = t.nome;
    it.valor = valor;
    it.quantidade = 1000;
    d.saida = !t.entrada;
    p.dia.naoFiscal[static_cast<std::size_t>(cod)] += valor;
    ++p.contadores.con[static_cast<std::size_t>(cod)];
    Imprime(d.indiceFita, Direita(Zeros(it.numero, 3) + " " + t.nome, Valor(valor)));
    d.itens.push_back(it);
    return {};
}

Resposta Comandos::AcresceItemNaoFiscal() {
    ExigeDocumento(TipoDocumento::NaoFiscal, "comprovante nao fiscal");
    DocumentoAberto& d = p.aberto;
    if (d.fase != Fase::Venda)
        Recusa(erro::kSequenciaInvalida, "VendaEncerrada", "Comprovante ja totalizado");
    Item& it = ItemNaoFiscal(d, a.InteiroOpcional("NumItem"));
    return AcresceItem(it,
                       {p.dia.naoFiscal[static_cast<std::size_t>(it.naoFiscal)], p.dia.descontosNaoFiscal,
                        p.dia.acrescimosNaoFiscal, p.dia.cancelamentosNaoFiscal, nullptr},
                       false);
}

Resposta Comandos::CancelaItemNaoFiscal() {
    ExigeDocumento(TipoDocumento::NaoFiscal, "comprovante nao fiscal");
    DocumentoAberto& d = p.aberto;
    if (d.fase != Fase::Venda)
        Recusa(erro::kSequenciaInvalida, "VendaEncerrada", "Comprovante ja totalizado");
    Item& it = ItemNaoFiscal(d, a.InteiroOpcional("NumItem"));
    std::int64_t liquido = it.Liquido();
    it.cancelado = true;
    LancaCancelamento(it, liquido);
    Imprime(d.indiceFita, Direita("item cancelado:" + Zeros(it.numero, 3), "-" + Valor(liquido)));
    return {};
}

// --- bound credit/debit vouchers -----------------------------------------------------------------

Resposta Comandos::AbreCreditoDebito() {
    ExigeNenhumDocumento();
    ExigeDiaAberto();
    int forma = FormaPorParametros("CodMeioPagamento", "NomeMeioPagamento", true);
    if (forma < 0 || !p.meiosPagamento[static_cast<std::size_t>(forma)].permiteVinculado)
        Recusa(erro::kVinculadoNaoPermitido, "FormaSemVinculado",
               "Meio de pagamento nao admite comprovante vinculado");
    UltimoComprovante& u = p.ultimo;
    int coo = static_cast<int>(a.InteiroOpcional("COO").value_or(u.coo));
    if (u.tipo == TipoDocumento::Nenhum || coo != u.coo || !u.cancelavel)
        Recusa(erro::kVinculadoNaoPermitido, "CupomInvalido",
               "COO " + std::to_string(coo) + " nao e o ultimo comprovante");
    Pagamento* pg = nullptr;
    for (Pagamento& x : u.doc.pagamentos)
        if (x.codigo == forma && x.valor > x.vinculado && !pg) pg = &x;
    if (!pg)
        Recusa(erro::kVinculadoNaoPermitido, "SemPagamentoNaForma",
               "Cupom nao tem pagamento livre nessa forma");
    std::int64_t valor = a.DecimalOpcional("Valor", 2).value_or(pg->valor - pg->vinculado);
    if (valor <= 0 || valor > pg->valor - pg->vinculado)
        Recusa(erro::kVinculadoNaoPermitido, "ValorVinculadoInvalido", "Valor maior que o pago nessa forma");
    for (auto i = p.vinculadosPendentes.begin(); i != p.vinculadosPendentes.end(); ++i)
        if (*i == forma) {
            p.vinculadosPendentes.erase(i);
            break;
        }
    pg->vinculado += valor;
    ++p.contadores.cdc;
    ++p.contadores.gnf;
    int idx = NovoDocumento(TipoDocumento::CreditoDebito, "COMPROVANTE CREDITO OU DEBITO",
                            "GNF:", p.contadores.gnf);
    p.aberto = DocumentoAberto{};
    p.aberto.tipo = TipoDocumento::CreditoDebito;
    p.aberto.indiceFita = idx;
    p.aberto.cooVinculado = coo;
    p.aberto.formaVinculada = forma;
    p.aberto.valorVinculado = valor;
    Imprime(idx, Direita("COO DO DOCUMENTO VINCULADO:", Zeros(coo, 6)));
    Imprime(idx, Direita(NomeForma(forma).substr(0, 30), Valor(valor)));
    Imprime(idx, Direita("VALOR TOTAL DA COMPRA R$", Valor(u.doc.Total())));
    ImprimeConsumidor(p.aberto, a.TextoOpcional("IdConsumidor").value_or(""),
                      a.TextoOpcional("NomeConsumidor").value_or(""),
                      a.TextoOpcional("EnderecoConsumidor").value_or(""));
    Separador(idx);
    p.vinculados.push_back({p.fita[static_cast<std::size_t>(idx)].coo, coo, forma, valor, false});
    return {};
}

Resposta Comandos::EstornaCreditoDebito() {
    ExigeNenhumDocumento();
    ExigeDiaAberto();
    int coo = static_cast<int>(a.Inteiro("COO"));
    VinculadoEmitido* v = nullptr;
    for (VinculadoEmitido& x : p.vinculados)
        if (x.coo == coo) v = &x;
    if (!v)
        Recusa(erro::kVinculadoNaoPermitido, "VinculadoInexistente",
               "COO " + std::to_string(coo) + " nao e um comprovante vinculado");
    if (v->estornado)
        Recusa(erro::kVinculadoNaoPermitido, "VinculadoJaEstornado", "Comprovante ja estornado");
    ++p.contadores.gnf;
    int idx = NovoDocumento(TipoDocumento::EstornoCreditoDebito, "ESTORNO DE COMPROVANTE CREDITO OU DEBITO",
                            "GNF:", p.contadores.gnf);
    Imprime(idx, Direita("COO DO COMPROVANTE ESTORNADO:", Zeros(coo, 6)));
    Imprime(idx, Direita(NomeForma(v->forma).substr(0, 30), "-" + Valor(v->valor)));
    Separador(idx);
    Encerra(idx, true);
    v->estornado = true;
    if (p.ultimo.coo == v->cooOrigem)
        for (Pagamento& pg : p.ultimo.doc.pagamentos)
            if (pg.codigo == v->forma && pg.vinculado >= v->valor) {
                pg.vinculado -= v->valor;
                break;
            }
    return {};
}

namespace {
const Documento* UltimoVinculado(const Impressora& p) {
    if (p.ultimoDocumento != TipoDocumento::CreditoDebito || p.vinculados.empty()) return nullptr;
    return p.DocumentoPorCoo(p.vinculados.back().coo);
}
}  // namespace

Resposta Comandos::ReimprimeViaCreditoDebito() {
    ExigeNenhumDocumento();
    const Documento* d = UltimoVinculado(p);
    if (!d)
        Recusa(erro::kSequenciaInvalida, "SemVinculado", "O ultimo documento nao e um comprovante vinculado");
    p.papel.push_back(Centro(Cp850("REIMPRESSÃO")));
    for (const Linha& l : d->linhas) p.papel.push_back(l.texto);
    return {};
}

Resposta Comandos::EmiteViaCreditoDebito() {
    ExigeNenhumDocumento();
    const Documento* d = UltimoVinculado(p);
    if (!d)
        Recusa(erro::kSequenciaInvalida, "SemVinculado", "O ultimo documento nao e um comprovante vinculado");
    p.papel.push_back(Centro(Cp850("2ª VIA")));
    for (const Linha& l : d->linhas) p.papel.push_back(l.texto);
    return {};
}

// --- management reports ----------------------------------------------------------------------------

Resposta Comandos::AbreGerencial() {
    ExigeNenhumDocumento();
    ExigeDiaAberto();
    int cod = -1;
    if (auto c = a.InteiroOpcional("CodGerencial")) {
        if (*c < 0 || *c > 19)
            Recusa(erro::kGerencialIndisponivel, "GerencialInvalido", "CodGerencial fora da faixa");
        cod = static_cast<int>(*c);
    } else {
        std::string n = Maiusculas(Apara(a.Texto("NomeGerencial")));
        for (int k = 0; k < 20 && cod < 0; ++k)
            if (p.gerenciais[k].programado && Maiusculas(p.gerenciais[k].nome) == n) cod = k;
    }
    if (cod < 0 || !p.gerenciais[static_cast<std::size_t>(cod)].programado)
        Recusa(erro::kGerencialIndisponivel, "GerencialNaoProgramado",
               "Relatorio gerencial " + std::to_string(cod) + " nao programado");
    ++p.contadores.grg;
    ++p.contadores.gnf;
    ++p.contadores.cer[static_cast<std::size_t>(cod)];
    int idx = NovoDocumento(TipoDocumento::Gerencial, "RELATORIO GERENCIAL", "GNF:", p.contadores.gnf);
    Imprime(idx, Centro(Zeros(cod, 2) + " " + p.gerenciais[static_cast<std::size_t>(cod)].nome));
    p.aberto = DocumentoAberto{};
    p.aberto.tipo = TipoDocumento::Gerencial;
    p.aberto.indiceFita = idx;
    p.aberto.gerencial = cod;
    return {};
}

Resposta Comandos::ImprimeDadosDepartamento() {
    ExigeDocumento(TipoDocumento::Gerencial, "relatorio gerencial");
    int idx = p.aberto.indiceFita;
    Imprime(idx, Centro("DEPARTAMENTOS"));
    Imprime(idx, Direita("DEPARTAMENTO         QUANTIDADE", "VALOR"));
    bool algum = false;
    for (int k = 0; k < 20; ++k) {
        const Departamento& d = p.departamentos[static_cast<std::size_t>(k)];
        if (!d.programado) continue;
        algum = true;
        std::string esq = Completa(Zeros(k, 2) + " " + d.nome, 21) +
                          Quantidade(p.dia.departamentoQuantidade[static_cast<std::size_t>(k)]);
        Imprime(idx, Direita(esq, Valor(p.dia.departamentoValor[static_cast<std::size_t>(k)])));
    }
    if (!algum) Imprime(idx, "NENHUM DEPARTAMENTO PROGRAMADO");
    Separador(idx);
    return {};
}

}  // namespace emulador
