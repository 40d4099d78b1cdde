// emulador: the printer emulator for a person. It listens on a pseudo-terminal linked as
// COMn in a folder (or on the COMANDO.TXT/STATUS.TXT exchange of a work folder) and shows
// every frame it receives and sends, until interrupted.
#include <cstdio>
#include <mutex>
#include <string>

#include "emulador/emulador.h"
#include "visivel.h"

namespace {

int Uso() {
    std::fprintf(stderr,
                 "uso: emulador --porta COM1 [--pasta PASTA]\n"
                 "     emulador --arquivos PASTA_DE_TRABALHO\n"
                 "  --porta     nome do link criado para o pseudo-terminal (padrao COM1)\n"
                 "  --pasta     pasta do link (padrao: $TARVO_DEVDIR, ou a pasta atual)\n"
                 "  --arquivos  atende pela troca de COMANDO.TXT e STATUS.TXT nessa pasta\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string porta = "COM1";
    std::string pasta = emulador::PastaDosLinks();
    std::string arquivos;
    if (!emulador::LeOpcoes(argc, argv, {{"--porta", &porta}, {"--pasta", &pasta}, {"--arquivos", &arquivos}}))
        return Uso();

    emulador::Sinais sinais;
    emulador::Emulador e;
    std::mutex saida;
    e.AoTrocar([&](const emulador::Troca& t) {
        emulador::MostraTroca(saida, t.quadro, t.codigo < 0 ? nullptr : &t.resposta);
    });
    bool ok = arquivos.empty() ? e.Inicia(pasta, porta) : e.IniciaArquivos(arquivos);
    if (!ok) {
        std::fprintf(stderr, "emulador: %s\n", e.Erro().c_str());
        return 1;
    }
    if (arquivos.empty())
        std::printf("Emulador ouvindo em %s -> %s (TARVO_DEVDIR=%s)\n", e.Link().c_str(),
                    e.Dispositivo().c_str(), pasta.c_str());
    else
        std::printf("Emulador atendendo COMANDO.TXT/STATUS.TXT em %s\n", e.Link().c_str());
    return sinais.Encerra(e);
}
