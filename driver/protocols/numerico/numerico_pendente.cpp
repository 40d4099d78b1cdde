// The numeric-code printers (families 1 and 2) have no command set in this library yet:
// every export they would serve answers with that family's own "not implemented" report
// (the export's name without a blank before it).
#include "driver/core/registro.h"
#include "driver/protocols/familias.h"

#define TARVO_PEND_PROPRIO(...)
#define TARVO_PEND_F0(...)
#define TARVO_PEND_KELT(...)
#define TARVO_PEND_GEMEO(...)
#define TARVO_PEND_F0_NUM(ret, nome, ...)                                          \
    ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) { return InformaNaoImplementado(#nome); }
#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_PP_CAT(TARVO_PEND_, despacho)(ret, nome, __VA_ARGS__)
namespace tarvo::numerico {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "tarvo_exports.def"
#pragma GCC diagnostic pop
}  // namespace tarvo::numerico
