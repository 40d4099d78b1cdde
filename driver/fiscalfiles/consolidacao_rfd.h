// One document's stored records turned into its day file of ATO COTEPE lines
// (RFDTEMP/RFD<COO><ext>) and, while SINTEGRA generation is on, into keyed SINTEGRA lines
// appended to RFDTEMP/SINT.TXT.
#pragma once

#include <string>

#include "driver/fiscalfiles/registros_ato.h"

namespace tarvo {

// Day file of the document of a COO: RFDTEMP/ + "RFD" + COO (6 digits) + the extension of the
// movement date of the file being produced.
std::string ArquivoDiaRFD(const std::string& coo);
// RFDTEMP/SINT.TXT.
std::string ArquivoSintTxt();

// Sort key of a SINTEGRA line in SINT.TXT (20 characters): group, the reduction's emission
// and movement dates, kind. Lines written here take one date for both.
std::string ChaveSintegra(const std::string& grupo, const std::string& data, const std::string& tipo);

// Tax code of an item (4 characters) and situation code of a partial totalizer (4).
std::string CodigoTributacaoItem(const std::string& codigoTotalizador);
std::string SituacaoTotalizador(const std::string& codigoTotalizador);
// Partial totalizers that give no 60A line: increases (AT, AS) and the non-fiscal
// operations (OPNF), none of which is a tax situation of the day's sales.
bool TotalizadorSemRegistro60A(const std::string& codigoTotalizador);

// The SINTEGRA records (126 characters, without key) from the records in memory.
std::string MontaLinha60M(const RegistroE12& z, const RegistroE01& e01, const RegistroE02& e02);
std::string MontaLinha60A(const RegistroE12& z, const RegistroE13& totalizador);
std::string MontaLinha60I(const RegistroE14& cupom, const RegistroE15& item);
std::string MontaLinha75(const RegistroE14& cupom, const RegistroE15& item);

// The records in the store become lines in the order E12, E13, E14, E15, E21, E16, E17,
// E18. The first E12, E14, E21 or E16 line of a call replaces the day file it goes to.
// Throws ErroArquivoFiscal when a file cannot be written or the movement date gives no
// file name.
void GeraArquivosRFDSintegra();

// A receipt cancelled after its close, whose lines were written as sold: the E14 of its day
// file gets the cancel indicator "S" and, while the SINTEGRA producers run, its 60I lines in
// SINT.TXT the situation "CANC" with no tax. Nothing when the receipt has no day file (a
// receipt of another day). Throws ErroArquivoFiscal when a file cannot be rewritten.
void MarcaCupomCancelado(const std::string& coo);

}  // namespace tarvo
