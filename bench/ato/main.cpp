// ATO generation from a month's memory dump: a dump of 30 days with N items in all (30,000 and
// 300,000 by default) written in the reader's format, then turned into the month's ATO file
// through libtarvo.so and libato17.so in a child process, whose time and peak memory are
// measured alone.
//   bench_ato [items ...]
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "medida.h"

namespace {

const std::string kSerie = "TV010500000000012345";

std::string Z(long v, int w) {
    std::string s = std::to_string(v);
    return std::string(s.size() < static_cast<std::size_t>(w) ? static_cast<std::size_t>(w) - s.size() : 0,
                       '0') +
           s;
}
std::string Data(int dia) {
    return Z(dia, 2) + "/03/2010";
}

// The dump of a month: 30 reductions, receipts of 10 items each, a Z document per day.
void EscreveDump(const std::string& nome, long itens) {
    std::string mf = "ECF\t" + kSerie + "\tMFD0001\tTARVO\tRIX 4000\tECF-IF\t01.00.05\t0001\t001\n";
    mf += "USUARIO\t1\t11.222.333/0001-81\t123.456.789.012\t12345678\t1\t05/01/2010\t09:00:00\t0\n";
    mf += "SOFTWARE\t01.00.05\t05/01/2010\t09:00:00\n";
    std::string mfd;
    const long porDia = itens / 30, porCupom = 10;
    long coo = 0, ccf = 0, gt = 0;
    std::ofstream f(nome + ".mfd", std::ios::binary);
    for (int dia = 1; dia <= 30; ++dia) {
        long venda = 0, cooInicial = coo + 1;
        for (long i = 0; i < porDia; i += porCupom) {
            ++coo, ++ccf;
            std::string d = "DOC\t" + std::to_string(coo) + "\t3\t" + Data(dia) + "\t10:00:00\t" + Data(dia) +
                            "\t10:01:00\t1\n";
            d += "LINHA\t0\t" + Data(dia) + " 10:00:00        CCF:" + Z(ccf, 6) + " COO:" + Z(coo, 6) + "\n";
            long total = 0;
            for (long k = 1; k <= porCupom && i + k <= porDia; ++k) {
                d += "ITEM\t" + std::to_string(k) + "\t789" + Z(k, 10) + "\tPRODUTO DE TESTE NUMERO " +
                     std::to_string(k) + "\t1500\tKG\t2990\t2\t448\tT00\t0\t0\t0\t0\t-1\n";
                d += "LINHA\t0\t" + Z(k, 3) + " 789" + Z(k, 10) + " PRODUTO DE TESTE NUMERO " +
                     std::to_string(k) + "\n";
                d += "LINHA\t0\t  1,500KG X 2,99 T00 T                     4,48\xB0\n";
                total += 448;
            }
            d += "PAGAMENTO\t-2\tDinheiro\t" + std::to_string(total) + "\t\n";
            d += "LINHA\t0\tTOTAL R$  " + std::to_string(total) + "\nFIM\t" + std::to_string(coo) + "\n";
            venda += total;
            f << d;
        }
        ++coo;
        f << "DOC\t" << coo << "\t2\t" << Data(dia) << "\t23:00:00\t" << Data(dia) << "\t23:01:00\t1\n"
          << "LINHA\t0\t                 MEIOS DE PAGAMENTO\nLINHA\t0\t-2  Dinheiro        " << venda
          << "\nLINHA\t0\tTROCO    0\nFIM\t" << coo << "\n";
        mf += "REDUCAO\t" + std::to_string(dia) + "\t" + std::to_string(coo) + "\t1\t" +
              std::to_string(cooInicial) + "\t" + Data(dia) + "\t" + Data(dia) + "\t23:00:00\t" +
              std::to_string(gt + venda) + "\t" + std::to_string(gt) + "\t" + std::to_string(venda) +
              "\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t" + std::to_string(ccf) + "\t0\t0\t0\t0\t0\n";
        mf += "ALIQUOTA\t" + std::to_string(dia) + "\t0\tT\t1800\t" + std::to_string(venda) + "\n";
        gt += venda;
    }
    f.close();
    std::ifstream in(nome + ".mfd", std::ios::binary | std::ios::ate);
    auto tamanhoMfd = static_cast<std::uint64_t>(in.tellg());
    in.seekg(0);
    std::string h(64, '\0');
    h.replace(0, 8, "TARVOTDM");
    h[8] = 1;
    h[12] = 1;
    h.replace(16, 24, kSerie + "    ");
    for (int i = 0; i < 8; ++i) {
        h[40 + static_cast<std::size_t>(i)] = static_cast<char>(mf.size() >> (8 * i) & 0xFF);
        h[48 + static_cast<std::size_t>(i)] = static_cast<char>(tamanhoMfd >> (8 * i) & 0xFF);
    }
    std::ofstream out(nome, std::ios::binary);
    out << h << mf << in.rdbuf();
    out.close();
    std::remove((nome + ".mfd").c_str());
}

struct Medida {
    double segundos = 0;
    long picoKb = 0;
    int resultado = -99;
};

// The conversion in a process of its own (this program run again), so that its peak
// memory is its own.
int ConverteAqui(const char* dump, const char* saida) {
    void* h = ::dlopen(TARVO_LIB, RTLD_NOW | RTLD_LOCAL);
    if (!h) return 200;
    using F = int(const char*, const char*, const char*, const char*, int, const char*, const char*);
    auto f = reinterpret_cast<F*>(::dlsym(h, "Tarvo_GeraArquivoATO17Binario"));
    return f(dump, saida, "01/03/2010", "31/03/2010", 'M', "01", "TDM") == 1 ? 0 : 100;
}

Medida Converte(const char* programa, const std::string& dump, const std::string& saida) {
    const auto inicio = bancada::Relogio::now();
    auto filho = bancada::RodaDeNovo(programa, {"--converte", dump, saida});
    Medida m;
    if (!filho) return m;
    m.segundos = bancada::SegundosDesde(inicio);
    m.picoKb = filho->uso.ru_maxrss;
    m.resultado = WIFEXITED(filho->estado) ? WEXITSTATUS(filho->estado) : -1;
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--converte") return ConverteAqui(argv[2], argv[3]);
    const std::vector<long> tamanhos = bancada::Tamanhos<long>(argc, argv, {30000, 300000});
    const std::string pasta = bancada::PastaTemporaria("bench-ato", "/tmp");
    if (pasta.empty()) return 1;
    std::vector<Medida> medidas;
    for (long itens : tamanhos) {
        const std::string dump = pasta + "mes" + std::to_string(itens) + ".tdm";
        const std::string saida = pasta + "mes" + std::to_string(itens) + ".txt";
        EscreveDump(dump, itens);
        std::ifstream d(dump, std::ios::binary | std::ios::ate), s;
        Medida m = Converte(argv[0], dump, saida);
        s.open(saida, std::ios::binary | std::ios::ate);
        std::printf("%7ld items: dump %6.1f MB, file %6.1f MB, %6.2f s, peak memory %6.1f MB%s\n", itens,
                    static_cast<double>(d.tellg()) / 1e6, s ? static_cast<double>(s.tellg()) / 1e6 : 0.0,
                    m.segundos, static_cast<double>(m.picoKb) / 1024, m.resultado == 0 ? "" : "  (FAILED)");
        medidas.push_back(m);
        std::remove(dump.c_str());
        std::remove(saida.c_str());
    }
    ::rmdir(pasta.c_str());
    if (medidas.size() == 2 && medidas[0].segundos > 0)
        std::printf("ten times the items: %.1f times the time\n", medidas[1].segundos / medidas[0].segundos);
    for (const Medida& m : medidas)
        if (m.resultado != 0) return 1;
    return 0;
}
