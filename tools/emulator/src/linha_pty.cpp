#include "emulador/linha_pty.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "emulador/portao.h"
#include "terminal.h"

namespace emulador {

int BaudDaVelocidade(unsigned velocidade) {
    switch (velocidade) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        default:
            return 0;
    }
}

LinhaPty::~LinhaPty() {
    Para();
}

bool LinhaPty::Inicia(const std::string& pasta, const std::string& porta, AoReceber aoReceber) {
    Para();
    std::string dispositivo;
    aoReceber_ = std::move(aoReceber);
    return IniciaLinha(
        pasta, porta, mestre_, escravo_, dispositivo, link_, acorda_, fio_, [this] { Serve(); }, erro_);
}

void LinhaPty::Para() {
    EncerraLinha(fio_, acorda_, mestre_, escravo_, link_);
}

void LinhaPty::Escreve(const std::string& bytes) {
    std::lock_guard<std::mutex> g(escrita_);
    EscreveNoMestre(mestre_, acorda_[0], bytes);
}

bool LinhaPty::Dorme(int ms) {
    return DormeAteAcordar(acorda_[0], ms);
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
