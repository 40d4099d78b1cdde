// The exports that only choose their family's implementation, generated from the export
// list: family 0 runs the named-parameter implementation, families 1 and 2 the numeric-code
// one where there is one, and every other family (the non-fiscal printers) answers
// "not implemented" with the export's name after one blank. The exports of the non-fiscal
// printer line go to it under every family, and each export that is another one under a
// second name forwards to it.
#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/protocols/familias.h"

namespace tarvo {
void Devolve(ModoDevolucao modo, int largura, char* buffer, std::size_t capacidade) {
    switch (modo) {
        case ModoDevolucao::RET:
            DevolveRetorno(buffer, capacidade);
            break;
        case ModoDevolucao::RETZ:
            DevolveRetornoZeros(largura, buffer, capacidade);
            break;
        case ModoDevolucao::RETB:
            DevolveRetornoBrancos(largura, buffer, capacidade);
            break;
        case ModoDevolucao::VAL:
            DevolveValor(buffer, capacidade);
            break;
        case ModoDevolucao::VALZ:
            DevolveValorZeros(largura, buffer, capacidade);
            break;
        case ModoDevolucao::VALB:
            DevolveValorBrancos(largura, buffer, capacidade);
            break;
    }
}

// Runs an export's implementation, then (whatever its result) hands its buffers their
// answers; the result, when the export has one, is the implementation's.
template <typename F, typename D>
auto DepoisDevolve(F&& implementacao, D&& devolve) -> decltype(implementacao()) {
    if constexpr (std::is_void_v<decltype(implementacao())>) {
        implementacao();
        devolve();
    } else {
        auto r = implementacao();
        devolve();
        return r;
    }
}
}  // namespace tarvo

// After the implementation (whatever its result) the r-buffers receive their answers.
#define TARVO_DEV(k, ...) TARVO_PP_CAT(TARVO_DEV_, k)(__VA_ARGS__)
#define TARVO_DEV_s(n, ...)
#define TARVO_DEV_c(n)
#define TARVO_DEV_o(n, max)
#define TARVO_DEV_i(n)
#define TARVO_DEV_b(n)
#define TARVO_DEV_p(n)
#define TARVO_DEV_x(n, quantos)
#define TARVO_DEV_n(...)
#define TARVO_DEV_r(n, max, modo, largura) tarvo::Devolve(tarvo::ModoDevolucao::modo, largura, n, max);

#define TARVO_GERA_PROPRIO(...)
// An export that runs under the guard, after its length limits, the implementation
// `escolha` picks for the family configured, then hands its r-buffers their answers.
#define TARVO_GERA_ESCOLHA(ret, nome, escolha, ...)                                  \
    extern "C" TARVO_API ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) {              \
        return tarvo::Protegido([&]() -> ret {                                       \
            using Cap [[maybe_unused]] = tarvo::cap::nome;                           \
            TARVO_EACH(TARVO_LIM, __VA_ARGS__)                                       \
            return tarvo::DepoisDevolve([&]() -> ret { escolha },                    \
                                        [&] { TARVO_EACH(TARVO_DEV, __VA_ARGS__) }); \
        });                                                                          \
    }
#define TARVO_GERA_F0(ret, nome, ...)                                                                   \
    TARVO_GERA_ESCOLHA(                                                                                 \
        ret, nome,                                                                                      \
        if (tarvo::Config().FamiliaModelo ==                                                            \
            tarvo::FamiliaParametros) return tarvo::familia0::nome(TARVO_MAP(TARVO_NAME, __VA_ARGS__)); \
        return tarvo::NaoImplementadoComo<ret>(" " #nome);, __VA_ARGS__)
#define TARVO_GERA_F0_NUM(ret, nome, ...)                                         \
    TARVO_GERA_ESCOLHA(                                                           \
        ret, nome,                                                                \
        switch (tarvo::Config().FamiliaModelo) {                                  \
            case tarvo::FamiliaParametros:                                        \
                return tarvo::familia0::nome(TARVO_MAP(TARVO_NAME, __VA_ARGS__)); \
            case tarvo::FamiliaNumerica1:                                         \
            case tarvo::FamiliaNumerica2:                                         \
                return tarvo::numerico::nome(TARVO_MAP(TARVO_NAME, __VA_ARGS__)); \
            default:                                                              \
                return tarvo::NaoImplementadoComo<ret>(" " #nome);                \
        },                                                                        \
        __VA_ARGS__)
// The non-fiscal printer line serves every family itself.
#define TARVO_GERA_KELT(ret, nome, ...) \
    TARVO_GERA_ESCOLHA(ret, nome, return tarvo::kelt::nome(TARVO_MAP(TARVO_NAME, __VA_ARGS__));, __VA_ARGS__)
#define TARVO_GEMEO(ret, nome, alvo, ...)                               \
    extern "C" TARVO_API ret nome(TARVO_MAP(TARVO_DECL, __VA_ARGS__)) { \
        return alvo(TARVO_MAP(TARVO_NAME, __VA_ARGS__));                \
    }
#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_PP_CAT(TARVO_GERA_, despacho)(ret, nome, __VA_ARGS__)
#include "tarvo_exports.def"
