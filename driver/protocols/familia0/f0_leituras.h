// Readings of family-0 printers: X reading, Z reduction with the clock correction,
// fiscal-memory readings, detail-tape downloads.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// What a Z reduction keeps for the fiscal file of that reduction while it runs.
struct EstadoReducaoZ {
    // 1 from just before the reduction is sent until its fiscal file is done; 0 again
    // after a reduction that failed.
    std::uint8_t ReducaoEmAndamento = 0;
    // The printer's DataAbertura and Data (digits ddmmyyyy) read just before the
    // reduction; empty when the reading failed or no reduction is running.
    std::string DataAberturaZ;
    std::string DataZ;
};
EstadoReducaoZ& ReducaoZ();

// The Z reduction. `hora`: the time to set (hhmmss, any separators) or empty (the
// computer's clock when [Sistema] CorrigeRelogioZ is on). The result is the reduction's:
// a failure after a reduction that was made (its fiscal file) leaves the result 1 with
// that failure in the last-error record.
int RixReducaoZ(const std::string& hora);

// The time to send with a reduction (pure part of the clock correction): `desejada` and
// `impressora` as hhmmss; `doComputador` when the wanted time is the computer's clock,
// `mesDoComputador` 1 to 12. Returns "Hora=#hh:mm:ss#", or empty when no time is sent.
std::string ParametroHoraReducao(const std::string& desejada, const std::string& impressora,
                                 bool doComputador, int mesDoComputador);

// Detail-tape download into `destino` (raw printer text): kind "0" all, "1" between dates,
// "2" between COOs, anything else no range; owner when not empty.
int LeituraFitaDetalheTxt(const std::string& destino, const std::string& tipo, const std::string& inicio,
                          const std::string& fim, const std::string& proprietario);

// The reductions (CRZ) in a date range, from the fiscal-memory reading captured into
// "LEITMF.TXT" of the work folder, with the owner's name and address its head gives.
struct ReducoesDoPeriodo {
    std::string primeira;  // 4 digits
    std::string ultima;    // 4 digits
    std::string nome;      // first line of the head, 40 characters
    std::string endereco;  // next three lines, 120 characters
};
// 1 when the range holds reductions; 0 with the message that the period has no movement
// when it holds none; a failing command's result otherwise.
int RixReducoesDoPeriodo(const std::string& dataInicial, const std::string& dataFinal,
                         ReducoesDoPeriodo& saida);

// Scan of a fiscal-memory text for the basic software's date (ddmmyy) and time (hhmmss);
// the last line of its section wins.
void DataHoraSoftwareBasicoNoTexto(const std::string& texto, std::string& data, std::string& hora);

// Reductions of a fiscal-memory text (see RixReducoesDoPeriodo), without the reading.
int ReducoesNoTexto(const std::string& texto, ReducoesDoPeriodo& saida);

}  // namespace tarvo
