#include "console/forms/status/textos.h"

namespace belmora {

namespace {
const QChar kEsc(0x1B);
}

LinhaCabecalho FormataLinhaCabecalho(const QString& linha) {
    LinhaCabecalho r;
    QString t = linha;
    const QString modo = QString(kEsc) + QLatin1Char('!');
    r.expandida = t.contains(modo);
    if (r.expandida) {
        for (QChar n : {QChar(0x20), QChar(0x01), QChar(0x02)}) t.remove(modo + n);
    }
    t.replace(QString(kEsc) + QStringLiteral("E1"), QStringLiteral("<n>"));
    t.replace(QString(kEsc) + QStringLiteral("E0"), QStringLiteral("</n>"));
    r.texto = t;
    return r;
}

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
