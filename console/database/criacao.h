// Creation of the console's database file through the database client library: the file is
// made by the user who runs the console, with the schema compiled into the program.
#pragma once

#include <string>
#include <vector>

namespace belmora {

// The schema of "base.fdb" (esquema.sql), statements separated by lines holding only "^".
const char* EsquemaBase();

// The statements of a schema text, in order, blanks around them trimmed, empty ones left out.
std::vector<std::string> ComandosDoEsquema(const std::string& esquema);

// Creates the database file `caminho` and runs every statement of `esquema` in it, each in a
// transaction of its own. The file is built under a temporary name beside it and takes its
// name only once the whole schema is in, so a failed creation never leaves a half-made
// database behind. False with the database's message in `erro`.
bool CriaBase(const std::string& caminho, const std::string& esquema, std::string& erro);

// Points FIREBIRD_LOCK at `pasta` (created when missing) unless the environment already sets
// it, so that the embedded engine keeps its lock files where this user may write. Must run
// before the first attachment of the process.
void DefinePastaDeBloqueio(const std::string& pasta);

}  // namespace belmora
