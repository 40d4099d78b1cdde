// The Status and Reports forms against the printer emulator on COM1: what each form shows,
// what it logs and what it called (the daily call log).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/binding/log_dll.h"
#include "console/forms/leituras/captura.h"
#include "console/forms/leituras/leituras.h"
#include "console/forms/status/status.h"
#include "platform/codepage.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

const QString kOk = QStringLiteral("<- Operação executada com Sucesso!");
const QString kFalhou = QStringLiteral("<- Operação falhou!");

class Formas : public teste::FormasNoEmulador {
  protected:
    template <typename W = QLineEdit>
    static QString Texto(QWidget* f, const char* nome) {
        auto* w = teste::Campo<W>(f, nome);
        return w ? w->text() : QString();
    }
};

TEST_F(Formas, StatusFormsShowAnOpenReceiptRatesPaymentFormsAndLowPaper) {
    impressora.Altera([](emulador::Impressora& p) {
        p.aliquotas[0] = {true, 1800, true, "T18"};
        p.aliquotas[3] = {true, 500, false, "S05"};
        p.meiosPagamento[0] = {true, "Cartao", "Cartao", true};
        p.poucoPapel = true;
        p.cliche =
            "\x1b! MERCADO BOM\x1b!\x02\nRUA \x1b"
            "E1A\x1b"
            "E0, 10!\n  BAIRRO\nCIDADE";
    });
    ASSERT_EQ(dll::Tarvo_AbreCupomMFD("", "", ""), 1);

    {  // status bytes: every box follows the bits of the last reading only
        auto f = Mostra<belmora::TfrmStatusImp>();
        EXPECT_EQ(log, QStringList({"-> Verificando Status Impressora", kOk}));
        EXPECT_TRUE(f->Caixa(1)->isChecked());  // "Pouco papel"
        EXPECT_TRUE(f->Caixa(6)->isChecked());  // "Cupom Fiscal aberto"
        EXPECT_FALSE(f->Caixa(0)->isChecked());
        impressora.Altera([](emulador::Impressora& p) { p.poucoPapel = false; });
        f->findChild<QPushButton*>("btCapturar")->click();
        EXPECT_FALSE(f->Caixa(1)->isChecked());
        EXPECT_TRUE(f->Caixa(6)->isChecked());
    }
    log.clear();
    {  // the open receipt
        auto f = Mostra<belmora::TfrmStatusCupom>();
        EXPECT_EQ(log,
                  QStringList({"-> Lendo Status do Cupom", "  -> Número do Caixa lido com sucesso!",
                               "  -> Número do Cupom lido com sucesso!", "  -> Data/Hora lidos com sucesso!",
                               "  -> Subtotal lido com sucesso!", "  -> Grande Total lido com sucesso!",
                               "  -> Número de Itens lido com sucesso!", kOk}));
        EXPECT_EQ(Texto(f.get(), "edtECF").toInt(), 1);
        EXPECT_EQ(Texto(f.get(), "edtNroCupom").toInt(), impressora.Impressora().contadores.coo);
        EXPECT_EQ(Texto(f.get(), "edtData").size(), 6);
        EXPECT_EQ(Texto(f.get(), "edtHora").size(), 6);
    }
    log.clear();
    {  // rates: row code + 1, percentage as "00,00"
        auto f = Mostra<belmora::TfrmAliquotas>();
        QTableWidget* g = f->Grade();
        // Rates 5 to 15 are not programmed: their reads fail, and so does the load.
        EXPECT_EQ(log, QStringList({"-> Obtendo Alíquotas Programáveis ...", kFalhou}));
        EXPECT_EQ(Celula(g, 0, 1), "Percentual");
        EXPECT_EQ(Celula(g, 1, 0), "0");
        EXPECT_EQ(Celula(g, 1, 1), "18,00");
        EXPECT_EQ(Celula(g, 1, 2), "T18");
        EXPECT_EQ(Celula(g, 1, 3), "ICMS");
        EXPECT_EQ(Celula(g, 4, 1), "05,00");
        EXPECT_EQ(Celula(g, 4, 3), "ISSQN");
        EXPECT_EQ(Celula(g, 16, 1), "");
    }
    log.clear();
    {  // payment forms: the cash form in the row labelled "-2"
        auto f = Mostra<belmora::TfrmMeiosPgto>();
        QTableWidget* g = f->Grade();
        EXPECT_EQ(log, QStringList({"-> Lendo Formas de Pagamento", kOk}));
        EXPECT_EQ(Celula(g, 0, 4), "Vinculado?");
        EXPECT_EQ(Celula(g, 1, 0), "-2");
        EXPECT_EQ(Celula(g, 2, 0), "0");
        EXPECT_EQ(Celula(g, 1, 2), "0,00");
        EXPECT_EQ(Celula(g, 2, 1), "Cartao");
        EXPECT_EQ(Celula(g, 2, 4), "Sim");
    }
    log.clear();
    {  // identity: the basic-software date is a fiscal-memory reading, refused while a receipt
       // is open, and only that last read decides: nothing is filled
        auto f = Mostra<belmora::TfrmDadosECF>();
        EXPECT_EQ(log.last(), kFalhou);
        EXPECT_EQ(Texto(f.get(), "edtMarca"), "");
    }
    log.clear();
    {  // change and non-fiscal totals
        auto t = Mostra<belmora::TfrmStatusTroco>();
        EXPECT_EQ(log, QStringList({"-> Lendo valor de troco do dia", kOk}));
        log.clear();
        auto c = Mostra<belmora::TfrmCNF>();
        EXPECT_EQ(log, QStringList({"-> Lendo Comprovantes não fiscais", kOk}));
        EXPECT_EQ(c->findChild<QPlainTextEdit*>("mmVendas")->toPlainText().count(" , "), 15);
    }
    log.clear();
    {  // owner and header: only the line with the print-mode escape is expanded
        auto f = Mostra<belmora::TfrmDadosCliche>();
        EXPECT_EQ(log.first(), "-> Lendo dados do Clichê");
        EXPECT_EQ(log.last(), kOk) << log.join("\n").toStdString();
        EXPECT_EQ(Texto(f.get(), "edtLinha1"), "MERCADO BOM");
        EXPECT_FALSE(f->findChild<QLabel*>("lblExpLinha1")->isHidden());
        EXPECT_EQ(Texto(f.get(), "edtLinha2"), "RUA <n>A</n>, 10!");
        EXPECT_TRUE(f->findChild<QLabel*>("lblExpLinha2")->isHidden());
        EXPECT_EQ(Texto(f.get(), "edtLinha3"), "BAIRRO");
        EXPECT_EQ(Texto(f.get(), "edtLinha4"), "CIDADE ");
        EXPECT_EQ(Texto(f.get(), "edtCNPJ"), "11.222.333/0001-81");
        EXPECT_EQ(Texto(f.get(), "edtIM"), "12345678");
    }
}

TEST_F(Formas, TheIdentityFormShowsDatesAndTimesWithSeparators) {
    // The basic software's date is read from the fiscal memory of reduction 1.
    ASSERT_EQ(dll::Tarvo_ReducaoZ("", ""), 1);
    auto f = Mostra<belmora::TfrmDadosECF>();
    EXPECT_EQ(log.first(), "-> Lendo Dados do ECF");
    EXPECT_EQ(log.last(), kOk) << log.join("\n").toStdString();
    EXPECT_EQ(Texto(f.get(), "edtMarca"), "TARVO");
    EXPECT_EQ(Texto(f.get(), "edtModelo"), "RIX 4000");
    EXPECT_EQ(Texto(f.get(), "edtNroSerie"), "TV010500000000012345");
    EXPECT_TRUE(
        QRegularExpression("^\\d\\d/\\d\\d/\\d\\d$").match(Texto(f.get(), "edtDataSoftBasico")).hasMatch())
        << Texto(f.get(), "edtDataSoftBasico").toStdString();
    EXPECT_TRUE(
        QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(Texto(f.get(), "edtHoraSoftBasico")).hasMatch())
        << Texto(f.get(), "edtHoraSoftBasico").toStdString();
}

TEST_F(Formas, ASilentPrinterFailsTheRateGridAfterTheSwitchedOnCheck) {
    impressora.Silencia();
    auto f = Mostra<belmora::TfrmAliquotas>();
    EXPECT_EQ(log, QStringList({"-> Obtendo Alíquotas Programáveis ...", kFalhou}));
    EXPECT_NE(LogDLL().find("Tarvo_VerificaImpressoraLigada("), std::string::npos);
    EXPECT_EQ(LogDLL().find("LeAliquota"), std::string::npos);
    EXPECT_EQ(Celula(f->Grade(), 1, 1), "");
}

TEST_F(Formas, TheRateGridSaysSuccessWhenEveryRateWasRead) {
    impressora.Altera([](emulador::Impressora& p) {
        for (auto& a : p.aliquotas) a = {true, 100, true, "T"};
    });
    auto f = Mostra<belmora::TfrmAliquotas>();
    EXPECT_EQ(log, QStringList({"-> Obtendo Alíquotas Programáveis ...", kOk}));
}

TEST_F(Formas, AnXReadingToThePortIsShownAndARefusedOneLeavesTheDisplayEmpty) {
    auto f = Mostra<belmora::TFrmLeituraX>();
    EXPECT_TRUE(log.isEmpty());  // nothing runs on show
    f->findChild<QRadioButton*>("rgDestino1")->click();
    f->findChild<QPushButton*>("btImprimir")->click();
    EXPECT_EQ(log.first(), "-> Emitindo Leitura X Serial");
    EXPECT_EQ(log.last(), kOk);
    const QStringList linhas = f->Memo()->Linhas();
    ASSERT_FALSE(linhas.isEmpty());
    EXPECT_TRUE(linhas.filter("LEITURA").size() > 0) << linhas.join("\n").toStdString();
    for (const QString& l : linhas) {
        EXPECT_LE(l.size(), 48) << l.toStdString();
        EXPECT_FALSE(l.contains(QChar(0x1B))) << l.toStdString();
    }
    // The emulator's stream is code page 850: its accented letters come through decoded.
    EXPECT_FALSE(linhas.filter(QRegularExpression(QStringLiteral("^VENDA BRUTA DIÁRIA:"))).isEmpty())
        << linhas.join("\n").toStdString();

    // Saved as the operator sees it, CR LF.
    EXPECT_TRUE(f->Memo()->Salva("leitura.txt"));
    EXPECT_EQ(teste::LeArquivo("leitura.txt").substr(0, linhas[0].toLatin1().size() + 2),
              plataforma::Utf8ParaCp1252(linhas[0].toStdString()) + "\r\n");

    // Refused: the display stays empty, not showing the capture before.
    impressora.ErroEm("EmiteLeituraX", 8000);
    log.clear();
    f->findChild<QPushButton*>("btImprimir")->click();
    EXPECT_EQ(log.last(), kFalhou);
    EXPECT_TRUE(f->Memo()->Linhas().isEmpty());
    EXPECT_TRUE(f->Memo()->toPlainText().isEmpty());

    // The box takes no typing.
    f->Memo()->setFocus();
    QTest::keyClicks(f->Memo(), "abc");
    QTest::keyClick(f->Memo(), Qt::Key_Delete);
    EXPECT_TRUE(f->Memo()->toPlainText().isEmpty());
}

TEST_F(Formas, ZReductionAndFiscalMemoryReadingsCallTheLibraryWithTheFormsValues) {
    {
        auto f = Mostra<belmora::TfrmReducaoZ>();
        f->findChild<QCheckBox*>("chkAlteraHora")->click();
        EXPECT_FALSE(f->findChild<QWidget*>("edtData")->isEnabled());
        f->findChild<QPushButton*>("btImprimir")->click();
        EXPECT_EQ(log.first(), "-> Emitindo Redução Z");
        EXPECT_NE(LogDLL().find("Tarvo_ReducaoZ(\"\",\"\");"), std::string::npos) << LogDLL();
    }
    log.clear();
    {
        auto f = Mostra<belmora::TfrmLeituraMFMFD>();
        EXPECT_TRUE(f->findChild<QWidget*>("edtInicial")->isHidden());
        f->findChild<QCheckBox*>("cbSimples")->click();
        f->findChild<QPushButton*>("btImprimir")->click();
        EXPECT_EQ(log.first(), "-> Emitindo Leitura da MF por Data");
        const QString hoje = QDate::currentDate().toString("dd/MM/yy");
        EXPECT_NE(
            LogDLL().find(
                ("Tarvo_LeituraMemoriaFiscalData(\"" + hoje + "\",\"" + hoje + "\",\"s\");").toStdString()),
            std::string::npos)
            << LogDLL();
        log.clear();
        f->findChild<QRadioButton*>("rgTipo1")->click();
        EXPECT_FALSE(f->findChild<QWidget*>("edtInicial")->isHidden());
        EXPECT_TRUE(f->findChild<QWidget*>("dtpDataInicial")->isHidden());
        f->findChild<QLineEdit*>("edtInicial")->setText("1");
        f->findChild<QLineEdit*>("edtFinal")->setText("1");
        f->findChild<QCheckBox*>("cbSimples")->click();
        f->findChild<QRadioButton*>("rgDestino1")->click();
        f->findChild<QPushButton*>("btImprimir")->click();
        EXPECT_EQ(log.first(), "-> Emitindo Leitura da MF por Redução Serial");
        EXPECT_NE(LogDLL().find("Tarvo_LeituraMemoriaFiscalSerialReducao(\"1\",\"1\",\"c\");"),
                  std::string::npos);
        if (log.last() == kOk) {
            EXPECT_FALSE(f->Memo()->Linhas().isEmpty());
        }
    }
}

}  // namespace
#endif
