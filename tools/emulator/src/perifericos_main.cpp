// The serial non-fiscal printer and the scale on pseudo-terminals, for a person:
//
//   emulador_perifericos [folder] [printer port] [scale port] [weight]
//
// links <folder>/COM1 (printer) and <folder>/COM2 (scale) by default (point TARVO_DEVDIR at
// the folder), prints what the printer receives in hexadecimal and each weighing, and stops
// on Ctrl-C.
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>

#include "emulador/perifericos.h"

namespace {
volatile std::sig_atomic_t gPara = 0;
void AoSinal(int) {
    gPara = 1;
}
}  // namespace

int main(int argc, char** argv) {
    const std::string pasta = argc > 1 ? argv[1] : "dev";
    const std::string portaImpressora = argc > 2 ? argv[2] : "COM1";
    const std::string portaBalanca = argc > 3 ? argv[3] : "COM2";
    emulador::ImpressoraKelt impressora;
    emulador::Balanca balanca;
    if (!impressora.Inicia(pasta, portaImpressora)) {
        std::fprintf(stderr, "impressora: %s\n", impressora.Erro().c_str());
        return 1;
    }
    if (!balanca.Inicia(pasta, portaBalanca)) {
        std::fprintf(stderr, "balanca: %s\n", balanca.Erro().c_str());
        return 1;
    }
    if (argc > 4) balanca.Define(emulador::ModoBalanca::Peso, argv[4]);
    std::signal(SIGINT, AoSinal);
    std::signal(SIGTERM, AoSinal);
    std::printf("impressora em %s/%s, balanca em %s/%s\n", pasta.c_str(), portaImpressora.c_str(),
                pasta.c_str(), portaBalanca.c_str());
    std::fflush(stdout);
    std::size_t mostrados = 0;
    int pesagens = 0;
    while (!gPara) {
        const std::string r = impressora.Recebidos();
        for (; mostrados < r.size(); ++mostrados)
            std::printf("%02X%s", static_cast<unsigned char>(r[mostrados]),
                        mostrados + 1 == r.size() ? "\n" : " ");
        for (int n = balanca.Enqs(); pesagens < n; ++pesagens) std::printf("balanca: pedido de peso\n");
        std::fflush(stdout);
        struct timespec t {
            0, 200 * 1000 * 1000
        };
        nanosleep(&t, nullptr);
    }
    return 0;
}
