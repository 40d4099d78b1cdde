// Lines whose replies carry no packet number (numeric-code printer, serial non-fiscal printer,
// scale) under late replies, frames that never began and babbling: a call gets a reply sent
// after its own request, or fails; never an earlier call's reply reported as success.
#include <atomic>
#include <thread>

#include "comum/cenario.h"
#include "comum/perifericos.h"
#include "emulador/numerico.h"

namespace {

class RespostasTardias : public teste::ComPerifericos {
  protected:
    emulador::EmuladorNumerico e{1};  // on COM2, serving from this process

    void SetUp() override { ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM2")) << e.Erro(); }

    // Registers read in a fresh process of the library, one a line: the result, and the answer
    // of a success.
    std::string Le(const std::vector<const char*>& nomes) {
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM2\r\nModeloImp=TARVO_LISKO\r\n");
        teste::Variavel h{"TARVO_HOME", home.Caminho()}, d{"TARVO_DEVDIR", dev.Caminho()};
        teste::Cenario::Roda(atual.Caminho(), [&](teste::Cenario& c) {
            std::string linhas;
            for (const char* nome : nomes) {
                char b[64] = {};
                const int r = c.t.Chama<int(char*)>(nome, b);
                linhas += std::to_string(r) + (r == 1 ? std::string(" ") + b : "") + "\n";
            }
            teste::EscreveArquivo(atual / "lidos", linhas);
        });
        return teste::LeArquivo(atual / "lidos");
    }
};

TEST_F(RespostasTardias, NumericCodeLineGivesNoCommandAnotherOnesReply) {
    const std::string caixa = Le({"Tarvo_NumeroCaixa"}), cupom = Le({"Tarvo_NumeroCupom"});
    emulador::FalhasNumericas f;
    f.atrasoMs = 10300;  // 0.3 s after the command gave up
    f.vezes = 1;
    e.DefineFalhas(f);
    EXPECT_EQ(Le({"Tarvo_NumeroCupom", "Tarvo_NumeroCaixa"}), "0\n" + caixa);
    // An ETX with no STX before it ends the wait: the whole frame 300 ms later is no reply.
    f = {};
    f.semStx = true;
    f.aposEtx = e.Trocas().back().resposta;
    f.pedacos = 2;
    f.pausaMs = 300;
    f.vezes = 1;
    e.DefineFalhas(f);
    EXPECT_EQ(Le({"Tarvo_NumeroCupom", "Tarvo_NumeroCupom"}), "0\n" + cupom);
}

// A reading that got no answer, then the answers to its three requests once it has given up:
// the next reading drops them and takes the weight sent after its own request. (A late answer
// that comes only after the next request went out cannot be told from that request's answer
// on a line without packet numbers, so the late answers here come before it, in the quiet
// the next reading waits for.)
TEST_F(RespostasTardias, ScaleWeightIsAlwaysOneSentAfterItsRequest) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        c.balanca.Define(emulador::ModoBalanca::Silencio);
        char peso[64] = {};
        EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", peso), 0);
        for (int i = 0; i < 3; ++i)
            c.balanca.Envia(
                "\x02"
                "01250\x03");
        c.balanca.Define(emulador::ModoBalanca::Peso, "00777");
        EXPECT_EQ(K(c.t, Tarvo_LeBalanca, "COM3", "9600", peso), 1);
        EXPECT_STREQ(peso, "00777");
        EXPECT_EQ(c.balanca.Enqs(), 4) << "one request for the second reading";
    });
}

// A late status byte, a babbling line, and the line once it has stopped.
TEST_F(RespostasTardias, NonFiscalStatusTakesNoLateByteNorBabble) {
    Ini("TARVO_KELT_SERIAL");
    Roda([](Contexto& c) {
        c.impressora.Define({.gavetaAberta = false, .atrasoMs = 2300});  // closed, 1, too late
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 0);
        c.impressora.Define({.gavetaAberta = true});
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 2) << "the late answer was taken";
        std::atomic<bool> fala{true};
        std::thread tagarela([&] {
            for (; fala; std::this_thread::sleep_for(std::chrono::milliseconds(2)))
                c.impressora.Envia("\x16");
        });
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 0) << "a babbling line gave a status";
        fala = false;
        tagarela.join();
        EXPECT_EQ(K(c.t, Kelt_VerificaEstadoGaveta), 2) << "the line is quiet again";
    });
}

}  // namespace
