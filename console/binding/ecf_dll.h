// The console's binding to libtarvo.so: one wrapper per export of the library, generated
// from the library's own export list (driver/include/tarvo_exports.def), so the console
// follows every change of that list. Each wrapper bears the export's name, takes the
// export's parameters in the same order, calls the export, appends the call to the daily
// call log (log_dll.h) and returns the export's result unchanged; it never checks or
// translates the result (the caller hands it to TrataRetorno).
//
// Parameter types: input texts are `const std::string&` in Windows-1252, output texts are
// `std::string&` (the caller's text, usually blanks, gives the buffer's length, and the
// wrapper makes the buffer at least as large as the most the export writes, so no answer
// can overrun it; after the call the text holds the answer up to its terminating zero),
// integers by value, flags (byte arguments) as `bool`, integer outputs `int&`; raw bytes with
// their count are the bytes as a `const std::string&` and the count (never more of them than
// the text holds goes out).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include "tarvo_pp.h"

namespace dll {

#define BELMORA_DECL(k, ...) TARVO_PP_CAT(BELMORA_DECL_, k)(__VA_ARGS__)
#define BELMORA_DECL_s(n, ...) const std::string& n
#define BELMORA_DECL_c(n) const std::string& n
#define BELMORA_DECL_o(n, max) std::string& n
#define BELMORA_DECL_r(n, max, modo, largura) std::string& n
#define BELMORA_DECL_i(n) int n
#define BELMORA_DECL_b(n) bool n
#define BELMORA_DECL_p(n) int& n
#define BELMORA_DECL_x(n, quantos) const std::string &n, int quantos
#define BELMORA_DECL_n(...)
#define TARVO_EXPORT(ret, nome, despacho, ...) ret nome(TARVO_MAP(BELMORA_DECL, __VA_ARGS__));
#include "tarvo_exports.def"
#undef TARVO_EXPORT

// dll::cap::<export>::<buffer>: the most that export writes into that buffer, zero included.
namespace cap {
#define BELMORA_CAP(k, ...) TARVO_PP_CAT(BELMORA_CAP_, k)(__VA_ARGS__)
#define BELMORA_CAP_s(n, ...)
#define BELMORA_CAP_c(n)
#define BELMORA_CAP_i(n)
#define BELMORA_CAP_b(n)
#define BELMORA_CAP_p(n)
#define BELMORA_CAP_x(n, quantos)
#define BELMORA_CAP_n(...)
#define BELMORA_CAP_o(n, max) static constexpr std::size_t n = max;
#define BELMORA_CAP_r(n, max, modo, largura) static constexpr std::size_t n = max;
#define BELMORA_POS(k, ...) TARVO_PP_CAT(BELMORA_POS_, k)(__VA_ARGS__)
#define BELMORA_POS_s(n, ...) 0
#define BELMORA_POS_c(n) 0
#define BELMORA_POS_i(n) 0
#define BELMORA_POS_b(n) 0
#define BELMORA_POS_p(n) 0
#define BELMORA_POS_x(n, quantos) 0
#define BELMORA_POS_n(...) 0
#define BELMORA_POS_o(n, max) max
#define BELMORA_POS_r(n, max, modo, largura) max
constexpr std::size_t Maior(std::initializer_list<std::size_t> l) {
    std::size_t m = 0;
    for (std::size_t v : l) m = v > m ? v : m;
    return m;
}
// ...::maior is the largest of them, for code that does not name the buffer.
#define TARVO_EXPORT(ret, nome, despacho, ...)                                             \
    struct nome {                                                                          \
        TARVO_EACH(BELMORA_CAP, __VA_ARGS__)                                               \
        static constexpr std::size_t maior = Maior({TARVO_MAP(BELMORA_POS, __VA_ARGS__)}); \
    };
#include "tarvo_exports.def"
#undef TARVO_EXPORT
}  // namespace cap

}  // namespace dll
