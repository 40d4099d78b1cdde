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
        teste::EscreveArquivo(home / "TARVO.INI", std::string(teste::kIniBase) + "Path=" + home.Caminho() + "\r\n");
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

// One kind of call on one thread: its result and the answer it handed back.
struct Chamada {
    std::function<std::pair<int, std::string>()> faz;
    int resultado;
    std::string resposta;
};

// Runs each call on a thread of its own, `vezes` times, and counts the answers that are not
// the call's own.
int Erradas(const std::vector<Chamada>& chamadas, int vezes, std::string& primeira) {
    std::atomic<int> erradas{0};
    std::vector<std::string> errada(chamadas.size());
    std::vector<std::thread> fios;
    for (std::size_t f = 0; f < chamadas.size(); ++f) {
        fios.emplace_back([&, f] {
            for (int i = 0; i < vezes; ++i) {
                auto [r, obtido] = chamadas[f].faz();
                if (r != chamadas[f].resultado || obtido != chamadas[f].resposta) {
                    ++erradas;
                    if (errada[f].empty()) errada[f] = std::to_string(r) + " [" + obtido + "] ";
                }
            }
        });
    }
    for (auto& f : fios) f.join();
    for (const std::string& e : errada) primeira += e;
    return erradas;
}

std::function<std::pair<int, std::string>()> Consulta(teste::Tarvo& t, const char* nome) {
    return [&t, nome] {
        char b[64] = {};
        int r = t.Chama<int(char*)>(nome, b);
        return std::make_pair(r, std::string(b));
    };
}

std::function<std::pair<int, std::string>()> Balanca(teste::Tarvo& t) {
    return [&t] {
        char b[64] = {};
        int r = t.Chama<int(const char*, const char*, char*)>("Tarvo_LeBalanca", "COM3", "9600", b);
        return std::make_pair(r, std::string(b));
    };
}

std::function<std::pair<int, std::string>()> Status(teste::Tarvo& t, const char* nome) {
    return [&t, nome] { return std::make_pair(t.Chama<int()>(nome), std::string()); };
}

// Four threads reading the scale on its own port and four reading the printer's serial
// number: each gets its own answer, and the scale still reads while the printer works.
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

// Threads on the numeric-code line, each reading another register.
TEST_F(Fios, NumericCodeLineThreadsEachGetTheirOwnRegister) {
    emulador::EmuladorNumerico numerico(1);
    ASSERT_TRUE(numerico.Inicia(dev.Caminho(), "COM2")) << numerico.Erro();
    teste::EscreveArquivo(home / "TARVO.INI",
                          "[Sistema]\r\nPorta=COM2\r\nModeloImp=TARVO_LISKO\r\nPath=" + home.Caminho() +
                              "\r\n");
    teste::Tarvo t;
    std::vector<Chamada> chamadas;
    for (const char* nome :
         {"Tarvo_NumeroSerie", "Tarvo_NumeroCupom", "Tarvo_VersaoFirmware", "Tarvo_NumeroCaixa"}) {
        auto [r, resposta] = Consulta(t, nome)();
        ASSERT_EQ(r, 1) << nome;
        for (const Chamada& c : chamadas) ASSERT_NE(c.resposta, resposta) << nome << " answers like another";
        chamadas.push_back({Consulta(t, nome), 1, resposta});
    }
    std::string primeira;
    EXPECT_EQ(Erradas(chamadas, 250, primeira), 0) << primeira;
}

// Threads asking the serial non-fiscal printer for its drawer and its paper (the two answers
// differ: a status read with the other's answer byte reports 1), mixed with scale threads.
TEST_F(Fios, NonFiscalSerialLineAndScaleThreadsEachGetTheirOwnStatus) {
    emulador::ImpressoraKelt kelt;
    emulador::Balanca balanca;
    ASSERT_TRUE(kelt.Inicia(dev.Caminho(), "COM2")) << kelt.Erro();
    ASSERT_TRUE(balanca.Inicia(dev.Caminho(), "COM3")) << balanca.Erro();
    emulador::EstadoKelt estado;
    estado.gavetaAberta = true;
    estado.poucoPapel = true;
    kelt.Define(estado);
    teste::EscreveArquivo(home / "TARVO.INI",
                          "[Sistema]\r\nPorta=COM2\r\nModeloImp=TARVO_KELT_SERIAL\r\nPath=" + home.Caminho() +
                              "\r\n");
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
