#include "console/sequencias/assinaturas.h"

#include <type_traits>

#include "tarvo_pp.h"

namespace seq {

namespace {

#define SEQ_ASS(k, ...) TARVO_PP_CAT(SEQ_ASS_, k)(__VA_ARGS__)
#define SEQ_ASS_s(n, ...) {#n, Passagem::EntradaTexto, 0},
#define SEQ_ASS_c(n) {#n, Passagem::EntradaTexto, 0},
#define SEQ_ASS_i(n) {#n, Passagem::EntradaInteira, 0},
#define SEQ_ASS_b(n) {#n, Passagem::EntradaInteira, 0},
#define SEQ_ASS_o(n, max) {#n, Passagem::SaidaTexto, max},
#define SEQ_ASS_r(n, max, modo, largura) {#n, Passagem::SaidaTexto, max},
#define SEQ_ASS_p(n) {#n, Passagem::SaidaInteira, 0},
#define SEQ_ASS_x(n, quantos) {#n, Passagem::EntradaTexto, 0}, {#quantos, Passagem::EntradaInteira, 0},
#define SEQ_ASS_n(...)

std::vector<Assinatura> Monta() {
    return {
#define TARVO_EXPORT(ret, nome, despacho, ...) \
    {#nome, std::is_void_v<ret>, std::vector<ArgumentoExportado>{TARVO_EACH(SEQ_ASS, __VA_ARGS__)}},
#include "tarvo_exports.def"
#undef TARVO_EXPORT
    };
}

}  // namespace

bool Assinatura::TemEntradas() const {
    for (const ArgumentoExportado& a : argumentos)
        if (!EhSaida(a.passagem)) return true;
    return false;
}

const std::vector<Assinatura>& Assinaturas() {
    static const std::vector<Assinatura> lista = Monta();
    return lista;
}

const Assinatura* ProcuraAssinatura(std::string_view nome) {
    for (const Assinatura& a : Assinaturas())
        if (nome == a.nome) return &a;
    return nullptr;
}

}  // namespace seq
