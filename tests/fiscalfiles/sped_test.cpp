// SPED block C records from ATO lines: fields, totals, merges, attributions, profiles, the
// checks of the call and the file the exports write.
#include "driver/fiscalfiles/sped.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <locale>
#include <map>

#include "comum/ambiente.h"
#include "driver/core/configuracao.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/campo_ato.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/sped_ato.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
using namespace teste::sped;
using Linhas = std::vector<std::vector<std::string>>;

struct Resultado {
    int codigo = 0;
    std::string erro;
    Linhas linhas;
    Linhas De(const std::string& registro) const {
        Linhas r;
        for (const auto& l : linhas)
            if (!l.empty() && l[0] == registro) r.push_back(l);
        return r;
    }
};

Resultado Gera(const std::vector<std::string>& ato, const std::string& perfil = "T",
               const std::string& cfop = "5102") {
    RegistrosSped r(cfop);
    for (const auto& l : ato) r.Linha(l);
    Resultado res;
    res.codigo = r.Conclui(res.erro);
    if (res.codigo == 1) r.Grava(perfil, [&](const std::string& l) { res.linhas.push_back(Campos(l)); });
    return res;
}

// Two reductions: COO 1-3 on the 1st (Z at COO 4), COO 5-6 on the 2nd (Z at COO 7).
std::vector<std::string> DoisDias() {
    std::vector<std::string> l = {E01(),
                                  E02("0"),  // a fresh printer's registration
                                  E11(2, 7, "150000"),
                                  E12(1, 4, "20100301", "10000"),
                                  E12(2, 7, "20100302", "5000"),
                                  E13(1, "01T1800", "8000"),
                                  E13(1, "F1", "2000"),
                                  E13(1, "N1", "0"),
                                  E13(2, "01T1800", "5000")};
    Documento d1{.coo = 1, .subtotal = "8000", .total = "8000", .nome = "JOSE", .cpfCnpj = "12345678909"};
    Documento d2{.coo = 2, .subtotal = "2000", .total = "2000"};
    Documento d3{.coo = 3, .subtotal = "900", .total = "900", .cancelado = "S"};
    Documento d5{.coo = 5, .data = "20100302", .subtotal = "5000", .total = "5000"};
    for (const auto& d : {d1, d2, d3, d5}) l.push_back(E14(d));
    l.push_back(E15({.coo = 1, .numero = 1, .codigo = "A", .quantidade = "2000", .unitario = "2000"}));
    l.push_back(E15({.coo = 1, .numero = 2, .codigo = "A", .quantidade = "1000", .unitario = "2000"}));
    l.push_back(E15({.coo = 1, .numero = 3, .codigo = "C", .unitario = "700", .cancelado = "S"}));
    l.push_back(E15({.coo = 2, .numero = 1, .codigo = "B", .unitario = "2000", .totalizador = "F1"}));
    l.push_back(E15({.coo = 3, .numero = 1, .codigo = "D", .unitario = "900"}));
    l.push_back(E15({.coo = 5, .numero = 1, .codigo = "A", .quantidade = "2500", .unitario = "2000"}));
    l.push_back("EAD0123456789");
    return l;
}

TEST(SpedRegistros, EveryLineHasItsRegistersFieldCountUnderEachProfile) {
    for (const std::string perfil : {"A", "B", "T"}) {
        SCOPED_TRACE(perfil);
        Resultado r = Gera(DoisDias(), perfil);
        ASSERT_EQ(r.codigo, 1) << r.erro;
        std::map<std::string, int> contagem;
        for (const auto& l : r.linhas) {
            ASSERT_FALSE(l.empty());
            ASSERT_TRUE(kCampos.count(l[0])) << l[0];
            EXPECT_EQ(l.size(), kCampos.at(l[0])) << l[0];
            ++contagem[l[0]];
        }
        EXPECT_EQ(contagem["C400"], 1);
        EXPECT_EQ(contagem["C405"], 2);
        EXPECT_EQ(contagem["C425"] > 0, perfil != "A");
        EXPECT_EQ(contagem["C460"] > 0, perfil != "B");
        EXPECT_EQ(contagem["C470"] > 0, perfil != "B");
        EXPECT_EQ(contagem["C495"] > 0, perfil == "T");
        EXPECT_GT(contagem["C490"], 0);
    }
}

TEST(SpedRegistros, TheFileIsWrittenInTheWritersOrder) {
    Resultado r = Gera(DoisDias(), "T");
    ASSERT_EQ(r.codigo, 1);
    std::vector<std::string> ordem;
    for (const auto& l : r.linhas)
        ordem.push_back(l[0] + (l[0] == "C420" ? ":" + l[1] : l[0] == "C460" ? ":" + l[3] : ""));
    const std::vector<std::string> esperado = {
        "C400", "C405",        "C420:T1800", "C425",        "C420:F1", "C425", "C460:000001", "C470",
        "C470", "C460:000002", "C470",       "C460:000003", "C490",    "C490", "C405",        "C420:T1800",
        "C425", "C460:000005", "C470",       "C490",        "C495",    "C495"};
    EXPECT_EQ(ordem, esperado);
    EXPECT_EQ(r.linhas[0], (std::vector<std::string>{"C400", "2D", "RIX 4000", kSerie, "007"}));
}

TEST(SpedRegistros, FinalGrandTotalsComeFromTheE11GrandTotalLessLaterGrossSales) {
    Resultado r = Gera(DoisDias());
    ASSERT_EQ(r.codigo, 1);
    auto z = r.De("C405");
    ASSERT_EQ(z.size(), 2u);
    EXPECT_EQ(z[0],
              (std::vector<std::string>{"C405", "01032010", "001", "000001", "000004", "1450,00", "100,00"}));
    EXPECT_EQ(z[1],
              (std::vector<std::string>{"C405", "02032010", "001", "000002", "000007", "1500,00", "50,00"}));
}

TEST(SpedRegistros, TwoReductionsOfAThousandGrandTotal) {
    Resultado r = Gera({E01(), E02("0"), E11(2, 2, "100000"), E12(1, 1, "20100301", "10000"),
                        E12(2, 2, "20100302", "5000")});
    ASSERT_EQ(r.codigo, 1) << r.erro;
    auto z = r.De("C405");
    ASSERT_EQ(z.size(), 2u);
    EXPECT_EQ(z[0][5], "950,00");
    EXPECT_EQ(z[1][5], "1000,00");
}

// A fresh printer whose GT is the period's sales, a "|" in a code or a buyer's name and a tab
// in a code: no negative total, no field split in two, no line broken.
TEST(SpedRegistros, NoRecordGetsANegativeGrandTotalOrAFieldSplitBySeparator) {
    Resultado r = Gera({E01(), E02("0"), E11(2, 6, "15000"), E12(1, 3, "20100301", "10000"),
                        E12(2, 6, "20100302", "5000"),
                        E14({.coo = 1, .subtotal = "200", .total = "200", .nome = "ANA|BIA"}),
                        E15({.coo = 1, .codigo = "AB|CD", .unitario = "200"}),
                        E15({.coo = 1, .numero = 2, .codigo = "X\tY", .unitario = "100"})});
    ASSERT_EQ(r.codigo, 1) << r.erro;
    auto z = r.De("C405");
    ASSERT_EQ(z.size(), 2u);
    EXPECT_EQ(z[0][5], "100,00");
    EXPECT_EQ(z[1][5], "150,00");
    for (const auto& l : r.linhas) EXPECT_EQ(l.size(), kCampos.at(l.at(0))) << l[0];
    ASSERT_EQ(r.De("C470").size(), 2u);
    EXPECT_EQ(r.De("C470")[0][1], "AB CD");
    EXPECT_EQ(r.De("C470")[1][1], "X Y");
    EXPECT_EQ(r.De("C460")[0][9], "ANA BIA");
}

TEST(SpedRegistros, TotalizerCodesAndNumbersOfC420) {
    Resultado r = Gera(DoisDias());
    auto t = r.De("C420");
    ASSERT_EQ(t.size(), 3u);  // the N1 of value zero is left out
    EXPECT_EQ(t[0], (std::vector<std::string>{"C420", "T1800", "80,00", "01", ""}));
    EXPECT_EQ(t[1], (std::vector<std::string>{"C420", "F1", "20,00", "", ""}));
}

TEST(SpedRegistros, C425MergesAReductionsItemsAndFollowsItsTotalizer) {
    Resultado r = Gera(DoisDias(), "T");
    auto c = r.De("C425");
    // Day 1: A (2 + 1 units of 20,00), B under F1; day 2: A again, its own reduction. The
    // cancelled item C and the item D of a cancelled receipt were not sold.
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0], (std::vector<std::string>{"C425", "A", "3,000", "UN", "60,00", "", ""}));
    EXPECT_EQ(c[1], (std::vector<std::string>{"C425", "B", "1,000", "UN", "20,00", "", ""}));
    EXPECT_EQ(c[2], (std::vector<std::string>{"C425", "A", "2,500", "UN", "50,00", "", ""}));
}

TEST(SpedRegistros, CancelledDocumentAndItemGiveNoItemLinesAndNoTotals) {
    Resultado r = Gera(DoisDias(), "T");
    auto docs = r.De("C460");
    ASSERT_EQ(docs.size(), 4u);
    EXPECT_EQ(docs[2], (std::vector<std::string>{"C460", "2D", "02", "000003", "", "", "", "", "", ""}));
    EXPECT_EQ(docs[0], (std::vector<std::string>{"C460", "2D", "00", "000001", "01032010", "80,00", "0", "0",
                                                 "12345678909", "JOSE"}));
    auto itens = r.De("C470");
    ASSERT_EQ(itens.size(), 4u);  // C (cancelled) and D (cancelled document) are not written
    for (const auto& i : itens) EXPECT_TRUE(i[1] == "A" || i[1] == "B") << i[1];
    EXPECT_EQ(itens[0], (std::vector<std::string>{"C470", "A", "2,000", "0,000", "UN", "40,00", "000", "5102",
                                                  "18,00", "0", "0"}));
    EXPECT_EQ(itens[2][6], "060");
    auto c490 = r.De("C490");
    ASSERT_EQ(c490.size(), 3u);
    // 60,00 of A taxed at 18 %: 10,80; B (substitution) has no base. COD_OBS is empty.
    EXPECT_EQ(c490[0],
              (std::vector<std::string>{"C490", "000", "5102", "18,00", "60,00", "60,00", "10,80", ""}));
    EXPECT_EQ(c490[1],
              (std::vector<std::string>{"C490", "060", "5102", "0,00", "20,00", "0,00", "0,00", ""}));
    EXPECT_EQ(c490[2],
              (std::vector<std::string>{"C490", "000", "5102", "18,00", "50,00", "50,00", "9,00", ""}));
}

TEST(SpedRegistros, C495MergesByItemAndTotalizerAndFillsTheKindColumns) {
    std::vector<std::string> l = {E01(), E02("100000"), E11(1, 9, "100000"), E12(1, 9, "20100301", "100000"),
                                  E14({.coo = 1, .subtotal = "3000", .total = "3000"})};
    l.push_back(E15({.coo = 1, .numero = 1, .codigo = "X", .quantidade = "1000", .unitario = "1000"}));
    l.push_back(E15({.coo = 1,
                     .numero = 2,
                     .codigo = "X",
                     .quantidade = "1500",
                     .unitario = "1000",
                     .desconto = "10",
                     .quantidadeCancelada = "500",
                     .valorCancelado = "500"}));
    l.push_back(E15({.coo = 1, .numero = 3, .codigo = "Y", .unitario = "500", .totalizador = "NS1"}));
    l.push_back(E15({.coo = 1, .numero = 4, .codigo = "Z", .unitario = "300", .totalizador = "F1"}));
    l.push_back(E15({.coo = 1, .numero = 5, .codigo = "W", .unitario = "300", .totalizador = "I1"}));
    // 2,50 (2 decimals) x 1,234 (3 decimals) = 3,085: the line's own decimals count.
    l.push_back(E15({.coo = 1,
                     .numero = 6,
                     .codigo = "V",
                     .quantidade = "250",
                     .unitario = "1234",
                     .decQuantidade = "2",
                     .decUnitario = "3"}));
    Resultado r = Gera(l);
    ASSERT_EQ(r.codigo, 1) << r.erro;
    auto c = r.De("C495");
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c[4][3], "2,500");
    EXPECT_EQ(c[4][6], "3,09");
    EXPECT_EQ(c[4][11], "0,56");  // 18 % of 3,09
    // 2,500 x 10,00 = 25,00; the tax column is 18 % of it.
    EXPECT_EQ(c[0], (std::vector<std::string>{"C495", "18,00", "X", "2,500", "0,500", "UN", "25,00", "0,10",
                                              "5,00", "0", "25,00", "4,50", "0", "0", "0"}));
    EXPECT_EQ(c[1], (std::vector<std::string>{"C495", "0", "Y", "1,000", "0", "UN", "5,00", "0", "0", "0",
                                              "5,00", "0", "0", "5,00", "5,00"}));
    EXPECT_EQ(c[2], (std::vector<std::string>{"C495", "0", "Z", "1,000", "0", "UN", "3,00", "0", "0", "0",
                                              "3,00", "0", "0", "0", "0"}));
    EXPECT_EQ(c[3][12], "3,00");  // exempt
}

TEST(SpedRegistros, SubtotalAdjustmentsAreSharedAmongTheItemsToTheCent) {
    // A subtotal of 3,00 with a discount of 1,00 and items of 1,00 and 2,00; another document
    // with a surcharge of 0,50 on 2,00; a third with a discount of 10,00 % (kind "P" holds
    // the percentage) on 2,99 that the printer made 0,30 (its net total 2,69).
    std::vector<std::string> l = {
        E01(),
        E02("100000"),
        E11(1, 9, "100000"),
        E12(1, 9, "20100301", "100000"),
        E14({.coo = 1, .subtotal = "300", .desconto = "100", .total = "200"}),
        E14({.coo = 2, .subtotal = "200", .acrescimo = "50", .total = "250"}),
        E14({.coo = 3, .subtotal = "299", .desconto = "1000", .tipoDesconto = "P", .total = "269"})};
    l.push_back(E15({.coo = 1, .numero = 1, .codigo = "A", .unitario = "100"}));
    l.push_back(E15({.coo = 1, .numero = 2, .codigo = "B", .unitario = "200"}));
    l.push_back(E15({.coo = 2, .numero = 1, .codigo = "C", .unitario = "200"}));
    l.push_back(E15({.coo = 3, .numero = 1, .codigo = "D", .unitario = "200"}));
    // 0,333 x 1,50 = 0,4995: 0,50 after rounding half up, 0,49 when the printer truncated.
    l.push_back(E15({.coo = 3, .numero = 2, .codigo = "E", .quantidade = "333", .unitario = "150"}));
    l.push_back(E15({.coo = 3,
                     .numero = 3,
                     .codigo = "F",
                     .quantidade = "333",
                     .unitario = "150",
                     .arredondamento = "T"}));
    Resultado r = Gera(l);
    ASSERT_EQ(r.codigo, 1) << r.erro;
    auto i = r.De("C470");
    ASSERT_EQ(i.size(), 6u);
    EXPECT_EQ(i[0][5], "0,67");  // 1,00 - 0,33
    EXPECT_EQ(i[1][5], "1,33");  // 2,00 - 0,67: the cent left over to the larger fraction
    EXPECT_EQ(i[2][5], "2,50");
    // 0,30 over 2,00, 0,50 and 0,49: 0,20, 0,05 and 0,04 cut, the cent left to the last.
    EXPECT_EQ(i[3][5], "1,80");
    EXPECT_EQ(i[4][5], "0,45");
    EXPECT_EQ(i[4][2], "0,333");
    EXPECT_EQ(i[5][5], "0,44");
    // Each document's items add up to its net total.
    auto c490 = r.De("C490");
    ASSERT_EQ(c490.size(), 1u);
    EXPECT_EQ(c490[0][4], "7,19");  // 2,00 + 2,50 + 2,69
}

TEST(SpedRegistros, ItemsGoToTheReductionThatHoldsThem) {
    std::vector<std::string> l = {E01(),
                                  E02("100000"),
                                  E11(3, 9, "600"),
                                  E12(1, 3, "20100301", "100"),
                                  E12(2, 6, "20100302", "200"),
                                  E12(3, 9, "20100303", "300")};
    for (int coo : {1, 4, 5, 7}) {
        l.push_back(E14({.coo = coo, .subtotal = "100", .total = "100"}));
        l.push_back(E15({.coo = coo, .codigo = "A", .unitario = "100"}));
    }
    Resultado r = Gera(l, "T");
    ASSERT_EQ(r.codigo, 1) << r.erro;
    std::vector<std::string> ordem;
    for (const auto& x : r.linhas)
        if (x[0] == "C405" || x[0] == "C460" || x[0] == "C490")
            ordem.push_back(x[0] + ":" + x[x[0] == "C490" ? 4 : 3]);
    EXPECT_EQ(ordem, (std::vector<std::string>{"C405:000001", "C460:000001", "C490:1,00", "C405:000002",
                                               "C460:000004", "C460:000005", "C490:2,00", "C405:000003",
                                               "C460:000007", "C490:1,00"}));
}

TEST(SpedRegistros, IncompleteFilesAreClearFailures) {
    std::string erro;
    {
        RegistrosSped r("5102");
        for (const auto& l : {E01(), E02("1"), E14({.coo = 1}), E15({.coo = 1})}) r.Linha(l);
        EXPECT_EQ(r.Conclui(erro), SpedArquivoInconsistente);
        EXPECT_NE(erro.find("E12"), std::string::npos);
    }
    {
        RegistrosSped r("5102");
        for (const auto& l : {E01(), E02("1"), E11(1, 5, "1"), E12(1, 5, "20100301", "1"), E15({.coo = 2})})
            r.Linha(l);
        EXPECT_EQ(r.Conclui(erro), SpedArquivoInconsistente);
        EXPECT_NE(erro.find("E14"), std::string::npos);
    }
    {
        RegistrosSped r("5102");
        EXPECT_EQ(r.Conclui(erro), SpedArquivoInconsistente);
    }
    // Short and damaged lines are read as far as they go.
    RegistrosSped r("5102");
    for (const auto& l :
         {E01(), std::string("E02"), std::string("E12"), std::string("E1"), std::string("E15xx")})
        r.Linha(l);
    EXPECT_EQ(r.Conclui(erro), SpedArquivoInconsistente);  // the E15 has no document
}

TEST(SpedRegistros, AFileWithoutEadKeepsItsLastRecord) {
    std::vector<std::string> l = DoisDias();
    l.pop_back();  // no EAD: the last E15 is the last line
    Resultado r = Gera(l);
    ASSERT_EQ(r.codigo, 1);
    EXPECT_EQ(r.De("C470").back()[2], "2,500");
}

TEST(SpedRegistros, AmountsKeepTheCommaWhateverTheLocale) {
    const std::string antes = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");  // decimal point "."
    std::locale antigo = std::locale::global(std::locale::classic());
    Resultado r = Gera(DoisDias());
    std::locale::global(antigo);
    std::setlocale(LC_ALL, antes.c_str());
    ASSERT_EQ(r.codigo, 1);
    EXPECT_EQ(r.De("C405")[0][5], "1450,00");
    for (const auto& l : r.linhas)
        for (const auto& c : l) EXPECT_EQ(c.find('.'), std::string::npos) << l[0] << " " << c;
}

TEST(SpedPecas, CstOfTheTotalizer) {
    EXPECT_EQ(CstTotalizador("01T1800"), "000");
    EXPECT_EQ(CstTotalizador("F1"), "060");
    EXPECT_EQ(CstTotalizador("I1"), "040");
    EXPECT_EQ(CstTotalizador("NS1"), "041");
    EXPECT_EQ(CstTotalizador("01S0500"), "090");
    EXPECT_EQ(CstTotalizador(""), "090");
}

TEST(SpedPecas, CpfAndCnpjOfTheBuyer) {
    EXPECT_TRUE(CpfValido("12345678909"));
    EXPECT_FALSE(CpfValido("12345678900"));
    EXPECT_FALSE(CpfValido("11111111111"));
    EXPECT_FALSE(CpfValido("123456789090"));
    EXPECT_TRUE(CnpjValido("11222333000181"));
    EXPECT_TRUE(CnpjValido("11.222.333/0001-81"));
    EXPECT_FALSE(CnpjValido("11222333000182"));
    EXPECT_FALSE(CnpjValido("11-222.333/0001-81"));
    EXPECT_FALSE(CnpjValido("00000000000000"));

    EXPECT_EQ(LimpaCpfCnpj("00012345678909"), "12345678909");  // a CPF in the 14-digit field
    EXPECT_EQ(LimpaCpfCnpj("00012345678900"), "");
    EXPECT_EQ(LimpaCpfCnpj("11222333000181"), "11222333000181");
    EXPECT_EQ(LimpaCpfCnpj("11222333000180"), "");
    EXPECT_EQ(LimpaCpfCnpj("00000000000000"), "");
    EXPECT_EQ(LimpaCpfCnpj("              "), "");
    EXPECT_EQ(LimpaCpfCnpj("00000000000191"), "00000000191");     // three zeros or more: a CPF
    EXPECT_EQ(LimpaCpfCnpj("01234567000195"), "01234567000195");  // one zero: all 14 kept
    // A CNPJ beginning with "00" is a valid CNPJ, not twelve digits of nothing.
    EXPECT_EQ(LimpaCpfCnpj("00123456000149"), "00123456000149");
    EXPECT_EQ(LimpaCpfCnpj("00123456000148"), "");
}

TEST(SpedPecas, FixedNotationAndRounding) {
    EXPECT_EQ(FormataFixo(0, 2), "0,00");
    EXPECT_EQ(FormataFixo(5, 2), "0,05");
    EXPECT_EQ(FormataFixo(-150, 2), "-1,50");
    EXPECT_EQ(FormataFixo(123456789012345678, 2), "1234567890123456,78");
    EXPECT_EQ(FormataFixo(7, 0), "7");
    EXPECT_EQ(DivideArredonda(4995, 1, 10), 500);
    EXPECT_EQ(DivideArredonda(4994, 1, 10), 499);
    EXPECT_EQ(DivideArredonda(-4995, 1, 10), -500);
    EXPECT_EQ(DivideArredonda(1, 1, 0), 0);
    // A product beyond 64 bits is still divided exactly.
    EXPECT_EQ(DivideArredonda(9000000000000000000, 10, 100), 900000000000000000);
    // A quotient beyond 64 bits is an error, never a wrapped figure.
    EXPECT_THROW(DivideArredonda(9000000000000000000, 10, 1), ErroArquivoFiscal);
    EXPECT_EQ(RateiaValor(-2, {1, 0, 1, 1}), (std::vector<std::int64_t>{-1, 0, -1, 0}));
}

// The GT at a reduction's end only from an E11 read with nothing sold after the file's last
// reduction: a later reading of the printer (COO moved by readings, same CCF) is one.
TEST(SpedRegistros, TheGrandTotalNeedsAnE11OfTheLastReduction) {
    struct Caso {
        const char* nome;
        std::vector<std::string> e11;
        const char* gtFinal;  // of the last C405; nullptr: no file
    };
    auto e11Ccf = [](int crz, int coo, int ccf, const char* gt) {
        std::string l = E11(crz, coo, gt);
        return l.replace(68, 6, tarvo::PreencheZerosEsquerda(std::to_string(ccf), 6));
    };
    const Caso casos[] = {
        {"no E11", {}, nullptr},
        {"an E11 of another reduction", {E11(1, 4, "100000")}, nullptr},
        {"an E11 of the last reduction", {E11(2, 4, "100000")}, "1000,00"},
        {"an E11 after readings", {e11Ccf(2, 6, 3, "100000")}, "1000,00"},
        {"an E11 after a later receipt", {e11Ccf(2, 6, 4, "100000")}, nullptr},
    };
    for (const Caso& c : casos) {
        std::vector<std::string> l = {E01(), E02("0"), E12(1, 2, "20100301", "100"),
                                      E12(2, 4, "20100302", "200")};
        l.insert(l.end(), c.e11.begin(), c.e11.end());
        l.push_back(E14({.coo = 3, .subtotal = "200", .total = "200"}));  // CCF 3, after the last Z
        Resultado r = Gera(l);
        if (!c.gtFinal) {
            EXPECT_EQ(r.codigo, SpedArquivoInconsistente) << c.nome;
            EXPECT_NE(r.erro.find("E11"), std::string::npos) << c.nome << ": " << r.erro;
            continue;
        }
        ASSERT_EQ(r.codigo, 1) << c.nome << ": " << r.erro;
        EXPECT_EQ(r.De("C405").back()[5], c.gtFinal) << c.nome;
        EXPECT_EQ(r.De("C405").front()[5], "998,00") << c.nome;
    }
}

// --- the call --------------------------------------------------------------------------------

class SpedChamada : public teste::PastaRfd {
  protected:
    std::string ato = home / "ato.txt";
    std::string saida = home / "sped.txt";
    void SetUp() override { teste::EscreveLinhasCrLf(ato, DoisDias()); }
    ParametrosSped Parametros() const {
        return {ato, saida, "01/03/2010", "31/03/2010", "T", "5102", "obs", "0", "1,5", true, ato};
    }
};

TEST_F(SpedChamada, TheChecksOfTheCall) {
    ParametrosSped p = Parametros();
    EXPECT_EQ(ValidaParametrosSped(p), 1);
    for (std::string d : {"010310", "01032010", "01-03-2010"}) {
        p.inicio = d;
        EXPECT_EQ(ValidaParametrosSped(p), 1) << d;
    }
    for (std::string d : {"", "32/03/2010", "29/02/2010", "01/13/2010", "abc", "123456789"}) {
        p = Parametros();
        p.fim = d;
        EXPECT_EQ(ValidaParametrosSped(p), SpedParametrosInvalidos) << d;
    }
    p = Parametros();
    p.perfil = "a";
    EXPECT_EQ(ValidaParametrosSped(p), SpedPerfilInvalido);
    p.inicio = "99/99/9999";
    EXPECT_EQ(ValidaParametrosSped(p), SpedParametrosInvalidos);  // the dates are checked first
    for (auto campo : {&ParametrosSped::cfop, &ParametrosSped::valor1, &ParametrosSped::valor2}) {
        p = Parametros();
        p.*campo = "1x";
        EXPECT_EQ(ValidaParametrosSped(p), SpedParametrosInvalidos);
    }
    p = Parametros();
    p.arquivo = home / "nenhum";
    EXPECT_EQ(ValidaParametrosSped(p), SpedParametrosInvalidos);
}

TEST_F(SpedChamada, TheTdmExportWritesTheFileOfTheAtoFile) {
    teste::EscreveArquivo(saida, "antigo\r\n");
    ASSERT_EQ(Tarvo_GeraRegistrosSpedTDM(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", " T ",
                                         "5102", "x", "1", "2", 1, ato.c_str()),
              1);
    std::string texto = teste::LeArquivo(saida);
    auto linhas = teste::LinhasCrLf(texto);
    ASSERT_EQ(linhas.size(), 22u);
    EXPECT_EQ(linhas[0], "|C400|2D|RIX 4000|" + kSerie + "|007|");
    for (const auto& l : linhas) EXPECT_EQ(Campos(l).size(), kCampos.at(Campos(l).at(0))) << l;
    EXPECT_FALSE(std::filesystem::exists(saida + ".tmp"));
    EXPECT_EQ(Erro().UltimoRetorno, 0);

    // A profile in lower case is no profile; a missing ATO file is the ATO failure.
    EXPECT_EQ(Tarvo_GeraRegistrosSpedTDM(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", "a", "5102",
                                         "", "1", "2", 1, ato.c_str()),
              0);
    EXPECT_EQ(Erro().UltimoRetorno, SpedPerfilInvalido);
    const std::string nenhum = home / "nenhum.txt";
    EXPECT_EQ(Tarvo_GeraRegistrosSpedTDM(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", "A", "5102",
                                         "", "1", "2", 1, nenhum.c_str()),
              0);
    EXPECT_EQ(Erro().UltimoRetorno, SpedErroArquivoAto);
    EXPECT_EQ(teste::LeArquivo(saida), texto);  // the earlier output stays whole
}

TEST_F(SpedChamada, TheLogNamesTheCallAndTheResultWithItsText) {
    teste::PastaTemporaria atual;
    const auto antes = std::filesystem::current_path();
    std::filesystem::current_path(atual.Caminho());
    Config().Homologar = true;
    Tarvo_GeraRegistrosSpedMFD(" x ", "s.txt", "01/03/2010", "31/03/2010", "a", "5102", "obs", "1", "2");
    Config().Homologar = false;
    std::filesystem::current_path(antes);
    std::string log = teste::LeArquivo(atual / "LOG.DAT");
    for (const char* linha :
         {"=>Chamando Tarvo_GeraRegistrosSpedMFD...\r\n",
          "=>Tarvo_GeraRegistrosSpedMFD(x;s.txt;01/03/2010;31/03/2010;a;5102;obs;1;2)\r\n",
          "=>Gerando Sped...\r\n",
          "=>Retorno da fun\xE7\xE3o Tarvo_GeraRegistrosSpedMFD:-5 - Parametros utilizados na fun\xE7\xE3o "
          "est\xE3o incorretos\r\n"})
        EXPECT_NE(log.find(linha), std::string::npos) << linha;
    EXPECT_EQ(TextoCodigoSped(SpedErroArquivoAto),
              "Erro na gera\xE7\xE3"
              "do Arquivo do ato cotepe, verifique se a impressora esta conectado ao pc "
              "corretamente");
}

TEST_F(SpedChamada, LinesOfAnyLengthAndEndAreRead) {
    // A huge line of something else, LF and CR LF ends, and a last line without its end.
    std::string texto = std::string(100000, 'x') + "\n";
    auto l = DoisDias();
    l.pop_back();
    for (std::size_t i = 0; i < l.size(); ++i)
        texto += l[i] + (i + 1 == l.size() ? "" : i % 2 ? "\n" : "\r\n");
    teste::EscreveArquivo(ato, texto);
    ASSERT_EQ(GeraRegistrosSped(Parametros()), SpedSucesso);
    std::vector<std::string> esperado;
    RegistrosSped r("5102");
    for (const auto& x : l) r.Linha(x);
    std::string erro;
    ASSERT_EQ(r.Conclui(erro), 1);
    r.Grava("T", [&](const std::string& x) { esperado.push_back(x); });
    EXPECT_EQ(teste::LinhasCrLf(teste::LeArquivo(saida)), esperado);
}

TEST_F(SpedChamada, AFileThatCannotBeWrittenIsAFailureAndLeavesNothing) {
    ParametrosSped p = Parametros();
    p.saida = home / "semPasta/sped.txt";
    EXPECT_EQ(GeraRegistrosSped(p), SpedErroGravacao);
    EXPECT_FALSE(std::filesystem::exists(home / "semPasta"));
    // An ATO file without reductions: a failure, no file.
    teste::EscreveArquivo(ato, E01() + "\r\n" + E02("1") + "\r\n");
    p = Parametros();
    EXPECT_EQ(GeraRegistrosSped(p), SpedArquivoInconsistente);
    EXPECT_FALSE(std::filesystem::exists(saida));
}

TEST_F(SpedChamada, TheDumpPathFailsClearlyUntilTheDumpReadingIsThereAndUsesItsFileThen) {
    EXPECT_EQ(Tarvo_GeraRegistrosSpedMFD(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", "T", "5102",
                                         "", "1", "2"),
              0);
    EXPECT_EQ(Erro().UltimoRetorno, SpedErroArquivoAto);
    EXPECT_FALSE(std::filesystem::exists(saida));
    // The TDM export with the flag clear takes the same path.
    EXPECT_EQ(Tarvo_GeraRegistrosSpedTDM(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", "T", "5102",
                                         "", "1", "2", 0, ato.c_str()),
              0);

    std::vector<std::string> pedidos;
    InstalaGeradorAtoMemoria([&](const std::string& inicio, const std::string& fim, std::string& arquivo) {
        pedidos.push_back(inicio + "-" + fim);
        arquivo = ato;
        return 1;
    });
    EXPECT_EQ(Tarvo_GeraRegistrosSpedMFD(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", "B", "5102",
                                         "", "1", "2"),
              1);
    InstalaGeradorAtoMemoria([](const std::string&, const std::string&, std::string&) { return -2; });
    EXPECT_EQ(Tarvo_GeraRegistrosSpedMFD(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", "B", "5102",
                                         "", "1", "2"),
              0);
    InstalaGeradorAtoMemoria(nullptr);
    EXPECT_EQ(pedidos, (std::vector<std::string>{"01/03/2010-31/03/2010"}));
    auto linhas = teste::LinhasCrLf(teste::LeArquivo(saida));
    for (const auto& l : linhas) EXPECT_TRUE(l.rfind("|C460", 0) != 0 && l.rfind("|C470", 0) != 0) << l;
}

}  // namespace
