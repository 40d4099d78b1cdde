// The parts of the status and reading forms that need no window and no printer: the direct
// port probe over a fake port, the grid loaders on a plain table, the owner's header lines,
// the non-fiscal amounts and the capture display's lines.
#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "console/binding/auxiliar.h"
#include "console/forms/comum/valores.h"
#include "console/forms/leituras/captura.h"
#include "console/forms/status/grades.h"
#include "console/forms/status/textos.h"
#include "console/main/direto.h"
#include "platform/serial.h"

namespace {

using belmora::TDirectComm;

// What the fake port was given and will answer.
struct Linha {
    bool abre = true;
    bool cts = true;
    std::deque<std::string> pedacos;  // one per read; none left: the read times out empty
    std::string escrito;
    int leituras = 0;
    int aberturas = 0;
    int ultimoPrazo = -1;
    bool aberta = false;
    std::string baudParidade;
};

class PortaFalsa : public belmora::PortaDireta {
  public:
    explicit PortaFalsa(std::shared_ptr<Linha> l) : l_(std::move(l)) {}
    bool Abre(const std::string&, int baud, char paridade, int dados, int parada) override {
        ++l_->aberturas;
        l_->baudParidade = std::to_string(baud) + paridade + std::to_string(dados) + std::to_string(parada);
        l_->aberta = l_->abre;
        return l_->abre;
    }
    bool Fecha() override {
        l_->aberta = false;
        return true;
    }
    bool Cts() override { return l_->cts; }
    bool Escreve(const std::string& t) override {
        l_->escrito += t;
        return true;
    }
    bool Le(std::string& destino, std::size_t maximo, int primeiroMs, int) override {
        ++l_->leituras;
        l_->ultimoPrazo = primeiroMs;
        if (l_->pedacos.empty()) return true;  // the time-out passed with nothing
        std::string& p = l_->pedacos.front();
        destino += p.substr(0, maximo);
        p.erase(0, maximo);
        if (p.empty()) l_->pedacos.pop_front();
        return true;
    }

  private:
    std::shared_ptr<Linha> l_;
};

class SondaFalsa : public ::testing::Test {
  protected:
    std::shared_ptr<Linha> linha = std::make_shared<Linha>();
    void SetUp() override {
        belmora::InstalaPortaDireta([l = linha] { return std::make_unique<PortaFalsa>(l); });
    }
    void TearDown() override {
        belmora::InstalaPortaDireta(nullptr);
        plataforma::InstalaListaPortasSeriais(nullptr);
    }
};

TEST_F(SondaFalsa, AReplyInTwoPiecesIsReadUntilItsClosingBrace) {
    TDirectComm c;
    ASSERT_TRUE(c.Abre());
    EXPECT_EQ(linha->baudParidade, "115200E81");
    EXPECT_TRUE(c.DefineTimeout(2));
    linha->pedacos = {"{0;LeIndicador;ValorInteiro=", "0;}", "{sobra}"};
    std::string r = "lixo";
    ASSERT_TRUE(c.EnviaRecebe("{0;LeIndicador;}", r));
    EXPECT_EQ(r, "{0;LeIndicador;ValorInteiro=0;}");
    EXPECT_EQ(linha->leituras, 2);
    EXPECT_EQ(linha->ultimoPrazo, 2000);
    EXPECT_EQ(linha->escrito, "{0;LeIndicador;}");
    EXPECT_TRUE(c.Aberto());
}

TEST_F(SondaFalsa, AReplyWithoutBraceStopsAtTheChunkThatCrosses2048Bytes) {
    TDirectComm c;
    ASSERT_TRUE(c.Abre());
    linha->pedacos = {std::string(2000, 'a'), std::string(500, 'b')};
    std::string r;
    EXPECT_TRUE(c.Recebe(r));
    // Chunks of 256: seven of a, the rest of the a (208), then 256 b cross 2048: the end.
    EXPECT_EQ(linha->leituras, 9);
    EXPECT_EQ(r.size(), 2256u);
    // A zero byte ends what a chunk appends.
    linha->pedacos = {std::string("ab\0cd}", 6)};
    r.clear();
    EXPECT_TRUE(c.Recebe(r));
    EXPECT_EQ(r, "ab");
}

TEST_F(SondaFalsa, SilenceFailsAndClosesSoTheNextSendOpensAgain) {
    TDirectComm c;
    ASSERT_TRUE(c.Abre());
    c.DefineTimeout(1);
    std::string r;
    EXPECT_FALSE(c.Recebe(r));
    EXPECT_EQ(linha->leituras, 1);
    EXPECT_FALSE(c.Aberto());
    EXPECT_FALSE(linha->aberta);
    // Reopened with the stored 6-second time-out, not the one of DefineTimeout.
    linha->pedacos = {"{ok}"};
    EXPECT_TRUE(c.EnviaRecebe("x", r));
    EXPECT_EQ(linha->aberturas, 2);
    EXPECT_EQ(linha->ultimoPrazo, 6000);
}

TEST_F(SondaFalsa, CtsOffNeitherWritesNorReads) {
    TDirectComm c;
    linha->cts = false;
    ASSERT_TRUE(c.Abre());
    EXPECT_FALSE(c.Conectado());
    std::string r;
    EXPECT_FALSE(c.EnviaRecebe("{0;LeIndicador;}", r));
    EXPECT_FALSE(c.Recebe(r));
    EXPECT_EQ(linha->escrito, "");
    EXPECT_EQ(linha->leituras, 0);
    // A port that cannot open is not connected and takes no time-out.
    linha->abre = false;
    TDirectComm d;
    EXPECT_FALSE(d.Abre());
    EXPECT_FALSE(d.DefineTimeout(5));
    EXPECT_FALSE(d.Conectado());
}

TEST_F(SondaFalsa, OnlyThePortsOfTheFirstUsbDeviceAreListedWholeNumbersIncluded) {
    plataforma::InstalaListaPortasSeriais([] {
        return std::vector<plataforma::PortaListada>{{"COM1", "COM1", ""},
                                                     {"COM3", "Adaptador A", "VID_0403&PID_6001"},
                                                     {"COM4", "Adaptador B", "VID_067B&PID_2303"},
                                                     {"COM12", "Adaptador A", "VID_0403&PID_6001"}};
    });
    TDirectComm c;
    std::string nome = "inalterado";
    EXPECT_FALSE(c.ProcuraDispositivoUSB("COM3", nome));
    c.ListaPortasUSB();
    ASSERT_EQ(c.Dispositivos().size(), 2u);
    EXPECT_EQ(c.Dispositivos()[0].classe, "Ports");
    EXPECT_TRUE(c.ProcuraDispositivoUSB("COM12", nome));
    EXPECT_EQ(nome, "Adaptador A (COM12)");
    nome = "inalterado";
    EXPECT_FALSE(c.ProcuraDispositivoUSB("COM1", nome));
    EXPECT_FALSE(c.ProcuraDispositivoUSB("COM4", nome));
    EXPECT_FALSE(c.ProcuraDispositivoUSB("com3", nome));
    EXPECT_EQ(nome, "inalterado");
    // A machine without adapters: an empty list.
    plataforma::InstalaListaPortasSeriais([] {
        return std::vector<plataforma::PortaListada>{{"COM1", "COM1", ""}};
    });
    c.ListaPortasUSB();
    EXPECT_TRUE(c.Dispositivos().empty());
}

// --- grids ----------------------------------------------------------------------------------

TEST(Grades, TitlesRowNumbersAndClearingKeepToTheGrid) {
    belmora::GradeSimples g(5, 3);
    belmora::TGridManager m(&g);
    m.AplicaTitulos({"A", "B", "C", "D"});
    EXPECT_EQ(g.Celula(0, 2), "C");
    for (int l = 1; l < 5; ++l) g.DefineCelula(l, 1, "x");
    m.DefineTitulos({"T"});
    m.DefineLinhaInicial(2);
    m.Prepara();
    EXPECT_EQ(g.Celula(0, 0), "T");
    EXPECT_EQ(g.Celula(0, 1), "");  // row 0 emptied before the titles
    EXPECT_EQ(g.Celula(2, 0), "0");
    EXPECT_EQ(g.Celula(4, 0), "2");
    EXPECT_EQ(g.Celula(1, 1), "x");  // above the first data row: untouched
    EXPECT_EQ(g.Celula(3, 1), "");
    g.DefineAtual(1, 1);
    m.LimpaCelulaAtual();
    EXPECT_EQ(g.Celula(1, 1), "");
    // Outside the grid: nothing written, nothing read, nothing raised.
    g.DefineCelula(9, 9, "y");
    g.DefineCelula(-1, 0, "y");
    EXPECT_EQ(g.Celula(9, 9), "");
}

TEST(Grades, RateRepliesAreCutIntoTheirFields) {
    auto a = belmora::TGridAliquotas::InterpretaAliquota(
        "AliquotaICMS=Y CodAliquotaProgramavel=3 DescricaoAliquota=\"T18\" PercentualAliquota=18,00");
    EXPECT_EQ(a.codigo, 3);
    EXPECT_EQ(a.tipo, "ICMS");
    EXPECT_EQ(a.descricao, "T18");
    EXPECT_EQ(a.percentual, "18,00");
    auto b = belmora::TGridAliquotas::InterpretaAliquota(
        "AliquotaICMS=N DescricaoAliquota=\"\" PercentualAliquota=5");
    EXPECT_EQ(b.codigo, -1);
    EXPECT_EQ(b.tipo, "ISSQN");
    EXPECT_EQ(b.descricao, "");
    auto c = belmora::TGridAliquotas::InterpretaAliquota("CodAliquotaProgramavel=x");
    EXPECT_EQ(c.codigo, -1);
    EXPECT_EQ(c.tipo, "");
}

TEST(Grades, PaymentRecordsAreTakenOffTheFrontAndUnreadableAmountsShowEmpty) {
    belmora::FixaLocalidadeNumerica();
    QString r = QString("Dinheiro").leftJustified(16) + QString(20, '0') + QString("00000000000000001250") +
                "1" + " " + QString("Cheque").leftJustified(16) + QString("xx").leftJustified(20) +
                QString(20, ' ') + "0" + " ";
    belmora::RegistroMeioPagamento m;
    belmora::TGridMeiosPagto::InterpretaMeioPagamento(0, m, r);
    EXPECT_EQ(m.descricao, "Dinheiro");
    EXPECT_EQ(m.vinculado, "Sim");
    EXPECT_EQ(belmora::ValorDoMeioPagamento(m.valorAcumulado), "0,00");
    EXPECT_EQ(belmora::ValorDoMeioPagamento(m.valorUltimoCupom), "12,50");
    belmora::TGridMeiosPagto::InterpretaMeioPagamento(1, m, r);
    EXPECT_EQ(m.indice, 1);
    EXPECT_EQ(m.vinculado, "Não");
    EXPECT_EQ(belmora::ValorDoMeioPagamento(m.valorAcumulado), "");
    EXPECT_EQ(belmora::ValorDoMeioPagamento(m.valorUltimoCupom), "");
    EXPECT_TRUE(r.isEmpty());
    // A reply that ran out gives empty records, not a fault.
    belmora::TGridMeiosPagto::InterpretaMeioPagamento(2, m, r);
    EXPECT_EQ(m.descricao, "");
}

// --- owner's header and non-fiscal amounts ---------------------------------------------------------

TEST(TextosStatus, OnlyTheExpandedEscapeExpandsAHeaderLine) {
    const QString esc(QChar(0x1B));
    auto l = belmora::FormataLinhaCabecalho(esc + "! LOJA" + esc + "!" + QChar(0x02));
    EXPECT_TRUE(l.expandida);
    EXPECT_EQ(l.texto, "LOJA");
    auto m = belmora::FormataLinhaCabecalho("PROMOÇÃO! " + esc + "E1NEGRITO" + esc + "E0");
    EXPECT_FALSE(m.expandida);
    EXPECT_EQ(m.texto, QStringLiteral("PROMOÇÃO! <n>NEGRITO</n>"));
    EXPECT_EQ(belmora::LinhasDoCliche("  LINHA 1\r\n\r\n LINHA 2\nLINHA 3   "),
              QStringList({"LINHA 1", "LINHA 2", "LINHA 3"}));
}

TEST(TextosStatus, SalesAmountsInPiecesAndDatesWithSeparators) {
    QString vendas;
    for (int i = 0; i < 15; ++i) vendas += QString::number(i).rightJustified(14, '0');
    const QString t = belmora::PartesVendasNaoFiscais(vendas);
    EXPECT_TRUE(t.startsWith("00000000000000 , 00000000000001 , "));
    EXPECT_TRUE(t.endsWith("00000000000014 , "));
    EXPECT_EQ(t.count(" , "), 15);
    EXPECT_EQ(belmora::ComSeparadores("010326", '/'), "01/03/26");
    EXPECT_EQ(belmora::ComSeparadores("1030", ':'), "10:30");
}

// --- capture display --------------------------------------------------------------------------

TEST(Captura, LinesOf48ColumnsWithoutEscapesInCodePage850) {
    const std::string l48(48, 'A'), l47(47, 'B');
    // 48 characters and a line feed: the line, then an empty line; 47 and a line feed: one line.
    EXPECT_EQ(belmora::LinhasDaCaptura(l48 + "\n" + l47 + "\n"),
              QStringList({QString(l48.c_str()), "", l47.c_str()}));
    // The three-byte escapes go whole (their argument could be a printable letter), another
    // escape with its one following byte; a carriage return stays.
    const std::string fluxo =
        "\x1b!(TOTAL\x1b"
        "E1"
        "X\x1b"
        " 1Y\x1bZ9\r\n";
    EXPECT_EQ(belmora::LinhasDaCaptura(fluxo), QStringList({"TOTALXY9\r"}));
    // Code page 850: 0x87 is "ç", 0x80 "Ç"; text after the last line feed is shown too.
    EXPECT_EQ(belmora::LinhasDaCaptura("\x80"
                                       "ABE\x87"
                                       "AO\nFIM"),
              QStringList({"ÇABEçAO", "FIM"}));
    // 100 characters: 48, 48 and 4.
    const QStringList cem = belmora::LinhasDaCaptura(std::string(100, 'C'));
    ASSERT_EQ(cem.size(), 3);
    EXPECT_EQ(cem[2].size(), 4);
}

}  // namespace
