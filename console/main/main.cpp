// Belmora: the operator console of the Tarvo driver.
#include <QApplication>

#include "console/main/formularios.h"
#include "console/main/principal.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Belmora - Gerenciador de ECF Tarvo"));
    QApplication::setApplicationDisplayName(QString());
    belmora::RegistraFormulariosDoConsole();
    belmora::TfrmVintaro janela;
    janela.showMaximized();
    return app.exec();
}
