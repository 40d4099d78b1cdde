#include "platform/relogio.h"

#include <time.h>

#include <cerrno>

namespace plataforma {

std::int64_t Monotonico() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

Esperas& EsperasDestaThread() {
    thread_local Esperas e;
    return e;
}

void Dorme(int ms) {
    if (ms <= 0) return;
    ++EsperasDestaThread().total;
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

DataHora Agora() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    tm t{};
    ::localtime_r(&ts.tv_sec, &t);
    return {t.tm_year + 1900,
            t.tm_mon + 1,
            t.tm_mday,
            t.tm_hour,
            t.tm_min,
            t.tm_sec,
            static_cast<int>(ts.tv_nsec / 1000000)};
}

std::uint64_t ContadorAltaResolucao() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ULL + static_cast<std::uint64_t>(ts.tv_nsec);
}

}  // namespace plataforma
