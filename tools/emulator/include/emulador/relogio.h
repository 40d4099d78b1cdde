// Calendar time of the printer's clock. The clock runs with the computer's but keeps its own
// offset, so that a test can put it ahead or behind, or at a fixed moment of its choosing.
#pragma once

#include <cstdint>
#include <string>

namespace emulador {

struct DataHora {
    int ano = 2000, mes = 1, dia = 1, hora = 0, minuto = 0, segundo = 0;

    // Seconds since 1 Jan 1970 counted as if the calendar had no time zone.
    std::int64_t Segundos() const;
    static DataHora DeSegundos(std::int64_t s);
    std::int64_t Dia() const { return Segundos() / 86400; }  // day number, for date comparisons

    std::string Data() const;    // dd/mm/yyyy
    std::string Hora() const;    // hh:mm:ss
    std::string DDMMAA() const;  // ddmmyy
    // Reads "dd/mm/yyyy" or "dd/mm/yy" (20yy) into the date part; false when invalid. With
    // `ajustaDia` a day up to 31 past the month's last is taken as the last (a period "up to the
    // 31st" of any month).
    bool LeData(const std::string& texto, bool ajustaDia = false);
    // Reads "hh:mm:ss" into the time part; false when invalid.
    bool LeHora(const std::string& texto);
};

bool operator==(const DataHora& a, const DataHora& b);

// The computer's local time now.
DataHora AgoraLocal();

}  // namespace emulador
