#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace plataforma {

std::string ConverteCodigo(const std::string& texto, const char* de, const char* para) {
    if (texto.empty()) return texto;
    std::string destino = std::string(para) + "//TRANSLIT";
    iconv_t cd = ::iconv_open(destino.c_str(), de);
    if (cd == reinterpret_cast<iconv_t>(-1)) return texto;
    std::string saida;
    saida.reserve(texto.size() * 2);
    char* entrada = const_cast<char*>(texto.data());
    std::size_t restaEntrada = texto.size();
    char buffer[1024];
    while (restaEntrada > 0) {
        char* out = buffer;
        std::size_t restaSaida = sizeof buffer;
        std::size_t r = ::iconv(cd, &entrada, &restaEntrada, &out, &restaSaida);
        saida.append(buffer, static_cast<std::size_t>(out - buffer));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // A byte the source cannot hold or the target cannot show: one '?' and go on.
            saida += '?';
            ++entrada;
            --restaEntrada;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ::iconv_close(cd);
    return saida;
}

std::string Cp1252ParaUtf8(const std::string& t) {
    return ConverteCodigo(t, "WINDOWS-1252", "UTF-8");
}
std::string Utf8ParaCp1252(const std::string& t) {
    return ConverteCodigo(t, "UTF-8", "WINDOWS-1252");
}
std::string Cp1252ParaCp850(const std::string& t) {
    return ConverteCodigo(t, "WINDOWS-1252", "CP850");
}
std::string Cp850ParaCp1252(const std::string& t) {
    return ConverteCodigo(t, "CP850", "WINDOWS-1252");
}

}  // namespace plataforma
