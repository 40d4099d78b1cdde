#include "platform/processo.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "platform/relogio.h"

namespace plataforma {

namespace {
// In the environment of a restarted program, so that it never restarts again.
const char* const kReiniciado = "TARVO_REINICIADO";
}  // namespace

void ReiniciaPrograma(char** argv) {
    if (std::getenv(kReiniciado)) {
        ::unsetenv(kReiniciado);  // not passed on to the programs it starts
        return;
    }
    ::setenv(kReiniciado, "1", 1);
    ::execv("/proc/self/exe", argv);
    ::unsetenv(kReiniciado);  // the restart failed: go on as we are
}

void DefineVariavel(const char* nome, const std::string& valor) {
    ::setenv(nome, valor.c_str(), 1);
}

void RemoveVariavel(const char* nome) {
    ::unsetenv(nome);
}

int IdDoProcesso() {
    return static_cast<int>(::getpid());
}

unsigned IdDoUsuario() {
    return static_cast<unsigned>(::getuid());
}

namespace {
void AoSinal(int sinal) {
    std::_Exit(128 + sinal);
}
}  // namespace

void TerminaAoSinal() {
    struct sigaction acao {};
    acao.sa_handler = AoSinal;
    sigemptyset(&acao.sa_mask);
    ::sigaction(SIGTERM, &acao, nullptr);
    ::sigaction(SIGINT, &acao, nullptr);
}

bool AguardaFimDoProcesso(int pid, int prazoMs) {
    if (pid <= 0 || pid == static_cast<int>(::getpid())) return true;
    const std::int64_t fim = Monotonico() + (prazoMs < 0 ? 0 : prazoMs);
#ifdef SYS_pidfd_open
    // A descriptor of the process becomes readable when it ends.
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        // A signal cuts the poll short: wait again only for what is left until the deadline, so
        // signals cannot stretch the wait.
        pollfd p{fd, POLLIN, 0};
        int r;
        do {
            const std::int64_t resta = fim - Monotonico();
            r = ::poll(&p, 1, resta > 0 ? static_cast<int>(resta) : 0);
        } while (r < 0 && errno == EINTR);
        ::close(fd);
        return r > 0;
    }
    if (errno == ESRCH) return true;
#endif
    // Kernels without process descriptors: ask at short intervals until the end of the wait.
    constexpr int kIntervaloMs = 50;
    while (::kill(pid, 0) == 0 || errno == EPERM) {
        if (Monotonico() >= fim) return false;
        Dorme(kIntervaloMs);
    }
    return true;
}

}  // namespace plataforma
