#include "console/forms/status/textos.h"

namespace belmora {

QStringList LinhasDoCliche(const QString& cliche) {
    QString t = cliche;
    while (!t.isEmpty() && t.back() == QLatin1Char(' ')) t.chop(1);
    QStringList r;
    QString atual;
    auto fecha = [&] {
        int i = 0;
        while (i < atual.size() && atual[i] == QLatin1Char(' ')) ++i;
        if (i < atual.size()) r << atual.mid(i);
        atual.clear();
    };
    for (QChar c : t) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            fecha();
        else
            atual += c;
    }
    fecha();
    return r;
}

QString PartesVendasNaoFiscais(const QString& vendas) {
    QString r;
    for (int i = 0; i < vendas.size(); i += 14) r += vendas.mid(i, 14) + QStringLiteral(" , ");
    return r;
}

QString ComSeparadores(const QString& digitos, QChar separador) {
    QString r = digitos.left(2);
    if (digitos.size() > 2) r += separador + digitos.mid(2, 2);
    if (digitos.size() > 4) r += separador + digitos.mid(4, 2);
    return r;
}

}  // namespace belmora
