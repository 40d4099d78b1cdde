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
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "driver/core/estado.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/sintegra.h"

namespace {

using tarvo::MontaLinha;

const std::string kSerie = "TV010500000000012345";
const std::string kModelo = "RIX 4000";
constexpr int kRodadas = 5;

// The ATO file of a month of `itens` items; its size in bytes.
std::uintmax_t Mes(const std::string& nome, int itens) {
    std::ofstream f(nome, std::ios::binary);
    auto linha = [&](const std::string& l) { f << l << "\r\n"; };
    const int dias = 30, porRecibo = 10;
    const int recibos = (itens + porRecibo - 1) / porRecibo;
    const int porDia = (recibos + dias - 1) / dias;
    static const char* totalizadores[] = {"01T1800", "02T1200", "F1", "I1"};
    linha(MontaLinha(tarvo::kLinhaE01,
                     {"", kSerie, "", "ECF-IF", "TARVO", kModelo, "01.00.05", "20100101", "080000", "1",
                      "11222333000181", "TDM", "1", "30", "20100601", "20100630"}));
    std::vector<std::string> e12, e13, e14, e15;
    long long gt = 0;
    int coo = 0, item = 0;
    for (int d = 1; d <= dias; ++d) {
        char data[9];
        std::snprintf(data, sizeof data, "201006%02d", d);
        long long dia = 0;
        for (int r = 0; r < porDia && item < itens; ++r) {
            ++coo;
            long long subtotal = 0;
            const bool cancelado = coo % 50 == 0;
            for (int k = 0; k < porRecibo && item < itens; ++k, ++item) {
                const bool itemCancelado = item % 20 == 7;
                const long long unitario = 100 + item % 900;
                subtotal += itemCancelado ? 0 : unitario * 1500 / 1000;
                e15.push_back(MontaLinha(
                    tarvo::kLinhaE15,
                    {"", kSerie, "", kModelo, "1", std::to_string(coo), std::to_string(coo), std::to_string(k + 1),
                     std::to_string(7891000 + item % 1000), "PRODUTO " + std::to_string(item % 1000), "1500", "UN",
                     std::to_string(unitario), "0", "0", std::to_string(unitario * 1500 / 1000), totalizadores[k % 4],
                     itemCancelado ? "S" : "N", itemCancelado ? "1500" : "0", "0", "0", "T", "3", "2"}));
            }
            e14.push_back(MontaLinha(tarvo::kLinhaE14,
                                     {"", kSerie, "", kModelo, "1", std::to_string(coo), std::to_string(coo), data,
                                      std::to_string(subtotal), "0", "V", "0", "V", std::to_string(subtotal),
                                      cancelado ? "S" : "N", "0", "D", "", ""}));
            if (!cancelado) dia += subtotal;
        }
        ++coo;
        gt += dia;
        e12.push_back(MontaLinha(tarvo::kLinhaE12, {"", kSerie, "", kModelo, "1", std::to_string(d),
                                                    std::to_string(coo), "1", data, data, "230000",
                                                    std::to_string(dia), "N"}));
        for (const char* t : totalizadores)
            e13.push_back(MontaLinha(tarvo::kLinhaE13, {"", kSerie, "", kModelo, "1", std::to_string(d), t,
                                                        std::to_string(dia / 4)}));
    }
    linha(MontaLinha(tarvo::kLinhaE02, {"", kSerie, "", kModelo, "11222333000181", "123456789012", "LOJA", "RUA",
                                        "20100101", "080000", "1", std::to_string(gt), "1"}));
    for (const auto* v : {&e12, &e13, &e14, &e15})
        for (const auto& l : *v) linha(l);
    linha("EAD" + std::string(256, '0'));
    f.close();
    return std::filesystem::file_size(nome);
}

// In the child: the SINTEGRA file of the ATO file, RFDTEMP in the folder of TARVO_HOME.
int Gera(const std::string& ato) {
    // The final COO of each reduction, by its counter, for the first COO of the next one.
    std::map<int, std::string> coos;
    {
        std::ifstream f(ato, std::ios::binary);
        for (std::string l; std::getline(f, l);)
            if (l.compare(0, 3, "E12") == 0) coos[std::stoi(l.substr(46, 6))] = l.substr(52, 6);
    }
    auto inicio = std::chrono::steady_clock::now();
    tarvo::Estado().GeraSintegraAtivo = true;
    tarvo::DefineOpcoesSintegra(4 + 8 + 16);
    tarvo::Sintegra().Informante = {"EMPRESA LTDA", "RUA DAS FLORES", "123", "", "CENTRO", "SAO PAULO", "SP",
                                    "01234567", "1155551234", "", "MARIA"};
    tarvo::Sintegra().SomaAposUltimaReducao = tarvo::CalculaSomaAposUltimaReducao(ato);
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
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    std::printf("%d %.4f", r, s);
    return 0;
}

// The reference: the ATO file read line by line, each line written to another file.
double Referencia(const std::string& ato, const std::string& saida) {
    auto inicio = std::chrono::steady_clock::now();
    {
        std::ifstream f(ato, std::ios::binary);
        std::ofstream o(saida, std::ios::binary | std::ios::trunc);
        for (std::string l; std::getline(f, l);) o << l << '\n';
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    std::filesystem::remove(saida);
    return s;
}

struct Faixa {
    double mediana, minimo, maximo;
};
Faixa FaixaDe(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--gera") return Gera(argv[2]);
    std::vector<int> tamanhos;
    for (int i = 1; i < argc; ++i) tamanhos.push_back(std::atoi(argv[i]));
    if (tamanhos.empty()) tamanhos = {30000, 300000};
    std::printf("%8s %8s %22s %22s %20s %9s %9s %8s %9s\n", "items", "ATO MB", "seconds", "reference s",
                "x reference", "peak MiB", "SINT MiB", "peak/SINT", "lines");
    std::vector<double> medianas;
    for (int itens : tamanhos) {
        std::string modelo = (std::filesystem::temp_directory_path() / "bench-sintegra-XXXXXX").string();
        std::string pasta = std::string(::mkdtemp(modelo.data())) + "/";
        const std::string ato = pasta + "ato.txt";
        const double mb = static_cast<double>(Mes(ato, itens)) / 1e6;
        ::sync();
        std::vector<double> tempos, referencias, razoes;
        double pico = 0, sint = 0;
        long long linhas = 0;
        for (int rodada = 0; rodada < kRodadas; ++rodada) {
            referencias.push_back(Referencia(ato, pasta + "copia.txt"));
            int canal[2];
            if (::pipe(canal) != 0) return 1;
            pid_t filho = ::fork();
            if (filho == 0) {
                ::close(canal[0]);
                ::dup2(canal[1], 1);
                ::setenv("TARVO_HOME", pasta.c_str(), 1);
                ::execl("/proc/self/exe", argv[0], "--gera", ato.c_str(), static_cast<char*>(nullptr));
                ::_exit(4);
            }
            ::close(canal[1]);
            char linha[128] = {};
            ssize_t lidos = ::read(canal[0], linha, sizeof linha - 1);
            ::close(canal[0]);
            int estado = 0;
            rusage uso{};
            ::wait4(filho, &estado, 0, &uso);
            int resultado = 0;
            double segundos = 0;
            if (lidos <= 0 || std::sscanf(linha, "%d %lf", &resultado, &segundos) != 2 || resultado != 1) {
                std::fprintf(stderr, "run of %d items failed (%s)\n", itens, linha);
                return 1;
            }
            tempos.push_back(segundos);
            razoes.push_back(segundos / referencias.back());
            pico = std::max(pico, static_cast<double>(uso.ru_maxrss) / 1024.0);
            sint = static_cast<double>(std::filesystem::file_size(pasta + "RFDTEMP/SINT.TXT")) / (1024.0 * 1024.0);
            std::ifstream f(pasta + "RFDTEMP/SINTEGRA.TXT", std::ios::binary);
            linhas = 0;
            for (std::string l; std::getline(f, l);) ++linhas;
        }
        const Faixa t = FaixaDe(tempos), r = FaixaDe(referencias), x = FaixaDe(razoes);
        medianas.push_back(t.mediana);
        std::printf("%8d %8.1f %8.3f (%5.3f-%5.3f) %8.3f (%5.3f-%5.3f) %6.1f (%4.1f-%4.1f) %9.1f %9.1f %8.2f %9lld\n",
                    itens, mb, t.mediana, t.minimo, t.maximo, r.mediana, r.minimo, r.maximo, x.mediana, x.minimo,
                    x.maximo, pico, sint, pico / sint, linhas);
        std::filesystem::remove_all(pasta);
    }
    if (medianas.size() == 2)
        std::printf("time of the second size / time of the first: %.1f\n", medianas[1] / medianas[0]);
    return 0;
}
