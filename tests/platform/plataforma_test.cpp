#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "comum/ambiente.h"
#include "comum/usuario.h"
#include "platform/biblioteca.h"
#include "platform/codepage.h"
#include "platform/pastas.h"
#include "platform/processo.h"
#include "platform/relogio.h"
#include "platform/serial.h"

namespace {

TEST(Pastas, WindowsFoldersInSettingsMapOntoTheProgramFolder) {
    teste::PastaTemporaria home;
    teste::Variavel v("TARVO_HOME", home.Caminho());
    EXPECT_EQ(plataforma::PastaPrograma(), home.Caminho());
    EXPECT_EQ(plataforma::ConvertePasta("C:\\"), home.Caminho());
    EXPECT_EQ(plataforma::ConvertePasta("D:\\work"), home.Caminho() + "work/");
    EXPECT_EQ(plataforma::ConvertePasta("c:\\dados\\rfd\\"), home.Caminho() + "dados/rfd/");
    EXPECT_EQ(plataforma::ConvertePasta("/var/lib/tarvo"), "/var/lib/tarvo/");
    EXPECT_EQ(plataforma::ConverteArquivo("C:\\x\\TARVO.INI"), home.Caminho() + "x/TARVO.INI");
}

// The folder where the stand-in libraries are looked for stays the one that holds this code
// after the program changes folder, even when it was started by a relative name (then run
// again so, in a child).
TEST(Pastas, TheFolderOfThisCodeHoldsAfterTheProgramChangesFolder) {
    namespace fs = std::filesystem;
    const fs::path programa = fs::canonical("/proc/self/exe");
    if (!std::getenv("TARVO_PASTA_RELATIVA")) {
        teste::Variavel v("TARVO_PASTA_RELATIVA", "1");
        EXPECT_EQ(teste::EmProcessoFilho([&] {
                      fs::current_path(programa.parent_path());
                      const std::string nome = "./" + programa.filename().string();
                      ::execl(nome.c_str(), nome.c_str(), "--gtest_filter=Pastas.TheFolderOfThisCode*",
                              nullptr);
                      return 98;
                  }),
                  0);
    }
    teste::PastaTemporaria outra;
    const fs::path antes = fs::current_path();
    fs::current_path(outra.Caminho());
    const std::string pasta = plataforma::PastaDestaBiblioteca();
    fs::current_path(antes);
    EXPECT_TRUE(fs::path(pasta).is_absolute()) << pasta;
    EXPECT_TRUE(fs::equivalent(pasta, programa.parent_path())) << pasta;
}

TEST(Pastas, FilesAreFoundWhateverTheirLetterCase) {
    teste::PastaTemporaria pasta;
    teste::EscreveArquivo(pasta / "Tarvo.ini", "x");
    EXPECT_EQ(plataforma::ArquivoNaPasta(pasta.Caminho(), "TARVO.INI"), pasta / "Tarvo.ini");
    EXPECT_EQ(plataforma::ArquivoNaPasta(pasta.Caminho(), "CHEQUES.INI"), pasta / "CHEQUES.INI");
}

// One scratch folder whatever letter case a setting spells it in, in either order of creation.
TEST(Pastas, FoldersAreFoundWhateverTheirLetterCaseAndNoSecondOneIsMade) {
    for (const char* existente : {"RFDTemp", "RFDTEMP", "rfdtemp"}) {
        teste::PastaTemporaria home;
        teste::Variavel v("TARVO_HOME", home.Caminho());
        ASSERT_TRUE(plataforma::CriaPasta(home / existente));
        EXPECT_EQ(plataforma::PastaNaPasta(home.Caminho(), "RFDTEMP"), home / existente + "/");
        EXPECT_EQ(plataforma::ConvertePasta("C:\\RFDTemp\\"), home / existente + "/");
        EXPECT_TRUE(plataforma::CriaPasta(home / "RFDTEMP") && plataforma::CriaPasta(home / "RfdTemp/"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Caminho()), {}), 1) << existente;
    }
}

TEST(Pastas, SizesOfFilesAndOfNamesThatLeadNowhere) {
    teste::PastaTemporaria pasta;
    teste::EscreveArquivo(pasta / "tres.txt", "abc");
    teste::EscreveArquivo(pasta / "vazio.txt", "");
    const struct {
        std::string nome;
        std::optional<std::uint64_t> tamanho;
    } casos[] = {
        {"tres.txt", 3}, {"vazio.txt", 0}, {"falta.txt", std::nullopt}, {"falta/tres.txt", std::nullopt}};
    for (const auto& c : casos) EXPECT_EQ(plataforma::TamanhoDe(pasta / c.nome), c.tamanho) << c.nome;
}

// A private folder under a shared one: the name is kept only when it is this user's folder
// and no one else may write in it; anything else under that name is left alone.
TEST(Pastas, APrivateFolderIsNeverOneSomeoneElseMayWriteIn) {
    teste::PastaTemporaria raiz;
    const std::string nome = raiz / "bloqueio";
    const auto outro = teste::OutroUsuario();
    const std::pair<std::function<void()>, bool> casos[] = {
        // what holds the name; kept
        {[] {}, true},
        {[&] { ::mkdir(nome.c_str(), 0700); }, true},
        {[&] { ::mkdir(nome.c_str(), 0700), ::chmod(nome.c_str(), 0777); }, false},
        {[&] { std::filesystem::create_symlink(raiz.Caminho(), nome); }, false},
        {[&] { teste::EscreveArquivo(nome, "x"); }, false},
        {[&] {
             ::mkdir(nome.c_str(), 0700);
             if (outro) (void)::chown(nome.c_str(), outro->first, outro->second);
         },
         !outro},
    };
    for (std::size_t i = 0; i < std::size(casos); ++i) {
        std::filesystem::remove_all(nome);
        casos[i].first();
        const std::string pasta = plataforma::PastaPrivada(nome);
        struct stat st {};
        EXPECT_EQ(pasta == nome + "/", casos[i].second) << i << ": " << pasta;
        EXPECT_TRUE(::lstat(pasta.c_str(), &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0)
            << i;
        if (pasta != nome + "/") std::filesystem::remove_all(pasta);
    }
}

TEST(Portas, WindowsPortNamesMapToDevices) {
    {
        teste::Variavel v("TARVO_DEVDIR", "/tmp/dev");
        EXPECT_EQ(plataforma::DispositivoDaPorta("\\\\.\\COM12"), "/tmp/dev/COM12");
        EXPECT_EQ(plataforma::DispositivoDaPorta("com3"), "/tmp/dev/COM3");
    }
    ::unsetenv("TARVO_DEVDIR");
    EXPECT_EQ(plataforma::DispositivoDaPorta("COM1"), "/dev/ttyS0");
    EXPECT_EQ(plataforma::DispositivoDaPorta("LPT2"), "/dev/parport1");
}

TEST(Portas, APortIsHeldByOneOpenerAtATime) {
    teste::PastaTemporaria dev;
    teste::Variavel v("TARVO_DEVDIR", dev.Caminho());
    teste::Pty pty(dev.Caminho(), "COM2");
    plataforma::PortaSerial a, b;
    ASSERT_TRUE(a.Abre("COM2"));
    EXPECT_TRUE(a.Configura({115200, 'e', 8, 1, true}));
    EXPECT_TRUE(a.Cts());  // a pseudo-terminal has no modem lines: CTS counts as present
    EXPECT_FALSE(b.Abre("COM2"));
    a.Fecha();
    EXPECT_TRUE(b.Abre("COM2"));
    EXPECT_FALSE(a.Abre("COM7"));  // no such device
}

// A device that refuses this user is told apart from a missing one and from one another
// program holds (as root, the refused open is a second user's).
TEST(Portas, ADeviceThatRefusesTheUserIsToldApart) {
    teste::PastaTemporaria dev;
    teste::Variavel v("TARVO_DEVDIR", dev.Caminho());
    teste::Pty livre(dev.Caminho(), "COM1"), recusada(dev.Caminho(), "COM2");
    ::chmod(dev.Caminho().c_str(), 0755);
    ::chmod(std::filesystem::read_symlink(livre.Link()).c_str(), 0666);
    ::chmod(std::filesystem::read_symlink(recusada.Link()).c_str(), 0);
    plataforma::PortaSerial dona, p;
    ASSERT_TRUE(dona.Abre("COM1"));
    const auto outro = teste::OutroUsuario();
    for (const auto& [porta, semPermissao] : {std::pair{"COM1", false}, {"COM7", false}, {"COM2", true}}) {
        EXPECT_EQ(teste::EmProcessoFilho([&, porta = porta] {
                      if (outro && !teste::TornaSe(*outro)) return 10;
                      return p.Abre(porta) ? 2 : p.SemPermissao() ? 1 : 0;
                  }),
                  semPermissao ? 1 : 0)
            << porta;
    }
}

TEST(Portas, ReadsWaitOnlyAsLongAsAsked) {
    teste::PastaTemporaria dev;
    teste::Variavel v("TARVO_DEVDIR", dev.Caminho());
    teste::Pty pty(dev.Caminho(), "COM1");
    plataforma::PortaSerial p;
    ASSERT_TRUE(p.Abre("COM1"));
    p.Configura({9600, 'n', 8, 1, false});
    EXPECT_EQ(p.Le(1024, 20), "");
    ASSERT_EQ(::write(pty.Mestre(), "{1;0;;4}", 8), 8);
    EXPECT_EQ(p.Le(1024, 1000), "{1;0;;4}");
    EXPECT_EQ(p.Escreve("abc", 3), 3u);
    char buf[8] = {};
    EXPECT_EQ(::read(pty.Mestre(), buf, sizeof buf), 3);

    // A wait that runs out is counted apart from one that data ended.
    const plataforma::Esperas antes = plataforma::EsperasDestaThread();
    std::string r;
    EXPECT_EQ(p.LeAte(r, 64, plataforma::Monotonico() + 20), plataforma::PortaSerial::Resultado::Prazo);
    ASSERT_EQ(::write(pty.Mestre(), "{1;0;;4}", 8), 8);
    EXPECT_EQ(p.LeAte(r, 64, plataforma::Monotonico() + 60000), plataforma::PortaSerial::Resultado::Dados);
    EXPECT_EQ(r, "{1;0;;4}");
    const plataforma::Esperas& depois = plataforma::EsperasDestaThread();
    EXPECT_EQ(depois.total - antes.total, 2u);
    EXPECT_EQ(depois.esgotadas - antes.esgotadas, 1u);
}

TEST(CodePages, AccentsTravelBetweenTheCodePages) {
    const std::string cedilha1252 = "\xE7";  // ç
    EXPECT_EQ(plataforma::Cp1252ParaCp850(cedilha1252), "\x87");
    EXPECT_EQ(plataforma::Cp850ParaCp1252("\x87"), cedilha1252);
    EXPECT_EQ(plataforma::Cp1252ParaUtf8("Opera\xE7\xE3o"), "Operação");
    EXPECT_EQ(plataforma::Utf8ParaCp1252("Operação"), "Opera\xE7\xE3o");
    // The euro sign does not exist in code page 850: it must not come out as a raw 1252 byte.
    std::string euro = plataforma::Cp1252ParaCp850("\x80");
    EXPECT_NE(euro, "\x80");
    EXPECT_FALSE(euro.empty());
}

}  // namespace

// The wait for an earlier program to end: true when it ends, false at the deadline, even when
// signals keep interrupting the wait (each used to start the whole wait again).
TEST(Processos, TheWaitForAProgramEndsWithItOrAtItsDeadlineWhateverSignalsArrive) {
    struct sigaction acao {};
    acao.sa_handler = [](int) {};
    struct sigaction antes {};
    ASSERT_EQ(::sigaction(SIGALRM, &acao, &antes), 0);  // no SA_RESTART: each signal cuts the wait
    itimerval cada5ms{{0, 5000}, {0, 5000}};
    ASSERT_EQ(::setitimer(ITIMER_REAL, &cada5ms, nullptr), 0);

    for (bool termina : {true, false}) {
        SCOPED_TRACE(termina ? "ends" : "stays");
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (!termina) ::pause();
            ::_exit(0);
        }
        EXPECT_EQ(plataforma::AguardaFimDoProcesso(pid, 200), termina);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    itimerval parado{};
    ::setitimer(ITIMER_REAL, &parado, nullptr);
    ::sigaction(SIGALRM, &antes, nullptr);
}
