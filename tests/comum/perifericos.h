// What the tests of the non-fiscal printer and the scale share: scratch folders, the
// library, the serial printer's emulator on COM1, the scale's on COM3 and the simulated
// parallel port, all in one child process per scenario (gtest assertions in `corpo` are
// reported by the parent).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "emulador/perifericos.h"
#include "platform/ini.h"
#include "tarvo.h"

namespace teste {

// One export of tarvo.h called by name: K(t, Kelt_AcionaGaveta).
#define K(t, nome, ...) (t).Chama<decltype(nome)>(#nome __VA_OPT__(, ) __VA_ARGS__)

// Bytes as "1B 76 32" for readable failures.
inline std::string Hex(const std::string& b) {
    static const char* h = "0123456789ABCDEF";
    std::string r;
    for (unsigned char c : b) {
        if (!r.empty()) r += ' ';
        r += h[c >> 4];
        r += h[c & 15];
    }
    return r;
}

class ComPerifericos : public ::testing::Test {
  protected:
    PastaTemporaria home, dev, atual, lpt;

    struct Contexto {
        Tarvo& t;
        emulador::ImpressoraKelt& impressora;
        emulador::Balanca& balanca;
    };

    // TARVO.INI for a model: the printer on COM1 (or LPT1), the log on, `mais` added.
    void Ini(const std::string& modelo, const std::string& mais = "") {
        const bool paralela = modelo == "TARVO_KELT_LPT";
        EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nModeloImp=" + modelo +
                                               "\r\nPorta=" + (paralela ? "LPT1" : "COM1") +
                                               "\r\nHomologar=1\r\nPath=" + home.Caminho() + "\r\n" + mais);
    }
    void GravaChave(const char* chave, const std::string& valor) {
        plataforma::ArquivoIni::GravaChave(home / "TARVO.INI", "Sistema", chave, valor);
    }

    // Runs `corpo` in a child process with the library loaded from `biblioteca`.
    void Roda(const std::function<void(Contexto&)>& corpo, const std::string& biblioteca = TARVO_LIB) {
        int r = EmProcessoFilho([&] {
            Variavel h{"TARVO_HOME", home.Caminho()}, d{"TARVO_DEVDIR", dev.Caminho()},
                s{"TARVO_LPT_SIMULADA", lpt.Caminho()};
            if (::chdir(atual.Caminho().c_str()) != 0) return 3;
            {
                emulador::ImpressoraKelt impressora;
                emulador::Balanca balanca;
                if (!impressora.Inicia(dev.Caminho(), "COM1") || !balanca.Inicia(dev.Caminho(), "COM3"))
                    return 4;
                Tarvo t(biblioteca);
                Contexto c{t, impressora, balanca};
                corpo(c);
            }
            std::fflush(stdout);
            return ::testing::Test::HasFailure() ? 1 : 0;
        });
        EXPECT_EQ(r, 0) << "the child process reported failures (above) or died";
    }

    // The simulated parallel printer: its state words and the bytes it took.
    void EstadoLpt(const std::string& palavras) { EscreveArquivo(lpt / "estado", palavras); }
    std::string Capturado() const { return LeArquivo(lpt / "captura"); }
    void LimpaCaptura() { std::remove((lpt / "captura").c_str()); }
    std::string Log() const { return LeArquivo(atual / "LOG.DAT"); }

    // A copy of libtarvo.so in a folder of its own, with the stand-in build chosen (empty:
    // none), so that the library finds exactly that one beside it.
    std::string BibliotecaCom(const PastaTemporaria& pasta, const std::string& standin) {
        namespace fs = std::filesystem;
        fs::copy_file(TARVO_LIB, pasta / "libtarvo.so", fs::copy_options::overwrite_existing);
        if (!standin.empty())
            fs::copy_file(standin, pasta / "libinpout32.so", fs::copy_options::overwrite_existing);
        return pasta / "libtarvo.so";
    }
};

}  // namespace teste
