// The RFD (ATO COTEPE 17/04 file) of one Z reduction from what the printer prints: the
// detail tape of the reduction's day as text, its documents turned into records and lines,
// the fiscal-memory lines, sorted and written under the file's regulated name into PathRFD.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tarvo {

// The SINTEGRA run's search period (dd/mm/yyyy texts; both empty when no run is active): a
// reduction whose movement falls outside it gives no RFD file.
struct PeriodoSintegra {
    std::string inicio, fim;
    int arquivos = 0;  // RFD files written into PathRFD during the run
};
PeriodoSintegra& PeriodoBuscaSintegra();

// 1 on success, else the result of the first printer command that failed; -8 when the file
// could not be copied to PathRFD. Throws ErroArquivoFiscal when RFDTEMP cannot be created or
// a scratch file fails. Two calls never run at once: a second caller waits for the first.
int RFD_ConvertedaMFDTexto(const std::string& reducao);

// Lines of a text file (CR LF or LF), without their ends.
std::vector<std::string> LinhasArquivo(const std::string& nome);

// E11 from "E11_<nnnn>.TXT" of RFDTEMP (storage mode): its first line rearranged; empty when
// the file is missing. Always 1.
int LeRegistroE11(std::string& linha, const std::string& reducao);
// The printer's counters as one fixed-width text (E11 body); the first failing reading's
// result, else 1.
int MontaContadoresEcf(std::string& texto);

// The lines that a fiscal-memory reading's text gives, appended to `arquivo`: E02 of the user
// (at the list of reductions) and E05 to E10 (GT codification, currency, basic software,
// detail-tape device, restarts, detail tapes printed). The E02 record in memory must carry the
// printer's serial, letter and model.
void LinhasMemoriaFiscal(const std::vector<std::string>& linhas, const std::string& arquivo);

// The output's lines in order: the new lines and the older output's lines above type 11 that
// have no equal new line, sorted ignoring case; with `tdm` clear only E00 .. E02 and E12 and
// above are kept.
std::vector<std::string> OrdenaLinhasRfd(std::vector<std::string> novas,
                                         const std::vector<std::string>& antigas, bool tdm);

}  // namespace tarvo
