// Number and date formats of the console.
#pragma once

namespace belmora {

// Brazilian Portuguese number and date formats (decimal comma, dd/mm/yyyy) for everything
// the console parses or shows, whatever the machine's locale. The C library keeps "C"
// numbers, which the driver in the same process writes and reads in its own texts.
// Call it after the QApplication exists.
void DefineLocalidade();

}  // namespace belmora
