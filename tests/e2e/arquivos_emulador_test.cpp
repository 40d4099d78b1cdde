// TARVO.INI and RETORNO.TXT end to end: the real libtarvo.so against the printer emulator
// when the settings file cannot be stored.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "comum/roteiro.h"
#include "emulador/emulador.h"

namespace {

class Arquivos : public teste::ComEmulador {};

TEST_F(Arquivos, ACommandThatWentOutIsNotFailedByAReadOnlySettingsFile) {
    const std::string ini =
        std::string(teste::kIniBase) + "Path=" + home.Caminho() + "\r\n[Flags]\r\nNumPkt=9\r\n";
    teste::EscreveArquivo(home / "TARVO.INI", ini);
    ::chmod((home / "TARVO.INI").c_str(), 0444);
    std::string falhas = Roda([](teste::Cenario& c) {
        char r[4096];
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"COO\"", r);
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"CCF\"", r);
        PASSO(c, 1, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
    });
    EXPECT_EQ(falhas, "");
    // The packet numbers go on from memory, one per frame.
    EXPECT_EQ(e.Quadros(),
              (std::vector<std::string>{
                  "{10;EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=210;71}",
                  "{11;LeInteiro;NomeInteiro=\"COO\";31}",
                  "{12;LeInteiro;NomeInteiro=\"CCF\";31}",
                  "{13;AvancaPapel;Avanco=30;25}",
              }));
    EXPECT_EQ(teste::LeArquivo(home / "TARVO.INI"), ini);
    EXPECT_EQ(teste::LeArquivo(home / "RETORNO.TXT"), "ValorInteiro=0\r\n");
}

}  // namespace
