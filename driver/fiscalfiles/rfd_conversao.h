// The RFD (ATO COTEPE 17/04 file) of one Z reduction from what the printer prints: the
// detail tape of the reduction's day as text, its documents turned into records and lines,
// the fiscal-memory lines, sorted and written under the file's regulated name into PathRFD.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tarvo {

class LeiturasFiscais;

// The SINTEGRA run's search period (dd/mm/yyyy texts; both empty when no run is active): a
// reduction whose movement falls outside it gives no RFD file.
struct PeriodoSintegra {
    std::string inicio, fim;
    int arquivos = 0;  // RFD files written into PathRFD during the run
};
PeriodoSintegra& PeriodoBuscaSintegra();

// What the RFD of one reduction is made from: the printer's answers and the run's settings.
struct EntradaRfd {
    std::string reducao;               // the reduction's CRZ
    std::vector<std::string> detalhe;  // the detail tape of its day, as text lines
    std::array<std::string, 16> aliquotas{"T0000", "T0000", "T0000", "T0000", "T0000", "T0000",
                                          "T0000", "T0000", "T0000", "T0000", "T0000", "T0000",
                                          "T0000", "T0000", "T0000", "T0000"};  // "T1800", "S0500"
    bool permiteIss = true;             // the reduction's ISSQN discount parameter
    std::string primeiroCoo;            // the day's first COO; empty: the text's first document's
    std::vector<std::string> leituraX;  // an X reading's text: the user when the tape's head lacks it
    std::string memoriaFiscal;          // the fiscal-memory reading's text
    std::string dataSoftwareBasico;     // ddmmyy, from that text; empty when none
    std::string horaSoftwareBasico;     // hhmmss
    std::string contadores;             // the E11 body; empty: no E11
    bool armazenamento = false;         // storage mode: the user comes from the tape's head
    bool tdm = false;                   // the full file (TDM) rather than the MFD one
    std::string uf;                     // the user's state ("SE" names the file its own way)
    std::string pastaRfd;               // where the finished file is copied
};

// The reading step: asks the printer (or the storage files) for what the reduction's RFD is
// made from. 1, else the first failing reading's result; `captura` takes the fiscal-memory
// capture's result. A day outside the SINTEGRA search period stops the readings early (1).
int LeEntradaRfd(const std::string& reducao, LeiturasFiscais& leituras, EntradaRfd& entrada, int& captura);
// The conversion step: the file from its inputs alone, written into RFDTEMP and copied into
// `pastaRfd`. 1 (also for a day outside the search period, which gives no file); -8 when the
// copy failed. Throws ErroArquivoFiscal when a scratch file fails.
int ConverteRfd(const EntradaRfd& entrada);

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
int MontaContadoresEcf(LeiturasFiscais& leituras, std::string& texto);

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
