// Runs one console test program in a scratch folder of its own: TARVO_HOME, TARVO_DEVDIR
// and the current folder point there before the program starts, because the program binds
// libtarvo.so at load time and the library reads (and creates) TARVO.INI as it loads. The
// folder is removed when the program ends. Usage: belmora_isola <program> [arguments...]
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
volatile pid_t g_filho = 0;
// A test run that is stopped stops the program too, and the folder is still removed.
void Repassa(int sinal) {
    if (g_filho > 0) ::kill(g_filho, sinal);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: belmora_isola <programa> [argumentos...]\n");
        return 2;
    }
    std::string modelo = (std::filesystem::temp_directory_path() / "belmora-XXXXXX").string();
    if (!::mkdtemp(modelo.data())) return 2;
    const std::string pasta = modelo + "/";
    std::filesystem::create_directory(pasta + "dev");
    pid_t filho = ::fork();
    if (filho == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::setenv("TARVO_HOME", pasta.c_str(), 1);
        ::setenv("TARVO_DEVDIR", (pasta + "dev/").c_str(), 1);
        if (::chdir(pasta.c_str()) != 0) ::_exit(2);
        ::execv(argv[1], argv + 1);
        ::_exit(127);
    }
    g_filho = filho;
    for (int sinal : {SIGTERM, SIGINT, SIGHUP}) std::signal(sinal, Repassa);
    int status = 0;
    while (::waitpid(filho, &status, 0) < 0 && errno == EINTR) {
    }
    std::error_code ec;
    std::filesystem::remove_all(pasta, ec);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
