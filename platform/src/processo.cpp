#include "platform/processo.h"

#include <unistd.h>

#include <cstdlib>

namespace plataforma {

namespace {
// In the environment of a restarted program, so that it never restarts again.
const char* const kReiniciado = "TARVO_REINICIADO";
}  // namespace

void ReiniciaPrograma(char** argv) {
    if (std::getenv(kReiniciado)) {
        ::unsetenv(kReiniciado);  // not passed on to the programs it starts
        return;
    }
    ::setenv(kReiniciado, "1", 1);
    ::execv("/proc/self/exe", argv);
    ::unsetenv(kReiniciado);  // the restart failed: go on as we are
}

void DefineVariavel(const char* nome, const std::string& valor) {
    ::setenv(nome, valor.c_str(), 1);
}

}  // namespace plataforma
