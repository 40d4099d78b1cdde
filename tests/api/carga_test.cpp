// The library as a host program loads it: its load sequence runs at dlopen.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "platform/ini.h"

namespace {

using plataforma::ArquivoIni;

class CargaDaBiblioteca : public ::testing::Test {
  protected:
    teste::PastaTemporaria home;
    teste::Variavel v{"TARVO_HOME", home.Caminho()};
    std::string Ini() const { return home / "TARVO.INI"; }
    std::string Chave(const char* s, const char* k) { return ArquivoIni::LeChave(Ini(), s, k, "<none>"); }

    // Loads the library in a fresh process and reports what Tarvo_FechaPortaSerial says,
    // which tells the family apart: 1 for family 0, -3 without a blank for the numeric-code
    // families, -3 with the blank of the facade for the others.
    std::string FamiliaVista() {
        std::string arquivo = home / "familia.txt";
        int r = teste::EmProcessoFilho([&] {
            teste::Tarvo t;
            int resultado = t.Chama<int()>("Tarvo_FechaPortaSerial");
            auto [codigo, msg] = t.UltimoErro();
            teste::EscreveArquivo(arquivo,
                                  std::to_string(resultado) + "|" + std::to_string(codigo) + "|" + msg);
            return 0;
        });
        EXPECT_EQ(r, 0);
        return teste::LeArquivo(arquivo);
    }
};

TEST_F(CargaDaBiblioteca, LeavesACompleteNormalisedFileInAnEmptyProgramFolder) {
    EXPECT_EQ(FamiliaVista(), "1|0|");
    std::string ini = teste::LeArquivo(Ini());
    for (const char* linha : {"ModeloImp=TARVO_RIX", "Porta=COM1", "Path=C:\\", "HabilitaICMSCupom=0",
                              "TimeOutRedZ=40", "TimeOutComandos=10", "EspacamentoDocumentos=7", "ChecaCTS=1",
                              "CorrigeRelogioZ=1", "SANGRIA=1", "SUPRIMENTO=0", "LMFAutomatico=0"})
        EXPECT_NE(ini.find(std::string(linha) + "\r\n"), std::string::npos) << linha << " in\n" << ini;
    EXPECT_EQ(ini.rfind("[Sistema]\r\n", 0), 0u);
}

TEST_F(CargaDaBiblioteca, SelectsTheFamilyOfTheModelCode) {
    struct Caso {
        const char* modelo;
        const char* visto;
    } casos[] = {
        {"TARVO_RIX", "1|0|"},
        {"TARVO_NARDO", "1|0|"},
        {"TARVO_LISKO", "0|-3|Nao Implementado:Tarvo_FechaPortaSerial"},
        {"TARVO_SARTO", "0|-3|Nao Implementado:Tarvo_FechaPortaSerial"},
        {"TARVO_KELT_LPT", "0|-3|Nao Implementado: Tarvo_FechaPortaSerial"},
        {"TARVO_KELT_SERIAL", "0|-3|Nao Implementado: Tarvo_FechaPortaSerial"},
        {"tarvo_lisko", "1|0|"},
    };
    for (const Caso& c : casos) {
        teste::EscreveArquivo(
            Ini(), std::string("[Sistema]\r\nModeloImp=") + c.modelo + "\r\nTimeOutComandos=2\r\n");
        EXPECT_EQ(FamiliaVista(), c.visto) << c.modelo;
        EXPECT_EQ(Chave("Sistema", "ModeloImp"), c.modelo);
        EXPECT_EQ(Chave("Sistema", "TimeOutComandos"), "5");
    }
    teste::EscreveArquivo(Ini(), "[Sistema]\r\nModeloImp=TARVO_KELT_LPT\r\n");
    FamiliaVista();
    EXPECT_EQ(Chave("Sistema", "Porta"), "LPT1");
}

// A host that unloads the library and loads it again, in the same process and thread, gets
// the load sequence again: a model changed in between is the one it then drives.
TEST_F(CargaDaBiblioteca, LoadingAgainAfterAnUnloadReadsTheFileAgain) {
    std::string arquivo = home / "familias.txt";
    int r = teste::EmProcessoFilho([&] {
        std::string vistos;
        for (const char* modelo : {"TARVO_LISKO", "TARVO_RIX", "TARVO_KELT_SERIAL"}) {
            teste::EscreveArquivo(Ini(), std::string("[Sistema]\r\nModeloImp=") + modelo + "\r\n");
            teste::Tarvo t;
            const int resultado = t.Chama<int()>("Tarvo_FechaPortaSerial");
            vistos += std::to_string(resultado) + "|" + std::to_string(t.UltimoErro().first) + " ";
        }
        teste::EscreveArquivo(arquivo, vistos);
        return 0;
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(teste::LeArquivo(arquivo), "0|-3 1|0 0|-3 ");
}

TEST_F(CargaDaBiblioteca, ExportsOnlyItsExports) {
    std::string comando = "nm -D --defined-only " + std::string(TARVO_LIB);
    std::FILE* p = ::popen(comando.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::array<char, 512> linha{};
    int simbolos = 0;
    while (std::fgets(linha.data(), linha.size(), p)) {
        std::string s = linha.data();
        std::string nome = s.substr(s.rfind(' ') + 1);
        nome.pop_back();
        ++simbolos;
        EXPECT_TRUE(nome.rfind("Tarvo_", 0) == 0 || nome.rfind("RFD_", 0) == 0 ||
                    nome.rfind("Sintegra_", 0) == 0 || nome.rfind("AtoCotepe_", 0) == 0 ||
                    nome.rfind("Kelt_", 0) == 0 || nome.rfind("TarvoCupom_", 0) == 0)
            << nome;
    }
    ::pclose(p);
    EXPECT_GT(simbolos, 0);
}

}  // namespace
