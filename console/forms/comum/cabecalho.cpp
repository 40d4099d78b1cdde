#include "console/forms/comum/cabecalho.h"

namespace belmora {

namespace {

QString Esc(const char* resto) {
    return QString(QChar(0x1B)) + QString::fromLatin1(resto);
}

// Every text the visible length leaves out, the escapes and the tags shown for them.
std::array<QString, 6> TextosDeTag() {
    const TagsCabecalho& t = Tags();
    return {t.expandidoLiga.bytes,  t.expandidoDesliga.bytes, t.negritoLiga.bytes,
            t.negritoDesliga.bytes, t.negritoLiga.mostra,     t.negritoDesliga.mostra};
}

// Length of the tag that begins at `i`, 0 when none does.
int TagEm(const QString& linha, int i) {
    for (const QString& tag : TextosDeTag())
        if (QStringView(linha).mid(i).startsWith(tag)) return static_cast<int>(tag.size());
    return 0;
}

}  // namespace

const TagsCabecalho& Tags() {
    static const TagsCabecalho t{
        {Esc("!") + QChar(0x20), QString()},
        {Esc("!") + QChar(0x02), QString()},
        {Esc("E1"), QStringLiteral("<n>")},
        {Esc("E0"), QStringLiteral("</n>")},
    };
    return t;
}

int TamanhoVisivel(const QString& linha) {
    int tamanho = static_cast<int>(linha.size());
    for (const QString& tag : TextosDeTag()) tamanho -= static_cast<int>(linha.count(tag) * tag.size());
    return tamanho;
}

LinhaCabecalho FormataLinhaCabecalho(const QString& linha) {
    const TagsCabecalho& t = Tags();
    LinhaCabecalho r;
    QString texto = linha;
    r.expandida = texto.contains(t.expandidoLiga.bytes);
    if (r.expandida) texto.remove(t.expandidoLiga.bytes).remove(t.expandidoDesliga.bytes);
    texto.replace(t.negritoLiga.bytes, t.negritoLiga.mostra);
    texto.replace(t.negritoDesliga.bytes, t.negritoDesliga.mostra);
    r.texto = texto;
    return r;
}

QStringList LinhasDoCabecalho(const QString& texto) {
    QStringList linhas;
    QString atual;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            linhas << atual;
            atual.clear();
            if (c == QLatin1Char('\r') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n')) ++i;
        } else {
            atual += c;
        }
    }
    linhas << atual;
    return linhas;
}

QString TextoDoCabecalho(const std::array<LinhaEditada, 4>& linhas) {
    const TagsCabecalho& t = Tags();
    auto linha = [&t](const LinhaEditada& l) {
        return l.expandida ? t.expandidoLiga.bytes + l.texto + t.expandidoDesliga.bytes : l.texto;
    };
    QString texto = linha(linhas[0]);
    for (std::size_t i = 1; i < linhas.size(); ++i)
        if (!linhas[i].texto.isEmpty()) texto += QLatin1Char('\n') + linha(linhas[i]);
    texto.replace(t.negritoDesliga.mostra, t.negritoDesliga.bytes);
    texto.replace(t.negritoLiga.mostra, t.negritoLiga.bytes);
    return texto;
}

QString CentraLinha(const QString& linha, bool expandida) {
    if (TamanhoVisivel(linha) >= kLarguraNormal) return linha;
    const QString aparada = linha.trimmed();
    if (aparada.isEmpty()) return aparada;
    const int largura = expandida ? kLarguraExpandida : kLarguraNormal;
    const int brancos = (largura - TamanhoVisivel(aparada)) / 2 + 1;
    return QString(std::max(brancos, 0), QLatin1Char(' ')) + aparada;
}

QString CortaVisivel(const QString& linha, int largura) {
    QString r;
    int visiveis = 0;
    for (int i = 0; i < linha.size();) {
        if (const int n = TagEm(linha, i)) {
            r += linha.mid(i, n);
            i += n;
            continue;
        }
        if (visiveis < largura) {
            r += linha[i];
            ++visiveis;
        }
        ++i;
    }
    return r;
}

}  // namespace belmora
