// Whole-file replacement of an answer file while readers and other writers use it.
#include "platform/arquivo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "comum/usuario.h"

namespace {

std::vector<std::string> Nomes(const teste::PastaTemporaria& pasta) {
    std::vector<std::string> v;
    for (auto& e : std::filesystem::directory_iterator(pasta.Caminho()))
        v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

std::string LeDescritor(int fd) {
    char buf[256];
    const ssize_t n = ::pread(fd, buf, sizeof buf, 0);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

// A reader that opened the file keeps the answer it opened, however many answers follow.
TEST(Substituicao, AReaderKeepsTheAnswerItOpened) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "RETORNO.TXT";
    ASSERT_TRUE(plataforma::SubstituiArquivo(arquivo, "primeira\r\n"));
    const int leitor = ::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(leitor, 0);
    for (int i = 2; i <= 6; ++i) {
        const std::string resposta = "resposta " + std::to_string(i) + "\r\n";
        ASSERT_TRUE(plataforma::SubstituiArquivo(arquivo, resposta));
        EXPECT_EQ(teste::LeArquivo(arquivo), resposta);
        EXPECT_EQ(LeDescritor(leitor), "primeira\r\n") << i;
    }
    ::close(leitor);
    EXPECT_EQ(Nomes(pasta), (std::vector<std::string>{".RETORNO.TXT.tarvo", "RETORNO.TXT"}));
}

// Files removed or put in place by someone else between two answers: each answer is still
// the file's whole content, and nothing of the stranger's file shows.
TEST(Substituicao, FilesChangedBehindItsBackStillGetTheWholeAnswer) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "RETORNO.TXT", companheiro = pasta / ".RETORNO.TXT.tarvo";
    const std::vector<std::function<void()>> mexidas = {
        [] {},
        [&] { std::filesystem::remove(companheiro); },
        [&] { std::filesystem::remove(arquivo); },
        [&] {
            std::filesystem::remove(companheiro);
            teste::EscreveArquivo(companheiro, std::string(300, 'z') + "\r\n");
        },
        [&] { std::filesystem::rename(arquivo, companheiro); },
        [&] {
            std::ofstream(arquivo, std::ios::binary | std::ios::app) << std::string(300, 'q');
        },  // grown in place
        [&] {
            std::filesystem::remove(arquivo);
            teste::EscreveArquivo(arquivo, "alheio\r\n");
        },
        [] {},
    };
    for (int volta = 0; volta < 3; ++volta) {
        for (std::size_t i = 0; i < mexidas.size(); ++i) {
            mexidas[i]();
            const std::string resposta =
                std::string(i % 3, 'a') + "#" + std::to_string(volta) + "." + std::to_string(i) + "\r\n";
            ASSERT_TRUE(plataforma::SubstituiArquivo(arquivo, resposta)) << volta << "." << i;
            ASSERT_EQ(teste::LeArquivo(arquivo), resposta) << volta << "." << i;
        }
    }
}

// The answer file and its companion left by another user in a folder everyone may write
// (as root: root's files, written by a second user; else this user's own, made read-only).
TEST(Substituicao, FilesAnotherUserLeftInASharedFolderAreReplaced) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "RETORNO.TXT";
    ::chmod(pasta.Caminho().c_str(), 0777);
    for (const std::string& f : {arquivo, pasta / ".RETORNO.TXT.tarvo"})
        teste::EscreveArquivo(f, "alheio\r\n"), ::chmod(f.c_str(), 0444);
    const auto usuario = teste::OutroUsuario();
    EXPECT_EQ(
        teste::EmProcessoFilho([&] {
            if (usuario && !teste::TornaSe(*usuario)) return 10;
            for (const char* resposta : {"resposta 1\r\n", "resposta 2\r\n"})
                if (!plataforma::SubstituiArquivo(arquivo, resposta) || teste::LeArquivo(arquivo) != resposta)
                    return 1;
            return 0;
        }),
        0);
}

// Answers growing and shrinking around the size of one page, each over the last: the file
// always holds exactly the newest, whichever way it was written.
TEST(Substituicao, AnswersOfEverySizeReplaceTheLastWhole) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "RETORNO.TXT";
    const std::size_t tamanhos[] = {10, 10, 12, 5000, 4096, 4096, 4097, 3, 4095, 4096, 1, 0, 7};
    char letra = 'a';
    for (std::size_t n : tamanhos) {
        const std::string resposta(n, letra++);
        ASSERT_TRUE(plataforma::SubstituiArquivo(arquivo, resposta)) << n;
        ASSERT_EQ(teste::LeArquivo(arquivo), resposta) << n;
    }
}

}  // namespace
