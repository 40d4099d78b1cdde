// The SPED block C records of a month's ATO COTEPE file: time, throughput and peak memory for
// files of N items (N from the command line, default 30,000 and 300,000). The month has 30
// reductions; receipts of ten items over four totalizers, one receipt in fifty cancelled, one
// item in twenty cancelled, a thousand product codes. Each run is a child process of its own,
// so that its peak memory is its own.
#include "driver/fiscalfiles/sped.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "medida.h"
#include "mes_ato.h"

namespace {

int Gera(const char* ato, const char* saida) {
    tarvo::ParametrosSped p{ato, saida, "01/06/2010", "30/06/2010", "T", "5102", "", "0", "0", true, ato};
    const auto inicio = bancada::Relogio::now();
    int r = tarvo::GeraRegistrosSped(p);
    std::printf("%d %.3f", r, bancada::SegundosDesde(inicio));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--gera") return Gera(argv[2], argv[3]);
    const std::vector<int> tamanhos = bancada::Tamanhos<int>(argc, argv, {30000, 300000});
    std::printf("%10s %10s %10s %10s %10s %10s %12s\n", "items", "ATO MB", "seconds", "cpu s", "MB/s",
                "peak MiB", "SPED lines");
    for (int itens : tamanhos) {
        const std::string pasta = bancada::PastaTemporaria("bench-sped");
        if (pasta.empty()) return 1;
        const std::string ato = pasta + "ato.txt", saida = pasta + "sped.txt";
        const double mb = static_cast<double>(bancada::MesAto(ato, itens, true)) / 1e6;

        // The file just written goes to the disk first, so that its write-back does not
        // throttle the run being measured.
        ::sync();
        auto filho = bancada::RodaDeNovo(argv[0], {"--gera", ato, saida});
        if (!filho) return 1;
        const std::optional<double> segundos = bancada::SegundosDoFilho(*filho);
        if (!segundos) {
            std::fprintf(stderr, "run of %d items failed (%s)\n", itens, filho->saida.c_str());
            return 1;
        }
        std::printf("%10d %10.1f %10.3f %10.3f %10.1f %10.1f %12lld\n", itens, mb, *segundos,
                    bancada::CpuSegundos(filho->uso), mb / *segundos, bancada::PicoMiB(filho->uso),
                    bancada::ContaLinhas(saida));
        std::filesystem::remove_all(pasta);
    }
    return 0;
}
