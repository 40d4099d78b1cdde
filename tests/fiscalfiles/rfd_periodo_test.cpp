// The RFD files of a range of movement dates, against the emulated printer through the real
// port code.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/fiscalfiles/sintegra.h"
#include "driver/protocols/familia0/parametros.h"
#include "emulador/emulador.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/rfd_emulador.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
namespace fs = std::filesystem;

class PeriodoRfd : public teste::RfdComEmulador {
  protected:
    std::string hoje;

    void SetUp() override {
        RfdComEmulador::SetUp();
        if (HasFatalFailure()) return;
        Config().Homologar = true;  // the driver log, whose lines these tests read
        ASSERT_EQ(EnviaComandoTxt("LeData", "NomeData=\"Data\""), 1);
        hoje = FormataData(Resposta().ValorResposta);
    }
    void TearDown() override {
        RfdComEmulador::TearDown();
        Config().Debugger = false;
        Config().Homologar = false;
        Sintegra() = {};
    }
    std::size_t ArquivosRfd() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& a : fs::directory_iterator(home / "rfd")) ++n;
        return n;
    }
};

TEST_F(PeriodoRfd, TheDaysReductionGivesItsFileAndAMissingNextOneIsNoFailure) {
    Dia();
    if (HasFatalFailure()) return;
    fs::create_directories(Rfdtemp());
    for (const char* nome : {"DETALHE.TXT", "ALQ_0001.TXT", "E11_0001.TXT", "LIXO.TXT", "SINT.TXT"})
        teste::EscreveArquivo(Rfdtemp(nome), "x\r\n");
    Estado().GeraSintegraAtivo = true;
    Estado().EmiteLMF_RFD = false;
    const std::string d = SomenteNumeros(hoje);
    EXPECT_EQ(RFD_ConvertedaMFDData(d.c_str(), d.c_str()), 1) << Erro().UltimaMensagem;
    EXPECT_EQ(ArquivosRfd(), 1u);
    // The storage inputs stay; the rest of the scratch folder went before the loop.
    for (const char* nome : {"DETALHE.TXT", "ALQ_0001.TXT", "E11_0001.TXT"})
        EXPECT_TRUE(fs::exists(Rfdtemp(nome))) << nome;
    EXPECT_FALSE(fs::exists(Rfdtemp("LIXO.TXT")));
    // Reduction 1 of the period, and 2 after it.
    EXPECT_NE(Log().find("*** Lendo intervalo(1 ate 2"), std::string::npos);
    EXPECT_NE(Log().find("*** Debug1(" + d + "," + d + "Inicio=0,0"), std::string::npos);
    EXPECT_TRUE(Estado().EmiteLMF_RFD);
    EXPECT_FALSE(Estado().GeraSintegraAtivo);
    EXPECT_TRUE(PeriodoBuscaSintegra().inicio.empty());
}

TEST_F(PeriodoRfd, APeriodAfterTheLastReductionIsAFailureWithItsMessage) {
    Dia();
    if (HasFatalFailure()) return;
    Estado().GeraSintegraAtivo = true;
    Estado().EmiteLMF_RFD = false;
    const int r = RFD_ConvertedaMFDData("01012090", "31012090");
    EXPECT_NE(r, 1);
    EXPECT_EQ(Erro().UltimoRetorno, 8089) << Erro().UltimaMensagem;
    EXPECT_EQ(Erro().UltimaMensagem, "ErroCMDDataInvalida - Data solicitada inexistente.");
    EXPECT_EQ(ArquivosRfd(), 0u);
    // An early end leaves the detail-tape setting alone.
    EXPECT_FALSE(Estado().EmiteLMF_RFD);
    EXPECT_FALSE(Estado().GeraSintegraAtivo);
}

TEST_F(PeriodoRfd, DebugModeConvertsReduction121Only) {
    Dia();
    if (HasFatalFailure()) return;
    Config().Debugger = true;
    RFD_ConvertedaMFDData("01012000", "31122099");
    const std::string log = Log();
    EXPECT_NE(log.find("*** Lendo intervalo(121 ate 121"), std::string::npos);
    EXPECT_NE(log.find("Modo Debug3 - Nao deve ser usado em producao"), std::string::npos);
    // No fiscal-memory reading of the period went to the printer.
    for (const auto& t : e.Trocas()) EXPECT_EQ(t.parametros.find("DataInicial"), std::string::npos);
}

TEST_F(PeriodoRfd, WithSintegraOnTheConversionsEndInTheMonthsFile) {
    Dia();
    if (HasFatalFailure()) return;
    Estado().GeraSintegraAtivo = true;
    Sintegra().Flag60D = Sintegra().Flag60I = Sintegra().Flag60R = true;
    Sintegra().Registro10 =
        PreencheEspacosDireita("1012345678000199ISENTO", 107) + std::string(16, '9') + "331";
    Sintegra().Registro11 = PreencheEspacosDireita("11RUA", 126);
    const std::string d = SomenteNumeros(hoje);
    ASSERT_EQ(RFD_ConvertedaMFDData(d.c_str(), d.c_str()), 1) << Erro().UltimaMensagem;
    auto linhas = teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("SINTEGRA.TXT")));
    ASSERT_GE(linhas.size(), 6u);
    for (const auto& l : linhas) EXPECT_EQ(l.size(), 126u) << l;
    const std::string aaaammdd = d.substr(4, 4) + d.substr(2, 2) + d.substr(0, 2);
    EXPECT_EQ(linhas[0].substr(107), aaaammdd + aaaammdd + "331");
    EXPECT_EQ(linhas[2].substr(0, 3), "60M");
    std::map<std::string, int> tipos;
    for (const auto& l : linhas) ++tipos[l.substr(0, 3)];
    EXPECT_EQ(tipos["60M"], 1);
    EXPECT_GE(tipos["60A"], 1);
    EXPECT_GE(tipos["60D"], 1);
    EXPECT_GE(tipos["60I"], tipos["60D"]);
    EXPECT_GE(tipos["60R"], 1);
    EXPECT_EQ(linhas.back().substr(0, 30), "9012345678000199ISENTO        ");
    EXPECT_FALSE(Estado().GeraSintegraAtivo);
}

}  // namespace
