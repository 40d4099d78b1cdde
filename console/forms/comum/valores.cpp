#include "console/forms/comum/valores.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

namespace belmora {

QString FormataValor(double valor) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "%0.2f", valor);
    QString r = QString::fromLatin1(texto);
    r.replace(QLatin1Char('.'), QLatin1Char(','));
    // A tiny negative rest of the subtraction shows as zero, not as "-0,00".
    if (r == QLatin1String("-0,00")) r = QStringLiteral("0,00");
    return r;
}

bool LeValor(const QString& texto, double& valor) {
    QString t = texto.trimmed();
    if (t.contains(QLatin1Char('.')) && t.contains(QLatin1Char(',')))
        t.remove(QLatin1Char('.'));
    else if (t.contains(QLatin1Char('.')))
        t.replace(QLatin1Char('.'), QLatin1Char(','));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return false;
    valor = v;
    return true;
}

bool LeSubtotal(const QString& resposta, double& valor) {
    if (resposta.size() < 2) return false;
    QString t = resposta;
    t.insert(t.size() - 2, QLatin1Char(','));
    t = t.trimmed();
    bool digito = false;
    for (QChar c : t) {
        if (c.isDigit())
            digito = true;
        else if (c != QLatin1Char(',') && c != QLatin1Char('-'))
            return false;
    }
    if (!digito) return false;
    if (t.startsWith(QLatin1Char(','))) t.prepend(QLatin1Char('0'));
    return LeValor(t, valor);
}

void FixaLocalidadeNumerica() {
    QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    brasil.setNumberOptions(QLocale::DefaultNumberOptions);
    QLocale::setDefault(brasil);
}

}  // namespace belmora
