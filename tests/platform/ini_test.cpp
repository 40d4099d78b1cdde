#include "platform/ini.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "comum/ambiente.h"

using plataforma::ArquivoIni;

namespace {

const std::string kArquivo =
    "; Tarvo settings\r\n"
    "[Sistema]\r\n"
    "ModeloImp = TARVO_RIX \r\n"
    "Porta=\"COM3\"\r\n"
    "\r\n"
    "[Outra]\r\n"
    "chave=valor ; not a comment after a value\r\n"
    "[sistema]\r\n"
    "Porta=COM9\r\n";

TEST(Ini, LookupIgnoresCaseTrimsAndUnquotes) {
    EXPECT_EQ(*ArquivoIni::Procura(kArquivo, "SISTEMA", "modeloimp"), "TARVO_RIX");
    EXPECT_EQ(*ArquivoIni::Procura(kArquivo, "Sistema", "Porta"), "COM3");  // first section wins
    EXPECT_EQ(*ArquivoIni::Procura(kArquivo, "outra", "CHAVE"), "valor ; not a comment after a value");
    EXPECT_FALSE(ArquivoIni::Procura(kArquivo, "Sistema", "BAUD").has_value());
    EXPECT_FALSE(ArquivoIni::Procura(kArquivo, "Nada", "Porta").has_value());
    EXPECT_FALSE(ArquivoIni::Procura(kArquivo, "Sistema", "; Tarvo settings").has_value());
}

TEST(Ini, WriteEditsTheLineInPlaceAndKeepsEverythingElse) {
    std::string t = kArquivo;
    ArquivoIni::AplicaEdicao(t, "SISTEMA", "porta", "COM4");
    std::string esperado = kArquivo;
    esperado.replace(esperado.find("\"COM3\""), 6, "COM4");
    EXPECT_EQ(t, esperado);
}

TEST(Ini, NewKeyGoesAfterTheLastLineOfItsSection) {
    std::string t = kArquivo;
    ArquivoIni::AplicaEdicao(t, "sistema", "BAUD", "9600");
    EXPECT_NE(t.find("Porta=\"COM3\"\r\nBAUD=9600\r\n\r\n[Outra]"), std::string::npos) << t;
}

TEST(Ini, NewSectionIsAppendedWithTheFilesLineEnds) {
    std::string t = kArquivo;
    ArquivoIni::AplicaEdicao(t, "Flags", "NumPkt", "2");
    EXPECT_EQ(t, kArquivo + "[Flags]\r\nNumPkt=2\r\n");

    std::string unix = "[a]\nx=1";
    ArquivoIni::AplicaEdicao(unix, "a", "y", "2");
    EXPECT_EQ(unix, "[a]\nx=1\ny=2\n");

    std::string vazio;
    ArquivoIni::AplicaEdicao(vazio, "Sistema", "Path", "C:\\");
    EXPECT_EQ(vazio, "[Sistema]\r\nPath=C:\\\r\n");
}

TEST(Ini, SaveMergesWithWhatAnotherWriterStoredMeanwhile) {
    teste::PastaTemporaria pasta;
    std::string arquivo = pasta / "TARVO.INI";
    teste::EscreveArquivo(arquivo, "[Sistema]\r\nPorta=COM1\r\n");
    ArquivoIni ini(arquivo);
    ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "7");  // another writer
    ini.Grava("Sistema", "Porta", "COM2");
    ASSERT_TRUE(ini.Salva());
    EXPECT_EQ(teste::LeArquivo(arquivo), "[Sistema]\r\nPorta=COM2\r\n[Flags]\r\nNumPkt=7\r\n");
    // No temporary file is left behind.
    int arquivos = 0;
    for (auto& e : std::filesystem::directory_iterator(pasta.Caminho())) (void)e, ++arquivos;
    EXPECT_EQ(arquivos, 1);
}

TEST(Ini, ConcurrentProcessesNeverLoseAnUpdate) {
    teste::PastaTemporaria pasta;
    std::string arquivo = pasta / "TARVO.INI";
    teste::EscreveArquivo(arquivo, "; shared\r\n[Flags]\r\nNumPkt=0\r\n");
    auto incrementa = [&] {
        for (int i = 0; i < 40; ++i)
            ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", [](const std::optional<std::string>& v) {
                return std::to_string(std::stoi(v.value_or("0")) + 1);
            });
        return 0;
    };
    std::vector<std::thread> filhos;
    for (int p = 0; p < 4; ++p) filhos.emplace_back([&] { EXPECT_EQ(teste::EmProcessoFilho(incrementa), 0); });
    for (auto& f : filhos) f.join();
    EXPECT_EQ(teste::LeArquivo(arquivo), "; shared\r\n[Flags]\r\nNumPkt=160\r\n");
}

TEST(Ini, MissingFileGivesDefaultsAndIsCreatedByTheFirstWrite) {
    teste::PastaTemporaria pasta;
    std::string arquivo = pasta / "novo.ini";
    EXPECT_EQ(ArquivoIni::LeChave(arquivo, "Sistema", "Porta", "COM1"), "COM1");
    EXPECT_TRUE(ArquivoIni::GravaChave(arquivo, "Sistema", "Porta", "COM5"));
    EXPECT_EQ(ArquivoIni::LeChave(arquivo, "sistema", "PORTA", "COM1"), "COM5");
}

}  // namespace
