// The fork gate of the serving threads. Tests run the library in a child made with fork()
// while the emulator serves in the parent; a child inherits whatever lock a serving thread
// held at that instant, and an allocator built with the sanitizers does not reset its own
// locks at fork. So a serving thread holds the gate (shared) while it works and lets go of
// it only while it waits in poll(), and a fork() anywhere in the process first takes the gate
// for itself: the child starts while every serving thread is waiting, holding nothing.
#pragma once

#include <poll.h>
#include <pthread.h>

#include <cerrno>
#include <mutex>
#include <new>
#include <shared_mutex>

namespace emulador {

namespace portao_detalhe {

inline std::shared_mutex& Portao() {
    static std::shared_mutex m;
    return m;
}

inline thread_local bool segura = false;

inline void RegistraFork() {
    static std::once_flag uma;
    std::call_once(uma, [] {
        // The child cannot unlock the gate: the lock names its writer by thread id and the
        // child's one thread has a new id, so unlock() would leave it held and every serving
        // thread the child starts would wait for it for ever. The child has no other thread
        // and holds nothing, so it starts with a fresh gate instead.
        ::pthread_atfork([] { Portao().lock(); }, [] { Portao().unlock(); },
                         [] { new (&Portao()) std::shared_mutex; });
    });
}

}  // namespace portao_detalhe

// Held by a serving thread for its whole life (made first thing in the thread).
class TrabalhoDoServidor {
  public:
    TrabalhoDoServidor() {
        portao_detalhe::RegistraFork();
        portao_detalhe::Portao().lock_shared();
        portao_detalhe::segura = true;
    }
    ~TrabalhoDoServidor() {
        portao_detalhe::segura = false;
        portao_detalhe::Portao().unlock_shared();
    }
    TrabalhoDoServidor(const TrabalhoDoServidor&) = delete;
    TrabalhoDoServidor& operator=(const TrabalhoDoServidor&) = delete;
};

// poll() with the gate let go while it waits (on a thread that holds it).
inline int Espera(pollfd* p, nfds_t n, int ms) {
    if (!portao_detalhe::segura) return ::poll(p, n, ms);
    portao_detalhe::Portao().unlock_shared();
    const int r = ::poll(p, n, ms);
    const int erro = errno;
    portao_detalhe::Portao().lock_shared();
    errno = erro;
    return r;
}

}  // namespace emulador
