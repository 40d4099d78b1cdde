// Start-up of the console's data module: connects to "base.fdb" beside the program (made on
// the first start) and, when that fails, warns the operator once with the database's error.
// The console runs on either way; without the database the product table and the cheque
// layouts cannot change.
#pragma once

#include <string>

class QWidget;

namespace belmora {

class TdmVintaro;

// True when the module is connected; false after the one warning.
// A console restarted by the configuration form first waits (at most
// PrazoDoConsoleAnteriorMs) for the console that started it to end.
bool IniciaModuloDeDados(TdmVintaro& dm, const std::string& pasta, QWidget* dono = nullptr);

// The environment variable with the process id of the console that restarts into this one.
inline constexpr const char* kConsoleAnterior = "BELMORA_CONSOLE_ANTERIOR";
// How long a restarted console waits for the one before it.
int& PrazoDoConsoleAnteriorMs();
// Waits for the console named in kConsoleAnterior, if any, to end (and forgets it). False
// when it still runs at the end of the wait.
bool AguardaConsoleAnterior();

}  // namespace belmora
