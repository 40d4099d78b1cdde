// The forms at the keyboard and on a small screen, inside the main window against the printer
// emulator: the Tab path of the forms, the checks of "OK" before the call, and the buttons of
// every hosted form in view at 1024x768.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <set>
#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/database/dm_vintaro.h"
#include "console/main/menu.h"

#ifdef BELMORA_COM_EMULADOR
namespace {

// The main window at 1024x768 with one product and one cheque layout stored, so that the
// product and cheque grids have rows.
class Teclado : public teste::NaJanelaComProduto {
  protected:
    void SetUp() override {
        NaJanelaComProduto::SetUp();
        if (HasFatalFailure()) return;
        janela->resize(1024, 768);
        QApplication::processEvents();
    }
};

// Every message box is answered with its first button while it lives; it counts them.
class Respondedor {
  public:
    Respondedor() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!caixa || caixa->property("respondida").toBool()) return;
            caixa->setProperty("respondida", true);
            textos << caixa->text();
            if (caixa->buttons().isEmpty())
                caixa->close();
            else
                caixa->buttons().first()->click();
        });
        timer_.start(5);
    }
    QStringList textos;

  private:
    QTimer timer_;
};

// The name a stop of the Tab path has in the cases: the nearest of the names looked for,
// from the widget with the focus up (a radio button stands for its group).
QString Nome(const std::set<QString>& nomes) {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (qobject_cast<QRadioButton*>(w) && w->parentWidget() &&
            nomes.count(w->parentWidget()->objectName()))
            return w->parentWidget()->objectName();
        if (nomes.count(w->objectName())) return w->objectName();
    }
    return QApplication::focusWidget()
               ? QStringLiteral("?") + QApplication::focusWidget()->metaObject()->className()
               : QStringLiteral("(nenhum)");
}

TEST_F(Teclado, TabWalksEveryFieldAndButtonInScreenOrderAndOutOfGrids) {
    struct Caso {
        Qt::Key grupo, letra;
        const char* classe;
        std::vector<const char*> caminho;  // in screen order, from the first stop
    };
    const Caso casos[] = {
        {Qt::Key_F7, Qt::Key_A, "TfrmAbreCupom", {"edtCNPJ_CPF", "edtNome", "edtEndereco", "btOK", "btSair"}},
        {Qt::Key_F7,
         Qt::Key_V,
         "TfrmVendeItem",
         {"edtCodProduto", "edtDescricao", "edtAliquota", "edtUnidade", "edtQuantidade", "edtR",
          "grpValorUnitario", "grpDesconto", "edtValorDesconto", "grdProdutos", "btSalvarProduto", "btOK",
          "btSair"}},
        {Qt::Key_F7,
         Qt::Key_D,
         "TfrmAcresceItem",
         {"edtNumItem", "rgDescAcres", "rgValorPerc", "edtValorPerc", "btOK", "btSair"}},
        {Qt::Key_F7, Qt::Key_C, "TfrmCancelarItem", {"edtNumItem", "btOK", "btSair"}},
        {Qt::Key_F7,
         Qt::Key_S,
         "TfrmAlterarSubtotal",
         {"cbCancelar", "rgOperacao", "rgValorPerc", "edtValorPerc", "btOK", "btSair"}},
        {Qt::Key_F7, Qt::Key_P, "TfrmPagamento", {"edtCodMeio", "edtValor", "btOK", "btSair"}},
        {Qt::Key_F7,
         Qt::Key_E,
         "TfrmEncerrarDoc",
         {"mmTextoPromocional", "lstLinhasCadastradas", "btAdicionar", "btCadastrar", "btSalvar", "btOK",
          "btSair"}},
        {Qt::Key_F7, Qt::Key_M, "TfrmAllCupom", {"edtQuantidade", "btOK", "btSair"}},
        {Qt::Key_F8,
         Qt::Key_E,
         "TfrmEstornoVinculado",
         {"edtCNPJ_CPF", "edtNome", "edtEndereco", "btOK", "btSair"}},
        {Qt::Key_F2,
         Qt::Key_S,
         "TfrmSeqComandos",
         {"List_TipoComandos", "List_Comandos", "btAdicionar", "ListSequenciaAtual", "List_SequenciasSalvas",
          "edtNumExecucoes", "chkPassoAPasso", "btSair"}},
        {Qt::Key_F9,
         Qt::Key_G,
         "TfrmGerenciaLayouts",
         {"edtNumBanco", "edtNomeBanco", "edtHPosValor", "edtVPosValor", "edtHPosCidade", "edtVPosCidade",
          "edtHPosDia", "edtHPosMes", "edtHPosAno", "btLimpar", "btImportar", "btGerar", "btSalvar",
          "grdCheques", "btSair"}},
        {Qt::Key_F9,
         Qt::Key_I,
         "TfrmImprimeCheque",
         {"cbBanco", "edtValor", "edtFavorecido", "edtCidade", "edtData", "memMensagem", "btImprimir",
          "btSair"}},
        {Qt::Key_F1,
         Qt::Key_N,
         "TfrmConfiguracoes",
         {"cbModelo",           "cbPorta",        "cbBaud",     "edtPath",      "btPath",
          "edtPathRFD",         "btPathRFD",      "edtPathTDM", "btPathTDM",    "edtTimeoutRedZ",
          "edtTimeoutComandos", "edtEspacamento", "cbSangria",  "cbSuprimento", "rgGeraRFD",
          "cbTipoGeraRFD",      "rgHomologar",    "rgCorte",    "cbModoGaveta", "rgChecaCTS",
          "rgICMSCupom",        "rgLMF",          "rgRelogio",  "cbUF",         "btRestaurar",
          "btSalvar",           "btSair"}},
    };
    // The sequence form says that the function lists are missing from this scratch folder.
    Respondedor respostas;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.classe);
        belmora::TFormulario* f = Abre(c.grupo, c.letra);
        ASSERT_TRUE(f);
        ASSERT_EQ(f->objectName(), c.classe);
        QApplication::processEvents();
        std::set<QString> nomes;
        for (const char* n : c.caminho) nomes.insert(QString::fromLatin1(n));
        QWidget* primeiro = f->findChild<QWidget*>(c.caminho.front());
        ASSERT_TRUE(primeiro);
        QApplication::setActiveWindow(janela.get());
        primeiro->setFocus();
        ASSERT_TRUE(QApplication::focusWidget());

        // Forwards: round the whole form back to the first stop, every case in its order.
        QStringList visto{Nome(nomes)};
        const int maximo = 3 * static_cast<int>(c.caminho.size()) + 20;
        for (int i = 0; i < maximo; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_TRUE(QApplication::focusWidget()) << visto.join(' ').toStdString();
            visto << Nome(nomes);
            if (visto.last() == visto.first()) break;
        }
        EXPECT_EQ(visto.last(), visto.first()) << visto.join(' ').toStdString();
        qsizetype proximo = 0;
        for (const QString& v : visto)
            if (proximo < static_cast<qsizetype>(c.caminho.size()) &&
                v == c.caminho[static_cast<std::size_t>(proximo)])
                ++proximo;
        EXPECT_EQ(proximo, static_cast<qsizetype>(c.caminho.size())) << visto.join(' ').toStdString();

        // Backwards from the first stop: the last button.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Nome(nomes), QString::fromLatin1(c.caminho.back()));
    }
}

TEST_F(Teclado, ABadCnpjStopsTheReversalBeforeTheCallWithTheFocusBackInTheField) {
    belmora::TFormulario* f = Abre(Qt::Key_F8, Qt::Key_E);
    ASSERT_TRUE(f);
    ASSERT_EQ(f->objectName(), "TfrmEstornoVinculado");
    QWidget* campo = teste::Campo(f, "edtCNPJ_CPF");
    ASSERT_TRUE(campo);
    teste::Digita(campo, QStringLiteral("11222333000199"));
    Respondedor respostas;
    teste::Clica(f->BotaoOK());
    QTest::qWait(50);
    EXPECT_EQ(respostas.textos, QStringList{QStringLiteral("CPF / CNPJ Invalido!")});
    EXPECT_EQ(LogDLL().find("Tarvo_EstornoNaoFiscalVinculadoMFD"), std::string::npos) << LogDLL();
    // The box leaves no window active here: the field is the window's focus when it is again.
    EXPECT_EQ(janela->focusWidget(), campo);
}

TEST_F(Teclado, EveryHostedFormShowsItsButtonsAndTheLogAt1024x768) {
    ASSERT_EQ(janela->size(), QSize(1024, 768));
    auto* opcoes = janela->findChild<QListWidget*>("Opcoes");
    ASSERT_TRUE(opcoes);
    const QRect tela = janela->rect();
    Respondedor respostas;
    for (int g = 1; g <= belmora::kNumeroGrupos; ++g) {
        janela->EscolheGrupo(g);
        const std::vector<belmora::Opcao>& lista = belmora::GrupoMenu(g).opcoes;
        for (int i = 0; i < static_cast<int>(lista.size()); ++i) {
            if (lista[static_cast<std::size_t>(i)].acao != belmora::Acao::Formulario) continue;
            SCOPED_TRACE(lista[static_cast<std::size_t>(i)].classe);
            opcoes->setCurrentRow(i);
            janela->OpcoesDblClick();
            QApplication::processEvents();
            auto* f = qobject_cast<belmora::TFormulario*>(janela->FormularioHospedado());
            ASSERT_TRUE(f);
            EXPECT_EQ(janela->size(), QSize(1024, 768));
            for (QPushButton* b : {f->BotaoOK(), f->BotaoSair()}) {
                if (!b->isVisibleTo(f)) continue;
                const QRect r(b->mapTo(janela.get(), QPoint(0, 0)), b->size());
                EXPECT_TRUE(tela.contains(r)) << b->objectName().toStdString();
                EXPECT_TRUE(f->visibleRegion().contains(b->geometry())) << b->objectName().toStdString();
            }
            const QRect l(log->mapTo(janela.get(), QPoint(0, 0)), log->size());
            EXPECT_TRUE(tela.contains(l));
            EXPECT_GE(log->height(), 100);
            janela->SaiFormulario(f);
            QApplication::processEvents();
        }
    }
}

}  // namespace
#endif
