// SPED Fiscal block C records of one ECF from an ATO COTEPE 17/04 file. Every column is taken
// from the one width table of the ATO lines (leiaute_ato.h); amounts stay integers from the
// line to the output, so neither rounding of binary fractions nor the host's locale can
// change a figure.
#include "driver/fiscalfiles/sped.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>

#include "driver/core/erros.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/ato.h"
#include "driver/fiscalfiles/inteiros_verificados.h"
#include "driver/fiscalfiles/intervalo.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/totalizador_geral.h"
#include "platform/arquivo.h"

namespace tarvo {

namespace {

// --- columns of the ATO lines --------------------------------------------------------------

struct Coluna {
    int inicio;  // from 1
    int largura;
};

constexpr Coluna Col(LeiauteLinha leiaute, std::string_view nome) {
    int c = 1;
    for (const auto& f : leiaute) {
        if (nome == f.nome) return {c, f.largura};
        c += f.largura;
    }
    return {0, 0};
}
// Part of a field: `desloc` characters in, `largura` long.
constexpr Coluna Sub(Coluna c, int desloc, int largura) {
    return {c.inicio + desloc, largura};
}

constexpr Coluna kE01Modelo = Col(kLinhaE01, "Modelo");
constexpr Coluna kE01Serie = Col(kLinhaE01, "NumeroSerie");
constexpr Coluna kE01NumeroEcf = Col(kLinhaE01, "NumeroSequencialECF");
constexpr Coluna kE12Crz = Col(kLinhaE12, "CRZ");
constexpr Coluna kE12Coo = Col(kLinhaE12, "COO");
constexpr Coluna kE12Cro = Sub(Col(kLinhaE12, "CRO"), 3, 3);  // the SPED field holds 3 digits
constexpr Coluna kE12Data = Col(kLinhaE12, "DataMovimento");
constexpr Coluna kE12VendaBruta = Col(kLinhaE12, "VendaBrutaDiaria");
constexpr Coluna kE13Crz = Col(kLinhaE13, "CRZ");
constexpr Coluna kE13Codigo = Col(kLinhaE13, "CodigoTotalizador");
constexpr Coluna kE13Numero = Sub(kE13Codigo, 0, 2);
constexpr Coluna kE13Valor = Col(kLinhaE13, "ValorAcumulado");
constexpr Coluna kE14Coo = Col(kLinhaE14, "COO");
constexpr Coluna kE14Data = Col(kLinhaE14, "DataInicio");
constexpr Coluna kE14Subtotal = Col(kLinhaE14, "Subtotal");
constexpr Coluna kE14Desconto = Col(kLinhaE14, "DescontoSubtotal");
constexpr Coluna kE14TipoDesconto = Col(kLinhaE14, "TipoDesconto");
constexpr Coluna kE14Acrescimo = Col(kLinhaE14, "AcrescimoSubtotal");
constexpr Coluna kE14TipoAcrescimo = Col(kLinhaE14, "TipoAcrescimo");
constexpr Coluna kE14Total = Col(kLinhaE14, "ValorTotalLiquido");
constexpr Coluna kE14Cancelado = Col(kLinhaE14, "IndicadorCancelamento");
constexpr Coluna kE14Nome = Col(kLinhaE14, "NomeAdquirente");
constexpr Coluna kE14CpfCnpj = Col(kLinhaE14, "CPFCNPJAdquirente");
constexpr Coluna kE15Coo = Col(kLinhaE15, "COO");
constexpr Coluna kE15Codigo = Col(kLinhaE15, "CodigoProduto");
constexpr Coluna kE15Quantidade = Col(kLinhaE15, "Quantidade");
constexpr Coluna kE15Unidade = Col(kLinhaE15, "Unidade");
constexpr Coluna kE15Unitario = Col(kLinhaE15, "ValorUnitario");
constexpr Coluna kE15Desconto = Col(kLinhaE15, "Desconto");
constexpr Coluna kE15Acrescimo = Col(kLinhaE15, "Acrescimo");
constexpr Coluna kE15Totalizador = Col(kLinhaE15, "CodigoTotalizador");
constexpr Coluna kE15Cst = Sub(kE15Totalizador, 0, 3);
constexpr Coluna kE15Aliquota = Sub(kE15Totalizador, 3, 4);
constexpr Coluna kE15Status = Col(kLinhaE15, "IndicadorCancelamento");
constexpr Coluna kE15QtdCancelada = Col(kLinhaE15, "QuantidadeCancelada");
constexpr Coluna kE15ValorCancelado = Col(kLinhaE15, "ValorCancelado");
constexpr Coluna kE15Arredondamento = Col(kLinhaE15, "IndicadorArredondamento");
constexpr Coluna kE15DecQtd = Col(kLinhaE15, "DecimaisQuantidade");
constexpr Coluna kE15DecUnit = Col(kLinhaE15, "DecimaisValorUnitario");

// The columns the records are defined by; a change of the width table that moved one of
// them would stop the build here.
static_assert(kE01Modelo.inicio == 52 && kE01Serie.inicio == 4 && kE01NumeroEcf.inicio == 96);
static_assert(kE12Crz.inicio == 47 && kE12Coo.inicio == 53 && kE12Cro.inicio == 62 && kE12Data.inicio == 65 &&
              kE12VendaBruta.inicio == 87);
static_assert(kE13Crz.inicio == 47 && kE13Codigo.inicio == 53 && kE13Valor.inicio == 60);
static_assert(kE14Coo.inicio == 53 && kE14Data.inicio == 59 && kE14Subtotal.inicio == 67 &&
              kE14Desconto.inicio == 81 && kE14TipoDesconto.inicio == 94 && kE14Acrescimo.inicio == 95 &&
              kE14TipoAcrescimo.inicio == 108 && kE14Total.inicio == 109 && kE14Cancelado.inicio == 123 &&
              kE14Nome.inicio == 138 && kE14CpfCnpj.inicio == 178);
static_assert(kE15Coo.inicio == 47 && kE15Codigo.inicio == 62 && kE15Quantidade.inicio == 176 &&
              kE15Unidade.inicio == 183 && kE15Unitario.inicio == 186 && kE15Desconto.inicio == 194 &&
              kE15Acrescimo.inicio == 202 && kE15Totalizador.inicio == 224 && kE15Aliquota.inicio == 227 &&
              kE15Status.inicio == 231 && kE15QtdCancelada.inicio == 232 &&
              kE15ValorCancelado.inicio == 239 && kE15Arredondamento.inicio == 265 &&
              kE15DecQtd.inicio == 266 && kE15DecUnit.inicio == 267);

// The text of a column; what lies past the end of a short line is empty.
std::string_view Trecho(std::string_view linha, Coluna c) {
    std::size_t i = static_cast<std::size_t>(c.inicio - 1);
    if (i >= linha.size()) return {};
    return linha.substr(i, static_cast<std::size_t>(c.largura));
}

std::string_view AparaVista(std::string_view t) {
    while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
    return t;
}
std::string_view AparaDireitaVista(std::string_view t) {
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
    return t;
}

// The digits of a numeric column as a number; blanks, separators and anything else that is
// not a digit are skipped, and no more than 18 digits are taken, so nothing overflows.
std::int64_t Numero(std::string_view t) {
    std::int64_t v = 0;
    int n = 0;
    for (char c : t)
        if (c >= '0' && c <= '9' && n < 18) {
            v = v * 10 + (c - '0');
            ++n;
        }
    return v;
}
std::int64_t Numero(std::string_view linha, Coluna c) {
    return Numero(Trecho(linha, c));
}

std::int64_t Potencia10(int n) {
    std::int64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// A number of `de` decimals brought to `para` decimals, rounded half up when cut.
std::int64_t Reescala(std::int64_t v, int de, int para) {
    if (de <= para) return v * Potencia10(para - de);
    return DivideArredonda(v, 1, Potencia10(de - para));
}

// Quantity x unit value in cents.
std::int64_t ValorItem(std::int64_t qtd, int decQtd, std::int64_t unitario, int decUnit, bool trunca) {
    const int casas = decQtd + decUnit;
    if (casas <= 2) return MultiplicaDivide(qtd, unitario * Potencia10(2 - casas), 1, false);
    return MultiplicaDivide(qtd, unitario, Potencia10(casas - 2), !trunca);
}

// YYYYMMDD -> DDMMYYYY.
std::string DataDdMmAaaa(std::string_view d) {
    if (d.size() < 8) return std::string(d);
    return std::string(d.substr(6, 2)) + std::string(d.substr(4, 2)) + std::string(d.substr(0, 4));
}

// A value of zero as "0", otherwise fixed with `casas` decimals.
std::string Normalizado(std::int64_t v, int casas) {
    return v == 0 ? "0" : FormataFixo(v, casas);
}

// The record's line: each field followed by "|". A "|" inside a field's text (a product code
// or a buyer's name as the host gave them) would split it in two and a control character
// would break the line, so either is written as a blank.
std::string MontaRegistro(std::initializer_list<std::string_view> campos) {
    std::string l = "|";
    for (auto c : campos) {
        for (char ch : c) l.push_back(ch == '|' || EhCaractereControle(ch) ? ' ' : ch);
        l.push_back('|');
    }
    return l;
}

enum class Situacao : char { Ativo, Cancelado, ParCancelado, Outra };

// --- the records ---------------------------------------------------------------------------

struct C405 {
    std::string data, cro, crz, cooTexto;
    std::int64_t cooFinal = 0;
    std::int64_t vendaBruta = 0;  // cents
    std::int64_t gtFinal = 0;     // cents
};
struct C420 {
    std::string codigo, numero;
    std::int64_t valor = 0;
};
struct C425 {
    std::string codigo, unidade, totalizador;
    std::int64_t quantidade = 0;  // thousandths
    std::int64_t valor = 0;       // cents
};
struct C460 {
    std::int64_t coo = 0;
    std::string cooTexto, data, cpfCnpj, nome;
    std::int64_t valor = 0;
    Situacao situacao = Situacao::Outra;
    std::int64_t desconto = 0, acrescimo = 0;  // the subtotal's, in cents
};
struct C470 {
    std::string codigo, unidade, cst;
    std::int64_t coo = 0;
    std::int64_t quantidade = 0, quantidadeCancelada = 0;  // with `decimais` decimals
    int decimais = 0;
    std::int64_t valor = 0;     // cents
    std::int64_t aliquota = 0;  // percent x 100
    Situacao situacao = Situacao::Outra;
    Situacao situacaoDocumento = Situacao::Outra;
    std::int64_t chave = -1;  // the final COO of its reduction
    // What the item's C425 and C495 take: the item's own figures, before the subtotal's
    // adjustments.
    std::string totalizador, totalizadorDireita;
    std::int64_t quantidade3 = 0, quantidadeCancelada3 = 0;                           // thousandths
    std::int64_t bruto = 0, proprio = 0, desconto = 0, acrescimo = 0, cancelado = 0;  // cents
};
struct C490 {
    std::string cst;
    std::int64_t aliquota = 0;
    std::int64_t valorOperacao = 0, base = 0;
    std::int64_t chave = -1;
};
struct C495 {
    std::string codigo, unidade, totalizador;
    std::int64_t aliquota = 0;                                           // percent x 100
    std::int64_t quantidade = 0, quantidadeCancelada = 0;                // thousandths
    std::int64_t valor = 0, desconto = 0, cancelado = 0, acrescimo = 0;  // cents
    bool tributado = false, isento = false, naoTributado = false, naoSujeito = false;
};

struct ChaveTexto {
    std::int64_t chave;
    std::string texto;
    bool operator==(const ChaveTexto&) const = default;
};
struct HashChaveTexto {
    std::size_t operator()(const ChaveTexto& k) const noexcept {
        return std::hash<std::string>()(k.texto) ^
               (std::hash<std::int64_t>()(k.chave) * 0x9E3779B97F4A7C15ull);
    }
};

}  // namespace

// --- small pieces --------------------------------------------------------------------------

std::int64_t DivideArredonda(std::int64_t a, std::int64_t b, std::int64_t c) {
    return MultiplicaDivide(a, b, c, true);
}

std::vector<std::int64_t> RateiaValor(std::int64_t valor, const std::vector<std::int64_t>& pesos) {
    std::vector<std::int64_t> partes(pesos.size(), 0);
    std::int64_t base = 0;
    for (std::int64_t p : pesos)
        if (p > 0) base = SomaVerificada(base, p);
    if (base <= 0 || valor == 0) return partes;
    // Shares cut toward zero; the cents left over go one by one to the largest cut-off
    // fractions (the earlier item on a tie), so the shares add up to the value exactly.
    std::vector<std::uint64_t> restos(pesos.size(), 0);
    std::int64_t distribuido = 0;
    for (std::size_t i = 0; i < pesos.size(); ++i) {
        if (pesos[i] <= 0) continue;
        partes[i] = MultiplicaDivide(valor, pesos[i], base, false, &restos[i]);
        distribuido = SomaVerificada(distribuido, partes[i]);
    }
    std::vector<std::size_t> ordem;
    for (std::size_t i = 0; i < pesos.size(); ++i)
        if (pesos[i] > 0) ordem.push_back(i);
    std::stable_sort(ordem.begin(), ordem.end(),
                     [&](std::size_t a, std::size_t b) { return restos[a] > restos[b]; });
    std::int64_t sobra = valor - distribuido;  // fewer cents than items
    for (std::size_t k = 0; sobra != 0; k = (k + 1) % ordem.size()) {
        const std::int64_t passo = sobra > 0 ? 1 : -1;
        partes[ordem[k]] += passo;
        sobra -= passo;
    }
    return partes;
}

std::string FormataFixo(std::int64_t valor, int casas) {
    bool negativo = valor < 0;
    const unsigned long long magnitude =
        negativo ? 0ull - static_cast<unsigned long long>(valor) : static_cast<unsigned long long>(valor);
    std::string d = std::to_string(magnitude);
    if (casas > 0) {
        if (d.size() < static_cast<std::size_t>(casas) + 1)
            d.insert(0, static_cast<std::size_t>(casas) + 1 - d.size(), '0');
        d.insert(d.size() - static_cast<std::size_t>(casas), 1, ',');
    }
    return negativo ? "-" + d : d;
}

std::string CstTotalizador(const std::string& codigo) {
    if (codigo.size() >= 3 && codigo[2] == 'T') return "000";
    if (!codigo.empty()) {
        switch (codigo[0]) {
            case 'F':
                return "060";
            case 'I':
                return "040";
            case 'N':
                return "041";
            default:
                break;
        }
    }
    return "090";
}

namespace {
bool SoDigitos(const std::string& t) {
    return !t.empty() && EhNumerico(t);
}
bool DigitosIguais(const std::string& t) {
    return std::all_of(t.begin(), t.end(), [&](char c) { return c == t[0]; });
}
}  // namespace

bool CpfValido(const std::string& cpf) {
    if (!SoDigitos(cpf) || cpf.size() > 11) return false;
    std::string d = std::string(11 - cpf.size(), '0') + cpf;
    if (DigitosIguais(d)) return false;
    for (int n = 9; n <= 10; ++n) {
        int soma = 0;
        for (int i = 0; i < n; ++i) soma += (d[static_cast<std::size_t>(i)] - '0') * (n + 1 - i);
        int dv = soma * 10 % 11;
        if (dv == 10) dv = 0;
        if (dv != d[static_cast<std::size_t>(n)] - '0') return false;
    }
    return true;
}

bool CnpjValido(const std::string& cnpj) {
    std::string d = cnpj;
    if (d.size() == 18) {
        if (d[2] != '.' || d[6] != '.' || d[10] != '/' || d[15] != '-') return false;
        d = SomenteNumeros(d);
    }
    if (d.size() != 14 || !SoDigitos(d) || DigitosIguais(d)) return false;
    static const int p1[] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static const int p2[] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    auto verificador = [&](const int* pesos, int n) {
        int soma = 0;
        for (int i = 0; i < n; ++i) soma += (d[static_cast<std::size_t>(i)] - '0') * pesos[i];
        int r = soma % 11;
        return r < 2 ? 0 : 11 - r;
    };
    return verificador(p1, 12) == d[12] - '0' && verificador(p2, 13) == d[13] - '0';
}

std::string LimpaCpfCnpj(const std::string& campo) {
    std::size_t zeros = 0;
    while (zeros < campo.size() && campo[zeros] == '0') ++zeros;
    if (zeros == campo.size()) return "";
    auto limpa = [](std::string t) {
        t = Apara(t);
        std::erase_if(t, [](char c) { return c == '.' || c == '-' || c == '\\' || c == '/'; });
        return t;
    };
    std::string t;
    if (zeros <= 1)
        t = campo;
    else if (zeros == 2) {
        // Twelve digits are neither a CPF nor a CNPJ: a CNPJ that begins with "00" is kept
        // whole instead of being lost.
        std::string inteiro = limpa(campo);
        if (CnpjValido(inteiro)) return inteiro;
        t = campo.substr(2);
    } else
        t = campo.size() > 11 ? campo.substr(campo.size() - 11) : campo;
    t = limpa(t);
    return CpfValido(t) || CnpjValido(t) ? t : "";
}

std::string TextoCodigoSped(int codigo) {
    const char* texto = TextoDoCodigo(Tabela::Sped, codigo);
    return texto ? texto : "";
}

// --- the run's records -----------------------------------------------------------------------

struct RegistrosSped::Dados {
    std::string cfop;
    bool temC400 = false;
    std::string c400;
    TotalizadorGeralAto gt;
    std::vector<C405> c405;
    std::vector<C420> c420;
    std::unordered_map<std::string, std::vector<std::uint32_t>> c420PorCrz;
    std::vector<C425> c425;
    std::unordered_map<ChaveTexto, std::uint32_t, HashChaveTexto> c425PorItem;  // key + item code
    std::vector<C460> c460;
    std::multimap<std::int64_t, std::uint32_t> c460PorCoo;
    std::vector<C470> c470;
    std::unordered_map<std::int64_t, std::vector<std::uint32_t>> c470PorCoo;
    std::vector<C490> c490;
    std::unordered_map<std::int64_t, std::vector<std::uint32_t>> c490PorChave;
    std::vector<C495> c495;
    std::unordered_map<ChaveTexto, std::uint32_t, HashChaveTexto> c495PorItem;  // item code + totalizer
    // C425 of one reduction (key) and totalizer, in list order, for the writer.
    std::unordered_map<ChaveTexto, std::vector<std::uint32_t>, HashChaveTexto> c425PorTotalizador;

    // The reduction of a C425: the first C405 whose final COO is above the item's while its
    // predecessor's (if any) is below; -1 when none.
    std::int64_t ChaveC425(std::int64_t coo) const;
    // The reduction of a C470: as above, else the first C405.
    std::int64_t ChaveC470(std::int64_t coo) const;
    bool crescente = true;  // final COOs of the C405 list strictly rising (binary search)

    void E01(std::string_view l);
    void E12(std::string_view l);
    void E13(std::string_view l);
    void E14(std::string_view l);
    void E15(std::string_view l);
    // The C425 and C495 of an item that is sold (neither it nor its document cancelled).
    void C425e495(const C470& item);
};

std::int64_t RegistrosSped::Dados::ChaveC425(std::int64_t coo) const {
    if (crescente) {
        auto it = std::upper_bound(c405.begin(), c405.end(), coo,
                                   [](std::int64_t v, const C405& r) { return v < r.cooFinal; });
        if (it == c405.end()) return -1;
        if (it != c405.begin() && std::prev(it)->cooFinal >= coo) return -1;
        return it->cooFinal;
    }
    // A list whose COOs do not rise (a counter that restarted) is searched in order; it holds
    // one record a day, never one per item.
    for (std::size_t i = 0; i < c405.size(); ++i)
        if (c405[i].cooFinal > coo && (i == 0 || c405[i - 1].cooFinal < coo)) return c405[i].cooFinal;
    return -1;
}

std::int64_t RegistrosSped::Dados::ChaveC470(std::int64_t coo) const {
    if (c405.empty()) return -1;
    if (c405.size() > 1) {
        if (crescente) {
            auto it = std::upper_bound(c405.begin(), c405.end(), coo,
                                       [](std::int64_t v, const C405& r) { return v < r.cooFinal; });
            if (it != c405.end() && it != c405.begin() && std::prev(it)->cooFinal < coo) return it->cooFinal;
        } else {
            for (std::size_t i = 1; i < c405.size(); ++i)
                if (c405[i].cooFinal > coo && c405[i - 1].cooFinal < coo) return c405[i].cooFinal;
        }
    }
    return c405.front().cooFinal;
}

void RegistrosSped::Dados::E01(std::string_view l) {
    if (temC400) return;
    temC400 = true;
    c400 = MontaRegistro({"C400", "2D", AparaDireitaVista(Trecho(l, kE01Modelo)), Trecho(l, kE01Serie),
                          Trecho(l, kE01NumeroEcf)});
}

void RegistrosSped::Dados::E12(std::string_view l) {
    C405 r;
    r.data = DataDdMmAaaa(Trecho(l, kE12Data));
    r.cro = std::string(Trecho(l, kE12Cro));
    r.crz = std::string(Trecho(l, kE12Crz));
    r.cooFinal = Numero(l, kE12Coo);
    r.cooTexto = std::string(Trecho(l, kE12Coo));
    r.vendaBruta = Numero(l, kE12VendaBruta);
    if (!c405.empty() && c405.back().cooFinal >= r.cooFinal) crescente = false;
    c405.push_back(std::move(r));
}

void RegistrosSped::Dados::E13(std::string_view l) {
    C420 r;
    std::string codigo(AparaVista(Trecho(l, kE13Codigo)));
    if (codigo.size() == 7) codigo = codigo.substr(2);
    r.codigo = codigo;
    r.valor = Numero(l, kE13Valor);
    if (!codigo.empty() && codigo[0] == 'T') r.numero = std::string(AparaVista(Trecho(l, kE13Numero)));
    c420PorCrz[std::string(Trecho(l, kE13Crz))].push_back(static_cast<std::uint32_t>(c420.size()));
    c420.push_back(std::move(r));
}

void RegistrosSped::Dados::E14(std::string_view l) {
    C460 r;
    r.coo = Numero(l, kE14Coo);
    r.cooTexto = std::string(Trecho(l, kE14Coo));
    r.data = DataDdMmAaaa(Trecho(l, kE14Data));
    r.valor = Numero(l, kE14Total);
    std::string_view s = Trecho(l, kE14Cancelado);
    r.situacao = s == "N" ? Situacao::Ativo : s == "S" ? Situacao::Cancelado : Situacao::Outra;
    r.cpfCnpj = LimpaCpfCnpj(std::string(Trecho(l, kE14CpfCnpj)));
    r.nome = std::string(AparaVista(Trecho(l, kE14Nome)));
    // The subtotal's discount and surcharge in cents. Kind "V" holds the amount, kind "P" the
    // percentage (2 decimals); the amount of a percentage is what the net total shows (net =
    // subtotal - discount + surcharge), or the percentage of the subtotal, rounded, when both
    // are percentages.
    const std::int64_t subtotal = Numero(l, kE14Subtotal), total = r.valor;
    const std::int64_t desconto = Numero(l, kE14Desconto), acrescimo = Numero(l, kE14Acrescimo);
    const bool pDesconto = Trecho(l, kE14TipoDesconto) == "P",
               pAcrescimo = Trecho(l, kE14TipoAcrescimo) == "P";
    r.desconto = pDesconto ? DivideArredonda(subtotal, desconto, 10000) : desconto;
    r.acrescimo = pAcrescimo ? DivideArredonda(subtotal, acrescimo, 10000) : acrescimo;
    if (pDesconto && !pAcrescimo && desconto != 0)
        r.desconto = std::max<std::int64_t>(0, subtotal + r.acrescimo - total);
    if (pAcrescimo && !pDesconto && acrescimo != 0)
        r.acrescimo = std::max<std::int64_t>(0, total - subtotal + r.desconto);
    c460PorCoo.emplace(r.coo, static_cast<std::uint32_t>(c460.size()));
    c460.push_back(std::move(r));
}

void RegistrosSped::Dados::E15(std::string_view l) {
    const std::int64_t coo = Numero(l, kE15Coo);
    const std::string codigo(AparaVista(Trecho(l, kE15Codigo)));
    const std::string unidade(AparaVista(Trecho(l, kE15Unidade)));
    const std::string totalizador(AparaVista(Trecho(l, kE15Totalizador)));
    const int decQtd = static_cast<int>(Numero(l, kE15DecQtd));
    const int decUnit = static_cast<int>(Numero(l, kE15DecUnit));
    const std::int64_t qtd = Numero(l, kE15Quantidade);
    const std::int64_t unitario = Numero(l, kE15Unitario);
    const std::int64_t desconto = Numero(l, kE15Desconto), acrescimo = Numero(l, kE15Acrescimo);
    // Quantity x unit value in cents (the product has decQtd + decUnit decimals), cut the way
    // the printer cut it: truncated when the line says "T", else rounded half up.
    const std::int64_t bruto =
        ValorItem(qtd, decQtd, unitario, decUnit, Trecho(l, kE15Arredondamento) == "T");
    const std::int64_t valor = bruto - desconto + acrescimo;
    const std::int64_t qtdCancelada = Numero(l, kE15QtdCancelada);
    // Quantities at 3 decimals, as C425 and C495 hold them.
    const std::int64_t qtd3 = Reescala(qtd, decQtd, 3);

    // Every record of the item is made once every line was read: its document's status and
    // adjustments and its reduction are known then.
    C470 r;
    r.codigo = codigo;
    r.unidade = unidade;
    r.cst = CstTotalizador(std::string(Trecho(l, kE15Cst)));
    r.coo = coo;
    r.quantidade = qtd;
    r.quantidadeCancelada = qtdCancelada;
    r.decimais = decQtd;
    r.valor = valor;
    r.aliquota = Numero(l, kE15Aliquota);
    std::string_view s = Trecho(l, kE15Status);
    r.situacao = s == "N"   ? Situacao::Ativo
                 : s == "S" ? Situacao::Cancelado
                 : s == "P" ? Situacao::ParCancelado
                            : Situacao::Outra;
    r.totalizador = totalizador;
    r.totalizadorDireita = std::string(AparaDireitaVista(Trecho(l, kE15Totalizador)));
    r.quantidade3 = qtd3;
    r.quantidadeCancelada3 = Reescala(qtdCancelada, decQtd, 3);
    r.bruto = bruto;
    r.proprio = valor;
    r.desconto = desconto;
    r.acrescimo = acrescimo;
    r.cancelado = Numero(l, kE15ValorCancelado);
    c470PorCoo[coo].push_back(static_cast<std::uint32_t>(c470.size()));
    c470.push_back(std::move(r));
}

void RegistrosSped::Dados::C425e495(const C470& item) {
    // C425, merged by reduction and item code.
    const std::int64_t chave = ChaveC425(item.coo);
    ChaveTexto k{chave, item.codigo};
    auto it = c425PorItem.find(k);
    if (it == c425PorItem.end()) {
        C425 r{item.codigo, item.unidade, item.totalizador, item.quantidade3, item.proprio};
        c425PorItem.emplace(std::move(k), static_cast<std::uint32_t>(c425.size()));
        c425PorTotalizador[{chave, item.totalizador}].push_back(static_cast<std::uint32_t>(c425.size()));
        c425.push_back(std::move(r));
    } else {
        c425[it->second].quantidade = SomaVerificada(c425[it->second].quantidade, item.quantidade3);
        c425[it->second].valor = SomaVerificada(c425[it->second].valor, item.proprio);
    }

    // C495, merged by item code and totalizer. Quantities are brought to 3 decimals and the
    // value is the item's own (quantity x unit value by the line's decimals), so a line with
    // 2-decimal quantities or a 3-decimal unit value gives its true figures.
    C495 n;
    n.codigo = item.codigo;
    n.unidade = item.unidade;
    n.totalizador = item.totalizadorDireita;
    n.aliquota = n.totalizador.size() >= 6 ? Numero(std::string_view(n.totalizador).substr(3, 4)) : 0;
    n.quantidade = item.quantidade3;
    n.quantidadeCancelada = item.quantidadeCancelada3;
    n.valor = item.bruto;
    n.desconto = item.desconto;
    n.cancelado = item.cancelado;
    n.acrescimo = item.acrescimo;
    const std::string& t = n.totalizador;
    n.tributado = t.size() >= 3 && t[2] == 'T';
    n.isento = !t.empty() && t[0] == 'I';
    n.naoTributado = !t.empty() && t[0] == 'N';
    n.naoSujeito = t.size() >= 2 && t[0] == 'N' && t[1] == 'S';
    ChaveTexto k495{0, item.codigo + '\0' + n.totalizador};
    auto j = c495PorItem.find(k495);
    if (j == c495PorItem.end()) {
        c495PorItem.emplace(std::move(k495), static_cast<std::uint32_t>(c495.size()));
        c495.push_back(std::move(n));
    } else {
        C495& e = c495[j->second];
        e.quantidade = SomaVerificada(e.quantidade, n.quantidade);
        e.quantidadeCancelada = SomaVerificada(e.quantidadeCancelada, n.quantidadeCancelada);
        e.valor = SomaVerificada(e.valor, n.valor);
        e.desconto = SomaVerificada(e.desconto, n.desconto);
        e.cancelado = SomaVerificada(e.cancelado, n.cancelado);
        e.acrescimo = SomaVerificada(e.acrescimo, n.acrescimo);
    }
}

RegistrosSped::RegistrosSped(std::string cfop) : d_(std::make_unique<Dados>()) {
    d_->cfop = std::move(cfop);
}
RegistrosSped::~RegistrosSped() = default;

void RegistrosSped::Linha(std::string_view linha) {
    if (linha.size() < 3) return;
    std::string_view tipo = linha.substr(0, 3);
    if (tipo == "E01")
        d_->E01(linha);
    else if (tipo == "E11")
        d_->gt.Linha(linha);
    else if (tipo == "E12") {
        d_->E12(linha);
        d_->gt.Linha(linha);
    } else if (tipo == "E13")
        d_->E13(linha);
    else if (tipo == "E14") {
        d_->E14(linha);
        d_->gt.Linha(linha);
    } else if (tipo == "E15")
        d_->E15(linha);
}

int RegistrosSped::Conclui(std::string& erro) {
    Dados& d = *d_;
    if (!d.temC400) {
        erro = "Arquivo do ato cotepe sem o registro E01";
        return SpedArquivoInconsistente;
    }
    if (d.c405.empty()) {
        erro = "Arquivo do ato cotepe sem o registro E12 (nenhuma reducao Z no periodo)";
        return SpedArquivoInconsistente;
    }
    // Final grand totals: the printer's GT at the end of each reduction.
    std::vector<std::int64_t> gts;
    if (!d.gt.Conclui(gts, erro)) return SpedArquivoInconsistente;
    for (std::size_t i = 0; i < d.c405.size(); ++i) d.c405[i].gtFinal = gts[i];
    // Items: document status and reduction. Items of a cancelled document, and cancelled
    // items, are in no total.
    for (C470& r : d.c470) {
        auto doc = d.c460PorCoo.find(r.coo);
        if (doc == d.c460PorCoo.end()) {
            erro = "Arquivo do ato cotepe sem o registro E14 do COO " + std::to_string(r.coo) + " (item " +
                   r.codigo + ")";
            return SpedArquivoInconsistente;
        }
        r.situacaoDocumento = d.c460[doc->second].situacao;
        r.chave = d.ChaveC470(r.coo);
        if (r.situacao == Situacao::Ativo && r.situacaoDocumento == Situacao::Ativo) d.C425e495(r);
    }
    // The subtotal's discount and surcharge of each active document shared among its sold
    // items in proportion to their values, to the cent, as the printer shares them among its
    // tax totalizers.
    for (const C460& c : d.c460) {
        if (c.situacao != Situacao::Ativo || (c.desconto == 0 && c.acrescimo == 0)) continue;
        auto itens = d.c470PorCoo.find(c.coo);
        if (itens == d.c470PorCoo.end()) continue;
        std::vector<std::int64_t> pesos;
        for (std::uint32_t i : itens->second) {
            const C470& r = d.c470[i];
            pesos.push_back(r.situacao == Situacao::Ativo && r.situacaoDocumento == Situacao::Ativo ? r.valor
                                                                                                    : 0);
        }
        const std::vector<std::int64_t> descontos = RateiaValor(c.desconto, pesos);
        const std::vector<std::int64_t> acrescimos = RateiaValor(c.acrescimo, pesos);
        for (std::size_t k = 0; k < pesos.size(); ++k) {
            C470& r = d.c470[itens->second[k]];
            r.valor = SomaVerificada(r.valor, acrescimos[k] - descontos[k]);
        }
    }
    std::unordered_map<std::string, std::uint32_t> c490PorChave;
    for (const C470& r : d.c470) {
        if (r.situacao != Situacao::Ativo || r.situacaoDocumento != Situacao::Ativo) continue;
        std::string k = r.cst + '\0' + std::to_string(r.aliquota) + '\0' + std::to_string(r.chave);
        auto [it, novo] = c490PorChave.emplace(std::move(k), static_cast<std::uint32_t>(d.c490.size()));
        if (novo) {
            d.c490PorChave[r.chave].push_back(static_cast<std::uint32_t>(d.c490.size()));
            d.c490.push_back(C490{r.cst, r.aliquota, 0, 0, r.chave});
        }
        C490& t = d.c490[it->second];
        t.valorOperacao = SomaVerificada(t.valorOperacao, r.valor);
        t.base = SomaVerificada(t.base, r.valor);
    }
    return SpedSucesso;
}

void RegistrosSped::Grava(const std::string& perfil,
                          const std::function<void(const std::string&)>& saida) const {
    const Dados& d = *d_;
    saida(d.c400);
    const bool comC425 = perfil != "A", comC460 = perfil != "B";
    static const std::vector<std::uint32_t> kNenhum;
    auto lista = [](const auto& mapa, const auto& chave) -> const std::vector<std::uint32_t>& {
        auto it = mapa.find(chave);
        return it == mapa.end() ? kNenhum : it->second;
    };
    std::int64_t anterior = 0;
    for (const C405& z : d.c405) {
        saida(MontaRegistro({"C405", z.data, z.cro, z.crz, z.cooTexto, FormataFixo(z.gtFinal, 2),
                             FormataFixo(z.vendaBruta, 2)}));
        for (std::uint32_t i : lista(d.c420PorCrz, z.crz)) {
            const C420& t = d.c420[i];
            if (t.valor == 0) continue;
            saida(MontaRegistro({"C420", t.codigo, FormataFixo(t.valor, 2), t.numero, ""}));
            if (!comC425 || t.codigo.empty() ||
                std::string_view("TFIN").find(t.codigo[0]) == std::string_view::npos)
                continue;
            for (std::uint32_t k : lista(d.c425PorTotalizador, ChaveTexto{z.cooFinal, t.numero + t.codigo})) {
                const C425& r = d.c425[k];
                saida(MontaRegistro({"C425", r.codigo, FormataFixo(r.quantidade, 3), r.unidade,
                                     FormataFixo(r.valor, 2), "", ""}));
            }
        }
        if (comC460 && anterior < z.cooFinal) {
            for (auto it = d.c460PorCoo.upper_bound(anterior);
                 it != d.c460PorCoo.end() && it->first < z.cooFinal; ++it) {
                const C460& c = d.c460[it->second];
                if (c.situacao != Situacao::Ativo) {
                    saida(MontaRegistro({"C460", "2D", "02", c.cooTexto, "", "", "", "", "", ""}));
                    continue;
                }
                saida(MontaRegistro({"C460", "2D", "00", c.cooTexto, c.data, FormataFixo(c.valor, 2), "0",
                                     "0", c.cpfCnpj, c.nome}));
                for (std::uint32_t k : lista(d.c470PorCoo, c.coo)) {
                    const C470& r = d.c470[k];
                    if (r.situacao != Situacao::Ativo || r.situacaoDocumento != Situacao::Ativo ||
                        r.valor == 0)
                        continue;
                    saida(MontaRegistro({"C470", r.codigo, FormataFixo(r.quantidade, r.decimais),
                                         FormataFixo(r.quantidadeCancelada, r.decimais), r.unidade,
                                         FormataFixo(r.valor, 2), r.cst, d.cfop, FormataFixo(r.aliquota, 2),
                                         "0", "0"}));
                }
            }
        }
        for (std::uint32_t k : lista(d.c490PorChave, z.cooFinal)) {
            const C490& r = d.c490[k];
            const std::int64_t base = r.cst == "000" ? r.base : 0;
            saida(MontaRegistro({"C490", r.cst, d.cfop, FormataFixo(r.aliquota, 2),
                                 FormataFixo(r.valorOperacao, 2), FormataFixo(base, 2),
                                 FormataFixo(DivideArredonda(base, r.aliquota, 10000), 2), ""}));
        }
        anterior = z.cooFinal;
    }
    if (perfil != "T") return;
    for (const C495& r : d.c495) {
        const std::string valor = FormataFixo(r.valor, 2);
        // The tax column holds the tax of a taxed item: its value x rate / 100.
        const std::string imposto =
            r.tributado ? FormataFixo(DivideArredonda(r.valor, r.aliquota, 10000), 2) : "0";
        saida(MontaRegistro({"C495", Normalizado(r.aliquota, 2), r.codigo, Normalizado(r.quantidade, 3),
                             Normalizado(r.quantidadeCancelada, 3), r.unidade, valor,
                             Normalizado(r.desconto, 2), Normalizado(r.cancelado, 2),
                             Normalizado(r.acrescimo, 2), valor, imposto, r.isento ? valor : "0",
                             r.naoTributado ? valor : "0", r.naoSujeito ? valor : "0"}));
    }
}

// --- checks and the run ----------------------------------------------------------------------

namespace {

bool DataValida(const std::string& texto) {
    std::string d = SomenteNumeros(texto);
    if (d.empty() || d.size() > 8) return false;
    if (!std::all_of(texto.begin(), texto.end(), [](char c) {
            return (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '.' || c == ' ';
        }))
        return false;
    std::string f = FormataData(texto);  // dd/mm/yyyy
    using namespace std::chrono;
    year_month_day ymd{year{std::stoi(f.substr(6, 4))},
                       month{static_cast<unsigned>(std::stoi(f.substr(3, 2)))},
                       day{static_cast<unsigned>(std::stoi(f.substr(0, 2)))}};
    return ymd.ok();
}

bool InteiroValido(const std::string& t) {
    return !t.empty() && ParaInteiro(t, 0) == ParaInteiro(t, 1);
}

// A number as a float conversion reads it: a sign, digits and at most one decimal comma or point.
bool NumeroValido(const std::string& t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digito = false, separador = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            digito = true;
        else if ((t[i] == ',' || t[i] == '.') && !separador)
            separador = true;
        else
            return false;
    }
    return digito;
}

GeradorAtoMemoria& Gerador() {
    static GeradorAtoMemoria g;
    return g;
}

int Executa(const ParametrosSped& p) {
    int codigo = ValidaParametrosSped(p);
    if (codigo != SpedSucesso) return codigo;

    std::string arquivoAto = p.arquivoAto;
    if (!p.usaArquivoAto) {
        arquivoAto.clear();
        // The period's ATO file from the printer's memories: its dates, reading type "TDM".
        const int r = Gerador() ? Gerador()(p.inicio, p.fim, arquivoAto)
                                : ato::GeraRFDBinario(p.inicio, p.fim, 1, 0, arquivoAto);
        if (r != 1) return SpedErroArquivoAto;
    }
    std::ifstream entrada(arquivoAto, std::ios::binary);
    if (!entrada) {
        GravaLog("Arquivo do ato cotepe n\xE3o encontrado: " + arquivoAto);
        return SpedErroArquivoAto;
    }
    RegistrosSped registros(p.cfop);
    // No ATO line is longer than 300 characters: the part of a longer line (a file that is
    // not an ATO file) past this buffer is skipped, so memory stays bounded whatever it holds.
    static constexpr std::streamsize kLinhaMaxima = 4096;
    std::vector<char> buffer(kLinhaMaxima);
    for (;;) {
        entrada.getline(buffer.data(), kLinhaMaxima);
        const std::streamsize n = entrada.gcount();
        std::size_t tamanho;
        if (!entrada.fail()) {
            // A whole line: its end was taken too, unless the file ended first.
            tamanho = static_cast<std::size_t>(entrada.eof() ? n : n - 1);
        } else if (n == 0) {
            break;  // nothing left
        } else {
            tamanho = static_cast<std::size_t>(n);  // a line too long: the rest is skipped
            entrada.clear();
            entrada.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        }
        std::string_view linha(buffer.data(), tamanho);
        if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
        registros.Linha(linha);
        if (entrada.eof()) break;
    }
    if (entrada.bad()) {
        GravaLog("Erro de leitura do arquivo do ato cotepe: " + arquivoAto);
        return SpedErroArquivoAto;
    }
    std::string erro;
    try {
        codigo = registros.Conclui(erro);
    } catch (const ErroArquivoFiscal& e) {
        erro = e.what();
        codigo = SpedArquivoInconsistente;
    }
    if (codigo != SpedSucesso) {
        // The caller learns why no file was written from the last error too.
        DefineErro(codigo, TextoCodigoSped(codigo) + ": " + erro);
        GravaLog(erro);
        return codigo;
    }

    // Written under a scratch name beside the target, synced and renamed over it: a failed or
    // killed run never leaves a half file under the caller's name, and an earlier file stays.
    plataforma::SaidaSegura saida(p.saida);
    if (!saida.Aberta()) return SpedErroGravacao;
    registros.Grava(p.perfil, [&](const std::string& l) {
        saida.Escreve(l);
        saida.Escreve("\r\n");
    });
    if (!saida.Conclui()) return SpedErroGravacao;
    return SpedSucesso;
}

}  // namespace

int ValidaParametrosSped(const ParametrosSped& p) {
    std::error_code ec;
    if (!DataValida(p.inicio) || !DataValida(p.fim) || !InteiroValido(p.cfop) || !NumeroValido(p.valor1) ||
        !NumeroValido(p.valor2) || p.arquivo.empty() || !std::filesystem::is_regular_file(p.arquivo, ec))
        return SpedParametrosInvalidos;
    if (p.perfil != "A" && p.perfil != "B" && p.perfil != "T") return SpedPerfilInvalido;
    // A period whose start lies after its end holds no reduction.
    if (intervalo::DatasInvertidas(p.inicio, p.fim)) return SpedParametrosInvalidos;
    return SpedSucesso;
}

void InstalaGeradorAtoMemoria(GeradorAtoMemoria gerador) {
    Gerador() = std::move(gerador);
}

int GeraRegistrosSped(const ParametrosSped& entrada) {
    ParametrosSped p = entrada;
    for (std::string* t : {&p.arquivo, &p.saida, &p.inicio, &p.fim, &p.perfil, &p.cfop, &p.texto, &p.valor1,
                           &p.valor2, &p.arquivoAto})
        *t = Apara(*t);
    GravaLog("Chamando Tarvo_GeraRegistrosSpedMFD...");
    GravaLog("Tarvo_GeraRegistrosSpedMFD(" + p.arquivo + ";" + p.saida + ";" + p.inicio + ";" + p.fim + ";" +
             p.perfil + ";" + p.cfop + ";" + p.texto + ";" + p.valor1 + ";" + p.valor2 + ")");
    GravaLog("Gerando Sped...");
    int codigo;
    try {
        codigo = Executa(p);
    } catch (const std::exception& e) {
        GravaLog(std::string("Erro: ") + e.what());
        codigo = SpedErroGravacao;
    }
    GravaLog("Retorno da fun\xE7\xE3o Tarvo_GeraRegistrosSpedMFD:" + std::to_string(codigo) + " - " +
             TextoCodigoSped(codigo));
    return codigo;
}

}  // namespace tarvo
