#include "enhedit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <climits>
#include <cmath>

namespace tarvo {

TEnhancedEdit::TEnhancedEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

// --- properties ----------------------------------------------------------------------------

void TEnhancedEdit::SetAcceptChars(bool value) {
    if (acceptChars_ == value) return;
    acceptChars_ = value;
    Change();  // filters the current text at once when filtering is turned on
}

void TEnhancedEdit::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    const Qt::Alignment h = value == taRightJustify ? Qt::AlignRight
                            : value == taCenter     ? Qt::AlignHCenter
                                                    : Qt::AlignLeft;
    setAlignment(h | Qt::AlignVCenter);
}

void TEnhancedEdit::SetDigits(int value) {
    value = std::clamp(value, 0, 255);
    if (digits_ == value) return;
    digits_ = value;
    setText(FormatValue(value_));
    update();
}

void TEnhancedEdit::SetFormat(TFloatFormat value) {
    if (format_ == value) return;
    format_ = value;
    setText(FormatValue(value_));
    update();
}

void TEnhancedEdit::SetPrecision(int value) {
    value = std::clamp(value, 0, 255);
    if (precision_ == value) return;
    precision_ = value;
    setText(FormatValue(value_));
    update();
}

void TEnhancedEdit::SetValue(long double value) {
    if (value_ == value) return;
    value_ = value;
    setText(FormatValue(value_));
    update();
}

void TEnhancedEdit::SetValueInt(int value) {
    if (valueInt_ == value) return;
    valueInt_ = value;
    setText(FormatValue(static_cast<long double>(value)));
    update();
}

void TEnhancedEdit::SetGrayDisabled(bool value) {
    if (grayDisabled_ == value) return;
    grayDisabled_ = value;
    AplicaCorDesabilitado();
    if (!isEnabled()) update();
}

QString TEnhancedEdit::FormatValue(long double value) const {
    return FloatToStrF(value, format_, precision_, digits_);
}

void TEnhancedEdit::Clear() {
    if (text().isEmpty())
        Change();
    else
        setText(QString());
}

// --- the change handler --------------------------------------------------------------------

void TEnhancedEdit::Change() {
    // Setting the filtered text below changes the text again; that inner change has
    // nothing left to filter and is folded into this one.
    if (mudando_) return;
    mudando_ = true;
    QString t = text();
    if (t.isEmpty()) {
        value_ = 0;
        valueInt_ = 0;
    } else {
        const QLocale locale;
        const QString d = locale.decimalPoint();
        const QString milhar = locale.groupSeparator();
        if (!acceptChars_) {
            // Keep at most Digits decimals after the last decimal separator, only that one
            // separator, and nothing but digits, minus signs and thousand separators.
            const qsizetype p = t.lastIndexOf(d);  // 0-based; -1 when none
            if (digits_ > 0 && p >= 0 && p + 1 < t.size() - digits_) t.truncate(p + 1 + digits_);
            for (qsizetype i = t.size() - 1; i >= 0; --i) {
                const QChar c = t[i];
                if (QString(c) == d) {
                    if (i < p) t.remove(i, 1);
                } else if (c != QLatin1Char('-') && QString(c) != milhar &&
                           !(c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
                    t.remove(i, 1);
                }
            }
            if (t != text()) {
                const int caret = cursorPosition();
                setText(t);
                setCursorPosition(std::min(caret, static_cast<int>(t.size())));
            }
        }
        if (!milhar.isEmpty()) t.remove(milhar);
        // A value that does not fit the integer counterpart counts as no value.
        const long double v = StrToFloatDef(t, 0);
        const long double inteiro = std::trunc(v);
        if (inteiro >= static_cast<long double>(INT_MIN) && inteiro <= static_cast<long double>(INT_MAX)) {
            value_ = v;
            valueInt_ = static_cast<int>(inteiro);
        } else {
            value_ = 0;
            valueInt_ = 0;
        }
    }
    mudando_ = false;
    emit OnChange();
}

// --- keys, focus, paste ------------------------------------------------------------------------

void TEnhancedEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->text() == QLatin1String("\n")) {
        event->accept();
        if (exitOnEnterKey_) ProximoControle();
        return;
    }
    if (event->key() == Qt::Key_Escape && undoOnEscKey_) {
        event->accept();
        setText(textoSalvo_);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        Paste();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// The next control of the window in the focus chain that takes the focus by Tab.
void TEnhancedEdit::ProximoControle() {
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (w->window() == window() && w->isEnabled() && w->isVisible() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TEnhancedEdit::focusInEvent(QFocusEvent* event) {
    textoSalvo_ = text();
    QLineEdit::focusInEvent(event);
    // a click places the caret where it lands; any other way in selects the whole text
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) selectAll();
}

void TEnhancedEdit::InsereTexto(QString texto) {
    for (qsizetype i = 0; i < texto.size(); ++i)
        if (texto[i].unicode() < 32) {
            texto.truncate(i);
            break;
        }
    insert(texto);
}

void TEnhancedEdit::Paste() {
    if (isReadOnly()) return;
    const QMimeData* dados = QGuiApplication::clipboard()->mimeData();
    if (!dados || !dados->hasText()) return;
    InsereTexto(dados->text());
}

void TEnhancedEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    // the menu's paste goes through the same cut at the first line break
    if (QAction* colar = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        disconnect(colar, &QAction::triggered, nullptr, nullptr);
        connect(colar, &QAction::triggered, this, &TEnhancedEdit::Paste);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TEnhancedEdit::mouseReleaseEvent(QMouseEvent* event) {
    // pasting the selection with the middle button, where the system has one
    QClipboard* cb = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && cb->supportsSelection() && !isReadOnly()) {
        deselect();
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        InsereTexto(cb->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// --- disabled look -----------------------------------------------------------------------------

void TEnhancedEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) AplicaCorDesabilitado();
}

// With GrayDisabled off a disabled edit shows its text in the normal text colour over its
// normal background; the palette's own disabled colours come back when it is turned on.
void TEnhancedEdit::AplicaCorDesabilitado() {
    QPalette p = palette();
    if (!grayDisabled_) {
        if (!textoDesabilitado_.isValid()) {
            textoDesabilitado_ = p.color(QPalette::Disabled, QPalette::Text);
            fundoDesabilitado_ = p.color(QPalette::Disabled, QPalette::Base);
        }
        p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
        p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Base));
    } else if (textoDesabilitado_.isValid()) {
        p.setColor(QPalette::Disabled, QPalette::Text, textoDesabilitado_);
        p.setColor(QPalette::Disabled, QPalette::Base, fundoDesabilitado_);
        textoDesabilitado_ = fundoDesabilitado_ = QColor();
    } else {
        return;
    }
    setPalette(p);
}

}  // namespace tarvo
