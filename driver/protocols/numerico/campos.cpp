#include "driver/protocols/numerico/campos.h"

#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "driver/core/recusa.h"
#include "driver/core/registro.h"

namespace tarvo::numerico {

namespace {
// The reader of caller numbers checks the form only; each field checks its own width.
constexpr int kSemLimite = 1 << 20;

std::optional<std::string> Ajusta(std::string digitos, int largura) {
    digitos = RemoveZerosEsquerda(digitos);
    if (digitos.size() > static_cast<std::size_t>(largura)) return std::nullopt;
    return PreencheZerosEsquerda(digitos, largura);
}
}  // namespace

std::optional<std::string> CampoValor(const std::string& texto, int decimais, int largura,
                                      const char* parametro) {
    // The field's width decides what fits (refused apart, -6): the reader checks the form.
    const std::string numero = NumeroDoChamador(texto, parametro, false, true, kSemLimite);
    std::size_t sep = numero.rfind(',');
    if (sep == std::string::npos) sep = numero.rfind('.');
    if (sep == std::string::npos) return Ajusta(numero, largura);
    std::string inteiro = SomenteNumeros(numero.substr(0, sep));
    std::string fracao = numero.substr(sep + 1);
    while (fracao.size() > static_cast<std::size_t>(decimais) && fracao.back() == '0') fracao.pop_back();
    if (fracao.size() > static_cast<std::size_t>(decimais)) return std::nullopt;
    fracao.append(static_cast<std::size_t>(decimais) - fracao.size(), '0');
    return Ajusta(inteiro + fracao, largura);
}

std::optional<std::string> CampoInteiro(const std::string& texto, int largura, const char* parametro) {
    return Ajusta(NumeroDoChamador(texto, parametro, false, false, kSemLimite), largura);
}

std::optional<std::string> CampoData(const std::string& texto) {
    std::string d = SomenteNumeros(texto);
    if (d.size() == 8) return d.substr(0, 4) + d.substr(6, 2);  // dd/mm/yyyy
    if (d.size() == 6) return d;
    return std::nullopt;
}

int RecusaCampo(Falha falha) {
    DefineErro(falha);
    GravaLog("---[", Erro().UltimaMensagem, "]---");
    return 0;
}

}  // namespace tarvo::numerico
