// The fiscal receipt and the non-fiscal documents against the printer model: what they do to
// counters and totals, what they print, and what the printer refuses.
#include <gtest/gtest.h>

#include <algorithm>

#include "auxiliar.h"

using namespace emulador;

namespace {

class Cupom : public teste::ComImpressora {
  protected:
    std::int64_t Moeda(const std::string& nome) {
        Resposta r = X("LeMoeda", "NomeDadoMonetario=\"" + nome + "\"");
        EXPECT_EQ(r.codigo, 0) << nome << ": " << r.dados;
        std::string d;
        for (char c : r.dados)
            if (c >= '0' && c <= '9') d += c;
        return std::stoll(d.substr(0, d.size() - 2));  // as the driver reads it: cents
    }
    std::string Ultimo() { return p.fita.back().Texto(); }
};

}  // namespace

TEST_F(Cupom, VendaCompletaMoveContadoresETotais) {
    Ok("AbreCupomFiscal", R"(IdConsumidor="123.456.789-09")");
    Ok("VendeItem",
       R"(AliquotaICMS=true PercentualAliquota=18,00 CodProduto="789" NomeProduto="ARROZ \x22T1\x22" PrecoUnitario=4,99 Quantidade=2,500 Unidade="KG")");
    Ok("VendeItem",
       R"(CodAliquota=-2 CodProduto="2" NomeProduto="REFRI" PrecoUnitario=5,000 Quantidade=1,000 Unidade="Un")");
    Ok("VendeItem",
       R"(CodAliquota=3 CodProduto="3" NomeProduto="SERVICO" PrecoUnitario=10,00 Quantidade=1,000 Unidade="Un")");
    Ok("AcresceItemFiscal", "Cancelar=false ValorPercentual=-10,00");  // item 3: 10 % of 10,00
    Ok("AcresceItemFiscal", "Cancelar=false NumItem=2 ValorAcrescimo= 0,50");
    Ok("CancelaItemFiscal", "NumItem=1");
    EXPECT_EQ(p.ultimoItemVendido, 3);
    Ok("AcresceSubtotal", "Cancelar=false ValorAcrescimo=-1,00");
    EXPECT_EQ(Moeda("TotalDocLiquido"), 1350);  // 5,50 + 9,00 - 1,00
    Ok("PagaCupom", "CodMeioPagamento=0 Valor=10,00");
    Ok("PagaCupom", R"(NomeMeioPagamento="dinheiro" Valor=10,00 TextoAdicional="obrigado")");
    EXPECT_EQ(Erro("PagaCupom", "CodMeioPagamento=-2 Valor=1,00"), erro::kPagamentoExcedido);
    Ok("ImprimeTexto", R"(TextoLivre="Volte sempre\nAplicativo:PDV")");
    Ok("IdentificaConsumidor", R"(NomeConsumidor="JOSE")");
    Ok("EncerraDocumento", R"(Operador="ANA")");

    EXPECT_EQ(p.contadores.coo, 1);
    EXPECT_EQ(p.contadores.ccf, 1);
    EXPECT_EQ(p.contadores.gnf, 0);
    // GT takes every value sold and the surcharge; discounts and cancellations stay apart.
    EXPECT_EQ(p.gt, 1247 + 500 + 1000 + 50);
    EXPECT_EQ(p.dia.cancelamentosIcms, 1247);
    EXPECT_EQ(p.dia.descontosIss, 100 + 62);  // item discount, then its share of the subtotal
    EXPECT_EQ(p.dia.descontosIcms, 38);
    EXPECT_EQ(p.dia.aliquota[0], 0);
    EXPECT_EQ(p.dia.f1, 550 - 38);
    EXPECT_EQ(p.dia.aliquota[3], 900 - 62);
    EXPECT_EQ(Moeda("TotalDiaVendaBruta"), p.VendaLiquida() + 1247 + 200);
    EXPECT_EQ(Moeda("TotalDiaDinheiro"), 1000);
    EXPECT_EQ(Moeda("TotalDiaMeioPagamento[0]"), 1000);
    EXPECT_EQ(Moeda("TotalDiaTroco"), 650);
    EXPECT_EQ(Moeda("TotalDocTroco"), 650);
    EXPECT_EQ(p.vinculadosPendentes, std::vector<int>{0});

    std::string t = Ultimo();
    EXPECT_NE(t.find("CNPJ/CPF consumidor: 123.456.789-09"), std::string::npos);
    EXPECT_NE(t.find("001 789 ARROZ \"T1\"\n  2,500KG X 4,99 T00 T"), std::string::npos);
    EXPECT_NE(t.find("12,47\xB0\n"), std::string::npos);
    EXPECT_NE(t.find("  1Un X 5,000 F1 T"), std::string::npos);
    EXPECT_NE(t.find("  1Un X 10,00 S03 T"), std::string::npos);
    EXPECT_NE(t.find("item cancelado:001"), std::string::npos);
    EXPECT_NE(t.find("desconto item:003 10,00%"), std::string::npos);
    EXPECT_NE(t.find("acr\x82scimo item:002"), std::string::npos);
    EXPECT_NE(t.find("NOME: JOSE\n"), std::string::npos);
    for (const Linha& l : p.fita.back().linhas) EXPECT_LE(l.texto.size(), 48u) << l.texto;
    const std::vector<Linha>& ls = p.fita.back().linhas;
    auto linha = [&](const std::string& inicio) {
        for (const Linha& l : ls)
            if (l.texto.rfind(inicio, 0) == 0) return l.texto;
        return std::string();
    };
    EXPECT_EQ(linha("15/03/2010").substr(27), "CCF:000001 COO:000001");
    EXPECT_EQ(linha("TOTAL R$"), "TOTAL R$                                   13,50");
    EXPECT_EQ(linha("DESCONTO"), "DESCONTO                                   -1,00");
    EXPECT_EQ(linha("TROCO R$"), "TROCO R$                                    6,50");
    EXPECT_EQ(linha("FAB:"), "FAB:TV010500000000012345                      BR");
    EXPECT_EQ(ls.back().texto, linha("FAB:"));
    EXPECT_EQ(ls[ls.size() - 2].texto.substr(27, 11), " 15/03/2010");
}

TEST_F(Cupom, RecusasDoCupom) {
    EXPECT_EQ(Erro("VendeItem", R"(CodAliquota=0 NomeProduto="X" PrecoUnitario=1,00 Quantidade=1,000)"),
              erro::kDocumentoNaoAberto);
    EXPECT_EQ(Erro("PagaCupom", "CodMeioPagamento=-2 Valor=1,00"), erro::kDocumentoNaoAberto);
    EXPECT_EQ(Erro("EncerraDocumento"), erro::kDocumentoNaoAberto);
    EXPECT_EQ(Erro("CancelaCupom"), erro::kCancelamentoNaoPermitido);
    Ok("AbreCupomFiscal");
    EXPECT_EQ(Erro("AbreCupomFiscal"), erro::kDocumentoAberto);
    EXPECT_EQ(Erro("EmiteReducaoZ"), erro::kDocumentoAberto);
    EXPECT_EQ(Erro("VendeItem", R"(CodAliquota=7 NomeProduto="X" PrecoUnitario=1,00 Quantidade=1,000)"),
              erro::kAliquotaNaoProgramada);
    EXPECT_EQ(
        Erro(
            "VendeItem",
            R"(AliquotaICMS=true PercentualAliquota=5,00 NomeProduto="X" PrecoUnitario=1,00 Quantidade=1,000)"),
        erro::kAliquotaNaoProgramada);  // 5,00 exists as ISS only
    Ok("VendeItem",
       R"(AliquotaICMS=false PercentualAliquota=5,00 NomeProduto="X" PrecoUnitario=1,00 Quantidade=1,000)");
    EXPECT_EQ(Erro("VendeItem",
                   R"(CodAliquota=0 NomeProduto="X" PrecoUnitario=1,00 Quantidade=1,000 CodDepartamento=4)"),
              erro::kDepartamentoNaoProgramado);
    EXPECT_EQ(Erro("VendeItem", R"(CodAliquota=0 NomeProduto="X" PrecoUnitario=0,00 Quantidade=1,000)"),
              erro::kValorInvalido);
    EXPECT_EQ(Erro("VendeItem", R"(CodAliquota=0 NomeProduto="X" PrecoUnitario=1,00 Quantidade=1,0001)"),
              erro::kParametroInvalido);
    EXPECT_EQ(Erro("VendeItem", R"(CodAliquota=0 Produto="X" PrecoUnitario=1,00 Quantidade=1)"),
              erro::kParametroDesconhecido);
    EXPECT_EQ(Erro("AcresceItemFiscal", "ValorAcrescimo=-1,00"), erro::kValorInvalido);  // the whole item
    EXPECT_EQ(Erro("CancelaItemFiscal", "NumItem=9"), erro::kItemInexistente);
    EXPECT_EQ(Erro("ImprimeTexto", R"(TextoLivre="antes do pagamento")"), erro::kSequenciaInvalida);
    EXPECT_EQ(Erro("EncerraDocumento"), erro::kSequenciaInvalida);
    EXPECT_EQ(Erro("PagaCupom", "CodMeioPagamento=5 Valor=1,00"), erro::kMeioPagamentoNaoProgramado);
    EXPECT_EQ(Erro("PagaCupom", R"(NomeMeioPagamento="Vale" Valor=1,00)"), erro::kMeioPagamentoNaoProgramado);
    Ok("PagaCupom", "CodMeioPagamento=-2 Valor=0,40");
    EXPECT_EQ(Erro("VendeItem", R"(CodAliquota=0 NomeProduto="X" PrecoUnitario=1,00 Quantidade=1,000)"),
              erro::kSequenciaInvalida);
    EXPECT_EQ(Erro("AcresceSubtotal", "ValorAcrescimo=-0,10"), erro::kSequenciaInvalida);
    EXPECT_EQ(Erro("Inexistente"), erro::kComandoInexistente);
    Resposta r = X("VendeItem", "");
    EXPECT_EQ(r.dados.rfind("NomeErro=\"", 0), 0u) << "error replies carry the two quoted texts";
}

TEST_F(Cupom, CancelamentoAbertoEDepoisDeFechado) {
    Ok("AbreCupomFiscal");
    Ok("VendeItem", R"(CodAliquota=1 NomeProduto="A" PrecoUnitario=10,00 Quantidade=1,000)");
    Ok("PagaCupom", "CodMeioPagamento=-2 Valor=4,00");
    Ok("CancelaCupom", R"(Operador="")");
    EXPECT_EQ(p.contadores.cfc, 1);
    EXPECT_EQ(p.dia.cancelamentosIcms, 1000);
    EXPECT_EQ(p.dia.aliquota[1], 0);
    EXPECT_EQ(p.dia.dinheiro, 0) << "money paid back";
    EXPECT_NE(Ultimo().find("CANCELAMENTO"), std::string::npos);
    EXPECT_EQ(Erro("CancelaCupom"), erro::kCancelamentoNaoPermitido) << "already cancelled";

    Ok("AbreCupomFiscal");
    Ok("VendeItem", R"(CodAliquota=1 NomeProduto="B" PrecoUnitario=3,00 Quantidade=2,000)");
    Ok("PagaCupom", "CodMeioPagamento=1 Valor=6,00");
    Ok("EncerraDocumento");
    Ok("CancelaCupom");
    EXPECT_EQ(p.contadores.coo, 3);
    EXPECT_EQ(p.contadores.ccf, 2);
    EXPECT_EQ(p.contadores.cfc, 2);
    EXPECT_EQ(p.dia.meioPagamento[1], 0);
    EXPECT_EQ(p.dia.cancelamentosIcms, 1600);
    EXPECT_EQ(p.VendaBruta(), 1600);
    EXPECT_EQ(p.fita.back().tipo, TipoDocumento::CupomFiscalCancelado);
    EXPECT_NE(Ultimo().find("COO DO CUPOM CANCELADO:"), std::string::npos);
    EXPECT_TRUE(p.vinculadosPendentes.empty());
}

TEST_F(Cupom, NaoFiscaisSangriaSuprimentoEVinculado) {
    Ok("AbreCupomNaoFiscal", R"(IdConsumidor="" EnderecoConsumidor="" NomeConsumidor="")");
    Ok("EmiteItemNaoFiscal", "CodNaoFiscal=0 Valor=50,00");
    EXPECT_EQ(Erro("EmiteItemNaoFiscal", "CodNaoFiscal=1 Valor=1,00"), erro::kSequenciaInvalida)
        << "in and out mixed";
    EXPECT_EQ(Erro("EmiteItemNaoFiscal", "CodNaoFiscal=7 Valor=1,00"), erro::kAliquotaNaoProgramada);
    Ok("PagaCupom", "CodMeioPagamento=-2 Valor=50,00");
    Ok("EncerraDocumento");
    Ok("AbreCupomNaoFiscal");
    Ok("EmiteItemNaoFiscal", "CodNaoFiscal=1 Valor=10,00");
    Ok("PagaCupom", "CodMeioPagamento=-2 Valor=10,00");
    Ok("EncerraDocumento");
    EXPECT_EQ(p.contadores.gnf, 2);
    EXPECT_EQ(p.contadores.ccf, 0);
    EXPECT_EQ(p.contadores.con[0], 1);
    EXPECT_EQ(p.contadores.con[1], 1);
    EXPECT_EQ(p.dia.naoFiscal[0], 5000);
    EXPECT_EQ(p.dia.naoFiscal[1], 1000);
    EXPECT_EQ(p.dia.dinheiro, 4000) << "the cash-out takes its payment back out";
    EXPECT_EQ(p.gt, 0);
    std::string t = Ultimo();
    EXPECT_NE(t.find("COMPROVANTE NAO-FISCAL"), std::string::npos);
    EXPECT_NE(t.find("GRG:000000 GNF:000002 CDC:0000\n"), std::string::npos);

    // A receipt paid by card, then its bound voucher.
    Ok("AbreCupomFiscal");
    Ok("VendeItem", R"(CodAliquota=0 NomeProduto="TV" PrecoUnitario=100,00 Quantidade=1,000)");
    Ok("PagaCupom", "CodMeioPagamento=2 Valor=20,00");  // cheque: no voucher
    Ok("PagaCupom", "CodMeioPagamento=0 Valor=80,00");
    Ok("EncerraDocumento");
    int cooCupom = p.contadores.coo;
    EXPECT_EQ(Erro("AbreCreditoDebito", "CodMeioPagamento=2 Valor = 20,00"), erro::kVinculadoNaoPermitido);
    EXPECT_EQ(Erro("AbreCreditoDebito", "CodMeioPagamento=0 Valor = 90,00"), erro::kVinculadoNaoPermitido);
    Ok("AbreCreditoDebito", "CodMeioPagamento=0 Valor = 80,00 COO = " + std::to_string(cooCupom));
    EXPECT_EQ(Erro("IdentificaConsumidor", ""), erro::kParametroAusente);
    Ok("ImprimeTexto", R"(TextoLivre="VIA DO CLIENTE")");
    Ok("EncerraDocumento");
    EXPECT_EQ(p.contadores.cdc, 1);
    EXPECT_EQ(p.contadores.ncn, 0);
    EXPECT_NE(Ultimo().find("COMPROVANTE CREDITO OU DEBITO"), std::string::npos);
    Ok("ImprimeAutenticacao", R"(TextoAutenticacao="\n\nAUTENTICADO")");
    ASSERT_EQ(p.folhas.size(), 1u);
    EXPECT_EQ(p.folhas[0].linhas.size(), 4u);
    EXPECT_EQ(p.folhas[0].linhas[2].substr(20, 10), "COO:00000" + std::to_string(cooCupom));
    Ok("EstornaCreditoDebito", "COO=" + std::to_string(p.contadores.coo));
    EXPECT_EQ(Erro("EstornaCreditoDebito", "COO=" + std::to_string(p.contadores.coo - 1)),
              erro::kVinculadoNaoPermitido);

    // A receipt paid by card whose voucher is never issued: the next document counts it.
    Ok("AbreCupomFiscal");
    Ok("VendeItem", R"(CodAliquota=0 NomeProduto="TV" PrecoUnitario=1,00 Quantidade=1,000)");
    Ok("PagaCupom", "CodMeioPagamento=1 Valor=1,00");
    Ok("EncerraDocumento");
    Ok("AbreGerencial", "CodGerencial=0");
    EXPECT_EQ(p.contadores.ncn, 1);
}

TEST_F(Cupom, GerencialEhAbertoSoPorIndiceProgramado) {
    EXPECT_EQ(Erro("AbreGerencial", "CodGerencial=1"), erro::kGerencialIndisponivel);
    EXPECT_EQ(Erro("AbreGerencial", "CodGerencial=25"), erro::kGerencialIndisponivel);
    Ok("AbreGerencial", "CodGerencial=0");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="TipoDocEmEmissao")").dados, "ValorInteiro=15");
    EXPECT_EQ(X("LeTexto", R"(NomeTexto="NomeEstadoFiscal")").dados, R"(ValorTexto="ESTADO_GERENCIAL")");
    Ok("ImprimeTexto",
       R"(TextoLivre="linha 1\numa linha que passa das quarenta e oito colunas e quebra sozinha")");
    Ok("EncerraDocumento");
    EXPECT_EQ(p.contadores.grg, 1);
    EXPECT_EQ(p.contadores.cer[0], 1);
    const auto& ls = p.fita.back().linhas;
    auto it = std::find_if(ls.begin(), ls.end(), [](const Linha& l) { return l.texto == "linha 1"; });
    ASSERT_NE(it, ls.end());
    EXPECT_EQ((it + 1)->texto, "uma linha que passa das quarenta e oito colunas ");
    EXPECT_EQ((it + 2)->texto, "e quebra sozinha");
}

TEST_F(Cupom, SemPapelRecusaQuemImprime) {
    p.semPapel = true;
    EXPECT_EQ(Erro("AbreCupomFiscal"), erro::kSemPapel);
    EXPECT_EQ(Erro("EmiteLeituraX"), erro::kSemPapel);
    EXPECT_EQ(X("LeIndicador", R"(NomeIndicador="SemPapel")").dados,
              R"(ValorNumericoIndicador=1 ValorTextoIndicador="1")");
    Ok("EmiteLeituraX", R"(Destino="S")");
}
