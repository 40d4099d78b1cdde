// Print capture of family-0 printers: what the printer sends back through the port
// instead of printing (readings, detail-tape downloads) is collected into "IMPR.TXT" and
// turned into text lines ("IMPR2.TXT") or a rich-text document.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Output of the conversion.
enum class FormatoConversao { Texto, RichText };

// The conversion of a raw printer stream, in memory.
struct Conversao {
    std::string texto;                              // the IMPR2.TXT form: printed lines ended by CR LF
    std::string rtf;                                // the rich-text document (only when asked for)
    std::vector<std::string> escapesDesconhecidos;  // up to 20 bytes from each unknown ESC
};

// Converts the printer's byte stream (code page 850 text, line feeds, ESC sequences for
// spacing, print mode and emphasis, "\" before a literal byte) into printed lines of 48
// columns (57 after ESC ! 1), mapping the code page 850 letters the printers use onto
// Windows-1252. Never reads past the end of `entrada`: a sequence cut by the end of the
// stream is dropped. With `rico` the rich-text form is built too.
Conversao ConverteTextoImpressao(std::string_view entrada, bool rico);

// Names of the capture files in the current folder (an existing file of another letter
// case is reused).
std::string ArquivoImpr();
std::string ArquivoImpr2();

// Reads `origem` (a raw capture), writes its text into "IMPR2.TXT" of the current folder
// and the chosen form into `destino`. False when the source cannot be read or a file
// cannot be written.
bool ConverteImpressao(const std::string& origem, FormatoConversao formato, const std::string& destino);

// Collects the printer's output into "IMPR.TXT": LeImpressao until the printer has
// nothing more to send (two consecutive replies of at most one character). Holds the port
// open meanwhile. Returns the last LeImpressao's result (1 when the stream ended), -5 with
// "Erro Abertura Porta Serial" when the port cannot be opened.
int CapturaImpressao();

// Capture, then the plain conversion into `destino`; a failed capture deletes `destino`.
// Returns the capture's result.
int CapturaEConverte(const std::string& destino);

// A file name given by a caller or a setting (Windows or Linux form) as the file to use:
// an existing file of another letter case is found.
std::string ArquivoDoUsuario(const std::string& nome);

}  // namespace tarvo
