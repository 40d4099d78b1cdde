#include "platform/vigia.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/relogio.h"

namespace plataforma {

VigiaArquivo::VigiaArquivo(const std::string& arquivo) {
    const std::size_t barra = arquivo.find_last_of('/');
    const std::string pasta = barra == std::string::npos ? "." : arquivo.substr(0, barra + 1);
    nome_ = barra == std::string::npos ? arquivo : arquivo.substr(barra + 1);
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return;
    if (::inotify_add_watch(fd_, pasta.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

VigiaArquivo::~VigiaArquivo() {
    if (fd_ >= 0) ::close(fd_);
}

void VigiaArquivo::Espera(std::int64_t prazo, int intervaloMs) {
    const std::int64_t limite = std::min(prazo, Monotonico() + std::max(intervaloMs, 1));
    for (;;) {
        const std::int64_t resta = limite - Monotonico();
        if (resta <= 0) return;
        if (fd_ < 0) {
            Dorme(static_cast<int>(resta));
            return;
        }
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(resta));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return;
        // Only events about our file end the wait; the folder's other files are ignored.
        alignas(inotify_event) char buf[4096];
        bool nosso = false;
        for (;;) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) break;
            for (ssize_t i = 0; i < n;) {
                const auto* ev = reinterpret_cast<const inotify_event*>(buf + i);
                if ((ev->mask & IN_Q_OVERFLOW) || (ev->len > 0 && nome_ == ev->name)) nosso = true;
                i += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            }
        }
        if (nosso) return;
    }
}

}  // namespace plataforma
