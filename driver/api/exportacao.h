// What every export body needs: visibility, the buffer sizes from the export list, and the
// guard that keeps exceptions inside the library.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

#include "driver/core/registro.h"

#define TARVO_API __attribute__((visibility("default")))
#include "tarvo.h"

namespace tarvo::cap {
// tarvo::cap::<export>::<buffer> is the most that export writes into that buffer.
#define TARVO_CAP_s(n)
#define TARVO_CAP_c(n)
#define TARVO_CAP_i(n)
#define TARVO_CAP_b(n)
#define TARVO_CAP_p(n)
#define TARVO_CAP_n(...)
#define TARVO_CAP_o(n, max) static constexpr std::size_t n = max;
#define TARVO_CAP_r(n, max, modo, largura) static constexpr std::size_t n = max;
#define TARVO_CAP(k, ...) TARVO_PP_CAT(TARVO_CAP_, k)(__VA_ARGS__)
#define TARVO_EXPORT(ret, nome, despacho, ...) \
    struct nome {                              \
        TARVO_EACH(TARVO_CAP, __VA_ARGS__)     \
    };
#include "tarvo_exports.def"
#undef TARVO_EXPORT
}  // namespace tarvo::cap

// Hands TextoRetorno to an export's buffer with the size the export list gives it.
#define TARVO_DEVOLVE(exportacao, buffer) tarvo::DevolveRetorno(buffer, tarvo::cap::exportacao::buffer)

namespace tarvo {

// The hand-back of one buffer after an export's implementation.
enum class ModoDevolucao { RET, RETZ, RETB, VAL, VALZ, VALB };
void Devolve(ModoDevolucao modo, int largura, char* buffer, std::size_t capacidade);

// Records an exception caught at an export boundary: code -1 and a message of this library
// ("Erro interno: " and what failed) in the last-error record and the log, never the text
// of the C++ library. Call it inside a catch block only.
void RegistraErroInterno() noexcept;

// Runs an export body; an exception that escapes it becomes a failure recorded by
// RegistraErroInterno instead of crossing into the host program.
template <typename F>
auto Protegido(F&& corpo) noexcept -> decltype(corpo()) {
    try {
        return corpo();
    } catch (...) {
        RegistraErroInterno();
    }
    if constexpr (!std::is_void_v<decltype(corpo())>) return {};
}

}  // namespace tarvo
