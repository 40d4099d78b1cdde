// Number-to-text and text-to-number conversions of the numeric edit, in the separators of
// the default locale (QLocale()): for Brazilian Portuguese a decimal comma and a dot
// between thousands.
#pragma once

#include <QLocale>
#include <QString>

namespace tarvo {

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The text as a number: optional blanks, a sign, digits with at most one decimal separator
// (at least one digit in all) and an optional exponent; the default when it is anything else.
long double StrToFloatDef(const QString& text, long double fallback, const QLocale& locale = QLocale());

// The value written in the given format:
//  ffGeneral   shortest of fixed and scientific, `precision` significant digits, no trailing zeros;
//              `digits` is the least number of exponent digits (0..4)
//  ffExponent  d.ddd...E+dddd with `precision` digits and at least `digits` exponent digits
//  ffFixed     `digits` decimals (scientific when the integer part has more than `precision` digits)
//  ffNumber    as ffFixed with thousand separators
//  ffCurrency  as ffNumber after the locale's currency symbol
// The value is rounded once, to `precision` significant digits or `digits` decimals,
// whichever comes first; digits past that are written as zeros.
QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                    const QLocale& locale = QLocale());

}  // namespace tarvo
