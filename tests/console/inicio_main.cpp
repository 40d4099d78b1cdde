// main() of the start-up tests: the console's own start order before GoogleTest: the
// folders (with the restart they may take), the application, the number and date formats.
#include <gtest/gtest.h>

#include <QApplication>

#include "console/main/configuracao_console.h"
#include "console/main/localidade.h"

int main(int argc, char** argv) {
    belmora::PreparaPastas(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    belmora::DefineLocalidade();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
