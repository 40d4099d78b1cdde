// The SINTEGRA file of an ECF: the keyed lines gathered in "SINT.TXT" of RFDTEMP, sorted and
// written without their keys to "SINTEGRA.TXT" between the informant's records and the
// closing type-90 record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvo {

// The run's SINTEGRA options and the informant's records once built (type 10 and 11 lines,
// 126 characters each); cleared when the export that set them ends.
struct OpcoesSintegra {
    bool Flag60D = false, Flag60I = false, Flag60R = false;
    std::string Registro10, Registro11;
};
OpcoesSintegra& Sintegra();

// The type-10 record with the period's first and last day (dd/mm/yyyy texts) in its places.
std::string Registro10NoPeriodo(const std::string& registro10, const std::string& inicio, const std::string& fim);

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
