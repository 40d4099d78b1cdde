// Default bodies for every export of the list and every family-0 implementation:
// "not implemented", until the implementation of that export exists. They are weak,
// so the real definitions, wherever they are, replace them at link time; this keeps
// every export of the list present in the library at every step of its construction.
#include "driver/api/exportacao.h"
#include "driver/protocols/familias.h"

namespace tarvo {
template <typename R>
R Pendente(const char* nome) {
    InformaNaoImplementado(nome);
    if constexpr (!std::is_void_v<R>) return R{};
}
}  // namespace tarvo

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

#define TARVO_PEND_PROPRIO(ret, nome, ...)                                                       \
    extern "C" TARVO_API __attribute__((weak)) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) {    \
        return tarvo::Protegido([&]() -> ret {                                                   \
            using Cap [[maybe_unused]] = tarvo::cap::nome;                                       \
            TARVO_EACH(TARVO_LIM, __VA_ARGS__)                                                   \
            return tarvo::Pendente<ret>(" " #nome);                                              \
        });                                                                                      \
    }
#define TARVO_PEND_F0(ret, nome, ...)                                                            \
    namespace tarvo::familia0 {                                                                  \
    __attribute__((weak)) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) {                         \
        return Pendente<ret>(" " #nome);                                                         \
    }                                                                                            \
    }
#define TARVO_PEND_F0_NUM TARVO_PEND_F0
#define TARVO_PEND_KELT(ret, nome, ...)                                                          \
    namespace tarvo::kelt {                                                                      \
    __attribute__((weak)) ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) {                         \
        return Pendente<ret>(" " #nome);                                                         \
    }                                                                                            \
    }
#define TARVO_PEND_GEMEO(...)
#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_PP_CAT(TARVO_PEND_, despacho)(ret, nome, __VA_ARGS__)
#include "tarvo_exports.def"

#pragma GCC diagnostic pop
