// The barcode close of a receipt, which these printers do not offer under any family.
#include "driver/api/exportacao.h"

extern "C" TARVO_API int Tarvo_TerminaFechamentoCupomCodigoBarrasMFD(const char*, const char*, const char*, int, int,
                                                                      int, int, int, int, int) {
    return tarvo::Protegido(
        [] { return tarvo::InformaComandoInexistente(" Tarvo_TerminaFechamentoCupomCodigoBarrasMFD"); });
}
