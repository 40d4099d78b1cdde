// TrataComando: one command of a sequence run through the console's binding. The entry of
// the dispatch table (tabela.h) says what is called; the signature of that export, from the
// export list, says which parameter of the command becomes which argument and how.
#include <algorithm>
#include <exception>
#include <string>
#include <type_traits>
#include <vector>

#include "console/binding/auxiliar.h"
#include "console/binding/compostas.h"
#include "console/binding/construtores.h"
#include "console/binding/ecf_dll.h"
#include "console/sequencias/comando.h"
#include "console/sequencias/linha.h"
#include "console/sequencias/tabela.h"
#include "platform/codepage.h"

namespace seq {

namespace {

// One argument of a call as the wrapper receives it: a text (input, or the blanks of an
// output buffer and then the answer) or an integer (input, or the variable the export writes).
struct Valor {
    std::string texto;
    int inteiro = 0;
};

// Hands the arguments out in the order of the export's parameters.
class Argumentos {
  public:
    explicit Argumentos(std::vector<Valor>& v) : v_(v) {}
    const std::string& Texto() { return Proximo().texto; }
    int Inteiro() { return Proximo().inteiro; }
    std::string& Saida() { return Proximo().texto; }
    int& SaidaInteira() { return Proximo().inteiro; }

  private:
    Valor& Proximo() { return v_.at(i_++); }
    std::vector<Valor>& v_;
    std::size_t i_ = 0;
};

// The result of a wrapper; an export that returns nothing has done its work (1).
template <typename F>
int Resultado(F&& chamada) {
    if constexpr (std::is_void_v<decltype(chamada())>) {
        chamada();
        return 1;
    } else {
        return chamada();
    }
}

using Invocador = int (*)(std::vector<Valor>&);

// For every export of the list, a function that calls a wrapper of the export's signature
// (the generated one, or another with the same parameters) with the prepared arguments.
#define SEQ_VAR(k, ...) TARVO_PP_CAT(SEQ_VAR_, k)(__VA_ARGS__)
#define SEQ_VAR_s(n, ...) const std::string& n = args_.Texto();
#define SEQ_VAR_c(n) const std::string& n = args_.Texto();
#define SEQ_VAR_o(n, max) std::string& n = args_.Saida();
#define SEQ_VAR_r(n, max, modo, largura) std::string& n = args_.Saida();
#define SEQ_VAR_i(n) const int n = args_.Inteiro();
#define SEQ_VAR_b(n) const bool n = args_.Inteiro() != 0;
#define SEQ_VAR_p(n) int& n = args_.SaidaInteira();
#define SEQ_VAR_x(n, quantos)             \
    const std::string& n = args_.Texto(); \
    const int quantos = args_.Inteiro();
#define SEQ_VAR_n(...)

#define TARVO_EXPORT(ret, nome, despacho, ...)                                   \
    using Tipo_##nome = ret (*)(TARVO_MAP(BELMORA_DECL, __VA_ARGS__));           \
    template <Tipo_##nome F>                                                     \
    int Invoca_##nome(std::vector<Valor>& valores_) {                            \
        Argumentos args_(valores_);                                              \
        (void)args_;                                                             \
        TARVO_EACH(SEQ_VAR, __VA_ARGS__)                                         \
        return Resultado([&] { return F(TARVO_MAP(TARVO_NAME, __VA_ARGS__)); }); \
    }
#include "tarvo_exports.def"
#undef TARVO_EXPORT

struct InvocadorDe {
    const char* nome;
    Invocador invoca;
};

// Each export through its own wrapper.
const InvocadorDe kInvolucros[] = {
#define TARVO_EXPORT(ret, nome, despacho, ...) {#nome, &Invoca_##nome<static_cast<Tipo_##nome>(&dll::nome)>},
#include "tarvo_exports.def"
#undef TARVO_EXPORT
};

// The second wrappers of the sequences (their out-values carry other names in the call log).
const InvocadorDe kSegundos[] = {
    {"Tarvo_UltimoItemVendido", &Invoca_Tarvo_UltimoItemVendido<&dll::sequencia::Tarvo_UltimoItemVendido>},
    {"Tarvo_NomeiaTotalizadorNaoSujeitoIcms",
     &Invoca_Tarvo_NomeiaTotalizadorNaoSujeitoIcms<&dll::sequencia::Tarvo_NomeiaTotalizadorNaoSujeitoIcms>},
    {"Tarvo_TotalDiaTroco", &Invoca_Tarvo_TotalDiaTroco<&dll::sequencia::Tarvo_TotalDiaTroco>},
    {"Tarvo_DadosUltimaReducaoMFD",
     &Invoca_Tarvo_DadosUltimaReducaoMFD<&dll::sequencia::Tarvo_DadosUltimaReducaoMFD>},
    {"Tarvo_InscricaoMunicipalMFD",
     &Invoca_Tarvo_InscricaoMunicipalMFD<&dll::sequencia::Tarvo_InscricaoMunicipalMFD>},
    {"Tarvo_NomeiaRelatorioGerencialMFD",
     &Invoca_Tarvo_NomeiaRelatorioGerencialMFD<&dll::sequencia::Tarvo_NomeiaRelatorioGerencialMFD>},
    {"Tarvo_VerificaTotalizadoresParciaisMFD",
     &Invoca_Tarvo_VerificaTotalizadoresParciaisMFD<&dll::sequencia::Tarvo_VerificaTotalizadoresParciaisMFD>},
};

// The raw generic calls, which bypass the call log.
const InvocadorDe kBrutas[] = {
    {"Tarvo_ExecutaComando", &Invoca_Tarvo_ExecutaComando<&dll::ExecutaComando>},
    {"Tarvo_ExecutaLeitura", &Invoca_Tarvo_ExecutaLeitura<&dll::ExecutaLeitura>},
};

// The builders of the pseudo-commands, their texts in the order of tabela.cpp.
int Constroi(const std::string& nome, const std::vector<Valor>& v) {
    auto t = [&](std::size_t i) -> const std::string& { return v.at(i).texto; };
    if (nome == "DefineDadosCabecalho") return dll::DefineDadosCabecalho(t(0), t(1), t(2), t(3), t(4), t(5));
    if (nome == "DefineProprietario") return dll::DefineProprietario(t(0), t(1), t(2), t(3));
    if (nome == "ProgramaRelogio") return dll::ProgramaRelogio(t(0), t(1));
    if (nome == "DefineAliquota") return dll::DefineAliquota(t(0), t(1), t(2), t(3));
    if (nome == "ExcluiAliquota") return dll::ExcluiAliquota(t(0), t(1));
    if (nome == "DefineMeioPagamento") return dll::DefineMeioPagamento(t(0), t(1), t(2), t(3));
    if (nome == "ExcluiMeioPagamento") return dll::ExcluiMeioPagamento(t(0), t(1));
    if (nome == "DefineNaoFiscal") return dll::DefineNaoFiscal(t(0), t(1), t(2), t(3));
    if (nome == "ExcluiNaoFiscal") return dll::ExcluiNaoFiscal(t(0), t(1));
    return -2;
}

template <std::size_t N>
Invocador Procura(const InvocadorDe (&lista)[N], const char* nome) {
    for (const InvocadorDe& i : lista)
        if (std::string_view(i.nome) == nome) return i.invoca;
    return nullptr;
}

bool EhEntrada(Passagem p) {
    return !EhSaida(p);
}

// The fill check: every input parameter of the command is filled, and the command has a
// parameter for every input of the call.
bool Preenchidos(const TComando& c, const std::vector<ArgumentoExportado>& parametros) {
    for (std::size_t k = 0; k < parametros.size(); ++k)
        if (EhEntrada(parametros[k].passagem) && k >= c.Parametros.size()) return false;
    return std::all_of(c.Parametros.begin(), c.Parametros.end(),
                       [](const TParametro& p) { return !p.Entrada || p.Preenchido; });
}

// The arguments of the call from the command's parameters (k-th parameter, k-th argument):
// texts go to the library in Windows-1252; an output text is a buffer of blanks at least
// as long as the entry asks and the export writes; an integer output starts with the
// parameter's value.
std::vector<Valor> PreparaArgumentos(const ChaveDespacho& e, const TComando& c,
                                     const std::vector<ArgumentoExportado>& parametros) {
    std::vector<Valor> v(parametros.size());
    std::size_t saidaTexto = 0;
    for (std::size_t k = 0; k < parametros.size(); ++k) {
        const TParametro* p = k < c.Parametros.size() ? &c.Parametros[k] : nullptr;
        switch (parametros[k].passagem) {
            case Passagem::EntradaTexto:
                if (p) v[k].texto = plataforma::Utf8ParaCp1252(p->ValorTexto);
                break;
            case Passagem::EntradaInteira:
            case Passagem::SaidaInteira:
                if (p) v[k].inteiro = p->ValorInteiro;
                break;
            case Passagem::SaidaTexto: {
                std::size_t n = parametros[k].maximo > 0 ? parametros[k].maximo - 1 : 0;
                if (saidaTexto < e.comprimentos.size())
                    n = std::max(n, static_cast<std::size_t>(std::max(e.comprimentos[saidaTexto], 0)));
                ++saidaTexto;
                v[k].texto.assign(n, ' ');
                break;
            }
        }
    }
    return v;
}

// The value of argument k as the operator log shows it.
std::string Mostra(const std::vector<ArgumentoExportado>& parametros, const std::vector<Valor>& v,
                   std::size_t k) {
    const Passagem p = parametros[k].passagem;
    if (p == Passagem::EntradaTexto || p == Passagem::SaidaTexto)
        return plataforma::Cp1252ParaUtf8(v[k].texto);
    return std::to_string(v[k].inteiro);
}

// The values read go back to the command's return variables.
void DevolveRetornos(TComando& c, const std::vector<ArgumentoExportado>& parametros,
                     const std::vector<Valor>& v) {
    for (std::size_t k = 0; k < parametros.size() && k < c.Parametros.size(); ++k) {
        TParametro& p = c.Parametros[k];
        if (p.Entrada || !EhSaida(parametros[k].passagem)) continue;
        const std::string valor = Mostra(parametros, v, k);
        if (TipoTexto(p.Tipo)) {
            p.ValorTexto = valor;
        } else if (parametros[k].passagem == Passagem::SaidaInteira) {
            p.ValorInteiro = v[k].inteiro;
        } else if (belmora::EhInteiro(Apara(valor))) {
            p.ValorInteiro = std::stoi(Apara(valor));
        } else {
            p.ValorTexto = valor;
        }
    }
}

std::string Junta(const std::vector<std::string>& valores) {
    std::string r;
    for (std::size_t i = 0; i < valores.size(); ++i) r += (i ? " - " : "") + valores[i];
    return r;
}

// The text that follows the success line.
std::string TextoSufixo(const ChaveDespacho& e, const TComando& c,
                        const std::vector<ArgumentoExportado>& parametros, const std::vector<Valor>& v) {
    std::vector<std::string> lidos, todos;
    for (std::size_t k = 0; k < parametros.size(); ++k) {
        todos.push_back(Mostra(parametros, v, k));
        if (EhSaida(parametros[k].passagem)) lidos.push_back(todos.back());
    }
    auto lido = [&](std::size_t i) { return i < lidos.size() ? lidos[i] : std::string(); };
    auto nomeParametro = [&](std::size_t i) {
        return i < c.Parametros.size() ? c.Parametros[i].Nome : std::string();
    };
    auto textoParametro = [&](std::size_t i) {
        return i < c.Parametros.size() ? c.Parametros[i].ValorTexto : std::string();
    };
    switch (e.sufixo) {
        case Sufixo::Nenhum:
            return "";
        case Sufixo::Retorno:
            return " Retorno: " + Junta(lidos);
        case Sufixo::RetornoTodos:
            return " Retorno: " + Junta(todos);
        case Sufixo::Gaveta:
            return " Retornou:" + nomeParametro(0) + ": " + lido(0);
        case Sufixo::Cheque:
            return " Resultado: " + lido(0);
        case Sufixo::ArquivoImpr:
            return " Arquivo \"impr.txt\" criado!";
        case Sufixo::ArquivoRetorno:
            return " Arquivo \"RETORNO.txt\" criado!";
        case Sufixo::ArquivoSintegra:
            return " Arquivo \"" + textoParametro(1) + "\" gerado!";
        case Sufixo::CNI:
            return " CNI: " + lido(0);
        case Sufixo::ParametrosPAF:
            return "CNPJ=" + lido(0) + " Data=" + lido(1) + " Hora=" + lido(2) + " NumSerie=" + lido(3) +
                   " NumECF=" + lido(4) + " GrandeTotal=" + lido(5);
        case Sufixo::NomeArquivo:
            return " NomeArquivo: " + lido(0);
        case Sufixo::StatusBinario:
            return "Situação=" + lido(0) + " CodErro=" + lido(1) + " TamLeitura=" + lido(2) +
                   " Progresso=" + lido(3) + " Descricao=" + lido(4);
    }
    return "";
}

// Calls the driver for the entry. -2 (invalid parameter) when the call cannot be made: an
// entry whose target is missing, or a Z counter that is not a number.
int Chama(const ChaveDespacho& e, std::vector<Valor>& v) {
    Invocador invoca = nullptr;
    switch (e.via) {
        case Via::Involucro:
            invoca = Procura(kInvolucros, e.alvo);
            break;
        case Via::SegundoInvolucro:
            invoca = Procura(kSegundos, e.alvo);
            break;
        case Via::Bruta:
            invoca = Procura(kBrutas, e.alvo);
            break;
        case Via::Construtor:
            return Constroi(e.alvo, v);
        case Via::Arredondamento:
            return dll::ProgramaArredondamentoTruncamento(0);
        case Via::Truncamento:
            return dll::ProgramaArredondamentoTruncamento(1);
        case Via::ContadorRFD: {
            const std::string crz = v.empty() ? std::string() : Apara(v[0].texto);
            if (!belmora::EhInteiro(crz)) return -2;
            return dll::RFD_ConvertedaMFD(std::stoi(crz));
        }
    }
    return invoca ? invoca(v) : -2;
}

bool Trata(TComando& c) {
    belmora::AdicionaRetorno("-> Executando " + c.Nome);
    const ChaveDespacho* e = ProcuraChave(NormalizaChave(c.Nome));
    if (!e) return false;
    const std::vector<ArgumentoExportado> parametros = ParametrosDaChave(*e);
    if (!parametros.empty() && !e->isenta && !Preenchidos(c, parametros)) {
        belmora::AdicionaRetorno(std::string("<- ") + belmora::kFalhou + " Parametro não preenchido");
        return false;
    }
    std::vector<Valor> v = PreparaArgumentos(*e, c, parametros);
    const int resultado = Chama(*e, v);
    if (!belmora::TrataRetorno(resultado)) {
        belmora::AdicionaRetorno(std::string("<- ") + belmora::kFalhou);
        return false;
    }
    DevolveRetornos(c, parametros, v);
    belmora::AdicionaRetorno(std::string("<- ") + belmora::kSucesso + TextoSufixo(*e, c, parametros, v));
    return true;
}

}  // namespace

bool TrataComando(TComando& comando) {
    // A run goes on with the next command whatever happens in this one.
    try {
        return Trata(comando);
    } catch (const std::exception& ex) {
        try {
            belmora::AdicionaRetorno(std::string("<- ") + belmora::kFalhou + " " + ex.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            belmora::AdicionaRetorno(std::string("<- ") + belmora::kFalhou);
        } catch (...) {
        }
    }
    return false;
}

}  // namespace seq
