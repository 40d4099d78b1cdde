// The SINTEGRA file of an ECF: the keyed lines gathered in "SINT.TXT" of RFDTEMP, sorted and
// written without their keys to "SINTEGRA.TXT" between the informant's records and the
// closing type-90 record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tarvo {

// The informant of the SINTEGRA file: the host's ten texts and the state of TARVO.INI.
struct InformanteSintegra {
    std::string razaoSocial, endereco, numero, complemento, bairro, cidade, uf, cep, telefone, fax, contato;
};

// The run's SINTEGRA options and the informant's records once built (type 10 and 11 lines,
// 126 characters each); the switches are cleared when the export that set them ends.
struct OpcoesSintegra {
    bool Flag60D = false, Flag60I = false, Flag60R = false;
    InformanteSintegra Informante;
    std::string Registro10, Registro11;
};
OpcoesSintegra& Sintegra();

// A field of digits as a whole number; anything else (or more than 18 digits) counts as 0.
std::int64_t InteiroCampo(const std::string& campo);

// Calls `cada` with each line of a text file (CR LF or LF), without its end, reading the file
// a block at a time; nothing when the file cannot be opened.
void PercorreLinhasArquivo(const std::string& nome, const std::function<void(const std::string&)>& cada);

// The switches of an export's flags: 4 the 60D records, 8 the 60I, 16 the 60R.
void DefineOpcoesSintegra(int flags);

// Last day of a month of the Gregorian calendar; 0 for a month outside 1 to 12.
int UltimoDiaMes(int mes, int ano);

// The informant's records from an E01 and an E02 line's records and the informant's texts.
std::string MontaRegistro10(const std::string& cnpj, const std::string& inscricao,
                            const InformanteSintegra& i, const std::string& inicio, const std::string& fim);
std::string MontaRegistro11(const InformanteSintegra& i);

// The printer's grand total at the end of each reduction (E12 line) of an ATO file, in file
// order, in cents: the GT of its E11 line for the last reduction, less the later reductions'
// gross sales for the others. Throws ErroArquivoFiscal saying what is missing when the file
// holds no source for them (no E11, or an E11 of other counters than the last reduction's).
std::vector<std::int64_t> CalculaGtReducoes(const std::string& arquivoAto);

// Reads the COO at the end of Z reduction `crz` into `coo`; 1 on success, else the reading's
// code. The printer's reading by default.
using LeitorCOOReducao = std::function<int(int crz, std::string& coo)>;
int LeCOOReducaoImpressora(int crz, std::string& coo);

// The reading step of the SINTEGRA records of an ATO file: the COO at the end of the reduction
// before each reduction of the file's month (the 60M's first COO comes after it), by that
// earlier reduction's CRZ, as `leCoo` answers. 1, or the first failed reading's code.
using CoosReducoes = std::map<int, std::string>;
int LeCoosReducoesSintegra(const std::string& arquivoAto, const LeitorCOOReducao& leCoo, CoosReducoes& coos);

// The conversion step: "SINT.TXT" and records 10 and 11 from the ATO file, the GT at the end of
// each of its reductions and the COOs read. 1, or 0 when a COO a 60M needs is missing or is no
// number (no 60M is ever written with a wrong first COO). Throws ErroArquivoFiscal when a file
// fails.
int ConverteSintegraMfd(const std::string& arquivoAto, const std::vector<std::int64_t>& gts,
                        const CoosReducoes& coos);

// Deletes "SINT.TXT" and "SINTEGRA.TXT" and, when the ATO file exists, writes to "SINT.TXT"
// the keyed 60M (with the GT at the end of its reduction), 60A, 60I and 75 records of its
// lines, and stores records 10 and 11. 1 on
// success; a failed reading of a 60M's first COO ends it with that reading's code (no 60M is
// ever written with a COO it could not read). Throws ErroArquivoFiscal when a file fails.
int GeraSintegraMfdBinario(const std::string& arquivoAto,
                           const LeitorCOOReducao& leCoo = LeCOOReducaoImpressora);

// The 60 summaries appended to "SINT.TXT": mode 0 the 60D records, mode 1 the 60R. Returns
// how many were appended.
std::size_t MontaRegistros60(int modo);

// The type-10 record with the period's first and last day (dd/mm/yyyy texts) in its places.
std::string Registro10NoPeriodo(const std::string& registro10, const std::string& inicio,
                                const std::string& fim);

// What the final file holds besides the informant's records.
struct ContagemSintegra {
    std::size_t tipo60 = 0, tipo75 = 0;
};

// Appends to "SINT.TXT" one 60D for each reduction and product of its 60I records: the
// quantities and values of the product's items added up (whole numbers, 64 bits), the base,
// tax code and tax of its first item. The records keep the order of their first items.
// Returns how many were appended.
std::size_t MontaRegistros60D();

// Appends to "SINT.TXT" the 60R records of the month: for each month and product of the 60I
// records, one for its items that are not cancelled (the tax code of the last of them) and
// one with "CANC" for its cancelled items, each with the summed quantity, value (unit value
// times quantity) and base. Returns how many were appended.
std::size_t MontaRegistros60R();

// The tax of an amount at a rate in hundredths of a percent, in whole numbers: amount x rate
// / 10 000 below 1 000 000 (negative amounts too), else amount x (rate / 100) / 100, so that
// large amounts do not overflow.
std::int64_t AjustaValorMonetario(std::int64_t valor, std::int64_t aliquota);

// The 60I tax base in cents of a unit value in cents: the value itself for the codes that are
// no rate ("CANC", "F   ", "I   ", "N   ", "ISS ", "DESC"); for a rate r (hundredths of a
// percent, below 100 %) the value grossed up by 1 / (1 - r / 10 000), rounded half up.
std::int64_t BaseCalculo60I(std::int64_t valorUnitario, const std::string& codigo);

// The closing record: CNPJ, state registration and the counts (126 characters).
std::string Registro90(const std::string& cnpj, const std::string& inscricao, const ContagemSintegra& c);

// Rewrites "SINTEGRA.TXT" from "SINT.TXT": the type-10 and type-11 records, the sorted lines
// without their keys (60I only with `com60I`; a record equal to the one before, and a 75 of the
// same dates and product as the one before, written once), the type-90 record. Nothing while
// the SINTEGRA switch is off. Throws ErroArquivoFiscal when the file cannot be written.
ContagemSintegra GravaArquivoSintegra(const std::string& registro10, const std::string& registro11,
                                      const std::string& cnpj, const std::string& inscricao, bool com60I);
// The same with the stored records and options; CNPJ and state registration those of record 10.
ContagemSintegra GravaArquivoSintegra();

}  // namespace tarvo
