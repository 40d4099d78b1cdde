/* Run through the C preprocessor, keeping comments (-E -C -P), by GeraCabecalho.cmake: the
 * export list with every entry written out as a prototype, in the list's order and with the
 * list's comments. The markers are turned into text by the script. */
#include "tarvo_pp.h"
#undef TARVO_DECL_s
#undef TARVO_DECL_o
#undef TARVO_DECL_r
#define TARVO_DECL_s(n, ...) const char* n TARVO_ENTRADA(__VA_ARGS__)
#define TARVO_DECL_o(n, max) char* n TARVO_SAIDA(max)
#define TARVO_DECL_r(n, max, modo, largura) char* n TARVO_SAIDA(max)
#define TARVO_EXPORT(ret, nome, despacho, ...)                    \
    TARVO_PROTOTIPO ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)); \
    TARVO_NL
TARVO_INICIO_DA_LISTA
#include "tarvo_exports.def"
