// Lines whose replies carry no packet number (numeric-code printer, serial non-fiscal printer,
// scale) under late replies, frames that never began and babbling: a call gets a reply sent
// after its own request, or fails; never an earlier call's reply reported as success.
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "comum/cenario.h"
#include "comum/perifericos.h"
#include "emulador/numerico.h"

namespace {

using emulador::FalhasNumericas;
using emulador::ModoBalanca;

const std::string STX = "\x02", ETX = "\x03";

class RespostasTardias : public teste::ComPerifericos {
protected:
    // The numeric-code printer (family 1) on COM2, in this process.
    std::unique_ptr<emulador::EmuladorNumerico> Numerico() {
        auto e = std::make_unique<emulador::EmuladorNumerico>(1);
        EXPECT_TRUE(e->Inicia(dev.Caminho(), "COM2")) << e->Erro();
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM2\r\nModeloImp=TARVO_LISKO\r\n");
        return e;
    }
    std::string Roda(const std::function<void(teste::Cenario&)>& corpo) {
        teste::Variavel h{"TARVO_HOME", home.Caminho()}, d{"TARVO_DEVDIR", dev.Caminho()};
        return teste::Cenario::Roda(atual.Caminho(), corpo);
    }
    using teste::ComPerifericos::Roda;
};

std::string Registro(teste::Cenario& c, int (*)(char*), const char* nome, int& r) {
    char b[64] = {};
    r = c.t.Chama<int(char*)>(nome, b);
    return b;
}
#define LE(c, nome, r) Registro(c, nome, #nome, r)

// A reply that comes after its command gave up (10 s) is not the next command's reply.
TEST_F(RespostasTardias, NumericCodeLateReplyIsNotTheNextCommandsReply) {
    auto e = Numerico();
    std::string caixa;
    EXPECT_EQ(Roda([&](teste::Cenario& c) {
                  int r = 0;
                  teste::EscreveArquivo(atual / "caixa", LE(c, Tarvo_NumeroCaixa, r));
              }),
              "");
    caixa = teste::LeArquivo(atual / "caixa");
    FalhasNumericas f;
    f.atrasoMs = 10300;
    f.vezes = 1;
    e->DefineFalhas(f);
    EXPECT_EQ(Roda([&](teste::Cenario& c) {
                  int r = 0;
                  LE(c, Tarvo_NumeroCupom, r);
                  c.Verifica("late reply", 0, r);
                  const std::string depois = LE(c, Tarvo_NumeroCaixa, r);
                  c.Verifica("next command", 1, r);
                  if (depois != caixa) c.Falha("next command answered [" + depois + "], not [" + caixa + "]");
              }),
              "");
}

// An ETX with no STX before it ends the wait: the frame that follows is no reply to it.
TEST_F(RespostasTardias, NumericCodeEtxWithoutStxFailsAtOnce) {
    auto e = Numerico();
    EXPECT_EQ(Roda([&](teste::Cenario& c) {
                  int r = 0;
                  LE(c, Tarvo_NumeroCupom, r);
              }),
              "");
    FalhasNumericas f;
    f.semStx = true;
    f.aposEtx = e->Trocas().back().resposta;  // a whole frame 300 ms after the headless one
    f.pedacos = 2;
    f.pausaMs = 300;
    f.vezes = 1;
    e->DefineFalhas(f);
    EXPECT_EQ(Roda([&](teste::Cenario& c) {
                  int r = 0;
                  LE(c, Tarvo_NumeroCupom, r);
                  c.Verifica("headless reply", 0, r);
                  if (c.t.UltimoErro().first != -1) c.Falha("last error not -1");
                  LE(c, Tarvo_NumeroCupom, r);
                  c.Verifica("next command", 1, r);
              }),
              "");
}

// The scale's answer to a reading that gave up is not the next reading's weight.
TEST_F(RespostasTardias, ScaleWeightIsAlwaysOneSentAfterItsRequest) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        c.balanca.Define(ModoBalanca::Peso, "01250", 3300);  // 0.3 s after the third try
        char peso[64] = {};
        EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", peso), 0);
        c.balanca.Define(ModoBalanca::Peso, "00777");
        EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", peso), 1);
        EXPECT_STREQ(peso, "00777");
    });
}

// Status requests on the serial non-fiscal printer: a late answer, a line that babbles, and
// the line once it has stopped.
TEST_F(RespostasTardias, NonFiscalStatusTakesNoLateByteNorBabble) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        emulador::EstadoKelt fechada;  // drawer closed: 1
        fechada.atrasoMs = 2300;
        c.impressora.Define(fechada);
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 0);
        EXPECT_EQ(c.t.UltimoErro().first, -10);
        emulador::EstadoKelt aberta;  // drawer open: 2
        aberta.gavetaAberta = true;
        c.impressora.Define(aberta);
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 2) << "the late answer was taken";

        std::atomic<bool> fala{true};
        std::thread tagarela([&] {
            while (fala) {
                c.impressora.Envia("\x16");
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        const int duranteTagarelice = K(c.t, Kelt_VerificaEstadoGaveta);
        fala = false;
        tagarela.join();
        EXPECT_EQ(duranteTagarelice, 0) << "a babbling line gave a status";
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 2) << "the line is quiet again";
    });
}

}  // namespace
