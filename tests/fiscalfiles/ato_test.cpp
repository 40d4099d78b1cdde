// ATO files from memory dumps, in the test's process: the emulated printer on a pty, the
// library's objects linked in, the reading and converting stand-ins loaded from the build
// folder. The RFD of a reduction made the dump way is held against the text way's.
#include "driver/fiscalfiles/ato.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/protocols/familia0/f0_leituras.h"
#include "driver/protocols/familia0/parametros.h"
#include "emulador/emulador.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/rfd_emulador.h"
#include "fiscalfiles/sped_ato.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
namespace fs = std::filesystem;

const std::string kSerie = "TV010500000000012345";

// --- names and the PAF-RJ conversion ------------------------------------------------------------------

TEST(NomesAto, ExtensionPeriodCharacterAndReadingText) {
    EXPECT_EQ(ato::ExtensaoArquivoRFD(2010, 12, 31), ".VCA");
    EXPECT_EQ(ato::ExtensaoArquivoRFD(2009, 1, 5), ".519");
    EXPECT_EQ(ato::CaracterPeriodo(0), 'D');
    EXPECT_EQ(ato::CaracterPeriodo(2), 'C');
    EXPECT_EQ(ato::CaracterPeriodo(5), 'M');
    EXPECT_STREQ(ato::TextoLeitura(1), "MF");
    EXPECT_STREQ(ato::TextoLeitura(2), "MFD");
    EXPECT_STREQ(ato::TextoLeitura(7), "TDM");
    EXPECT_STREQ(ato::TextoLeitura(0), "TDM");
    EXPECT_EQ(ato::NomePafRj("/a/b/TV012345.txt"), "/a/b/PAF-RJ_TV012345.txt");
    EXPECT_EQ(ato::NomePafRj("x.txt"), "PAF-RJ_x.txt");
}

class PafRj : public teste::PastaRfd {
  protected:
    teste::PastaTemporaria atual;
    fs::path antes = fs::current_path();
    void SetUp() override {
        fs::current_path(atual.Caminho());
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nHomologar=1\r\n");
        CarregaConfiguracao();
    }
    void TearDown() override { fs::current_path(antes); }
    std::string Log() { return teste::LeArquivo(atual / "LOG.DAT"); }
};

TEST_F(PafRj, OnlyAnE01LineGivesNothingAndAnE02MoreGivesBothWithTheCommandTurned) {
    const std::string so = home / "so.txt";
    teste::EscreveArquivo(so, "E01TV0105 tdm rest\r\n");
    EXPECT_EQ(ato::ConverteATO17ParaPAFRJ(so), 0);
    EXPECT_FALSE(fs::exists(home / "PAF-RJ_so.txt"));
    EXPECT_NE(
        Log().find(
            "N\xE3o foi poss\xEDvel realizar a convers\xE3o do arquivo, o arquivo de origem est\xE1 vazio."),
        std::string::npos);

    const std::string dois = home / "dois.txt";
    teste::EscreveArquivo(dois, "E01AtdmB TDM\r\nE02X\r\nE03a\r\nE12b\r\nE13c\r\nE14d\r\nEADzz\r\nE21e\r\n");
    EXPECT_EQ(ato::ConverteATO17ParaPAFRJ(dois), 1);
    EXPECT_EQ(teste::LeArquivo(home / "PAF-RJ_dois.txt"), "E01AMFDB TDM\r\nE02X\r\nE14d\r\nE21e\r\n");
    EXPECT_NE(Log().find("Convers\xE3o efetuada com sucesso - PAF-RJ_dois.txt"), std::string::npos);
    EXPECT_EQ(Erro().UltimoRetorno, 0);
}

TEST_F(PafRj, AMissingFileIsLoggedWithItsOwnWordsAndFails) {
    EXPECT_EQ(ato::ConverteATO17ParaPAFRJ(home / "nada.txt"), 0);
    EXPECT_NE(Log().find("O arquivo " + home / "nada.txt" + " n\xE3o foi encotrado."), std::string::npos);
    EXPECT_NE(Log().find("Retorno da fun\xE7\xE3o Tarvo_ConverteATO17ParaPAFRJ:0 - "), std::string::npos);
    EXPECT_EQ(::Tarvo_ConverteATO17ParaPAFRJ(nullptr), 0);
}

// --- the converter's codes on files that are no good dump ------------------------------------------------

// A dump header: mark, version, completion flag, serial, sizes.
std::string CabecalhoDump(bool completo, std::uint64_t mf, std::uint64_t mfd) {
    std::string h(64, '\0');
    h.replace(0, 8, "TARVOTDM");
    h[8] = 1;
    h[12] = completo ? 1 : 0;
    std::string serie = kSerie;
    serie.resize(24, ' ');
    h.replace(16, 24, serie);
    for (int i = 0; i < 8; ++i) {
        h[40 + static_cast<std::size_t>(i)] = static_cast<char>(mf >> (8 * i) & 0xFF);
        h[48 + static_cast<std::size_t>(i)] = static_cast<char>(mfd >> (8 * i) & 0xFF);
    }
    return h;
}

TEST_F(PafRj, TheConverterRefusesIncompleteAndForeignDumpsAndOutputsItCannotCreate) {
    const std::string mf = "ECF\t" + kSerie + "\tMFD1\tTARVO\tRIX 4000\tECF-IF\t01.00.05\t0001\t001\n";
    const std::string bom = home / "bom.tdm", cortado = home / "cortado.tdm", outro = home / "outro.tdm";
    teste::EscreveArquivo(bom, CabecalhoDump(true, mf.size(), 0) + mf);
    teste::EscreveArquivo(cortado, CabecalhoDump(false, 1000, 0) + mf);
    teste::EscreveArquivo(outro,
                          "E01 a text file and no dump at all, long enough for a header.................");
    // A header of ours over memories that are no records: one endless line, no ECF record.
    const std::string sem = home / "sem.tdm", linha = home / "linha.tdm";
    teste::EscreveArquivo(sem, CabecalhoDump(true, 6, 0) + "XYZ\tA\n");
    teste::EscreveArquivo(linha, CabecalhoDump(true, 3u << 20, 0) + std::string(3u << 20, 'A'));
    const std::string saida = home / "saida.txt";
    auto gera = [&](const std::string& dump, const std::string& out, char tipo = 'D',
                    const char* inicio = "01/01/2010", const char* leitura = "TDM") {
        return ato::GeraArquivoATO17Binario(dump, out, inicio, "31/12/2010", tipo, "01", leitura);
    };
    Erro().UltimoRetorno = 77;
    EXPECT_EQ(gera(cortado, saida), 16394);
    EXPECT_EQ(gera(outro, saida), 16387);
    EXPECT_EQ(gera(sem, saida), 16387);
    EXPECT_EQ(gera(linha, saida), 16387);
    EXPECT_EQ(gera(bom, home / "nao/existe/saida.txt"), 16393);
    EXPECT_FALSE(fs::exists(saida));
    EXPECT_EQ(gera(bom, saida, 'X'), 87);
    EXPECT_EQ(gera(bom, saida, 'D', "32/13/2010x"), 87);
    EXPECT_EQ(gera(bom, saida, 'D', "01/01/2010", "XYZ"), 87);
    EXPECT_EQ(Erro().UltimoRetorno, 77);  // the converter's call leaves the last error alone

    ASSERT_EQ(gera(bom, saida, 'd', "20100101", "mf"), 1);
    std::vector<std::string> linhas = teste::LinhasCrLf(teste::LeArquivo(saida));
    ASSERT_EQ(linhas.size(), 2u);
    EXPECT_EQ(linhas[0].size(), 166u);
    EXPECT_EQ(linhas[0].substr(0, 23), "E01" + kSerie);
    EXPECT_EQ(linhas[0].substr(127, 16), "2010010120101231");
    EXPECT_EQ(linhas[1].substr(0, 3), "EAD");
}

// --- the RFD of one reduction, the dump way against the text way ------------------------------------------

class AtoEmulador : public teste::RfdComEmulador {
  protected:
    void SetUp() override {
        RfdComEmulador::SetUp();
        if (HasFatalFailure()) return;
        Configura("Homologar=1\r\n" + PathTdm());
        ReducaoZ() = {};
    }
    void TearDown() override {
        RfdComEmulador::TearDown();
        ReducaoZ() = {};
        Config().TipoGeraRfdRedZ = "0";
    }
    std::map<std::string, std::vector<std::string>> Arquivos() {
        std::map<std::string, std::vector<std::string>> r;
        for (const auto& a : fs::directory_iterator(home / "rfd"))
            r[a.path().filename().string()] = teste::LinhasCrLf(teste::LeArquivo(a.path().string()));
        return r;
    }
};

using teste::sped::CamposAto;

TEST_F(AtoEmulador, TheDumpWayOfAReductionAgreesWithTheTextWayFieldByField) {
    Dia();
    if (HasFatalFailure()) return;
    ASSERT_EQ(RFD_ConvertedaMFD("1"), 1);
    auto texto = Arquivos();
    ASSERT_EQ(texto.size(), 1u);
    const std::vector<std::string> linhasTexto = texto.begin()->second;
    fs::remove(home / ("rfd/" + texto.begin()->first));

    Config().TipoGeraRfdRedZ = "1";
    ASSERT_EQ(RFD_ConvertedaMFD("1"), 1) << Erro().UltimaMensagem;
    auto dump = Arquivos();
    ASSERT_EQ(dump.size(), 1u);
    // First 3 and last 4 characters of the serial and the movement day's extension.
    const std::string nome = dump.begin()->first;
    EXPECT_EQ(nome.substr(0, 7), "TV02345");
    EXPECT_TRUE(fs::exists(home / "tdm/MemoriasTV02345.tdm"));
    const std::vector<std::string>& linhasDump = dump.begin()->second;
    ASSERT_FALSE(linhasDump.empty());
    EXPECT_EQ(linhasDump.back().substr(0, 3), "EAD");

    const LeiauteLinha leiautes[] = {kLinhaE12, kLinhaE13, kLinhaE14, kLinhaE16,
                                     kLinhaE17, kLinhaE18, kLinhaE21};
    for (LeiauteLinha l : leiautes) {
        auto a = CamposAto(linhasTexto, l), b = CamposAto(linhasDump, l);
        EXPECT_FALSE(a.empty()) << l[0].nome;
        EXPECT_EQ(a, b) << l[0].nome;
    }
    // Items: every field, the description only as far as its first printed line carries it.
    auto a = CamposAto(linhasTexto, kLinhaE15), b = CamposAto(linhasDump, kLinhaE15);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(a.size(), 5u);
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t f = 0; f < a[i].size(); ++f) {
            if (f == 9) {
                std::string t = AparaDireita(a[i][f]);
                EXPECT_EQ(b[i][f].substr(0, t.size()), t) << "item " << i;
            } else {
                EXPECT_EQ(a[i][f], b[i][f]) << "item " << i << " field " << kLinhaE15[f].nome;
            }
        }
    }
    EXPECT_NE(Log().find("DLLATO17GeraArquivo("), std::string::npos);
    EXPECT_NE(Log().find("Retorno da fun\xE7\xE3o RFD_ConvertedaMFD: 1"), std::string::npos);
}

TEST_F(AtoEmulador, APendingReductionTakesTheDayItOpenedAndSaysSo) {
    Dia();
    if (HasFatalFailure()) return;
    Config().TipoGeraRfdRedZ = "1";
    ReducaoZ().ReducaoEmAndamento = 1;
    ReducaoZ().DataAberturaZ = "03032010";
    ReducaoZ().DataZ = "04032010";
    ASSERT_EQ(RFD_ConvertedaMFD("1"), 1) << Erro().UltimaMensagem;
    auto arquivos = Arquivos();
    ASSERT_EQ(arquivos.size(), 1u);
    EXPECT_EQ(arquivos.begin()->first, "TV02345.33A");
    // The converter was asked for that day: its E01 names it.
    EXPECT_EQ(arquivos.begin()->second[0].substr(127, 16), "2010030320100303");
    EXPECT_NE(Log().find("Redu\xE7\xE3o Z pendente, acertando data para gerar ato cotepe = 03032010"),
              std::string::npos);

    // Equal dates: nothing logged, the printer's date used.
    fs::remove(home / "rfd/TV02345.33A");
    fs::remove(atual / "LOG.DAT");
    ReducaoZ().DataZ = "03032010";
    ASSERT_EQ(RFD_ConvertedaMFD("1"), 1);
    EXPECT_EQ(Log().find("pendente"), std::string::npos);
    EXPECT_FALSE(fs::exists(home / "rfd/TV02345.33A"));
}

TEST_F(AtoEmulador, AFailedStepOfTheDumpWaySaysWhichStepFailed) {
    Dia();
    if (HasFatalFailure()) return;
    Config().TipoGeraRfdRedZ = "1";
    // A reduction that does not exist has no date.
    EXPECT_NE(RFD_ConvertedaMFD("9"), 1);
    EXPECT_NE(Log().find("Erro na execu\xE7\xE3o da fun\xE7\xE3o RFD_ConvertedaMFD: Falha ao ler a data da "
                         "Redu\xE7\xE3o Z "
                         "n\xBA 9"),
              std::string::npos);
    // An output folder that does not exist: the converter fails, and the message says so.
    Config().PathRFD = home / "nao/existe/";
    EXPECT_NE(RFD_ConvertedaMFD("1"), 1);
    EXPECT_NE(Log().find("Falha ao gerar o arquivo do ATO COTEPE da Redu\xE7\xE3o Z n\xBA 1"),
              std::string::npos);
    EXPECT_EQ(Erro().UltimaMensagem, "Falha ao gerar o arquivo do ATO COTEPE da Redu\xE7\xE3o Z n\xBA 1");
}

}  // namespace
