// The console's start on a fresh install (this program runs in a scratch program folder with
// no TARVO.INI before the driver loads): the folders it sets exist and the driver uses them
// from the first start; amounts and dates in Brazilian form under any machine locale.
#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <QTest>
#include <clocale>
#include <cstdio>
#include <string>

#include "comum/ambiente.h"
#include "console/main/configuracao_console.h"
#include "enhedit.h"
#include "platform/ini.h"
#include "platform/pastas.h"
#include "tarvo.h"

namespace {

TEST(Inicio, TheFoldersTheConsoleSetsExistAndTheDriverUsesThemFromTheFirstStart) {
    const std::string casa = plataforma::PastaPrograma();
    const std::string ini = casa + "TARVO.INI";
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(ini, "Sistema", "Path", ""), casa + "RFDTemp/");
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(ini, "Sistema", "PathRFD", ""), casa + "RFD/");
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(ini, "Sistema", "PathTDM", ""), casa + "MemoriasTDM/");
    for (const char* sub : {"RFDTemp/", "RFD/", "MemoriasTDM/"})
        EXPECT_TRUE(plataforma::ExistePasta(casa + sub)) << sub;

    // The driver's work folder is the console's: it finds its answer file there.
    teste::EscreveArquivo(casa + "RFDTemp/RETORNO.TXT", "4321\r\n");
    char resposta[4097] = {};
    EXPECT_EQ(Tarvo_LeArquivoRetorno(resposta), 1);
    EXPECT_EQ(std::string(resposta), "4321");

    // Nothing more to write at a later start; a folder the operator chose stays as it is.
    EXPECT_FALSE(belmora::LeConfiguracaoConsole().PastasReescritas);
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(ini, "Sistema", "PathTDM", "c:\\"));
    belmora::ConfiguracaoConsole c = belmora::LeConfiguracaoConsole();
    EXPECT_FALSE(c.PastasReescritas);
    EXPECT_EQ(c.PathTDM, "c:\\");
}

// An installed console in a folder it cannot write: where it keeps its files.
TEST(Inicio, TheUsersOwnFolderWhenTheProgramsFolderCannotBeWritten) {
    const char* const h = "/home/ana/.local/share/belmora/";
    const struct {
        const char *tarvoHome, *xdg, *home;
        bool gravavel;
        const char* pasta;
    } casos[] = {
        {nullptr, "/x/", "/home/ana", true, ""},
        {nullptr, "/x", "/home/ana", false, "/x/belmora/"},
        {nullptr, "rel", "/home/ana/", false, h},
        {nullptr, nullptr, "/home/ana", false, h},
        {nullptr, nullptr, nullptr, false, ""},
        {"", nullptr, "/home/ana", false, h},
        {"/opt/caixa", nullptr, "/home/ana", false, ""},
        {"/home/ana/.local/share/belmora", "", "/home/ana", false, h},
    };
    for (const auto& c : casos)
        EXPECT_EQ(belmora::PastaDoUsuario(c.tarvoHome, c.gravavel, c.xdg, c.home), c.pasta) << (&c - casos);
}

TEST(Inicio, AmountsUseTheDecimalCommaWhateverTheMachinesLocale) {
    // The test runs under LANG=C.UTF-8, a locale with a decimal point.
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    tarvo::TEnhancedEdit preco;
    preco.SetAcceptChars(false);
    preco.SetDigits(2);
    preco.show();
    QTest::keyClicks(&preco, "1,50");
    EXPECT_EQ(preco.text(), "1,50");
    EXPECT_DOUBLE_EQ(static_cast<double>(preco.Value()), 1.5);
    preco.clear();
    QTest::keyClicks(&preco, "12,345");
    EXPECT_EQ(preco.text(), "12,34");
    EXPECT_DOUBLE_EQ(static_cast<double>(preco.Value()), 12.34);
    EXPECT_EQ(preco.ValueInt(), 12);
    preco.SetFormat(tarvo::TFloatFormat::ffFixed);
    preco.SetValue(3.5L);
    EXPECT_EQ(preco.text(), "3,50");
    EXPECT_EQ(QLocale().toString(QDate(2026, 3, 4), QLocale::ShortFormat), "04/03/2026");
    // The C library keeps its own numbers for the driver's texts.
    char numero[16];
    std::snprintf(numero, sizeof numero, "%.2f", 1.5);
    EXPECT_STREQ(numero, "1.50");
}

}  // namespace
