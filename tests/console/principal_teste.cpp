// main() of the console's test programs: a QApplication for the widgets, then GoogleTest.
// Without a platform named in the environment (test discovery at build time) the widgets
// run offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The embedded database engine reads its lock folder once per process: one for the whole
    // program, in its scratch folder (the tests' databases live in folders of their own).
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
        const std::string bloqueio = std::filesystem::current_path() / "firebird-lock";
        std::filesystem::create_directories(bloqueio);
        ::setenv("FIREBIRD_LOCK", bloqueio.c_str(), 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
