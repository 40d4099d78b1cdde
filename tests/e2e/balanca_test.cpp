// The scale through the real libtarvo.so against the scale's emulator on COM3: the four
// answers, answers in pieces or without STX, silence, the port and speed texts, and readings
// beside a printer command and beside each other.
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "comum/perifericos.h"

namespace {

using emulador::ModoBalanca;
using teste::EsperasDestaThread;

class Balanca : public teste::ComPerifericos {};

TEST_F(Balanca, TheFourAnswersAndTheirMessages) {
    Ini("TARVO_KELT_LPT");
    Roda([this](Contexto& c) {
        struct Caso {
            ModoBalanca modo;
            int resultado;
            const char* texto;
            const char* mensagem;
        };
        const Caso casos[] = {
            {ModoBalanca::Peso, 1, "01250", ""},
            {ModoBalanca::Instavel, -34, "IIIII", "Peso inst\xE1vel"},
            {ModoBalanca::Excedido, -35, "SSSSS", "Peso excedido"},
            {ModoBalanca::Negativo, -33, "NNNNN", "Peso negativo"},
            {ModoBalanca::Pedacos, 1, "01250", ""},
            {ModoBalanca::SemStx, 1, "01250", ""},
        };
        for (const Caso& k : casos) {
            K(c.t, Kelt_AjustaLarguraPapel, -1);  // last error -2, which the scale leaves as it was
            c.balanca.Define(k.modo);
            char peso[64 + 8];
            std::memset(peso, '#', sizeof peso);
            EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", peso), k.resultado) << k.texto;
            EXPECT_STREQ(peso, k.texto);
            EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-2, std::string(k.mensagem))) << k.texto;
            EXPECT_EQ(teste::LeArquivo(home / "RETORNO.TXT"), std::string(k.texto) + "\r\n");
        }
        EXPECT_EQ(c.balanca.Enqs(), 6);
    });
}

TEST_F(Balanca, AnAnswerLongerThanTheBufferIsCut) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        c.balanca.Define(ModoBalanca::Peso, std::string(200, '7'));
        char peso[64 + 16];
        std::memset(peso, '#', sizeof peso);
        EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "", peso), 1);
        EXPECT_EQ(std::string(peso), std::string(63, '7'));
        for (std::size_t i = 64; i < sizeof peso; ++i) EXPECT_EQ(peso[i], '#') << i;
    });
}

TEST_F(Balanca, ASilentScaleCostsThreeTriesOfOneSecondWithoutSpinning) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        c.balanca.Define(ModoBalanca::Silencio);
        char peso[64] = "intocado";
        const long esperas = EsperasDestaThread();
        EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", peso), 0);
        EXPECT_LE(EsperasDestaThread() - esperas, 50);  // a wait per try, not a look every few ms
        EXPECT_EQ(c.balanca.Enqs(), 3);
        EXPECT_STREQ(peso, "intocado");
        EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-1, std::string("Falha de comunica\xE7\xE3o")));
    });
}

TEST_F(Balanca, PortAndSpeedTexts) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        char peso[64];
        struct Caso {
            const char* velocidade;
            int baud;
        };
        const Caso casos[] = {{"1200", 1200}, {"1", 1200},    {"2400", 2400},  {"2", 2400}, {"4800", 4800},
                              {"4", 4800},    {"9600", 9600}, {"19200", 9600}, {"", 9600},  {"24", 9600}};
        for (const Caso& k : casos) {
            EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "Com3", k.velocidade, peso), 1) << k.velocidade;
            EXPECT_EQ(c.balanca.Velocidades().back(), k.baud) << k.velocidade;
        }
        EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM7", "9600", peso), -5);
        EXPECT_EQ(c.t.UltimoErro(), std::make_pair(-5, std::string("Erro Abertura Porta Serial")));
        // The printer's port was never touched.
        EXPECT_EQ(c.impressora.Recebidos(), "");
    });
    EXPECT_NE(Log().find("(19200)"), std::string::npos);
    EXPECT_NE(Log().find("=>Pacote Balanca ASCII:[ \x02"
                         "01250\x03 ]\r\n"),
              std::string::npos);
    EXPECT_NE(Log().find("=>Pacote Balanca HEX  :[ 02 30 31 32 35 30 03  ]\r\n"), std::string::npos);
}

TEST_F(Balanca, AReadingDuringAPrinterCommandAndTwoReadingsAtOnce) {
    Ini("TARVO_KELT_LPT");
    EstadoLpt("ocupada");
    Roda([this](Contexto& c) {
        // The printer command holds its lock for 1 s; the scale talks to its own port
        // meanwhile, and hands its weight back once the printer command has ended.
        std::atomic<bool> impressoraTerminou{false};
        std::thread impressora([&] {
            EXPECT_EQ(K(c.t, Kelt_AcionaGaveta), 0);
            impressoraTerminou = true;
        });
        // The printer command is on the wire once its port line is in the log.
        for (int i = 0; i < 200 && Log().find("utilizada") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_NE(Log().find("utilizada"), std::string::npos);
        char peso[64] = {};
        std::thread leitura([&] { EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", peso), 1); });
        for (int i = 0; i < 200 && c.balanca.Enqs() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(c.balanca.Enqs(), 1);
        EXPECT_FALSE(impressoraTerminou);
        leitura.join();
        EXPECT_STREQ(peso, "01250");
        impressora.join();
        // Two readings from two threads each get a whole answer of their own.
        auto le = [&] {
            for (int i = 0; i < 20; ++i) {
                char p[64] = {};
                EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", p), 1);
                EXPECT_STREQ(p, "01250");
            }
        };
        std::thread a(le), b(le);
        a.join();
        b.join();
        EXPECT_EQ(c.balanca.Enqs(), 41);
    });
}

}  // namespace
