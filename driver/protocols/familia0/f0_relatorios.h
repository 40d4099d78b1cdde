// Reports of family-0 printers built from the data of the last Z reduction: type-60
// reports and SINTEGRA records, the summary map, the day closing, the last-reduction
// records and the configuration report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

// The printer's text of the last reduction ("DadosUltimaReducaoZ") cut into its 16
// fixed-width fields (shorter or empty where the text ends early).
std::vector<std::string> CamposReducao(const std::string& reducao);

// Gross sales of a reduction text in cents: fields 3 and 4 and the 19 partial totalisers
// of field 6, each 14 digits (a field that is no number counts 0). 64-bit: the day's
// totals of a large shop pass the 32-bit range.
std::int64_t SomaTotalizadores(const std::string& reducao);

// Cents of an amount as the printer writes it (its digits).
std::int64_t Centavos(const std::string& valor);

// One SINTEGRA type-60 line of the 126-character layout.
std::string Linha60M(const std::string& dataDdmmaa, const std::string& serie, const std::string& ecf,
                     const std::string& cooInicial, const std::string& cooFinal, const std::string& crz,
                     const std::string& cro, std::int64_t vendaBruta, const std::string& grandeTotal);
std::string Linha60A(const std::string& dataDdmmaa, const std::string& serie, const std::string& codigo,
                     const std::string& valor);

// The 37-field record of the last reduction (Tarvo_DadosUltimaReducaoMFD).
int RixDadosUltimaReducao(std::string& registro);

// The first and last grand total (integer part) and COO of the day.
int InicioFimGTs(std::string& inicial, std::string& final);
int InicioFimCOOs(std::string& inicial, std::string& final);

}  // namespace tarvo
