/* Compiled (syntax only) right after tarvo.h is generated, with the generated header forced
 * in first (-include): every prototype it writes must agree with the one the export list's
 * macros give the library, or C refuses the second declaration and the build stops. */
#include "tarvo_pp.h"
#define TARVO_EXPORT(ret, nome, despacho, ...) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__));
#include "tarvo_exports.def"
