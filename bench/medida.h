// What the benchmarks share to measure: the sizes asked for on the command line, a scratch
// folder, the seconds of a span, the median and range over rounds (with the ratio to a
// reference timed in the same rounds), and a run of this same program in a child process of
// its own, so that the peak memory measured is the run's alone.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace bancada {

using Relogio = std::chrono::steady_clock;

// The sizes given on the command line; `padrao` when none is.
template <typename T>
std::vector<T> Tamanhos(int argc, char** argv, std::vector<T> padrao) {
    std::vector<T> r;
    for (int i = 1; i < argc; ++i) {
        if constexpr (std::is_floating_point_v<T>)
            r.push_back(std::atof(argv[i]));
        else if constexpr (sizeof(T) > sizeof(int))
            r.push_back(std::atol(argv[i]));
        else
            r.push_back(std::atoi(argv[i]));
    }
    return r.empty() ? padrao : r;
}

inline double Segundos(Relogio::duration d) {
    return std::chrono::duration<double>(d).count();
}
inline double SegundosDesde(Relogio::time_point inicio) {
    return Segundos(Relogio::now() - inicio);
}
// The monotonic clock in seconds, for spans taken as differences.
inline double Agora() {
    return Segundos(Relogio::now().time_since_epoch());
}
// CPU seconds the calling thread has used.
inline double CpuDaThread() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// A new scratch folder "<raiz>/<nome>-XXXXXX", its path ending in '/'; empty when it cannot
// be made.
inline std::string PastaTemporaria(
    const std::string& nome, const std::filesystem::path& raiz = std::filesystem::temp_directory_path()) {
    std::string modelo = (raiz / (nome + "-XXXXXX")).string();
    if (!::mkdtemp(modelo.data())) return {};
    return modelo + "/";
}

// Median and range over the rounds; with an even number of rounds the median is the mean of
// the two middle values.
struct Faixa {
    double mediana, minimo, maximo;
};
inline Faixa FaixaDe(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.front(), v.back()};
}
// The same over `quantidade / t` for each time t (a throughput from times).
inline Faixa FaixaPorSegundo(const std::vector<double>& tempos, double quantidade) {
    std::vector<double> v;
    for (double t : tempos) v.push_back(quantidade / t);
    return FaixaDe(std::move(v));
}

// The times of what is measured and of its reference, taken in the same rounds on the same
// machine and data, and how many times the reference each round took: a reference that holds
// on any machine gives figures that can be compared across machines.
struct ContraReferencia {
    std::vector<double> tempos, referencias, razoes;
    void Junta(double tempo, double referencia) {
        tempos.push_back(tempo);
        referencias.push_back(referencia);
        razoes.push_back(tempo / referencia);
    }
};

// CPU seconds (user and system) and peak resident memory in MiB of a resource use.
inline double CpuSegundos(const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
inline double PicoMiB(const rusage& u) {
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// What a run in a child process printed (one read, up to 127 bytes), how it ended and what
// it used.
struct Filho {
    bool leu = false;  // it printed something
    std::string saida;
    int estado = 0;  // as wait4 gives it
    rusage uso{};
};

// Runs this program again (a fresh program image, so that the peak memory is the run's alone)
// with `argumentos` after `argv0`, the variables of `ambiente` set in the child alone, its
// standard output into a pipe read once. Nothing when no pipe could be made.
inline std::optional<Filho> RodaDeNovo(
    const char* argv0, const std::vector<std::string>& argumentos,
    const std::vector<std::pair<std::string, std::string>>& ambiente = {}) {
    std::vector<char*> args{const_cast<char*>(argv0)};
    for (const std::string& a : argumentos) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int canal[2];
    if (::pipe(canal) != 0) return std::nullopt;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(canal[0]);
        ::dup2(canal[1], 1);
        for (const auto& [nome, valor] : ambiente) ::setenv(nome.c_str(), valor.c_str(), 1);
        ::execv("/proc/self/exe", args.data());
        ::_exit(4);
    }
    ::close(canal[1]);
    char linha[128] = {};
    ssize_t lidos = ::read(canal[0], linha, sizeof linha - 1);
    ::close(canal[0]);
    Filho f;
    ::wait4(pid, &f.estado, 0, &f.uso);
    f.leu = lidos > 0;
    f.saida = linha;
    return f;
}

// The time a child run printed as "<result> <seconds>", when it printed that with the result 1
// (it went well).
inline std::optional<double> SegundosDoFilho(const Filho& f) {
    int resultado = 0;
    double segundos = 0;
    if (!f.leu || std::sscanf(f.saida.c_str(), "%d %lf", &resultado, &segundos) != 2 || resultado != 1)
        return std::nullopt;
    return segundos;
}

// The lines of a text file.
inline long long ContaLinhas(const std::string& arquivo) {
    std::ifstream f(arquivo, std::ios::binary);
    long long linhas = 0;
    for (std::string l; std::getline(f, l);) ++linhas;
    return linhas;
}

}  // namespace bancada
