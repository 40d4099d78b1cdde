// Belmora: the operator console of the Tarvo driver.
#include <QApplication>

#include "console/database/dm_vintaro.h"
#include "console/main/configuracao_console.h"
#include "console/main/formularios.h"
#include "console/main/linha_de_comando.h"
#include "console/main/localidade.h"
#include "console/main/principal.h"
#include "console/programa/inicio.h"
#include "platform/pastas.h"
#include "platform/processo.h"

int main(int argc, char** argv) {
    if (const int saida = belmora::OpcoesDaLinhaDeComando(argc, argv); saida >= 0) return saida;
    // An installed console whose folder the user cannot write keeps its files in the user's
    // own folder: TARVO_HOME is set to it, and the restart below lets the driver read it too.
    const belmora::PastaDeDados dados = belmora::EscolhePastaDeDados();
    // Before any window: the folders the console sets (the driver, already loaded, reads
    // them again in the one restart this may take).
    belmora::PreparaPastas(argv);
    if (dados.definida) plataforma::ReiniciaPrograma(argv);
    QApplication app(argc, argv);
    belmora::DefineLocalidade();
    QApplication::setApplicationName(QStringLiteral("Belmora - Gerenciador de ECF Tarvo"));
    QApplication::setApplicationDisplayName(QString());
    belmora::RegistraFormulariosDoConsole();
    belmora::TfrmVintaro janela;
    if (!dados.pasta.empty())
        janela.AdicionaRetorno(
            QStringLiteral("Pasta do programa sem permissão de gravação: arquivos do console em %1 "
                           "(TARVO_HOME escolhe outra pasta)")
                .arg(QString::fromStdString(dados.pasta)));
    // The data module: "base.fdb" beside the program, created on the first start. Without it
    // the console still runs; products and cheque layouts cannot be kept.
    belmora::TdmVintaro dm;
    belmora::IniciaModuloDeDados(dm, plataforma::PastaPrograma(), &janela);
    janela.showMaximized();
    return app.exec();
}
