// What the console reads from and writes to TARVO.INI (the driver's file, in the program's
// folder), and the operator-log file. No widgets here.
#pragma once

#include <string>
#include <vector>

#include "platform/relogio.h"

namespace belmora {

// TARVO.INI in the program's folder.
std::string ArquivoIniConsole();

// The folders and the probe time-out the main window reads when it is created. A folder
// still set to exactly "C:\" is written back as the program's folder plus "RFDTemp/",
// "RFD/" or "MemoriasTDM/"; the time-out (default "6") is never written.
// The folders the console sets are created when missing, so the driver can write there
// from the first operation on.
struct ConfiguracaoConsole {
    std::string Path, PathRFD, PathTDM;
    std::string TimeOutComandos;
    bool PastasReescritas = false;  // a folder key was written back at this reading
    // The keys that had to be written back but could not be (a read-only program folder or
    // file), and the file; empty when everything was stored.
    std::vector<std::string> NaoGravadas;
    std::string Arquivo;
};
// The message of the keys that could not be stored ("" when none): said once at start.
std::string AvisoConfiguracaoNaoGravada(const ConfiguracaoConsole& c);
ConfiguracaoConsole LeConfiguracaoConsole();

// Before the first window: the folders of TARVO.INI as the console sets them. The driver
// read them when it was loaded, before this, so when a key was written back the program
// starts once more and the driver reads what the console uses (`argv` as main received it).
void PreparaPastas(char** argv);

// The folder of an installed console's own files: when the program's folder cannot be
// written and TARVO_HOME is not set (or names this very folder), $XDG_DATA_HOME/belmora/
// (an absolute XDG_DATA_HOME), else $HOME/.local/share/belmora/; "" when the console keeps
// to its program folder (TARVO_HOME, or a folder it can write). Decided from its inputs.
std::string PastaDoUsuario(const char* tarvoHome, bool programaGravavel, const char* xdgDataHome,
                           const char* home);

// At start-up, before PreparaPastas: the folder above for this process ("" when none).
// When TARVO_HOME did not name it yet it is created and TARVO_HOME set to it (`definida`):
// the program must start once more so that the driver, loaded before, reads its TARVO.INI
// there too.
struct PastaDeDados {
    std::string pasta;
    bool definida = false;
};
PastaDeDados EscolhePastaDeDados();

// A file shipped with the console ("Imagens/...", "Ajuda/...") by its relative name: from
// the current folder, the program's folder, the executable's folder, or the shared data
// folder of an installed console (<executable>/../share/belmora/). "" when none has it.
std::string ArquivoDoConsole(const std::string& relativo);

// [Sistema] Porta, default "COM1".
std::string PortaAtual();
// [Sistema] PathRFD, default the current folder.
std::string PathRFD();
// Writes [Sistema] Porta.
bool GravaPorta(const std::string& porta);

// Saves the operator log, one line per line (Windows-1252, CR LF), in `pasta` as
// "log_" + yyyymmddhhnn + ".txt". The name has every field at its full width, so two moments
// never share a name, and an existing file is never replaced: a second save in the same
// minute gets "_2", "_3"... before ".txt". Returns the file written, "" when none could be.
std::string SalvaLogOperador(const std::vector<std::string>& linhasUtf8, const std::string& pasta,
                             const plataforma::DataHora& agora);

}  // namespace belmora
