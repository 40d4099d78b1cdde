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

}  // namespace
