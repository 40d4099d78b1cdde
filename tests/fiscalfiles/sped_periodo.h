// Fixture of the SPED tests of days sold on the emulated printer: the days, each closed by a
// reduction and turned into its RFD, joined as the ATO file of the period, and its SPED file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "fiscalfiles/rfd_emulador.h"

namespace teste {

class SpedEmulador : public RfdComEmulador {
  public:
    static constexpr int kDias = 3;

  protected:
    std::string ato = home / "periodo.txt";
    std::string saida = home / "sped.txt";  // where Sped writes
    std::map<int, std::int64_t> liquidos;   // net total of each receipt (COO), as the printer printed it
    // The days, each closed by a reduction and turned into its RFD; then one ATO file of the
    // period: the head lines of the last day (its E02 holds the grand total at the end) and
    // the record lines of every day, type by type (the last day's E11 last: its counters are
    // those after the period's last reduction).
    void Periodo() {
        std::vector<std::string> cabeca;
        std::map<std::string, std::vector<std::string>> porTipo;
        for (int dia = 1; dia <= kDias; ++dia) {
            Relogio("0" + std::to_string(dia) + "/03/2010");
            Dia();
            if (HasFatalFailure()) return;
            std::vector<std::string> linhas;
            RfdDaReducao(dia, linhas);
            if (HasFatalFailure()) return;
            cabeca.clear();
            for (const auto& l : linhas) {
                std::string tipo = l.substr(0, 3);
                if (tipo <= "E02")
                    cabeca.push_back(l);
                else
                    porTipo[tipo].push_back(l);
            }
        }
        std::string texto;
        for (const auto& l : cabeca) texto += l + "\r\n";
        for (const auto& [tipo, linhas] : porTipo)
            for (const auto& l : linhas)
                if (tipo == "E14") liquidos[std::stoi(l.substr(52, 6))] = std::stoll(l.substr(108, 14));
        for (const auto& [tipo, linhas] : porTipo)
            for (const auto& l : linhas) texto += l + "\r\n";
        EscreveArquivo(ato, texto);
    }
    std::vector<std::vector<std::string>> Sped(const char* perfil) {
        return RfdComEmulador::Sped(ato, "01/03/2010", "31/03/2010", perfil);
    }
};

}  // namespace teste
