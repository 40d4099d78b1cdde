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
        EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\nCorrigeRelogioZ=0\r\nPath=" + home.Caminho() +
                                               "\r\nPathRFD=" + home / "rfd" + "/\r\n");
        tarvo::CarregaConfiguracao();
        tarvo::Estado() = {};
        tarvo::Estado().PrimeiroUsoFeito = true;
        tarvo::PeriodoBuscaSintegra() = {};
    }
    void TearDown() override {
        std::filesystem::current_path(antes);
        tarvo::Estado() = {};
        tarvo::PeriodoBuscaSintegra() = {};
    }
};

}  // namespace teste
