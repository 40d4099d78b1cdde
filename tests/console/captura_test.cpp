// The main window as an operator first sees it: started on a real X server (Xvfb) against the
// printer emulator on COM1, the splash finds the printer, and the screen is saved as a PNG
// (under the build folder; CI keeps it). The picture is looked at, not compared.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "comum/ambiente.h"
#include "console/database/dm_vintaro.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "console/programa/inicio.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

namespace {

// The folder a picture goes to: the one asked for, or the scratch current folder when this
// user may not write there (a build tree that another user owns).
[[maybe_unused]] std::string PastaDaCaptura(const std::string& pasta) {
    std::error_code ec;
    std::filesystem::create_directories(pasta, ec);
    return ::access(pasta.c_str(), W_OK) == 0 ? pasta : std::filesystem::current_path().string();
}

TEST(Captura, MainWindowAfterStartUpAgainstTheEmulator) {
#ifndef BELMORA_COM_EMULADOR
    GTEST_SKIP() << "the printer emulator is not built";
#else
    const char* pedido = std::getenv("BELMORA_CAPTURA");
    if (!pedido || QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server (xvfb-run)";
    const std::filesystem::path nome(pedido);
    const std::string destino = PastaDaCaptura(nome.parent_path().string()) + "/" + nome.filename().string();
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
    ASSERT_TRUE(tela.save(QString::fromStdString(destino), "PNG"));
    std::printf("screenshot: %s\n", destino.c_str());
#endif
}

// The configuration form and "Vender Item Fiscal" hosted in the window on a 1024x768 screen,
// one picture each into the folder BELMORA_CAPTURA_FORMULARIOS: every button must show.
TEST(Captura, FormsOnA1024x768Screen) {
#ifndef BELMORA_COM_EMULADOR
    GTEST_SKIP() << "the printer emulator is not built";
#else
    const char* pedida = std::getenv("BELMORA_CAPTURA_FORMULARIOS");
    if (!pedida || QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server (xvfb-run)";
    const std::string pasta = PastaDaCaptura(pedida);
    std::filesystem::copy(BELMORA_IMAGENS, "Imagens", std::filesystem::copy_options::recursive);
    emulador::Emulador impressora;
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
    teste::PastaTemporaria programa;
    belmora::TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(programa.Caminho())) << dm.Erro().toStdString();
    QString erro;
    ASSERT_TRUE(dm.SalvarProduto({"001", "ARROZ TIPO 1", "FF", "UN", 2, "5,00"}, erro)) << erro.toStdString();
    belmora::RegistraFormulariosDoConsole();

    belmora::TfrmVintaro janela(false);
    janela.show();
    janela.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    QApplication::setActiveWindow(&janela);
    QTest::qWait(300);
    const struct {
        Qt::Key grupo, letra;
        const char* arquivo;
    } formularios[] = {{Qt::Key_F1, Qt::Key_N, "belmora-configuracoes-1024x768.png"},
                       {Qt::Key_F7, Qt::Key_V, "belmora-vender-item-1024x768.png"}};
    for (const auto& f : formularios) {
        QWidget* foco = QApplication::focusWidget() ? QApplication::focusWidget() : &janela;
        QTest::keyClick(foco, f.grupo);
        foco = QApplication::focusWidget() ? QApplication::focusWidget() : &janela;
        QTest::keyClick(foco, f.letra, Qt::AltModifier);
        ASSERT_TRUE(janela.FormularioHospedado());
        QTest::qWait(500);
        const QString arquivo =
            QString::fromStdString(pasta) + QStringLiteral("/") + QString::fromLatin1(f.arquivo);
        ASSERT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(arquivo, "PNG"));
        std::printf("screenshot: %s\n", qPrintable(arquivo));
    }
#endif
}

}  // namespace
