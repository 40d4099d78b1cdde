// Fixture of the fiscal-file tests against the emulated printer: the printer on COM1 of a
// scratch device folder, TARVO.INI with the work folder and PathRFD in the program folder,
// the captures (IMPR.TXT, IMPR2.TXT) in a scratch current folder, the engine past its
// once-per-load spacing command.
#pragma once

#include <filesystem>

#include "comum/ambiente.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "emulador/emulador.h"
#include "fiscalfiles/pasta_rfd.h"

namespace teste {

// A developer's section of TARVO.INI with the punctuation hosts write in it.
inline const char* const kSoftwareHouse =
    "[SoftwareHouse]\r\nCNPJ=12.345.678/0001-95\r\nIE=110.042.490.114\r\nIM=9876\r\n"
    "RazaoSocial=SOFTWARE DE TESTE LTDA\r\nNomeAplicativo=CAIXA\r\nVersao=2.1\r\nCOO=77\r\n"
    "NumeroAplicativo=3\r\nLinha1=PRIMEIRA\r\nLinha2=SEGUNDA\r\n";

class RfdComEmulador : public PastaRfd {
  protected:
    PastaTemporaria dev, atual;
    std::filesystem::path antes = std::filesystem::current_path();
    Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    emulador::Emulador e;

    void SetUp() override {
        std::filesystem::current_path(atual.Caminho());
        ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM1")) << e.Erro();
        std::filesystem::create_directory(home / "rfd");
        EscreveArquivo(home / "TARVO.INI", Sistema());
        tarvo::CarregaConfiguracao();
        tarvo::Estado() = {};
        tarvo::Estado().PrimeiroUsoFeito = true;
        tarvo::PeriodoBuscaSintegra() = {};
    }
    // The [Sistema] section of the fixture's TARVO.INI.
    std::string Sistema() const {
        return "[Sistema]\r\nPorta=COM1\r\nCorrigeRelogioZ=0\r\nPath=" + home.Caminho() +
               "\r\nPathRFD=" + home / "rfd" + "/\r\n";
    }
    void TearDown() override {
        std::filesystem::current_path(antes);
        tarvo::Estado() = {};
        tarvo::PeriodoBuscaSintegra() = {};
    }
};

}  // namespace teste
