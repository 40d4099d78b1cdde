// Clocks: the monotonic clock for time-outs, the local calendar for logs and dates.
#pragma once

#include <cstdint>

namespace plataforma {

// Milliseconds on the monotonic clock (never goes back, unaffected by clock changes).
std::int64_t Monotonico();

void Dorme(int milissegundos);

// The blocking waits this thread has begun in this folder's calls (sleeps, waits for a
// serial line, for a watched file), how many of the waits for an event ran out their time
// instead, and how many a file-system notification of the watched file ended. Tests bound a
// wait's behaviour with them: a wait that spins shows as many waits, one that missed its
// event shows a wait run out.
struct Esperas {
    std::uint64_t total = 0;
    std::uint64_t esgotadas = 0;
    std::uint64_t notificacoes = 0;
};
Esperas& EsperasDestaThread();

struct DataHora {
    int ano = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0, milissegundo = 0;
};
DataHora Agora();

// A fast-changing counter to seed random draws (the Windows performance counter).
std::uint64_t ContadorAltaResolucao();

}  // namespace plataforma
