// Widgets need an application object; the tests run on Qt's offscreen platform (set by
// CTest, and here as a default for running the program by hand), in Brazilian
// Portuguese so that the numeric edit reads a decimal comma.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
