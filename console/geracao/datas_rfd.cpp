#include "console/geracao/datas_rfd.h"

#include <chrono>
#include <cstdio>

namespace belmora::geracao {

namespace {

std::chrono::year_month_day Ymd(const Data& d) {
    return std::chrono::year{d.ano} / std::chrono::month{static_cast<unsigned>(d.mes)} /
           std::chrono::day{static_cast<unsigned>(d.dia)};
}

}  // namespace

bool DataValida(const Data& d) {
    return d.ano >= 1 && d.ano <= 9999 && d.mes >= 1 && d.mes <= 12 && d.dia >= 1 && d.dia <= 31 &&
           Ymd(d).ok();
}

bool Antes(const Data& a, const Data& b) {
    if (a.ano != b.ano) return a.ano < b.ano;
    if (a.mes != b.mes) return a.mes < b.mes;
    return a.dia < b.dia;
}

Data DiaSeguinte(const Data& d) {
    std::chrono::year_month_day s{std::chrono::sys_days{Ymd(d)} + std::chrono::days{1}};
    return {static_cast<int>(s.year()), static_cast<int>(static_cast<unsigned>(s.month())),
            static_cast<int>(static_cast<unsigned>(s.day()))};
}

int DiasNoPeriodo(const Data& inicio, const Data& fim) {
    if (Antes(fim, inicio)) return 0;
    return static_cast<int>((std::chrono::sys_days{Ymd(fim)} - std::chrono::sys_days{Ymd(inicio)}).count()) +
           1;
}

std::string Aaaammdd(const Data& d) {
    char b[16];
    std::snprintf(b, sizeof b, "%04d%02d%02d", d.ano % 10000, d.mes % 100, d.dia % 100);
    return b;
}

std::string Ddmmaa(const Data& d) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d%02d%02d", d.dia % 100, d.mes % 100, d.ano % 100);
    return b;
}

bool LeData(const std::string& texto, Data& d) {
    int dia = 0, mes = 0, ano = 0, lidos = 0;
    if (std::sscanf(texto.c_str(), "%2d/%2d/%4d%n", &dia, &mes, &ano, &lidos) != 3 ||
        static_cast<std::size_t>(lidos) != texto.size())
        return false;
    const std::size_t digitosAno = texto.size() - texto.rfind('/') - 1;
    if (digitosAno != 2 && digitosAno != 4) return false;
    if (digitosAno == 2) ano += 2000;
    Data r{ano, mes, dia};
    if (!DataValida(r)) return false;
    d = r;
    return true;
}

std::string AparaDireita(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

std::string NomeArquivoTDM(const std::string& serie) {
    return serie + ".TDM";
}

std::string NomeBaseRFD(const std::string& serie) {
    const std::string s = AparaDireita(serie);
    const std::string ultimos = s.size() > 5 ? s.substr(s.size() - 5) : s;
    return AparaDireita(s.substr(0, 3) + ultimos);
}

char CaractereDoValor(int v) {
    return static_cast<char>(v <= 9 ? '0' + v : v + 55);
}

std::string SufixoDoDia(const Data& d) {
    return std::string(".") + CaractereDoValor(d.dia) + CaractereDoValor(d.mes) +
           static_cast<char>('0' + d.ano % 10);
}

}  // namespace belmora::geracao
