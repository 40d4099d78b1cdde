// The operation forms of this version of the console, registered with the main window.
#include "console/forms/comum/valores.h"
#include "console/forms/cupom/cupom.h"
#include "console/forms/leituras/leituras.h"
#include "console/forms/status/status.h"
#include "console/main/formularios.h"

namespace belmora {

void RegistraFormulariosDoConsole() {
    FixaLocalidadeNumerica();
    RegistraFormulariosDeCupom();
    RegistraFormulariosDeStatus();
    RegistraFormulariosDeLeitura();
}

}  // namespace belmora
