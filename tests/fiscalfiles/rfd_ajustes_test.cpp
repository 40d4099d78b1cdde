// The RFD settings and the exports that clear the scratch folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "comum/ambiente.h"
#include "driver/core/estado.h"
#include "driver/core/registro.h"
#include "fiscalfiles/pasta_rfd.h"
#include "tarvo.h"

namespace {

namespace fs = std::filesystem;
using tarvo::Estado;

class AjustesRfd : public teste::PastaRfd {
  protected:
    AjustesRfd() {
        fs::create_directories(Rfdtemp("SUB"));
        Estado().EmiteLMF_RFD = true;
        Estado().ArmazenamentoRFD = false;
        Estado().FlagTDM = true;
    }
    ~AjustesRfd() override {
        Estado().EmiteLMF_RFD = true;
        Estado().ArmazenamentoRFD = false;
        Estado().FlagTDM = true;
    }
    bool Existe(const std::string& nome) const { return fs::exists(Rfdtemp(nome)); }
    void Cria(const std::string& nome) const { teste::EscreveArquivo(Rfdtemp(nome), "x\r\n"); }
};

TEST_F(AjustesRfd, EmitLmfOffDeletesTheKeptReadingAndOnDeletesNothing) {
    Cria("LEITMF.TXT");
    EXPECT_EQ(RFD_SetaEmiteLMF_RFD(1), 1);
    EXPECT_TRUE(Estado().EmiteLMF_RFD);
    EXPECT_TRUE(Existe("LEITMF.TXT"));
    EXPECT_EQ(RFD_SetaEmiteLMF_RFD(0), 1);
    EXPECT_FALSE(Estado().EmiteLMF_RFD);
    EXPECT_FALSE(Existe("LEITMF.TXT"));
    // Without the file, and without the folder, it still answers 1.
    EXPECT_EQ(RFD_SetaEmiteLMF_RFD(0), 1);
    fs::remove_all(Rfdtemp());
    EXPECT_EQ(RFD_SetaEmiteLMF_RFD(0), 1);
    // Any byte other than 0 switches it on.
    EXPECT_EQ(RFD_SetaEmiteLMF_RFD(200), 1);
    EXPECT_TRUE(Estado().EmiteLMF_RFD);
}

TEST_F(AjustesRfd, StorageAndTdmFollowTheirByte) {
    RFD_SetaStorage(1);
    AtoCotepe_SetaTDMFlag(0);
    EXPECT_TRUE(Estado().ArmazenamentoRFD);
    EXPECT_FALSE(Estado().FlagTDM);
    RFD_SetaStorage(0);
    AtoCotepe_SetaTDMFlag(2);
    EXPECT_FALSE(Estado().ArmazenamentoRFD);
    EXPECT_TRUE(Estado().FlagTDM);
    // Neither touches the scratch folder.
    Cria("DETALHE.TXT");
    RFD_SetaStorage(1);
    EXPECT_TRUE(Existe("DETALHE.TXT"));
}

TEST_F(AjustesRfd, EmptyingTheScratchFolderKeepsItsSubfolders) {
    for (const char* nome : {"SINT.TXT", "E12.DAT", "DETALHE.TXT", "RFD000123.1C4", "SUB/DENTRO.TXT"})
        Cria(nome);
    fs::permissions(Rfdtemp("E12.DAT"), fs::perms::owner_read);  // read-only goes too
    RFD_ApagaArquivos();
    EXPECT_FALSE(Existe("SINT.TXT"));
    EXPECT_FALSE(Existe("E12.DAT"));
    EXPECT_FALSE(Existe("DETALHE.TXT"));
    EXPECT_FALSE(Existe("RFD000123.1C4"));
    EXPECT_TRUE(Existe("SUB/DENTRO.TXT"));
    // A missing folder is no failure.
    fs::remove_all(Rfdtemp());
    tarvo::Erro().UltimoRetorno = 0;  // not what an earlier test left
    RFD_ApagaArquivos();
    EXPECT_NE(tarvo::Erro().UltimoRetorno, -1);
}

TEST_F(AjustesRfd, SintegraFilesAreTheOnlyOnesDeleted) {
    for (const char* nome : {"SINT.TXT", "SINTEGRA.TXT", "SINT.TXT.OLD", "LEITMF.TXT"}) Cria(nome);
    Sintegra_ApagaFiles();
    EXPECT_FALSE(Existe("SINT.TXT"));
    EXPECT_FALSE(Existe("SINTEGRA.TXT"));
    EXPECT_TRUE(Existe("SINT.TXT.OLD"));
    EXPECT_TRUE(Existe("LEITMF.TXT"));
}

}  // namespace
