// How long the library's waits last, against a plain command timed in the same rounds.
//
// The library is loaded with dlopen and talks to the emulator on a pseudo-terminal. Each
// round times, in wall and CPU milliseconds:
//   - the reference: a reading whose reply is a whole frame;
//   - a reply of the wrong length, taken after the short quiet on the line (about 100 ms);
//   - a silent printer, failed on its five-second time-out (CPU near zero: it sleeps);
//   - a pulled cable, failed at once.
// Medians and ranges are over the rounds; the ratio is to the reference's median.
//
//   bench_esperas [rounds]   (5 by default)
#include <dlfcn.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "emulador/emulador.h"
#include "medida.h"

namespace {

using Comando = int (*)(const char*, const char*);

void EscreveIni(const std::string& pasta) {
    std::ofstream(pasta + "TARVO.INI", std::ios::binary)
        << "[Sistema]\r\nModeloImp=TARVO_RIX\r\nPorta=COM1\r\nTimeOutComandos=5\r\n";
}

struct Medida {
    const char* nome;
    std::vector<double> ms, cpu;
};

}  // namespace

int main(int argc, char** argv) {
    const int rodadas = bancada::Tamanhos<int>(argc, argv, {5}).front();
    const std::string pasta = bancada::PastaTemporaria("bench_esperas");
    if (pasta.empty()) return 1;
    setenv("TARVO_HOME", pasta.c_str(), 1);
    setenv("TARVO_DEVDIR", (pasta + "dev").c_str(), 1);
    EscreveIni(pasta);
    emulador::Emulador e;
    if (!e.Inicia(pasta + "dev", "COM1")) {
        std::fprintf(stderr, "emulador: %s\n", e.Erro().c_str());
        return 1;
    }
    void* lib = dlopen(TARVO_LIB, RTLD_NOW);
    auto comando = lib ? reinterpret_cast<Comando>(dlsym(lib, "Tarvo_ExecutaComando")) : nullptr;
    if (!comando) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto le = [&] { comando("LeInteiro", "NomeInteiro=\"COO\""); };
    comando("AvancaPapel", "Avanco=30");  // the first use's spacing command, out of the way

    std::vector<Medida> medidas = {{"reference: a whole frame", {}, {}},
                                   {"wrong length, taken after the quiet", {}, {}},
                                   {"silent printer, five-second time-out", {}, {}},
                                   {"pulled cable", {}, {}}};
    auto mede = [](Medida& m, const std::function<void()>& f) {
        const double t0 = bancada::Agora(), c0 = bancada::CpuDaThread();
        f();
        m.ms.push_back((bancada::Agora() - t0) * 1000);
        m.cpu.push_back((bancada::CpuDaThread() - c0) * 1000);
    };
    for (int r = 0; r < rodadas; ++r) {
        mede(medidas[0], le);
        e.ComprimentoErrado(1);
        mede(medidas[1], le);
        e.Silencia(1);
        mede(medidas[2], le);
        e.Desliga();
        mede(medidas[3], le);
        e.Para();
        e.Inicia(pasta + "dev", "COM1");
    }
    const double referencia = bancada::FaixaDe(medidas[0].ms).mediana;
    std::printf("%-44s %10s %17s %8s %10s\n", "wait", "median ms", "range ms", "ratio", "CPU ms");
    for (const Medida& m : medidas) {
        const bancada::Faixa f = bancada::FaixaDe(m.ms), c = bancada::FaixaDe(m.cpu);
        std::printf("%-44s %10.2f %8.2f-%8.2f %8.1f %10.2f\n", m.nome, f.mediana, f.minimo, f.maximo,
                    f.mediana / referencia, c.mediana);
    }
    e.Para();
    std::filesystem::remove_all(pasta);
    return 0;
}
