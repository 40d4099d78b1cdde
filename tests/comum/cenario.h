// A scenario that a host program would run: the real libtarvo.so loaded in a fresh process,
// its exports called one after the other, each result compared with the one expected. The
// mismatches come back to the test as text, with the library's last error at that step.
//
//     std::string falhas = teste::Cenario::Roda(pasta, [](teste::Cenario& c) {
//         PASSO(c, 1, Tarvo_AbreCupom, "");
//     });
//     EXPECT_EQ(falhas, "");
#pragma once

#include <unistd.h>

#include <functional>
#include <sstream>
#include <string>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "tarvo.h"

namespace teste {

class Cenario {
  public:
    Tarvo t;
    std::ostringstream falhas;

    // Records a step whose result is not the expected one.
    int Verifica(const char* passo, int esperado, int obtido) {
        if (obtido != esperado) {
            auto [codigo, mensagem] = t.UltimoErro();
            falhas << passo << ": " << obtido << " (esperado " << esperado << "; " << codigo << " "
                   << mensagem << ")\n";
        }
        return obtido;
    }
    void Falha(const std::string& texto) { falhas << texto << "\n"; }

    // Runs `corpo` with the library loaded in a child process whose current folder is
    // `pastaAtual` (where "ID.TXT" and "AUMENTA.TXT" live); returns the mismatches.
    static std::string Roda(const std::string& pastaAtual, const std::function<void(Cenario&)>& corpo) {
        const std::string relatorio = pastaAtual + "/.cenario";
        int r = EmProcessoFilho([&] {
            if (::chdir(pastaAtual.c_str()) != 0) return 2;
            Cenario c;
            corpo(c);
            EscreveArquivo(relatorio, c.falhas.str());
            return 0;
        });
        std::string falhas = LeArquivo(relatorio);
        std::remove(relatorio.c_str());
        if (r != 0) falhas += "the scenario's process ended with " + std::to_string(r) + "\n";
        return falhas;
    }
};

}  // namespace teste

// One export called by name in libtarvo.so with the declaration of tarvo.h.
#define CHAMA(c, nome, ...) (c).t.Chama<decltype(nome)>(#nome __VA_OPT__(, ) __VA_ARGS__)
#define PASSO(c, esperado, nome, ...) (c).Verifica(#nome, esperado, CHAMA(c, nome __VA_OPT__(, ) __VA_ARGS__))
