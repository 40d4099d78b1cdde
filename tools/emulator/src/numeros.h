// Numbers and short texts as the printer reads and prints them: amounts with a decimal comma,
// quantities with three places, fixed-width fields and the amount written out in words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace emulador {

// Reads a decimal number into an integer scaled by 10^casas: "12,34", "-1,00", " 1,5",
// "1.234,56" ('.' groups thousands when a ',' is present, else it is the decimal point).
// False when the text is no number or has more than `casas` decimals.
bool LeDecimal(std::string_view texto, int casas, std::int64_t& valor);
bool LeInteiro(std::string_view texto, std::int64_t& valor);

// 1234567 -> "12.345,67" (printed amounts).
std::string Valor(std::int64_t centavos);
// Amount with four places, no grouping: the form of every ValorMoeda reply ("12345,6700").
std::string ValorResposta(std::int64_t centavos);
// Rate in hundredths -> "18,00".
std::string Percentual(int centesimos);
// Quantity in thousandths -> "2,500", or "2" for a whole number.
std::string Quantidade(std::int64_t milesimos);
// Unit price in thousandths of the currency with 2 or 3 places -> "4,99" / "4,990".
std::string Preco(std::int64_t milesimos, int casas);
// The last `largura` digits of a non-negative number, zero-filled.
std::string Zeros(std::int64_t valor, int largura);
// Amount in words, as written on a cheque: "CENTO E DEZ REAIS E CINCO CENTAVOS".
std::string Extenso(std::int64_t centavos);

// Multiplies and divides, rounding half up or truncating, without overflow for ECF amounts.
std::int64_t Escala(std::int64_t a, std::int64_t b, std::int64_t divisor, bool trunca);

// --- printed lines (48 columns) ------------------------------------------------------------
constexpr int kColunas = 48;
std::string Direita(std::string_view esquerda, std::string_view direita, int largura = kColunas);
std::string Centro(std::string_view texto, int largura = kColunas);
std::string Completa(std::string_view texto, int largura);  // cut or blank-padded
std::string Maiusculas(std::string_view texto);
std::string Apara(std::string_view texto);

}  // namespace emulador
