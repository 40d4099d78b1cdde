// The non-fiscal printer line: packets of escape sequences to a printer on the parallel port
// (family 4) or on a serial port (family 5), and the printer's status.
#pragma once

#include <string>

namespace tarvo::kelt {

// Tag of the refusal under the families this line does not serve.
extern const char* const kTagKelt;

// Sends one packet. Families 4 and 5 only (else 0, last error -2). Takes the command lock;
// re-reads the port keys. Family 5 waits for CTS up to 2 s when `esperaCts`.
// 1 sent; 0 failure (-10 offline, -11 library missing); -5 serial port not opened.
int EnviaPacoteKelt(const std::string& texto, bool esperaCts);

// Sends exactly these bytes: no CTS wait, the serial port closed afterwards, each byte logged
// on the parallel port. Same results as EnviaPacoteKelt.
int EnviaComandoKelt(const std::string& bytes);

// Kinds of status.
enum TipoStatus { StatusGaveta = 0, StatusPoucoPapel = 1, StatusFimPapel = 2, StatusOnLine = 3 };

// Reads one status of the printer under any family (the serial printer's answer to DLE EOT
// in family 5, the parallel port's status register otherwise). 2 the condition is present,
// 1 not; 0 with -10 when the printer does not answer; -5 when the serial port does not open.
int LeStatusKelt(int tipo);

// Family 5: 1 when the port opens and CTS is present; 0 (-10) without CTS; -5 when the
// port does not open. Other families: LeStatusKelt(StatusOnLine).
int VerificaOnLineKelt();

// Refuses a value that does not fit its bytes: 0 with last error -2.
int RecusaValor(const char* exportacao);

}  // namespace tarvo::kelt
