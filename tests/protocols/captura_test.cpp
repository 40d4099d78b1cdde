// The conversion of the printer's captured stream into text lines and rich text, the
// capture over a pseudo-terminal, and the detail-tape format export.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_captura.h"
#include "driver/protocols/familias.h"
#include "platform/pastas.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

std::string Converte(const std::string& entrada) {
    return ConverteTextoImpressao(entrada, false).texto;
}

const std::string ESC = "\x1b";
// ESC ! 0: the normal print mode (a NUL byte, so not a C string).
const std::string MODO_NORMAL = ESC + std::string("!\0", 2);

std::string Hexa(const std::string& s) {
    std::string r;
    for (unsigned char c : s) r += "0123456789ABCDEF"[c >> 4], r += "0123456789ABCDEF"[c & 15], r += ' ';
    return r;
}

TEST(ConversaoImpressao, LineFeedsAndTheWidthEndLines) {
    EXPECT_EQ(Converte("ABC\nDEF"), "ABC\r\nDEF\r\n");
    const std::string cem(100, 'x');
    EXPECT_EQ(Converte(cem), std::string(48, 'x') + "\r\n" + std::string(48, 'x') + "\r\n" + "xxxx\r\n");
    // Empty lines of the stream stay; an empty stream gives an empty text.
    EXPECT_EQ(Converte("A\n\nB\n"), "A\r\n\r\nB\r\n");
    EXPECT_EQ(Converte(""), "");
    // A full printed line ends by its width; the line feed after it ends an empty one.
    EXPECT_EQ(Converte(std::string(48, 'y') + "\n"), std::string(48, 'y') + "\r\n\r\n");
}

TEST(ConversaoImpressao, CondensedModeWidensOneLineTo57Columns) {
    const std::string longa(60, 'c');
    std::string t = Converte(ESC + "!\x01" + longa + std::string(50, 'n'));
    // 57 condensed characters, then the rest of the line, then back at 48.
    EXPECT_EQ(t, std::string(57, 'c') + "\r\n" + "ccc" + std::string(45, 'n') + "\r\n" + "nnnnn\r\n");
    // A mode change mid-line does not break the line.
    EXPECT_EQ(Converte("TOTAL " + ESC + "E1" + "10,00" + ESC + "E0" + "\n"), "TOTAL 10,00\r\n");
    // Going back from 57 to 48 with more than 48 columns used ends the line at the next byte.
    EXPECT_EQ(Converte(ESC + "!\x01" + std::string(50, 'a') + MODO_NORMAL + "bc"),
              std::string(50, 'a') + "b\r\nc\r\n");
}

TEST(ConversaoImpressao, CodePage850LettersAreMappedAndEscapedBytesPassAsTheyAre) {
    EXPECT_EQ(Converte("\x87\x80"), "\x87\xC7\r\n");
    EXPECT_EQ(Converte("REDU\x80\xE5"
                       "ES DI\xB5RIAS"),
              "REDU\xC7\xD5"
              "ES DI\xC1RIAS\r\n");
    // "\" takes the next byte literally, unmapped, as one column.
    EXPECT_EQ(Converte("a\\\x80"
                       "b\\\\c\\;"),
              "a\x80"
              "b\\c;\r\n");
    // Spacing escapes leave no trace.
    EXPECT_EQ(Converte("A" + ESC + " \x05" + "B"), "AB\r\n");
}

TEST(ConversaoImpressao, UnknownEscapesAreSkippedAndLoggedWithTwentyBytes) {
    Conversao c = ConverteTextoImpressao("A" + ESC + "Zxyz0123456789012345678\nB", false);
    EXPECT_EQ(c.texto, "Axyz0123456789012345678\r\nB\r\n");
    ASSERT_EQ(c.escapesDesconhecidos.size(), 1u);
    EXPECT_EQ(c.escapesDesconhecidos[0], ESC + "Zxyz012345678901234");
}

TEST(ConversaoImpressao, NeverReadsPastTheEndOfTheStream) {
    // Each stream ends inside an escape or after a lone backslash. The input is a copy
    // whose end is the end of its allocation, so a read past it shows up under the
    // sanitizer.
    for (const std::string& s :
         {std::string("AB") + ESC, "AB" + ESC + "!", "AB" + ESC + "E", "AB" + ESC + " ", "AB" + ESC + " \x01",
          std::string("AB\\"), "AB" + ESC + "Q"}) {
        std::unique_ptr<char[]> exato(new char[s.size()]);
        std::memcpy(exato.get(), s.data(), s.size());
        Conversao c = ConverteTextoImpressao(std::string_view(exato.get(), s.size()), true);
        EXPECT_EQ(c.texto, "AB\r\n") << Hexa(s);
        EXPECT_NE(c.rtf.find("AB"), std::string::npos);
    }
}

TEST(ConversaoImpressao, RichTextCarriesTheFontBoldAndSizesAndEscapesItsSpecialCharacters) {
    Conversao c = ConverteTextoImpressao(ESC + "!\x28" + "GRANDE\n" + MODO_NORMAL + "{x}\\\\\x87\n" +
                                             std::string(48, '-') + "\n" + ESC + "E1" + "neg" + ESC + "E0",
                                         true);
    EXPECT_EQ(c.rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(c.rtf.find("Courier New"), std::string::npos);
    EXPECT_NE(c.rtf.find("\\b \\fs30 GRANDE\\par"), std::string::npos);
    EXPECT_NE(c.rtf.find("\\b0 \\fs16 \\{x\\}\\\\\\'87\\par"), std::string::npos);
    EXPECT_NE(c.rtf.find("{\\fs16 " + std::string(48, '-') + "}\\par"), std::string::npos);
    EXPECT_NE(c.rtf.find("\\b neg\\b0 "), std::string::npos);
    EXPECT_EQ(c.rtf.substr(c.rtf.size() - 3), "}\r\n");
    // The plain form of the same stream.
    EXPECT_EQ(c.texto, "GRANDE\r\n{x}\\\x87\r\n" + std::string(48, '-') + "\r\n\r\nneg\r\n");
}

TEST(ConversaoImpressao, IsLinearInTheSizeOfTheStream) {
    std::string linha = "ITEM 001 PRODUTO " + ESC + "E1" + "10,00" + ESC + "E0" + "\\;\x87\n";
    std::string grande;
    while (grande.size() < 2'000'000) grande += linha;
    Conversao c = ConverteTextoImpressao(grande, true);
    EXPECT_EQ(c.texto.size(), grande.size() / linha.size() * 26);
}

// Files of the current folder: each test runs in a scratch folder of its own.
class CapturaArquivos : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev, atual;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    std::string antes;

    void SetUp() override {
        char b[4096];
        antes = ::getcwd(b, sizeof b) ? b : "/";
        ASSERT_EQ(::chdir(atual.Caminho().c_str()), 0);
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\nPath=" +
                                                      home.Caminho() + "\r\n");
        CarregaConfiguracao();
        Estado().PrimeiroUsoFeito = true;
    }
    void TearDown() override { (void)!::chdir(antes.c_str()); }
};

TEST_F(CapturaArquivos, FormatoDadosMFDConvertsTheFileItIsGiven) {
    teste::EscreveArquivo(atual / "IMPR.TXT", "OUTRA CAPTURA\n");
    teste::EscreveArquivo(atual / "download.txt", "LINHA 1\nLINHA \x80\n");
    EXPECT_EQ(familia0::Tarvo_FormatoDadosMFD("download.txt", "saida.txt", "0", "", "", "", ""), 1);
    EXPECT_EQ(teste::LeArquivo(atual / "saida.txt"), "LINHA 1\r\nLINHA \xC7\r\n");
    EXPECT_EQ(teste::LeArquivo(atual / "IMPR2.TXT"), "LINHA 1\r\nLINHA \xC7\r\n");
    EXPECT_EQ(teste::LeArquivo(atual / "IMPR.TXT"), "OUTRA CAPTURA\n");

    // Rich text on "1"; a Windows-style name in the program folder.
    EXPECT_EQ(familia0::Tarvo_FormatoDadosMFD("download.txt", "C:\\saida.rtf", "1", "", "", "", ""), 1);
    EXPECT_EQ(teste::LeArquivo(home / "saida.rtf").rfind("{\\rtf1", 0), 0u);

    // The source may be converted onto itself.
    EXPECT_EQ(familia0::Tarvo_FormatoDadosMFD("download.txt", "download.txt", "0", "", "", "", ""), 1);
    EXPECT_EQ(teste::LeArquivo(atual / "download.txt"), "LINHA 1\r\nLINHA \xC7\r\n");
}

TEST_F(CapturaArquivos, FormatoDadosMFDReportsAMissingSourceAndAnUnwritableTarget) {
    EXPECT_EQ(familia0::Tarvo_FormatoDadosMFD("nao-existe.txt", "saida.txt", "0", "", "", "", ""), -8);
    EXPECT_EQ(Erro().UltimoRetorno, -8);
    EXPECT_EQ(Erro().UltimaMensagem, "Erro no Arquivo Origem");
    EXPECT_EQ(familia0::Tarvo_FormatoDadosMFD(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              -8);
    teste::EscreveArquivo(atual / "d.txt", "X");
    EXPECT_EQ(
        familia0::Tarvo_FormatoDadosMFD("d.txt", (atual / "sem/pasta.txt").c_str(), "0", "", "", "", ""), 0);
    EXPECT_EQ(Erro().UltimaMensagem, "Erro no Arquivo Destino");
}

std::string Comando(const std::string& quadro) {
    std::string c = quadro.substr(quadro.find(';') + 1);
    return c.substr(0, c.find(';'));
}

TEST_F(CapturaArquivos, ACaptureCollectsTheChunksUntilTwoShortReplies) {
    int pedidos = 0;
    const std::vector<std::string> pedacos = {
        "TextoImpressao=\"LINHA A\nLI\"", "TextoImpressao=\"NHA B\n\"", "TextoImpressao=\"X\"",
        "TextoImpressao=\"MAIS\"",        "TextoImpressao=\"\"",        "TextoImpressao=\"\""};
    Roteiro impressora(dev.Caminho(), "COM1", [&](const std::string& q) {
        std::string dados = Comando(q) == "LeImpressao" && pedidos < static_cast<int>(pedacos.size())
                                ? pedacos[static_cast<std::size_t>(pedidos++)]
                                : "";
        return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), "0", dados)}};
    });
    EXPECT_EQ(CapturaEConverte(home / "IMPRESSAO.TXT"), 1);
    // A one-character chunk in the middle does not end the capture, nor is it kept.
    EXPECT_EQ(teste::LeArquivo(atual / "IMPR.TXT"), "LINHA A\nLINHA B\nMAIS");
    EXPECT_EQ(teste::LeArquivo(home / "IMPRESSAO.TXT"), "LINHA A\r\nLINHA B\r\nMAIS\r\n");
    EXPECT_FALSE(Estado().CapturaMantemPortaAberta);
    EXPECT_EQ(pedidos, 6);
}

TEST_F(CapturaArquivos, ACaptureOfTwoShortRepliesEndsWithAnEmptyFile) {
    teste::EscreveArquivo(atual / "IMPR.TXT", "velho");
    Roteiro impressora(dev.Caminho(), "COM1", [&](const std::string& q) {
        return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), "0", "TextoImpressao=\"-\"")}};
    });
    EXPECT_EQ(CapturaImpressao(), 1);
    EXPECT_EQ(teste::LeArquivo(atual / "IMPR.TXT"), "");
    EXPECT_EQ(impressora.Quadros().size(), 2u);
}

TEST_F(CapturaArquivos, AFailedCaptureDeletesItsTargetAndReleasesThePort) {
    teste::EscreveArquivo(home / "IMPRESSAO.TXT", "leitura anterior");
    Roteiro impressora(dev.Caminho(), "COM1", [&](const std::string& q) {
        return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), "8040", "\"Erro\" \"Quadro invalido\"")}};
    });
    EXPECT_EQ(CapturaEConverte(home / "IMPRESSAO.TXT"), 0);
    EXPECT_FALSE(plataforma::ExisteArquivo(home / "IMPRESSAO.TXT"));
    EXPECT_EQ(Erro().UltimoRetorno, 8040);
    EXPECT_FALSE(Estado().CapturaMantemPortaAberta);
}

TEST_F(CapturaArquivos, APortThatCannotBeOpenedEndsTheCaptureWithMinus5) {
    EXPECT_EQ(CapturaImpressao(), -5);
    EXPECT_EQ(Erro().UltimaMensagem, "Erro Abertura Porta Serial");
    // The engine opens and closes the port around its commands again.
    EXPECT_FALSE(Estado().CapturaMantemPortaAberta);
}

}  // namespace
