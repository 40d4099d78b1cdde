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

// The caller's number for parameter `parametro` with the blanks around it dropped: digits,
// and where the parameter takes them, one leading sign and one decimal comma or point.
// An empty text stays empty (the callers decide what an absent number means).
std::string NumeroDoChamador(const std::string& texto, const char* parametro, bool sinal = false,
                             bool decimal = false);

// Refuses (throws TextoRecusado) a caller's text longer than `maximo` bytes; a null text
// passes (the exports take it as empty).
void LimitaTexto(const char* texto, std::size_t maximo, const char* nome);

}  // namespace tarvo
