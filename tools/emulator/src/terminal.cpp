#include "terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <shared_mutex>

#include "emulador/portao.h"

namespace emulador {

namespace fs = std::filesystem;

namespace {
// How long a write waits for a reader to make room before the rest is given up.
constexpr int kEsperaEscritaMs = 1000;
}  // namespace

void FechaDescritor(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::thread FioDoServidor(std::function<void()> serve) {
    // Until the new thread holds the gate, a fork could catch it starting up inside the
    // allocator; so this thread holds the gate for it until it has its own hold.
    std::shared_lock<std::shared_mutex> ateSegurar(portao_detalhe::Portao());
    auto segurando = std::make_shared<std::promise<void>>();  // the thread's own copy outlives the wait
    std::future<void> pronto = segurando->get_future();
    std::thread fio([serve = std::move(serve), segurando]() mutable {
        TrabalhoDoServidor trabalho;
        segurando->set_value();
        segurando.reset();
        serve();
        serve = nullptr;  // freed while the gate is still held
    });
    pronto.wait();
    return fio;
}

void ParaServidor(std::thread& fio, int (&acorda)[2]) {
    if (fio.joinable()) {
        char c = 1;
        [[maybe_unused]] ssize_t n = ::write(acorda[1], &c, 1);
        fio.join();
    }
    FechaDescritor(acorda[0]), FechaDescritor(acorda[1]);
}

bool AbreTerminal(const std::string& pasta, const std::string& porta, int& mestre, int& escravo,
                  std::string& dispositivo, std::string& link, std::string& erro) {
    std::error_code ec;
    fs::create_directories(pasta, ec);
    if (::openpty(&mestre, &escravo, nullptr, nullptr, nullptr) != 0) {
        erro = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    // The slave starts in cooked mode; a raw line keeps LF as LF and stops any echo.
    termios t{};
    ::tcgetattr(escravo, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(escravo, TCSANOW, &t);
    ::fcntl(mestre, F_SETFL, ::fcntl(mestre, F_GETFL) | O_NONBLOCK);
    ::fcntl(mestre, F_SETFD, FD_CLOEXEC);
    ::fcntl(escravo, F_SETFD, FD_CLOEXEC);
    char nome[256] = {};
    if (::ttyname_r(escravo, nome, sizeof nome) != 0) {
        erro = "ttyname do escravo falhou";
        FechaDescritor(mestre), FechaDescritor(escravo);
        return false;
    }
    const std::string alvo = (fs::path(pasta) / porta).string();
    RemoveLink(alvo);
    fs::create_symlink(nome, alvo, ec);
    if (ec) {
        erro = "link " + alvo + ": " + ec.message();
        FechaDescritor(mestre), FechaDescritor(escravo);
        return false;
    }
    dispositivo = nome;
    link = alvo;
    return true;
}

void RemoveLink(const std::string& link) {
    std::error_code ec;
    if (!link.empty() && fs::is_symlink(fs::symlink_status(link, ec))) fs::remove(link, ec);
}

bool IniciaLinha(const std::string& pasta, const std::string& porta, int& mestre, int& escravo,
                 std::string& dispositivo, std::string& link, int (&acorda)[2], std::thread& fio,
                 std::function<void()> serve, std::string& erro) {
    if (!AbreTerminal(pasta, porta, mestre, escravo, dispositivo, link, erro)) return false;
    if (::pipe2(acorda, O_CLOEXEC) != 0) {
        erro = "pipe";
        RemoveLink(link);
        link.clear();
        FechaDescritor(mestre), FechaDescritor(escravo);
        return false;
    }
    fio = FioDoServidor(std::move(serve));
    return true;
}

void EncerraLinha(std::thread& fio, int (&acorda)[2], int& mestre, int& escravo, std::string& link) {
    ParaServidor(fio, acorda);
    FechaDescritor(mestre), FechaDescritor(escravo);
    RemoveLink(link);
    link.clear();
}

bool DormeAteAcordar(int acorda, int ms) {
    if (ms <= 0) return true;
    pollfd p{acorda, POLLIN, 0};
    const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (true) {
        const auto falta =
            std::chrono::duration_cast<std::chrono::milliseconds>(fim - std::chrono::steady_clock::now())
                .count();
        if (falta <= 0) return true;
        const int r = Espera(&p, 1, static_cast<int>(falta));
        if (r > 0) return false;
        if (r < 0 && errno != EINTR) return true;
    }
}

std::size_t EscreveNoMestre(int mestre, int acorda, const std::string& bytes) {
    std::size_t feito = 0;
    while (feito < bytes.size()) {
        const ssize_t n = ::write(mestre, bytes.data() + feito, bytes.size() - feito);
        if (n > 0) {
            feito += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p[2] = {{mestre, POLLOUT, 0}, {acorda, POLLIN, 0}};
            if (Espera(p, 2, kEsperaEscritaMs) <= 0 || (p[1].revents & POLLIN)) break;
            continue;
        }
        break;
    }
    return feito;
}

}  // namespace emulador
