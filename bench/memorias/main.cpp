// Reading a month's memories (about 10 MB of detail tape) over the pseudo-terminal into a dump:
// the time it takes, the CPU the host spends while it waits, how many status polls a host
// thread gets through while the reading runs, and how much the host process grows.
//
// The emulator runs in a child process of its own (its logs of every frame do not count);
// the library and the reader run in this process.
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "emulador/emulador.h"
#include "medida.h"

namespace {

const char* const kSerie = "TV010500000000012345";

using bancada::Agora;
using bancada::CpuDaThread;

double CpuDoProcesso() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return bancada::CpuSegundos(r);
}
long RssKb() {
    std::ifstream f("/proc/self/status");
    for (std::string l; std::getline(f, l);)
        if (l.rfind("VmRSS:", 0) == 0) return std::atol(l.c_str() + 6);
    return 0;
}

// The printer: a month of receipts on its detail tape, about `bytes` of memory image.
int Impressora(const std::string& dev, std::size_t bytes, int avisa, int espera) {
    emulador::Emulador e;
    if (!e.Inicia(dev, "COM1")) return 1;
    e.Altera([bytes](emulador::Impressora& p) {
        const char* passos[][2] = {
            {"AbreCupomFiscal", "IdConsumidor=\"123.456.789-09\""},
            {"VendeItem",
             "CodAliquota=0 CodProduto=\"7891234567890\" NomeProduto=\"ARROZ TIPO 1\" "
             "PrecoUnitario=4,99 Quantidade=2,500 Unidade=\"KG\""},
            {"VendeItem",
             "CodAliquota=1 CodProduto=\"2\" NomeProduto=\"FEIJAO\" PrecoUnitario=7,50 Quantidade=1"},
            {"VendeItem",
             "CodAliquota=-2 CodProduto=\"3\" NomeProduto=\"REFRIGERANTE\" PrecoUnitario=5,00 Quantidade=2"},
            {"PagaCupom", "CodMeioPagamento=-2 Valor=50,00"},
            {"EncerraDocumento", ""},
        };
        for (auto& [c, a] : passos) p.Executa(c, a);
        emulador::Documento modelo = p.fita.back();
        std::size_t porDocumento = p.ImagemFitaDetalhe().size();
        for (std::size_t n = porDocumento; n < bytes; n += porDocumento) {
            modelo.coo = ++p.contadores.coo;
            p.fita.push_back(modelo);
        }
    });
    char c = 1;
    if (write(avisa, &c, 1) != 1) return 2;
    if (read(espera, &c, 1) < 0) return 3;  // until the reader is done
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // bench_memorias [megabytes, 10 by default] [folder for scratch files, /tmp by default]
    const double mb = argc > 1 ? std::atof(argv[1]) : 10.0;
    const std::string pasta = bancada::PastaTemporaria("tarvo-bench", argc > 2 ? argv[2] : "/tmp");
    if (pasta.empty()) return 1;
    std::filesystem::create_directory(pasta + "dev");
    setenv("TARVO_HOME", pasta.c_str(), 1);
    setenv("TARVO_DEVDIR", (pasta + "dev/").c_str(), 1);
    std::ofstream(pasta + "TARVO.INI") << "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\n";

    int pronto[2], fim[2];
    if (pipe(pronto) != 0 || pipe(fim) != 0) return 1;
    pid_t filho = fork();
    if (filho == 0)
        _exit(Impressora(pasta + "dev/", static_cast<std::size_t>(mb * 1024 * 1024), pronto[1], fim[0]));
    char c;
    if (read(pronto[0], &c, 1) != 1) return 1;

    void* h = dlopen(TARVO_LIB, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    using FnLe = int(const char*, const char*, unsigned char);
    using FnStatus = int(int*, int*, int*, int*, char*);
    auto le = reinterpret_cast<FnLe*>(dlsym(h, "Tarvo_LeMemoriasBinario"));
    auto status = reinterpret_cast<FnStatus*>(dlsym(h, "Tarvo_LeStatusGeraBinario"));
    const std::string dump = pasta + "mes.tdm";
    int s = 0, e = 0, tam = 0, prog = 0;
    char texto[129];
    status(&s, &e, &tam, &prog, texto);  // loads the reader before anything is measured

    // 1. A waited reading: the host thread only waits.
    long rss0 = RssKb();
    double t0 = Agora(), cpu0 = CpuDoProcesso(), thr0 = CpuDaThread();
    int r = le(dump.c_str(), kSerie, 1);
    double t1 = Agora(), cpu1 = CpuDoProcesso(), thr1 = CpuDaThread();
    long rss1 = RssKb();
    status(&s, &e, &tam, &prog, texto);
    const double tamanhoMb = tam / 1048576.0;
    std::printf("waited reading: result %d, %d bytes (%.1f MB) in %.2f s = %.1f MB/s\n", r, tam, tamanhoMb,
                t1 - t0, tamanhoMb / (t1 - t0));
    std::printf("  CPU of the process %.2f s (the reader's thread), of the waiting host thread %.4f s\n",
                cpu1 - cpu0, thr1 - thr0);
    std::printf("  resident memory before %ld kB, after %ld kB (dump of %.1f MB written as it came)\n", rss0,
                rss1, tamanhoMb);

    // 2. A reading that does not wait, polled by a host thread as fast as it can go.
    std::atomic<long> polls{0};
    double t2 = Agora();
    r = le(dump.c_str(), kSerie, 0);
    std::thread poller([&] {
        int ps = 0, pe = 0, pt = 0, pp = 0, ultimo = 0;
        char pt_[129];
        while (true) {
            status(&ps, &pe, &pt, &pp, pt_);
            ++polls;
            if (pp < ultimo) std::printf("  progress went back: %d after %d\n", pp, ultimo);
            ultimo = pp;
            if (ps == 256 || ps == 512 || ps == 1024) break;
        }
    });
    poller.join();
    double t3 = Agora();
    long rss2 = RssKb();
    std::printf("polled reading: result %d, %.2f s with %ld status polls = %.0f polls/s\n", r, t3 - t2,
                polls.load(), polls.load() / (t3 - t2));
    std::printf("  resident memory after %ld kB\n", rss2);

    if (write(fim[1], &c, 1) != 1) return 1;
    int estado = 0;
    waitpid(filho, &estado, 0);
    // The library stays loaded: its reading worker and its static objects end with the
    // process, not with an unload under their feet.
    std::fflush(stdout);
    std::filesystem::remove_all(pasta);
    return 0;
}
