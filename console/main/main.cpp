// Belmora: the operator console of the Tarvo driver.
#include <QApplication>

#include "console/database/dm_vintaro.h"
#include "console/forms/inicio.h"
#include "console/main/configuracao_console.h"
#include "console/main/formularios.h"
#include "console/main/localidade.h"
#include "console/main/principal.h"
#include "platform/pastas.h"

int main(int argc, char** argv) {
    // Before any window: the folders the console sets (the driver, already loaded, reads
    // them again in the one restart this may take).
    belmora::PreparaPastas(argv);
    QApplication app(argc, argv);
    belmora::DefineLocalidade();
    QApplication::setApplicationName(QStringLiteral("Belmora - Gerenciador de ECF Tarvo"));
    QApplication::setApplicationDisplayName(QString());
    belmora::RegistraFormulariosDoConsole();
    belmora::TfrmVintaro janela;
    // The data module: "base.fdb" beside the program, created on the first start. Without it
    // the console still runs; products and cheque layouts cannot be kept.
    belmora::TdmVintaro dm;
    belmora::IniciaModuloDeDados(dm, plataforma::PastaPrograma(), &janela);
    janela.showMaximized();
    return app.exec();
}
