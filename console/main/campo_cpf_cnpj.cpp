#include "console/main/campo_cpf_cnpj.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "console/binding/auxiliar.h"

namespace belmora {

TCampoCpfCnpj::TCampoCpfCnpj(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(26);
}

QString TCampoCpfCnpj::Mascara(const QString& d) {
    if (d.size() == 11) return d.left(3) + "." + d.mid(3, 3) + "." + d.mid(6, 3) + "-" + d.mid(9);
    if (d.size() == 14)
        return d.left(2) + "." + d.mid(2, 3) + "." + d.mid(5, 3) + "/" + d.mid(8, 4) + "-" + d.mid(12);
    return d;
}

void TCampoCpfCnpj::keyPressEvent(QKeyEvent* e) {
    // Only the digits, Backspace and Delete change the text (X11 gives Delete the character
    // 0x7F); keys without a character (arrows, Tab) keep their usual work.
    const QString t = e->text();
    bool digito = t.size() == 1 && t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('9');
    bool apaga = e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete;
    if (!t.isEmpty() && !digito && !apaga) return;
    QLineEdit::keyPressEvent(e);
}

namespace {

QString SemMascara(QString t) {
    return t.remove(QLatin1Char('.')).remove(QLatin1Char('/')).remove(QLatin1Char('-'));
}

}  // namespace

void TCampoCpfCnpj::focusInEvent(QFocusEvent* e) {
    setText(SemMascara(text()));
    QLineEdit::focusInEvent(e);
}

bool TCampoCpfCnpj::Confere() {
    // The text may already carry its mask (checked on leaving the field, then on "OK").
    const QString t = SemMascara(text());
    if (t.isEmpty()) return true;
    const std::string s = t.toStdString();
    bool valido = (t.size() == 11 && ValidaCPF(s)) || (t.size() == 14 && ValidaCNPJ(s));
    if (valido) setText(Mascara(t));
    return valido;
}

bool TCampoCpfCnpj::ConfereEAvisa() {
    if (Confere()) return true;
    // One message at a time: the check of leaving the field and the check of "OK" may both
    // come for the same text.
    if (avisando_) return false;
    QPointer<TCampoCpfCnpj> eu(this);
    avisando_ = true;
    QMessageBox caixa(QMessageBox::Warning, QStringLiteral("Atenção!"),
                      QStringLiteral("CPF / CNPJ Invalido!"), QMessageBox::Ok, window());
    caixa.exec();
    if (!eu) return false;
    avisando_ = false;
    setFocus();
    return false;
}

void TCampoCpfCnpj::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Another window taking the focus (the message box itself among them) is not the
    // operator leaving the field.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason || avisando_)
        return;
    if (Confere()) return;
    // The message and the focus return wait until the focus change is over.
    QPointer<TCampoCpfCnpj> eu(this);
    QTimer::singleShot(0, this, [eu] {
        if (eu) eu->ConfereEAvisa();
    });
}

}  // namespace belmora
