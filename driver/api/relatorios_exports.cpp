// Second names of two reports: the same export under the name of the detail-tape printers.
#include "driver/api/exportacao.h"

using tarvo::Protegido;

extern "C" TARVO_API int Tarvo_MapaResumoMFD() {
    return Protegido([] { return Tarvo_MapaResumo(); });
}

extern "C" TARVO_API int Tarvo_RelatorioTipo60AnaliticoMFD() {
    return Protegido([] { return Tarvo_RelatorioTipo60Analitico(); });
}
