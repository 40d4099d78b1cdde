// The link under what shop wiring and printers do: a late reply, line noise, a wrong length,
// a pulled cable, a port that is no port, a babbling line and a capture that never ends.
// The real libtarvo.so against the emulator's faults, each scenario in a child process.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <climits>
#include <filesystem>
#include <string>

#include "comum/emulado.h"

namespace {

using emulador::Emulador;
using teste::Tarvo;

std::string Leitura(Tarvo& t, const char* comando, const char* parametros, int& r) {
    char buffer[4096] = {};
    r = t.Chama<int(const char*, const char*, char*)>("Tarvo_ExecutaLeitura", comando, parametros, buffer);
    return buffer;
}

// A command time-out no test outlasts (its own limit is two minutes): a command that returns
// at all under it ended on its own event (its reply, the quiet after a "}", a hang-up, the
// size bound), neither on the time-out nor after spinning until it.
const char* const kSemPrazo = "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=600\r\n";

// Most memory this process has held so far, in MiB.
long PicoMemoriaMiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

class Enlace : public teste::EmuladorNoFilho {};
class EnlaceSemPrazo : public teste::EmuladorNoFilho {
  protected:
    EnlaceSemPrazo() { iniBase = kSemPrazo; }
};

TEST_F(Enlace, ALateReplyIsNeverTakenByTheNextCommand) {
    Roda("", [](Tarvo& t, Emulador& e) {
        ASSERT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 1);  // the spacing is done
        // The reply to the COO reading comes after the five-second time-out ...
        e.Atrasa(5600, 1);
        int r = 0;
        Leitura(t, "LeInteiro", "NomeInteiro=\"COO\"", r);
        EXPECT_EQ(r, 0);
        EXPECT_EQ(t.UltimoErro().first, -1);
        // ... and arrives while the next command waits: every later command gets its own.
        EXPECT_EQ(Leitura(t, "LeTexto", "NomeTexto=\"Modelo\"", r), "ValorTexto=\"RIX 4000\"");
        EXPECT_EQ(r, 1);
        EXPECT_EQ(Leitura(t, "LeInteiro", "NomeInteiro=\"CRO\"", r), "ValorInteiro=1");
        EXPECT_EQ(Leitura(t, "LeTexto", "NomeTexto=\"Marca\"", r), "ValorTexto=\"TARVO\"");
        // A refused sale is a refusal, not the answer of the command before it.
        ASSERT_EQ(teste::Comando(t, "AbreCupomFiscal", ""), 1);
        EXPECT_EQ(teste::Comando(t, "VendeItem",
                                 "CodAliquota=0 NomeProduto=\"ARROZ\" PrecoUnitario=0,00 Quantidade=1,000"),
                  0);
        EXPECT_EQ(t.UltimoErro().first, 8011);
        EXPECT_EQ(e.Impressora().contadores.coo, 1);
    });
}

TEST_F(EnlaceSemPrazo, NoiseBeforeAndAfterAReplyIsIgnored) {
    Roda("", [](Tarvo& t, Emulador& e) {
        ASSERT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 1);
        e.Ruido("x;", "x;3}");
        int r = 0;
        for (const char* registro : {"COO", "CRO", "CRZ"}) {
            const std::string p = std::string("NomeInteiro=\"") + registro + "\"";
            EXPECT_EQ(Leitura(t, "LeInteiro", p.c_str(), r),
                      registro == std::string("CRO") ? "ValorInteiro=1" : "ValorInteiro=0");
            EXPECT_EQ(r, 1) << t.UltimoErro().second;
        }
        EXPECT_EQ(Leitura(t, "LeTexto", "NomeTexto=\"Modelo\"", r), "ValorTexto=\"RIX 4000\"");
        // Trailing bytes cost no time-out (which the test would never see the end of).
    });
}

TEST_F(EnlaceSemPrazo, AWrongLengthIsTakenAfterAShortQuietNotTheTimeOut) {
    Roda("", [](Tarvo& t, Emulador& e) {
        ASSERT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 1);
        e.ComprimentoErrado(1);
        int r = 0;
        EXPECT_EQ(Leitura(t, "LeTexto", "NomeTexto=\"Modelo\"", r), "ValorTexto=\"RIX 4000\"");
        EXPECT_EQ(r, 1);
    });
}

TEST_F(EnlaceSemPrazo, APulledCableFailsAtOnceWithoutSpinning) {
    Roda("", [](Tarvo& t, Emulador& e) {
        ASSERT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 1);
        e.Desliga();
        EXPECT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 0);
        EXPECT_EQ(t.UltimoErro(), (std::pair<int, std::string>{-1, "Falha de comunica\xE7\xE3o"}));
        // The next command finds no device behind the port.
        EXPECT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), -5);
    });
}

// A port name that leads to something that is not a serial line.
class PortaEstranha : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev, atual;

    void Liga(const std::string& alvo) {
        std::filesystem::create_symlink(alvo, dev / "COM1");
        teste::EscreveArquivo(home / "TARVO.INI", kSemPrazo);
    }
    std::string Roda() {
        return teste::Cenario::Roda(atual.Caminho(), [&](teste::Cenario& c) {
            teste::Variavel h{"TARVO_HOME", home.Caminho()}, d{"TARVO_DEVDIR", dev.Caminho()};
            const int r = CHAMA(c, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
            if (r != 0 && r != -5) c.Falha("result " + std::to_string(r));
            if (r == 0 && c.t.UltimoErro().first != -1) c.Falha("last error " + c.t.UltimoErro().second);
        });
    }
};

TEST_F(PortaEstranha, DevNullIsACommunicationFailureAtOnce) {
    Liga("/dev/null");
    EXPECT_EQ(Roda(), "");
}

TEST_F(PortaEstranha, ARegularFileIsACommunicationFailureAtOnce) {
    teste::EscreveArquivo(dev / "arquivo", "{1;0;;5}lixo");
    Liga(dev / "arquivo");
    EXPECT_EQ(Roda(), "");
}

TEST_F(Enlace, ABabblingLineNeitherGrowsTheHostNorHoldsItForever) {
    Roda("", [&](Tarvo& t, Emulador& e) {
        ASSERT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 1);
        const long antes = PicoMemoriaMiB();
        // A frame that opens and never closes: past 64 KiB it is no reply.
        e.Tagarela("{AAAAAAA;", 5000, 1);
        EXPECT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 0);
        EXPECT_EQ(t.UltimoErro().first, -1);
        EXPECT_NE(t.UltimoErro().second.find("64 KiB"), std::string::npos) << t.UltimoErro().second;
        e.Para();  // the babble stops with the line
        ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM1"));
        // Noise without any "{": dropped as it comes, until the time-out.
        e.Tagarela("ruido;}", 6000, 1);
        EXPECT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 0);
        EXPECT_EQ(t.UltimoErro(), (std::pair<int, std::string>{-1, "Falha de comunica\xE7\xE3o"}));
        EXPECT_LT(PicoMemoriaMiB() - antes, 64);
    });
}

TEST_F(Enlace, ACaptureThatNeverEndsStopsAt64MiB) {
    Roda("CorrigeRelogioZ=0\r\n", [&](Tarvo& t, Emulador& e) {
        ASSERT_EQ(teste::Comando(t, "AvancaPapel", "Avanco=30"), 1);
        e.CapturaSemFim(60000);
        EXPECT_EQ(t.Chama<int()>("Tarvo_LeituraXSerial"), 0);
        auto [codigo, mensagem] = t.UltimoErro();
        EXPECT_EQ(codigo, -1);
        EXPECT_NE(mensagem.find("64 MiB"), std::string::npos) << mensagem;
        EXPECT_LE(std::filesystem::file_size(atual / "IMPR.TXT"), 64u * 1024 * 1024);
    });
}

}  // namespace

namespace {

// Caller texts that would add parameters of their own to a frame, or that have no bound.
class TextosDoChamador : public teste::ComEmulador {};

TEST_F(TextosDoChamador, NumbersThatAreNoNumbersAreRefusedAndNothingIsSent) {
    Ini();
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AbreCupom, "");  // the spacing and the receipt go out
        auto recusado = [&](const char* passo, int r) {
            if (r != -2) c.Falha(std::string(passo) + ": " + std::to_string(r));
            auto [codigo, mensagem] = c.t.UltimoErro();
            if (codigo != -2 || mensagem.rfind("Parametro invalido", 0) != 0)
                c.Falha(std::string(passo) + ": last error " + std::to_string(codigo) + " " + mensagem);
        };
        recusado("item", CHAMA(c, Tarvo_CancelaItemGenerico, "1 Injetado=1"));
        recusado("rate", CHAMA(c, Tarvo_VendeItemDepartamento, "1", "ARROZ", "0\"", "1,00", "1", "0", "0",
                               "01", "UN"));
        recusado("price", CHAMA(c, Tarvo_VendeItemDepartamento, "1", "ARROZ", "FF", "1,00 Preco=0", "1", "0",
                                "0", "", "UN"));
        recusado("department", CHAMA(c, Tarvo_VendeItemDepartamento, "1", "ARROZ", "FF", "1,00", "1", "0",
                                     "0", "1 Injetado=1", "UN"));
        recusado("closing amount", CHAMA(c, Tarvo_IniciaFechamentoCupom, "A", "$", "abc"));
        recusado("reversal amount", CHAMA(c, Tarvo_EstornoFormasPagamento, "Dinheiro", "Cheque", "1,00 X=1"));
        recusado("reversal without a form",
                 CHAMA(c, Tarvo_EstornoFormasPagamento, nullptr, "Cheque", "1,00"));
        recusado("report", CHAMA(c, Tarvo_AbreRelatorioGerencialMFD, "0\" X=\"1"));
        recusado("reductions",
                 CHAMA(c, Tarvo_LeituraMemoriaFiscalSerialReducao, "1", "2 Destino=\"X\"", "S"));
        recusado("endless text",
                 CHAMA(c, Tarvo_ExecutaComando, "AvancaPapel", std::string(100000, '1').c_str()));
        const std::string k20(20, '9');
        recusado("rate -1", CHAMA(c, Tarvo_ProgramaAliquota, "-1", 0));
        recusado("rate text", CHAMA(c, Tarvo_ProgramaAliquota, "1\" Injetado=\"1", 0));
        recusado("price 1,5x", CHAMA(c, Tarvo_VendeItem, "1", "A", "FF", "UN", "1", 2, "1,5x", "$", "0"));
        recusado("price of 20 digits",
                 CHAMA(c, Tarvo_VendeItem, "1", "A", "FF", "UN", "1", 2, k20.c_str(), "$", "0"));
        recusado("non-fiscal item", CHAMA(c, Tarvo_EfetuaRecebimentoNaoFiscalMFD, "01", "1\" X=\"1"));
        recusado("payment -5,00", CHAMA(c, Tarvo_EfetuaFormaPagamento, "Dinheiro", "-5,00"));
        recusado("item -1", CHAMA(c, Tarvo_CancelaItemGenerico, "-1"));
        recusado("amount paid", CHAMA(c, Tarvo_FechaCupom, "Dinheiro", "A", "$", "0", "x", "OBRIGADO"));
        recusado("opening of the day", CHAMA(c, Tarvo_AberturaDoDia, "abc", "Dinheiro"));
        recusado("feed INT_MAX", CHAMA(c, Tarvo_AvancaCorta, INT_MAX, 9));
        recusado("line spacing 256", CHAMA(c, Tarvo_EspacoEntreLinhas, 256));
        // A number with blanks around it, a sign or a decimal comma where they belong is fine.
        PASSO(c, 1, Tarvo_VendeItemDepartamento, "1", "ARROZ", "FF", " 1,50 ", "1", "0", "0", " ", "UN");
        CHAMA(c, Tarvo_VendeItem, "2", "B", "FF", "UN", "1.234,5", 2, "1.234,56", "$", "0");
        CHAMA(c, Tarvo_EfetuaFormaPagamento, "Dinheiro", "12.345.678,90");
    });
    EXPECT_EQ(falhas, "");
    // Nothing but the spacing, the receipt, the good sales and the payment reached the printer.
    EXPECT_EQ(e.Comandos(), (std::vector<std::string>{"EscreveInteiro", "AbreCupomFiscal", "VendeItem",
                                                      "VendeItem", "PagaCupom"}));
    EXPECT_TRUE(Contem(Parametros("VendeItem")[1], "PrecoUnitario=1234,56 Quantidade=1234,500 "));
    EXPECT_EQ(Parametros("PagaCupom")[0], "CodMeioPagamento=-2 Valor=12345678,90");
}

}  // namespace
