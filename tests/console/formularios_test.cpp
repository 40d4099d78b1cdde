// The form layer and the receipt forms on their own (no printer behind COM1): the description
// table, focus, the guard, the stored lines, the payment's amounts, the sell form's switches
// and its product table on a real database.
#include "console/main/formularios.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <filesystem>

#include "components/enhedit.h"
#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/auxiliar.h"
#include "console/database/dm_vintaro.h"
#include "console/forms/comum/descricao.h"
#include "console/forms/comum/valores.h"
#include "console/forms/cupom/cupom.h"
#include "console/main/principal.h"
#include "console/programa/inicio.h"
#include "platform/codepage.h"

namespace {

using belmora::TFormulario;
using teste::Caixa;
using teste::Responde;

// The operator log of the tests, without a main window.
class Formularios : public ::testing::Test {
  protected:
    QStringList log;
    void SetUp() override {
        belmora::RegistraFormulariosDoConsole();
        belmora::DefineLogOperador([this](const std::string& l) { log << QString::fromStdString(l); });
    }
    void TearDown() override {
        belmora::DefineLogOperador(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(Formularios, TheDescriptionTableBuildsEachFormWithItsNamesLengthsAndFocus) {
    struct Esperado {
        const char* classe;
        const char* titulo;
        std::vector<std::pair<const char*, int>> tamanhos;  // field, most characters
        const char* foco;
    };
    const Esperado esperados[] = {
        {"TfrmAbreCupom",
         "Abrir Cupom Fiscal",
         {{"edtCNPJ_CPF", 26}, {"edtNome", 30}, {"edtEndereco", 80}},
         "btOK"},
        {"TfrmCancelarItem", "Cancelar Item Fiscal", {{"edtNumItem", 8}}, "edtNumItem"},
        {"TfrmAbreCNF",
         "Abrir Cupom Não Fiscal",
         {{"edtCNPJ_CPF", 29}, {"edtNome", 30}, {"edtEnd", 80}},
         "edtCNPJ_CPF"},
        {"TfrmEmiteItemNF", "Emite Item Não Fiscal", {}, "edtCodNF"},
        {"TAbreCNFVinc",
         "Abrir Cupom Não fiscal vinculado",
         {{"edtPag", 16}, {"edtValor", 13}, {"edtCOO", 6}},
         "edtPag"},
    };
    const auto& tabela = belmora::FormulariosDeCupom();
    ASSERT_EQ(tabela.size(), std::size(esperados));
    for (std::size_t i = 0; i < tabela.size(); ++i) {
        const Esperado& e = esperados[i];
        SCOPED_TRACE(e.classe);
        std::unique_ptr<QWidget> w(belmora::CriaFormulario(e.classe));
        ASSERT_TRUE(w);
        auto* f = qobject_cast<TFormulario*>(w.get());
        ASSERT_TRUE(f);
        EXPECT_EQ(f->objectName(), e.classe);
        EXPECT_EQ(f->windowTitle(), QString::fromUtf8(e.titulo));
        for (auto [nome, tamanho] : e.tamanhos) {
            auto* campo = f->findChild<QLineEdit*>(nome);
            ASSERT_TRUE(campo) << nome;
            EXPECT_EQ(campo->maxLength(), tamanho) << nome;
        }
        EXPECT_EQ(f->BotaoOK()->text(), "OK");
        EXPECT_EQ(f->BotaoSair()->text(), "Sair");
        f->show();
        QApplication::setActiveWindow(f);
        EXPECT_EQ(QApplication::focusWidget(), f->findChild<QWidget*>(e.foco));
    }
    // The start lines, prefixes and numeric fields the table gives.
    EXPECT_STREQ(tabela[0].inicio, "-> Abrindo Cupom");
    EXPECT_STREQ(tabela[1].inicio, "-> Cancelando Item");
    EXPECT_EQ(tabela[2].inicio, nullptr);
    EXPECT_STREQ(tabela[3].prefixo, "<-");
    EXPECT_STREQ(tabela[4].prefixo, "<- ");
    std::unique_ptr<QWidget> vinc(belmora::CriaFormulario("TAbreCNFVinc"));
    EXPECT_EQ(vinc->findChild<tarvo::TEnhancedEdit*>("edtValor")->text(), "0,00");
    EXPECT_EQ(vinc->findChild<tarvo::TEnhancedEdit*>("edtCOO")->Digits(), 0);
    std::unique_ptr<QWidget> item(belmora::CriaFormulario("TfrmEmiteItemNF"));
    auto* lista = item->findChild<QComboBox*>("edtCodNF");
    EXPECT_TRUE(lista->isEditable());
    EXPECT_EQ(lista->itemText(15), "15");
}

TEST_F(Formularios, AFailedCallLogsTheDriversLineAndTheFailureWithTheFormsPrefix) {
    // No printer behind COM1: the open fails at the port.
    std::unique_ptr<QWidget> w(belmora::CriaFormulario("TfrmEmiteItemNF"));
    auto* f = static_cast<TFormulario*>(w.get());
    f->show();
    QTest::keyClick(f->BotaoOK(), Qt::Key_Space);
    EXPECT_EQ(log,
              QStringList({"  <- Erro Nº: -5 - Erro ao abrir a porta de comunicação", "<-Operação falhou!"}));
}

// A form whose operation raises.
class Quebra : public TFormulario {
  public:
    Quebra() : TFormulario("TfrmQuebra", "Quebra") {}

  protected:
    void Ok() override { throw belmora::ErroFormulario("arquivo ilegível"); }
};

TEST_F(Formularios, AnExceptionInAHandlerBecomesAMessageAndAFailureLine) {
    Quebra f;
    f.show();
    Caixa c;
    Responde("OK", &c);
    QTest::keyClick(f.BotaoOK(), Qt::Key_Space);
    EXPECT_EQ(c.vistas, 1);
    EXPECT_EQ(c.texto, "arquivo ilegível");
    EXPECT_EQ(log, QStringList({"  <- arquivo ilegível", "<- Operação falhou!"}));
}

TEST_F(Formularios, AmountsUseADecimalCommaWhateverTheLocale) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(belmora::FormataValor(1234.5), "1234,50");
    EXPECT_EQ(belmora::FormataValor(-0.001), "0,00");
    double v = 0;
    ASSERT_TRUE(belmora::LeValor("1.234,56", v));
    EXPECT_DOUBLE_EQ(v, 1234.56);
    ASSERT_TRUE(belmora::LeValor("12.5", v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    ASSERT_TRUE(belmora::LeValor("10,00", v));
    EXPECT_DOUBLE_EQ(v, 10);
    EXPECT_FALSE(belmora::LeValor("abc", v));
    ASSERT_TRUE(belmora::LeSubtotal("00000000012345", v));
    EXPECT_DOUBLE_EQ(v, 123.45);
    ASSERT_TRUE(belmora::LeSubtotal("00000000000005", v));
    EXPECT_DOUBLE_EQ(v, 0.05);
    EXPECT_FALSE(belmora::LeSubtotal("              ", v));
    EXPECT_FALSE(belmora::LeSubtotal("", v));
    // The numeric edits take the comma again once the console fixes its numbers.
    belmora::FixaLocalidadeNumerica();
    tarvo::TEnhancedEdit e;
    e.SetAcceptChars(false);
    e.setText("12,345");
    EXPECT_EQ(e.text(), "12,34");
}

TEST_F(Formularios, PaymentWithoutAPrinterShowsNothingOwedAndTheFailure) {
    belmora::TfrmPagamento f;
    f.show();
    EXPECT_EQ(f.findChild<QLabel*>("edtValorCupom")->text(), "0,00");
    EXPECT_EQ(f.findChild<QLineEdit*>("edtValor")->text(), "0,00");
    EXPECT_EQ(f.findChild<QLineEdit*>("edtCodMeio")->text(), "-2");
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], "-> Lendo Subtotal");
    EXPECT_EQ(log[2], "<- Operação falhou!");
    // A failed payment leaves the amount owed alone.
    f.findChild<QLineEdit*>("edtValor")->setText("10");
    QTest::keyClick(f.BotaoOK(), Qt::Key_Space);
    EXPECT_EQ(f.Restante(), 0);
    EXPECT_EQ(log.last(), "<- Operação falhou!");
}

TEST_F(Formularios, StoredLinesLoadAddRegisterSaveAndRemove) {
    std::filesystem::remove_all("EncerraDocumento.txt");
    {
        // No file: an empty list and nothing logged.
        belmora::TfrmEncerrarDoc f;
        f.show();
        QApplication::setActiveWindow(&f);
        EXPECT_EQ(f.findChild<QListWidget*>("lstLinhasCadastradas")->count(), 0);
        EXPECT_TRUE(log.isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), f.BotaoOK());
    }
    teste::EscreveArquivo("EncerraDocumento.txt",
                          plataforma::Utf8ParaCp1252("Volte sempre\r\nPromoção de verão\r\n"));
    belmora::TfrmEncerrarDoc f;
    f.show();
    auto* lista = f.findChild<QListWidget*>("lstLinhasCadastradas");
    auto* memo = f.findChild<QPlainTextEdit*>("mmTextoPromocional");
    EXPECT_EQ(teste::Itens(lista), QStringList({"Volte sempre", "Promoção de verão"}));

    // Adding with no line selected only says so.
    Caixa c;
    Responde("OK", &c);
    QTest::keyClick(f.findChild<QPushButton*>("btAdicionar"), Qt::Key_Space);
    EXPECT_EQ(c.texto, "Primeiro Selecione uma Linha");
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    // Selected, and the question answered No, then Yes.
    lista->setCurrentRow(1);
    Responde("Não", &c);
    QTest::keyClick(f.findChild<QPushButton*>("btAdicionar"), Qt::Key_Space);
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    Responde("Sim", &c);
    QTest::keyClick(f.findChild<QPushButton*>("btAdicionar"), Qt::Key_Space);
    EXPECT_EQ(memo->toPlainText(), "Promoção de verão");

    // The memo holds at most 492 characters.
    memo->setPlainText(QString(600, 'x'));
    EXPECT_EQ(memo->toPlainText().size(), 492);

    // Register the memo's lines, save, and the file has them in Windows-1252 with CR LF.
    memo->setPlainText("Linha um\nLinha dois");
    Responde("Sim", &c);
    QTest::keyClick(f.findChild<QPushButton*>("btCadastrar"), Qt::Key_Space);
    EXPECT_EQ(c.texto, "Deseja realmente cadastrar as linhas?");
    EXPECT_EQ(lista->count(), 4);
    // A double click removes the selected line after the question.
    lista->setCurrentRow(0);
    QRect r = lista->visualItemRect(lista->item(0));
    Responde("Não", &c);
    const int vistas = c.vistas;
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QTest::mouseDClick(lista->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    EXPECT_EQ(c.vistas, vistas + 1);
    EXPECT_EQ(lista->count(), 4);
    Responde("Sim", &c);
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QTest::mouseDClick(lista->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    EXPECT_EQ(c.texto, "Deseja realmente excluir a linha?");
    EXPECT_EQ(teste::Itens(lista), QStringList({"Promoção de verão", "Linha um", "Linha dois"}));
    Responde("Sim", &c);
    QTest::keyClick(f.findChild<QPushButton*>("btSalvar"), Qt::Key_Space);
    EXPECT_EQ(teste::LeArquivo("EncerraDocumento.txt"),
              plataforma::Utf8ParaCp1252("Promoção de verão\r\nLinha um\r\nLinha dois\r\n"));
    std::filesystem::remove("EncerraDocumento.txt");
}

TEST_F(Formularios, AnUnreadableStoredLinesFileIsALogLineAndAnEmptyList) {
    std::filesystem::remove_all("EncerraDocumento.txt");
    std::filesystem::create_directory("EncerraDocumento.txt");
    belmora::TfrmEncerrarDoc f;
    f.show();
    EXPECT_EQ(f.findChild<QListWidget*>("lstLinhasCadastradas")->count(), 0);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith("  <- Não foi possível ler o arquivo")) << log[0].toStdString();
    std::filesystem::remove_all("EncerraDocumento.txt");
}

TEST_F(Formularios, DiscountFieldsSwitchBetweenPercentageAndAmount) {
    belmora::TfrmVendeItem v;
    v.show();
    auto* desconto = v.findChild<tarvo::TEnhancedEdit*>("edtValorDesconto");
    auto* valor = v.findChild<tarvo::TEnhancedEdit*>("edtR");
    // Percentage first: 5 characters, 2 decimals; a zero discount sends no type.
    EXPECT_EQ(desconto->maxLength(), 5);
    EXPECT_EQ(desconto->Digits(), 2);
    EXPECT_EQ(v.TipoDesconto(), "");
    desconto->setText("5,5");
    EXPECT_EQ(v.TipoDesconto(), "%");
    v.findChild<QRadioButton*>("rbValor")->click();
    desconto->setText("300");
    EXPECT_EQ(desconto->maxLength(), 8);
    EXPECT_EQ(desconto->Digits(), 0);
    EXPECT_EQ(v.TipoDesconto(), "$");
    desconto->setText("0");
    EXPECT_EQ(v.TipoDesconto(), "");
    // The unit value shows the decimals of the choice.
    EXPECT_EQ(valor->Digits(), 2);
    v.findChild<QRadioButton*>("rb3")->click();
    EXPECT_EQ(valor->Digits(), 3);

    // The item discount form: on entering the value field it follows "Valor"/"Percentual".
    belmora::TfrmAcresceItem a;
    a.setProperty("Tag", 1);
    a.show();
    EXPECT_FALSE(a.findChild<QLabel*>("lblObs")->isVisible());
    EXPECT_EQ(a.findChild<QRadioButton*>("rgDescAcres0")->text(), "Desconto ");
    EXPECT_TRUE(a.findChild<QRadioButton*>("rgDescAcres0")->isChecked());
    auto* perc = a.findChild<tarvo::TEnhancedEdit*>("edtValorPerc");
    a.findChild<QRadioButton*>("rgValorPerc1")->click();
    QFocusEvent entra(QEvent::FocusIn);
    QCoreApplication::sendEvent(perc, &entra);
    EXPECT_EQ(perc->maxLength(), 5);
    EXPECT_EQ(perc->Digits(), 2);
    a.findChild<QRadioButton*>("rgValorPerc0")->click();
    QCoreApplication::sendEvent(perc, &entra);
    EXPECT_EQ(perc->maxLength(), 8);
    EXPECT_EQ(perc->Digits(), 0);
}

TEST_F(Formularios, TheSellFormKeepsTheProductTableInTheDatabase) {
    teste::PastaTemporaria pasta;
    belmora::TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(pasta.Caminho())) << dm.Erro().toStdString();
    QString erro;
    ASSERT_TRUE(dm.SalvarProduto({"B2", "Feijão", "07,00", "KG", 3, "8,990"}, erro));
    ASSERT_TRUE(dm.SalvarProduto({"A1", "Açúcar", "FF", "UN", 2, "4,50"}, erro));

    belmora::TfrmVendeItem f;
    f.show();
    QApplication::setActiveWindow(&f);
    auto* grade = f.Grade();
    EXPECT_EQ(QApplication::focusWidget(), grade);
    QStringList titulos;
    for (int c = 0; c < grade->columnCount(); ++c) titulos << grade->horizontalHeaderItem(c)->text();
    EXPECT_EQ(titulos, QStringList({"Código", "Descrição", "Alíquota", "Unidade", "Casas Decimais",
                                    "Valor Unitário"}));
    ASSERT_EQ(grade->rowCount(), 2);
    EXPECT_EQ(grade->editTriggers(), QAbstractItemView::NoEditTriggers);
    auto texto = [&](const char* nome) { return f.findChild<QLineEdit*>(nome)->text(); };
    // The first row is current and fills the fields.
    EXPECT_EQ(texto("edtCodProduto"), "A1");
    EXPECT_EQ(texto("edtDescricao"), "Açúcar");
    EXPECT_TRUE(f.findChild<QRadioButton*>("rb2")->isChecked());
    // Moving down with the keys fills them from the next product.
    QTest::keyClick(grade, Qt::Key_Down);
    EXPECT_EQ(texto("edtCodProduto"), "B2");
    EXPECT_EQ(texto("edtAliquota"), "07,00");
    EXPECT_EQ(texto("edtUnidade"), "KG");
    EXPECT_EQ(texto("edtR"), "8,990");
    EXPECT_TRUE(f.findChild<QRadioButton*>("rb3")->isChecked());

    // Saving a new product after the question: the grid reloads in code order.
    f.findChild<QLineEdit*>("edtCodProduto")->setText("A0");
    f.findChild<QLineEdit*>("edtDescricao")->setText("Óleo de soja");
    f.findChild<QRadioButton*>("rb2")->click();
    f.findChild<QLineEdit*>("edtR")->setText("7,25");
    Caixa c;
    Responde("Não", &c);
    QTest::keyClick(f.findChild<QPushButton*>("btSalvarProduto"), Qt::Key_Space);
    EXPECT_EQ(c.texto, "Deseja realmente salvar o produto?");
    EXPECT_EQ(grade->rowCount(), 2);
    Responde("Sim", &c);
    QTest::keyClick(f.findChild<QPushButton*>("btSalvarProduto"), Qt::Key_Space);
    ASSERT_EQ(grade->rowCount(), 3);
    EXPECT_EQ(grade->item(0, 0)->text(), "A0");
    EXPECT_EQ(grade->item(0, 1)->text(), "Óleo de soja");
    EXPECT_EQ(grade->item(0, 4)->text(), "2");
    EXPECT_EQ(grade->item(0, 5)->text(), "7,25");
    EXPECT_EQ(grade->currentRow(), 0);

    // A save that fails: the message, the grid as it was.
    f.findChild<QLineEdit*>("edtUnidade")->setText("UN");
    f.findChild<QLineEdit*>("edtDescricao")->setMaxLength(400);
    f.findChild<QLineEdit*>("edtDescricao")->setText(QString(300, 'x'));
    Responde("Sim", &c);
    Caixa erroSalvar;
    QTimer::singleShot(50, [&] { Responde("OK", &erroSalvar); });
    QTest::keyClick(f.findChild<QPushButton*>("btSalvarProduto"), Qt::Key_Space);
    EXPECT_TRUE(erroSalvar.texto.startsWith("Erro ao inserir produto: ")) << erroSalvar.texto.toStdString();
    EXPECT_EQ(grade->rowCount(), 3);

    // Deleting the current row ("Excluir") after the question; the fields follow the new row.
    grade->setCurrentCell(1, 0);
    EXPECT_EQ(texto("edtCodProduto"), "A1");
    Responde("Sim", &c);
    f.findChild<QAction*>("mnExcluir")->trigger();
    EXPECT_EQ(c.texto, "Deseja realmente excluir o produto?");
    ASSERT_EQ(grade->rowCount(), 2);
    EXPECT_EQ(grade->item(0, 0)->text(), "A0");
    EXPECT_EQ(grade->item(1, 0)->text(), "B2");
    EXPECT_EQ(dm.Produtos().size(), 2u);
    EXPECT_EQ(texto("edtCodProduto"), "A0");
    EXPECT_EQ(texto("edtDescricao"), "Óleo de soja");
}

TEST_F(Formularios, WithoutTheDatabaseTheProductTableCannotChangeButItemsSell) {
    teste::PastaTemporaria pasta;
    belmora::TdmVintaro dm;
    ASSERT_FALSE(dm.Conecta(pasta / "falta/"));
    belmora::TfrmVendeItem f;
    f.show();
    EXPECT_EQ(f.Grade()->rowCount(), 0);
    EXPECT_FALSE(f.findChild<QPushButton*>("btSalvarProduto")->isEnabled());
    EXPECT_FALSE(f.findChild<QAction*>("mnExcluir")->isEnabled());
    EXPECT_TRUE(f.BotaoOK()->isEnabled());
    // OK still calls the driver (here it fails at the missing port).
    f.findChild<QLineEdit*>("edtCodProduto")->setText("7");
    QTest::keyClick(f.BotaoOK(), Qt::Key_Space);
    EXPECT_EQ(log.first(), "-> Vendendo Item");
    EXPECT_EQ(log.last(), "<- Operação falhou!");
}

TEST_F(Formularios, AtStartADatabaseThatCannotBeMadeIsOneWarningWithItsError) {
    teste::PastaTemporaria pasta;
    belmora::TdmVintaro dm;
    Caixa c;
    Responde("OK", &c);
    EXPECT_FALSE(belmora::IniciaModuloDeDados(dm, pasta / "falta/"));
    EXPECT_EQ(c.vistas, 1);
    EXPECT_EQ(c.titulo, "Belmora");
    EXPECT_TRUE(c.texto.startsWith(dm.Erro())) << c.texto.toStdString();
    EXPECT_TRUE(c.texto.contains("base.fdb"));
    // It says which folder and how to choose another.
    EXPECT_TRUE(c.texto.contains(QString::fromStdString(pasta / "falta/") + " (a variável TARVO_HOME"))
        << c.texto.toStdString();
    // A database that opens: no message.
    Caixa nenhuma;
    Responde("OK", &nenhuma);
    belmora::TdmVintaro outro;
    EXPECT_TRUE(belmora::IniciaModuloDeDados(outro, pasta.Caminho()));
    QCoreApplication::processEvents();
    EXPECT_EQ(nenhuma.vistas, 0);
}

TEST_F(Formularios, SairAsksTheWindowToCloseTheFormAndTheOptionRunsAgain) {
    belmora::DefineLogOperador(nullptr);
    belmora::RegistraFormulariosDoConsole();
    belmora::TfrmVintaro janela(false);
    janela.show();
    QPointer<TFormulario> f = teste::AbreOpcao(janela, Qt::Key_F7, Qt::Key_A);
    ASSERT_TRUE(f);
    QTest::keyClick(f->BotaoSair(), Qt::Key_Space);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(janela.FormularioHospedado(), nullptr);
    EXPECT_FALSE(janela.findChild<QWidget*>("ClienteDireita")->isVisible());
    // the group stays: its hot letter alone opens the option again
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &janela, Qt::Key_A,
                    Qt::AltModifier);
    ASSERT_TRUE(janela.FormularioHospedado());
    EXPECT_EQ(janela.FormularioHospedado()->objectName(), "TfrmAbreCupom");
}

}  // namespace
