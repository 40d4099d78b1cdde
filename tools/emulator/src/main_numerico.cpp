// emulador_numerico: a printer of the numeric-code families for a person. It listens on a
// pseudo-terminal linked as COMn in a folder and shows every frame it receives and sends,
// until interrupted.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "emulador/numerico.h"
#include "visivel.h"

namespace {

int Uso() {
    std::fprintf(stderr,
                 "uso: emulador_numerico [--familia 1|2] [--porta COM1] [--pasta PASTA]\n"
                 "  --familia   1 (TARVO_LISKO, padrao) ou 2 (TARVO_SARTO)\n"
                 "  --porta     nome do link criado para o pseudo-terminal (padrao COM1)\n"
                 "  --pasta     pasta do link (padrao: $TARVO_DEVDIR, ou a pasta atual)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string porta = "COM1", familia = "1";
    const char* devdir = std::getenv("TARVO_DEVDIR");
    std::string pasta = devdir && *devdir ? devdir : ".";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if ((a == "--porta" || a == "--pasta" || a == "--familia") && i + 1 < argc)
            (a == "--porta" ? porta : a == "--pasta" ? pasta : familia) = argv[++i];
        else
            return Uso();
    }
    if (familia != "1" && familia != "2") return Uso();

    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGINT);
    sigaddset(&sinais, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &sinais, nullptr);

    emulador::EmuladorNumerico e(familia == "2" ? 2 : 1);
    std::mutex saida;
    e.AoTrocar([&](const emulador::TrocaNumerica& t) {
        std::lock_guard<std::mutex> l(saida);
        std::printf("<- %s\n", emulador::Visivel(t.quadro).c_str());
        if (t.resposta.empty()) std::printf("   (sem resposta)\n");
        else std::printf("-> %s\n", emulador::Visivel(t.resposta).c_str());
        std::fflush(stdout);
    });
    if (!e.Inicia(pasta, porta)) {
        std::fprintf(stderr, "emulador_numerico: %s\n", e.Erro().c_str());
        return 1;
    }
    std::printf("Emulador numerico (familia %s) ouvindo em %s -> %s (TARVO_DEVDIR=%s)\n", familia.c_str(),
                e.Link().c_str(), e.Dispositivo().c_str(), pasta.c_str());
    std::printf("Ctrl+C encerra.\n");
    std::fflush(stdout);
    int s = 0;
    sigwait(&sinais, &s);
    e.Para();
    std::printf("Emulador encerrado.\n");
    return 0;
}
