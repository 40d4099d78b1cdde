// Clocks: the monotonic clock for time-outs, the local calendar for logs and dates.
#pragma once

#include <cstdint>

namespace plataforma {

// Milliseconds on the monotonic clock (never goes back, unaffected by clock changes).
std::int64_t Monotonico();

void Dorme(int milissegundos);

struct DataHora {
    int ano = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0, milissegundo = 0;
};
DataHora Agora();

// A fast-changing counter to seed random draws (the Windows performance counter).
std::uint64_t ContadorAltaResolucao();

}  // namespace plataforma
