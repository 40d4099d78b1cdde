// The numeric-code protocol of the family-1 and family-2 printers: a command is a text that
// starts with its two-digit number followed by fixed-width fields, sent as
// STX ESC "$" text ETX; the printer answers with one frame STX marker ... ETX.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo::numerico {

// Sends one command and interprets its reply. 1 success, 0 failure (printer error, no
// reply, a malformed reply, a re-entrant call), -5 when the port cannot be opened. After a
// successful reading (commands 30 to 34) ValorRespostaNum() holds the value; after
// anything else it is empty.
int EnviaComandoNum(const std::string& comando);

// Value of the last successful reading.
const std::string& ValorRespostaNum();

// Time-out in seconds of a command number.
int TempoLimiteNum(int numero);

// Message of a printer error code: the table's text, or "Erro retornado pelo ECF: " and
// the code's two characters as they came.
std::string MensagemErroNum(int codigo, const std::string& caracteres);

// What one reply frame says, as the engine reads it. `bytes` holds everything received;
// `completa` is false until a frame STX ... ETX is in it.
struct LeituraResposta {
    bool completa = false;
    bool valida = false;  // long enough for its marker and code (and the value of a reading)
    bool sucesso = false;
    std::string codigo;   // the two characters of the code
    std::string valor;    // value of a successful reading
    std::size_t fim = 0;  // bytes of `bytes` up to and including the ETX
};
LeituraResposta AnalisaRespostaNum(const std::string& bytes, int numeroComando);

}  // namespace tarvo::numerico
