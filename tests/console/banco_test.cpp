// The data module on a real database file: created in a fresh folder on first connection,
// products saved, replaced, deleted and read back in code order with their accents, a failed
// call that leaves the list as it was, and a second process holding the file.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/database/criacao.h"
#include "console/database/dm_vintaro.h"
#include "console/programa/inicio.h"

namespace {

using belmora::Produto;
using belmora::TdmVintaro;

Produto P(const char* codigo, const char* descricao, int casas = 2, const char* valor = "1,00") {
    return Produto{QString::fromUtf8(codigo), QString::fromUtf8(descricao), "18,00", "UN", casas, valor};
}

QStringList Codigos(const TdmVintaro& dm) {
    QStringList r;
    for (const Produto& p : dm.Produtos()) r << p.codigo;
    return r;
}

TEST(Esquema, StatementsSplitAtTheirSeparatorLines) {
    auto c = belmora::ComandosDoEsquema(
        "CREATE TABLE A (X INTEGER)\n^\n\n^\nCREATE PROCEDURE P AS\nBEGIN\n  X;\nEND\n^ \n");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], "CREATE TABLE A (X INTEGER)");
    EXPECT_EQ(c[1], "CREATE PROCEDURE P AS\nBEGIN\n  X;\nEND");
    // The schema compiled in has the two tables and the five procedures.
    EXPECT_EQ(belmora::ComandosDoEsquema(belmora::EsquemaBase()).size(), 7u);
}

TEST(Banco, TheLockFolderIsPointedAtOnlyWhenTheEnvironmentHasNone) {
    teste::PastaTemporaria pasta;
    {
        teste::Variavel v("FIREBIRD_LOCK", "");
        belmora::DefinePastaDeBloqueio(pasta / "lock");
        EXPECT_EQ(std::string(std::getenv("FIREBIRD_LOCK")), pasta / "lock");
        EXPECT_TRUE(std::filesystem::is_directory(pasta / "lock"));
    }
    teste::Variavel v("FIREBIRD_LOCK", "/algum/lugar");
    belmora::DefinePastaDeBloqueio(pasta / "outro");
    EXPECT_EQ(std::string(std::getenv("FIREBIRD_LOCK")), "/algum/lugar");
    EXPECT_FALSE(std::filesystem::exists(pasta / "outro"));
}

TEST(Banco, AFreshFolderGetsItsDatabaseAndProductsPersist) {
    teste::PastaTemporaria pasta;
    {
        TdmVintaro dm;
        EXPECT_EQ(belmora::dmVintaro(), &dm);
        ASSERT_TRUE(dm.Conecta(pasta.Caminho())) << dm.Erro().toStdString();
        EXPECT_TRUE(std::filesystem::exists(pasta / "base.fdb"));
        EXPECT_FALSE(std::filesystem::exists(pasta / "base.fdb.criando"));
        EXPECT_TRUE(dm.Produtos().empty());
        EXPECT_TRUE(dm.Cheques().empty());

        int recargas = 0;
        QObject::connect(&dm, &TdmVintaro::ProdutosRecarregados, [&] { ++recargas; });
        QString erro;
        ASSERT_TRUE(dm.SalvarProduto(P("20", "Pão de açúcar", 3, "2,345"), erro)) << erro.toStdString();
        ASSERT_TRUE(dm.SalvarProduto(P("10", "Café Ñandú"), erro)) << erro.toStdString();
        ASSERT_TRUE(dm.SalvarProduto(P("15", "Maçã"), erro));
        EXPECT_EQ(recargas, 3);
        EXPECT_EQ(Codigos(dm), QStringList({"10", "15", "20"}));
        EXPECT_EQ(dm.Produtos()[2], P("20", "Pão de açúcar", 3, "2,345"));

        // Saving a code again replaces its row.
        ASSERT_TRUE(dm.SalvarProduto(P("15", "Maçã verde", 2, "3,10"), erro));
        EXPECT_EQ(Codigos(dm), QStringList({"10", "15", "20"}));
        EXPECT_EQ(dm.Produtos()[1].descricao, QString::fromUtf8("Maçã verde"));
        EXPECT_EQ(dm.Produtos()[1].valorUnitario, "3,10");

        ASSERT_TRUE(dm.ExcluirProduto("10", erro));
        EXPECT_EQ(Codigos(dm), QStringList({"15", "20"}));

        // A text too long for its column: the call fails, nothing changes.
        EXPECT_FALSE(dm.SalvarProduto(P("123456789012345678901234", "X"), erro));
        EXPECT_FALSE(erro.isEmpty());
        EXPECT_EQ(Codigos(dm), QStringList({"15", "20"}));
        // The next call runs in a transaction of its own, untouched by the failed one.
        ASSERT_TRUE(dm.SalvarProduto(P("30", "Óleo"), erro)) << erro.toStdString();

        belmora::LayoutCheque c;
        c.numBanco = 341;
        c.nomeBanco = QString::fromUtf8("Banco Ítaca");
        c.hPosValor = 50;
        c.vPosValor = 2;
        ASSERT_TRUE(dm.InserirCheque(c, erro)) << erro.toStdString();
        c.hPosValor = 55;
        ASSERT_TRUE(dm.SalvarCheque(c, erro)) << erro.toStdString();
        ASSERT_EQ(dm.Cheques().size(), 1u);
        EXPECT_EQ(dm.Cheques()[0].hPosValor, 55);
        EXPECT_EQ(dm.Cheques()[0].nomeBanco, QString::fromUtf8("Banco Ítaca"));
        // A second insert of the same bank is refused by its key.
        EXPECT_FALSE(dm.InserirCheque(c, erro));
        ASSERT_TRUE(dm.LimparCheques(erro));
        EXPECT_TRUE(dm.Cheques().empty());
    }
    // Another run of the console finds what the first one kept.
    TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(pasta.Caminho())) << dm.Erro().toStdString();
    EXPECT_EQ(Codigos(dm), QStringList({"15", "20", "30"}));
    EXPECT_EQ(dm.Produtos()[0].descricao, QString::fromUtf8("Maçã verde"));
    EXPECT_EQ(dm.Produtos()[1].descricao, QString::fromUtf8("Pão de açúcar"));
    EXPECT_EQ(dm.Produtos()[1].casasDecimais, 3);
    // Deleting an empty code deletes nothing and is no error.
    QString erro;
    EXPECT_TRUE(dm.ExcluirProduto(QString(), erro)) << erro.toStdString();
    EXPECT_EQ(dm.Produtos().size(), 3u);
}

TEST(Banco, AFolderWhereTheFileCannotBeMadeLeavesTheModuleUnavailable) {
    teste::PastaTemporaria pasta;
    TdmVintaro dm;
    EXPECT_FALSE(dm.Conecta(pasta / "nao/existe/"));
    EXPECT_FALSE(dm.Disponivel());
    EXPECT_TRUE(dm.Erro().contains("base.fdb")) << dm.Erro().toStdString();
    QString erro;
    EXPECT_FALSE(dm.SalvarProduto(P("1", "X"), erro));
    EXPECT_EQ(erro, dm.Erro());
    EXPECT_FALSE(dm.ExcluirProduto("1", erro));
    EXPECT_TRUE(dm.Produtos().empty());
}

// A second process (the database's own command-line tool) holds the file open.
class Ocupante {
  public:
    explicit Ocupante(const std::string& arquivo) {
        int entrada[2], saida[2];
        if (::pipe(entrada) != 0 || ::pipe(saida) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(entrada[0], 0);
            ::dup2(saida[1], 1);
            ::dup2(saida[1], 2);
            ::close(entrada[1]);
            ::close(saida[0]);
            ::execlp("isql-fb", "isql-fb", "-q", "-user", "SYSDBA", "-password", "x", arquivo.c_str(),
                     nullptr);
            ::_exit(127);
        }
        ::close(entrada[0]);
        ::close(saida[1]);
        escreve_ = entrada[1];
        le_ = saida[0];
        // Attached once it answers a query.
        const std::string consulta = "SELECT 'PRONTO' FROM RDB$DATABASE;\n";
        if (::write(escreve_, consulta.data(), consulta.size()) < 0) return;
        std::string lido;
        for (int i = 0; i < 100 && lido.find("PRONTO") == std::string::npos; ++i) {
            pollfd p{le_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char b[512];
            ssize_t n = ::read(le_, b, sizeof b);
            if (n <= 0) break;
            lido.append(b, static_cast<std::size_t>(n));
        }
        pronto_ = lido.find("PRONTO") != std::string::npos;
        saida_ = lido;
    }
    ~Ocupante() { Sai(); }
    void Sai() {
        if (pid_ <= 0) return;
        ::close(escreve_);  // end of input: the tool detaches and ends
        int status = 0;
        for (int i = 0; i < 50 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) ::usleep(100000);
        if (::waitpid(pid_, &status, WNOHANG) == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        ::close(le_);
        pid_ = -1;
    }
    bool pronto_ = false;
    std::string saida_;
    int Pid() const { return static_cast<int>(pid_); }

  private:
    pid_t pid_ = -1;
    int escreve_ = -1, le_ = -1;
};

// A database in the folder with these products, and no connection left to it.
void Cadastra(const teste::PastaTemporaria& pasta, const std::vector<Produto>& produtos) {
    TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(pasta.Caminho())) << dm.Erro().toStdString();
    QString erro;
    for (const Produto& p : produtos) ASSERT_TRUE(dm.SalvarProduto(p, erro)) << erro.toStdString();
}

TEST(Banco, AFileHeldByAnotherProcessLeavesTheConsoleUsableWithTheError) {
    teste::PastaTemporaria pasta;
    Cadastra(pasta, {P("1", "Arroz")});
    if (HasFatalFailure()) return;
    Ocupante outro(pasta / "base.fdb");
    ASSERT_TRUE(outro.pronto_) << outro.saida_;
    {
        TdmVintaro dm;
        EXPECT_FALSE(dm.Conecta(pasta.Caminho()));
        EXPECT_FALSE(dm.Disponivel());
        EXPECT_TRUE(dm.Erro().contains("lock")) << dm.Erro().toStdString();
        QString erro;
        EXPECT_FALSE(dm.SalvarProduto(P("2", "Feijão"), erro));
    }
    // Once the other process lets go, the next start uses the file with its products.
    outro.Sai();
    TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(pasta.Caminho())) << dm.Erro().toStdString();
    EXPECT_EQ(Codigos(dm), QStringList({"1"}));
}

TEST(Banco, ARestartedConsoleOpensTheFileOnlyOnceTheConsoleBeforeItHasEnded) {
    teste::PastaTemporaria pasta;
    Cadastra(pasta, {P("1", "Arroz"), P("2", "Feijão")});
    if (HasFatalFailure()) return;
    // The console that restarts still holds the file, and ends a moment after the new one starts.
    {
        Ocupante anterior(pasta / "base.fdb");
        ASSERT_TRUE(anterior.pronto_) << anterior.saida_;
        teste::Variavel v(belmora::kConsoleAnterior, std::to_string(anterior.Pid()));
        std::thread termina([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            anterior.Sai();
        });
        TdmVintaro dm;
        const bool conectado = belmora::IniciaModuloDeDados(dm, pasta.Caminho());
        termina.join();
        EXPECT_TRUE(conectado) << dm.Erro().toStdString();
        EXPECT_EQ(Codigos(dm), QStringList({"1", "2"}));
        // Forgotten: what this console starts does not wait for that one again.
        EXPECT_EQ(std::getenv(belmora::kConsoleAnterior), nullptr);
    }
    // One that does not end within the wait: the box says so, then why the file is refused.
    Ocupante teimoso(pasta / "base.fdb");
    ASSERT_TRUE(teimoso.pronto_) << teimoso.saida_;
    teste::Variavel v(belmora::kConsoleAnterior, std::to_string(teimoso.Pid()));
    const int prazo = belmora::PrazoDoConsoleAnteriorMs();
    belmora::PrazoDoConsoleAnteriorMs() = 1000;
    teste::Caixa caixa;
    teste::Responde("OK", &caixa);
    TdmVintaro dm;
    EXPECT_FALSE(belmora::IniciaModuloDeDados(dm, pasta.Caminho()));
    belmora::PrazoDoConsoleAnteriorMs() = prazo;
    EXPECT_TRUE(caixa.texto.startsWith("O console anterior ainda não terminou")) << caixa.texto.toStdString();
    EXPECT_TRUE(caixa.texto.contains("em uso por outro console")) << caixa.texto.toStdString();
    EXPECT_TRUE(caixa.texto.contains("Mensagem do banco de dados: ")) << caixa.texto.toStdString();
}

}  // namespace

namespace {

// Run by the test below in a process of its own: connects, then is sent SIGTERM.
TEST(Sinal, DISABLED_Filho) {
    const char* pasta = std::getenv("BELMORA_PASTA_SINAL");
    ASSERT_TRUE(pasta);
    TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(pasta)) << dm.Erro().toStdString();
    ::raise(SIGTERM);
    ::sleep(10);  // still here: the signal was swallowed
}

TEST(Sinal, TheConsoleStillEndsOnSIGTERMOnceTheDatabaseEngineIsLoaded) {
    teste::PastaTemporaria pasta;
    pid_t filho = ::fork();
    if (filho == 0) {
        ::setenv("BELMORA_PASTA_SINAL", pasta.Caminho().c_str(), 1);
        ::execl("/proc/self/exe", "console_banco_test", "--gtest_also_run_disabled_tests",
                "--gtest_filter=Sinal.DISABLED_Filho", nullptr);
        ::_exit(127);
    }
    int status = 0;
    pid_t r = 0;
    for (int i = 0; i < 150 && (r = ::waitpid(filho, &status, WNOHANG)) == 0; ++i) ::usleep(100000);
    if (r == 0) {
        ::kill(filho, SIGKILL);
        ::waitpid(filho, &status, 0);
        FAIL() << "the process did not end after SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
}

}  // namespace
