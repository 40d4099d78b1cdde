// Whole receipts issued from the forms inside the main window, driven by keys, against the
// printer emulator on COM1: what the printer printed, the call log and the operator log.
#include "console/forms/cupom/cupom.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <filesystem>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/ecf_dll.h"
#include "console/binding/log_dll.h"
#include "console/database/dm_vintaro.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

using teste::Caixa;
using teste::Campo;
using teste::Digita;
using teste::Redigita;
using teste::Responde;

// The main window with a product stored in a fresh database; the promotional line file
// of an earlier test gone.
class Cupom : public teste::NaJanelaComProduto {
  protected:
    void SetUp() override {
        std::filesystem::remove("EncerraDocumento.txt");
        NaJanelaComProduto::SetUp();
    }

    void Ok(belmora::TFormulario* f) {
        f->BotaoOK()->setFocus();
        QTest::keyClick(f->BotaoOK(), Qt::Key_Space);
    }
    QString UltimaLinha() { return log->count() ? log->item(log->count() - 1)->text() : QString(); }
    std::string Fita() { return impressora.Impressora().TextoFita(); }
};

TEST_F(Cupom, AWholeFiscalReceiptFromTheForms) {
    // A stored promotional line waits in the current folder.
    teste::EscreveArquivo("EncerraDocumento.txt",
                          plataforma::Utf8ParaCp1252("Obrigado pela preferência!\r\n"));

    // Open, with a CPF typed as digits and masked on leaving the field.
    belmora::TFormulario* f = Abre(Qt::Key_F7, Qt::Key_A);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->objectName(), "TfrmAbreCupom");
    EXPECT_EQ(QApplication::focusWidget(), f->BotaoOK());
    auto* cpf = Campo<QLineEdit>(f, "edtCNPJ_CPF");
    Digita(cpf, "52998224725");
    QTest::keyClick(cpf, Qt::Key_Tab);
    EXPECT_EQ(cpf->text(), "529.982.247-25");
    Digita(Campo(f, "edtNome"), "Fulano de Tal");
    Digita(Campo(f, "edtEndereco"), "Rua das Flores, 10");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"-> Abrindo Cupom", "<- Operação executada com Sucesso!"}));

    // A product of the grid by a double click: one unit at once.
    f = Abre(Qt::Key_F7, Qt::Key_V);
    ASSERT_TRUE(f);
    auto* grade = Campo<QTableWidget>(f, "grdProdutos");
    EXPECT_EQ(QApplication::focusWidget(), grade);
    ASSERT_EQ(grade->rowCount(), 1);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtCodProduto")->text(), "001");
    log->clear();
    QRect celula = grade->visualRect(grade->model()->index(0, 1));
    QTest::mouseClick(grade->viewport(), Qt::LeftButton, Qt::NoModifier, celula.center());
    QTest::mouseDClick(grade->viewport(), Qt::LeftButton, Qt::NoModifier, celula.center());
    EXPECT_EQ(Campo<QLineEdit>(f, "edtQuantidade")->text(), "1");
    EXPECT_EQ(Log(), QStringList({"-> Vendendo Item", "<- Operação executada com Sucesso!"}));

    // A typed item: three decimals in the unit value, 10 % off.
    Redigita(Campo(f, "edtCodProduto"), "002");
    Redigita(Campo(f, "edtDescricao"), "QUEIJO MINAS");
    Redigita(Campo(f, "edtAliquota"), "II");
    Redigita(Campo(f, "edtUnidade"), "KG");
    Redigita(Campo(f, "edtQuantidade"), "2,5");
    Campo<QRadioButton>(f, "rb3")->click();
    Redigita(Campo(f, "edtR"), "10,125");
    Campo<QRadioButton>(f, "rbPorcentagem")->click();
    Redigita(Campo(f, "edtValorDesconto"), "10,00");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"-> Vendendo Item", "<- Operação executada com Sucesso!"}));

    // One real off item 1 (an amount takes no decimals: 100 is 1,00).
    f = Abre(Qt::Key_F7, Qt::Key_D);
    ASSERT_TRUE(f);
    EXPECT_FALSE(Campo<QLabel>(f, "lblObs")->isVisible());
    Redigita(Campo(f, "edtNumItem"), "1");
    Redigita(Campo(f, "edtValorPerc"), "100");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(),
              QStringList({"-> Executando Desconto / Acréscimo", "<- Operação executada com Sucesso!"}));

    // A surcharge of 0,50 on the subtotal.
    f = Abre(Qt::Key_F7, Qt::Key_S);
    ASSERT_TRUE(f);
    Campo<QRadioButton>(f, "rgOperacao1")->click();
    Redigita(Campo(f, "edtValorPerc"), "50");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(),
              QStringList({"-> Acréscimo / Desconto no Subtotal", "<- Operação executada com Sucesso!"}));

    // Payment: the amount owed is read on show. 5,00 - 1,00 + 2,5 x 10,125 = 25,31 (rounded
    // down by the printer) - 2,53 + 0,50.
    const std::int64_t total = [&] {
        return impressora.Altera([](emulador::Impressora& i) { return i.aberto.Total(); });
    }();
    log->clear();
    f = Abre(Qt::Key_F7, Qt::Key_P);
    ASSERT_TRUE(f);
    const QString devido =
        QString::number(total / 100) + "," + QString::number(total % 100).rightJustified(2, '0');
    EXPECT_EQ(Campo<QLabel>(f, "edtValorCupom")->text(), devido);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtValor")->text(), devido);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtCodMeio")->text(), "-2");
    EXPECT_EQ(QApplication::focusWidget(), f->BotaoOK());
    EXPECT_EQ(Log(), QStringList({"-> Lendo Subtotal", "<- Operação executada com Sucesso!"}));
    Redigita(Campo(f, "edtValor"), "10");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"-> Efetuando Pagamento", "<- Operação executada com Sucesso!"}));
    const std::int64_t resto = total - 1000;
    const QString restante =
        QString::number(resto / 100) + "," + QString::number(resto % 100).rightJustified(2, '0');
    EXPECT_EQ(Campo<QLabel>(f, "edtValorCupom")->text(), restante);
    // The rest by credit card.
    Redigita(Campo(f, "edtCodMeio"), "Cartao Credito");
    Redigita(Campo(f, "edtValor"), restante);
    Ok(f);
    EXPECT_EQ(UltimaLinha(), "<- Operação executada com Sucesso!");
    EXPECT_EQ(Campo<QLabel>(f, "edtValorCupom")->text(), "0,00");

    // Closing with the stored line added to the promotional text.
    f = Abre(Qt::Key_F7, Qt::Key_E);
    ASSERT_TRUE(f);
    auto* linhas = Campo<QListWidget>(f, "lstLinhasCadastradas");
    ASSERT_EQ(linhas->count(), 1);
    linhas->setCurrentRow(0);
    Caixa pergunta;
    Responde("Sim", &pergunta);
    QTest::keyClick(Campo(f, "btAdicionar"), Qt::Key_Space);
    EXPECT_EQ(pergunta.texto, "Deseja realmente adicionar a linha?");
    EXPECT_EQ(Campo<QPlainTextEdit>(f, "mmTextoPromocional")->toPlainText(), "Obrigado pela preferência!");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"-> Finalizando Cupom", "<-Operação executada com Sucesso!"}));

    // What the printer printed.
    const std::string fita = plataforma::Cp850ParaCp1252(Fita());
    const emulador::Impressora estado = impressora.Impressora();
    const emulador::Documento* cupom = estado.DocumentoPorCoo(estado.contadores.coo);
    ASSERT_TRUE(cupom);
    const std::string texto = plataforma::Cp1252ParaUtf8(plataforma::Cp850ParaCp1252(cupom->Texto()));
    EXPECT_TRUE(cupom->fechado);
    for (const char* trecho :
         {"529.982.247-25", "Fulano de Tal", "ARROZ TIPO 1", "QUEIJO MINAS", "Obrigado pela prefer"})
        EXPECT_NE(texto.find(trecho), std::string::npos) << trecho << "\n" << texto;

    // The calls as the call log has them.
    const std::string dll = LogDLL();
    for (const char* chamada :
         {"Tarvo_AbreCupomMFD(\"529.982.247-25\",\"Fulano de Tal\",\"Rua das Flores, 10\");",
          "Tarvo_VendeItem(\"001\",\"ARROZ TIPO 1\",\"FF\",\"UN\",\"1\",2,\"5,00\",\"\",\"\");",
          "Tarvo_VendeItem(\"002\",\"QUEIJO MINAS\",\"II\",\"KG\",\"2,5\",3,\"10,125\",\"%\",\"10,00\");",
          "Tarvo_AcrescimoDescontoItemMFD(\"1\",\"D\",\"$\",\"100\");",
          "Tarvo_AcrescimoDescontoSubtotalMFD(\"A\",\"$\",\"50\");",
          "Tarvo_EfetuaFormaPagamento(\"-2\",\"10,00\");",
          "Tarvo_TerminaFechamentoCupom(\"Obrigado pela preferência!\");"})
        EXPECT_NE(dll.find(chamada), std::string::npos) << chamada << "\n" << dll;
}

TEST_F(Cupom, NonFiscalReceiptVoucherAndARefusalThatLeavesTheFieldsAlone) {
    // Open, one cash-in item, pay, close.
    belmora::TFormulario* f = Abre(Qt::Key_F8, Qt::Key_A);
    ASSERT_TRUE(f);
    EXPECT_EQ(QApplication::focusWidget(), Campo(f, "edtCNPJ_CPF"));
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"<- Operação executada com Sucesso!"}));

    f = Abre(Qt::Key_F8, Qt::Key_I);
    ASSERT_TRUE(f);
    auto* codigo = Campo<QComboBox>(f, "edtCodNF");
    EXPECT_EQ(codigo->count(), 16);
    EXPECT_EQ(codigo->currentText(), "0");
    Redigita(Campo(f, "edtValor"), "50,00");
    // The printer refuses once: the driver's line, the failure line, the fields as typed.
    impressora.ErroEm("EmiteItemNaoFiscal", 8005, "TotalizadorVazio", "Totalizador nao programado", 1);
    log->clear();
    Ok(f);
    ASSERT_EQ(log->count(), 2);
    EXPECT_TRUE(Log()[0].startsWith("  <- Erro nº: 8005 - ")) << Log()[0].toStdString();
    EXPECT_EQ(Log()[1], "<-Operação falhou!");
    EXPECT_EQ(Campo<QLineEdit>(f, "edtValor")->text(), "50,00");
    EXPECT_EQ(codigo->currentText(), "0");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"<-Operação executada com Sucesso!"}));

    // A second item, cancelled from the non-fiscal group (tag 1).
    Ok(f);
    f = Abre(Qt::Key_F8, Qt::Key_C);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Tag(), 1);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtNumItem")->text(), "0");
    Redigita(Campo(f, "edtNumItem"), "2");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"-> Cancelando Item", "<- Operação executada com Sucesso!"}));
    EXPECT_NE(LogDLL().find("Tarvo_CancelaItemNaoFiscalMFD(\"2\");"), std::string::npos);

    // The item discount form from this group carries the note about entry operations.
    f = Abre(Qt::Key_F8, Qt::Key_D);
    ASSERT_TRUE(f);
    EXPECT_TRUE(Campo<QLabel>(f, "lblObs")->isVisible());

    f = Abre(Qt::Key_F8, Qt::Key_P);
    ASSERT_TRUE(f);
    EXPECT_EQ(Campo<QLabel>(f, "edtValorCupom")->text(), "50,00");
    Ok(f);
    EXPECT_EQ(Campo<QLabel>(f, "edtValorCupom")->text(), "0,00");
    f = Abre(Qt::Key_F8, Qt::Key_M);
    ASSERT_TRUE(f);
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"-> Finalizando Cupom", "<-Operação executada com Sucesso!"}));
    EXPECT_EQ(impressora.Impressora().aberto.tipo, emulador::TipoDocumento::Nenhum);

    // A fiscal receipt paid by card, then the voucher linked to that payment.
    ASSERT_EQ(dll::Tarvo_AbreCupom(""), 1);
    ASSERT_EQ(dll::Tarvo_VendeItem("9", "PAO", "FF", "UN", "1", 2, "3,00", "", "0"), 1);
    ASSERT_EQ(dll::Tarvo_EfetuaFormaPagamento("Cartao Credito", "3,00"), 1);
    ASSERT_EQ(dll::Tarvo_TerminaFechamentoCupom(""), 1);
    const int coo = impressora.Impressora().contadores.coo;
    f = Abre(Qt::Key_F8, Qt::Key_V);
    ASSERT_TRUE(f);
    EXPECT_EQ(QApplication::focusWidget(), Campo(f, "edtPag"));
    EXPECT_EQ(Campo<QLineEdit>(f, "edtValor")->text(), "0,00");
    Digita(Campo(f, "edtPag"), "Cartao Credito");
    Redigita(Campo(f, "edtValor"), "3,00");
    Redigita(Campo(f, "edtCOO"), QString::number(coo));
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"<- Operação executada com Sucesso!"}));
    EXPECT_EQ(impressora.Impressora().aberto.tipo, emulador::TipoDocumento::CreditoDebito);
}

TEST_F(Cupom, CancellingAFiscalItemAndAPaymentReadWithTheSubtotalFailing) {
    ASSERT_EQ(dll::Tarvo_AbreCupom(""), 1);
    ASSERT_EQ(dll::Tarvo_VendeItem("9", "PAO", "FF", "UN", "1", 2, "3,00", "", "0"), 1);
    belmora::TFormulario* f = Abre(Qt::Key_F7, Qt::Key_C);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Tag(), 0);
    EXPECT_EQ(QApplication::focusWidget(), Campo(f, "edtNumItem"));
    Redigita(Campo(f, "edtNumItem"), "1");
    log->clear();
    Ok(f);
    EXPECT_EQ(Log(), QStringList({"-> Cancelando Item", "<- Operação executada com Sucesso!"}));
    EXPECT_NE(LogDLL().find("Tarvo_CancelaItemGenerico(\"1\");"), std::string::npos);

    // The subtotal cannot be read: nothing owed is shown, the failure is in the log.
    impressora.Silencia(-1);
    log->clear();
    f = Abre(Qt::Key_F7, Qt::Key_P);
    ASSERT_TRUE(f);
    impressora.LimpaFalhas();
    EXPECT_EQ(Campo<QLabel>(f, "edtValorCupom")->text(), "0,00");
    ASSERT_GE(log->count(), 3);
    EXPECT_EQ(Log().first(), "-> Lendo Subtotal");
    EXPECT_EQ(UltimaLinha(), "<- Operação falhou!");
}

}  // namespace
#endif
