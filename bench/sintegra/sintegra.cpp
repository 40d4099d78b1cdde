// The SINTEGRA file of a month's ATO COTEPE file: time and peak memory for files of N items
// (N from the command line, default 30,000 and 300,000), with every record kind asked for
// (flags 4 + 8 + 16). The month has 30 reductions; receipts of ten items over four
// totalizers, one receipt in fifty cancelled, one item in twenty cancelled, a thousand product
// codes. Each run is a child process of its own, so that its peak memory is its own; the
// first COOs of the reductions are answered from the file instead of a printer.
//
// Beside it, in the same rounds and on the same file, a reference that holds on any machine:
// the ATO file read line by line and every line written to another file (what one pass over
// the file costs at least). Five rounds per size; median and range (min-max) of the time and
// of the ratio to the reference, the peak memory against the size of "SINT.TXT".
#include "driver/fiscalfiles/sintegra.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver/core/estado.h"
#include "medida.h"
#include "mes_ato.h"

namespace {

constexpr int kRodadas = 5;

// In the child: the SINTEGRA file of the ATO file, RFDTEMP in the folder of TARVO_HOME.
int Gera(const std::string& ato) {
    // The final COO of each reduction, by its counter, for the first COO of the next one.
    std::map<int, std::string> coos;
    {
        std::ifstream f(ato, std::ios::binary);
        for (std::string l; std::getline(f, l);)
            if (l.compare(0, 3, "E12") == 0) coos[std::stoi(l.substr(46, 6))] = l.substr(52, 6);
    }
    const auto inicio = bancada::Relogio::now();
    tarvo::Estado().GeraSintegraAtivo = true;
    tarvo::DefineOpcoesSintegra(4 + 8 + 16);
    tarvo::Sintegra().Informante = {"EMPRESA LTDA", "RUA DAS FLORES", "123",        "", "CENTRO", "SAO PAULO",
                                    "SP",           "01234567",       "1155551234", "", "MARIA"};
    int r = tarvo::GeraSintegraMfdBinario(ato, [&](int crz, std::string& coo) {
        auto it = coos.find(crz);
        if (it == coos.end()) return 0;
        coo = it->second;
        return 1;
    });
    if (r == 1) {
        tarvo::MontaRegistros60(0);
        tarvo::MontaRegistros60(1);
        tarvo::GravaArquivoSintegra();
    }
    std::printf("%d %.4f", r, bancada::SegundosDesde(inicio));
    return 0;
}

// The reference: the ATO file read line by line, each line written to another file.
double Referencia(const std::string& ato, const std::string& saida) {
    const auto inicio = bancada::Relogio::now();
    {
        std::ifstream f(ato, std::ios::binary);
        std::ofstream o(saida, std::ios::binary | std::ios::trunc);
        for (std::string l; std::getline(f, l);) o << l << '\n';
    }
    const double s = bancada::SegundosDesde(inicio);
    std::filesystem::remove(saida);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--gera") return Gera(argv[2]);
    const std::vector<int> tamanhos = bancada::Tamanhos<int>(argc, argv, {30000, 300000});
    std::printf("%8s %8s %22s %22s %20s %9s %9s %8s %9s\n", "items", "ATO MB", "seconds", "reference s",
                "x reference", "peak MiB", "SINT MiB", "peak/SINT", "lines");
    std::vector<double> medianas;
    for (int itens : tamanhos) {
        const std::string pasta = bancada::PastaTemporaria("bench-sintegra");
        if (pasta.empty()) return 1;
        const std::string ato = pasta + "ato.txt";
        const double mb = static_cast<double>(bancada::MesAto(ato, itens)) / 1e6;
        ::sync();
        bancada::ContraReferencia rodadas;
        double pico = 0, sint = 0;
        long long linhas = 0;
        for (int rodada = 0; rodada < kRodadas; ++rodada) {
            const double referencia = Referencia(ato, pasta + "copia.txt");
            auto filho = bancada::RodaDeNovo(argv[0], {"--gera", ato}, {{"TARVO_HOME", pasta}});
            if (!filho) return 1;
            const std::optional<double> segundos = bancada::SegundosDoFilho(*filho);
            if (!segundos) {
                std::fprintf(stderr, "run of %d items failed (%s)\n", itens, filho->saida.c_str());
                return 1;
            }
            rodadas.Junta(*segundos, referencia);
            pico = std::max(pico, bancada::PicoMiB(filho->uso));
            sint = static_cast<double>(std::filesystem::file_size(pasta + "RFDTEMP/SINT.TXT")) /
                   (1024.0 * 1024.0);
            linhas = bancada::ContaLinhas(pasta + "RFDTEMP/SINTEGRA.TXT");
        }
        const bancada::Faixa t = bancada::FaixaDe(rodadas.tempos), r = bancada::FaixaDe(rodadas.referencias),
                             x = bancada::FaixaDe(rodadas.razoes);
        medianas.push_back(t.mediana);
        std::printf(
            "%8d %8.1f %8.3f (%5.3f-%5.3f) %8.3f (%5.3f-%5.3f) %6.1f (%4.1f-%4.1f) %9.1f %9.1f %8.2f %9lld\n",
            itens, mb, t.mediana, t.minimo, t.maximo, r.mediana, r.minimo, r.maximo, x.mediana, x.minimo,
            x.maximo, pico, sint, pico / sint, linhas);
        std::filesystem::remove_all(pasta);
    }
    if (medianas.size() == 2)
        std::printf("time of the second size / time of the first: %.1f\n", medianas[1] / medianas[0]);
    return 0;
}
