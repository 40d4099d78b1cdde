// A command sequence of the console: driver calls picked from the function lists, with the
// parameters the operator filled, saved to and read from ".seq" files and run through
// TrataComando. Texts are UTF-8 here (the console's side); files are Windows-1252.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace seq {

struct TParametro {
    std::string Nome;
    std::string Tipo;  // as declared, e.g. "string", "integer"
    std::int32_t ValorInteiro = 0;
    std::string ValorTexto;
    bool Preenchido = false;  // the value has been filled
    bool Entrada = false;     // input parameter; false for a return variable ("var")
};

struct TComando {
    std::string Nome;  // as written in the function list or the ".seq" line
    std::vector<TParametro> Parametros;
    int Quantidade = 0;  // parameter count given by the declaration
};

// A type holds text when, lower-cased and trimmed, it is "string", "pchar" or "char".
bool TipoTexto(const std::string& tipo);

// Runs one command: logs "-> Executando " + Nome, finds its entry by the lower-cased and
// trimmed name, calls the export through the binding, hands the result to TrataRetorno and
// logs the outcome. True when the driver reported success; false for an unknown name.
// Return variables take the values read.
bool TrataComando(TComando& comando);

}  // namespace seq
