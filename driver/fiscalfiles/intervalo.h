// One rule for every export that takes a range of dates or of Z counters: a range whose first
// end lies after its last, or that holds no Z reduction, fails with a named last error and
// writes no file; a success leaves no error behind.
#pragma once

#include <string>

namespace tarvo::intervalo {

// The printer's own code for a range without data, used for every refused range.
constexpr int kSemDados = 8089;
// Text of a range that holds no reduction.
extern const char* const kDataInexistente;

// yyyymmdd of a date text (dd/mm/yyyy, ddmmyy, ddmmyyyy or yyyymmdd); empty when it is none.
std::string ChaveData(const std::string& texto);

// True, with the last error set, when the first date lies after the last. Texts that are no
// dates are left to the caller's own checks.
bool DatasInvertidas(const std::string& inicio, const std::string& fim);
// The same for two Z counters.
bool ContadoresInvertidos(const std::string& primeiro, const std::string& ultimo);

// The last error of a range that holds no reduction; returns 0, the export's result.
int InformaSemReducao();

// True when an ATO COTEPE file names at least one Z reduction: its E01 line's first or last
// CRZ is not zero.
bool ArquivoTemReducao(const std::string& arquivo);

}  // namespace tarvo::intervalo
