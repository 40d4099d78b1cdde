#include "console/main/linha_de_comando.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace belmora {

int OpcoesDaLinhaDeComando(int argc, char** argv) {
    QStringList argumentos;
    for (int i = 0; i < argc; ++i) argumentos << QString::fromLocal8Bit(argv[i]);
    QCoreApplication::setApplicationName(QStringLiteral("belmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BELMORA_VERSAO));
    QCommandLineParser opcoes;
    opcoes.setApplicationDescription(
        QStringLiteral("Belmora: o console de operação do driver Tarvo de impressoras fiscais (ECF).\n"
                       "\n"
                       "Guarda TARVO.INI, base.fdb e as pastas dos arquivos fiscais na pasta do programa:\n"
                       "  $TARVO_HOME quando definida; senão a pasta do executável, ou, quando esta não\n"
                       "  aceita gravação, $XDG_DATA_HOME/belmora (~/.local/share/belmora).\n"
                       "A porta COMn é $TARVO_DEVDIR/COMn quando TARVO_DEVDIR está definida, senão\n"
                       "  /dev/ttyS<n-1> (grupo dialout; a porta paralela, grupo lp)."));
    const QCommandLineOption ajuda = opcoes.addHelpOption();
    const QCommandLineOption versao = opcoes.addVersionOption();
    // Unknown options are not an error here: QApplication takes its own afterwards.
    opcoes.parse(argumentos);
    if (opcoes.isSet(ajuda) || opcoes.isSet(QStringLiteral("help-all"))) {
        // An application of no window, so that the text names the program.
        QCoreApplication nucleo(argc, argv);
        std::fputs(opcoes.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (opcoes.isSet(versao)) {
        std::printf("belmora %s\n", BELMORA_VERSAO);
        return 0;
    }
    return -1;
}

}  // namespace belmora
