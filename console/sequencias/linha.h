// The line form shared by the function-list files and the ".seq" files: a line splits into
// tokens at "(", ")", ":" and ";"; each token loses its leading blanks (blanks inside stay),
// empty tokens are dropped, and separators between a pair of single or double quotes do not
// split (the quotes stay in the token).
#pragma once

#include <string>
#include <vector>

#include "console/sequencias/comando.h"

namespace seq {

std::vector<std::string> SeparaLinha(const std::string& linha);

// The text without the blanks and tabs around it.
std::string Apara(const std::string& s);
// The text with its ASCII letters lower-cased.
std::string Minusculas(std::string s);

// Fills `comando` from a function-list declaration such as
//   Tarvo_VendeItem(Codigo: string; ...; CasasDecimais: integer; ...): integer; 9
// token 0 is the name, tokens 2k-1 and 2k the name and type of parameter k, the last token
// (trimmed) the count N; a parameter name of two or more words whose first is "var" (any
// case) is a return variable named by the second word. Parameters start unfilled.
// False, with `comando` untouched and `erro` set, when the count is not a number or the line
// has fewer tokens than its count asks for.
bool GeraListaParametros(const std::string& declaracao, TComando& comando, std::string& erro);

}  // namespace seq
