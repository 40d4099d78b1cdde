// The running program itself.
#pragma once

#include <string>

namespace plataforma {

// Replaces the running program by a fresh start of the same executable with the same
// arguments (`argv` as main received it), so that the libraries it loads read their
// settings again. Only once: a process that is itself such a restart goes on instead.
// Returns when the program does not restart.
void ReiniciaPrograma(char** argv);

// Sets a variable of the environment, for this process, the libraries it has loaded and the
// programs it starts (a restart included).
void DefineVariavel(const char* nome, const std::string& valor);

// Removes a variable from the environment of this process and of the programs it starts.
void RemoveVariavel(const char* nome);

// The id of the running process.
int IdDoProcesso();

// The numeric id of the user the process runs as.
unsigned IdDoUsuario();

// Gives SIGINT and SIGTERM back the usual end of the process (status 128 + the signal), for
// a library that took them for itself and would let the process go on running.
void TerminaAoSinal();

// Waits until the process `pid` has ended, at most `prazoMs` milliseconds, without spinning.
// True when it has ended (or does not exist); false when it still runs at the end of the wait.
bool AguardaFimDoProcesso(int pid, int prazoMs);

}  // namespace plataforma
