// Belmora: the operator console of the Tarvo driver.
#include <QApplication>

#include "console/main/configuracao_console.h"
#include "console/main/formularios.h"
#include "console/main/localidade.h"
#include "console/main/principal.h"

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
    janela.showMaximized();
    return app.exec();
}
