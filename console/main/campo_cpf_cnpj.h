// The CPF/CNPJ entry field of the receipt-opening and reversal forms: digits only, shown with
// the number's mask once it is checked, and a message when it is not a valid CPF or CNPJ.
#pragma once

#include <QLineEdit>

namespace belmora {

class TCampoCpfCnpj : public QLineEdit {
    Q_OBJECT
  public:
    explicit TCampoCpfCnpj(QWidget* parent = nullptr);

    // The check done when the field loses the focus: true when the text is empty or a valid
    // CPF (11 digits) or CNPJ (14 digits), which then gets its mask.
    bool Confere();
    // Confere, and when the text is not valid: the message "CPF / CNPJ Invalido!" (unless it
    // is already on the screen) and the focus back in the field.
    bool ConfereEAvisa();

    // "999.999.999-99" / "99.999.999/9999-99" for 11 / 14 digits; other texts unchanged.
    static QString Mascara(const QString& digitos);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    bool avisando_ = false;  // the message is on the screen
};

}  // namespace belmora
