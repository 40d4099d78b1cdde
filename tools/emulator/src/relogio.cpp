#include "emulador/relogio.h"

#include <cstdio>
#include <ctime>

namespace emulador {

namespace {
// Days from civil date (proleptic Gregorian), after H. Hinnant's algorithm.
std::int64_t DiasDeCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}
void CivilDeDias(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}
int DiasNoMes(int ano, int mes) {
    static const int k[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool bissexto = (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
    return mes == 2 && bissexto ? 29 : k[mes - 1];
}
}  // namespace

std::int64_t DataHora::Segundos() const {
    return DiasDeCivil(ano, static_cast<unsigned>(mes), static_cast<unsigned>(dia)) * 86400 + hora * 3600 +
           minuto * 60 + segundo;
}

DataHora DataHora::DeSegundos(std::int64_t s) {
    DataHora d;
    std::int64_t dias = s >= 0 ? s / 86400 : (s - 86399) / 86400;
    std::int64_t resto = s - dias * 86400;
    CivilDeDias(dias, d.ano, d.mes, d.dia);
    d.hora = static_cast<int>(resto / 3600);
    d.minuto = static_cast<int>(resto % 3600 / 60);
    d.segundo = static_cast<int>(resto % 60);
    return d;
}

std::string DataHora::Data() const {
    char b[16];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", dia, mes, ano);
    return b;
}
std::string DataHora::Hora() const {
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", hora, minuto, segundo);
    return b;
}
std::string DataHora::DDMMAA() const {
    char b[16];
    std::snprintf(b, sizeof b, "%02d%02d%02d", dia, mes, ano % 100);
    return b;
}

bool DataHora::LeData(const std::string& t, bool ajustaDia) {
    int d = 0, m = 0, a = 0;
    char x, y;
    int n = 0;
    if (std::sscanf(t.c_str(), "%2d%c%2d%c%d%n", &d, &x, &m, &y, &a, &n) != 5 || x != '/' || y != '/' ||
        static_cast<std::size_t>(n) != t.size())
        return false;
    if (t.size() == 8)
        a += 2000;
    else if (t.size() != 10)
        return false;
    if (m < 1 || m > 12 || d < 1 || d > 31 || a < 1900) return false;
    if (d > DiasNoMes(a, m)) {
        if (!ajustaDia) return false;
        d = DiasNoMes(a, m);
    }
    dia = d, mes = m, ano = a;
    return true;
}

bool DataHora::LeHora(const std::string& t) {
    int h = 0, m = 0, s = 0;
    char x, y;
    int n = 0;
    if (t.size() != 8 || std::sscanf(t.c_str(), "%2d%c%2d%c%2d%n", &h, &x, &m, &y, &s, &n) != 5 || x != ':' ||
        y != ':' || n != 8)
        return false;
    if (h > 23 || m > 59 || s > 59 || h < 0 || m < 0 || s < 0) return false;
    hora = h, minuto = m, segundo = s;
    return true;
}

bool operator==(const DataHora& a, const DataHora& b) {
    return a.Segundos() == b.Segundos();
}

DataHora AgoraLocal() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    DataHora d;
    d.ano = tm.tm_year + 1900, d.mes = tm.tm_mon + 1, d.dia = tm.tm_mday;
    d.hora = tm.tm_hour, d.minuto = tm.tm_min, d.segundo = tm.tm_sec;
    return d;
}

}  // namespace emulador
