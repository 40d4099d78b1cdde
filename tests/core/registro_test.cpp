#include "driver/core/registro.h"

#include <gtest/gtest.h>

#include <cstring>

#include "comum/ambiente.h"
#include "driver/core/configuracao.h"

namespace {

using namespace tarvo;

// Undoes the scrambling of HOMOL.DAT: each byte is written as (byte XOR key) and the key.
std::string Desembaralha(const std::string& t) {
    std::string r;
    for (std::size_t i = 0; i + 3 < t.size(); i += 4) {
        int x = std::stoi(t.substr(i, 2), nullptr, 16), k = std::stoi(t.substr(i + 2, 2), nullptr, 16);
        EXPECT_EQ(k % 2, 1);
        r += static_cast<char>(x ^ k);
    }
    return r;
}

class Registro : public ::testing::Test {
  protected:
    teste::PastaTemporaria pasta;
    std::filesystem::path antes = std::filesystem::current_path();
    void SetUp() override {
        std::filesystem::current_path(pasta.Caminho());
        Config().Path = pasta.Caminho();
    }
    void TearDown() override { std::filesystem::current_path(antes); }
};

TEST_F(Registro, TheLogIsWrittenOnlyWhenSwitchedOn) {
    Config().Homologar = false;
    GravaVersaoLog();
    EXPECT_FALSE(std::filesystem::exists(pasta / "LOG.DAT"));
    EXPECT_FALSE(std::filesystem::exists(pasta / "HOMOL.DAT"));

    Config().Homologar = true;
    GravaVersaoLog();
    GravaLog("segunda");
    std::string log = teste::LeArquivo(pasta / "LOG.DAT");
    EXPECT_NE(log.find("=>---------------[1.0.0.22]------------\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("=>segunda\r\n"), std::string::npos);
    ASSERT_EQ(log[2], '/');  // dd/mm/yyyy hh:mm:ss=>
    EXPECT_EQ(log[10], ' ');
    EXPECT_EQ(log.substr(19, 2), "=>");

    std::string homol = teste::LeArquivo(pasta / "HOMOL.DAT");
    std::string primeira = homol.substr(0, homol.find("\r\n"));
    std::string claro = Desembaralha(primeira);
    EXPECT_NE(claro.find("**---------------[1.0.0.22]------------"), std::string::npos) << claro;
    Config().Homologar = false;
}

TEST_F(Registro, ScrambledLinesDifferButDecodeToTheSameText) {
    std::string a = EmbaralhaTexto("TEXTO", 1), b = EmbaralhaTexto("TEXTO", 2);
    EXPECT_NE(a, b);
    EXPECT_EQ(Desembaralha(a), "TEXTO");
    EXPECT_EQ(Desembaralha(b), "TEXTO");
}

TEST_F(Registro, ReportersSetCodeMessageAndStatus) {
    ZeraStatus();
    Erro().TextoRetorno = "antigo";
    EXPECT_EQ(InformaNaoImplementado(" Tarvo_LeituraX"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -3);
    EXPECT_EQ(Erro().UltimaMensagem, "Nao Implementado: Tarvo_LeituraX");
    EXPECT_EQ(Erro().TextoRetorno, "");
    EXPECT_EQ(Erro().EstadoAck, 6);
    EXPECT_EQ(Erro().EstadoSt1, 0);
    EXPECT_EQ(Erro().EstadoSt2, 0);

    Erro().TextoRetorno = "fica";
    EXPECT_EQ(InformaComandoInexistente(" Tarvo_X"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -2);
    EXPECT_EQ(Erro().UltimaMensagem, "Comando Inexistente para este modelo: Tarvo_X");
    EXPECT_EQ(Erro().TextoRetorno, "fica");
    EXPECT_EQ(Erro().EstadoSt1, 4);
    EXPECT_EQ(Erro().EstadoSt2, 1);
}

TEST_F(Registro, HandBackFillsTheBufferAndTheResultFile) {
    char buffer[16];
    std::memset(buffer, ' ', sizeof buffer);
    Erro().TextoRetorno = "12345";
    DevolveRetornoZeros(4, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "2345");
    EXPECT_EQ(teste::LeArquivo(pasta / "RETORNO.TXT"), "2345\r\n");

    Erro().TextoRetorno = "AB";
    DevolveRetornoBrancos(4, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "AB  ");

    Erro().TextoValor = "9";
    DevolveValorZeros(3, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "009");
    EXPECT_EQ(teste::LeArquivo(pasta / "RETORNO.TXT"), "AB  \r\n");  // values never touch the file
}

TEST_F(Registro, HandBackNeverWritesPastTheBuffer) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    Erro().TextoRetorno = "0123456789";
    DevolveRetorno(buffer, 5);
    EXPECT_STREQ(buffer, "0123");
    EXPECT_EQ(buffer[5], 'x');
    EXPECT_EQ(teste::LeArquivo(pasta / "RETORNO.TXT"), "0123456789\r\n");  // the file keeps it whole
    DevolveRetorno(nullptr, 0);  // no buffer at all: nothing to write, no crash
}

TEST_F(Registro, AMissingWorkFolderDoesNotStopTheHandBack) {
    Config().Path = pasta.Caminho() + "nao/existe/";
    char buffer[8];
    Erro().TextoRetorno = "ok";
    DevolveRetorno(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "ok");
}

}  // namespace
