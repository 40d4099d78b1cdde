// What every export body needs, in the exports of driver/api and in the engines alike:
// visibility, the buffer sizes from the export list, and the guard that keeps exceptions
// inside the library and runs the whole export under the command lock.
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <type_traits>

#include "driver/core/exclusao.h"
#include "driver/core/recusa.h"
#include "driver/core/registro.h"

#define TARVO_API __attribute__((visibility("default")))
#include "tarvo.h"

namespace tarvo::cap {
// tarvo::cap::<export>::<buffer> is the most that export writes into that buffer;
// tarvo::cap::<export>::<text> the most bytes an input text may hold.
#define TARVO_CAP_s(n, ...) static constexpr std::size_t n = TARVO_TEXTO_MAXIMO(__VA_ARGS__);
#define TARVO_CAP_c(n)
#define TARVO_CAP_i(n)
#define TARVO_CAP_b(n)
#define TARVO_CAP_p(n)
#define TARVO_CAP_x(n, quantos)
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

// Every input text of an export held to its size in the list, inside a body that has
// declared `using Cap = tarvo::cap::<export>;`: TARVO_EACH(TARVO_LIM, arguments...).
#define TARVO_LIM(k, ...) TARVO_PP_CAT(TARVO_LIM_, k)(__VA_ARGS__)
#define TARVO_LIM_s(n, ...) tarvo::LimitaTexto(n, Cap::n, #n);
#define TARVO_LIM_c(n)
#define TARVO_LIM_o(n, max)
#define TARVO_LIM_i(n)
#define TARVO_LIM_b(n)
#define TARVO_LIM_p(n)
#define TARVO_LIM_x(n, quantos)
#define TARVO_LIM_n(...)
#define TARVO_LIM_r(n, max, modo, largura)

// Holds an input text of an export with a body of its own to its size in the export list.
#define TARVO_LIMITA(exportacao, texto) tarvo::LimitaTexto(texto, tarvo::cap::exportacao::texto, #texto)

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
// RegistraErroInterno instead of crossing into the host program. For the exports that do
// not talk to the printer (the scale has a port and a lock of its own).
template <typename F>
auto ProtegidoSemVez(F&& corpo) noexcept -> decltype(corpo()) {
    try {
        return corpo();
    } catch (const TextoRecusado& e) {
        // A caller's text that cannot go into a frame: nothing was sent.
        DefineErro(-2, e.what());
        GravaLog(std::string("---[") + e.what() + "]---");
        if constexpr (std::is_same_v<decltype(corpo()), int>) return -2;
    } catch (...) {
        RegistraErroInterno();
    }
    if constexpr (!std::is_void_v<decltype(corpo())>) return {};
}

// Runs an export body under the command lock: its commands, the reading of their replies
// and what it hands back belong to this call, never to another thread's.
template <typename F>
auto Protegido(F&& corpo) noexcept -> decltype(corpo()) {
    ComandoExclusivo vez;
    return ProtegidoSemVez(std::forward<F>(corpo));
}

}  // namespace tarvo
