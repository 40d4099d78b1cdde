// The main window as an operator first sees it: started on a real X server (Xvfb) against the
// printer emulator on COM1, the splash finds the printer, and the screen is saved as a PNG
// (under the build folder; CI keeps it). The picture is looked at, not compared.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "console/main/principal.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

namespace {

TEST(Captura, MainWindowAfterStartUpAgainstTheEmulator) {
#ifndef BELMORA_COM_EMULADOR
    GTEST_SKIP() << "the printer emulator is not built";
#else
    const char* destino = std::getenv("BELMORA_CAPTURA");
    if (!destino || QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server (xvfb-run)";
    // The pictures load from "Imagens" in the current folder, as the console's own do.
    std::filesystem::copy(BELMORA_IMAGENS, "Imagens", std::filesystem::copy_options::recursive);

    emulador::Emulador impressora;
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();

    belmora::TfrmVintaro janela;
    janela.showMaximized();
    // Xvfb runs no window manager to maximise it: take the whole screen.
    janela.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    auto* log = janela.findChild<QListWidget*>("RetornoUsuario");
    // Start-up is over when the splash has tested the port and closed.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "formSplash" && w->isVisible()) return false;
            return log->count() > 0;
        },
        60000));
    QTest::qWait(500);
    for (int i = 0; i < log->count(); ++i) std::printf("%s\n", qPrintable(log->item(i)->text()));
    EXPECT_EQ(log->item(0)->text(), "-> Procurando ECF na porta COM1");
    EXPECT_TRUE(!log->findItems("-> Atualizando Status", Qt::MatchExactly).isEmpty());
    EXPECT_TRUE(janela.findChild<QLabel*>("StatusImpressora")->text().startsWith("ACK: 6"));

    QPixmap tela = QGuiApplication::primaryScreen()->grabWindow(0);
    std::filesystem::create_directories(std::filesystem::path(destino).parent_path());
    ASSERT_TRUE(tela.save(QString::fromLocal8Bit(destino), "PNG"));
    std::printf("screenshot: %s\n", destino);
#endif
}

}  // namespace
