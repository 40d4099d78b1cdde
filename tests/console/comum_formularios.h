// What the form tests share: typing into fields key by key, answering the next message box,
// and reading the operator log.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

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

}  // namespace teste
