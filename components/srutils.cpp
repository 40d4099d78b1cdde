#include "srutils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarvo {

namespace {

// Most significant digits a long double holds; the decimal expansion below carries a
// couple more so that the one rounding is done on an exact enough string.
constexpr int DigitosMaximos = 18;
constexpr int DigitosExpansao = 21;

// value = 0.d1 d2 d3 ... x 10^expoente (expoente: digits before the decimal point)
struct Decimal {
    bool negativo = false;
    int expoente = 0;
    std::string digitos;  // empty for zero
};

Decimal Expande(long double v) {
    Decimal d;
    d.negativo = std::signbit(v);
    v = std::fabs(v);
    if (v == 0) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", DigitosExpansao - 1, v);
    // buf: d.dddd...e[+-]xx
    std::string s(buf);
    const size_t e = s.find('e');
    d.digitos = s.substr(0, 1) + s.substr(2, e - 2);
    d.expoente = std::atoi(s.c_str() + e + 1) + 1;
    return d;
}

// Rounds to n significant digits (half away from zero); n <= 0 leaves zero or a single 1 one
// place up.
void Arredonda(Decimal& d, int n) {
    if (d.digitos.empty() || n >= static_cast<int>(d.digitos.size())) return;
    if (n < 0) {
        d.digitos.clear();
        return;
    }
    const bool sobe = d.digitos[n] >= '5';
    d.digitos.resize(n);
    if (sobe) {
        int i = n - 1;
        while (i >= 0 && d.digitos[i] == '9') d.digitos[i--] = '0';
        if (i >= 0) {
            ++d.digitos[i];
        } else {
            d.digitos.insert(d.digitos.begin(), '1');
            d.digitos.pop_back();
            if (d.digitos.empty()) d.digitos = "1";
            ++d.expoente;
        }
    }
    while (!d.digitos.empty() && d.digitos.back() == '0') d.digitos.pop_back();
}

char Digito(const Decimal& d, int i) {
    return i >= 0 && i < static_cast<int>(d.digitos.size()) ? d.digitos[i] : '0';
}

QString Agrupa(const std::string& inteiros, const QString& separador) {
    QString out;
    const int n = static_cast<int>(inteiros.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separador;
        out += QLatin1Char(inteiros[i]);
    }
    return out;
}

// Fixed notation with `casas` decimals, optionally grouped.
QString Fixo(const Decimal& d, int casas, bool agrupa, const QLocale& locale) {
    std::string inteiros;
    if (d.digitos.empty() || d.expoente <= 0)
        inteiros = "0";
    else
        for (int i = 0; i < d.expoente; ++i) inteiros += Digito(d, i);
    QString out = agrupa ? Agrupa(inteiros, locale.groupSeparator()) : QString::fromLatin1(inteiros);
    if (casas > 0) {
        out += locale.decimalPoint();
        for (int i = 0; i < casas; ++i)
            out += QLatin1Char(d.digitos.empty() ? '0' : Digito(d, d.expoente + i));
    }
    return out;
}

QString Expoente(int e, int minimo) {
    QString n = QString::number(std::abs(e));
    while (n.size() < minimo) n.prepend(QLatin1Char('0'));
    return QString(QLatin1Char('E')) + QLatin1Char(e < 0 ? '-' : '+') + n;
}

// d.ddd...E+xx with `mantissa` digits (trailing zeros dropped when `apara`).
QString Cientifico(const Decimal& d, int mantissa, int minimoExpoente, bool apara, const QLocale& locale) {
    QString out(QLatin1Char(Digito(d, 0)));
    QString resto;
    for (int i = 1; i < mantissa; ++i) resto += QLatin1Char(Digito(d, i));
    if (apara)
        while (resto.endsWith(QLatin1Char('0'))) resto.chop(1);
    if (!resto.isEmpty()) out += locale.decimalPoint() + resto;
    return out + Expoente(d.digitos.empty() ? 0 : d.expoente - 1, minimoExpoente);
}

}  // namespace

long double StrToFloatDef(const QString& text, long double fallback, const QLocale& locale) {
    const QString decimal = locale.decimalPoint();
    const QString t = text.trimmed();
    std::string c;
    int i = 0, digitos = 0;
    const int n = static_cast<int>(t.size());
    if (i < n && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        c += static_cast<char>(t[i++].unicode());
    while (i < n && t[i].isDigit() && t[i].unicode() < 128)
        c += static_cast<char>(t[i++].unicode()), ++digitos;
    if (i < n && t.mid(i, decimal.size()) == decimal) {
        c += '.';
        i += static_cast<int>(decimal.size());
        while (i < n && t[i].isDigit() && t[i].unicode() < 128)
            c += static_cast<char>(t[i++].unicode()), ++digitos;
    }
    if (digitos == 0) return fallback;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        c += 'e';
        ++i;
        if (i < n && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
            c += static_cast<char>(t[i++].unicode());
        int exp = 0;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128)
            c += static_cast<char>(t[i++].unicode()), ++exp;
        if (exp == 0) return fallback;
    }
    if (i != n) return fallback;
    const long double v = std::strtold(c.c_str(), nullptr);
    if (!std::isfinite(v)) return fallback;
    return v;
}

QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                    const QLocale& locale) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    precision = std::clamp(precision, 1, DigitosMaximos);
    digits = std::clamp(digits, 0, DigitosMaximos);

    Decimal d = Expande(value);
    const int expoenteOriginal = d.expoente;
    QString corpo;
    switch (format) {
        case TFloatFormat::ffGeneral: {
            Arredonda(d, precision);
            if (d.digitos.empty()) {
                corpo = QStringLiteral("0");
            } else if (d.expoente <= precision && d.expoente >= -4) {
                corpo = Fixo(d, std::max(static_cast<int>(d.digitos.size()) - d.expoente, 0), false, locale);
            } else {
                corpo = Cientifico(d, precision, std::min(digits, 4), true, locale);
            }
            break;
        }
        case TFloatFormat::ffExponent:
            Arredonda(d, precision);
            corpo = Cientifico(d, precision, std::min(digits, 4), false, locale);
            break;
        case TFloatFormat::ffFixed:
        case TFloatFormat::ffNumber:
        case TFloatFormat::ffCurrency: {
            if (!d.digitos.empty() && expoenteOriginal > precision) {
                Arredonda(d, precision);
                corpo = Cientifico(d, precision, 0, false, locale);
                break;
            }
            Arredonda(d, std::min(precision, d.expoente + digits));
            corpo = Fixo(d, digits, format != TFloatFormat::ffFixed, locale);
            break;
        }
    }
    // A value that rounds to zero is written without a sign.
    const bool negativo = d.negativo && !d.digitos.empty();
    if (format == TFloatFormat::ffCurrency) {
        corpo = locale.currencySymbol() + QLatin1Char(' ') + corpo;
    }
    return negativo ? QString(QLatin1Char('-')) + corpo : corpo;
}

}  // namespace tarvo
