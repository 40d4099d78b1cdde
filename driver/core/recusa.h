// Caller texts that go into a printer frame without quotes (numbers) are checked before
// anything is sent: one that is not a number is refused, so that no caller's text can end
// its value and add parameters of its own ("1 Injetado=1").
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace tarvo {

// Thrown by the checks below; the export guard (Protegido) turns it into the last error
// -2 with its message and the export's result 0, nothing sent.
class TextoRecusado : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Most significant digits (leading zeros not counted) a caller's number may hold: amounts,
// prices and quantities fit the printers' 14-digit totals; counters, items and indexes fit
// nine digits; a percentage is at most 99,99.
constexpr int kDigitosValor = 14;
constexpr int kDigitosInteiro = 9;
constexpr int kDigitosPercentual = 4;

// The one reader of a caller's number for parameter `parametro`, with the blanks around it
// dropped: digits; where the parameter takes them, one leading sign and one decimal comma
// (or a point when there is no comma), with thousands dots before a comma ("1.234,56"). More
// than `digitos` significant digits (0: kDigitosValor for a decimal number, kDigitosInteiro
// for a whole one), or any other text, is refused (TextoRecusado). The text is returned as
// the caller wrote it, so that every number goes out as it always did; an empty text stays
// empty (the callers decide what an absent number means).
std::string NumeroDoChamador(const std::string& texto, const char* parametro, bool sinal = false,
                             bool decimal = false, int digitos = 0);

// An amount, price or quantity: a decimal number without a sign.
std::string ValorDoChamador(const std::string& texto, const char* parametro, int digitos = kDigitosValor);

// Refuses (throws TextoRecusado) an integer argument outside [minimo, maximo].
void LimitaInteiro(long long valor, long long minimo, long long maximo, const char* nome);

// Refuses (throws TextoRecusado) a caller's text longer than `maximo` bytes; a null text
// passes (the exports take it as empty).
void LimitaTexto(const char* texto, std::size_t maximo, const char* nome);

}  // namespace tarvo
