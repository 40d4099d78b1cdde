// Pieces shared by the files of this folder that keep descriptors open between calls.
#pragma once

#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string_view>

namespace plataforma {

// All of `texto` written at `posicao` of `fd`, the write taken up again where a signal or a
// short write left it; false when the write fails.
inline bool EscreveEm(int fd, std::string_view texto, off_t posicao) {
    std::size_t feito = 0;
    while (feito < texto.size()) {
        ssize_t n =
            ::pwrite(fd, texto.data() + feito, texto.size() - feito, posicao + static_cast<off_t>(feito));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        feito += static_cast<std::size_t>(n);
    }
    return true;
}

// flock() on `fd` with `modo`, tried again when a signal interrupts the wait.
inline void TravaDescritor(int fd, int modo) {
    while (::flock(fd, modo) != 0 && errno == EINTR) {
    }
}

// Descriptors this process keeps open from call to call (`T`, which closes them in
// `Esquece()`), shared by all threads, with the mutex that serialises their use (a flock
// belongs to the open file, which all threads share). A child of fork() would share them
// with its parent, locks included, so the child forgets them and opens its own.
template <typename T>
struct Guardado {
    static T& Estado() {
        static T t;
        return t;
    }
    static std::mutex& Trava() {
        static std::mutex m;
        static const int registrado = ::pthread_atfork([] { m.lock(); }, [] { m.unlock(); },
                                                       [] {
                                                           Estado().Esquece();
                                                           m.unlock();
                                                       });
        (void)registrado;
        return m;
    }
};

}  // namespace plataforma
