// What the form tests share: typing into fields key by key, answering the next message box,
// reading the operator log and the day's call log, opening an option of the main window by
// its keys; and, with the printer emulator, the fixtures of the forms shown alone or inside
// the main window against it on COM1.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "console/binding/auxiliar.h"
#include "console/binding/log_dll.h"
#include "console/database/dm_vintaro.h"
#include "console/forms/comum/formulario.h"
#include "console/main/espera.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "console/programa/inicio.h"
#include "platform/codepage.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

namespace teste {

// Types the text key by key into `w` (characters outside ASCII as key events with their text).
inline void Digita(QWidget* w, const QString& texto) {
    w->setFocus();
    for (QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces a field's text by typing: selects it all first.
inline void Redigita(QWidget* w, const QString& texto) {
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
    Digita(w, texto);
}

// What the next message box said; it is answered with the button of the given text.
struct Caixa {
    QString titulo, texto;
    int vistas = 0;
};
inline void Responde(const QString& botao, Caixa* vista) {
    QTimer::singleShot(0, [botao, vista] {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // A driver call still under way (the window waits for it with its timers running):
        // the box comes after it.
        if (!caixa && belmora::EsperandoChamada()) {
            QTimer::singleShot(5, [botao, vista] { Responde(botao, vista); });
            return;
        }
        if (!caixa) return;
        ++vista->vistas;
        vista->titulo = caixa->windowTitle();
        vista->texto = caixa->text();
        for (QAbstractButton* b : caixa->buttons())
            if (b->text() == botao) {
                b->click();
                return;
            }
        caixa->close();
    });
}

// A field of a form by its name; a test failure when the form has none.
template <typename T = QWidget>
T* Campo(QWidget* formulario, const char* nome) {
    T* w = formulario->findChild<T*>(nome);
    EXPECT_NE(w, nullptr) << nome;
    return w;
}

// Presses a button as the operator does from the keyboard: focus, then the space bar.
inline void Clica(QWidget* botao) {
    botao->setFocus();
    QTest::keyClick(botao, Qt::Key_Space);
}

inline QStringList Itens(QListWidget* l) {
    QStringList r;
    for (int i = 0; i < l->count(); ++i) r << l->item(i)->text();
    return r;
}

// The day the tests run on (the call log's clock) and that day's call log.
inline const plataforma::DataHora kHoje{2026, 3, 4, 10, 0, 0, 0};
inline const char* const kLogDLL = "logDLL-20260304.txt";

// The day's call log starts empty, its clock fixed at kHoje.
inline void IniciaLogDLL() {
    std::filesystem::remove(kLogDLL);
    belmora::DefineRelogioLogDLL([] { return kHoje; });
}

// Opens an option of the main window as the operator does: the group's function key, then
// Alt + the option's hot letter, each to the widget with the focus. The form the window then
// hosts, if it is one.
inline belmora::TFormulario* AbreOpcao(belmora::TfrmVintaro& janela, Qt::Key grupo, Qt::Key letra) {
    // A message box answered before may have left no window active.
    QApplication::setActiveWindow(&janela);
    auto foco = [&]() -> QWidget* {
        return QApplication::focusWidget() ? QApplication::focusWidget() : &janela;
    };
    QTest::keyClick(foco(), grupo);
    QTest::keyClick(foco(), letra, Qt::AltModifier);
    return qobject_cast<belmora::TFormulario*>(janela.FormularioHospedado());
}

// Answers the next message boxes, one after the other, with the given buttons: each box is
// answered once it is open, however long the work between two boxes takes. `vistas` gets
// one entry per box answered. The timer stops after the last answer.
inline void RespondeEmSequencia(const QStringList& botoes, std::vector<Caixa>* vistas) {
    auto* timer = new QTimer;
    auto restantes = std::make_shared<QStringList>(botoes);
    QObject::connect(timer, &QTimer::timeout, [timer, restantes, vistas] {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caixa || caixa->property("respondida").toBool()) return;
        caixa->setProperty("respondida", true);
        const QString botao = restantes->takeFirst();
        vistas->push_back({caixa->windowTitle(), caixa->text(), 1});
        if (restantes->isEmpty()) {
            timer->stop();
            timer->deleteLater();
        }
        for (QAbstractButton* b : caixa->buttons())
            if (b->text() == botao) {
                b->click();
                return;
            }
        caixa->close();
    });
    timer->start(5);
}

#ifdef BELMORA_COM_EMULADOR
// The printer emulator on COM1 and the day's call log started fresh. Fixtures built on it
// that set up more do so after ComImpressora::SetUp() and stop there on its failure.
class ComImpressora : public ::testing::Test {
  protected:
    emulador::Emulador impressora;

    void SetUp() override {
        ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
        IniciaLogDLL();
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        belmora::DefineRelogioLogDLL(nullptr);
    }
    // The day's call log in UTF-8; empty while nothing was called.
    static std::string LogDLL() {
        if (!std::filesystem::exists(kLogDLL)) return {};
        return plataforma::Cp1252ParaUtf8(LeArquivo(kLogDLL));
    }
};

// Forms shown on their own against the emulator, the operator log kept line by line.
class FormasNoEmulador : public ComImpressora {
  protected:
    QStringList log;

    void SetUp() override {
        ComImpressora::SetUp();
        if (HasFatalFailure()) return;
        belmora::DefineLogOperador([this](const std::string& l) { log << QString::fromStdString(l); });
    }
    void TearDown() override {
        belmora::DefineLogOperador(nullptr);
        ComImpressora::TearDown();
    }
    // Shows the form (it captures once) and gives it back.
    template <typename F>
    std::unique_ptr<F> Mostra() {
        auto f = std::make_unique<F>();
        f->show();
        QCoreApplication::processEvents();
        return f;
    }
    // A cell's text of a grid; empty where the cell has no item.
    static QString Celula(QTableWidget* t, int l, int c) {
        return t->item(l, c) ? t->item(l, c)->text() : QString();
    }
};

// The main window (no splash) shown and active against the emulator, its operator log.
class NaJanela : public ComImpressora {
  protected:
    std::unique_ptr<belmora::TfrmVintaro> janela;
    QListWidget* log = nullptr;

    void SetUp() override {
        ComImpressora::SetUp();
        if (HasFatalFailure()) return;
        belmora::RegistraFormulariosDoConsole();
        janela = std::make_unique<belmora::TfrmVintaro>(false);
        janela->resize(1280, 900);
        janela->show();
        QApplication::setActiveWindow(janela.get());
        log = janela->findChild<QListWidget*>("RetornoUsuario");
    }
    void TearDown() override {
        janela.reset();
        ComImpressora::TearDown();
    }
    belmora::TFormulario* Abre(Qt::Key grupo, Qt::Key letra) { return AbreOpcao(*janela, grupo, letra); }
    QStringList Log() { return Itens(log); }
};

// The main window with one product stored in a database of its own, so that the product
// grid of the sell form has a row.
class NaJanelaComProduto : public NaJanela {
  protected:
    PastaTemporaria programa;
    std::unique_ptr<belmora::TdmVintaro> dm;

    void SetUp() override {
        dm = std::make_unique<belmora::TdmVintaro>();
        ASSERT_TRUE(dm->Conecta(programa.Caminho())) << dm->Erro().toStdString();
        QString erro;
        ASSERT_TRUE(dm->SalvarProduto({"001", "ARROZ TIPO 1", "FF", "UN", 2, "5,00"}, erro))
            << erro.toStdString();
        NaJanela::SetUp();
    }
    void TearDown() override {
        janela.reset();
        dm.reset();
        NaJanela::TearDown();
    }
};
#endif

}  // namespace teste
