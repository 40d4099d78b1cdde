// The cheque-layout file that the library's cheque printing reads ("CHEQUES.INI" in the
// program folder): one block of 18 lines per bank, in bank order - "[" bank "]",
// "NomeBanco=" name, the fifteen positions in decimal, one blank line - lines ending CR LF,
// text in Windows-1252. No widgets here: the layout manager writes and reads the file
// through these functions.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

#include "console/database/dm_vintaro.h"

namespace belmora {

// The name the library looks for.
inline constexpr const char* kArquivoCheques = "CHEQUES.INI";

// The whole file for `layouts`, in the order given.
QByteArray TextoChequesIni(const std::vector<LayoutCheque>& layouts);

// Reads a whole file: every section is a bank ("[0237]" is bank 237) whose "NomeBanco" and
// fifteen position keys are found by name, in any order and letter case. A block that lacks
// a key, a bank or position that is not a number, a bank given twice or a file without any
// block is refused: false with the reason in `erro` and `saida` left untouched.
bool LeChequesIni(const QByteArray& texto, std::vector<LayoutCheque>& saida, QString& erro);

// The layout file inside `pasta` (ending in '/'): an existing file of that name in any letter
// case, else pasta + "CHEQUES.INI".
std::string CaminhoChequesIni(const std::string& pasta);

// Writes the file as pasta + "CHEQUES.INI" (replaced whole: a reader finds the old file or
// the new one) and removes any other file of that name in another letter case, so the library
// finds this one. False with `erro` when it cannot be written.
bool GravaChequesIni(const std::string& pasta, const std::vector<LayoutCheque>& layouts, QString& erro);

// Reads and decodes the file of `pasta`. False with `erro` when it is missing, unreadable or
// refused by LeChequesIni.
bool ImportaChequesIni(const std::string& pasta, std::vector<LayoutCheque>& saida, QString& erro);

}  // namespace belmora
