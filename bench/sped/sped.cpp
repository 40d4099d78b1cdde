// The SPED block C records of a month's ATO COTEPE file: time, throughput and peak memory for
// files of N items (N from the command line, default 30,000 and 300,000). The month has 30
// reductions; receipts of ten items over four totalizers, one receipt in fifty cancelled, one
// item in twenty cancelled, a thousand product codes. Each run is a child process of its own,
// so that its peak memory is its own.
#include "driver/fiscalfiles/sped.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/fiscalfiles/leiaute_ato.h"

namespace {

using tarvo::MontaLinha;

const std::string kSerie = "TV010500000000012345";
const std::string kModelo = "RIX 4000";

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
                e15.push_back(MontaLinha(tarvo::kLinhaE15, {"",
                                                            kSerie,
                                                            "",
                                                            kModelo,
                                                            "1",
                                                            std::to_string(coo),
                                                            std::to_string(coo),
                                                            std::to_string(k + 1),
                                                            std::to_string(7891000 + item % 1000),
                                                            "PRODUTO " + std::to_string(item % 1000),
                                                            "1500",
                                                            "UN",
                                                            std::to_string(unitario),
                                                            "0",
                                                            "0",
                                                            std::to_string(unitario * 1500 / 1000),
                                                            totalizadores[k % 4],
                                                            itemCancelado ? "S" : "N",
                                                            itemCancelado ? "1500" : "0",
                                                            "0",
                                                            "0",
                                                            "T",
                                                            "3",
                                                            "2"}));
            }
            e14.push_back(MontaLinha(
                tarvo::kLinhaE14, {"", kSerie, "", kModelo, "1", std::to_string(coo), std::to_string(coo),
                                   data, std::to_string(subtotal), coo % 7 == 0 ? "100" : "0", "V", "0", "V",
                                   std::to_string(subtotal - (coo % 7 == 0 ? 100 : 0)), cancelado ? "S" : "N",
                                   "0", "D", "", coo % 3 == 0 ? "12345678909" : ""}));
            if (!cancelado) dia += subtotal;
        }
        ++coo;
        gt += dia;
        e12.push_back(MontaLinha(tarvo::kLinhaE12,
                                 {"", kSerie, "", kModelo, "1", std::to_string(d), std::to_string(coo), "1",
                                  data, data, "230000", std::to_string(dia), "N"}));
        for (const char* t : totalizadores)
            e13.push_back(MontaLinha(tarvo::kLinhaE13, {"", kSerie, "", kModelo, "1", std::to_string(d), t,
                                                        std::to_string(dia / 4)}));
    }
    linha(MontaLinha(tarvo::kLinhaE02, {"", kSerie, "", kModelo, "11222333000181", "123456789012", "LOJA",
                                        "RUA", "20100101", "080000", "1", std::to_string(gt), "1"}));
    for (const auto* v : {&e12, &e13, &e14, &e15})
        for (const auto& l : *v) linha(l);
    linha("EAD" + std::string(256, '0'));
    f.close();
    return std::filesystem::file_size(nome);
}

int Gera(const char* ato, const char* saida) {
    tarvo::ParametrosSped p{ato, saida, "01/06/2010", "30/06/2010", "T", "5102", "", "0", "0", true, ato};
    auto inicio = std::chrono::steady_clock::now();
    int r = tarvo::GeraRegistrosSped(p);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    std::printf("%d %.3f", r, s);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--gera") return Gera(argv[2], argv[3]);
    std::vector<int> tamanhos;
    for (int i = 1; i < argc; ++i) tamanhos.push_back(std::atoi(argv[i]));
    if (tamanhos.empty()) tamanhos = {30000, 300000};
    std::printf("%10s %10s %10s %10s %10s %10s %12s\n", "items", "ATO MB", "seconds", "cpu s", "MB/s",
                "peak MiB", "SPED lines");
    for (int itens : tamanhos) {
        std::string modelo = (std::filesystem::temp_directory_path() / "bench-sped-XXXXXX").string();
        std::string pasta = std::string(::mkdtemp(modelo.data())) + "/";
        const std::string ato = pasta + "ato.txt", saida = pasta + "sped.txt";
        const double mb = static_cast<double>(Mes(ato, itens)) / 1e6;

        // The file just written goes to the disk first, so that its write-back does not
        // throttle the run being measured.
        ::sync();
        int canal[2];
        if (::pipe(canal) != 0) return 1;
        pid_t filho = ::fork();
        if (filho == 0) {
            ::close(canal[0]);
            ::dup2(canal[1], 1);
            ::execl("/proc/self/exe", argv[0], "--gera", ato.c_str(), saida.c_str(),
                    static_cast<char*>(nullptr));
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
        double cpu = static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
                     static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
        std::ifstream f(saida, std::ios::binary);
        long long linhas = 0;
        for (std::string l; std::getline(f, l);) ++linhas;
        std::printf("%10d %10.1f %10.3f %10.3f %10.1f %10.1f %12lld\n", itens, mb, segundos, cpu,
                    mb / segundos, static_cast<double>(uso.ru_maxrss) / 1024.0, linhas);
        std::filesystem::remove_all(pasta);
    }
    return 0;
}
