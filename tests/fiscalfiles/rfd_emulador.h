// Fixture of the fiscal-file tests against the emulated printer: the printer on COM1 of a
// scratch device folder, TARVO.INI with the work folder and PathRFD in the program folder,
// the captures (IMPR.TXT, IMPR2.TXT) in a scratch current folder, the engine past its
// once-per-load spacing command. Its steps (a day sold, its reduction, its RFD, the SPED
// records of an ATO file) serve every fiscal-file test that runs the printer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "comum/ambiente.h"
#include "emulador/emulador.h"
#include "fiscalfiles/pasta_rfd.h"

namespace teste {

// A developer's section of TARVO.INI with the punctuation hosts write in it.
inline const char* const kSoftwareHouse =
    "[SoftwareHouse]\r\nCNPJ=12.345.678/0001-95\r\nIE=110.042.490.114\r\nIM=9876\r\n"
    "RazaoSocial=SOFTWARE DE TESTE LTDA\r\nNomeAplicativo=CAIXA\r\nVersao=2.1\r\nCOO=77\r\n"
    "NumeroAplicativo=3\r\nLinha1=PRIMEIRA\r\nLinha2=SEGUNDA\r\n";

// Commands of the printer with their parameters, sent in order.
using Passos = std::vector<std::pair<const char*, std::string>>;

// "12,34" -> 1234; empty -> 0.
std::int64_t Centavos(const std::string& valor);

class RfdComEmulador : public PastaRfd {
  protected:
    PastaTemporaria dev, atual;
    std::filesystem::path antes = std::filesystem::current_path();
    Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    emulador::Emulador e;

    void SetUp() override;
    void TearDown() override;
    // The [Sistema] section of the fixture's TARVO.INI.
    std::string Sistema() const;
    // TARVO.INI rewritten as the fixture's [Sistema] followed by `mais`, and loaded.
    void Configura(const std::string& mais);
    // The PathTDM line of [Sistema], its folder made.
    std::string PathTdm() const;
    // The printer's clock at 10:00:00 of `data` (dd/mm/yyyy).
    void Relogio(const std::string& data);
    // Each step sent, each one a success.
    void Envia(const Passos& passos);
    // The day's documents and its reduction.
    void Dia();
    // The one file of PathRFD (a failure when there is not exactly one).
    std::string UnicoRfd() const;
    std::vector<std::string> LinhasRfd() const;
    // The RFD of reduction `reducao` the text way: its lines, its file removed.
    void RfdDaReducao(int reducao, std::vector<std::string>& linhas);
    // The SPED records of an ATO file of the period, each split into its fields.
    std::vector<std::vector<std::string>> Sped(const std::string& ato, const char* inicio, const char* fim,
                                               const char* perfil = "T");
    std::string Log() const;
};

}  // namespace teste
