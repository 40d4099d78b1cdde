#include "driver/core/recusa.h"

#include <cstring>

#include "driver/core/formatadores.h"

namespace tarvo {

std::string NumeroDoChamador(const std::string& texto, const char* parametro, bool sinal, bool decimal) {
    const std::string t = Apara(texto);
    bool digitos = false, separador = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            digitos = true;
        } else if (sinal && i == 0 && (c == '-' || c == '+')) {
        } else if (decimal && !separador && (c == ',' || c == '.')) {
            separador = true;
        } else {
            throw TextoRecusado(std::string("Parametro invalido: ") + parametro);
        }
    }
    if (!t.empty() && !digitos) throw TextoRecusado(std::string("Parametro invalido: ") + parametro);
    return t;
}

void LimitaTexto(const char* texto, std::size_t maximo, const char* nome) {
    if (texto && ::strnlen(texto, maximo + 1) > maximo)
        throw TextoRecusado(std::string("Parametro invalido: ") + nome + " acima de " + std::to_string(maximo) +
                            " bytes");
}

}  // namespace tarvo
