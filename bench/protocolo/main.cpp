// How much the library itself costs per command, and what it burns while a printer is slow.
//
// The emulator answers on its own thread in this process; the library is loaded with dlopen
// (after TARVO_HOME and TARVO_DEVDIR point at scratch folders) and called from the main
// thread, whose CPU time is the library's: building the frame, writing it, waiting in poll(),
// decoding the reply, and the INI write of the packet number.
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "emulador/emulador.h"

namespace {

double CpuDaThread() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double Agora() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
    // bench_protocolo [commands] [folder for the program folder, /tmp by default]
    const int comandos = argc > 1 ? std::atoi(argv[1]) : 2000;
    std::string modelo = std::string(argc > 2 ? argv[2] : "/tmp") + "/tarvo-bench-XXXXXX";
    const std::string pasta = std::string(mkdtemp(modelo.data())) + "/";
    std::filesystem::create_directory(pasta + "dev");
    setenv("TARVO_HOME", pasta.c_str(), 1);
    setenv("TARVO_DEVDIR", (pasta + "dev").c_str(), 1);
    std::ofstream(pasta + "TARVO.INI") << "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=10\r\n";

    emulador::Emulador e;
    if (!e.Inicia(pasta + "dev", "COM1")) {
        std::fprintf(stderr, "emulator: %s\n", e.Erro().c_str());
        return 1;
    }
    void* lib = dlopen(TARVO_LIB, RTLD_NOW);
    if (!lib) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto leitura = reinterpret_cast<int (*)(const char*, const char*, char*)>(dlsym(lib, "Tarvo_ExecutaLeitura"));
    char resposta[4096];
    leitura("LeInteiro", "NomeInteiro=\"COO\"", resposta);  // the spacing command goes out first

    const double t0 = Agora(), c0 = CpuDaThread();
    for (int i = 0; i < comandos; ++i)
        if (leitura("LeInteiro", "NomeInteiro=\"COO\"", resposta) != 1) return 2;
    const double parede = Agora() - t0, cpu = CpuDaThread() - c0;

    e.Atrasa(2000, 1);
    const double t1 = Agora(), c1 = CpuDaThread();
    if (leitura("LeInteiro", "NomeInteiro=\"CRZ\"", resposta) != 1) return 3;
    const double esperaParede = Agora() - t1, esperaCpu = CpuDaThread() - c1;

    std::printf("commands: %d\n", comandos);
    std::printf("round trips per second: %.0f\n", comandos / parede);
    std::printf("wall time per command: %.3f ms\n", parede * 1000 / comandos);
    std::printf("library CPU time per command: %.3f ms\n", cpu * 1000 / comandos);
    std::printf("reply delayed 2 s: waited %.2f s using %.2f ms of CPU (%.3f%%)\n", esperaParede, esperaCpu * 1000,
                100 * esperaCpu / esperaParede);
    e.Para();
    std::filesystem::remove_all(pasta);
    return 0;
}
