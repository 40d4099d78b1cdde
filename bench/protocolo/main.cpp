// How much the library itself costs per command, against what the wire costs.
//
// For each program folder given (tmpfs and a disk by default) and each size of TARVO.INI
// (1 KB and 19 KB), a child process starts the emulator on a pseudo-terminal, loads the
// library with dlopen (TARVO_HOME and TARVO_DEVDIR pointing at a scratch folder there) and
// alternates, round after round, two measurements on the same line and the same emulator:
//   - the bare round trip: the same frame written to the pty by hand and its reply read back,
//     the port kept open (what any program must pay to talk to this printer);
//   - the library's round trip through Tarvo_ExecutaLeitura (port opened and closed, packet
//     number stored in TARVO.INI, reply decoded, RETORNO.TXT written).
// The library's overhead is the difference, shown against the wire time of that frame and
// reply at 115200 and 9600 baud (11 bits a character). Medians and ranges are over rounds.
// The CPU time of the calling thread is taken for both, and its difference shown too: on a
// loaded machine it moves less than the wall time, which also holds the waits for a core.
// Then the user-space instructions the library runs per command, counted by callgrind
// (when valgrind is installed), with each size of TARVO.INI.
//
//   bench_protocolo [--comandos N] [--rodadas R] [--pastas DIR,DIR...] [--sem-instrucoes]
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define TARVO_CALLGRIND 1
#endif

#include "emulador/emulador.h"
#include "medida.h"

namespace {

using Leitura = int (*)(const char*, const char*, char*);

using bancada::Agora;
using bancada::CpuDaThread;
using bancada::Faixa;
using bancada::FaixaDe;

const char* const kComando = "LeInteiro";
const char* const kParametros = "NomeInteiro=\"COO\"";

// A settings file of about `bytes` bytes: the keys the library uses, then a long section of
// the host program's own (a product table, as point-of-sale programs keep there).
std::string ArquivoIni(std::size_t bytes) {
    std::string t =
        "[Sistema]\r\nModeloImp=TARVO_RIX\r\nPorta=COM1\r\nTimeOutComandos=10\r\n[Flags]\r\nNumPkt=1\r\n";
    if (bytes > t.size()) t += "[Produtos]\r\n";
    for (int i = 0; t.size() < bytes; ++i)
        t += "Produto" + std::to_string(i) + "=ACUCAR REFINADO 1KG;4,99\r\n";
    return t;
}

struct Ambiente {
    std::string pasta;
    emulador::Emulador emulador;
    void* lib = nullptr;
    Leitura leitura = nullptr;

    bool Prepara(const std::string& raiz, std::size_t bytesIni) {
        std::string modelo = raiz + "/tarvo-bench-XXXXXX";
        if (!mkdtemp(modelo.data())) return false;
        pasta = modelo + "/";
        std::filesystem::create_directory(pasta + "dev");
        setenv("TARVO_HOME", pasta.c_str(), 1);
        setenv("TARVO_DEVDIR", (pasta + "dev").c_str(), 1);
        std::ofstream(pasta + "TARVO.INI", std::ios::binary) << ArquivoIni(bytesIni);
        if (!emulador.Inicia(pasta + "dev", "COM1")) {
            std::fprintf(stderr, "emulator: %s\n", emulador.Erro().c_str());
            return false;
        }
        lib = dlopen(TARVO_LIB, RTLD_NOW);
        if (!lib) {
            std::fprintf(stderr, "%s\n", dlerror());
            return false;
        }
        leitura = reinterpret_cast<Leitura>(dlsym(lib, "Tarvo_ExecutaLeitura"));
        return leitura != nullptr;
    }
    ~Ambiente() {
        emulador.Para();
        std::error_code ec;
        if (!pasta.empty()) std::filesystem::remove_all(pasta, ec);
    }
};

// The bare exchange: the port opened once, a frame written, the reply read to its '}'.
class PortaNua {
  public:
    explicit PortaNua(const std::string& link) {
        fd_ = open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~PortaNua() {
        if (fd_ >= 0) close(fd_);
    }
    bool Aberta() const { return fd_ >= 0; }
    // Bytes of the reply, or 0 when none came within a second.
    std::size_t Troca(int pacote) {
        std::string corpo = std::to_string(pacote) + ";" + kComando + ";" + kParametros + ";";
        std::string quadro = "{" + corpo + std::to_string(corpo.size()) + "}";
        tamanhoQuadro = quadro.size();
        if (write(fd_, quadro.data(), quadro.size()) != static_cast<ssize_t>(quadro.size())) return 0;
        std::string r;
        char buf[512];
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 1000) <= 0) return 0;
            ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0) return 0;
            r.append(buf, static_cast<std::size_t>(n));
            if (r.back() == '}' && std::count(r.begin(), r.end(), ';') >= 3) return r.size();
        }
    }
    std::size_t tamanhoQuadro = 0;

  private:
    int fd_ = -1;
};

struct Rodada {
    double nua = 0, biblioteca = 0, cpuNua = 0, cpu = 0;  // seconds per command
};

struct Resultado {
    bool ok = false;
    std::size_t quadro = 0, resposta = 0;
    std::vector<Rodada> rodadas;
    double esperaParede = 0, esperaCpu = 0;
};

Resultado Mede(const std::string& raiz, std::size_t bytesIni, int comandos, int rodadas) {
    Resultado r;
    Ambiente a;
    if (!a.Prepara(raiz, bytesIni)) return r;
    char resposta[4096];
    for (int i = 0; i < 50; ++i)  // the spacing command goes out first; warm caches
        if (a.leitura(kComando, kParametros, resposta) != 1) return r;
    int pacote = 1;
    for (int k = 0; k < rodadas; ++k) {
        Rodada d;
        {
            PortaNua porta(a.pasta + "dev/COM1");
            if (!porta.Aberta()) return r;
            for (int i = 0; i < 20; ++i) porta.Troca(pacote = pacote % 255 + 1);
            const double t0 = Agora(), c0 = CpuDaThread();
            for (int i = 0; i < comandos; ++i)
                if ((r.resposta = porta.Troca(pacote = pacote % 255 + 1)) == 0) return r;
            d.nua = (Agora() - t0) / comandos;
            d.cpuNua = (CpuDaThread() - c0) / comandos;
            r.quadro = porta.tamanhoQuadro;
        }
        const double t0 = Agora(), c0 = CpuDaThread();
        for (int i = 0; i < comandos; ++i)
            if (a.leitura(kComando, kParametros, resposta) != 1) return r;
        d.biblioteca = (Agora() - t0) / comandos;
        d.cpu = (CpuDaThread() - c0) / comandos;
        r.rodadas.push_back(d);
        a.emulador.LimpaRegistros();
    }
    // A reply held back 2 s: what the wait costs in CPU.
    a.emulador.Atrasa(2000, 1);
    const double t1 = Agora(), c1 = CpuDaThread();
    if (a.leitura(kComando, "NomeInteiro=\"CRZ\"", resposta) != 1) return r;
    r.esperaParede = Agora() - t1;
    r.esperaCpu = CpuDaThread() - c1;
    r.ok = true;
    return r;
}

// Runs `f` in a child process and hands its result back through a pipe (each measurement
// needs a fresh load of the library with its own TARVO_HOME).
Resultado EmFilho(const std::string& raiz, std::size_t bytesIni, int comandos, int rodadas) {
    int cano[2];
    if (pipe(cano) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        close(cano[0]);
        Resultado r = Mede(raiz, bytesIni, comandos, rodadas);
        std::ostringstream s;
        s << r.ok << ' ' << r.quadro << ' ' << r.resposta << ' ' << r.esperaParede << ' ' << r.esperaCpu
          << ' ' << r.rodadas.size();
        for (const Rodada& d : r.rodadas)
            s << ' ' << d.nua << ' ' << d.biblioteca << ' ' << d.cpuNua << ' ' << d.cpu;
        const std::string t = s.str();
        ssize_t w = write(cano[1], t.data(), t.size());
        _exit(w == static_cast<ssize_t>(t.size()) ? 0 : 1);
    }
    close(cano[1]);
    std::string t;
    char buf[4096];
    for (ssize_t n; (n = read(cano[0], buf, sizeof buf)) > 0;) t.append(buf, static_cast<std::size_t>(n));
    close(cano[0]);
    waitpid(pid, nullptr, 0);
    Resultado r;
    std::istringstream s(t);
    std::size_t n = 0;
    s >> r.ok >> r.quadro >> r.resposta >> r.esperaParede >> r.esperaCpu >> n;
    for (std::size_t i = 0; i < n; ++i) {
        Rodada d;
        s >> d.nua >> d.biblioteca >> d.cpuNua >> d.cpu;
        r.rodadas.push_back(d);
    }
    return r;
}

std::string Texto(const Faixa& f, double escala, const char* formato) {
    char a[32], b[32], c[32];
    std::snprintf(a, sizeof a, formato, f.mediana * escala);
    std::snprintf(b, sizeof b, formato, f.minimo * escala);
    std::snprintf(c, sizeof c, formato, f.maximo * escala);
    return std::string(a) + " (" + b + "-" + c + ")";
}

// --- instruction count under callgrind ----------------------------------------------------------

int FilhoInstrucoes(const std::string& raiz, std::size_t bytesIni, int comandos) {
    Ambiente a;
    if (!a.Prepara(raiz, bytesIni)) return 1;
    char resposta[4096];
    for (int i = 0; i < 20; ++i)
        if (a.leitura(kComando, kParametros, resposta) != 1) return 2;
#ifdef TARVO_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
#endif
    for (int i = 0; i < comandos; ++i)
        if (a.leitura(kComando, kParametros, resposta) != 1) return 3;
#ifdef TARVO_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
#endif
    return 0;
}

// Instructions per command of the calling thread (the library's), or -1.
double Instrucoes(const char* programa, const std::string& raiz, std::size_t bytesIni, int comandos) {
    std::string modelo = "/tmp/tarvo-cg-XXXXXX";
    if (!mkdtemp(modelo.data())) return -1;
    const std::string saida = modelo + "/cg";
    const std::string linha =
        "valgrind --tool=callgrind --collect-atstart=no --separate-threads=yes "
        "--callgrind-out-file=" +
        saida + " '" + programa + "' --filho-instrucoes '" + raiz + "' " + std::to_string(bytesIni) + " " +
        std::to_string(comandos) + " >/dev/null 2>&1";
    double r = -1;
    if (std::system(linha.c_str()) == 0) {
        // Thread 1 is the caller's; the emulator answers on another thread.
        for (auto& e : std::filesystem::directory_iterator(modelo)) {
            const std::string nome = e.path().filename().string();
            if (nome.size() < 3 || nome.substr(nome.size() - 3) != "-01") continue;
            std::ifstream f(e.path());
            for (std::string l; std::getline(f, l);)
                if (l.rfind("totals:", 0) == 0 || l.rfind("summary:", 0) == 0)
                    r = std::atof(l.c_str() + l.find(':') + 1);
        }
    }
    std::filesystem::remove_all(modelo);
    return r < 0 ? -1 : r / comandos;
}

std::string SistemaDeArquivos(const std::string& pasta) {
    std::string tipo = "?", melhor;
    std::ifstream m("/proc/mounts");
    std::string dispositivo, ponto, fs, resto;
    while (m >> dispositivo >> ponto >> fs && std::getline(m, resto))
        if (pasta.rfind(ponto, 0) == 0 && ponto.size() >= melhor.size()) melhor = ponto, tipo = fs;
    return tipo;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--filho-instrucoes")
        return FilhoInstrucoes(argv[2], std::strtoul(argv[3], nullptr, 10), std::atoi(argv[4]));

    int comandos = 1000, rodadas = 7;
    bool instrucoes = true;
    std::vector<std::string> pastas = {"/dev/shm", "/tmp"};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--comandos" && i + 1 < argc) {
            comandos = std::atoi(argv[++i]);
        } else if (a == "--rodadas" && i + 1 < argc) {
            rodadas = std::atoi(argv[++i]);
        } else if (a == "--pastas" && i + 1 < argc) {
            pastas.clear();
            std::stringstream s(argv[++i]);
            for (std::string p; std::getline(s, p, ',');) pastas.push_back(p);
        } else if (a == "--sem-instrucoes") {
            instrucoes = false;
        } else {
            std::fprintf(stderr,
                         "uso: %s [--comandos N] [--rodadas R] [--pastas DIR,DIR] [--sem-instrucoes]\n",
                         argv[0]);
            return 2;
        }
    }

    std::printf("%d rounds of %d commands (LeInteiro COO); median (min-max) over the rounds\n\n", rodadas,
                comandos);
    std::printf("%-18s %-5s %-22s %-22s %-22s %-16s %-16s %-20s %-20s\n", "folder", "INI", "bare pty us",
                "library us", "overhead us", "% wire 115200", "% wire 9600", "library CPU us",
                "CPU over bare us");
    for (const std::string& pasta : pastas) {
        for (std::size_t bytes : {std::size_t{1024}, std::size_t{19 * 1024}}) {
            Resultado r = EmFilho(pasta, bytes, comandos, rodadas);
            if (!r.ok || r.rodadas.empty()) {
                std::printf("%s: the measurement failed\n", pasta.c_str());
                return 1;
            }
            std::vector<double> nua, bib, extra, cpu, cpuExtra;
            for (const Rodada& d : r.rodadas) {
                nua.push_back(d.nua);
                bib.push_back(d.biblioteca);
                extra.push_back(d.biblioteca - d.nua);
                cpu.push_back(d.cpu);
                cpuExtra.push_back(d.cpu - d.cpuNua);
            }
            const double caracteres = static_cast<double>(r.quadro + r.resposta);
            const double fio115200 = caracteres * 11 / 115200, fio9600 = caracteres * 11 / 9600;
            const Faixa fe = FaixaDe(extra);
            const std::string nome = pasta + " (" + SistemaDeArquivos(pasta) + ")";
            std::printf("%-18s %-5s %-22s %-22s %-22s %-16s %-16s %-20s %-20s\n", nome.c_str(),
                        bytes == 1024 ? "1K" : "19K", Texto(FaixaDe(nua), 1e6, "%.1f").c_str(),
                        Texto(FaixaDe(bib), 1e6, "%.1f").c_str(), Texto(fe, 1e6, "%.1f").c_str(),
                        Texto(fe, 100 / fio115200, "%.2f").c_str(), Texto(fe, 100 / fio9600, "%.3f").c_str(),
                        Texto(FaixaDe(cpu), 1e6, "%.1f").c_str(),
                        Texto(FaixaDe(cpuExtra), 1e6, "%.1f").c_str());
            if (bytes == 1024 && &pasta == &pastas.front()) {
                std::printf(
                    "  (frame %zu + reply %zu characters: wire %.2f ms at 115200, %.1f ms at 9600;"
                    " a reply held back 2 s cost %.2f ms of CPU, %.3f%% of the wait)\n",
                    r.quadro, r.resposta, fio115200 * 1e3, fio9600 * 1e3, r.esperaCpu * 1e3,
                    100 * r.esperaCpu / r.esperaParede);
            }
        }
    }

    if (instrucoes) {
        std::printf("\nuser-space instructions per command (callgrind, the calling thread):\n");
        if (std::system("valgrind --version >/dev/null 2>&1") != 0) {
            std::printf("  valgrind not found\n");
            return 0;
        }
#ifndef TARVO_CALLGRIND
        std::printf("  built without valgrind/callgrind.h\n");
        return 0;
#endif
        const std::string pasta = pastas.back();
        const double um = Instrucoes(argv[0], pasta, 1024, 300),
                     dezenove = Instrucoes(argv[0], pasta, 19 * 1024, 300);
        if (um <= 0 || dezenove <= 0) {
            std::printf("  the count failed\n");
            return 1;
        }
        std::printf("  TARVO.INI of 1 KB: %.0f\n  TARVO.INI of 19 KB: %.0f (%.2f times the 1 KB figure)\n",
                    um, dezenove, dezenove / um);
    }
    return 0;
}
