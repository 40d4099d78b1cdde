// Whole-number arithmetic of the fiscal files' totals: 64-bit steps, each one checked, so that
// a figure too large for the files is an error instead of a wrapped number.
#pragma once

#include <cstdint>
#include <limits>

#include "driver/fiscalfiles/campo_ato.h"

namespace tarvo {

[[noreturn]] inline void EstouroValorFiscal() {
    throw ErroArquivoFiscal("Valor acima do limite dos totais do arquivo");
}

inline std::int64_t SomaVerificada(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t kMaximo = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMinimo = std::numeric_limits<std::int64_t>::min();
    if ((b > 0 && a > kMaximo - b) || (b < 0 && a < kMinimo - b)) EstouroValorFiscal();
    return a + b;
}

inline std::uint64_t MultiplicaVerificada(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a) EstouroValorFiscal();
    return a * b;
}

// |v| as an unsigned number (the lowest int64 too).
inline std::uint64_t Magnitude(std::int64_t v) {
    return v < 0 ? 0ull - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

// A magnitude and a sign back to int64, checked.
inline std::int64_t ComSinal(std::uint64_t m, bool negativo) {
    if (m > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) EstouroValorFiscal();
    const auto v = static_cast<std::int64_t>(m);
    return negativo ? -v : v;
}

// a x b / c, the quotient cut toward zero (`resto` gets the magnitude of what was cut, in
// units of 1/c) or rounded half away from zero. The product a x b itself need not fit in 64
// bits: a = q c + r gives a x b / c = q b + r b / c.
inline std::int64_t MultiplicaDivide(std::int64_t a, std::int64_t b, std::int64_t c, bool arredonda,
                                     std::uint64_t* resto = nullptr) {
    if (c == 0) return 0;
    const bool negativo = ((a < 0) != (b < 0)) != (c < 0) && a != 0 && b != 0;
    const std::uint64_t n = Magnitude(a), m = Magnitude(b), d = Magnitude(c);
    const std::uint64_t inteiro = MultiplicaVerificada(n / d, m);
    const std::uint64_t parcial = MultiplicaVerificada(n % d, m);  // below d x m
    std::uint64_t q = parcial / d;
    const std::uint64_t r = parcial % d;
    if (arredonda && r >= d - r) ++q;  // r / d >= 1/2
    if (resto) *resto = r;
    if (q > std::numeric_limits<std::uint64_t>::max() - inteiro) EstouroValorFiscal();
    return ComSinal(inteiro + q, negativo);
}

}  // namespace tarvo
