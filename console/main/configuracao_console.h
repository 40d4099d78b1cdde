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
struct ConfiguracaoConsole {
    std::string Path, PathRFD, PathTDM;
    std::string TimeOutComandos;
};
ConfiguracaoConsole LeConfiguracaoConsole();

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
