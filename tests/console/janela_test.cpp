// The main window on Qt's offscreen platform: groups by their keys, hosting and freeing of
// the operation forms, hot letters, the direct actions with their confirmation, and the
// window refusing to switch while an operation is running.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

#include "comum/ambiente.h"
#include "console/main/ajuda.h"
#include "console/main/campo_cpf_cnpj.h"
#include "console/main/formularios.h"
#include "console/main/menu.h"
#include "console/main/principal.h"

namespace {

using belmora::TfrmVintaro;

QStringList Itens(QListWidget* l) {
    QStringList r;
    for (int i = 0; i < l->count(); ++i) r << l->item(i)->text();
    return r;
}

QStringList Opcoes(int grupo) {
    QStringList r;
    for (const belmora::Opcao& o : belmora::GrupoMenu(grupo).opcoes) r << QString::fromUtf8(o.texto);
    return r;
}

// Answers the next message box with the button of that text, and tells what the box said.
struct Resposta {
    QString titulo, texto;
    bool vista = false;
};
void Responde(const QString& botao, Resposta* vista) {
    QTimer::singleShot(0, [botao, vista] {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caixa) return;
        vista->vista = true;
        vista->titulo = caixa->windowTitle();
        vista->texto = caixa->text();
        for (QAbstractButton* b : caixa->buttons())
            if (b->text() == botao) b->click();
    });
}

class Janela : public ::testing::Test {
  protected:
    std::unique_ptr<TfrmVintaro> janela;
    QListWidget* opcoes = nullptr;
    QListWidget* log = nullptr;

    void SetUp() override {
        janela = std::make_unique<TfrmVintaro>(false);
        janela->resize(1200, 800);
        janela->show();
        opcoes = janela->findChild<QListWidget*>("Opcoes");
        log = janela->findChild<QListWidget*>("RetornoUsuario");
        ASSERT_TRUE(opcoes && log);
    }
    void TearDown() override {
        janela.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget* foco = QApplication::focusWidget() ? QApplication::focusWidget() : opcoes;
        QTest::keyClick(foco, k, m);
    }
    void Escolhe(int linha) {
        opcoes->setCurrentRow(linha);
        janela->OpcoesDblClick();
    }
    void Libera() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QString Titulo() { return janela->findChild<QLabel*>("TituloSub_Menu")->text(); }
};

TEST_F(Janela, EachFunctionKeyShowsItsGroupsOptions) {
    EXPECT_EQ(janela->GrupoAtual(), 1);
    EXPECT_EQ(Itens(opcoes), Opcoes(1));
    for (int n : {2, 3, 4, 5, 6, 7, 8, 9, 1}) {
        Tecla(static_cast<Qt::Key>(Qt::Key_F1 + n - 1));
        EXPECT_EQ(janela->GrupoAtual(), n);
        EXPECT_EQ(Itens(opcoes), Opcoes(n)) << n;
        EXPECT_EQ(janela->focusWidget(), opcoes);
    }
    EXPECT_EQ(Itens(opcoes).first(), "(C)onectar");
    // A click on a group's picture does the same; on the current group's, nothing.
    QTest::mouseClick(janela->findChild<QWidget*>("Status"), Qt::LeftButton);
    EXPECT_EQ(janela->GrupoAtual(), 5);
    EXPECT_EQ(Itens(opcoes), Opcoes(5));
    Escolhe(0);
    QWidget* hospedado = janela->FormularioHospedado();
    QTest::mouseClick(janela->findChild<QWidget*>("Status"), Qt::LeftButton);
    Tecla(Qt::Key_F5);
    EXPECT_EQ(janela->FormularioHospedado(), hospedado);
    EXPECT_EQ(belmora::LetrasDeAtalho(5), "IFEDLAPTNVGMZRO");
}

TEST_F(Janela, OpeningAnOptionHostsItsFormAndFreesThePreviousOne) {
    Tecla(Qt::Key_F5);
    Escolhe(0);
    QPointer<QWidget> primeiro = janela->FormularioHospedado();
    ASSERT_TRUE(primeiro);
    EXPECT_TRUE(primeiro->isVisible());
    EXPECT_EQ(primeiro->parentWidget()->objectName(), "ClienteDireitaConteudo");
    EXPECT_EQ(Titulo(), " Impressora");
    // A form of a later step says that it is not there yet.
    EXPECT_NE(primeiro->findChild<QLabel*>("lblIndisponivel"), nullptr);

    // The same option again does nothing; another one replaces the form.
    Escolhe(0);
    EXPECT_EQ(janela->FormularioHospedado(), primeiro.data());
    Escolhe(1);
    Libera();
    EXPECT_TRUE(primeiro.isNull());
    ASSERT_TRUE(janela->FormularioHospedado());
    EXPECT_EQ(Titulo(), " Cupom Fiscal");

    // A group change frees the form and hides the panel; the same option then runs again.
    QPointer<QWidget> segundo = janela->FormularioHospedado();
    Tecla(Qt::Key_F6);
    Libera();
    EXPECT_TRUE(segundo.isNull());
    EXPECT_FALSE(janela->findChild<QWidget*>("ClienteDireita")->isVisible());
    Tecla(Qt::Key_F5);
    Escolhe(1);
    EXPECT_TRUE(janela->FormularioHospedado());
}

TEST_F(Janela, RegisteredFormsGetTheTagHelpAndCaptionOfTheirOption) {
    belmora::RegistraFormulario("TfrmAcresceItem", [] { return new QWidget; });
    Tecla(Qt::Key_F7);
    Escolhe(2);
    QWidget* f = janela->FormularioHospedado();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->property("Tag").toInt(), 1);
    EXPECT_EQ(f->property("HelpContext").toInt(), 52);
    EXPECT_EQ(f->windowTitle(), "Desconto / Acréscimo em item fiscal");
    Tecla(Qt::Key_F8);
    Escolhe(3);
    ASSERT_TRUE(janela->FormularioHospedado());
    EXPECT_EQ(janela->FormularioHospedado()->property("Tag").toInt(), 0);
    EXPECT_EQ(janela->FormularioHospedado()->property("HelpContext").toInt(), 63);
}

TEST_F(Janela, AltAndAHotLetterRunsThatOption) {
    Tecla(Qt::Key_F6);
    Tecla(Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(opcoes->currentRow(), 0);
    ASSERT_TRUE(janela->FormularioHospedado());
    EXPECT_EQ(Titulo(), " Leitura X");
    // A letter no option carries does nothing.
    QWidget* antes = janela->FormularioHospedado();
    Tecla(Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(janela->FormularioHospedado(), antes);
    Tecla(Qt::Key_F5);
    Tecla(Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(opcoes->currentRow(), 13);
    EXPECT_EQ(Titulo(), " Dados do Proprietário");
}

TEST_F(Janela, ADirectActionAsksFirstAndLogsItsOutcome) {
    // Declined: nothing is called, nothing logged.
    Resposta r;
    Responde("Não", &r);
    Escolhe(0);
    EXPECT_TRUE(r.vista);
    EXPECT_EQ(r.titulo, "Belmora");
    EXPECT_EQ(r.texto, "Deseja realmente conectar o ECF?");
    EXPECT_EQ(log->count(), 0);
    EXPECT_FALSE(janela->findChild<QLabel*>("lblOcupado")->isVisible());

    // Accepted with no printer port: the driver's error line only.
    Responde("Não", &r);
    Escolhe(1);  // another option first, so that "Conectar" runs again
    EXPECT_EQ(r.texto, "Deseja realmente desconectar o ECF?");
    Resposta c;
    Responde("Sim", &c);
    Escolhe(0);
    ASSERT_TRUE(c.vista);
    ASSERT_EQ(log->count(), 2);
    EXPECT_EQ(log->item(0)->text(), "-> Conectando ECF");
    EXPECT_EQ(log->item(1)->text(), "  <- Erro Nº: -5 - Erro ao abrir a porta de comunicação");

    // The drawer: the driver's line, then the failure line.
    Resposta g;
    Responde("Sim", &g);
    log->clear();
    Escolhe(2);
    EXPECT_EQ(g.texto, "Deseja realmente acionar gaveta?");
    ASSERT_EQ(log->count(), 3);
    EXPECT_EQ(log->item(0)->text(), "-> Acionando Gaveta");
    EXPECT_TRUE(log->item(1)->text().startsWith("  <- Erro "));
    EXPECT_EQ(log->item(2)->text(), "<- Operação falhou!");

    // With the port there, connecting succeeds.
    teste::Pty porta(std::getenv("TARVO_DEVDIR"), "COM1");
    Resposta s;
    Responde("Sim", &s);
    log->clear();
    Escolhe(0);
    ASSERT_EQ(log->count(), 2);
    EXPECT_EQ(log->item(1)->text(), "<- Operação executada com Sucesso!");
    EXPECT_FALSE(janela->findChild<QLabel*>("lblOcupado")->isVisible());
    EXPECT_EQ(opcoes->currentRow(), 0);
}

// A form whose button runs an operation that writes the operator log.
class FormularioLento : public QWidget {
  public:
    std::function<void()> durante;
    FormularioLento() {
        auto* b = new QPushButton("Enviar", this);
        b->setObjectName("btEnviar");
        connect(b, &QPushButton::clicked, this, [this] {
            belmora::frmVintaro()->AdicionaRetorno("-> Enviando");
            if (durante) durante();
            belmora::frmVintaro()->AdicionaRetorno("<- Operação executada com Sucesso!");
            vivo = true;
        });
    }
    bool vivo = false;
};

TEST_F(Janela, InputDuringARunningOperationCannotFreeItsForm) {
    belmora::RegistraFormulario("TfrmStatusImp", [] { return new FormularioLento; });
    Tecla(Qt::Key_F5);
    Escolhe(0);
    QPointer<FormularioLento> f = static_cast<FormularioLento*>(janela->FormularioHospedado());
    ASSERT_TRUE(f);
    int grupoDurante = 0;
    QWidget* hospedadoDurante = nullptr;
    f->durante = [&] {
        // Keys and clicks reach the window while the log repaints: a function key, a hot
        // letter, Enter in the list and a click on another group's picture.
        QCoreApplication::postEvent(opcoes, new QKeyEvent(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier));
        QCoreApplication::postEvent(opcoes, new QKeyEvent(QEvent::KeyPress, Qt::Key_L, Qt::AltModifier));
        opcoes->setCurrentRow(3);
        QCoreApplication::postEvent(opcoes, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        auto* grupo3 = janela->findChild<QWidget*>("Intervencao");
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                grupo3, new QMouseEvent(t, QPointF(5, 5), grupo3->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                                        Qt::LeftButton, Qt::NoModifier));
        belmora::frmVintaro()->AdicionaRetorno("  -> Passo");
        grupoDurante = janela->GrupoAtual();
        hospedadoDurante = janela->FormularioHospedado();
    };
    QTest::mouseClick(f->findChild<QPushButton*>("btEnviar"), Qt::LeftButton);
    Libera();
    ASSERT_FALSE(f.isNull());
    EXPECT_TRUE(f->vivo);
    EXPECT_EQ(grupoDurante, 5);
    EXPECT_EQ(hospedadoDurante, f.data());
    EXPECT_EQ(janela->GrupoAtual(), 5);
    // Once it is over, the keys pressed meanwhile are delivered in order: F2 chooses group 2
    // (which frees the form); group 2 has no "L" and nothing selected for Enter.
    QCoreApplication::processEvents();
    EXPECT_EQ(janela->GrupoAtual(), 2);
    EXPECT_EQ(janela->FormularioHospedado(), nullptr);
    Libera();
    EXPECT_TRUE(f.isNull());
    // And the window answers keys as before.
    Tecla(Qt::Key_F3);
    EXPECT_EQ(janela->GrupoAtual(), 3);
}

TEST_F(Janela, TheBusyLabelIsHiddenUnderAHostedForm) {
    auto* ocupado = janela->findChild<QLabel*>("lblOcupado");
    Tecla(Qt::Key_F5);
    Escolhe(0);
    ASSERT_TRUE(janela->FormularioHospedado());
    EXPECT_TRUE(janela->findChild<QWidget*>("ClienteDireita")->isVisible());
    EXPECT_FALSE(ocupado->isVisibleTo(ocupado->parentWidget()));
    Escolhe(3);
    EXPECT_FALSE(ocupado->isVisibleTo(ocupado->parentWidget()));
}

TEST_F(Janela, TheNewestLogLineStaysInViewWhenTheRightPanelOpens) {
    for (int i = 0; i < 40; ++i) janela->AdicionaRetorno(QStringLiteral("linha %1").arg(i));
    QCoreApplication::processEvents();
    auto ultimaVisivel = [this] {
        return log->viewport()->rect().contains(log->visualItemRect(log->item(log->count() - 1)));
    };
    ASSERT_TRUE(ultimaVisivel());
    Tecla(Qt::Key_F5);
    Escolhe(0);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    ASSERT_TRUE(janela->findChild<QWidget*>("ClienteDireita")->isVisible());
    EXPECT_TRUE(ultimaVisivel());
}

TEST_F(Janela, EveryShortcutLabelShowsItsWholeText) {
    QCoreApplication::processEvents();
    const auto rotulos = janela->findChild<QWidget*>("grpAtalhos")->findChildren<QLabel*>();
    ASSERT_EQ(rotulos.size(), 11);
    EXPECT_EQ(rotulos.last()->text(), "Alt+<Letra> = Op Menu Atual");
    for (QLabel* l : rotulos) {
        const QRect area = l->contentsRect();
        const int quebra = l->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect texto =
            l->fontMetrics().boundingRect(area, Qt::AlignLeft | Qt::AlignTop | quebra, l->text());
        EXPECT_LE(texto.width(), area.width()) << l->text().toStdString();
        EXPECT_LE(texto.height(), area.height()) << l->text().toStdString();
    }
}

TEST_F(Janela, F12OpensTheHelpPageOfTheGroupOrOfTheHostedForm) {
    // Were the page missing, the message box is answered so that the test goes on.
    Resposta aviso;
    Responde("OK", &aviso);
    Tecla(Qt::Key_F12);
    auto* ajuda = janela->findChild<belmora::TfrmAjuda*>("frmAjuda");
    ASSERT_TRUE(ajuda) << aviso.texto.toStdString();
    EXPECT_TRUE(ajuda->isVisible());
    EXPECT_EQ(ajuda->Navegador()->source().fileName(), "2.html");
    EXPECT_TRUE(ajuda->Navegador()->toPlainText().contains("Grupo ECF"));
    EXPECT_TRUE(ajuda->Navegador()->toPlainText().contains("Conectar"));

    belmora::RegistraFormulario("TfrmAcresceItem", [] { return new QWidget; });
    Tecla(Qt::Key_F7);
    Escolhe(2);
    ASSERT_TRUE(janela->FormularioHospedado());
    // The help window may hold the focus now: the keys go to the main window's controls.
    QTest::keyClick(janela->FormularioHospedado(), Qt::Key_F12);
    EXPECT_EQ(ajuda->Navegador()->source().fileName(), "52.html");
    EXPECT_TRUE(ajuda->Navegador()->toPlainText().contains("Desconto / Acréscimo em item fiscal"));

    // A group without a context of its own: the contents.
    QTest::keyClick(opcoes, Qt::Key_F5);
    QTest::keyClick(opcoes, Qt::Key_F12);
    EXPECT_EQ(ajuda->Navegador()->source().fileName(), "indice.html");
    EXPECT_EQ(janela->findChildren<belmora::TfrmAjuda*>().size(), 1);
}

TEST_F(Janela, TheLogHidesTheBusyLabelAtAnOutcomeLine) {
    auto* ocupado = janela->findChild<QLabel*>("lblOcupado");
    ocupado->show();
    janela->AdicionaRetorno("-> Algo");
    EXPECT_TRUE(ocupado->isVisibleTo(ocupado->parentWidget()));
    janela->AdicionaRetorno("  <- fim");
    EXPECT_FALSE(ocupado->isVisibleTo(ocupado->parentWidget()));
    EXPECT_EQ(log->currentRow(), 1);
}

}  // namespace

namespace {

TEST(CampoCpfCnpj, DigitsOnlyMaskedWhenValidAndAMessageWhenNot) {
    QWidget janela;
    auto* campo = new belmora::TCampoCpfCnpj(&janela);
    janela.show();
    campo->setFocus();
    QTest::keyClicks(campo, "529a.982-247/25x");
    EXPECT_EQ(campo->text(), "52998224725");
    QTest::keyClick(campo, Qt::Key_Backspace);
    QTest::keyClicks(campo, "5");
    // Delete, as X11 gives it (the character 0x7F), removes the digit after the cursor.
    campo->setCursorPosition(0);
    QKeyEvent apaga(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
    QCoreApplication::sendEvent(campo, &apaga);
    EXPECT_EQ(campo->text(), "2998224725");
    campo->setCursorPosition(0);
    QTest::keyClicks(campo, "5");
    QFocusEvent sai(QEvent::FocusOut);
    QCoreApplication::sendEvent(campo, &sai);
    EXPECT_EQ(campo->text(), "529.982.247-25");
    QFocusEvent entra(QEvent::FocusIn);
    QCoreApplication::sendEvent(campo, &entra);
    EXPECT_EQ(campo->text(), "52998224725");

    campo->setText("11222333000181");
    EXPECT_TRUE(campo->Confere());
    EXPECT_EQ(campo->text(), "11.222.333/0001-81");
    campo->clear();
    EXPECT_TRUE(campo->Confere());  // empty: no message

    // Eleven ones pass the check digits but are refused; the message comes and the focus returns.
    campo->setText("11111111111");
    Resposta r;
    QTimer::singleShot(50, [&r] {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caixa) return;
        r.vista = true;
        r.titulo = caixa->windowTitle();
        r.texto = caixa->text();
        caixa->accept();
    });
    QCoreApplication::sendEvent(campo, &sai);
    QTest::qWait(200);
    EXPECT_TRUE(r.vista);
    EXPECT_EQ(r.texto, "CPF / CNPJ Invalido!");
    EXPECT_EQ(r.titulo, "Atenção!");
    EXPECT_EQ(campo->text(), "11111111111");
    EXPECT_EQ(janela.focusWidget(), campo);
}

}  // namespace

namespace {

TEST(Menu, TheTableNamesTheDrawnPicturesAndTheHotLetters) {
    using belmora::ArquivoImagem;
    using belmora::Imagem;
    EXPECT_EQ(ArquivoImagem(1, Imagem::Normal), "Imagens/01 - menu_ecf.jpg");
    EXPECT_EQ(ArquivoImagem(6, Imagem::Selecionada), "Imagens/06 - menu_relatorio_f2.jpg");
    EXPECT_EQ(ArquivoImagem(8, Imagem::Titulo), "Imagens/08 - titulo_menu_cupomnaofiscal.jpg");
    // Every picture the window loads is one the generator drew.
    for (int n = 1; n <= belmora::kNumeroGrupos; ++n)
        for (Imagem i : {Imagem::Normal, Imagem::Selecionada, Imagem::Titulo}) {
            std::string nome = ArquivoImagem(n, i).substr(std::string("Imagens/").size());
            QImage img(QString::fromStdString(std::string(BELMORA_IMAGENS) + "/" + nome));
            EXPECT_FALSE(img.isNull()) << nome;
        }
    EXPECT_EQ(belmora::OpcaoDaLetra(6, 'x'), 0);
    EXPECT_EQ(belmora::OpcaoDaLetra(5, 'R'), 13);
    EXPECT_EQ(belmora::OpcaoDaLetra(1, 'Q'), -1);
    EXPECT_EQ(belmora::LetrasDeAtalho(8), "AVIDUSCNELPM");
    EXPECT_EQ(belmora::TituloDaOpcao(belmora::GrupoMenu(7).opcoes[3]), "Cancelar item fiscal");
    EXPECT_EQ(belmora::TituloDaOpcao(belmora::GrupoMenu(2).opcoes[0]), "Programar Equipamento");
}

}  // namespace
