// The exports that only choose their family's implementation, generated from the export
// list: family 0 runs the named-parameter implementation, families 1 and 2 the numeric-code
// one where there is one, and every other family (the non-fiscal printers) answers
// "not implemented" with the export's name after one blank.
#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/protocols/familias.h"

#define TARVO_GERA_PROPRIO(...)
#define TARVO_GERA_F0(ret, nome, ...)                                                 \
    extern "C" TARVO_API ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) {              \
        return tarvo::Protegido([&]() -> ret {                                       \
            if (tarvo::Config().FamiliaModelo == tarvo::FamiliaParametros)           \
                return tarvo::familia0::nome(TARVO_MAP(TARVO_NAME, __VA_ARGS__));    \
            return tarvo::InformaNaoImplementado(" " #nome);                         \
        });                                                                          \
    }
#define TARVO_GERA_F0_NUM(ret, nome, ...)                                            \
    extern "C" TARVO_API ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) {              \
        return tarvo::Protegido([&]() -> ret {                                       \
            switch (tarvo::Config().FamiliaModelo) {                                 \
                case tarvo::FamiliaParametros:                                       \
                    return tarvo::familia0::nome(TARVO_MAP(TARVO_NAME, __VA_ARGS__)); \
                case tarvo::FamiliaNumerica1:                                        \
                case tarvo::FamiliaNumerica2:                                        \
                    return tarvo::numerico::nome(TARVO_MAP(TARVO_NAME, __VA_ARGS__)); \
                default:                                                             \
                    return tarvo::InformaNaoImplementado(" " #nome);                 \
            }                                                                        \
        });                                                                          \
    }
#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_PP_CAT(TARVO_GERA_, despacho)(ret, nome, __VA_ARGS__)
#include "tarvo_exports.def"
