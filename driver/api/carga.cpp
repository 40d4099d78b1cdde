// The load sequence: runs once when libtarvo.so is loaded into the host program.
#include "driver/core/configuracao.h"
#include "driver/core/porta.h"

namespace {

__attribute__((constructor)) void CargaDaBiblioteca() {
    try {
        tarvo::CarregaConfiguracao();
        tarvo::FechaTodasAsPortas();
    } catch (...) {
        // A broken configuration leaves the defaults; loading must never stop the host.
    }
}

}  // namespace
