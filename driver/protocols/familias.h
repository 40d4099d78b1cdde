// The implementations that the family dispatch of the exports calls, declared from the
// export list: tarvo::familia0::<export> for the named-parameter printers and
// tarvo::numerico::<export> for the numeric-code printers, tarvo::kelt::<export> for the
// non-fiscal printer line.
#pragma once

#include "tarvo_pp.h"

#define TARVO_IMPL_PROPRIO(...)
#define TARVO_IMPL_GEMEO(...)
#define TARVO_IMPL_KELT(...)
#define TARVO_IMPL_F0(ret, nome, ...) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__));
#define TARVO_IMPL_F0_NUM(ret, nome, ...) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__));
#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_PP_CAT(TARVO_IMPL_, despacho)(ret, nome, __VA_ARGS__)
namespace tarvo::familia0 {
#include "tarvo_exports.def"
}
#undef TARVO_IMPL_F0

#define TARVO_IMPL_F0(...)
namespace tarvo::numerico {
#include "tarvo_exports.def"
}
#undef TARVO_IMPL_F0_NUM

#define TARVO_IMPL_F0_NUM(...)
#undef TARVO_IMPL_KELT
#define TARVO_IMPL_KELT(ret, nome, ...) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__));
namespace tarvo::kelt {
#include "tarvo_exports.def"
}
#undef TARVO_EXPORT
#undef TARVO_IMPL_PROPRIO
#undef TARVO_IMPL_GEMEO
#undef TARVO_IMPL_KELT
#undef TARVO_IMPL_F0
#undef TARVO_IMPL_F0_NUM
