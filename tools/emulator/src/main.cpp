// emulador: the printer emulator for a person. It listens on a pseudo-terminal linked as
// COMn in a folder (or on the COMANDO.TXT/STATUS.TXT exchange of a work folder) and shows
// every frame it receives and sends, until interrupted.
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
    std::string pasta = emulador::PastaDosLinks();
    std::string arquivos;
    // The one option without a value is taken out before the valued ones are read.
    bool intervencao = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::string(argv[i]) == "--intervencao")
            intervencao = true;
        else
            args.push_back(argv[i]);
    }
    if (!emulador::LeOpcoes(static_cast<int>(args.size()), args.data(),
                            {{"--porta", &porta}, {"--pasta", &pasta}, {"--arquivos", &arquivos}}))
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
    std::printf("%s'i' + Enter entra em intervencao tecnica, 'f' + Enter sai dela.\n",
                intervencao ? "Em intervencao tecnica. " : "");
    return sinais.Encerra(e);
}
