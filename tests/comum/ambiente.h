// Test helpers: scratch folders, environment variables, pseudo-terminals and child processes.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace teste {

// A fresh folder under the system's temporary folder, removed at the end of the test.
class PastaTemporaria {
  public:
    PastaTemporaria() {
        std::string modelo = (std::filesystem::temp_directory_path() / "tarvo-XXXXXX").string();
        caminho_ = ::mkdtemp(modelo.data());
    }
    ~PastaTemporaria() {
        std::error_code ec;
        std::filesystem::remove_all(caminho_, ec);
    }
    PastaTemporaria(const PastaTemporaria&) = delete;
    PastaTemporaria& operator=(const PastaTemporaria&) = delete;
    std::string Caminho() const { return caminho_ + "/"; }
    std::string operator/(const std::string& nome) const { return caminho_ + "/" + nome; }

  private:
    std::string caminho_;
};

// Sets an environment variable for the life of the object.
class Variavel {
  public:
    Variavel(const char* nome, const std::string& valor) : nome_(nome) {
        if (const char* v = std::getenv(nome)) antigo_ = v, tinha_ = true;
        ::setenv(nome, valor.c_str(), 1);
    }
    ~Variavel() {
        if (tinha_)
            ::setenv(nome_, antigo_.c_str(), 1);
        else
            ::unsetenv(nome_);
    }

  private:
    const char* nome_;
    std::string antigo_;
    bool tinha_ = false;
};

inline std::string LeArquivo(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void EscreveArquivo(const std::string& caminho, const std::string& texto) {
    std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
    f << texto;
}

// A pseudo-terminal whose slave is reachable as <pasta>/<nome>, as a printer's port would be.
// Both sides stay open so the library's opens and closes never hang the line up.
class Pty {
  public:
    Pty(const std::string& pasta, const std::string& nome) {
        char caminho[256] = {};
        if (::openpty(&mestre_, &escravo_, caminho, nullptr, nullptr) != 0) return;
        termios t{};
        ::tcgetattr(escravo_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(escravo_, TCSANOW, &t);
        link_ = pasta + nome;
        std::filesystem::create_symlink(caminho, link_);
    }
    ~Pty() {
        if (mestre_ >= 0) ::close(mestre_);
        if (escravo_ >= 0) ::close(escravo_);
        std::error_code ec;
        std::filesystem::remove(link_, ec);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    int Mestre() const { return mestre_; }
    const std::string& Link() const { return link_; }

  private:
    int mestre_ = -1, escravo_ = -1;
    std::string link_;
};

// How many times the calling thread has blocked so far (its voluntary context switches): a
// wait that sleeps until its event shows one, one that looks again every few milliseconds
// shows hundreds.
inline long EsperasDestaThread() {
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return u.ru_nvcsw;
}

// Runs `corpo` in a child process and returns its exit status (or -1 when it died).
// Each child loads the library afresh, so its load sequence runs again.
inline int EmProcessoFilho(const std::function<int()>& corpo) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int r = 99;
        try {
            r = corpo();
        } catch (...) {
        }
        ::_exit(r);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace teste
