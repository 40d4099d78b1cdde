#include "console/forms/leituras/captura.h"

#include <QDir>
#include <QFile>

#include "platform/codepage.h"

namespace belmora {

QString ArquivoCaptura() {
    return QDir::current().filePath(QStringLiteral("IMPR.TXT"));
}

QStringList LinhasDaCaptura(const std::string& bytes) {
    QStringList linhas;
    std::string linha;
    int coluna = 1;
    auto fecha = [&] {
        linhas << QString::fromStdString(plataforma::ConverteCodigo(linha, "CP850", "UTF-8"));
        linha.clear();
        coluna = 1;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            fecha();
            continue;
        }
        if (c == 0x1B) {
            const char b = i + 1 < bytes.size() ? bytes[i + 1] : 0;
            i += (b == '!' || b == 'E' || b == ' ') ? 2 : 1;
            continue;
        }
        linha += c;
        if (++coluna > kColunasCaptura) fecha();
    }
    if (!linha.empty()) fecha();
    return linhas;
}

bool LeCaptura(const QString& arquivo, QStringList& linhas) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray dados = f.readAll();
    linhas = LinhasDaCaptura(dados.toStdString());
    return true;
}

}  // namespace belmora
