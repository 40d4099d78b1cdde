// Amounts as the operator types and reads them: a decimal comma and a dot between thousands,
// whatever the locale of the machine.
#pragma once

#include <QString>

namespace belmora {

// "%0.2f" with a decimal comma: 1234.5 -> "1234,50".
QString FormataValor(double valor);

// The amount of a text typed as the payment form takes it: with both "." and "," every "."
// goes (thousands); with "." only, it is the decimal separator. False when what is left is
// not a number.
bool LeValor(const QString& texto, double& valor);

// The subtotal reply of the printer (its amount digits, hundredths in the last two) as a
// number; false when the reply holds no number.
bool LeSubtotal(const QString& resposta, double& valor);

// Makes the console's numbers use a decimal comma and a dot between thousands, as the
// operator types them, whatever the locale of the machine (the numeric edits follow it).
void FixaLocalidadeNumerica();

}  // namespace belmora
