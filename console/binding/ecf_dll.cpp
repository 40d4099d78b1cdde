// The generated wrappers, the table of call texts that do not follow the common form, and
// the record of one call.
#include "console/binding/ecf_dll.h"

#include <algorithm>
#include <cstring>

#include "console/binding/chamada.h"
#include "console/binding/log_dll.h"
#include "tarvo.h"

namespace belmora::ligacao {

// How a call is written in the call log when it differs from the common form
// Name("text",123, outName1, outName2); with "outName1=value" lines after a success.
struct Especial {
    enum Estilo { Comum, Binario, RetornoImpressora };
    const char* nome;
    Estilo estilo = Comum;
    const char* antesDasSaidas = ", ";  // between the last input and the first output name
    bool espacoNosParenteses = false;   // "( CNI );"
    int buffers[8] = {};                // own buffers: blanks per output text, in order (0 = caller's)
    const char* renomeiaDe = nullptr;   // an output whose out-value carries another name
    const char* renomeiaPara = nullptr;
    bool entradaPorNome = false;  // integer input written by name, its value as out-value
};

namespace {

// The exceptions, by export name. Everything else follows the common form from the export list.
const Especial kEspeciais[] = {
    {.nome = "Tarvo_RetornoImpressora", .estilo = Especial::RetornoImpressora, .buffers = {2048}},
    {.nome = "Tarvo_LeNomeRelatorioGerencial", .antesDasSaidas = ","},
    {.nome = "Tarvo_NumeroSerieDescriptografado", .antesDasSaidas = ","},
    {.nome = "Tarvo_LeCodigoNacionalIdentificacaoECF", .espacoNosParenteses = true, .buffers = {6}},
    {.nome = "Tarvo_LeParametrosPAF",
     .espacoNosParenteses = true,
     .buffers = {18, 6, 6, 21, 4, 20},
     .renomeiaDe = "GT",
     .renomeiaPara = "GrandeTotal"},
    {.nome = "Tarvo_AcionaGuilhotinaMFD", .entradaPorNome = true},
    {.nome = "Tarvo_NumeroCaixa", .buffers = {4}},
    {.nome = "Tarvo_NumeroCupom", .buffers = {6}},
    {.nome = "Tarvo_DataHoraUltimoDocumentoMFD", .buffers = {12}},
    {.nome = "Tarvo_SubTotal", .buffers = {14}},
    {.nome = "Tarvo_GrandeTotal", .buffers = {18}},
    {.nome = "Tarvo_DataHoraImpressora", .buffers = {10, 10}},
    // The binary memory-file family: name without prefix, parameter names without blanks,
    // every value (inputs too) as name=value on one line.
    {.nome = "Tarvo_CancelaLeituraBinario", .estilo = Especial::Binario},
    {.nome = "Tarvo_ConverteATO17ParaPAFRJ", .estilo = Especial::Binario},
    {.nome = "Tarvo_GeraArquivoATO17Binario", .estilo = Especial::Binario},
    {.nome = "Tarvo_GeraRFDBinario", .estilo = Especial::Binario},
    {.nome = "Tarvo_GeraRFDBinarioRJ", .estilo = Especial::Binario},
    {.nome = "Tarvo_LeMemoriasBinario", .estilo = Especial::Binario},
    {.nome = "Tarvo_LeStatusGeraBinario", .estilo = Especial::Binario},
};

const Especial kComum{.nome = ""};

const Especial* Procura(const char* nome) {
    for (const Especial& e : kEspeciais)
        if (std::strcmp(e.nome, nome) == 0) return &e;
    return &kComum;
}

// Boolean inputs of the binary family are written as -1 (true) and 0 (false), the
// values that family's callers pass.
bool EhBooleano(const std::string& nome) {
    return nome == "bAguardaConcluirLeitura";
}

}  // namespace

namespace {
Executor& ExecutorAtual() {
    static Executor e;
    return e;
}
}  // namespace

void DefineExecutor(Executor executor) {
    ExecutorAtual() = std::move(executor);
}

void Roda(const std::function<void()>& chamada) {
    if (const Executor& e = ExecutorAtual())
        e(chamada);
    else
        chamada();
}

Chamada::Chamada(const char* nome) : especial_(Procura(nome)), nome_(nome) {}

void Chamada::Texto(const char* nome, const std::string& valor) {
    Argumento a;
    a.tipo = Tipo::Texto;
    a.nome = a.nomeValor = nome;
    a.valor = valor;
    argumentos_.push_back(std::move(a));
}

void Chamada::Inteiro(const char* nome, int valor) {
    std::string texto = std::to_string(valor);
    if (especial_->estilo == Especial::Binario && EhBooleano(nome)) texto = valor ? "-1" : "0";
    Argumento a;
    a.tipo = Tipo::Inteiro;
    a.nome = a.nomeValor = nome;
    a.valor = texto;
    argumentos_.push_back(std::move(a));
}

void Chamada::Saida(const char* nome, std::string& destino, std::size_t maximo, const char* nomeValor) {
    int proprio = saidas_ < 8 ? especial_->buffers[saidas_] : 0;
    ++saidas_;
    if (proprio > 0) destino.assign(static_cast<std::size_t>(proprio), ' ');
    std::size_t tamanho = std::max(maximo, destino.size() + 1);
    std::vector<char>& b = buffers_.emplace_back(tamanho, '\0');
    std::copy(destino.begin(), destino.end(), b.begin());
    std::string valor = nomeValor ? nomeValor : nome;
    if (especial_->renomeiaDe && valor == especial_->renomeiaDe) valor = especial_->renomeiaPara;
    Argumento a;
    a.tipo = Tipo::SaidaTexto;
    a.nome = nome;
    a.nomeValor = valor;
    a.destino = &destino;
    a.buffer = &b;
    argumentos_.push_back(std::move(a));
}

void Chamada::SaidaInteira(const char* nome, int& destino, const char* nomeValor) {
    Argumento a;
    a.tipo = Tipo::SaidaInteira;
    a.nome = nome;
    a.nomeValor = nomeValor ? nomeValor : nome;
    a.inteiro = &destino;
    argumentos_.push_back(std::move(a));
}

char* Chamada::Buffer(const std::string& destino) {
    for (Argumento& a : argumentos_)
        if (a.destino == &destino) return a.buffer->data();
    return nullptr;
}

std::string Chamada::TextoChamada() const {
    std::string texto;
    if (especial_->estilo == Especial::Binario) {
        texto = nome_.rfind("Tarvo_", 0) == 0 ? nome_.substr(6) : nome_;
        texto += "(";
        for (std::size_t i = 0; i < argumentos_.size(); ++i) texto += (i ? "," : "") + argumentos_[i].nome;
        return texto + ");";
    }
    std::string entradas, saidas;
    for (const Argumento& a : argumentos_) {
        bool entrada = a.tipo == Tipo::Texto || a.tipo == Tipo::Inteiro;
        if (entrada && !especial_->entradaPorNome) {
            if (!entradas.empty()) entradas += ",";
            entradas += a.tipo == Tipo::Texto ? "\"" + a.valor + "\"" : a.valor;
        } else {
            if (!saidas.empty()) saidas += ", ";
            saidas += a.nome;
        }
    }
    std::string pad = especial_->espacoNosParenteses ? " " : "";
    texto = nome_ + "(" + pad + entradas;
    if (!entradas.empty() && !saidas.empty()) texto += especial_->antesDasSaidas;
    return texto + saidas + pad + ");";
}

std::string Chamada::TextoValores() const {
    bool binario = especial_->estilo == Especial::Binario;
    std::string texto;
    for (const Argumento& a : argumentos_) {
        std::string valor;
        switch (a.tipo) {
            case Tipo::Texto:
            case Tipo::Inteiro:
                if (!binario && !especial_->entradaPorNome) continue;
                valor = a.valor;
                break;
            case Tipo::SaidaTexto:
                valor = *a.destino;
                break;
            case Tipo::SaidaInteira:
                valor = std::to_string(*a.inteiro);
                break;
        }
        if (!texto.empty()) texto += binario ? " " : "\n";
        texto += a.nomeValor + "=" + valor;
    }
    return texto;
}

int Chamada::Conclui(int resultado) {
    for (Argumento& a : argumentos_)
        if (a.tipo == Tipo::SaidaTexto)
            a.destino->assign(a.buffer->data(), ::strnlen(a.buffer->data(), a.buffer->size()));
    if (especial_->estilo == Especial::RetornoImpressora) {
        int codigo = 0;
        std::string mensagem;
        for (const Argumento& a : argumentos_) {
            if (a.tipo == Tipo::SaidaInteira) codigo = *a.inteiro;
            if (a.tipo == Tipo::SaidaTexto) mensagem = *a.destino;
        }
        GravaLogRetornoImpressora(codigo, mensagem);
    } else {
        GravaLogDLL(TextoChamada(), TextoValores(), resultado);
    }
    return resultado;
}

}  // namespace belmora::ligacao

// --- the wrappers, one per export of the list ----------------------------------------------

#define BELMORA_REG(k, ...) TARVO_PP_CAT(BELMORA_REG_, k)(__VA_ARGS__)
#define BELMORA_REG_s(n, ...) ch_.Texto(#n, n);
#define BELMORA_REG_c(n) ch_.Texto(#n, n);
#define BELMORA_REG_i(n) ch_.Inteiro(#n, n);
#define BELMORA_REG_b(n) ch_.Inteiro(#n, n ? 1 : 0);
#define BELMORA_REG_o(n, max) ch_.Saida(#n, n, max);
#define BELMORA_REG_r(n, max, modo, largura) ch_.Saida(#n, n, max);
#define BELMORA_REG_p(n) ch_.SaidaInteira(#n, n);
#define BELMORA_REG_x(n, quantos) ch_.Texto(#n, n), ch_.Inteiro(#quantos, quantos);
#define BELMORA_REG_n(...)

#define BELMORA_ARG(k, ...) TARVO_PP_CAT(BELMORA_ARG_, k)(__VA_ARGS__)
#define BELMORA_ARG_s(n, ...) n.c_str()
#define BELMORA_ARG_c(n) n.c_str()
#define BELMORA_ARG_i(n) n
#define BELMORA_ARG_b(n) static_cast<unsigned char>(n ? 1 : 0)
#define BELMORA_ARG_o(n, max) ch_.Buffer(n)
#define BELMORA_ARG_r(n, max, modo, largura) ch_.Buffer(n)
#define BELMORA_ARG_p(n) &n
#define BELMORA_ARG_x(n, quantos) n.data(), belmora::ligacao::BytesNoTexto(n, quantos)
#define BELMORA_ARG_n(...)

namespace belmora::ligacao {
// The count of raw bytes handed to the library: never more than the text holds (a negative
// count goes as it is, for the library to refuse).
inline int BytesNoTexto(const std::string& bytes, int quantos) {
    return quantos > static_cast<int>(bytes.size()) ? static_cast<int>(bytes.size()) : quantos;
}
}  // namespace belmora::ligacao

namespace dll {

#define TARVO_EXPORT(ret, nome, despacho, ...)                                           \
    ret nome(TARVO_MAP(BELMORA_DECL, __VA_ARGS__)) {                                     \
        belmora::ligacao::Chamada ch_(#nome);                                            \
        TARVO_EACH(BELMORA_REG, __VA_ARGS__)                                             \
        return ch_.Executa([&] { return ::nome(TARVO_MAP(BELMORA_ARG, __VA_ARGS__)); }); \
    }
#include "tarvo_exports.def"
#undef TARVO_EXPORT

}  // namespace dll
