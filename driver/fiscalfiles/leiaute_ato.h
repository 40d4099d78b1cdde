// The ATO COTEPE 17/04 line layouts: the one width table of the fiscal files. Every writer
// of ATO lines (the RFD of a reduction, the ATO file of a memory dump, SPED and SINTEGRA
// readers of ATO text) builds and splits its lines through these tables, so a width is
// fixed in one place.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/fiscalfiles/registros_ato.h"

namespace tarvo {

// Pad rule of a field in a line.
enum class Regra : char {
    Tipo,  // the record type, the field's name written as it is ("E12")
    Fixo,  // a constant the file format fixes, the field's name written as it is
    N,     // only the digits, right-aligned and zero-filled; the last digits when longer
    X,     // cut to the width and blank-filled on the right
    R,     // the stored indicator as it is; "N" when it was left empty
};

struct CampoLinha {
    const char* nome;
    int largura;
    Regra regra;
};

using LeiauteLinha = std::span<const CampoLinha>;

constexpr int ComprimentoLinha(LeiauteLinha leiaute) {
    int total = 0;
    for (const auto& c : leiaute) total += c.largura;
    return total;
}
// Column (from 1) where field i of a line starts.
constexpr int ColunaCampo(LeiauteLinha leiaute, std::size_t i) {
    int coluna = 1;
    for (std::size_t k = 0; k < i && k < leiaute.size(); ++k) coluna += leiaute[k].largura;
    return coluna;
}

inline constexpr char kVersaoBibliotecaRFD[] = "01.02.29";
inline constexpr char kVersaoAtoCotepe[] = "AC1704 01.00.00";

// clang-format off
inline constexpr CampoLinha kLinhaE00[] = {
    {"E00", 3, Regra::Tipo}, {"NumeroSerie", 20, Regra::X}, {"MFAdicional", 1, Regra::X},
    {"NumeroUsuario", 2, Regra::N}, {"TipoECF", 7, Regra::X}, {"Marca", 20, Regra::X}, {"Modelo", 20, Regra::X},
    {"COO", 6, Regra::N}, {"NumeroAplicativo", 2, Regra::N}, {"CNPJDesenvolvedor", 14, Regra::N},
    {"IEDesenvolvedor", 14, Regra::N}, {"IMDesenvolvedor", 14, Regra::N}, {"NomeDesenvolvedor", 40, Regra::X},
    {"NomeAplicativo", 40, Regra::X}, {"VersaoAplicativo", 10, Regra::X}, {"PrimeiraLinha", 42, Regra::X},
    {"SegundaLinha", 42, Regra::X}};
inline constexpr CampoLinha kLinhaE01[] = {
    {"E01", 3, Regra::Tipo}, {"NumeroSerie", 20, Regra::X}, {"MFAdicional", 1, Regra::X}, {"TipoECF", 7, Regra::X},
    {"Marca", 20, Regra::X}, {"Modelo", 20, Regra::X}, {"VersaoSB", 10, Regra::X}, {"DataInstalacaoSB", 8, Regra::N},
    {"HoraInstalacaoSB", 6, Regra::N}, {"NumeroSequencialECF", 3, Regra::N}, {"CNPJUsuario", 14, Regra::N},
    {"ComandoGeracao", 3, Regra::X}, {"CRZInicial", 6, Regra::N}, {"CRZFinal", 6, Regra::N},
    {"DataInicial", 8, Regra::N}, {"DataFinal", 8, Regra::N}, {kVersaoBibliotecaRFD, 8, Regra::Fixo},
    {kVersaoAtoCotepe, 15, Regra::Fixo}};
inline constexpr CampoLinha kLinhaE02[] = {
    {"E02", 3, Regra::Tipo}, {"NumeroSerie", 20, Regra::X}, {"MFAdicional", 1, Regra::X}, {"Modelo", 20, Regra::X},
    {"CNPJUsuario", 14, Regra::N}, {"IEUsuario", 14, Regra::X}, {"NomeUsuario", 40, Regra::X},
    {"Endereco", 120, Regra::X}, {"DataCadastro", 8, Regra::N}, {"HoraCadastro", 6, Regra::N}, {"CRO", 6, Regra::N},
    {"GT", 18, Regra::N}, {"NumeroUsuario", 2, Regra::N}};

// The lines made from the fiscal-memory reading. The regulation fixes their layouts in tables
// this library does not hold; these are laid out by the conventions of every other type (type,
// serial, additional-memory letter and model, then the record's own fields) from what the
// reading prints, and listed in docs/ato-linhas-memoria-fiscal.md.
#define TARVO_IDENTIFICACAO_LINHA(tipo)                                                              \
    {tipo, 3, Regra::Tipo}, {"NumeroSerie", 20, Regra::X}, {"MFAdicional", 1, Regra::X},             \
        {"Modelo", 20, Regra::X}
inline constexpr CampoLinha kLinhaE05[] = {
    TARVO_IDENTIFICACAO_LINHA("E05"), {"CodificacaoGT", 10, Regra::X}, {"DataCodificacao", 8, Regra::N}};
inline constexpr CampoLinha kLinhaE06[] = {TARVO_IDENTIFICACAO_LINHA("E06"), {"SimboloMoeda", 4, Regra::X}};
inline constexpr CampoLinha kLinhaE07[] = {
    TARVO_IDENTIFICACAO_LINHA("E07"), {"VersaoSB", 10, Regra::X}, {"DataGravacaoSB", 8, Regra::N},
    {"HoraGravacaoSB", 6, Regra::N}};
inline constexpr CampoLinha kLinhaE08[] = {
    TARVO_IDENTIFICACAO_LINHA("E08"), {"NumeroSerieMFD", 20, Regra::X}, {"DataMFD", 8, Regra::N}};
inline constexpr CampoLinha kLinhaE09[] = {
    TARVO_IDENTIFICACAO_LINHA("E09"), {"CRO", 6, Regra::N}, {"DataReinicio", 8, Regra::N},
    {"HoraReinicio", 6, Regra::N}};
inline constexpr CampoLinha kLinhaE10[] = {
    TARVO_IDENTIFICACAO_LINHA("E10"), {"DataImpressaoFita", 8, Regra::N}, {"CNPJ", 14, Regra::N}};
#undef TARVO_IDENTIFICACAO_LINHA

// The lines of the stored records begin with type, serial, additional-memory letter, model
// and user; the counters that follow keep each type's own order.
#define TARVO_CABECALHO_LINHA(tipo)                                                                  \
    {tipo, 3, Regra::Tipo}, {"NumeroSerie", 20, Regra::X}, {"MFAdicional", 1, Regra::X},             \
        {"Modelo", 20, Regra::X}, {"NumeroUsuario", 2, Regra::N}
inline constexpr CampoLinha kLinhaE12[] = {
    TARVO_CABECALHO_LINHA("E12"), {"CRZ", 6, Regra::N}, {"COO", 6, Regra::N}, {"CRO", 6, Regra::N},
    {"DataMovimento", 8, Regra::N}, {"DataEmissao", 8, Regra::N}, {"HoraEmissao", 6, Regra::N},
    {"VendaBrutaDiaria", 14, Regra::N}, {"ParametroDescontoISSQN", 1, Regra::R}};
inline constexpr CampoLinha kLinhaE13[] = {
    TARVO_CABECALHO_LINHA("E13"), {"CRZ", 6, Regra::N}, {"CodigoTotalizador", 7, Regra::X},
    {"ValorAcumulado", 13, Regra::N}};
inline constexpr CampoLinha kLinhaE14[] = {
    TARVO_CABECALHO_LINHA("E14"), {"CCF", 6, Regra::N}, {"COO", 6, Regra::N}, {"DataInicio", 8, Regra::N},
    {"Subtotal", 14, Regra::N}, {"DescontoSubtotal", 13, Regra::N}, {"TipoDesconto", 1, Regra::X},
    {"AcrescimoSubtotal", 13, Regra::N}, {"TipoAcrescimo", 1, Regra::X}, {"ValorTotalLiquido", 14, Regra::N},
    {"IndicadorCancelamento", 1, Regra::R}, {"AcrescimoCancelado", 13, Regra::N},
    {"OrdemDescontoAcrescimo", 1, Regra::X}, {"NomeAdquirente", 40, Regra::X}, {"CPFCNPJAdquirente", 14, Regra::N}};
inline constexpr CampoLinha kLinhaE15[] = {
    TARVO_CABECALHO_LINHA("E15"), {"COO", 6, Regra::N}, {"CCF", 6, Regra::N}, {"NumeroItem", 3, Regra::N},
    {"CodigoProduto", 14, Regra::X}, {"Descricao", 100, Regra::X}, {"Quantidade", 7, Regra::N},
    {"Unidade", 3, Regra::X}, {"ValorUnitario", 8, Regra::N}, {"Desconto", 8, Regra::N}, {"Acrescimo", 8, Regra::N},
    {"ValorTotalLiquido", 14, Regra::N}, {"CodigoTotalizador", 7, Regra::X}, {"IndicadorCancelamento", 1, Regra::R},
    {"QuantidadeCancelada", 7, Regra::N}, {"ValorCancelado", 13, Regra::N}, {"AcrescimoCancelado", 13, Regra::N},
    {"IndicadorArredondamento", 1, Regra::X}, {"DecimaisQuantidade", 1, Regra::N},
    {"DecimaisValorUnitario", 1, Regra::N}};
inline constexpr CampoLinha kLinhaE16[] = {
    TARVO_CABECALHO_LINHA("E16"), {"COO", 6, Regra::N}, {"GNF", 6, Regra::N}, {"GRG", 6, Regra::N},
    {"CDC", 4, Regra::N}, {"CRZ", 6, Regra::N}, {"Denominacao", 2, Regra::X}, {"DataFinal", 8, Regra::N},
    {"HoraFinal", 6, Regra::N}};
inline constexpr CampoLinha kLinhaE17[] = {
    TARVO_CABECALHO_LINHA("E17"), {"CRZ", 6, Regra::N}, {"TotalizadorNaoFiscal", 15, Regra::X},
    {"ValorAcumulado", 13, Regra::N}};
inline constexpr CampoLinha kLinhaE18[] = {
    TARVO_CABECALHO_LINHA("E18"), {"CRZ", 6, Regra::N}, {"MeioPagamento", 15, Regra::X},
    {"ValorAcumulado", 13, Regra::N}};
inline constexpr CampoLinha kLinhaE21[] = {
    TARVO_CABECALHO_LINHA("E21"), {"COO", 6, Regra::N}, {"CCF", 6, Regra::N}, {"GNF", 6, Regra::N},
    {"MeioPagamento", 15, Regra::X}, {"ValorPago", 13, Regra::N}, {"IndicadorEstorno", 1, Regra::R},
    {"ValorEstornado", 13, Regra::N}};
#undef TARVO_CABECALHO_LINHA
// clang-format on

static_assert(ComprimentoLinha(kLinhaE00) == 297 && ComprimentoLinha(kLinhaE01) == 166);
static_assert(ComprimentoLinha(kLinhaE02) == 272 && ComprimentoLinha(kLinhaE12) == 101);
static_assert(ComprimentoLinha(kLinhaE13) == 72 && ComprimentoLinha(kLinhaE14) == 191);
static_assert(ComprimentoLinha(kLinhaE15) == 267 && ComprimentoLinha(kLinhaE16) == 90);
static_assert(ComprimentoLinha(kLinhaE17) == 80 && ComprimentoLinha(kLinhaE18) == 80);
static_assert(ComprimentoLinha(kLinhaE21) == 106);
static_assert(ComprimentoLinha(kLinhaE05) == 62 && ComprimentoLinha(kLinhaE06) == 48);
static_assert(ComprimentoLinha(kLinhaE07) == 68 && ComprimentoLinha(kLinhaE08) == 72);
static_assert(ComprimentoLinha(kLinhaE09) == 64 && ComprimentoLinha(kLinhaE10) == 66);

// A control character (below the blank, or DEL: a tab the printer printed in a name, a line
// break of a host's form) would break the columns or the line of every fiscal file: text fields
// are written with a blank in its place.
constexpr bool EhCaractereControle(char ch) {
    return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
}

// The record type of an ATO line from its characters 2 and 3 ("E12" gives 12); -1 when they
// are not two digits (the EAD line, a short or foreign line).
constexpr int TipoLinha(std::string_view linha) {
    if (linha.size() < 3 || linha[1] < '0' || linha[1] > '9' || linha[2] < '0' || linha[2] > '9') return -1;
    return (linha[1] - '0') * 10 + (linha[2] - '0');
}
std::string SemCaracteresControle(std::string texto);
// A field of the N rule (digits, zeros on the left) and of the X rule (text without control
// characters, blanks on the right), at its width.
std::string CampoN(const std::string& texto, int largura);
std::string CampoX(std::string texto, int largura);

// The fields of a record in the order of its line (one view per entry of the layout).
std::array<CampoVista, std::size(kLinhaE00)> CamposLinha(RegistroE00& r);
std::array<CampoVista, std::size(kLinhaE01)> CamposLinha(RegistroE01& r);
std::array<CampoVista, std::size(kLinhaE02)> CamposLinha(RegistroE02& r);
std::array<CampoVista, std::size(kLinhaE12)> CamposLinha(RegistroE12& r);
std::array<CampoVista, std::size(kLinhaE13)> CamposLinha(RegistroE13& r);
std::array<CampoVista, std::size(kLinhaE14)> CamposLinha(RegistroE14& r);
std::array<CampoVista, std::size(kLinhaE15)> CamposLinha(RegistroE15& r);
std::array<CampoVista, std::size(kLinhaE16)> CamposLinha(RegistroE16& r);
std::array<CampoVista, std::size(kLinhaE17)> CamposLinha(RegistroE17& r);
std::array<CampoVista, std::size(kLinhaE18)> CamposLinha(RegistroE18& r);
std::array<CampoVista, std::size(kLinhaE21)> CamposLinha(RegistroE21& r);

// A line of the layout from the texts of its fields (one per entry; Tipo and Fixo entries
// take their names whatever the text); always exactly the layout's length.
std::string MontaLinha(LeiauteLinha leiaute, std::span<const CampoVista> campos);
// Splits a line by the widths of the layout into the fields, from column 1 on, nothing
// trimmed or checked; a short line leaves the fields past its end empty.
// The same from plain texts, one per entry of the layout.
std::string MontaLinha(LeiauteLinha leiaute, const std::vector<std::string>& valores);
void CarregaCampos(LeiauteLinha leiaute, const std::string& linha, std::span<const CampoVista> campos);

std::string MontaLinhaE00(const RegistroE00& r);
std::string MontaLinhaE01(const RegistroE01& r);
std::string MontaLinhaE02(const RegistroE02& r);
std::string MontaLinhaE12(const RegistroE12& r);
std::string MontaLinhaE13(const RegistroE13& r);
std::string MontaLinhaE14(const RegistroE14& r);
std::string MontaLinhaE15(const RegistroE15& r);
std::string MontaLinhaE16(const RegistroE16& r);
std::string MontaLinhaE17(const RegistroE17& r);
std::string MontaLinhaE18(const RegistroE18& r);
std::string MontaLinhaE21(const RegistroE21& r);

// Line parsers into a given record and into the library-wide records (Registros()).
void CarregaLinha(const std::string& linha, RegistroE01& r);
void CarregaLinha(const std::string& linha, RegistroE02& r);
void CarregaLinha(const std::string& linha, RegistroE12& r);
void CarregaLinha(const std::string& linha, RegistroE13& r);
void CarregaLinha(const std::string& linha, RegistroE14& r);
void CarregaLinha(const std::string& linha, RegistroE15& r);
void CarregaLinhaE01(const std::string& linha);
void CarregaLinhaE02(const std::string& linha);
void CarregaLinhaE12(const std::string& linha);
void CarregaLinhaE13(const std::string& linha);
void CarregaLinhaE14(const std::string& linha);
void CarregaLinhaE15(const std::string& linha);

}  // namespace tarvo
