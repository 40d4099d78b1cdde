// The configuration editor's keys of TARVO.INI: defaults and stored values read as the
// editor shows them, "Restaurar Padrão" written over a file that keeps every key the editor
// does not own, and a number that is not one stopping the save before anything is written.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "comum/ambiente.h"
#include "console/forms/configuracao/configuracao_tarvo.h"
#include "platform/ini.h"

namespace {

std::string Le(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(ConfiguracaoTarvo, AMissingFileGivesTheDefaultsAndStoredValuesAreReadAsTheyAre) {
    teste::PastaTemporaria pasta;
    bool temSistema = true;
    belmora::ConfiguracaoTarvo c = belmora::LeConfiguracaoTarvo(pasta / "TARVO.INI", temSistema);
    EXPECT_FALSE(temSistema);
    EXPECT_EQ(c.modeloImp, "TARVO_RIX");
    EXPECT_EQ(c.porta, "Com1");
    EXPECT_EQ(c.path, "C:\\");
    EXPECT_EQ(c.endereco, "278");
    EXPECT_EQ(c.espacamento, "7");
    EXPECT_EQ(c.sangria, "1");
    EXPECT_TRUE(c.modoGaveta);
    EXPECT_TRUE(c.checaCts);
    EXPECT_FALSE(c.homologar);
    EXPECT_EQ(c.uf, "");

    {
        std::ofstream(pasta / "TARVO.INI", std::ios::binary)
            << "[sistema]\r\nmodeloimp=TARVO_OUTRO\r\nPorta=COM3\r\nMODOGAVETA=0\r\nChecaCTS=abc\r\n"
               "HOMOLOGAR=-2\r\nSangria=12\r\nENDERECO=378\r\n[ECF]\r\nUF=SP\r\n";
    }
    c = belmora::LeConfiguracaoTarvo(pasta / "TARVO.INI", temSistema);
    EXPECT_TRUE(temSistema);
    EXPECT_EQ(c.modeloImp, "TARVO_OUTRO");  // an unknown model is kept as it is
    EXPECT_EQ(c.porta, "COM3");
    EXPECT_FALSE(c.modoGaveta);
    EXPECT_TRUE(c.checaCts);  // not a number: the default
    EXPECT_TRUE(c.homologar);  // any non-zero integer
    EXPECT_EQ(c.sangria, "12");
    EXPECT_EQ(c.endereco, "378");
    EXPECT_EQ(c.uf, "SP");
}

TEST(ConfiguracaoTarvo, RestoringWritesEveryKeyAndKeepsWhatTheEditorDoesNotOwn) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI";
    {
        std::ofstream(arquivo, std::ios::binary)
            << "; feito a mao\r\n[Sistema]\r\nModeloImp=TARVO_NARDO\r\nPorta=COM3\r\nENDERECO=888\r\n"
               "SubModelo=1\r\nMODOGAVETA=0\r\nHOMOLOGAR=1\r\n[ECF]\r\nUF=RJ\r\nCOO=000123\r\n"
               "[Opcional]\r\nCidade=Santos\r\n";
    }
    bool temSistema = false;
    const belmora::ConfiguracaoTarvo lida = belmora::LeConfiguracaoTarvo(arquivo, temSistema);
    const belmora::ConfiguracaoTarvo padrao = belmora::ConfiguracaoPadrao("/opt/belmora/", "COM1", lida);
    // The library changes a key of its own between the load and the save.
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(arquivo, "ECF", "COO", "000124"));
    std::string erro;
    ASSERT_TRUE(belmora::GravaConfiguracaoTarvo(arquivo, padrao, erro)) << erro;

    const plataforma::ArquivoIni ini(arquivo);
    const std::pair<const char*, const char*> esperado[] = {
        {"ModeloImp", "TARVO_RIX"},         {"Porta", "COM1"},
        {"Baud", "115200"},                 {"Path", "/opt/belmora/RFDTemp\\"},
        {"PathRFD", "/opt/belmora/RFD\\"},  {"PathTDM", "/opt/belmora/MemoriasTDM\\"},
        {"TIMEOUTREDZ", "40"},              {"TimeOutComandos", "10"},
        {"ENDERECO", "888"},                {"EspacamentoDocumentos", "7"},
        {"Sangria", "1"},                   {"Suprimento", "0"},
        {"GERA_RFD_REDZ", "0"},             {"TIPO_GERA_RFD_REDZ", "0"},
        {"HOMOLOGAR", "0"},                 {"HabilitaCorte", "0"},
        {"MODOGAVETA", "1"},                {"ChecaCTS", "1"},
        {"HabilitaICMSCupom", "0"},         {"LMFAutomatico", "0"},
        {"CorrigeRelogioZ", "0"},
    };
    for (const auto& [chave, valor] : esperado) EXPECT_EQ(ini.Le("Sistema", chave, "?"), valor) << chave;
    EXPECT_EQ(ini.Le("ECF", "UF", "?"), "");
    EXPECT_EQ(ini.Le("Sistema", "SubModelo"), "1");
    EXPECT_EQ(ini.Le("ECF", "COO"), "000124");
    EXPECT_EQ(ini.Le("Opcional", "Cidade"), "Santos");
    EXPECT_EQ(ini.Texto().rfind("; feito a mao\r\n", 0), 0u);
}

TEST(ConfiguracaoTarvo, ANumberThatIsNotOneStopsTheSaveBeforeAnyWrite) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI";
    { std::ofstream(arquivo, std::ios::binary) << "[Sistema]\r\nPorta=COM3\r\n"; }
    bool temSistema = false;
    belmora::ConfiguracaoTarvo c = belmora::LeConfiguracaoTarvo(arquivo, temSistema);
    c.porta = "COM2";
    for (std::string belmora::ConfiguracaoTarvo::*campo :
         {&belmora::ConfiguracaoTarvo::espacamento, &belmora::ConfiguracaoTarvo::sangria,
          &belmora::ConfiguracaoTarvo::suprimento, &belmora::ConfiguracaoTarvo::timeoutRedZ,
          &belmora::ConfiguracaoTarvo::timeoutComandos}) {
        for (const char* ruim : {"", "1a", "-1"}) {
            belmora::ConfiguracaoTarvo r = c;
            r.*campo = ruim;
            std::string erro;
            EXPECT_FALSE(belmora::GravaConfiguracaoTarvo(arquivo, r, erro)) << ruim;
            EXPECT_FALSE(erro.empty());
            EXPECT_EQ(Le(arquivo), "[Sistema]\r\nPorta=COM3\r\n");
        }
    }
    std::string erro;
    ASSERT_TRUE(belmora::GravaConfiguracaoTarvo(arquivo, c, erro)) << erro;
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(arquivo, "Sistema", "Porta"), "COM2");
}

}  // namespace
