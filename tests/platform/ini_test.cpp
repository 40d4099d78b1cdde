#include "platform/ini.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "comum/ambiente.h"
#include "comum/usuario.h"

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
    for (int p = 0; p < 4; ++p)
        filhos.emplace_back([&] { EXPECT_EQ(teste::EmProcessoFilho(incrementa), 0); });
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

namespace {

struct stat Estado(const std::string& caminho) {
    struct stat st {};
    ::stat(caminho.c_str(), &st);
    return st;
}

std::vector<std::string> Nomes(const teste::PastaTemporaria& pasta) {
    std::vector<std::string> v;
    for (auto& e : std::filesystem::directory_iterator(pasta.Caminho()))
        v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

// Puts the file's time stamp an hour back, so that any later write shows.
void Envelhece(const std::string& caminho) {
    timespec t[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, caminho.c_str(), t, 0);
}

TEST(Ini, AByteOrderMarkIsSkippedWhenReadingAndKeptWhenWriting) {
    const std::string bom = "\xEF\xBB\xBF";
    std::string t = bom + "[Sistema]\r\nPorta=COM3\r\n";
    EXPECT_EQ(*ArquivoIni::Procura(t, "Sistema", "Porta"), "COM3");
    ArquivoIni::AplicaEdicao(t, "Sistema", "BAUD", "9600");
    EXPECT_EQ(t, bom + "[Sistema]\r\nPorta=COM3\r\nBAUD=9600\r\n");  // one [Sistema], mark kept

    std::string soMarca = bom;
    ArquivoIni::AplicaEdicao(soMarca, "Flags", "NumPkt", "2");
    EXPECT_EQ(soMarca, bom + "[Flags]\r\nNumPkt=2\r\n");
}

TEST(Ini, ALoneCarriageReturnEndsALine) {
    // The section's last line ends in a lone CR: the new key must not turn it into "7\r".
    std::string t = "[Sistema]\r\nTimeOutComandos=7\r";
    ArquivoIni::AplicaEdicao(t, "Sistema", "BAUD", "9600");
    EXPECT_EQ(t, "[Sistema]\r\nTimeOutComandos=7\rBAUD=9600\r\n");
    EXPECT_EQ(*ArquivoIni::Procura(t, "Sistema", "TimeOutComandos"), "7");
    EXPECT_EQ(*ArquivoIni::Procura(t, "Sistema", "BAUD"), "9600");

    std::string mac = "[Sistema]\rPorta=COM2\r[Flags]\rNumPkt=9";
    EXPECT_EQ(*ArquivoIni::Procura(mac, "Sistema", "Porta"), "COM2");
    EXPECT_EQ(*ArquivoIni::Procura(mac, "Flags", "NumPkt"), "9");
    ArquivoIni::AplicaEdicao(mac, "Flags", "NumPkt", "10");
    EXPECT_EQ(mac, "[Sistema]\rPorta=COM2\r[Flags]\rNumPkt=10");
}

TEST(Ini, WritingTheValueAKeyHasChangesNothingAndAValueIsOneLine) {
    std::string t = kArquivo;
    ArquivoIni::AplicaEdicao(t, "Sistema", "ModeloImp", "TARVO_RIX");  // written " TARVO_RIX "
    ArquivoIni::AplicaEdicao(t, "Sistema", "Porta", "COM3");           // written "\"COM3\""
    EXPECT_EQ(t, kArquivo);

    ArquivoIni::AplicaEdicao(t, "Outra", "chave", "x\r\n[Flags]\r\nNumPkt=99");
    EXPECT_EQ(*ArquivoIni::Procura(t, "Outra", "chave"), "x");
    EXPECT_FALSE(ArquivoIni::Procura(t, "Flags", "NumPkt").has_value());
}

TEST(Ini, StoresThatChangeNothingLeaveTheFileUntouched) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI";
    teste::EscreveArquivo(arquivo, kArquivo);
    Envelhece(arquivo);
    const struct stat antes = Estado(arquivo);
    ArquivoIni ini(arquivo);
    ini.Grava("Sistema", "ModeloImp", "TARVO_RIX");
    ini.Grava("Sistema", "Porta", "COM3");
    ASSERT_TRUE(ini.Salva());
    ASSERT_TRUE(ArquivoIni::GravaChave(arquivo, "Outra", "chave", "valor ; not a comment after a value"));
    const struct stat depois = Estado(arquivo);
    EXPECT_EQ(depois.st_ino, antes.st_ino);
    EXPECT_EQ(depois.st_mtim.tv_sec, antes.st_mtim.tv_sec);
    EXPECT_EQ(teste::LeArquivo(arquivo), kArquivo);
}

TEST(Ini, ValuesOfTheSameWidthAreWrittenInPlaceOthersByRenameKeepingOwnerAndMode) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI";
    teste::EscreveArquivo(arquivo, "[Flags]\r\nNumPkt=98\r\nGerencial=0\r\n");
    ::chmod(arquivo.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(arquivo.c_str(), 4321, 4321), 0);
    }
    const ino_t inode = Estado(arquivo).st_ino;
    auto soma = [](const std::optional<std::string>& v) {
        return std::to_string(std::stoi(v.value_or("0")) + 1);
    };

    EXPECT_EQ(*ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", soma), "99");
    EXPECT_EQ(Estado(arquivo).st_ino, inode);  // in place
    EXPECT_EQ(*ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", soma), "100");
    EXPECT_EQ(teste::LeArquivo(arquivo), "[Flags]\r\nNumPkt=100\r\nGerencial=0\r\n");
    const struct stat st = Estado(arquivo);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
    }
    EXPECT_EQ(Nomes(pasta), std::vector<std::string>{"TARVO.INI"});

    // The kept parse follows a change made by another writer.
    teste::EscreveArquivo(arquivo, "; edited\r\n[Flags]\r\nNumPkt=200\r\nGerencial=0\r\n");
    EXPECT_EQ(*ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", soma), "201");
    EXPECT_TRUE(ArquivoIni::GravaChave(arquivo, "Flags", "Gerencial", "1"));
    EXPECT_EQ(teste::LeArquivo(arquivo), "; edited\r\n[Flags]\r\nNumPkt=201\r\nGerencial=1\r\n");
}

TEST(Ini, HardLinksStayLinked) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI", outro = pasta / "copia.ini";
    teste::EscreveArquivo(arquivo, "[Flags]\r\nNumPkt=9\r\n");
    ASSERT_EQ(::link(arquivo.c_str(), outro.c_str()), 0);
    EXPECT_TRUE(ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "10"));
    EXPECT_TRUE(ArquivoIni::GravaChave(arquivo, "Sistema", "Porta", "COM2"));
    EXPECT_EQ(teste::LeArquivo(outro), "[Flags]\r\nNumPkt=10\r\n[Sistema]\r\nPorta=COM2\r\n");
    EXPECT_EQ(Estado(arquivo).st_nlink, 2u);
}

TEST(Ini, AReadOnlyFileIsNeverWrittenNorReplaced) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI";
    teste::EscreveArquivo(arquivo, "[Flags]\r\nNumPkt=9\r\n");
    ::chmod(arquivo.c_str(), 0444);
    const ino_t inode = Estado(arquivo).st_ino;
    EXPECT_FALSE(ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "8"));   // same width
    EXPECT_FALSE(ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "10"));  // another width
    EXPECT_NE(ArquivoIni::UltimaFalha().find("TARVO.INI"), std::string::npos);
    ArquivoIni ini(arquivo);
    ini.Grava("Sistema", "Porta", "COM4");
    EXPECT_FALSE(ini.Salva());
    EXPECT_EQ(ini.Le("Sistema", "Porta"), "COM4");  // still there in memory
    EXPECT_EQ(teste::LeArquivo(arquivo), "[Flags]\r\nNumPkt=9\r\n");
    EXPECT_EQ(Estado(arquivo).st_ino, inode);
    EXPECT_EQ(Nomes(pasta), std::vector<std::string>{"TARVO.INI"});
    EXPECT_TRUE(ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "9"));  // nothing to write
}

TEST(Ini, AnotherUsersFileAndFolder) {
    auto usuario = teste::OutroUsuario();
    if (!usuario) GTEST_SKIP() << "needs root to create and become a second user";
    teste::PastaTemporaria pasta;
    ::chmod(pasta.Caminho().c_str(), 0755);  // the folder: root's, not writable by the user
    const std::string arquivo = pasta / "TARVO.INI", alheio = pasta / "ALHEIO.INI";
    teste::EscreveArquivo(arquivo, "[Flags]\r\nNumPkt=9\r\n");
    ::chmod(arquivo.c_str(), 0666);  // the file: writable by everyone
    teste::EscreveArquivo(alheio, "[Flags]\r\nNumPkt=9\r\n");
    ::chmod(alheio.c_str(), 0644);  // root's alone
    const ino_t inode = Estado(arquivo).st_ino;

    EXPECT_EQ(teste::EmProcessoFilho([&] {
                  if (!teste::TornaSe(*usuario)) return 10;
                  // Edited in place: a new width too, since no file can be made in the folder.
                  if (!ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "10")) return 11;
                  if (!ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "11")) return 12;
                  if (!ArquivoIni::GravaChave(arquivo, "Sistema", "Porta", "COM2")) return 13;
                  if (ArquivoIni::GravaChave(alheio, "Flags", "NumPkt", "10")) return 14;
                  if (ArquivoIni::GravaChave(alheio, "Flags", "NumPkt", "1")) return 15;
                  if (ArquivoIni::LeChave(alheio, "Flags", "NumPkt") != "9") return 16;
                  return 0;
              }),
              0);
    EXPECT_EQ(teste::LeArquivo(arquivo), "[Flags]\r\nNumPkt=11\r\n[Sistema]\r\nPorta=COM2\r\n");
    EXPECT_EQ(Estado(arquivo).st_ino, inode);
    EXPECT_EQ(Estado(arquivo).st_uid, 0u);
    EXPECT_EQ(teste::LeArquivo(alheio), "[Flags]\r\nNumPkt=9\r\n");
    EXPECT_EQ(Nomes(pasta), (std::vector<std::string>{"ALHEIO.INI", "TARVO.INI"}));
}

TEST(Ini, TemporaryFilesOfAKilledWriterAreRemovedByTheNextStore) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI";
    teste::EscreveArquivo(arquivo, "[Flags]\r\nNumPkt=9\r\n");
    teste::EscreveArquivo(pasta / ".TARVO.INI.tarvo-novo", "[Fla");  // cut short
    teste::EscreveArquivo(pasta / ".TARVO.INI.Ab12Cd", "[Flags]\r\nNum");
    teste::EscreveArquivo(pasta / ".TARVO.INI.swp", "an editor's");
    EXPECT_TRUE(ArquivoIni::GravaChave(arquivo, "Flags", "NumPkt", "8"));
    EXPECT_EQ(Nomes(pasta), (std::vector<std::string>{".TARVO.INI.swp", "TARVO.INI"}));
}

// The store keeps the file's folder open to lock it; the folder is still the one its path
// names at every store, even when the same file was moved into a new folder of that name.
TEST(Ini, TheStoreLocksTheFolderThePathNamesNow) {
    teste::PastaTemporaria raiz;
    const std::string loja = raiz / "loja", arquivo = loja + "/TARVO.INI";
    std::filesystem::create_directory(loja);
    teste::EscreveArquivo(arquivo, "[Flags]\r\nNumPkt=1  \r\n");
    auto soma = [](const std::optional<std::string>& v) {
        return std::to_string(std::stoi(v.value_or("0")) + 1);
    };
    ASSERT_EQ(*ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", soma, 3), "2");

    std::filesystem::rename(loja, raiz / "velha");
    std::filesystem::create_directory(loja);
    std::filesystem::rename(raiz / "velha/TARVO.INI", arquivo);  // the same file, in a new folder
    const int outro = ::open(loja.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(outro, 0);
    ASSERT_EQ(::flock(outro, LOCK_EX), 0);  // another program is storing
    std::atomic<bool> feito{false};
    std::thread t([&] {
        ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", soma, 3);
        feito = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(feito.load());  // waits for the other program
    ::flock(outro, LOCK_UN);
    ::close(outro);
    t.join();
    EXPECT_EQ(teste::LeArquivo(arquivo), "[Flags]\r\nNumPkt=3  \r\n");
}

// A temporary file left by a killed writer while stores go in place does not turn the next
// rewrite into an in-place one: it is cleared first and the file is replaced as usual.
TEST(Ini, ALeftoverTemporaryFileDoesNotStopTheNextRename) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "TARVO.INI";
    teste::EscreveArquivo(arquivo, "[Flags]\r\nNumPkt=1  \r\n[Sistema]\r\nPorta=COM1\r\n");
    auto soma = [](const std::optional<std::string>& v) {
        return std::to_string(std::stoi(v.value_or("0")) + 1);
    };
    ASSERT_TRUE(ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", soma, 3));
    teste::EscreveArquivo(pasta / ".TARVO.INI.tarvo-novo", "[Fla");
    ASSERT_TRUE(ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", soma, 3));
    const ino_t inode = Estado(arquivo).st_ino;
    ASSERT_TRUE(ArquivoIni::GravaChave(arquivo, "Sistema", "Porta", "COM12"));
    EXPECT_NE(Estado(arquivo).st_ino, inode);  // renamed over, not edited in place
    EXPECT_EQ(teste::LeArquivo(arquivo), "[Flags]\r\nNumPkt=3  \r\n[Sistema]\r\nPorta=COM12\r\n");
    EXPECT_EQ(Nomes(pasta), (std::vector<std::string>{"TARVO.INI"}));
}

}  // namespace
