// The weighing scale on port slot 2: ENQ, and the weight between STX and ETX.
#pragma once

#include <string>

namespace tarvo::balanca {

// Line speed of the scale for a speed text: "1200"/"1", "2400"/"2", "4800"/"4", "9600";
// anything else 9600 (`reconhecida` false).
int VelocidadeBalanca(const std::string& texto, bool* reconhecida = nullptr);

// Payload of a complete answer (ending in ETX): the bytes after the first STX up to the
// final ETX, from the first byte when there is no STX.
std::string PayloadBalanca(const std::string& resposta);

// One reading: 1, -33, -34 or -35 with the scale's text in `peso`; 0 no complete answer;
// -5 port not opened.
struct Leitura {
    int resultado = 0;
    std::string peso;
};

// Reads the scale on the port named by `porta` at `velocidade`. Two readings never overlap;
// the printer's command lock is not taken, and nothing process-wide is written: the reading
// goes to the last-error record through InformaLeitura, under the command lock.
Leitura LeBalanca(const std::string& porta, const std::string& velocidade);

// Writes a reading into the last-error record and the main answer.
void InformaLeitura(const Leitura& l);

}  // namespace tarvo::balanca
