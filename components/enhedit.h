// Numeric edit: a single-line edit for numbers. With AcceptChars off it filters what is typed
// or pasted down to a number with at most Digits decimals; it keeps Value and ValueInt in
// step with the text, and writes the text from the value when Value or a format property is
// set. Enter can move to the next control, Esc can undo, and a disabled edit can keep its
// text in the normal text colour.
#pragma once

#include <QLineEdit>
#include <QPalette>

#include "srutils.h"

namespace tarvo {

class TEnhancedEdit : public QLineEdit {
    Q_OBJECT

  public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    explicit TEnhancedEdit(QWidget* parent = nullptr);

    bool AcceptChars() const { return acceptChars_; }
    void SetAcceptChars(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    int Digits() const { return digits_; }
    void SetDigits(int value);
    bool ExitOnEnterKey() const { return exitOnEnterKey_; }
    void SetExitOnEnterKey(bool value) { exitOnEnterKey_ = value; }
    TFloatFormat Format() const { return format_; }
    void SetFormat(TFloatFormat value);
    bool GrayDisabled() const { return grayDisabled_; }
    void SetGrayDisabled(bool value);
    int Precision() const { return precision_; }
    void SetPrecision(int value);
    bool UndoOnEscKey() const { return undoOnEscKey_; }
    void SetUndoOnEscKey(bool value) { undoOnEscKey_ = value; }
    long double Value() const { return value_; }
    void SetValue(long double value);
    int ValueInt() const { return valueInt_; }
    void SetValueInt(int value);

    // Empties the text and runs the change handler even when it was empty already.
    void Clear();
    // Replaces the selection with the clipboard's text up to its first control character
    // (a line break ends it); the change handler then filters it.
    void Paste();
    // FloatToStrF(value, Format, Precision, Digits).
    QString FormatValue(long double value) const;

  signals:
    // After every change of the text, once Value and ValueInt follow it.
    void OnChange();

  protected:
    virtual void Change();

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void AplicaCorDesabilitado();
    void ProximoControle();
    void InsereTexto(QString texto);

    bool acceptChars_ = true;
    TAlignment alignment_ = taLeftJustify;
    int digits_ = 2;
    bool exitOnEnterKey_ = false;
    TFloatFormat format_ = TFloatFormat::ffNumber;
    bool grayDisabled_ = true;
    int precision_ = 8;
    QString textoSalvo_;
    bool undoOnEscKey_ = false;
    long double value_ = 0;
    int valueInt_ = 0;
    bool mudando_ = false;
    QColor textoDesabilitado_, fundoDesabilitado_;  // the palette's own, while GrayDisabled is off
};

}  // namespace tarvo
