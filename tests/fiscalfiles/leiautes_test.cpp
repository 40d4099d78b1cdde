// The fiscal files made from the emulated printer, each line held against the field list of
// its record as an outside validator reads it: the ATO COTEPE 17/04 file (fixed widths), the
// SINTEGRA file (126 characters a record) and the SPED block C records ("|"-separated).
// Every numeric field only digits, every date a real date, texts blank-filled on the right,
// only printable Windows-1252 text, the records in their order and the counts right.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/fiscalfiles/sintegra.h"
#include "driver/fiscalfiles/sped.h"
#include "emulador/modelos.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/rfd_emulador.h"
#include "fiscalfiles/sintegra_mes.h"
#include "fiscalfiles/sped_ato.h"
#include "fiscalfiles/sped_periodo.h"
#include "tarvo.h"

namespace {

namespace fs = std::filesystem;

// --- fixed-width records ---------------------------------------------------------------------

// Kind of a fixed-width field: N digits; X text blank-filled on the right (not starting with a
// blank unless all blank); D date yyyymmdd; H time hhmmss; M month and year mmyyyy; B blanks;
// K the literal given.
struct Campo {
    const char* nome;
    int largura;
    char tipo;
    const char* literal = nullptr;
};
using Leiaute = std::vector<Campo>;

bool Digitos(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

bool DataReal(int ano, int mes, int dia) {
    static const int kDiasMes[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (ano < 1900 || mes < 1 || mes > 12 || dia < 1) return false;
    const bool bissexto = (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
    return dia <= kDiasMes[mes - 1] + (mes == 2 && bissexto ? 1 : 0);
}

// yyyymmdd
bool DataAaaaMmDd(const std::string& s) {
    return s.size() == 8 && Digitos(s) &&
           DataReal(std::stoi(s.substr(0, 4)), std::stoi(s.substr(4, 2)), std::stoi(s.substr(6, 2)));
}
// ddmmyyyy
bool DataDdMmAaaa(const std::string& s) {
    return s.size() == 8 && Digitos(s) &&
           DataReal(std::stoi(s.substr(4, 4)), std::stoi(s.substr(2, 2)), std::stoi(s.substr(0, 2)));
}
bool HoraValida(const std::string& s) {
    return s.size() == 6 && Digitos(s) && std::stoi(s.substr(0, 2)) < 24 && std::stoi(s.substr(2, 2)) < 60 &&
           std::stoi(s.substr(4, 2)) < 60;
}

// Printable Windows-1252 text: no control character, none of the five unassigned codes.
bool TextoImprimivel(const std::string& s, std::string& motivo) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) {
            motivo = "byte " + std::to_string(c) + " at column " + std::to_string(i + 1);
            return false;
        }
    }
    return true;
}

// Every fault of the line against its layout, one text each.
std::vector<std::string> Confere(const std::string& linha, const Leiaute& leiaute) {
    std::vector<std::string> faltas;
    std::size_t total = 0;
    for (const auto& c : leiaute) total += static_cast<std::size_t>(c.largura);
    if (linha.size() != total)
        faltas.push_back("length " + std::to_string(linha.size()) + ", not " + std::to_string(total));
    std::string motivo;
    if (!TextoImprimivel(linha, motivo)) faltas.push_back(motivo);
    std::size_t coluna = 0;
    for (const auto& c : leiaute) {
        if (coluna >= linha.size()) break;
        const std::string v = linha.substr(coluna, static_cast<std::size_t>(c.largura));
        const std::string onde =
            std::string(c.nome) + " (column " + std::to_string(coluna + 1) + ") \"" + v + "\"";
        coluna += static_cast<std::size_t>(c.largura);
        switch (c.tipo) {
            case 'N':
                if (!Digitos(v)) faltas.push_back(onde + ": not only digits");
                break;
            case 'D':
                if (!DataAaaaMmDd(v)) faltas.push_back(onde + ": not a date yyyymmdd");
                break;
            case 'H':
                if (!HoraValida(v)) faltas.push_back(onde + ": not a time hhmmss");
                break;
            case 'M':
                if (!(Digitos(v) && v.size() == 6 &&
                      DataReal(std::stoi(v.substr(2)), std::stoi(v.substr(0, 2)), 1)))
                    faltas.push_back(onde + ": not a month mmyyyy");
                break;
            case 'B':
                if (v.find_first_not_of(' ') != std::string::npos) faltas.push_back(onde + ": not blank");
                break;
            case 'K':
                if (v != c.literal) faltas.push_back(onde + ": not \"" + c.literal + "\"");
                break;
            case 'X':
                if (v.find_first_not_of(' ') != std::string::npos && v[0] == ' ')
                    faltas.push_back(onde + ": text not aligned on the left");
                break;
        }
    }
    return faltas;
}

void ConfereArquivoSintegra(const std::string& arquivo);
void ConfereArquivoSped(const std::string& arquivo);

// --- ATO COTEPE 17/04 ------------------------------------------------------------------------

Leiaute ComCabecalho(const char* tipo, bool usuario, const Leiaute& proprios) {
    Leiaute l = {{"tipo", 3, 'K', tipo}, {"serie", 20, 'X'}, {"MF adicional", 1, 'X'}, {"modelo", 20, 'X'}};
    if (usuario) l.push_back({"usuario", 2, 'N'});
    l.insert(l.end(), proprios.begin(), proprios.end());
    return l;
}

const std::map<std::string, Leiaute>& LeiautesAto() {
    static const std::map<std::string, Leiaute> m = {
        {"E00",
         {{"tipo", 3, 'K', "E00"},
          {"serie", 20, 'X'},
          {"MF adicional", 1, 'X'},
          {"usuario", 2, 'N'},
          {"tipo ECF", 7, 'X'},
          {"marca", 20, 'X'},
          {"modelo", 20, 'X'},
          {"COO", 6, 'N'},
          {"numero aplicativo", 2, 'N'},
          {"CNPJ desenvolvedor", 14, 'N'},
          {"IE desenvolvedor", 14, 'N'},
          {"IM desenvolvedor", 14, 'N'},
          {"nome desenvolvedor", 40, 'X'},
          {"nome aplicativo", 40, 'X'},
          {"versao aplicativo", 10, 'X'},
          {"linha 1", 42, 'X'},
          {"linha 2", 42, 'X'}}},
        {"E01",
         {{"tipo", 3, 'K', "E01"},
          {"serie", 20, 'X'},
          {"MF adicional", 1, 'X'},
          {"tipo ECF", 7, 'X'},
          {"marca", 20, 'X'},
          {"modelo", 20, 'X'},
          {"versao SB", 10, 'X'},
          {"data instalacao SB", 8, 'D'},
          {"hora instalacao SB", 6, 'H'},
          {"numero ECF", 3, 'N'},
          {"CNPJ usuario", 14, 'N'},
          {"comando", 3, 'X'},
          {"CRZ inicial", 6, 'N'},
          {"CRZ final", 6, 'N'},
          {"data inicial", 8, 'D'},
          {"data final", 8, 'D'},
          {"versao biblioteca", 8, 'K', "01.02.29"},
          {"versao ATO", 15, 'K', "AC1704 01.00.00"}}},
        {"E02",
         {{"tipo", 3, 'K', "E02"},
          {"serie", 20, 'X'},
          {"MF adicional", 1, 'X'},
          {"modelo", 20, 'X'},
          {"CNPJ usuario", 14, 'N'},
          {"IE usuario", 14, 'X'},
          {"nome usuario", 40, 'X'},
          {"endereco", 120, 'X'},
          {"data cadastro", 8, 'D'},
          {"hora cadastro", 6, 'H'},
          {"CRO", 6, 'N'},
          {"GT", 18, 'N'},
          {"numero usuario", 2, 'N'}}},
        {"E05", ComCabecalho("E05", false, {{"codificacao GT", 10, 'X'}, {"data", 8, 'D'}})},
        {"E06", ComCabecalho("E06", false, {{"simbolo moeda", 4, 'X'}})},
        {"E07", ComCabecalho("E07", false, {{"versao SB", 10, 'X'}, {"data", 8, 'D'}, {"hora", 6, 'H'}})},
        {"E08", ComCabecalho("E08", false, {{"serie MFD", 20, 'X'}, {"data", 8, 'D'}})},
        {"E09", ComCabecalho("E09", false, {{"CRO", 6, 'N'}, {"data", 8, 'D'}, {"hora", 6, 'H'}})},
        {"E10", ComCabecalho("E10", false, {{"data", 8, 'D'}, {"CNPJ", 14, 'N'}})},
        {"E11", ComCabecalho("E11", false,
                             {{"CRO", 6, 'N'},
                              {"CRZ", 6, 'N'},
                              {"COO", 6, 'N'},
                              {"GNF", 6, 'N'},
                              {"CCF", 6, 'N'},
                              {"contadores", 24, 'N'},
                              {"CDC", 6, 'N'},
                              {"GT", 18, 'N'},
                              {"data", 8, 'D'},
                              {"hora", 6, 'H'}})},
        {"E12", ComCabecalho("E12", true,
                             {{"CRZ", 6, 'N'},
                              {"COO", 6, 'N'},
                              {"CRO", 6, 'N'},
                              {"data movimento", 8, 'D'},
                              {"data emissao", 8, 'D'},
                              {"hora emissao", 6, 'H'},
                              {"venda bruta", 14, 'N'},
                              {"desconto ISSQN", 1, 'X'}})},
        {"E13", ComCabecalho("E13", true, {{"CRZ", 6, 'N'}, {"totalizador", 7, 'X'}, {"valor", 13, 'N'}})},
        {"E14", ComCabecalho("E14", true,
                             {{"CCF", 6, 'N'},
                              {"COO", 6, 'N'},
                              {"data inicio", 8, 'D'},
                              {"subtotal", 14, 'N'},
                              {"desconto", 13, 'N'},
                              {"tipo desconto", 1, 'X'},
                              {"acrescimo", 13, 'N'},
                              {"tipo acrescimo", 1, 'X'},
                              {"total liquido", 14, 'N'},
                              {"cancelado", 1, 'X'},
                              {"acrescimo cancelado", 13, 'N'},
                              {"ordem", 1, 'X'},
                              {"nome adquirente", 40, 'X'},
                              {"CPF/CNPJ adquirente", 14, 'N'}})},
        {"E15", ComCabecalho("E15", true,
                             {{"COO", 6, 'N'},
                              {"CCF", 6, 'N'},
                              {"item", 3, 'N'},
                              {"codigo", 14, 'X'},
                              {"descricao", 100, 'X'},
                              {"quantidade", 7, 'N'},
                              {"unidade", 3, 'X'},
                              {"valor unitario", 8, 'N'},
                              {"desconto", 8, 'N'},
                              {"acrescimo", 8, 'N'},
                              {"total liquido", 14, 'N'},
                              {"totalizador", 7, 'X'},
                              {"cancelado", 1, 'X'},
                              {"quantidade cancelada", 7, 'N'},
                              {"valor cancelado", 13, 'N'},
                              {"acrescimo cancelado", 13, 'N'},
                              {"arredondamento", 1, 'X'},
                              {"decimais quantidade", 1, 'N'},
                              {"decimais unitario", 1, 'N'}})},
        {"E16", ComCabecalho("E16", true,
                             {{"COO", 6, 'N'},
                              {"GNF", 6, 'N'},
                              {"GRG", 6, 'N'},
                              {"CDC", 4, 'N'},
                              {"CRZ", 6, 'N'},
                              {"denominacao", 2, 'X'},
                              {"data final", 8, 'D'},
                              {"hora final", 6, 'H'}})},
        {"E17", ComCabecalho("E17", true, {{"CRZ", 6, 'N'}, {"totalizador", 15, 'X'}, {"valor", 13, 'N'}})},
        {"E18",
         ComCabecalho("E18", true, {{"CRZ", 6, 'N'}, {"meio pagamento", 15, 'X'}, {"valor", 13, 'N'}})},
        {"E21", ComCabecalho("E21", true,
                             {{"COO", 6, 'N'},
                              {"CCF", 6, 'N'},
                              {"GNF", 6, 'N'},
                              {"meio pagamento", 15, 'X'},
                              {"valor pago", 13, 'N'},
                              {"estorno", 1, 'X'},
                              {"valor estornado", 13, 'N'}})},
    };
    return m;
}

// The fields of an ATO line with a one-letter indicator from a fixed set.
void ConfereIndicadores(const std::string& l, std::vector<std::string>& faltas) {
    auto um = [&](std::size_t coluna, const char* validos, const char* nome) {
        if (l.size() >= coluna && std::string(validos).find(l[coluna - 1]) == std::string::npos)
            faltas.push_back(std::string(nome) + " \"" + l[coluna - 1] + "\" not one of " + validos);
    };
    const std::string tipo = l.substr(0, 3);
    if (tipo == "E12") um(101, "SN", "ISSQN discount parameter");
    if (tipo == "E14") {
        // The kinds and the order are left blank on a document without discount or increase.
        um(94, "VP ", "discount kind");
        um(108, "VP ", "increase kind");
        um(123, "SN", "cancel indicator");
        um(137, "DA ", "order");
    }
    if (tipo == "E15") {
        um(231, "SNP", "cancel indicator");
        um(265, "AT", "rounding indicator");
        um(266, "0123", "quantity decimals");
        um(267, "0123", "unit-value decimals");
    }
    if (tipo == "E21") um(93, "SN", "reversal indicator");
}

// Each line of an ATO file against its type's layout, and the types in order: the head lines
// first (E00, E01, E02 ...), then the record types ascending. `tipos` gets the count per type.
void ConfereArquivoAto(const std::string& arquivo, std::map<std::string, int>* tipos = nullptr) {
    SCOPED_TRACE(arquivo);
    const std::string texto = teste::LeArquivo(arquivo);
    ASSERT_FALSE(texto.empty());
    const auto linhas = teste::LinhasCrLf(texto);
    std::string anterior;
    for (const auto& l : linhas) {
        const std::string tipo = l.substr(0, 3);
        if (tipos) ++(*tipos)[tipo];
        const auto& leiautes = LeiautesAto();
        auto it = leiautes.find(tipo);
        if (tipo == "EAD") {
            std::string motivo;
            EXPECT_TRUE(TextoImprimivel(l, motivo)) << motivo << ": " << l;
            EXPECT_EQ(l.find_first_not_of("0123456789ABCDEFabcdef", 3), std::string::npos) << l;
            EXPECT_EQ(&l, &linhas.back()) << "the signature closes the file";
            continue;
        }
        ASSERT_TRUE(it != leiautes.end()) << "unknown record: " << l;
        std::vector<std::string> faltas = Confere(l, it->second);
        ConfereIndicadores(l, faltas);
        for (const auto& f : faltas) ADD_FAILURE() << tipo << ": " << f << "\n  " << l;
        EXPECT_GE(tipo, anterior) << "out of order: " << l;
        anterior = tipo;
    }
    ASSERT_FALSE(linhas.empty());
    // The application's E00 heads the RFD of a reduction; the file of a memory dump begins
    // with the printer's E01.
    EXPECT_TRUE(linhas[0].rfind("E00", 0) == 0 || linhas[0].rfind("E01", 0) == 0) << linhas[0];
}

class LeiauteRfd : public teste::RfdComEmulador {};

TEST_F(LeiauteRfd, EveryLineOfAReductionsFileKeepsItsLayout) {
    Configura(teste::kSoftwareHouse);  // the developer's lines
    Dia();
    if (HasFatalFailure()) return;
    ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto("1"), 1);
    std::map<std::string, int> tipos;
    ConfereArquivoAto(UnicoRfd(), &tipos);
    // The day's documents: a reduction, its totalizers, receipts, items, payments, the others.
    for (const char* t : {"E00", "E01", "E02", "E11", "E12", "E13", "E14", "E15", "E16", "E21"})
        EXPECT_GT(tipos[t], 0) << t;

    // The detail-tape form of the same day (no fiscal-memory lines).
    fs::remove(UnicoRfd());
    tarvo::Estado().FlagTDM = false;
    ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto("1"), 1);
    ConfereArquivoAto(UnicoRfd());
}

// A day at the edges of the fields: a consumer's name longer than its field and with accents,
// a product code and a description longer than theirs, a large quantity and price, an item
// whose discount is above its unit price, a fraction of a unit, a receipt cancelled.
const std::vector<std::pair<const char*, std::string>>& DiaDeBordas() {
    static const std::vector<std::pair<const char*, std::string>> passos = {
        {"AbreCupomFiscal",
         "IdConsumidor=\"12.345.678/0001-95\" NomeConsumidor=\"JO\xC3O DA CONCEI\xC7\xC3O "
         "\xC1VILA DE SOUZA E SILVA NETO JUNIOR\""},
        {"VendeItem",
         "CodAliquota=0 CodProduto=\"123456789012345678\" NomeProduto=\"A\xC7\xDA"
         "CAR CRISTAL ESPECIAL MUITO BEM REFINADO EM PACOTE DE CINCO QUILOS COM EMBALAGEM "
         "PL\xC1STICA REFOR\xC7"
         "ADA E ETIQUETA\" PrecoUnitario=12345,67 Quantidade=1234,567 "
         "Unidade=\"KG\""},
        {"VendeItem",
         "CodAliquota=1 CodProduto=\"5\" NomeProduto=\"CAF\xC9\" PrecoUnitario=1,00 Quantidade=10,000"},
        {"AcresceItemFiscal", "Cancelar=false NumItem=2 ValorAcrescimo=-5,00"},
        {"VendeItem",
         "CodAliquota=-3 CodProduto=\"6\" NomeProduto=\"MA\xC7\xC3\" PrecoUnitario=1,234 "
         "Quantidade=0,500"},
        {"VendeItem",
         "CodAliquota=-4 CodProduto=\"7\" NomeProduto=\"P\xC3O\" PrecoUnitario=0,10 Quantidade=3,000"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=15300000,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"AbreCupomFiscal", ""},
        {"VendeItem",
         "CodAliquota=2 CodProduto=\"8\" NomeProduto=\"LEITE\" PrecoUnitario=3,00 Quantidade=2,000"},
        {"CancelaCupom", "Operador=\"ANA\""},
        // The separator of the SPED fields inside a product code and a consumer's name.
        {"AbreCupomFiscal", "IdConsumidor=\"123.456.789-09\" NomeConsumidor=\"ANA|BIA\""},
        {"VendeItem",
         "CodAliquota=0 CodProduto=\"AB|CD\" NomeProduto=\"BARRA|FITA\" PrecoUnitario=2,00 "
         "Quantidade=1,000"},
        // A tab in a name and an item without a product code.
        {"VendeItem", "CodAliquota=0 NomeProduto=\"SEM\tCODIGO\" PrecoUnitario=1,00 Quantidade=1,000"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=3,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
    };
    return passos;
}

TEST_F(LeiauteRfd, ADayAtTheEdgesOfTheFieldsKeepsEveryLayout) {
    Envia(DiaDeBordas());
    if (HasFatalFailure()) return;
    Dia();
    if (HasFatalFailure()) return;
    ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto("1"), 1);
    const std::string rfd = UnicoRfd();
    ConfereArquivoAto(rfd);
    // The SPED records and the SINTEGRA file of that reduction's file.
    const std::string sped = home / "sped.txt", sintegra = home / "sintegra.txt";
    ASSERT_EQ(Tarvo_GeraRegistrosSpedTDM(rfd.c_str(), sped.c_str(), "01/01/2000", "31/12/2099", "T", "5102",
                                         "", "0", "0", 1, rfd.c_str()),
              1);
    ConfereArquivoSped(sped);
    tarvo::Sintegra() = {};
    // The informant's texts as a form hands them over: a tab, a line break, accents, punctuation.
    Tarvo_RelatorioSintegraMFDBinario(28, rfd.c_str(), sintegra.c_str(), "EMPRESA\tLTDA",
                                      "RUA DAS FLORES\r\nFUNDOS", "123", "SALA 2", "CENTRO", "S\xC3O PAULO",
                                      "01234-567", "(11) 5555-1234", "(11) 5555-4321", "MARIA\nJOS\xC9");
    ConfereArquivoSintegra(sintegra);

    // The same day's SINTEGRA records made while its RFD is made again over its date.
    std::string movimento;
    for (const auto& l : teste::LinhasCrLf(teste::LeArquivo(rfd)))
        if (l.rfind("E12", 0) == 0) movimento = l.substr(64, 8);
    ASSERT_EQ(movimento.size(), 8u);
    const std::string dia = movimento.substr(6, 2) + movimento.substr(4, 2) + movimento.substr(0, 4);
    tarvo::Sintegra() = {};
    tarvo::Estado().GeraSintegraAtivo = true;
    tarvo::Sintegra().Flag60D = tarvo::Sintegra().Flag60I = tarvo::Sintegra().Flag60R = true;
    tarvo::Sintegra().Registro10 =
        tarvo::MontaRegistro10("11222333000181", "ISENTO", tarvo::Sintegra().Informante, "", "");
    tarvo::Sintegra().Registro11 = tarvo::MontaRegistro11(tarvo::Sintegra().Informante);
    ASSERT_EQ(RFD_ConvertedaMFDData(dia.c_str(), dia.c_str()), 1) << tarvo::Erro().UltimaMensagem;
    ConfereArquivoSintegra(Rfdtemp("SINTEGRA.TXT"));
    tarvo::Sintegra() = {};
    tarvo::Estado().GeraSintegraAtivo = false;
}

// The other documents of a day: an X reading, a non-fiscal voucher, a receipt with a surcharge
// on its subtotal and a payment reversed; then a day with nothing sold before its reduction.
const std::vector<std::pair<const char*, std::string>>& OutrosDocumentos() {
    static const std::vector<std::pair<const char*, std::string>> passos = {
        {"EmiteLeituraX", ""},
        {"AbreCupomNaoFiscal", ""},
        {"EmiteItemNaoFiscal", "CodNaoFiscal=0 Valor=100,00"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=100,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"AbreCupomFiscal", ""},
        {"VendeItem",
         "CodAliquota=0 CodProduto=\"1\" NomeProduto=\"PAO\" PrecoUnitario=1,00 Quantidade=3,000"},
        {"AcresceSubtotal", "Cancelar=false ValorPercentual=5,00"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=3,15"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"EstornaMeioPagamento", "CodMeioPagamentoOrigem=-2 CodMeioPagamentoDestino=0 Valor=1,00"},
    };
    return passos;
}

TEST_F(LeiauteRfd, TheOtherDocumentsAndAnEmptyDayKeepEveryLayout) {
    Envia(OutrosDocumentos());
    if (HasFatalFailure()) return;
    ASSERT_EQ(tarvo::EnviaComandoTxt("EmiteReducaoZ", ""), 1);
    ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto("1"), 1);
    std::map<std::string, int> tipos;
    ConfereArquivoAto(UnicoRfd(), &tipos);
    EXPECT_GE(tipos["E16"], 3);
    fs::remove(UnicoRfd());

    e.Altera([](emulador::Impressora& p) { p.AjustaRelogio(emulador::DataHora{2030, 2, 28, 23, 59, 0}); });
    ASSERT_EQ(tarvo::EnviaComandoTxt("EmiteReducaoZ", ""), 1);
    ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto("2"), 1);
    const std::string rfd = UnicoRfd();
    ConfereArquivoAto(rfd);
    const std::string sped = home / "sped.txt", sintegra = home / "sintegra.txt";
    ASSERT_EQ(Tarvo_GeraRegistrosSpedTDM(rfd.c_str(), sped.c_str(), "01/01/2000", "31/12/2099", "T", "5102",
                                         "", "0", "0", 1, rfd.c_str()),
              1);
    ConfereArquivoSped(sped);
    tarvo::Sintegra() = {};
    Tarvo_RelatorioSintegraMFDBinario(28, rfd.c_str(), sintegra.c_str(), "EMPRESA", "RUA", "1", "", "", "",
                                      "", "", "", "");
    ConfereArquivoSintegra(sintegra);
    tarvo::Sintegra() = {};
    tarvo::Estado().GeraSintegraAtivo = false;
}

// Every model the library knows, with either way of finding a document's end date and time.
TEST_F(LeiauteRfd, TheFilesOfEveryModelKeepTheLayout) {
    for (std::size_t linha = 0; linha < emulador::Modelos().size(); ++linha) {
        SCOPED_TRACE(emulador::Modelos()[linha].modelo);
        e.Reinicia();
        e.Altera([&](emulador::Impressora& p) { emulador::AplicaModelo(p, linha); });
        for (const auto& a : fs::directory_iterator(home / "rfd")) fs::remove(a.path());
        fs::remove_all(Rfdtemp());
        Envia(OutrosDocumentos());
        if (HasFatalFailure()) return;
        Dia();
        if (HasFatalFailure()) return;
        ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto("1"), 1);
        ConfereArquivoAto(UnicoRfd());
    }
}

// --- SINTEGRA --------------------------------------------------------------------------------

const std::map<std::string, Leiaute>& LeiautesSintegra() {
    static const std::map<std::string, Leiaute> m = {
        {"10",
         {{"tipo", 2, 'K', "10"},
          {"CNPJ", 14, 'N'},
          {"IE", 14, 'X'},
          {"razao social", 35, 'X'},
          {"municipio", 30, 'X'},
          {"UF", 2, 'X'},
          {"fax", 10, 'N'},
          {"data inicial", 8, 'D'},
          {"data final", 8, 'D'},
          {"convenio", 1, 'K', "3"},
          {"natureza", 1, 'K', "3"},
          {"finalidade", 1, 'K', "1"}}},
        {"11",
         {{"tipo", 2, 'K', "11"},
          {"logradouro", 34, 'X'},
          {"numero", 5, 'N'},
          {"complemento", 22, 'X'},
          {"bairro", 15, 'X'},
          {"CEP", 8, 'N'},
          {"contato", 28, 'X'},
          {"telefone", 12, 'N'}}},
        {"60M",
         {{"tipo", 3, 'K', "60M"},
          {"data", 8, 'D'},
          {"serie", 20, 'X'},
          {"numero ECF", 3, 'N'},
          {"modelo", 2, 'K', "2D"},
          {"COO inicial", 6, 'N'},
          {"COO final", 6, 'N'},
          {"CRZ", 6, 'N'},
          {"CRO", 3, 'N'},
          {"venda bruta", 16, 'N'},
          {"GT final", 16, 'N'},
          {"brancos", 37, 'B'}}},
        {"60A",
         {{"tipo", 3, 'K', "60A"},
          {"data", 8, 'D'},
          {"serie", 20, 'X'},
          {"situacao", 4, 'X'},
          {"valor", 12, 'N'},
          {"brancos", 79, 'B'}}},
        {"60D",
         {{"tipo", 3, 'K', "60D"},
          {"data", 8, 'D'},
          {"serie", 20, 'X'},
          {"codigo", 14, 'X'},
          {"quantidade", 13, 'N'},
          {"valor", 16, 'N'},
          {"base", 16, 'N'},
          {"situacao", 4, 'X'},
          {"ICMS", 13, 'N'},
          {"brancos", 19, 'B'}}},
        {"60I",
         {{"tipo", 3, 'K', "60I"},
          {"data", 8, 'D'},
          {"serie", 20, 'X'},
          {"modelo", 2, 'K', "2D"},
          {"COO", 6, 'N'},
          {"item", 3, 'N'},
          {"codigo", 14, 'X'},
          {"quantidade", 13, 'N'},
          {"valor unitario", 13, 'N'},
          {"base", 12, 'N'},
          {"situacao", 4, 'X'},
          {"ICMS", 12, 'N'},
          {"brancos", 16, 'B'}}},
        // The 60R carries no tax value: blanks from its tax code on.
        {"60R",
         {{"tipo", 3, 'K', "60R"},
          {"mes e ano", 6, 'M'},
          {"codigo", 14, 'X'},
          {"quantidade", 13, 'N'},
          {"valor", 16, 'N'},
          {"base", 16, 'N'},
          {"situacao", 4, 'X'},
          {"brancos", 54, 'B'}}},
        {"75",
         {{"tipo", 2, 'K', "75"},
          {"data inicial", 8, 'D'},
          {"data final", 8, 'D'},
          {"codigo", 14, 'X'},
          {"NCM", 8, 'B'},
          {"descricao", 53, 'X'},
          {"unidade", 6, 'X'},
          {"IPI", 5, 'N'},
          {"ICMS", 4, 'N'},
          {"reducao", 5, 'N'},
          {"base ST", 13, 'N'}}},
        {"90",
         {{"tipo", 2, 'K', "90"},
          {"CNPJ", 14, 'N'},
          {"IE", 14, 'X'},
          {"tipo 60", 2, 'K', "60"},
          {"total 60", 8, 'N'},
          {"tipo 75", 2, 'K', "75"},
          {"total 75", 8, 'N'},
          {"tipo 99", 2, 'K', "99"},
          {"total", 8, 'N'},
          {"brancos", 65, 'B'},
          {"registros 90", 1, 'N'}}},
    };
    return m;
}

std::string TipoSintegra(const std::string& l) {
    return l.substr(0, l.rfind("60", 0) == 0 ? 3 : 2);
}

// Each record against its layout; the order 10, 11, the 60 records of each reduction (60M
// first, then 60A, 60D, 60I of its date), 60R, 75, 90; the 90's counts against the lines.
void ConfereArquivoSintegra(const std::string& arquivo) {
    SCOPED_TRACE(arquivo);
    const auto linhas = teste::LinhasCrLf(teste::LeArquivo(arquivo));
    ASSERT_GE(linhas.size(), 3u);
    static const std::map<std::string, int> kOrdem = {{"10", 0},  {"11", 1},  {"60M", 2},
                                                      {"60A", 2}, {"60D", 2}, {"60I", 2},
                                                      {"60R", 3}, {"75", 4},  {"90", 5}};
    static const std::map<std::string, int> kNaReducao = {{"60M", 0}, {"60A", 1}, {"60D", 2}, {"60I", 3}};
    std::map<std::string, std::size_t> conta;
    int anterior = -1, naReducao = -1;
    std::string reducao;
    // The keys that may appear once: 60A date, serial and situation; 60D date, serial and
    // product; 60R month, product and situation; 75 dates and product.
    std::set<std::string> chaves;
    for (const auto& l : linhas) {
        const std::string tipo = TipoSintegra(l);
        std::string chave;
        if (l.size() == 126) {
            if (tipo == "60A") chave = l.substr(0, 35);
            if (tipo == "60D") chave = l.substr(0, 45);
            if (tipo == "60R") chave = l.substr(0, 23) + l.substr(68, 4);
            if (tipo == "75") chave = l.substr(0, 32);
        }
        if (!chave.empty()) {
            EXPECT_TRUE(chaves.insert(chave).second) << "a second record of the same key: " << l;
        }
        auto it = LeiautesSintegra().find(tipo);
        ASSERT_TRUE(it != LeiautesSintegra().end()) << "unknown record: " << l;
        for (const auto& f : Confere(l, it->second)) ADD_FAILURE() << tipo << ": " << f << "\n  " << l;
        ++conta[tipo];
        const int ordem = kOrdem.at(tipo);
        EXPECT_GE(ordem, anterior) << "out of order: " << l;
        if (tipo == "10" || tipo == "11") {
            EXPECT_EQ(conta[tipo], 1u) << l;
        }
        if (ordem == 2) {
            const int k = kNaReducao.at(tipo);
            if (tipo == "60M") {
                EXPECT_TRUE(reducao.empty() || l.substr(3, 8) >= reducao) << "reductions out of order: " << l;
                reducao = l.substr(3, 8);
            } else {
                EXPECT_FALSE(reducao.empty()) << "a 60 record before any 60M: " << l;
                EXPECT_GE(k, naReducao) << "out of order within the reduction: " << l;
            }
            naReducao = k;
        }
        anterior = ordem;
    }
    EXPECT_EQ(linhas[0].substr(0, 2), "10");
    EXPECT_EQ(linhas[1].substr(0, 2), "11");
    const std::string& r90 = linhas.back();
    ASSERT_EQ(TipoSintegra(r90), "90");
    const std::size_t n60 = conta["60M"] + conta["60A"] + conta["60D"] + conta["60I"] + conta["60R"];
    if (r90.size() == 126) {
        EXPECT_EQ(std::stoul(r90.substr(32, 8)), n60) << r90;
        EXPECT_EQ(std::stoul(r90.substr(42, 8)), conta["75"]) << r90;
        EXPECT_EQ(std::stoul(r90.substr(52, 8)), linhas.size()) << r90;
        EXPECT_EQ(static_cast<std::size_t>(r90[125] - '0'), conta["90"]) << r90;
    }
}

class LeiauteSintegra : public teste::SintegraMesEmulador {};

TEST_F(LeiauteSintegra, TheMonthsFilesByEveryExportKeepTheLayout) {
    Mes();
    if (HasFatalFailure()) return;
    ASSERT_EQ(Relatorio(4 + 8 + 16, home / "mes.txt"), 1) << tarvo::Erro().UltimaMensagem;
    ConfereArquivoSintegra(home / "mes.txt");
    // A month before the first sale holds no reduction: refused with its error, and no file.
    EXPECT_EQ(Relatorio(4 + 8 + 16, home / "vazio.txt", "02", "2010"), 0);
    EXPECT_EQ(tarvo::Erro().UltimoRetorno, 8089);
    EXPECT_FALSE(fs::exists(home / "vazio.txt"));
    for (const auto& a : fs::directory_iterator(home / "rfd")) fs::remove(a.path());
    ASSERT_EQ(Relatorio(4 + 8 + 16, home / "mes.txt"), 1) << tarvo::Erro().UltimaMensagem;
    // The ATO file the month's export read (the dump way).
    ConfereArquivoAto(AtoDoMes());
    // The SPED records of that month's file.
    const std::string sped = home / "sped.txt";
    ASSERT_EQ(Tarvo_GeraRegistrosSpedTDM(AtoDoMes().c_str(), sped.c_str(), "01/03/2010", "31/03/2010", "T",
                                         "5102", "", "0", "0", 1, AtoDoMes().c_str()),
              1);
    ConfereArquivoSped(sped);
    // From that ATO file, each option alone.
    for (int flags : {0, 4, 8, 16}) {
        const std::string destino = home / ("f" + std::to_string(flags) + ".txt");
        ASSERT_EQ(Binario(flags, AtoDoMes(), destino), 1) << tarvo::Erro().UltimaMensagem;
        ConfereArquivoSintegra(destino);
    }
    // The RFD of the month's dates with SINTEGRA on, and the ATO files of its reductions.
    for (const auto& a : fs::directory_iterator(home / "rfd")) fs::remove(a.path());
    tarvo::Estado().GeraSintegraAtivo = true;
    tarvo::Sintegra().Flag60D = tarvo::Sintegra().Flag60I = tarvo::Sintegra().Flag60R = true;
    tarvo::Sintegra().Informante.uf = "SP";
    tarvo::Sintegra().Registro10 =
        tarvo::MontaRegistro10("11222333000181", "ISENTO", tarvo::Sintegra().Informante, "", "");
    tarvo::Sintegra().Registro11 = tarvo::MontaRegistro11(tarvo::Sintegra().Informante);
    ASSERT_EQ(RFD_ConvertedaMFDData("01032010", "31032010"), 1) << tarvo::Erro().UltimaMensagem;
    ConfereArquivoSintegra(Rfdtemp("SINTEGRA.TXT"));
    for (const auto& a : fs::directory_iterator(home / "rfd")) ConfereArquivoAto(a.path().string());
}

// --- SPED block C ----------------------------------------------------------------------------

// Kind of a SPED field: C text of at most `largura` characters; N integer of at most `largura`
// digits; V a number with at most `decimais` decimals after a comma; D date ddmmyyyy; K the
// literal. `obrigatorio` false lets the field be empty.
struct CampoSped {
    const char* nome;
    char tipo;
    int largura = 0;
    int decimais = 0;
    bool obrigatorio = true;
    const char* literal = nullptr;
};

const std::map<std::string, std::vector<CampoSped>>& LeiautesSped() {
    static const std::map<std::string, std::vector<CampoSped>> m = {
        {"C400",
         {{"COD_MOD", 'K', 2, 0, true, "2D"},
          {"ECF_MOD", 'C', 20},
          {"ECF_FAB", 'C', 21},
          {"ECF_CX", 'N', 3}}},
        {"C405",
         {{"DT_DOC", 'D'},
          {"CRO", 'N', 3},
          {"CRZ", 'N', 6},
          {"NUM_COO_FIN", 'N', 9},
          {"GT_FIN", 'V', 0, 2},
          {"VL_BRT", 'V', 0, 2}}},
        {"C410", {{"VL_PIS", 'V', 0, 2, false}, {"VL_COFINS", 'V', 0, 2, false}}},
        {"C420",
         {{"COD_TOT_PAR", 'C', 7},
          {"VLR_ACUM_TOT", 'V', 0, 2},
          {"NR_TOT", 'N', 2, 0, false},
          {"DESCR_NR_TOT", 'C', 0, 0, false}}},
        {"C425",
         {{"COD_ITEM", 'C', 60},
          {"QTD", 'V', 0, 3},
          {"UNID", 'C', 6},
          {"VL_ITEM", 'V', 0, 2},
          {"VL_PIS", 'V', 0, 2, false},
          {"VL_COFINS", 'V', 0, 2, false}}},
        {"C460",
         {{"COD_MOD", 'K', 2, 0, true, "2D"},
          {"COD_SIT", 'N', 2},
          {"NUM_DOC", 'N', 9},
          {"DT_DOC", 'D', 0, 0, false},
          {"VL_DOC", 'V', 0, 2, false},
          {"VL_PIS", 'V', 0, 2, false},
          {"VL_COFINS", 'V', 0, 2, false},
          {"CPF_CNPJ", 'N', 14, 0, false},
          {"NOM_ADQ", 'C', 60, 0, false}}},
        {"C470",
         {{"COD_ITEM", 'C', 60},
          {"QTD", 'V', 0, 3},
          {"QTD_CANC", 'V', 0, 3, false},
          {"UNID", 'C', 6},
          {"VL_ITEM", 'V', 0, 2},
          {"CST_ICMS", 'N', 3},
          {"CFOP", 'N', 4},
          {"ALIQ_ICMS", 'V', 0, 2, false},
          {"VL_PIS", 'V', 0, 2, false},
          {"VL_COFINS", 'V', 0, 2, false}}},
        {"C490",
         {{"CST_ICMS", 'N', 3},
          {"CFOP", 'N', 4},
          {"ALIQ_ICMS", 'V', 0, 2, false},
          {"VL_OPR", 'V', 0, 2},
          {"VL_BC_ICMS", 'V', 0, 2},
          {"VL_ICMS", 'V', 0, 2},
          {"COD_OBS", 'C', 6, 0, false}}},
        {"C495",
         {{"ALIQ_ICMS", 'V', 0, 2, false},
          {"COD_ITEM", 'C', 60},
          {"QTD", 'V', 0, 3},
          {"QTD_CANC", 'V', 0, 3, false},
          {"UNID", 'C', 6},
          {"VL_ITEM", 'V', 0, 2},
          {"VL_DESC", 'V', 0, 2, false},
          {"VL_CANC", 'V', 0, 2, false},
          {"VL_ACMO", 'V', 0, 2, false},
          {"VL_BC_ICMS", 'V', 0, 2, false},
          {"VL_ICMS", 'V', 0, 2, false},
          {"VL_ISEN", 'V', 0, 2, false},
          {"VL_NT", 'V', 0, 2, false},
          {"VL_ICMS_ST", 'V', 0, 2, false}}},
    };
    return m;
}

std::vector<std::string> ConfereSped(const std::vector<std::string>& campos) {
    std::vector<std::string> faltas;
    auto it = LeiautesSped().find(campos.at(0));
    if (it == LeiautesSped().end()) return {"unknown record"};
    const auto& leiaute = it->second;
    if (campos.size() != leiaute.size() + 1)
        faltas.push_back(std::to_string(campos.size() - 1) + " fields, not " +
                         std::to_string(leiaute.size()));
    for (std::size_t i = 0; i < leiaute.size() && i + 1 < campos.size(); ++i) {
        const CampoSped& c = leiaute[i];
        const std::string& v = campos[i + 1];
        const std::string onde = std::string(c.nome) + " \"" + v + "\"";
        if (v.empty()) {
            if (c.obrigatorio) faltas.push_back(onde + ": empty");
            continue;
        }
        if (v.front() == ' ' || v.back() == ' ') faltas.push_back(onde + ": blanks around it");
        switch (c.tipo) {
            case 'K':
                if (v != c.literal) faltas.push_back(onde + ": not " + c.literal);
                break;
            case 'C':
                if (c.largura && v.size() > static_cast<std::size_t>(c.largura))
                    faltas.push_back(onde + ": too long");
                break;
            case 'N':
                if (!Digitos(v) || v.size() > static_cast<std::size_t>(c.largura))
                    faltas.push_back(onde + ": not an integer of " + std::to_string(c.largura) + " digits");
                break;
            case 'D':
                if (!DataDdMmAaaa(v)) faltas.push_back(onde + ": not a date ddmmyyyy");
                break;
            case 'V': {
                const std::size_t virgula = v.find(',');
                const std::string inteira = v.substr(0, virgula);
                const std::string decimais = virgula == std::string::npos ? "" : v.substr(virgula + 1);
                if (!Digitos(inteira) || (virgula != std::string::npos && !Digitos(decimais)) ||
                    decimais.size() > static_cast<std::size_t>(c.decimais))
                    faltas.push_back(onde + ": not a number of " + std::to_string(c.decimais) + " decimals");
                break;
            }
        }
    }
    return faltas;
}

// Each record against its layout, and the hierarchy: C400 first; under each C405 its C410,
// then each C420 with its C425, then each C460 with its C470, then its C490; C495 last.
void ConfereArquivoSped(const std::string& arquivo) {
    SCOPED_TRACE(arquivo);
    const std::string texto = teste::LeArquivo(arquivo);
    const auto linhas = teste::LinhasCrLf(texto);
    ASSERT_FALSE(linhas.empty());
    static const std::map<std::string, int> kNivel = {{"C405", 0}, {"C410", 1}, {"C420", 2}, {"C425", 2},
                                                      {"C460", 3}, {"C470", 3}, {"C490", 4}};
    std::string anterior;
    int nivel = -1;
    // The keys that may appear once: C420 code and C490 CST, CFOP and rate within a reduction,
    // C425 item within its totalizer, C495 rate and item within the file.
    std::set<std::string> chaves;
    std::string reducao, totalizador;
    for (const auto& l : linhas) {
        std::string motivo;
        EXPECT_TRUE(TextoImprimivel(l, motivo)) << motivo << ": " << l;
        const auto campos = teste::sped::Campos(l);
        ASSERT_FALSE(campos.empty()) << "not a SPED record: " << l;
        const std::string& reg = campos[0];
        if (reg == "C405") reducao = l;
        if (reg == "C420") totalizador = l;
        std::string chave;
        if (reg == "C420" && campos.size() > 1) chave = reducao + reg + campos[1];
        if (reg == "C425" && campos.size() > 1) chave = reducao + totalizador + reg + campos[1];
        if (reg == "C490" && campos.size() > 3)
            chave = reducao + reg + campos[1] + "|" + campos[2] + "|" + campos[3];
        if (reg == "C495" && campos.size() > 2) chave = reg + campos[1] + "|" + campos[2];
        if (!chave.empty()) {
            EXPECT_TRUE(chaves.insert(chave).second) << "a second record of the same key: " << l;
        }
        for (const auto& f : ConfereSped(campos)) ADD_FAILURE() << reg << ": " << f << "\n  " << l;
        if (anterior.empty()) {
            EXPECT_EQ(reg, "C400") << l;
        } else if (reg == "C400") {
            ADD_FAILURE() << "a second C400: " << l;
        } else if (reg == "C495") {
            EXPECT_NE(anterior, "C400") << l;
        } else {
            EXPECT_NE(anterior, "C495") << "after the C495 records: " << l;
            const int n = kNivel.at(reg);
            if (reg == "C405") {
                nivel = 0;
            } else {
                EXPECT_NE(anterior, "C400") << "no C405 above: " << l;
                EXPECT_GE(n, nivel) << "out of order within the reduction: " << l;
                if (reg == "C425") {
                    EXPECT_TRUE(anterior == "C420" || anterior == "C425") << l;
                }
                if (reg == "C470") {
                    EXPECT_TRUE(anterior == "C460" || anterior == "C470") << l;
                }
                nivel = n;
            }
        }
        anterior = reg;
    }
}

class LeiauteSped : public teste::SpedEmulador {};

TEST_F(LeiauteSped, TheRecordsOfEveryProfileKeepTheLayout) {
    Periodo();
    if (HasFatalFailure()) return;
    for (const char* perfil : {"A", "B", "T"}) {
        SCOPED_TRACE(perfil);
        Sped(perfil);
        ConfereArquivoSped(saida);
    }
    // The ATO file of the period the records came from.
    ConfereArquivoAto(ato);
}

}  // namespace
