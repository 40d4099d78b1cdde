// Fields of the numeric-code commands: numbers right-aligned and zero-padded, texts cut and
// blank-padded. A value that does not fit its field is refused instead of being cut to its
// last digits (an amount of 1.000.000,00 must never go out as 0,00).
#pragma once

#include <optional>
#include <string>

#include "driver/core/erros.h"

namespace tarvo::numerico {

// Digits of an amount or a quantity with `decimais` places in a field of `largura` digits.
// The caller's text must be a number without a sign (the reader of caller numbers refuses
// anything else as `parametro`). A text with a decimal comma (or point) gets its places
// completed ("10,5" is 1050 with two places); a text without one is taken as the field's
// digits as they are. Empty when the value does not fit or has more places than the field
// (other than trailing zeros).
std::optional<std::string> CampoValor(const std::string& texto, int decimais, int largura,
                                      const char* parametro);

// A whole number (item, reduction, form code) in a field of `largura` digits; empty when
// its digits do not fit. Any other text than digits is refused as `parametro`.
std::optional<std::string> CampoInteiro(const std::string& texto, int largura, const char* parametro);

// A date as ddmmyy: "01/02/2009", "010209" and "01022009" all give 010209; empty when the
// text is no such date.
std::optional<std::string> CampoData(const std::string& texto);

// Refuses a call whose field would not fit: the last error of `falha` (-6), nothing sent.
int RecusaCampo(Falha falha);

}  // namespace tarvo::numerico
