#include "driver/core/recusa.h"

#include <cstring>
#include <string_view>

#include "driver/core/formatadores.h"

namespace tarvo {

namespace {

bool SoDigitos(std::string_view t) {
    return t.find_first_not_of("0123456789") == std::string_view::npos;
}

// An integer part with thousands dots: one to three digits, then groups of a dot and three.
bool MilharesComPontos(std::string_view t) {
    const std::size_t primeiro = t.find('.');
    if (primeiro == 0 || primeiro > 3 || !SoDigitos(t.substr(0, primeiro))) return false;
    for (std::size_t i = primeiro; i < t.size(); i += 4)
        if (t[i] != '.' || i + 4 > t.size() || !SoDigitos(t.substr(i + 1, 3))) return false;
    return true;
}

// Digits, one decimal comma with thousands dots before it, or one decimal point.
bool FormaDecimal(std::string_view t) {
    const std::size_t virgula = t.find(',');
    if (virgula != std::string_view::npos) {
        const std::string_view inteiro = t.substr(0, virgula), fracao = t.substr(virgula + 1);
        if (!SoDigitos(fracao)) return false;
        return SoDigitos(inteiro) || MilharesComPontos(inteiro);
    }
    const std::size_t ponto = t.find('.');
    if (ponto == std::string_view::npos) return SoDigitos(t);
    return SoDigitos(t.substr(0, ponto)) && SoDigitos(t.substr(ponto + 1));
}

[[noreturn]] void Recusa(const char* parametro) {
    throw TextoRecusado(std::string("Parametro invalido: ") + parametro);
}

}  // namespace

std::string NumeroDoChamador(const std::string& texto, const char* parametro, bool sinal, bool decimal,
                             int digitos) {
    const std::string t = Apara(texto);
    if (t.empty()) return t;
    std::string_view corpo = t;
    if (sinal && (corpo.front() == '-' || corpo.front() == '+')) corpo.remove_prefix(1);
    if (!(decimal ? FormaDecimal(corpo) : SoDigitos(corpo))) Recusa(parametro);
    const std::string algarismos = SomenteNumeros(std::string(corpo));
    if (algarismos.empty()) Recusa(parametro);
    if (digitos <= 0) digitos = decimal ? kDigitosValor : kDigitosInteiro;
    if (RemoveZerosEsquerda(algarismos).size() > static_cast<std::size_t>(digitos)) Recusa(parametro);
    return t;
}

std::string ValorDoChamador(const std::string& texto, const char* parametro, int digitos) {
    return NumeroDoChamador(texto, parametro, false, true, digitos);
}

void LimitaInteiro(long long valor, long long minimo, long long maximo, const char* nome) {
    const std::string prefixo = std::string("Parametro invalido: ") + nome;
    if (valor > maximo) throw TextoRecusado(prefixo + " acima de " + std::to_string(maximo));
    if (valor < minimo) throw TextoRecusado(prefixo + " abaixo de " + std::to_string(minimo));
}

void LimitaTexto(const char* texto, std::size_t maximo, const char* nome) {
    if (texto && ::strnlen(texto, maximo + 1) > maximo)
        throw TextoRecusado(std::string("Parametro invalido: ") + nome + " acima de " +
                            std::to_string(maximo) + " bytes");
}

}  // namespace tarvo
