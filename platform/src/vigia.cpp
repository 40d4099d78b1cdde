#include "platform/vigia.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/relogio.h"

namespace plataforma {

namespace {

// Whether a folder lies on a file system whose changes may come from another machine.
bool PastaRemota(const std::string& pasta) {
    struct statfs fs {};
    if (::statfs(pasta.c_str(), &fs) != 0) return true;  // unknown: look as often as for a share
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x6969UL:      // NFS
        case 0x517BUL:      // SMB
        case 0xFF534D42UL:  // CIFS
        case 0xFE534D42UL:  // SMB2
        case 0x65735546UL:  // FUSE (sshfs and the like)
        case 0x01021997UL:  // 9P
        case 0x00C36400UL:  // Ceph
        case 0x5346414FUL:  // AFS
            return true;
        default:
            return false;
    }
}

// How often a local folder with notifications is looked at all the same.
constexpr int kIntervaloLocalMs = 1000;

}  // namespace

VigiaArquivo::VigiaArquivo(const std::string& arquivo) : arquivo_(arquivo) {
    const std::size_t barra = arquivo.find_last_of('/');
    const std::string pasta = barra == std::string::npos ? "." : arquivo.substr(0, barra + 1);
    nome_ = barra == std::string::npos ? arquivo : arquivo.substr(barra + 1);
    remota_ = PastaRemota(pasta);
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return;
    if (::inotify_add_watch(fd_, pasta.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool VigiaArquivo::Existe() const {
    struct stat st {};
    return ::stat(arquivo_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

VigiaArquivo::~VigiaArquivo() {
    if (fd_ >= 0) ::close(fd_);
}

void VigiaArquivo::Espera(std::int64_t prazo, int intervaloMs) {
    const int intervalo = fd_ >= 0 && !remota_ ? kIntervaloLocalMs : std::max(intervaloMs, 1);
    const std::int64_t limite = std::min(prazo, Monotonico() + intervalo);
    for (;;) {
        const std::int64_t resta = limite - Monotonico();
        if (resta <= 0) return;
        if (fd_ < 0) {
            Dorme(static_cast<int>(resta));
            return;
        }
        pollfd p{fd_, POLLIN, 0};
        ++EsperasDestaThread().total;
        const int r = ::poll(&p, 1, static_cast<int>(resta));
        if (r < 0 && errno == EINTR) continue;
        if (r == 0) ++EsperasDestaThread().esgotadas;
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
        if (nosso) {
            ++EsperasDestaThread().notificacoes;
            return;
        }
    }
}

}  // namespace plataforma
