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
    EXPECT_TRUE(c.checaCts);   // not a number: the default
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
        {"ModeloImp", "TARVO_RIX"},
        {"Porta", "COM1"},
        {"Baud", "115200"},
        {"Path", "/opt/belmora/RFDTemp\\"},
        {"PathRFD", "/opt/belmora/RFD\\"},
        {"PathTDM", "/opt/belmora/MemoriasTDM\\"},
        {"TIMEOUTREDZ", "40"},
        {"TimeOutComandos", "10"},
        {"ENDERECO", "888"},
        {"EspacamentoDocumentos", "7"},
        {"Sangria", "1"},
        {"Suprimento", "0"},
        {"GERA_RFD_REDZ", "0"},
        {"TIPO_GERA_RFD_REDZ", "0"},
        {"HOMOLOGAR", "0"},
        {"HabilitaCorte", "0"},
        {"MODOGAVETA", "1"},
        {"ChecaCTS", "1"},
        {"HabilitaICMSCupom", "0"},
        {"LMFAutomatico", "0"},
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

// --- the editor's window -------------------------------------------------------------------------

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "comum_formularios.h"
#include "console/binding/auxiliar.h"
#include "console/forms/configuracao/configuracoes.h"
#include "platform/serial.h"

namespace {

class Editor : public ::testing::Test {
  protected:
    teste::PastaTemporaria home;
    teste::Variavel v{"TARVO_HOME", home.Caminho()};
    std::vector<std::string> log;
    int reinicios = 0;
    bool reiniciaOk = true;

    void SetUp() override {
        plataforma::InstalaListaPortasSeriais([] {
            return std::vector<plataforma::PortaListada>{{"COM1", "COM1", ""}, {"COM3", "COM3", ""}};
        });
        belmora::DefineLogOperador([this](const std::string& l) { log.push_back(l); });
        belmora::TfrmConfiguracoes::DefineReinicio([this] {
            ++reinicios;
            return reiniciaOk;
        });
    }
    void TearDown() override {
        belmora::TfrmConfiguracoes::DefineReinicio(nullptr);
        belmora::DefineLogOperador(nullptr);
        plataforma::InstalaListaPortasSeriais(nullptr);
    }
    static QString Lista(QWidget* f, const char* nome) {
        return f->findChild<QComboBox*>(nome)->currentText();
    }
};

TEST_F(Editor, StoredValuesShownRestoredWrittenAndAFailedRestartKeepsTheWindow) {
    const std::string arquivo = home / "TARVO.INI";
    {
        std::ofstream(arquivo, std::ios::binary)
            << "[Sistema]\r\nModeloImp=TARVO_OUTRO\r\nPorta=com3\r\nMODOGAVETA=0\r\nENDERECO=888\r\n"
               "SubModelo=1\r\nSangria=99\r\n[ECF]\r\nUF= SP \r\n";
    }
    belmora::TfrmConfiguracoes f;
    f.show();
    EXPECT_EQ(Lista(&f, "cbModelo"), "TARVO_OUTRO");
    EXPECT_EQ(Lista(&f, "cbPorta"), "COM3");
    EXPECT_EQ(Lista(&f, "cbModoGaveta"), "Invertido");
    EXPECT_EQ(Lista(&f, "cbSangria"), "0");  // not in the list: the first entry
    EXPECT_EQ(Lista(&f, "cbUF"), "SP");
    EXPECT_TRUE(f.findChild<QRadioButton*>("rgChecaCTS0")->isChecked());
    EXPECT_EQ(log.front(), "-> Lendo dados do arquivo Tarvo.ini.");
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso!");

    // "Salvar" with No to the restart: the unknown model is written back unchanged.
    std::vector<teste::Caixa> caixas;
    teste::RespondeEmSequencia({"Sim", "Não"}, &caixas);
    f.findChild<QPushButton*>("btSalvar")->click();
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[0].titulo, "Salvar configurações");
    EXPECT_EQ(caixas[1].titulo, "Salvar configurações");
    EXPECT_EQ(reinicios, 0);
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(arquivo, "Sistema", "ModeloImp"), "TARVO_OUTRO");
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(arquivo, "Sistema", "MODOGAVETA"), "0");

    // "Restaurar Padrão", then Yes to the restart, which cannot start: the window stays.
    reiniciaOk = false;
    caixas.clear();
    teste::RespondeEmSequencia({"Sim", "Sim", "OK"}, &caixas);
    f.findChild<QPushButton*>("btRestaurar")->click();
    EXPECT_EQ(reinicios, 1);
    ASSERT_EQ(caixas.size(), 3u);  // the two questions and the warning
    EXPECT_TRUE(f.isVisible());
    const plataforma::ArquivoIni ini(arquivo);
    EXPECT_EQ(ini.Le("Sistema", "ModeloImp"), "TARVO_RIX");
    EXPECT_EQ(ini.Le("Sistema", "Porta"), "COM1");
    EXPECT_EQ(ini.Le("Sistema", "Path"), home.Caminho() + "RFDTemp\\");
    EXPECT_EQ(ini.Le("Sistema", "MODOGAVETA"), "1");
    EXPECT_EQ(ini.Le("Sistema", "Sangria"), "1");
    EXPECT_EQ(ini.Le("Sistema", "ENDERECO"), "888");
    EXPECT_EQ(ini.Le("Sistema", "SubModelo"), "1");
    EXPECT_EQ(ini.Le("ECF", "UF", "?"), "");

    // An emptied number stops the save before anything is written, with the failure line last.
    const std::string antes = Le(arquivo);
    f.findChild<QLineEdit*>("edtEspacamento")->clear();
    caixas.clear();
    teste::RespondeEmSequencia({"Sim", "OK"}, &caixas);
    f.findChild<QPushButton*>("btSalvar")->click();
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(Le(arquivo), antes);
    EXPECT_EQ(log.back(), "<- Operação falhou!");
}

TEST_F(Editor, AMissingFileSaysSoAndFillsTheDefaults) {
    belmora::TfrmConfiguracoes f;
    f.show();
    EXPECT_EQ(log, (std::vector<std::string>{
                       "-> Lendo dados do arquivo Tarvo.ini.", " -> Arquivo Tarvo.ini não encontrado.",
                       " -> Preenchendo configurações padrão.", "<- Operação executada com Sucesso!"}));
    EXPECT_EQ(Lista(&f, "cbModelo"), "TARVO_RIX");
    EXPECT_EQ(Lista(&f, "cbPorta"), "COM1");  // "Com1" is not listed here, but COM1 is (any case)
    EXPECT_EQ(Lista(&f, "cbUF"), "");
    EXPECT_EQ(f.findChild<QLineEdit*>("edtPath")->text(), "C:\\");
}

}  // namespace
