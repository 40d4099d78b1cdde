#include "driver/core/formatadores.h"

#include <gtest/gtest.h>

#include "driver/core/recusa.h"

namespace {

using namespace tarvo;

TEST(Campos, NumericFieldsKeepDigitsRightAlignedAndCutFromTheLeft) {
    EXPECT_EQ(PreencheZerosEsquerda("12.345,6", 4), "3456");
    EXPECT_EQ(PreencheZerosEsquerda("7", 3), "007");
    EXPECT_EQ(PreencheZerosEsquerda("", 2), "00");
    EXPECT_EQ(PreencheZerosEsquerda("123", 0), "");
    EXPECT_EQ(SomenteNumeros("R$ 1.234,56"), "123456");
    EXPECT_EQ(RemoveZerosEsquerda("000"), "");
    EXPECT_EQ(RemoveZerosEsquerda("00102"), "102");
}

TEST(Campos, TextFieldsAreCutAndBlankPadded) {
    EXPECT_EQ(PreencheEspacosDireita("ABCDEF", 4), "ABCD");
    EXPECT_EQ(PreencheEspacosDireita("AB", 4), "AB  ");
    EXPECT_EQ(PreencheEspacosDireita("AB", 0), "");
    EXPECT_EQ(PreencheEspacosDireita("AB", -3), "");
    EXPECT_EQ(ParteDireita("ABCDEF", 2), "EF");
    EXPECT_EQ(ParteDireita("AB", 5), "AB");
    EXPECT_EQ(CaracterNaPosicao("ABC", 3), "C");
    EXPECT_EQ(CaracterNaPosicao("ABC", 4), "");
    EXPECT_EQ(CaracterNaPosicao("ABC", 0), "");
}

TEST(Campos, AmountsAndQuantitiesGetADecimalComma) {
    EXPECT_EQ(FormataDuasDecimais("000123"), "1,23");
    EXPECT_EQ(FormataDuasDecimais("5"), "0,05");
    EXPECT_EQ(FormataDuasDecimais(""), "0,00");
    EXPECT_EQ(FormataDuasDecimais("2100000000000"), "21000000000,00");
    EXPECT_EQ(FormataTresDecimais("1250"), "1,250");
    EXPECT_EQ(FormataTresDecimais("7"), "0,007");
}

TEST(Campos, CompletaDecimaisPadsButNeverCuts) {
    auto completa = [](std::string t, int n) {
        CompletaDecimais(n, t);
        return t;
    };
    EXPECT_EQ(completa("10", 2), "10,00");
    EXPECT_EQ(completa("10,5", 2), "10,50");
    EXPECT_EQ(completa("10.5", 2), "10.50");
    EXPECT_EQ(completa("10,555", 2), "10,555");
    EXPECT_EQ(completa("3", 3), "3,000");
}

TEST(Campos, AlinhaTextoAlwaysGivesOneLineOfTheWidth) {
    EXPECT_EQ(AlinhaTexto("TOTAL", "10,00", 12), "TOTAL  10,00");
    EXPECT_EQ(AlinhaTexto("TOTAL", "10,00", 11), "TOTAL 10,00");
    std::string longo = AlinhaTexto("TOTAL GERAL DO DIA", "1.234.567,89", 20);
    EXPECT_EQ(longo.size(), 20u);
    EXPECT_EQ(longo.substr(0, 6), "TOTAL ");
}

TEST(Datas, FormataDataReadsSixOrEightDigits) {
    EXPECT_EQ(FormataData("311299"), "31/12/2099");
    EXPECT_EQ(FormataData("01/02/2010"), "01/02/2010");
    EXPECT_EQ(FormataData("1/2/10"), "00/12/2010");       // digits 1210 padded to six
    EXPECT_EQ(FormataData("20240315123"), "40/31/5123");  // the last eight digits
}

TEST(Datas, ComparisonsAndRangesIncludeBothLimits) {
    EXPECT_EQ(ComparaDatas("31/12/2009", "01/01/2010"), -1);
    EXPECT_EQ(ComparaDatas("010110", "01/01/2010"), 0);
    EXPECT_EQ(ComparaDatas("02/01/2010", "31/12/2009"), 1);
    EXPECT_TRUE(DataNoIntervalo("01/03/2010", "01/03/2010", "31/03/2010"));
    EXPECT_TRUE(DataNoIntervalo("31/03/2010", "01/03/2010", "31/03/2010"));
    EXPECT_FALSE(DataNoIntervalo("01/04/2010", "01/03/2010", "31/03/2010"));
    EXPECT_FALSE(DataNoIntervalo("01/03/2010", "", "31/03/2010"));
}

TEST(Textos, ComparisonsIgnoreBlanksAndCase) {
    EXPECT_EQ(TextoSemEspacos("Redu\xe7\xe3o  Z"), "REDU\xc7\xc3OZ");
    EXPECT_TRUE(ComecaComTexto("  cupom fiscal", "CUPOMFISC"));
    EXPECT_FALSE(ComecaComTexto("CUP", "CUPOM"));
    EXPECT_TRUE(ContemTexto("TOTAL  R$", "l r"));
    EXPECT_EQ(TextoAteNulo("ABCDE"), "ABCD");
    EXPECT_EQ(TextoAteNulo(std::string("AB\0CD", 5)), "AB");
    EXPECT_EQ(TextoAteNulo(""), "");
    EXPECT_EQ(HexaString("A\n"), "41 0A ");
    EXPECT_EQ(BitsSimNao(0x81, 0x02), "STTTTTTSTTTTTTST");
}

TEST(Textos, IntegersAreReadAsTheOriginalConversionsRead) {
    EXPECT_EQ(ParaInteiro("42", 7), 42);
    EXPECT_EQ(ParaInteiro("  -3", 7), -3);
    EXPECT_EQ(ParaInteiro("abc", 7), 7);
    EXPECT_EQ(ParaInteiro("", 7), 7);
    EXPECT_EQ(ParaInteiro("12 ", 7), 7);
    EXPECT_EQ(ParaInteiro("$378", 0), 888);
    EXPECT_EQ(ParaInteiro("99999999999", 7), 7);
}

TEST(Palavras, WordsFromTheRight) {
    int pos = -1;
    EXPECT_EQ(PalavraDaDireita("A B C", 2, &pos), "B");
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(PalavraDaDireita("  A   B  C  ", 1), "C");
    EXPECT_EQ(PalavraDaDireita("A B C", 4, &pos), "");
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(PrimeiraPalavra("VENDA BRUTA"), "VENDA");
    EXPECT_EQ(PrimeiraPalavra("TOTAL"), "TOTAL");
    EXPECT_EQ(CampoDelimitado("a;b;;d", 1, ';'), "a");
    EXPECT_EQ(CampoDelimitado("a;b;;d", 3, ';'), "");
    EXPECT_EQ(CampoDelimitado("a;b;;d", 4, ';'), "d");
    EXPECT_EQ(CampoDelimitado("a;b", 5, ';'), "");
}

TEST(Palavras, CodeAndDescriptionOfAnItemLine) {
    // item number, code, description, then quantity, unit, price, rate and total.
    auto r = SeparaCodigoDescricao(3, 0, "001 7891000100103 ARROZ TIPO 1 5KG 1,000 UN X 10,00 T18,00% 10,00");
    EXPECT_EQ(r.codigo, "7891000100103");
    EXPECT_EQ(r.descricao, "ARROZ TIPO 1 5KG");
    auto m = SeparaCodigoDescricao(2, 1, "001 ABC descricao ate o fim ");
    EXPECT_EQ(m.codigo, "ABC");
    EXPECT_EQ(m.descricao, "descricao ate o fim");
    auto curto = SeparaCodigoDescricao(2, 0, "001 123456789012345678");
    EXPECT_EQ(curto.codigo, "12345678901234");
    EXPECT_EQ(curto.descricao, "");
}

TEST(Palavras, RateLinesOfTheReadings) {
    const std::string grau = "\xB0";
    auto a = ValidaLinhaAliquota(true, "01 18,00 1.250,00 A " + grau);
    EXPECT_TRUE(a.valida);
    EXPECT_EQ(a.decimais, 2);
    ASSERT_TRUE(a.tipo.has_value());
    EXPECT_EQ(*a.tipo, 'A');
    auto b = ValidaLinhaAliquota(false, "ALIQUOTA 7,000" + grau);
    EXPECT_TRUE(b.valida);
    EXPECT_EQ(b.decimais, 3);
    EXPECT_FALSE(ValidaLinhaAliquota(false, "ALIQUOTA 7,0" + grau).valida);
    EXPECT_FALSE(ValidaLinhaAliquota(false, "ALIQUOTA 7,00").valida);
    EXPECT_FALSE(ValidaLinhaAliquota(false, "ALIQUOTA X7,00" + grau).valida);
    EXPECT_FALSE(ValidaLinhaAliquota(false, "").valida);
}

// The reader of caller numbers: what each kind of parameter takes, handed on as written.
TEST(NumeroDoChamador, AcceptsTheFormsOfItsKindAndRefusesEverythingElse) {
    for (const char* t : {"1,50", " 1.5 ", "1.234,56", "12.345.678,90", "5,", "123456789012,34", ""})
        EXPECT_EQ(NumeroDoChamador(t, "P", false, true), Apara(t)) << t;
    for (const char* t :
         {"1.23,45", "1234.567,8", ".123,4", "1.2.3", "1,2,3", "1,5x", ",", "-5,00", "12345678901234567890"})
        EXPECT_THROW(NumeroDoChamador(t, "P", false, true), TextoRecusado) << t;
    EXPECT_EQ(NumeroDoChamador("-5,00", "P", true, true), "-5,00");
    EXPECT_EQ(NumeroDoChamador("000123456789", "P"), "000123456789");  // leading zeros do not count
    for (const char* t : {"-1", "1,5", "1 X=1", "1234567890"})
        EXPECT_THROW(NumeroDoChamador(t, "P"), TextoRecusado) << t;
    EXPECT_THROW(NumeroDoChamador("100,00", "P", false, true, kDigitosPercentual), TextoRecusado);
}

}  // namespace
