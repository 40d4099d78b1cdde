// Fixture of the fiscal-file tests: a program folder of its own (so RFDTEMP is a scratch
// folder), empty records, SINTEGRA generation off.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "driver/core/estado.h"
#include "driver/fiscalfiles/registros_ato.h"
#include "platform/pastas.h"

namespace teste {

class PastaRfd : public ::testing::Test {
  protected:
    PastaTemporaria home;
    Variavel var{"TARVO_HOME", home.Caminho()};

    PastaRfd() {
        tarvo::FechaRegistrosTemporarios();
        tarvo::Registros() = {};
        tarvo::Estado().GeraSintegraAtivo = false;
    }
    ~PastaRfd() override {
        tarvo::FechaRegistrosTemporarios();
        tarvo::Registros() = {};
        tarvo::Estado().GeraSintegraAtivo = false;
    }
    std::string Rfdtemp(const std::string& nome = "") const { return home.Caminho() + "RFDTEMP/" + nome; }
};

// Lines of a text file ending each in CR LF; a line without its CR LF is reported as such.
inline std::vector<std::string> LinhasCrLf(const std::string& texto) {
    std::vector<std::string> linhas;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t fim = texto.find("\r\n", i);
        if (fim == std::string::npos) {
            linhas.push_back("<sem CR LF>" + texto.substr(i));
            break;
        }
        linhas.push_back(texto.substr(i, fim - i));
        i = fim + 2;
    }
    return linhas;
}

// Writes `linhas` to `caminho`, each ending in CR LF.
inline void EscreveLinhasCrLf(const std::string& caminho, const std::vector<std::string>& linhas) {
    std::string texto;
    for (const auto& l : linhas) texto += l + "\r\n";
    EscreveArquivo(caminho, texto);
}

}  // namespace teste
