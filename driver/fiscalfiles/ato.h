// ATO COTEPE 17/04 files from memory dumps: the converter "ATO17.dll" (libato17.so) called
// for one dump, the reading and the conversion in one call for a period of dates or of Z
// counters, the PAF-RJ form of a file, and the RFD of one Z reduction the dump way.
#pragma once

#include <string>

namespace tarvo::ato {

// Most bytes the RFD exports write into the caller's name buffer, NUL included: a longer
// name is refused before the reading starts.
constexpr std::size_t kTamanhoNomeArquivo = 256;

// "." + day, month and year - 2000 as one character each (0-9, then A = 10, B = 11 ...).
std::string ExtensaoArquivoRFD(int ano, int mes, int dia);

// The character a period type number stands for (0 'D', 2 'C', any other 'M') and the
// reading text of a reading type number (1 "MF", 2 "MFD", any other "TDM").
char CaracterPeriodo(int tipoPeriodo);
const char* TextoLeitura(int tipoLeitura);

// DLLATO17GeraArquivo with the library loaded for this call only: -1 when the library or its
// entry is missing, 0 given as 1, else the library's code. The last-error record is left as
// it was.
int GeraArquivoATO17Binario(const std::string& dump, const std::string& saida, const std::string& inicio,
                            const std::string& fim, char tipoPeriodo, const std::string& usuario,
                            const std::string& tipoLeitura);

// Reads the memories into the dump of this printer (PathTDM) and turns it into
// PathRFD + serial + ".txt" for the period; `nome` gets the output's name. 1 success, else the
// code of the step that failed (the last-error record tells which). Throws on an error of the
// readers' set-up (a missing reading library, a BAUD that is no number).
int GeraRFDBinario(const std::string& inicio, const std::string& fim, int tipoPeriodo, int tipoLeitura,
                   std::string& nome);
// The same for the dates of two Z counters (YYYYMMDD). A counter whose date cannot be read
// ends it with "Falha ao ler a data da Redução Z nº " + counter and that reading's code.
int GeraRFDBinarioCRZ(const std::string& primeiro, const std::string& ultimo, int tipoPeriodo,
                      int tipoLeitura, std::string& nome);
// The detail-tape file of a period, converted for PAF-RJ.
int GeraRFDBinarioRJ(const std::string& inicio, const std::string& fim, int tipoPeriodo);

// Folder of `arquivo` + "PAF-RJ_" + its name.
std::string NomePafRj(const std::string& arquivo);
// Writes the PAF-RJ form of an ATO file: 1 converted, 0 not (missing or nearly empty source).
int ConverteATO17ParaPAFRJ(const std::string& arquivo);

// The RFD file of Z reduction `n` from a memory dump into PathRFD. 1 success; throws
// ErroArquivoFiscal with the text of the step that failed.
int RFD_ConvertedaMFDMemorias(const std::string& n);

}  // namespace tarvo::ato
