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
bool IniciaModuloDeDados(TdmVintaro& dm, const std::string& pasta, QWidget* dono = nullptr);

}  // namespace belmora
