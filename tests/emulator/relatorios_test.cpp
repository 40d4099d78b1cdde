// Readings and the day: X reading, Z reduction and the fiscal memory, the day rules, the print
// capture, the detail-tape download and the fiscal-memory reading, with the printed layouts
// that the driver's text readers rely on.
#include <gtest/gtest.h>

#include <algorithm>

#include "auxiliar.h"

using namespace emulador;

namespace {

class Dia : public teste::ComImpressora {
  protected:
    void Venda(const std::string& aliquota, const std::string& preco, const std::string& forma = "-2") {
        Ok("AbreCupomFiscal");
        Ok("VendeItem", aliquota + R"( NomeProduto="P" PrecoUnitario=)" + preco + " Quantidade=1,000");
        Ok("PagaCupom", "CodMeioPagamento=" + forma + " Valor=" + preco);
        Ok("EncerraDocumento");
    }
    static std::string Digitos(const std::string& s) {
        std::string d;
        for (char c : s)
            if (c >= '0' && c <= '9') d += c;
        return d;
    }
    static std::string SemQuebras(std::string s) {
        s.erase(std::remove(s.begin(), s.end(), '\n'), s.end());
        return s;
    }
};

}  // namespace

TEST_F(Dia, ReducaoZFechaODiaNaMemoriaFiscal) {
    Venda("CodAliquota=0", "100,00");
    Venda("CodAliquota=3", "20,00", "0");
    Ok("AbreCupomNaoFiscal");
    Ok("EmiteItemNaoFiscal", "CodNaoFiscal=0 Valor=30,00");
    Ok("PagaCupom", "CodMeioPagamento=-2 Valor=30,00");
    Ok("EncerraDocumento");
    Ok("EmiteLeituraX", R"(Operador="")");
    EXPECT_EQ(p.fita.back().tipo, TipoDocumento::LeituraX);
    EXPECT_EQ(p.contadores.gnf, 2);
    Ok("EmiteReducaoZ", R"(Operador="ANA")");

    ASSERT_EQ(p.memoriaFiscal.size(), 1u);
    const RegistroZ& z = p.memoriaFiscal[0];
    EXPECT_EQ(z.crz, 1);
    EXPECT_EQ(z.coo, 5);
    EXPECT_EQ(z.cooInicial, 1);
    EXPECT_EQ(z.gt, 12000);
    EXPECT_EQ(z.VendaBruta(), 12000);
    EXPECT_EQ(z.totais.aliquota[0], 10000);
    EXPECT_EQ(z.totais.naoFiscal[0], 3000);
    EXPECT_EQ(z.movimento.Data(), "15/03/2010");
    // The day starts again.
    EXPECT_EQ(p.dia.aliquota[0], 0);
    EXPECT_EQ(p.dia.dinheiro, 0);
    EXPECT_EQ(p.gtInicial, 12000);
    EXPECT_EQ(p.cooInicioDia, 6);
    EXPECT_FALSE(p.movimentoAberto);

    std::string r = X("LeTexto", R"(NomeTexto="DadosUltimaReducaoZ")").dados;
    ASSERT_EQ(r.size(), 13u + 616u);
    std::string d = r.substr(12, 616);
    EXPECT_EQ(d.substr(0, 2), "00");
    EXPECT_EQ(d.substr(2, 18), "000000000000012000");
    EXPECT_EQ(d.substr(48, 8), "18001200");                   // rates of slots 0 and 1
    EXPECT_EQ(d.substr(112, 14), "00000000010000");           // total of slot 0
    EXPECT_EQ(d.substr(112 + 3 * 14, 14), "00000000002000");  // slot 3 (ISS)
    EXPECT_EQ(d.substr(406, 14), "00000000003000");           // non-fiscal totaliser 0
    EXPECT_EQ(d.substr(568, 6), "000005");                    // COO of the reduction
    EXPECT_EQ(d.substr(574, 6), "000002");                    // GNF
    EXPECT_EQ(d.substr(616 - 33 - 1, 6), "150310");           // 33 before the end, counted from 1

    EXPECT_EQ(X("LeMoeda", R"(NomeDadoMonetario="TotalAliquota00Reducao[1]")").dados, "ValorMoeda=100,0000");
    EXPECT_EQ(X("LeMoeda", R"(NomeDadoMonetario="Aliquota03Reducao[1]")").dados, "ValorMoeda=5,0000");
    EXPECT_EQ(X("LeMoeda", R"(NomeDadoMonetario="Aliquota09Reducao[1]")").dados, "ValorMoeda=0,0000");
    EXPECT_EQ(Digitos(X("LeIndicador", R"(NomeIndicador="Aliquota00ICMSReducao[1]")").dados), "11");
    EXPECT_EQ(Digitos(X("LeIndicador", R"(NomeIndicador="Aliquota03ICMSReducao[1]")").dados), "00");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="COOReducao[1]")").dados, "ValorInteiro=5");
    EXPECT_EQ(X("LeData", R"(NomeData="DataReducao[1]")").dados, "ValorData=#15/03/2010#");
    EXPECT_EQ(Erro("LeInteiro", R"(NomeInteiro="COOReducao[0]")"), erro::kSemDados);
    EXPECT_EQ(Erro("LeInteiro", R"(NomeInteiro="COOReducao[2]")"), erro::kSemDados);

    // The same day stays closed; the next one opens.
    EXPECT_EQ(Erro("AbreCupomFiscal"), erro::kDiaFechado);
    EXPECT_EQ(Erro("EmiteReducaoZ"), erro::kDiaFechado);
    EXPECT_EQ(Digitos(X("LeIndicador", R"(NomeIndicador="DiaFechado")").dados), "11");
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="Indicadores")").dados, "ValorInteiro=16");
    p.AvancaRelogio(86400);
    Venda("CodAliquota=0", "1,00");
    EXPECT_EQ(p.gtInicial, 12000);
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="COOInicioDia")").dados, "ValorInteiro=6");
}

TEST_F(Dia, ReducaoPendenteFechaODiaAnterior) {
    Venda("CodAliquota=0", "10,00");
    p.AvancaRelogio(86400);
    EXPECT_EQ(Erro("AbreCupomFiscal"), erro::kReducaoZPendente);
    EXPECT_EQ(Erro("EmiteLeituraX"), erro::kReducaoZPendente);
    EXPECT_EQ(X("LeInteiro", R"(NomeInteiro="Indicadores")").dados, "ValorInteiro=128");
    EXPECT_EQ(X("LeData", R"(NomeData="DataAbertura")").dados, "ValorData=#15/03/2010#");
    Ok("EmiteLeituraX", R"(Destino="S")");  // a reading to the port is no document
    Ok("EmiteReducaoZ");
    EXPECT_EQ(X("LeData", R"(NomeData="DataMovimentoReducao[1]")").dados, "ValorData=#15/03/2010#");
    EXPECT_EQ(X("LeData", R"(NomeData="DataReducao[1]")").dados, "ValorData=#16/03/2010#");
    Venda("CodAliquota=0", "10,00");  // the new day is open
}

TEST_F(Dia, HoraNaReducaoAcertaORelogioAteCincoMinutos) {
    DataHora antes = p.Agora();
    DataHora quer = antes;
    quer.minuto += 10;
    EXPECT_EQ(Erro("EmiteReducaoZ", "Hora=#" + quer.Hora() + "#"), erro::kRelogio);
    EXPECT_TRUE(p.memoriaFiscal.empty());
    quer.minuto -= 6;
    Ok("EmiteReducaoZ", "Hora=#" + quer.Hora() + "#");
    EXPECT_NEAR(static_cast<double>(p.Agora().Segundos() - antes.Segundos()), 240.0, 2.0);
}

TEST_F(Dia, LeituraXCapturadaEmPedacos) {
    Venda("CodAliquota=0", "1.234,56");
    for (int i = 0; i < 20; ++i) Venda("CodAliquota=-2", "3,00");
    Ok("EmiteLeituraX", R"(Destino="S")");
    EXPECT_EQ(p.contadores.coo, 21) << "no document for a reading sent to the port";
    std::size_t pedacos = 0;
    std::string fluxo;
    while (true) {
        Resposta r = X("LeImpressao");
        ASSERT_EQ(r.codigo, 0);
        ASSERT_EQ(r.dados.rfind("TextoImpressao=\"", 0), 0u);
        std::string v = r.dados.substr(16, r.dados.size() - 17);
        EXPECT_LE(v.size(), 1024u);
        if (v.empty()) break;
        fluxo += v;
        ++pedacos;
    }
    EXPECT_GE(pedacos, 3u);
    EXPECT_EQ(X("LeImpressao").dados, "TextoImpressao=\"\"") << "keeps answering empty";
    auto linhas = teste::Linhas(fluxo);
    auto tem = [&](const std::string& l) {
        return std::find(linhas.begin(), linhas.end(), l) != linhas.end();
    };
    EXPECT_TRUE(tem("                   LEITURA  X"));
    EXPECT_TRUE(tem("MOVIMENTO DO DIA: 15/03/2010"));
    EXPECT_TRUE(tem("TOTALIZADOR GERAL:                      1.294,56"));
    EXPECT_TRUE(tem("VENDA BRUTA DI\xB5RIA:                     1.294,56"));
    EXPECT_TRUE(tem("T00=18,00%                              1.234,56"));
    EXPECT_TRUE(tem("SUBSTITUI\x80\xC7O TRIBUT\xB5RIA ICMS:              60,00"));
    EXPECT_TRUE(tem("-2  Dinheiro                            1.294,56"));
    EXPECT_TRUE(tem("Contador de Cupom Fiscal:                 000021"));
    for (const std::string& l : linhas) EXPECT_LE(l.size(), 48u) << l;
    // Labels with line feeds never sit in a 48-column line: a full line carries none.
    EXPECT_EQ(fluxo.find(std::string(48, '-') + "\n"), std::string::npos);
}

TEST_F(Dia, DownloadDaFitaPorCooEPorData) {
    Venda("CodAliquota=0", "10,00");
    Venda("CodAliquota=1", "20,00");
    Ok("AbreGerencial", "CodGerencial=0");
    Ok("ImprimeTexto", R"(TextoLivre="barra \ invertida")");
    Ok("EncerraDocumento");
    Ok("EmiteReducaoZ");
    ASSERT_EQ(p.contadores.coo, 4);

    Ok("EmiteLeituraFitaDetalhe", R"(COOInicial=2 COOFinal=3 Destino="S")");
    std::string fluxo = teste::Captura(p);
    EXPECT_EQ(fluxo, p.fita[1].Fluxo() + p.fita[2].Fluxo());
    EXPECT_NE(fluxo.find("barra \\\\ invertida"), std::string::npos) << "backslash doubled in the stream";
    EXPECT_NE(fluxo.find("\x1b"
                         "E1                  CUPOM FISCAL\x1b"
                         "E0\n"),
              std::string::npos);
    int cabecalhos = 0;
    for (const std::string& l : teste::Linhas(fluxo))
        if (l.size() == 48 && l.substr(38, 4) == "COO:") ++cabecalhos;
    EXPECT_EQ(cabecalhos, 2);

    Ok("EmiteLeituraFitaDetalhe", R"(DataInicial=#15/03/2010# DataFinal=#15/03/2010# Destino="S")");
    EXPECT_EQ(teste::Captura(p), p.fita[0].Fluxo() + fluxo + p.fita[3].Fluxo());
    EXPECT_EQ(
        Erro("EmiteLeituraFitaDetalhe", R"(DataInicial=#16/03/2010# DataFinal=#20/03/2010# Destino="S")"),
        erro::kSemDados);
    EXPECT_EQ(Erro("EmiteLeituraFitaDetalhe", R"(COOInicial=50 COOFinal=60 Destino="S")"), erro::kSemDados);
    // On paper it is a detail-tape print: no document, the CFD counter moves.
    Ok("EmiteLeituraFitaDetalhe", R"(Destino="I" COOInicial=1 COOFinal=1)");
    EXPECT_EQ(p.contadores.coo, 4);
    EXPECT_EQ(p.contadores.cfd, 1);
}

TEST_F(Dia, ContadoresDaReducaoNasPosicoesFixas) {
    // The reduction's counters are found in the joined lines of its download at fixed
    // distances from "Contador de Reinício de Operação".
    Venda("CodAliquota=0", "10,00", "0");
    Ok("AbreCreditoDebito", "CodMeioPagamento=0");
    Ok("EncerraDocumento");
    Venda("CodAliquota=0", "5,00");
    Ok("CancelaCupom");
    Ok("AbreGerencial", "CodGerencial=0");
    Ok("EncerraDocumento");
    Ok("EmiteReducaoZ");
    int coo = p.contadores.coo;
    Ok("EmiteLeituraFitaDetalhe",
       "COOInicial=" + std::to_string(coo) + " COOFinal=" + std::to_string(coo) + R"( Destino="S")");
    std::string t = SemQuebras(teste::Captura(p));
    ASSERT_NE(t.find("Geral de Opera"), std::string::npos);
    std::size_t pos = t.find(
        "Contador de Rein\xA1"
        "cio de Opera");
    ASSERT_NE(pos, std::string::npos);
    std::size_t q = pos + 45;  // the record's p, counted from 0
    const Contadores& c = p.contadores;
    auto z = [](int v, int w) {
        std::string s = std::to_string(v);
        return std::string(static_cast<std::size_t>(w) - s.size(), '0') + s;
    };
    EXPECT_EQ(t.substr(q, 3), z(c.cro, 3));
    EXPECT_EQ(t.substr(q + 47, 4), z(c.crz, 4));
    EXPECT_EQ(t.substr(q + 93, 6), z(c.ccf, 6));
    EXPECT_EQ(t.substr(q + 141, 6), z(c.cfd, 6));
    EXPECT_EQ(t.substr(q + 191, 4), z(c.cdc, 4));
    EXPECT_EQ(t.substr(q + 237, 6), z(c.grg, 6));
    EXPECT_EQ(t.substr(q + 287, 4), z(c.nfc, 4));
    EXPECT_EQ(t.substr(q + 335, 4), z(c.cfc, 4));
    std::size_t ncn = t.find("Comprovante N");
    ASSERT_NE(ncn, std::string::npos);
    EXPECT_EQ(t.substr(ncn + 44, 4), z(c.ncn, 4));
    EXPECT_EQ(c.ccf, 2);
    EXPECT_EQ(c.cdc, 1);
    EXPECT_EQ(c.cfc, 1);
    EXPECT_EQ(c.grg, 1);
}

TEST_F(Dia, LeituraDaMemoriaFiscal) {
    EXPECT_EQ(
        Erro("EmiteLeituraMF", R"(Destino="S" LeituraSimplificada=false ReducaoInicial=1 ReducaoFinal=1)"),
        erro::kSemDados);
    Venda("CodAliquota=0", "10,00");
    Ok("EmiteReducaoZ");
    p.AvancaRelogio(86400);
    Venda("CodAliquota=-2", "7,00");
    Ok("EmiteReducaoZ");

    EXPECT_EQ(
        Erro("EmiteLeituraMF", "LeituraSimplificada=false DataInicial=#01/02/2010# DataFinal=#31/02/2010#"),
        erro::kSemDados)
        << "the 31st of any month is its last day";
    EXPECT_EQ(Erro("EmiteLeituraMF", "DataInicial=#01/02/2010# DataFinal=#32/02/2010#"),
              erro::kParametroInvalido);
    Ok("EmiteLeituraMF",
       R"(Destino="S" LeituraSimplificada=false DataInicial=#01/03/2010# DataFinal=#31/03/2010#)");
    auto linhas = teste::Linhas(teste::Captura(p));
    auto indice = [&](const std::string& trecho) {
        for (std::size_t i = 0; i < linhas.size(); ++i)
            if (linhas[i].find(trecho) != std::string::npos) return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ(linhas[0], "TARVO COMERCIO DE TESTES LTDA");
    int red = indice(
        "REDU\x80\xE5"
        "ES DI\xB5RIAS");
    ASSERT_GT(red, 0);
    EXPECT_EQ(linhas[static_cast<std::size_t>(red) + 2].substr(0, 5), "0001 ");
    EXPECT_EQ(linhas[static_cast<std::size_t>(red) + 2].substr(5, 23), "000002 001 15/03/2010  ");
    EXPECT_EQ(indice("0002 000004 001 16/03/2010"), red + 4);
    int sb = indice("SOFTWARE B\xB5SICO:");
    ASSERT_GT(sb, 0);
    EXPECT_EQ(linhas[static_cast<std::size_t>(sb) + 1].substr(9, 10), "05/01/2010");
    EXPECT_EQ(linhas[static_cast<std::size_t>(sb) + 1].substr(22, 8), "09:00:00");
    EXPECT_EQ(linhas[static_cast<std::size_t>(sb) + 2].substr(0, 6), "MOEDA:");
    int usuario = indice("Usuario:");
    ASSERT_GT(usuario, 0);
    EXPECT_EQ(linhas[static_cast<std::size_t>(usuario)].substr(8, 2), "01");
    EXPECT_EQ(linhas[static_cast<std::size_t>(usuario)].substr(21, 10), "05/01/2010");
    EXPECT_EQ(p.contadores.coo, 4) << "to the port: no document";

    // Simplified and on paper: a document, and no list of reductions.
    Ok("EmiteLeituraMF", "LeituraSimplificada=true ReducaoInicial=1 ReducaoFinal=2");
    EXPECT_EQ(p.contadores.coo, 5);
    EXPECT_EQ(p.fita.back().Texto().find("REDU\x80\xE5"
                                         "ES DI\xB5RIAS"),
              std::string::npos);
    EXPECT_NE(p.fita.back().Texto().find("VENDA BRUTA:                               17,00"),
              std::string::npos);
    EXPECT_FALSE(p.movimentoAberto) << "the fiscal-memory reading opens no day";
}
