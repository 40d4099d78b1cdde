// The cheque forms offscreen: a layout typed into the manager, saved, written to the layout
// file and read back; a bad file that leaves the table and ends the log with the failure
// line; and, in a process whose library was loaded with the configuration the editor wrote
// (a cheque-station model), a cheque printed against the emulator at the positions of that file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <filesystem>
#include <fstream>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/auxiliar.h"
#include "console/database/dm_vintaro.h"
#include "console/forms/cheques/cheques.h"
#include "console/forms/configuracao/configuracao_tarvo.h"
#include "console/layouts/cheques_ini.h"
#include "platform/pastas.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

namespace {

using teste::Caixa;
using teste::Responde;

class FormasCheque : public ::testing::Test {
  protected:
    teste::PastaTemporaria banco;
    std::unique_ptr<belmora::TdmVintaro> dm;
    std::vector<std::string> log;

    void SetUp() override {
        std::filesystem::remove(belmora::CaminhoChequesIni(plataforma::PastaPrograma()));
        belmora::DefineLogOperador([this](const std::string& l) { log.push_back(l); });
        dm = std::make_unique<belmora::TdmVintaro>();
        ASSERT_TRUE(dm->Conecta(banco.Caminho())) << dm->Erro().toStdString();
    }
    void TearDown() override {
        belmora::DefineLogOperador(nullptr);
        dm.reset();
    }
    template <typename T>
    static T* Filho(QWidget* f, const char* nome) {
        T* w = f->findChild<T*>(QString::fromLatin1(nome));
        EXPECT_TRUE(w) << nome;
        return w;
    }
    // Clicks the button and answers the question it asks with `resposta`.
    static Caixa Clica(QWidget* f, const char* botao, const char* resposta = "Sim") {
        Caixa c;
        Responde(QString::fromLatin1(resposta), &c);
        Filho<QPushButton>(f, botao)->click();
        return c;
    }
};

TEST_F(FormasCheque, ALayoutTypedSavedExportedAndImportedBack) {
    belmora::TfrmGerenciaLayouts f;
    f.show();
    teste::Digita(Filho<QLineEdit>(&f, "edtNumBanco"), "2x37");  // the letter is dropped
    EXPECT_EQ(Filho<QLineEdit>(&f, "edtNumBanco")->text(), "237");
    Filho<QLineEdit>(&f, "edtNomeBanco")->setText(QString::fromUtf8("Bradesco São"));
    Filho<QSpinBox>(&f, "edtHPosValor")->setValue(60);
    Filho<QSpinBox>(&f, "edtVPosValor")->setValue(2);
    Filho<QSpinBox>(&f, "edtHPosAno")->setValue(45);
    Filho<QSpinBox>(&f, "edtHPosFavorecido")->setValue(3001);  // held to the range
    Caixa c = Clica(&f, "btSalvar");
    EXPECT_EQ(c.texto, "Deseja realmente salvar layout de cheque?");
    ASSERT_EQ(dm->Cheques().size(), 1u);
    EXPECT_EQ(dm->Cheques()[0].numBanco, 237);
    EXPECT_EQ(dm->Cheques()[0].hPosFavorecido, 3000);
    auto* grade = Filho<QTableWidget>(&f, "grdCheques");
    ASSERT_EQ(grade->rowCount(), 1);
    EXPECT_EQ(grade->item(0, 1)->text(), QString::fromUtf8("Bradesco São"));
    EXPECT_EQ(log.back(), "<- Operação executada com Sucesso!");

    // An emptied position stops the save with the message; nothing is asked or written.
    teste::Redigita(Filho<QSpinBox>(&f, "edtVPosValor"), "");
    ASSERT_TRUE(Filho<QSpinBox>(&f, "edtVPosValor")->cleanText().isEmpty());
    c = Clica(&f, "btSalvar", "OK");
    EXPECT_EQ(c.texto, "Digite apenas números nas posições e no número do banco");
    EXPECT_EQ(dm->Cheques()[0].vPosValor, 2);

    c = Clica(&f, "btGerar");
    EXPECT_EQ(c.texto, "Deseja realmente gerar o arquivo?");
    const std::string arquivo = plataforma::PastaPrograma() + "CHEQUES.INI";
    ASSERT_TRUE(std::filesystem::exists(arquivo));
    const std::vector<belmora::LayoutCheque> antes = dm->Cheques();

    c = Clica(&f, "btLimpar");
    EXPECT_EQ(c.texto, "Deseja realmente limpar a base de cheques?");
    EXPECT_TRUE(dm->Cheques().empty());
    EXPECT_EQ(grade->rowCount(), 0);  // the grid follows

    log.clear();
    Clica(&f, "btImportar");
    ASSERT_EQ(dm->Cheques().size(), 1u);
    EXPECT_EQ(belmora::TextoChequesIni(dm->Cheques()), belmora::TextoChequesIni(antes));
    EXPECT_EQ(grade->rowCount(), 1);
    EXPECT_EQ(Filho<QSpinBox>(&f, "edtHPosAno")->value(), 45);
    const std::vector<std::string> esperado{
        "-> Importando base do arquivo cheques.ini", "  -> Abrindo arquivo cheques.ini",
        "  <- Arquivo aberto, informações lidas com sucesso!",
        "  <- Layout do Banco:Bradesco São inserido com sucesso!", "<- Operação executada com Sucesso!"};
    EXPECT_EQ(log, esperado);

    // A letter in a position: refused whole, the table as it was, the failure line last.
    {
        std::ofstream(arquivo, std::ios::binary | std::ios::app)
            << "[1]\r\nNomeBanco=Outro\r\nHPosAno=4O\r\n";
    }
    log.clear();
    std::vector<Caixa> caixas;
    teste::RespondeEmSequencia({"Sim", "OK"}, &caixas);
    Filho<QPushButton>(&f, "btImportar")->click();
    EXPECT_EQ(caixas.size(), 2u);
    EXPECT_EQ(dm->Cheques().size(), 1u);
    EXPECT_EQ(log.back(), "<- Operação falhou!");
}

#ifdef BELMORA_COM_EMULADOR
// Runs in a process of its own, started by the test below with TARVO_HOME holding a
// cheque-station configuration and the layout file, before the library loads.
TEST(ImprimeCheque, DISABLED_Filho) {
    emulador::Emulador impressora;
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
    belmora::TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(std::getenv("BELMORA_PASTA_BANCO"))) << dm.Erro().toStdString();
    belmora::TfrmImprimeCheque f;
    f.show();
    auto* bancos = f.findChild<QComboBox*>("cbBanco");
    ASSERT_EQ(bancos->count(), 1);
    EXPECT_EQ(bancos->currentText(), "Bradesco");
    f.findChild<QLineEdit*>("edtValor")->setText("123,45");
    f.findChild<QLineEdit*>("edtFavorecido")->setText("Ana");
    f.findChild<QLineEdit*>("edtCidade")->setText("Lajeado");
    f.findChild<QPushButton*>("btImprimir")->click();
    std::string cheque;
    for (const std::string& q : impressora.Quadros())
        if (q.find("ImprimeCheque") != std::string::npos) cheque = q;
    ASSERT_FALSE(cheque.empty());
    EXPECT_NE(cheque.find("Favorecido=\"Ana\""), std::string::npos) << cheque;
    EXPECT_NE(cheque.find("Valor=123,45"), std::string::npos) << cheque;
    EXPECT_NE(cheque.find("HPosAno=5 "), std::string::npos) << cheque;
    EXPECT_NE(cheque.find("HPosValor=60 "), std::string::npos) << cheque;
    EXPECT_NE(cheque.find("VPosValor=2"), std::string::npos) << cheque;
    // The parent knows the checks above ran (a filter that matched nothing also exits 0).
    std::ofstream(std::string(std::getenv("BELMORA_PASTA_BANCO")) + "impresso");
}

TEST(ImprimeCheque, AChequeIsPrintedAtThePositionsOfTheExportedLayout) {
    teste::PastaTemporaria home, dev, banco;
    {
        belmora::TdmVintaro dm;
        ASSERT_TRUE(dm.Conecta(banco.Caminho())) << dm.Erro().toStdString();
        belmora::LayoutCheque c;
        c.numBanco = 237;
        c.nomeBanco = "Bradesco";
        c.hPosAno = 45;
        c.hPosValor = 60;
        c.vPosValor = 2;
        c.vPosExtensoLinha1 = 4;
        c.vPosExtensoLinha2 = 5;
        c.vPosFavorecido = 7;
        c.vPosCidade = 9;
        c.vPosMsgLinha1 = 11;
        QString erro;
        ASSERT_TRUE(dm.SalvarCheque(c, erro)) << erro.toStdString();
        ASSERT_TRUE(belmora::GravaChequesIni(home.Caminho(), dm.Cheques(), erro)) << erro.toStdString();
    }
    // The configuration as the editor writes it ("Restaurar Padrão" with a cheque-station model):
    // the library loaded by the new process reads it, or the cheque would be refused.
    {
        belmora::ConfiguracaoTarvo c = belmora::ConfiguracaoPadrao(home.Caminho(), "COM1", {});
        c.modeloImp = "TARVO_ORVIKTH";
        c.timeoutComandos = "5";
        std::string erro;
        ASSERT_TRUE(belmora::GravaConfiguracaoTarvo(home / "TARVO.INI", c, erro)) << erro;
    }
    pid_t filho = ::fork();
    if (filho == 0) {
        ::setenv("TARVO_HOME", home.Caminho().c_str(), 1);
        ::setenv("TARVO_DEVDIR", dev.Caminho().c_str(), 1);
        ::setenv("BELMORA_PASTA_BANCO", banco.Caminho().c_str(), 1);
        ::execl("/proc/self/exe", "console_cheques_test", "--gtest_also_run_disabled_tests",
                "--gtest_filter=ImprimeCheque.DISABLED_Filho", nullptr);
        ::_exit(127);
    }
    int status = 0;
    pid_t r = 0;
    for (int i = 0; i < 600 && (r = ::waitpid(filho, &status, WNOHANG)) == 0; ++i) ::usleep(100000);
    if (r == 0) {
        ::kill(filho, SIGKILL);
        ::waitpid(filho, &status, 0);
        FAIL() << "the printing process did not end";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::filesystem::exists(banco / "impresso"));
}
#endif

}  // namespace
