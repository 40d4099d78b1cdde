#include "driver/core/configuracao.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "comum/ambiente.h"
#include "driver/core/estado.h"
#include "platform/ini.h"

namespace {

using plataforma::ArquivoIni;
using tarvo::Config;

class Carga : public ::testing::Test {
  protected:
    teste::PastaTemporaria home;
    teste::Variavel v{"TARVO_HOME", home.Caminho()};
    std::string Ini() const { return home / "TARVO.INI"; }
    std::string Chave(const char* secao, const char* chave) {
        return ArquivoIni::LeChave(Ini(), secao, chave, "<none>");
    }
    void Carrega(const std::string& conteudo) {
        teste::EscreveArquivo(Ini(), conteudo);
        tarvo::CarregaConfiguracao();
    }
};

TEST_F(Carga, AnEmptyProgramFolderGetsACompleteNormalisedFile) {
    tarvo::CarregaConfiguracao();
    EXPECT_EQ(teste::LeArquivo(Ini()),
              "[Sistema]\r\n"
              "ModeloImp=TARVO_RIX\r\n"
              "Porta=COM1\r\n"
              "Path=C:\\\r\n"
              "HabilitaICMSCupom=0\r\n"
              "TimeOutRedZ=40\r\n"
              "TimeOutComandos=10\r\n"
              "EspacamentoDocumentos=7\r\n"
              "ChecaCTS=1\r\n"
              "CorrigeRelogioZ=1\r\n"
              "SANGRIA=1\r\n"
              "SUPRIMENTO=0\r\n"
              "LMFAutomatico=0\r\n");
    EXPECT_EQ(Config().FamiliaModelo, 0);
    EXPECT_EQ(Config().Path, home.Caminho());
    EXPECT_EQ(Config().PathRFD, home.Caminho());
    EXPECT_EQ(Config().PortaDispositivo, "\\\\.\\COM1");
    EXPECT_EQ(Config().PortaBaud, "115200");
    EXPECT_TRUE(Config().LmfAutomaticaFeita);
}

TEST_F(Carga, ModelCodesChooseFamilyAndSubModel) {
    struct Caso {
        const char* modelo;
        int familia, submodelo;
    } casos[] = {{"TARVO_SARTO", 2, 0},
                 {"TARVO_LISKO", 1, 0},
                 {"TARVO_NARDO", 0, 2},
                 {"TARVO_VESK", 0, 3},
                 {"TARVO_KELT_LPT", 4, 0},
                 {"TARVO_KELT_SERIAL", 5, 0},
                 {"TARVO_ORVIKTH", 0, 1},
                 {"TARVO_DASK300", 0, 1},
                 {"TARVO_RIX", 0, 0},
                 {"tarvo_sarto", 0, 0},
                 {"", 0, 0}};
    for (const Caso& c : casos) {
        Carrega(std::string("[Sistema]\r\nModeloImp=") + c.modelo + "\r\n");
        EXPECT_EQ(Config().FamiliaModelo, c.familia) << c.modelo;
        EXPECT_EQ(Config().SubModelo, c.submodelo) << c.modelo;
        EXPECT_EQ(Chave("Sistema", "ModeloImp"), c.modelo);
    }
}

TEST_F(Carga, NumbersAreNormalisedAndWrittenBack) {
    Carrega(
        "[Sistema]\r\nTimeOutComandos=3\r\nTimeOutRedZ=x\r\nEspacamentoDocumentos=abc\r\n"
        "HabilitaICMSCupom=2\r\nChecaCTS=0\r\nCorrigeRelogioZ=7\r\nConfigRede=sim\r\n");
    EXPECT_EQ(Config().TimeOutComandos, 5);
    EXPECT_EQ(Chave("Sistema", "TimeOutComandos"), "5");
    EXPECT_EQ(Chave("Sistema", "TimeOutRedZ"), "40");
    EXPECT_EQ(Config().EspacamentoDocumentos, 7);
    EXPECT_FALSE(Config().HabilitaICMSCupom);
    EXPECT_EQ(Chave("Sistema", "HabilitaICMSCupom"), "0");
    EXPECT_FALSE(Config().ChecaCTS);
    EXPECT_EQ(Chave("Sistema", "CorrigeRelogioZ"), "1");
    EXPECT_EQ(Config().ConfigRede, 0);

    Carrega("[Sistema]\r\nTimeOutComandos=abc\r\n");
    EXPECT_EQ(Config().TimeOutComandos, 10);
}

TEST_F(Carga, WorkFolderGetsItsSeparatorInMemoryOnly) {
    Carrega("[Sistema]\r\nPath=D:\\work\r\n");
    EXPECT_EQ(Config().Path, home.Caminho() + "work/");
    EXPECT_EQ(Chave("Sistema", "Path"), "D:\\work");
}

TEST_F(Carga, FiscalFileFoldersDefaultToTheProgramFolderOrItsSubFolder) {
    Carrega("");
    EXPECT_EQ(Chave("Sistema", "PathRFD"), "<none>");
    std::filesystem::create_directory(home / "RFD");
    std::filesystem::create_directory(home / "Memorias");
    Carrega("");
    EXPECT_EQ(Config().PathRFD, home.Caminho() + "RFD/");
    EXPECT_EQ(Chave("Sistema", "PathRFD"), home.Caminho() + "RFD/");
    EXPECT_EQ(Config().PathTDM, home.Caminho() + "Memorias/");
    Carrega("[Sistema]\r\nPathRFD=C:\\fiscal\r\n");
    EXPECT_EQ(Config().PathRFD, home.Caminho() + "fiscal/");
    EXPECT_EQ(Chave("Sistema", "PathRFD"), "C:\\fiscal");
}

TEST_F(Carga, StateCampaignFollowsTheStateAndTheIcmsSwitch) {
    Carrega("[ECF]\r\nUF=rj\r\n");
    EXPECT_EQ(Config().UF, "RJ");
    EXPECT_TRUE(Config().CampanhaEstadual);
    Carrega("[ECF]\r\nUF=MG\r\n");
    EXPECT_FALSE(Config().CampanhaEstadual);
    Carrega("[ECF]\r\nUF=MG\r\n[Sistema]\r\nHabilitaICMSCupom=1\r\n");
    EXPECT_TRUE(Config().CampanhaEstadual);
}

TEST_F(Carga, CutterSettingCountsOnlyForSubModels) {
    Carrega("[Sistema]\r\nHabilitaCorte=3\r\n");
    EXPECT_EQ(Config().HabilitaCorte, "0");
    EXPECT_EQ(Config().TipoCorte, 0);
    Carrega("[Sistema]\r\nModeloImp=TARVO_VESK\r\nHabilitaCorte=3\r\n");
    EXPECT_EQ(Config().HabilitaCorte, "3");
    EXPECT_EQ(Config().TipoCorte, 3);
    Carrega("[Sistema]\r\nModeloImp=TARVO_VESK\r\nHabilitaCorte=x\r\n");
    EXPECT_EQ(Chave("Sistema", "HabilitaCorte"), "0");
}

TEST_F(Carga, PortKeysArePerFamily) {
    Carrega("[Sistema]\r\nPorta=Com12\r\nBAUD=4800\r\n");
    EXPECT_EQ(Config().PortaDispositivo, "\\\\.\\COM12");
    EXPECT_EQ(Chave("Sistema", "Porta"), "COM12");
    EXPECT_EQ(Config().PortaBaud, "115200");
    EXPECT_EQ(Chave("Sistema", "BAUD"), "4800");  // not written back
    Carrega("[Sistema]\r\nPorta=COMX\r\nBAUD=19200\r\n");
    EXPECT_EQ(Chave("Sistema", "Porta"), "COM1");
    EXPECT_EQ(Config().PortaBaud, "19200");
    Carrega("[Sistema]\r\nModeloImp=TARVO_KELT_SERIAL\r\nBAUD=4800\r\n");
    EXPECT_EQ(Config().PortaBaud, "4800");
    for (auto [porta, esperado] : {std::pair{"LPT", "LPT1"},
                                   {"LPT12", "LPT1"},
                                   {"LPT2", "LPT2"},
                                   {"COM1", "LPT1"},
                                   {"LPTX", "LPT1"},
                                   {"LPT3X", "LPT1"},
                                   {"LPT3XY", "LPT3"}}) {
        Carrega(std::string("[Sistema]\r\nModeloImp=TARVO_KELT_LPT\r\nPorta=") + porta +
                "\r\nEndereco=278\r\n");
        EXPECT_EQ(Chave("Sistema", "Porta"), esperado) << porta;
        EXPECT_EQ(Config().PortaDados, 632);
        EXPECT_EQ(Config().PortaStatus, 633);
        EXPECT_EQ(Config().PortaControle, 634);
    }
    Carrega("[Sistema]\r\nModeloImp=TARVO_KELT_LPT\r\nEndereco=zz\r\n");
    EXPECT_EQ(Config().PortaDados, 888);
}

TEST_F(Carga, PacketNumbersRunFromOneTo255) {
    Carrega("");
    EXPECT_EQ(tarvo::ProximoPacote(), 2);  // missing NumPkt counts as 1
    EXPECT_EQ(tarvo::ProximoPacote(), 3);
    ArquivoIni::GravaChave(Ini(), "Flags", "NumPkt", "254");
    EXPECT_EQ(tarvo::ProximoPacote(), 255);
    EXPECT_EQ(tarvo::ProximoPacote(), 1);
    ArquivoIni::GravaChave(Ini(), "Flags", "NumPkt", "lixo");
    EXPECT_EQ(tarvo::ProximoPacote(), 2);
    ArquivoIni::GravaChave(Ini(), "Flags", "NumPkt", "900");
    EXPECT_EQ(tarvo::ProximoPacote(), 1);
    EXPECT_EQ(Chave("Flags", "NumPkt"), "1");
}

TEST_F(Carga, FlagWritersKeepMemoryAndFileTogether) {
    Carrega("[Flags]\r\nGerencial=1\r\n[Sistema]\r\nLMFAutomatico=1\r\n");
    EXPECT_EQ(Config().Gerencial, 1);
    EXPECT_FALSE(Config().LmfAutomaticaFeita);
    tarvo::GravaFlagGerencial(0);
    EXPECT_EQ(Config().Gerencial, 0);
    EXPECT_EQ(Chave("Flags", "Gerencial"), "0");
    tarvo::GravaUltimaLMF("12/2010");
    EXPECT_EQ(Config().LMFAUT_UltimaData, "12/2010");
    EXPECT_EQ(Chave("Flags", "LMFAUT_UltimaData"), "12/2010");
}

TEST_F(Carga, LoadResetsTheRunTimeState) {
    tarvo::Estado().PrimeiroUsoFeito = true;
    tarvo::Estado().NomeOperador = "ANA";
    tarvo::Estado().ArmazenamentoRFD = true;
    Carrega("");
    EXPECT_FALSE(tarvo::Estado().PrimeiroUsoFeito);
    EXPECT_EQ(tarvo::Estado().NomeOperador, "");
    EXPECT_FALSE(tarvo::Estado().ArmazenamentoRFD);
    EXPECT_TRUE(tarvo::Estado().EmiteLMF_RFD);
}

TEST_F(Carga, CommentsAndUnknownSectionsSurviveTheWriteBack) {
    const std::string original =
        "; configured by the installer\r\n[Loja]\r\nNome=Mercado\r\n\r\n[Sistema]\r\nPorta=COM2\r\n";
    Carrega(original);
    std::string depois = teste::LeArquivo(Ini());
    EXPECT_EQ(depois.substr(0, 46), original.substr(0, 46));
    EXPECT_NE(depois.find("[Sistema]\r\nPorta=COM2\r\nModeloImp=TARVO_RIX\r\n"), std::string::npos) << depois;
}

}  // namespace
