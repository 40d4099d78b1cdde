// The files of the command sequences: the twelve function lists the operator picks calls
// from, and the ".seq" files under "Sequencias" in the program's folder. On disk both are
// Windows-1252 text with lines ending in CR LF; here texts are UTF-8, as in the model.
//
// A ".seq" line is the command's name, "(", for each parameter name ":" type ":" value ";",
// then ");" and the parameter count:
//   Tarvo_VendeItem(Codigo:string:001;...;CasasDecimais:integer:2;...);9
//   Tarvo_LeituraX();0
// The value is "!!!ParametroNaoPreenchido" for an input parameter not filled,
// "!!!Variável de retorno de dados" for a return variable not filled, the text for a text
// type ("string", "pchar", "char") and the integer in decimal for any other type.
//
// A text value may hold what the line uses to separate its parts. Such characters are
// written as "%" and two hex digits: the separators "(", ")", ":", ";", the quotes ' and ",
// line breaks, a blank or tab that begins the value, a "%" that would read as such an escape
// and the first "!" of a value equal to one of the two markers. Only these codes are read
// back as escapes, so a file whose values hold none of these characters is written and read
// exactly as before.
#pragma once

#include <string>
#include <vector>

#include "console/sequencias/comando.h"

namespace seq {

inline const char* const kParametroNaoPreenchido = "!!!ParametroNaoPreenchido";
inline const char* const kRetornoNaoPreenchido = "!!!Variável de retorno de dados";

// --- one line --------------------------------------------------------------------------------

// The line of a command, without its line end.
std::string LinhaSequencia(const TComando& comando);

// Reads a line. False, with `comando` untouched and `erro` set, when the count is not a
// number, the count disagrees with the parameters the line holds, or an integer value is
// not a 32-bit integer.
bool LeLinhaSequencia(const std::string& linha, TComando& comando, std::string& erro);

// --- whole files -------------------------------------------------------------------------------

// The bytes of a ".seq" file: one line per command, Windows-1252, CR LF.
std::string TextoSequencia(const std::vector<TComando>& comandos);

// Reads the bytes of a ".seq" file (blank lines are skipped), appending each command to
// `comandos`. At the first line that cannot be read it stops: false, `erro` names the line,
// and the commands of the lines before it stay appended.
bool LeTextoSequencia(const std::string& bytes, std::vector<TComando>& comandos, std::string& erro);

// --- names and folders ---------------------------------------------------------------------------

// <program folder> + "Sequencias/".
std::string PastaSequencias();

// A name the operator may give a sequence: not empty, without "/", "\" or "..", so the file
// stays inside "Sequencias".
bool NomeSequenciaValido(const std::string& nome);

// The file name of a sequence: the name plus ".seq", unless it already ends in ".seq"
// (letter case counts: "x.SEQ" becomes "x.SEQ.seq").
std::string ArquivoDaSequencia(const std::string& nome);

// The saved sequences in `pasta`: the name (with extension) of every file or folder whose
// name ends in ".seq" in any letter case, in alphabetical order ignoring case. A missing
// folder has none.
std::vector<std::string> PegarSequencias(const std::string& pasta);

// Creates or replaces the file (and its folder). False with `erro` set when it cannot be written.
bool GravaSequencia(const std::string& caminho, const std::vector<TComando>& comandos, std::string& erro);

// Reads a ".seq" file as LeTextoSequencia does; a file that cannot be read appends nothing.
bool LeSequencia(const std::string& caminho, std::vector<TComando>& comandos, std::string& erro);

// --- function lists ----------------------------------------------------------------------------

// A function-list file: for each declaration line, in file order, its first token (the
// function's name) and the line itself. Blank lines are skipped. False with `erro` set when
// the file cannot be read.
struct ListaFuncoes {
    std::vector<std::string> nomes;
    std::vector<std::string> declaracoes;
};
bool LeListaFuncoes(const std::string& caminho, ListaFuncoes& lista, std::string& erro);

}  // namespace seq
