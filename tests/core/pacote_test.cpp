// The packet number and RETORNO.TXT under the conditions of a shop: a TARVO.INI that
// cannot be stored, two programs counting at once, a program killed while it writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <thread>

#include "comum/ambiente.h"
#include "comum/usuario.h"
#include "driver/core/configuracao.h"
#include "driver/core/registro.h"
#include "platform/arquivo.h"
#include "platform/ini.h"

namespace {

using plataforma::ArquivoIni;

// The packet number as TARVO.INI holds it: three characters, padded with blanks.
std::string NumeroGravado(int n) {
    std::string t = std::to_string(n);
    t.resize(3, ' ');
    return t;
}

std::size_t Conta(const std::string& texto, const std::string& trecho) {
    std::size_t n = 0;
    for (auto p = texto.find(trecho); p != std::string::npos; p = texto.find(trecho, p + 1)) ++n;
    return n;
}

class Pacote : public ::testing::Test {
  protected:
    teste::PastaTemporaria home;
    teste::Variavel v{"TARVO_HOME", home.Caminho()};
    std::filesystem::path antes = std::filesystem::current_path();
    std::string Ini() const { return home / "TARVO.INI"; }
    void TearDown() override { std::filesystem::current_path(antes); }

    // How often each packet number is handed out to two processes counting `porProcesso`
    // times each at once.
    static std::map<int, int> ContaEmDoisProcessos(int porProcesso) {
        int canos[2][2];
        std::vector<pid_t> filhos;
        for (auto& cano : canos) {
            EXPECT_EQ(::pipe(cano), 0);
            pid_t pid = ::fork();
            if (pid == 0) {
                // (One program may get the same number twice running when the other counted a
                // whole round of 255 in between: the histogram is what proves the count.)
                std::vector<unsigned char> numeros(static_cast<std::size_t>(porProcesso));
                for (auto& n : numeros) n = static_cast<unsigned char>(tarvo::ProximoPacote());
                ssize_t w = ::write(cano[1], numeros.data(), numeros.size());
                ::_exit(w == porProcesso ? 0 : 2);
            }
            ::close(cano[1]);
            filhos.push_back(pid);
        }
        std::map<int, int> vistos;
        for (auto& cano : canos) {
            std::vector<unsigned char> numeros(static_cast<std::size_t>(porProcesso));
            std::size_t lidos = 0;
            while (lidos < numeros.size()) {
                ssize_t n = ::read(cano[0], numeros.data() + lidos, numeros.size() - lidos);
                if (n <= 0) break;
                lidos += static_cast<std::size_t>(n);
            }
            ::close(cano[0]);
            EXPECT_EQ(lidos, numeros.size());
            for (unsigned char n : numeros) ++vistos[n];
        }
        for (pid_t pid : filhos) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        return vistos;
    }
    // How often each number is handed out by one counter giving `quantos` numbers from `primeiro`.
    static std::map<int, int> Sequencia(int primeiro, int quantos) {
        std::map<int, int> m;
        for (int j = 0; j < quantos; ++j) ++m[(primeiro - 1 + j) % 255 + 1];
        return m;
    }

    // A settings file of about `bytes` bytes: the normalised keys, then a long section of
    // the host program's own.
    std::string Grande(std::size_t bytes) const {
        std::string t =
            "[Sistema]\r\nModeloImp=TARVO_RIX\r\nPorta=COM1\r\nPath=C:\\\r\n[Flags]\r\nNumPkt=1\r\n[Produtos]"
            "\r\n";
        for (int i = 0; t.size() < bytes; ++i)
            t += "Produto" + std::to_string(i) + "=ACUCAR REFINADO 1KG;4,99\r\n";
        return t;
    }
};

TEST_F(Pacote, AReadOnlyFileCountsOnInMemoryAndIsLoggedOnce) {
    teste::EscreveArquivo(Ini(), "[Sistema]\r\nHomologar=1\r\n[Flags]\r\nNumPkt=9\r\n");
    ::chmod(Ini().c_str(), 0444);
    EXPECT_EQ(teste::EmProcessoFilho([&] {
                  std::filesystem::current_path(home.Caminho());
                  tarvo::CarregaConfiguracao();  // its write-back fails first
                  for (int esperado : {10, 11, 12})
                      if (tarvo::ProximoPacote() != esperado) return esperado;
                  // Another program stores a number: the count follows the file again.
                  ::chmod(Ini().c_str(), 0644);
                  ArquivoIni::GravaChave(Ini(), "Flags", "NumPkt", "100");
                  ::chmod(Ini().c_str(), 0444);
                  if (tarvo::ProximoPacote() != 101) return 101;
                  return 0;
              }),
              0);
    EXPECT_EQ(teste::LeArquivo(Ini()), "[Sistema]\r\nHomologar=1\r\n[Flags]\r\nNumPkt=100\r\n");
    const std::string log = teste::LeArquivo(home / "LOG.DAT");
    EXPECT_EQ(Conta(log, "Nao foi possivel gravar"), 1u) << log;
    EXPECT_NE(log.find("TARVO.INI"), std::string::npos);
}

TEST_F(Pacote, AFileTheUserCannotWriteLeavesTheValuesInMemory) {
    auto usuario = teste::OutroUsuario();
    if (!usuario) GTEST_SKIP() << "needs root to create and become a second user";
    ::chmod(home.Caminho().c_str(), 0755);
    std::filesystem::create_directory(home / "log");
    ::chmod((home / "log").c_str(), 0777);
    const std::string original = "[Sistema]\r\nHomologar=1\r\nPorta=COM1\r\n[Flags]\r\nNumPkt=9\r\n";
    teste::EscreveArquivo(Ini(), original);
    ::chmod(Ini().c_str(), 0644);  // root's
    EXPECT_EQ(teste::EmProcessoFilho([&] {
                  if (!teste::TornaSe(*usuario)) return 1;
                  std::filesystem::current_path(home / "log");
                  tarvo::CarregaConfiguracao();
                  if (tarvo::ProximoPacote() != 10 || tarvo::ProximoPacote() != 11) return 2;
                  if (tarvo::GravaChaveIni("Sistema", "Porta", "COM7")) return 3;
                  if (tarvo::LeChaveIni("Sistema", "Porta", "") != "COM7") return 4;
                  tarvo::RelePortaConfigurada();
                  if (tarvo::Config().PortaDispositivo != "\\\\.\\COM7") return 5;
                  return 0;
              }),
              0);
    EXPECT_EQ(teste::LeArquivo(Ini()), original);
    EXPECT_EQ(Conta(teste::LeArquivo(home / "log/LOG.DAT"), "Nao foi possivel gravar"), 1u);
}

TEST_F(Pacote, TheLoadWriteBackLeavesANormalisedFileUntouched) {
    teste::EscreveArquivo(Ini(), "; installer\r\n[Sistema]\r\nTimeOutComandos=3\r\n");
    tarvo::CarregaConfiguracao();
    const std::string normalizado = teste::LeArquivo(Ini());
    timespec velho[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, Ini().c_str(), velho, 0);
    struct stat a {
    }, b{};
    ::stat(Ini().c_str(), &a);
    tarvo::CarregaConfiguracao();
    ::stat(Ini().c_str(), &b);
    EXPECT_EQ(b.st_ino, a.st_ino);
    EXPECT_EQ(b.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(teste::LeArquivo(Ini()), normalizado);
}

// Two programs counting at once: every number of the sequence handed out exactly as often
// as one counter would, so no update was lost and no number handed out twice in a row, and
// the file is whole.
TEST_F(Pacote, TwoProcessesCountingTenThousandTimesEach) {
    const std::string original = Grande(19 * 1024);
    teste::EscreveArquivo(Ini(), original);
    constexpr int kPorProcesso = 10000;
    EXPECT_EQ(ContaEmDoisProcessos(kPorProcesso), Sequencia(2, 2 * kPorProcesso));
    std::string esperado = original;
    ArquivoIni::AplicaEdicao(esperado, "Flags", "NumPkt", NumeroGravado(2 * kPorProcesso % 255 + 1));
    EXPECT_EQ(teste::LeArquivo(Ini()), esperado);
}

// A program that counted and then started two others: they do not share what it keeps open
// between frames (its folder lock among it), so they still take turns.
TEST_F(Pacote, ProcessesStartedByACountingProgramStillTakeTurns) {
    teste::EscreveArquivo(Ini(), Grande(1024));
    ASSERT_EQ(tarvo::ProximoPacote(), 2);
    constexpr int kPorProcesso = 3000;
    EXPECT_EQ(ContaEmDoisProcessos(kPorProcesso), Sequencia(3, 2 * kPorProcesso));
    EXPECT_EQ(tarvo::ProximoPacote(), (2 * kPorProcesso + 2) % 255 + 1);
}

// A program killed at random moments while it counts and hands answers back: TARVO.INI is
// always whole with a number in its range, RETORNO.TXT always one whole answer.
TEST_F(Pacote, KilledWhileWritingTheFilesStayWhole) {
    const std::string original = Grande(19 * 1024);
    teste::EscreveArquivo(Ini(), original);
    auto resposta = [](long i) {
        return std::string(static_cast<std::size_t>(i % 50), 'x') + "#" + std::to_string(i);
    };
    std::mt19937 sorteio(20261209);
    std::uniform_int_distribution<int> espera(0, 3000);
    for (int morte = 0; morte < 200; ++morte) {
        pid_t pid = ::fork();
        if (pid == 0) {
            tarvo::Config().Path = home.Caminho();
            char buffer[128];
            for (long i = morte * 100000L;; ++i) {
                tarvo::ProximoPacote();
                tarvo::Erro().TextoRetorno = resposta(i);
                tarvo::DevolveRetorno(buffer, sizeof buffer);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(espera(sorteio)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        const std::string ini = teste::LeArquivo(Ini());
        auto numero = ArquivoIni::Procura(ini, "Flags", "NumPkt");
        ASSERT_TRUE(numero.has_value()) << "kill " << morte;
        const int n = std::atoi(numero->c_str());
        ASSERT_TRUE(n >= 1 && n <= 255) << *numero;
        std::string esperado = original;
        ArquivoIni::AplicaEdicao(esperado, "Flags", "NumPkt", NumeroGravado(n));
        if (ini != original) {
            ASSERT_EQ(ini, esperado) << "kill " << morte;
        }

        if (!std::filesystem::exists(home / "RETORNO.TXT")) continue;  // killed before the first
        const std::string retorno = teste::LeArquivo(home / "RETORNO.TXT");
        const auto cerquilha = retorno.find('#');
        ASSERT_NE(cerquilha, std::string::npos) << "kill " << morte << ": \"" << retorno << "\"";
        const long i = std::atol(retorno.c_str() + cerquilha + 1);
        ASSERT_EQ(retorno, resposta(i) + "\r\n") << "kill " << morte;
    }
    // The next store clears what the killed writers left.
    tarvo::ProximoPacote();
    for (auto& e : std::filesystem::directory_iterator(home.Caminho())) {
        const std::string nome = e.path().filename().string();
        EXPECT_TRUE(nome == "TARVO.INI" || nome == "RETORNO.TXT" || nome == ".RETORNO.TXT.tarvo") << nome;
    }
}

// Two programs handing answers back into one work folder while a third reads the file:
// the reader always finds one whole answer of one of them.
TEST_F(Pacote, RetornoIsAlwaysOneWholeAnswerWhileTwoProgramsWriteIt) {
    const std::string arquivo = home / "RETORNO.TXT";
    auto resposta = [](int quem, int i) {
        return std::string(static_cast<std::size_t>(i % 64), quem ? 'b' : 'a') + "#" + std::to_string(i) +
               "\r\n";
    };
    // This program answers first: the two it then starts must not share what it keeps open.
    ASSERT_TRUE(plataforma::SubstituiArquivo(arquivo, resposta(0, 0)));
    std::vector<pid_t> filhos;
    for (int quem = 0; quem < 2; ++quem) {
        pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0; i < 3000; ++i)
                if (!plataforma::SubstituiArquivo(arquivo, resposta(quem, i))) ::_exit(2);
            ::_exit(0);
        }
        filhos.push_back(pid);
    }
    int lidas = 0;
    for (int n = 0; n < 20000 && lidas < 3000; ++n) {
        std::ifstream f(arquivo, std::ios::binary);
        if (!f) continue;  // not written yet
        const std::string t((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        ++lidas;
        const auto cerquilha = t.find('#');
        ASSERT_NE(cerquilha, std::string::npos) << "\"" << t << "\"";
        const int quem = t[0] == 'b' ? 1 : 0;
        ASSERT_EQ(t, resposta(quem, std::atoi(t.c_str() + cerquilha + 1))) << "\"" << t << "\"";
    }
    for (pid_t pid : filhos) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string t = teste::LeArquivo(arquivo);
    EXPECT_TRUE(t == resposta(0, 2999) || t == resposta(1, 2999)) << t;
}

}  // namespace
