#include "emulador/linha_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include "emulador/portao.h"

namespace emulador {

namespace fs = std::filesystem;

namespace {
void Fecha(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}
}  // namespace

int BaudDaVelocidade(unsigned velocidade) {
    switch (velocidade) {
        case B1200: return 1200;
        case B2400: return 2400;
        case B4800: return 4800;
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        default: return 0;
    }
}

LinhaPty::~LinhaPty() { Para(); }

bool LinhaPty::Inicia(const std::string& pasta, const std::string& porta, AoReceber aoReceber) {
    Para();
    std::error_code ec;
    fs::create_directories(pasta, ec);
    if (::openpty(&mestre_, &escravo_, nullptr, nullptr, nullptr) != 0) {
        erro_ = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    // Raw line; our own slave descriptor stays open so the driver's closes never hang it up.
    termios t{};
    ::tcgetattr(escravo_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(escravo_, TCSANOW, &t);
    ::fcntl(mestre_, F_SETFL, ::fcntl(mestre_, F_GETFL) | O_NONBLOCK);
    ::fcntl(mestre_, F_SETFD, FD_CLOEXEC);
    ::fcntl(escravo_, F_SETFD, FD_CLOEXEC);
    char nome[256] = {};
    if (::ttyname_r(escravo_, nome, sizeof nome) != 0 || ::pipe2(acorda_, O_CLOEXEC) != 0) {
        erro_ = "ttyname/pipe";
        Para();
        return false;
    }
    link_ = (fs::path(pasta) / porta).string();
    if (fs::is_symlink(fs::symlink_status(link_, ec))) fs::remove(link_, ec);
    fs::create_symlink(nome, link_, ec);
    if (ec) {
        erro_ = "link " + link_ + ": " + ec.message();
        link_.clear();
        Para();
        return false;
    }
    aoReceber_ = std::move(aoReceber);
    fio_ = std::thread([this] {
        emulador::TrabalhoDoServidor trabalho;
        Serve();
    });
    return true;
}

void LinhaPty::Para() {
    if (fio_.joinable()) {
        char c = 1;
        [[maybe_unused]] ssize_t n = ::write(acorda_[1], &c, 1);
        fio_.join();
    }
    Fecha(acorda_[0]), Fecha(acorda_[1]);
    Fecha(mestre_), Fecha(escravo_);
    if (!link_.empty()) {
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(link_, ec))) fs::remove(link_, ec);
        link_.clear();
    }
}

void LinhaPty::Escreve(const std::string& bytes) {
    std::lock_guard<std::mutex> g(escrita_);
    std::size_t feito = 0;
    while (feito < bytes.size()) {
        ssize_t n = ::write(mestre_, bytes.data() + feito, bytes.size() - feito);
        if (n > 0) {
            feito += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        pollfd p{mestre_, POLLOUT, 0};
        if (Espera(&p, 1, 1000) <= 0) return;
    }
}

bool LinhaPty::Dorme(int ms) {
    if (ms <= 0) return true;
    pollfd p{acorda_[0], POLLIN, 0};
    const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (true) {
        const auto falta =
            std::chrono::duration_cast<std::chrono::milliseconds>(fim - std::chrono::steady_clock::now()).count();
        if (falta <= 0) return true;
        const int r = Espera(&p, 1, static_cast<int>(falta));
        if (r > 0) return false;
        if (r < 0 && errno != EINTR) return true;
    }
}

void LinhaPty::Serve() {
    while (true) {
        pollfd p[2] = {{mestre_, POLLIN, 0}, {acorda_[0], POLLIN, 0}};
        const int r = Espera(p, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (p[1].revents & POLLIN)) return;
        if (!(p[0].revents & POLLIN)) {
            // The driver's side closed (POLLHUP): wait a little instead of spinning on it.
            if (!Dorme(5)) return;
            continue;
        }
        char b[4096];
        const ssize_t n = ::read(mestre_, b, sizeof b);
        if (n <= 0) continue;
        // The master reports the line settings that the driver gave the slave.
        termios t{};
        ::tcgetattr(mestre_, &t);
        aoReceber_(std::string(b, static_cast<std::size_t>(n)), BaudDaVelocidade(::cfgetospeed(&t)));
    }
}

}  // namespace emulador
