// emulador: the printer emulator for a person. It listens on a pseudo-terminal linked as
// COMn in a folder (or on the COMANDO.TXT/STATUS.TXT exchange of a work folder) and shows
// every frame it receives and sends, until interrupted.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "emulador/emulador.h"
#include "visivel.h"

namespace {

int Uso() {
    std::fprintf(stderr,
                 "uso: emulador --porta COM1 [--pasta PASTA] [--intervencao]\n"
                 "     emulador --arquivos PASTA_DE_TRABALHO [--intervencao]\n"
                 "  --porta     nome do link criado para o pseudo-terminal (padrao COM1)\n"
                 "  --pasta     pasta do link (padrao: $TARVO_DEVDIR, ou a pasta atual)\n"
                 "  --arquivos  atende pela troca de COMANDO.TXT e STATUS.TXT nessa pasta\n"
                 "  --intervencao  comeca em intervencao tecnica\n"
                 "Enquanto roda: 'i' + Enter entra em intervencao tecnica, 'f' + Enter sai dela.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string porta = "COM1";
    const char* devdir = std::getenv("TARVO_DEVDIR");
    std::string pasta = devdir && *devdir ? devdir : ".";
    std::string arquivos;
    bool intervencao = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--intervencao") {
            intervencao = true;
        } else if ((a == "--porta" || a == "--pasta" || a == "--arquivos") && i + 1 < argc) {
            (a == "--porta" ? porta : a == "--pasta" ? pasta : arquivos) = argv[++i];
        } else {
            return Uso();
        }
    }

    // Signals are taken by sigwait on this thread; the serving thread inherits the mask.
    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGINT);
    sigaddset(&sinais, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &sinais, nullptr);

    emulador::Emulador e;
    std::mutex saida;
    e.AoTrocar([&](const emulador::Troca& t) {
        std::lock_guard<std::mutex> l(saida);
        std::printf("<- %s\n", emulador::Visivel(t.quadro).c_str());
        if (t.codigo < 0)
            std::printf("   (sem resposta)\n");
        else
            std::printf("-> %s\n", emulador::Visivel(t.resposta).c_str());
        std::fflush(stdout);
    });
    bool ok = arquivos.empty() ? e.Inicia(pasta, porta) : e.IniciaArquivos(arquivos);
    if (!ok) {
        std::fprintf(stderr, "emulador: %s\n", e.Erro().c_str());
        return 1;
    }
    if (intervencao) e.Altera([](emulador::Impressora& p) { p.intervencaoTecnica = true; });
    // Technical intervention from the keyboard: "i" enters it, "f" leaves it (a restart of
    // operation, as the printer counts one). The line ends with the process.
    std::thread([&e, &saida] {
        for (std::string linha; std::getline(std::cin, linha);) {
            const bool entra = linha == "i", sai = linha == "f";
            if (!entra && !sai) continue;
            e.Altera([&](emulador::Impressora& p) {
                if (entra)
                    p.intervencaoTecnica = true;
                else
                    p.EncerraIntervencao();
            });
            std::lock_guard<std::mutex> l(saida);
            std::printf(entra ? "Intervencao tecnica: sim\n" : "Intervencao tecnica: nao\n");
            std::fflush(stdout);
        }
    }).detach();
    if (arquivos.empty())
        std::printf("Emulador ouvindo em %s -> %s (TARVO_DEVDIR=%s)\n", e.Link().c_str(),
                    e.Dispositivo().c_str(), pasta.c_str());
    else
        std::printf("Emulador atendendo COMANDO.TXT/STATUS.TXT em %s\n", e.Link().c_str());
    std::printf("%sCtrl+C encerra; 'i' + Enter entra em intervencao tecnica, 'f' + Enter sai dela.\n",
                intervencao ? "Em intervencao tecnica. " : "");
    std::fflush(stdout);
    int s = 0;
    sigwait(&sinais, &s);
    e.Para();
    std::printf("Emulador encerrado.\n");
    return 0;
}
