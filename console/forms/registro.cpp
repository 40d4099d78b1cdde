// The operation forms of this version of the console, registered with the main window.
#include "console/forms/comum/valores.h"
#include "console/forms/cupom/cupom.h"
#include "console/main/formularios.h"

namespace belmora {

void RegistraFormulariosDoConsole() {
    FixaLocalidadeNumerica();
    RegistraFormulariosDeCupom();
}

}  // namespace belmora
