// Several threads of a host program calling the library at once: each call gets its own
// answer, never another thread's. The library and the emulator share this one process (no
// child processes), so that the thread checker of the sanitizer build sees every thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "comum/emulado.h"
#include "emulador/numerico.h"
#include "emulador/perifericos.h"

namespace {

constexpr int kFios = 4;
constexpr int kLeituras = 1000;

class Fios : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev;
    teste::Variavel h{"TARVO_HOME", home.Caminho()}, d{"TARVO_DEVDIR", dev.Caminho()};
    emulador::Emulador e;

    void SetUp() override {
        teste::EscreveArquivo(home / "TARVO.INI",
                              std::string(teste::kIniBase) + "Path=" + home.Caminho() + "\r\n");
        ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM1")) << e.Erro();
    }
};

// Each thread reads its own register, through a different kind of export, and checks every
// answer: the result, the buffer, and the last error taken right after the call.
TEST_F(Fios, FourThreadsReadingDifferentRegistersEachGetTheirOwnAnswers) {
    teste::Tarvo t;
    using Leitura = std::function<std::string(int&)>;
    auto executaLeitura = [&](const char* comando, const char* parametros) -> Leitura {
        return [&t, comando, parametros](int& r) {
            char b[4096] = {};
            r = t.Chama<int(const char*, const char*, char*)>("Tarvo_ExecutaLeitura", comando, parametros, b);
            return std::string(b);
        };
    };
    auto consulta = [&](const char* nome) -> Leitura {
        return [&t, nome](int& r) {
            char b[64] = {};
            r = t.Chama<int(char*)>(nome, b);
            return std::string(b);
        };
    };
    struct Caso {
        Leitura le;
        std::string esperado;
    };
    const std::vector<Caso> casos = {
        {executaLeitura("LeTexto", "NomeTexto=\"Modelo\""), "ValorTexto=\"RIX 4000\""},
        {executaLeitura("LeInteiro", "NomeInteiro=\"CRO\""), "ValorInteiro=1"},
        {consulta("Tarvo_NumeroSerie"), "TV010500000000012345"},
        {consulta("Tarvo_VersaoFirmware"), "01.00.05"},
    };
    std::atomic<int> erradas{0};
    std::vector<std::string> primeiraErrada(kFios);
    std::vector<std::thread> fios;
    for (int f = 0; f < kFios; ++f) {
        fios.emplace_back([&, f] {
            for (int i = 0; i < kLeituras; ++i) {
                int r = 0;
                const std::string obtido = casos[f].le(r);
                if (r != 1 || obtido != casos[f].esperado) {
                    if (erradas++ == 0 || primeiraErrada[f].empty())
                        primeiraErrada[f] = std::to_string(r) + " [" + obtido + "]";
                }
            }
        });
    }
    for (auto& f : fios) f.join();
    EXPECT_EQ(erradas, 0) << primeiraErrada[0] << primeiraErrada[1] << primeiraErrada[2] << primeiraErrada[3];
    // Every reading went out as a frame of its own (plus the spacing command of the first).
    EXPECT_EQ(e.Quadros().size(), static_cast<std::size_t>(kFios * kLeituras + 1));
}

// Calls that each run on a thread of their own, `vezes` times: the number of results or
// answers that were not the call's own.
using Faz = std::function<std::pair<int, std::string>()>;
struct Chamada {
    Faz faz;
    int resultado;
    std::string resposta;
};
int Erradas(const std::vector<Chamada>& chamadas, int vezes, std::string& primeira) {
    std::atomic<int> erradas{0};
    std::vector<std::string> errada(chamadas.size());
    std::vector<std::thread> fios;
    for (std::size_t f = 0; f < chamadas.size(); ++f)
        fios.emplace_back([&, f] {
            for (int i = 0; i < vezes; ++i) {
                auto [r, obtido] = chamadas[f].faz();
                if ((r != chamadas[f].resultado || obtido != chamadas[f].resposta) && erradas++ >= 0)
                    errada[f] = std::to_string(r) + " [" + obtido + "] ";
            }
        });
    for (auto& f : fios) f.join();
    for (const std::string& e : errada) primeira += e;
    return erradas;
}
Faz Consulta(teste::Tarvo& t, const char* nome) {
    return [&t, nome] {
        char b[64] = {};
        int r = t.Chama<int(char*)>(nome, b);
        return std::make_pair(r, std::string(b));
    };
}
Faz Balanca(teste::Tarvo& t) {
    return [&t] {
        char b[64] = {};
        int r = t.Chama<int(const char*, const char*, char*)>("Tarvo_LeBalanca", "COM3", "9600", b);
        return std::make_pair(r, std::string(b));
    };
}
Faz Status(teste::Tarvo& t, const char* nome) {
    return [&t, nome] { return std::make_pair(t.Chama<int()>(nome), std::string()); };
}

// Four threads read the scale on its own port while four read the printer's serial number.
TEST_F(Fios, ScaleAndPrinterThreadsNeverGetEachOthersAnswers) {
    emulador::Balanca balanca;
    ASSERT_TRUE(balanca.Inicia(dev.Caminho(), "COM3")) << balanca.Erro();
    teste::Tarvo t;
    std::vector<Chamada> chamadas;
    for (int i = 0; i < 4; ++i) {
        chamadas.push_back({Balanca(t), 1, "01250"});
        chamadas.push_back({Consulta(t, "Tarvo_NumeroSerie"), 1, "TV010500000000012345"});
    }
    std::string primeira;
    EXPECT_EQ(Erradas(chamadas, 200, primeira), 0) << primeira;
    EXPECT_EQ(balanca.Enqs(), 4 * 200);
}

// Threads on the numeric-code line, each reading another register (each answered once
// first, alone), beside scale threads.
TEST_F(Fios, NumericCodeLineAndScaleThreadsEachGetTheirOwnAnswer) {
    emulador::EmuladorNumerico numerico(1);
    emulador::Balanca balanca;
    ASSERT_TRUE(numerico.Inicia(dev.Caminho(), "COM2") && balanca.Inicia(dev.Caminho(), "COM3"));
    const std::string ini = "[Sistema]\r\nPorta=COM2\r\nModeloImp=TARVO_LISKO\r\nPath=" + home.Caminho();
    teste::EscreveArquivo(home / "TARVO.INI", ini + "\r\n");
    teste::Tarvo t;
    std::vector<Chamada> chamadas{{Balanca(t), 1, "01250"}, {Balanca(t), 1, "01250"}};
    for (const char* nome :
         {"Tarvo_NumeroSerie", "Tarvo_NumeroCupom", "Tarvo_VersaoFirmware", "Tarvo_NumeroCaixa"}) {
        auto [r, resposta] = Consulta(t, nome)();
        ASSERT_EQ(r, 1) << nome;
        chamadas.push_back({Consulta(t, nome), 1, resposta});
    }
    std::string primeira;
    EXPECT_EQ(Erradas(chamadas, 200, primeira), 0) << primeira;
}

// Threads asking the serial non-fiscal printer for its drawer (open) and its paper (low):
// either status read with the other's answer byte reports 1. Scale threads beside them.
TEST_F(Fios, NonFiscalSerialLineAndScaleThreadsEachGetTheirOwnStatus) {
    emulador::ImpressoraKelt kelt;
    emulador::Balanca balanca;
    ASSERT_TRUE(kelt.Inicia(dev.Caminho(), "COM2") && balanca.Inicia(dev.Caminho(), "COM3"));
    kelt.Define({.gavetaAberta = true, .poucoPapel = true});
    const std::string ini = "[Sistema]\r\nPorta=COM2\r\nModeloImp=TARVO_KELT_SERIAL\r\nPath=";
    teste::EscreveArquivo(home / "TARVO.INI", ini + home.Caminho() + "\r\n");
    teste::Tarvo t;
    std::vector<Chamada> chamadas;
    for (int i = 0; i < 2; ++i) {
        chamadas.push_back({Status(t, "Kelt_VerificaEstadoGaveta"), 2, ""});
        chamadas.push_back({Status(t, "Kelt_VerificaPoucoPapel"), 2, ""});
        chamadas.push_back({Balanca(t), 1, "01250"});
    }
    std::string primeira;
    EXPECT_EQ(Erradas(chamadas, 60, primeira), 0) << primeira;
    EXPECT_EQ(kelt.StatusRespondidos(), 4 * 60);
}

}  // namespace
