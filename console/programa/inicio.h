// The console's start-up, above the window layer (console/main) and the forms: it registers
// the forms with the main window and brings up the data module.
//
// Start-up of the console's data module: connects to "base.fdb" beside the program (made on
// the first start) and, when that fails, warns the operator once with the database's error.
// The console runs on either way; without the database the product table and the cheque
// layouts cannot change.
#pragma once

#include <string>

class QWidget;

namespace belmora {

class TdmVintaro;

// The forms of this version of the console, registered with the main window.
void RegistraFormulariosDoConsole();

// True when the module is connected; false after the one warning.
// A console restarted by the configuration form first waits (at most
// PrazoDoConsoleAnteriorMs) for the console that started it to end.
bool IniciaModuloDeDados(TdmVintaro& dm, const std::string& pasta, QWidget* dono = nullptr);

// How long a restarted console waits for the one before it.
int& PrazoDoConsoleAnteriorMs();
// Waits for the console named in kConsoleAnterior, if any, to end (and forgets it). False
// when it still runs at the end of the wait.
bool AguardaConsoleAnterior();

}  // namespace belmora
