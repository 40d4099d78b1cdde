// Every export that the family dispatch hands to the numeric-code printers and that these
// printers cannot serve answers with that family's own "not implemented" report (the
// export's name without a blank before it). The bodies are weak: the exports these
// printers do serve have their own bodies in this folder, which take their place.
#include "driver/core/registro.h"
#include "driver/protocols/familias.h"

#define TARVO_PEND_PROPRIO(...)
#define TARVO_PEND_F0(...)
#define TARVO_PEND_KELT(...)
#define TARVO_PEND_GEMEO(...)
#define TARVO_PEND_F0_NUM(ret, nome, ...)                                \
    __attribute__((weak)) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) { \
        return NaoImplementadoComo<ret>(#nome);                          \
    }
#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_PP_CAT(TARVO_PEND_, despacho)(ret, nome, __VA_ARGS__)
namespace tarvo::numerico {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "tarvo_exports.def"
#pragma GCC diagnostic pop
}  // namespace tarvo::numerico
