// The emulator's memory reading on the printer model: pieces that put the images back
// together, images fixed for the reading under way, the records of what a document held,
// and the refusals.
#include <gtest/gtest.h>

#include <string>

#include "emulador/impressora.h"

namespace {

using emulador::Impressora;

std::string DeHex(const std::string& h) {
    std::string r;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2)
        r += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
    return r;
}

// The data of a reply's `Dados="..."`.
std::string Dados(const emulador::Resposta& r) {
    std::size_t i = r.dados.find("Dados=\"");
    if (i == std::string::npos) return "<none>";
    i += 7;
    return DeHex(r.dados.substr(i, r.dados.find('"', i) - i));
}

std::string LeTudo(Impressora& p, const char* memoria, int pedaco) {
    std::string tudo;
    while (true) {
        auto r = p.Executa("LeMemorias", std::string("Memoria=\"") + memoria +
                                             "\" Posicao=" + std::to_string(tudo.size()) +
                                             " Tamanho=" + std::to_string(pedaco));
        EXPECT_EQ(r.codigo, 0) << r.dados;
        std::string d = Dados(r);
        if (r.codigo != 0 || d.empty()) return tudo;
        EXPECT_LE(d.size(), static_cast<std::size_t>(pedaco));
        tudo += d;
    }
}

void Executa(Impressora& p, const char* comando, const std::string& parametros) {
    auto r = p.Executa(comando, parametros);
    ASSERT_EQ(r.codigo, 0) << comando << ": " << r.dados;
}

void Cupom(Impressora& p, const std::string& produto) {
    Executa(p, "AbreCupomFiscal", "");
    Executa(
        p, "VendeItem",
        "CodAliquota=-2 CodProduto=\"9\" NomeProduto=\"" + produto + "\" PrecoUnitario=2,00 Quantidade=3");
    Executa(p, "AcresceSubtotal", "ValorAcrescimo=0,50");
    Executa(p, "PagaCupom", "NomeMeioPagamento=\"Cartao Credito\" Valor=6,50 TextoAdicional=\"1x\"");
    Executa(p, "EncerraDocumento", "");
}

TEST(LeituraMemorias, PiecesPutBothImagesBackTogetherAndTheImagesStayFixedDuringAReading) {
    Impressora p;
    Cupom(p, "SUCO");
    Executa(p, "EmiteReducaoZ", "");
    auto r = p.Executa("AbreLeituraMemorias", "");
    ASSERT_EQ(r.codigo, 0);
    const std::string mf = p.ImagemMemoriaFiscal(), mfd = p.ImagemFitaDetalhe();
    EXPECT_EQ(r.dados, "NumeroSerie=\"TV010500000000012345\" TamanhoMF=" + std::to_string(mf.size()) +
                           " TamanhoMFD=" + std::to_string(mfd.size()));
    // A document issued during the reading (on the next day) does not change what it reads.
    p.AvancaRelogio(86400);
    Cupom(p, "AGUA");
    EXPECT_EQ(LeTudo(p, "MF", 100), mf);
    EXPECT_EQ(LeTudo(p, "mfd", 8192), mfd);
    EXPECT_EQ(mfd.find("AGUA"), std::string::npos);
    // The next reading takes the new images.
    ASSERT_EQ(p.Executa("AbreLeituraMemorias", "").codigo, 0);
    EXPECT_NE(LeTudo(p, "MFD", 777).find("ITEM\t1\t9\tAGUA\t"), std::string::npos);
}

TEST(LeituraMemorias, DocumentsKeepTheirDataBesideTheirLinesWithTextsEscaped) {
    Impressora p;
    // A description with a tab, a backslash and a line feed in it.
    Cupom(p, "A\\x09B\\C\\nD");
    Executa(p, "CancelaCupom", "");
    const std::string mfd = p.ImagemFitaDetalhe();
    EXPECT_NE(mfd.find("DOC\t1\t3\t"), std::string::npos) << mfd;
    EXPECT_NE(mfd.find("ITEM\t1\t9\tA\\tB\\\\C\\nD\t3000\tUn\t2000\t2\t600\tF1\t0\t0\t50\t0\t-1\n"),
              std::string::npos)
        << mfd;
    EXPECT_NE(mfd.find("AJUSTE\t50\n"), std::string::npos);
    EXPECT_NE(mfd.find("PAGAMENTO\t0\tCartao Credito\t650\t1x\n"), std::string::npos);
    // The cancellation is a document of its own that carries the receipt it cancelled.
    std::size_t cancelamento = mfd.find("DOC\t2\t5\t");
    ASSERT_NE(cancelamento, std::string::npos);
    EXPECT_NE(mfd.find("ITEM\t1\t9\t", cancelamento), std::string::npos);
    EXPECT_NE(mfd.find("LINHA\t1\t             CUPOM FISCAL CANCELADO\n", cancelamento), std::string::npos)
        << mfd.substr(cancelamento);
    // Every record is one line whose fields are separated by tabs only.
    for (std::size_t i = 0, f; i < mfd.size(); i = f + 1) {
        f = mfd.find('\n', i);
        ASSERT_NE(f, std::string::npos);
        EXPECT_EQ(mfd.substr(i, f - i).find('\r'), std::string::npos);
    }
}

TEST(LeituraMemorias, RefusalsOfTheReadingAndTheRestartCounterOfAReduction) {
    Impressora p;
    EXPECT_EQ(p.Executa("LeMemorias", "Memoria=\"MF\" Posicao=0 Tamanho=10").codigo, 8008);
    ASSERT_EQ(p.Executa("AbreLeituraMemorias", "").codigo, 0);
    const auto tamanho = std::to_string(p.ImagemMemoriaFiscal().size());
    EXPECT_EQ(p.Executa("LeMemorias", "Memoria=\"MX\" Posicao=0 Tamanho=10").codigo, 8001);
    EXPECT_EQ(p.Executa("LeMemorias", "Memoria=\"MF\" Posicao=0 Tamanho=0").codigo, 8001);
    EXPECT_EQ(p.Executa("LeMemorias", "Memoria=\"MF\" Posicao=0 Tamanho=8193").codigo, 8001);
    EXPECT_EQ(p.Executa("LeMemorias", "Memoria=\"MF\" Posicao=-1 Tamanho=10").codigo, 8001);
    EXPECT_EQ(p.Executa("LeMemorias", "Memoria=\"MF\" Posicao=" + tamanho + "1 Tamanho=10").codigo, 8001);
    auto fim = p.Executa("LeMemorias", "Memoria=\"MF\" Posicao=" + tamanho + " Tamanho=10");
    EXPECT_EQ(fim.codigo, 0);
    EXPECT_EQ(fim.dados, "Posicao=" + tamanho + " Dados=\"\"");
    EXPECT_EQ(p.Executa("LeMemorias", "Memoria=\"MF\" Posicao=0").codigo, 8002);

    EXPECT_EQ(p.Executa("LeInteiro", "NomeInteiro=\"ContadorReinicioReducao[1]\"").codigo, 8089);
    Cupom(p, "SUCO");
    Executa(p, "EmiteReducaoZ", "");
    auto r = p.Executa("LeInteiro", "NomeInteiro=\"ContadorReinicioReducao[1]\"");
    EXPECT_EQ(r.codigo, 0);
    EXPECT_EQ(r.dados, "ValorInteiro=1");
    EXPECT_EQ(p.Executa("LeInteiro", "NomeInteiro=\"ContadorReinicioReducao[0]\"").codigo, 8089);
}

}  // namespace
