// emulador_numerico: a printer of the numeric-code families for a person. It listens on a
// pseudo-terminal linked as COMn in a folder and shows every frame it receives and sends,
// until interrupted.
#include <cstdio>
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
    std::string pasta = emulador::PastaDosLinks();
    if (!emulador::LeOpcoes(argc, argv, {{"--porta", &porta}, {"--pasta", &pasta}, {"--familia", &familia}}))
        return Uso();
    if (familia != "1" && familia != "2") return Uso();

    emulador::Sinais sinais;
    emulador::EmuladorNumerico e(familia == "2" ? 2 : 1);
    std::mutex saida;
    e.AoTrocar([&](const emulador::TrocaNumerica& t) {
        emulador::MostraTroca(saida, t.quadro, t.resposta.empty() ? nullptr : &t.resposta);
    });
    if (!e.Inicia(pasta, porta)) {
        std::fprintf(stderr, "emulador_numerico: %s\n", e.Erro().c_str());
        return 1;
    }
    std::printf("Emulador numerico (familia %s) ouvindo em %s -> %s (TARVO_DEVDIR=%s)\n", familia.c_str(),
                e.Link().c_str(), e.Dispositivo().c_str(), pasta.c_str());
    return sinais.Encerra(e);
}
