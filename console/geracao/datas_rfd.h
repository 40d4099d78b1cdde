// Calendar days and the file names of the memory-dump route of the RFD files: the dump is
// named after the printer's serial number, and each RFD file after its first three and last
// five characters, with ".txt" for one file over the whole period or a day suffix of three
// characters for one file per day.
#pragma once

#include <string>

namespace belmora::geracao {

struct Data {
    int ano = 0, mes = 0, dia = 0;
    friend bool operator==(const Data&, const Data&) = default;
};

bool DataValida(const Data& d);
bool Antes(const Data& a, const Data& b);
Data DiaSeguinte(const Data& d);
// Days from `inicio` to `fim`, both included; 0 when `fim` is before `inicio`.
int DiasNoPeriodo(const Data& inicio, const Data& fim);
// "YYYYMMDD", as the converter takes a period.
std::string Aaaammdd(const Data& d);
// "ddmmyy", as the library's RFD export by date takes it.
std::string Ddmmaa(const Data& d);
// "dd/mm/yyyy" or "dd/mm/yy" (years below 100 are taken as 20yy); false for anything else.
bool LeData(const std::string& texto, Data& d);

// Serial number without the blanks at its end.
std::string AparaDireita(std::string s);
// The dump file of a printer: serial + ".TDM".
std::string NomeArquivoTDM(const std::string& serie);
// First 3 characters of the serial followed by its last 5 (they overlap when the serial has
// fewer than 8), trailing blanks removed.
std::string NomeBaseRFD(const std::string& serie);
// One decimal digit up to 9, then "A" for 10 ... "V" for 31.
char CaractereDoValor(int v);
// "." + day + month + last digit of the year: 31/12/2009 is ".VC9", 05/03/2010 is ".530".
std::string SufixoDoDia(const Data& d);

}  // namespace belmora::geracao
