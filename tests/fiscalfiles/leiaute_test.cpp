#include <gtest/gtest.h>

#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/registros_ato.h"

namespace {

using namespace tarvo;

std::string Coluna(const std::string& linha, LeiauteLinha l, const char* nome) {
    for (std::size_t i = 0; i < l.size(); ++i)
        if (std::string(l[i].nome) == nome)
            return linha.substr(static_cast<std::size_t>(ColunaCampo(l, i) - 1),
                                static_cast<std::size_t>(l[i].largura));
    return "<campo " + std::string(nome) + " ausente>";
}

// A line of the layout in which each field has its own content (digits for N, letters for X
// and a "S" for R), so a field read into the wrong place or written twice shows in the result.
std::string LinhaDistinta(LeiauteLinha l) {
    std::string linha;
    for (std::size_t i = 0; i < l.size(); ++i) {
        auto w = static_cast<std::size_t>(l[i].largura);
        switch (l[i].regra) {
            case Regra::Tipo:
            case Regra::Fixo:
                linha += l[i].nome;
                break;
            case Regra::N:
                linha += std::string(w, static_cast<char>('1' + i % 9));
                break;
            case Regra::X:
                linha += w == 1 ? std::string(1, static_cast<char>('a' + i % 26))
                                : std::string(w - 1, static_cast<char>('A' + i % 26)) + "z";
                break;
            case Regra::R:
                linha += "S";
                break;
        }
    }
    return linha;
}

struct RegistroCheio {
    RegistroE00 e00;
    RegistroE01 e01;
    RegistroE02 e02;
    RegistroE12 e12;
    RegistroE13 e13;
    RegistroE14 e14;
    RegistroE15 e15;
    RegistroE16 e16;
    RegistroE17 e17;
    RegistroE18 e18;
    RegistroE21 e21;
};

// Every field filled to its capacity (digits) or left empty: the line has its width all the same.
template <class R>
void Preenche(R& r, bool cheio) {
    r.ParaCadaCampo([&](auto& c) { c.Define(cheio ? std::string(c.kCapacidade, '9') : std::string()); });
}

TEST(LinhasAto, EveryLineHasItsWidthFullOrEmpty) {
    for (bool cheio : {false, true}) {
        RegistroCheio r;
        Preenche(r.e00, cheio), Preenche(r.e01, cheio), Preenche(r.e02, cheio), Preenche(r.e12, cheio);
        Preenche(r.e13, cheio), Preenche(r.e14, cheio), Preenche(r.e15, cheio), Preenche(r.e16, cheio);
        Preenche(r.e17, cheio), Preenche(r.e18, cheio), Preenche(r.e21, cheio);
        EXPECT_EQ(MontaLinhaE00(r.e00).size(), 297u);
        EXPECT_EQ(MontaLinhaE01(r.e01).size(), 166u);
        EXPECT_EQ(MontaLinhaE02(r.e02).size(), 272u);
        EXPECT_EQ(MontaLinhaE12(r.e12).size(), 101u);
        EXPECT_EQ(MontaLinhaE13(r.e13).size(), 72u);
        EXPECT_EQ(MontaLinhaE14(r.e14).size(), 191u);
        EXPECT_EQ(MontaLinhaE15(r.e15).size(), 267u);
        EXPECT_EQ(MontaLinhaE16(r.e16).size(), 90u);
        EXPECT_EQ(MontaLinhaE17(r.e17).size(), 80u);
        EXPECT_EQ(MontaLinhaE18(r.e18).size(), 80u);
        EXPECT_EQ(MontaLinhaE21(r.e21).size(), 106u);
        EXPECT_EQ(MontaLinhaE16(r.e16).substr(0, 3), "E16");
    }
}

TEST(LinhasAto, ReductionLineHasCrzBeforeCooAndAnIndicatorNeverLeftBlank) {
    RegistroE12 z;
    z.Cabecalho.NumeroSerie.Define("BE091010100011223344");
    z.Cabecalho.Modelo.Define("MODELO X");
    z.Cabecalho.NumeroUsuario.Define("1");
    z.Cabecalho.COO.Define("345");
    z.Cabecalho.CCF.Define("77");  // an E12 line carries no CCF
    z.CRZ.Define("12");
    z.CRO.Define("2");
    z.DataMovimento.Define("20101231");
    z.DataEmissao.Define("20110101");
    z.HoraEmissao.Define("000512");
    z.VendaBrutaDiaria.Define("1.234,56");
    EXPECT_EQ(MontaLinhaE12(z),
              "E12BE091010100011223344 MODELO X            "
              "01000012000345000002201012312011010100051200000000123456N");
    z.ParametroDescontoISSQN.Define("S");
    EXPECT_EQ(MontaLinhaE12(z).back(), 'S');
}

TEST(LinhasAto, CountersKeepEachTypesOrderAndTextsAreCutOrPadded) {
    RegistroE14 cupom;
    cupom.Cabecalho.CCF.Define("41");
    cupom.Cabecalho.COO.Define("345");
    cupom.NomeAdquirente.Define("JOSE DA SILVA");
    cupom.CPFCNPJAdquirente.Define("123.456.789-09");
    std::string e14 = MontaLinhaE14(cupom);
    EXPECT_EQ(e14.substr(46, 12), "000041000345");  // CCF at column 47, COO at 53
    EXPECT_EQ(Coluna(e14, kLinhaE14, "NomeAdquirente"), "JOSE DA SILVA" + std::string(27, ' '));
    EXPECT_EQ(Coluna(e14, kLinhaE14, "CPFCNPJAdquirente"), "00012345678909");
    EXPECT_EQ(Coluna(e14, kLinhaE14, "IndicadorCancelamento"), "N");

    RegistroE15 item;
    item.Cabecalho.CCF.Define("41");
    item.Cabecalho.COO.Define("345");
    item.Descricao.Define(std::string(100, 'D'));
    item.CodigoProduto.Define("7891234567890123");  // 16 characters in a field of 14
    std::string e15 = MontaLinhaE15(item);
    EXPECT_EQ(e15.substr(46, 12), "000345000041");  // COO first, then CCF
    EXPECT_EQ(Coluna(e15, kLinhaE15, "CodigoProduto"), "78912345678901");
    EXPECT_EQ(Coluna(e15, kLinhaE15, "Descricao"), std::string(100, 'D'));

    RegistroE21 pagamento;
    pagamento.Cabecalho.COO.Define("345");
    pagamento.Cabecalho.CCF.Define("41");
    pagamento.MeioPagamento.Define("DINHEIRO");
    std::string e21 = MontaLinhaE21(pagamento);
    EXPECT_EQ(e21.substr(46, 18), "000345000041000000");
    EXPECT_EQ(Coluna(e21, kLinhaE21, "MeioPagamento"), "DINHEIRO       ");
    EXPECT_EQ(Coluna(e21, kLinhaE21, "IndicadorEstorno"), "N");

    RegistroE16 doc;
    doc.Cabecalho.COO.Define("346");
    doc.GNF.Define("9");
    doc.Denominacao.Define("RZ");
    EXPECT_EQ(MontaLinhaE16(doc).substr(46, 18), "000346000009000000");
    EXPECT_EQ(Coluna(MontaLinhaE16(doc), kLinhaE16, "Denominacao"), "RZ");

    RegistroE01 e01;
    std::string l01 = MontaLinhaE01(e01);
    EXPECT_EQ(l01.substr(143), "01.02.29AC1704 01.00.00");
}

TEST(LinhasAto, EachParsedLineReadsBackIntoTheSameRecord) {
    auto confere = [](LeiauteLinha l, auto registro, auto monta) {
        std::string linha = LinhaDistinta(l);
        CarregaLinha(linha, registro);
        EXPECT_EQ(monta(registro), linha) << l[0].nome;
    };
    confere(kLinhaE01, RegistroE01{}, MontaLinhaE01);
    confere(kLinhaE02, RegistroE02{}, MontaLinhaE02);
    confere(kLinhaE12, RegistroE12{}, MontaLinhaE12);
    confere(kLinhaE13, RegistroE13{}, MontaLinhaE13);
    confere(kLinhaE14, RegistroE14{}, MontaLinhaE14);
    confere(kLinhaE15, RegistroE15{}, MontaLinhaE15);
}

TEST(LinhasAto, ParsersTrimNothingAndPutTheCountersInTheHead) {
    CarregaLinhaE12(
        "E12BE091010100011223344 MODELO X            "
        "01000012000345000002201012312011010100051200000000123456N");
    const RegistroE12& z = Registros().E12;
    EXPECT_EQ(z.Cabecalho.Tipo.Texto(), "E12");
    EXPECT_EQ(z.Cabecalho.MFAdicional.Texto(), " ");
    EXPECT_EQ(z.Cabecalho.Modelo.Texto(), "MODELO X            ");
    EXPECT_EQ(z.CRZ.Texto(), "000012");
    EXPECT_EQ(z.Cabecalho.COO.Texto(), "000345");
    EXPECT_EQ(z.VendaBrutaDiaria.Texto(), "00000000123456");

    std::string e14 = LinhaDistinta(kLinhaE14);
    CarregaLinhaE14(e14);
    EXPECT_EQ(Registros().E14.Cabecalho.CCF.Texto(), e14.substr(46, 6));
    EXPECT_EQ(Registros().E14.Cabecalho.COO.Texto(), e14.substr(52, 6));
    std::string e15 = LinhaDistinta(kLinhaE15);
    CarregaLinhaE15(e15);
    EXPECT_EQ(Registros().E15.Cabecalho.COO.Texto(), e15.substr(46, 6));
    EXPECT_EQ(Registros().E15.Cabecalho.CCF.Texto(), e15.substr(52, 6));

    // A short line fills what it has and leaves the rest empty.
    CarregaLinhaE13("E13SERIE");
    EXPECT_EQ(Registros().E13.Cabecalho.NumeroSerie.Texto(), "SERIE");
    EXPECT_EQ(Registros().E13.ValorAcumulado.Texto(), "");
    Registros() = {};
}

TEST(NomesRfd, StemTakesTheSerialsCharacters16To20) {
    EXPECT_EQ(NomeArquivoRFD("AB", "C", "ABCDEFGHIJKLMNOPQRST"), "ABCPQRST");
    EXPECT_EQ(NomeArquivoRFD("AB", "C", "ABCDEFGHIJKLMNOPQRSTU"), "ABCPQRST");
    EXPECT_EQ(NomeArquivoRFD("AB", "C", "ABCDEFGHIJKLMNOPQRS"), "");
    EXPECT_EQ(NomeArquivoRFD("AB", "C", ""), "");
}

TEST(NomesRfd, ExtensionOfADateAndDatesThatGiveNone) {
    EXPECT_EQ(ExtensaoRFDData("20101231"), ".VCA");
    EXPECT_EQ(ExtensaoRFDData("20090105"), ".519");
    EXPECT_EQ(ExtensaoRFDData("20000101"), ".110");
    EXPECT_EQ(ExtensaoRFDData("20351031"), ".VAZ");
    for (const char* data : {"19991231", "20360101", "2010123", "", "2010-12-3", "20104031"})
        EXPECT_THROW(ExtensaoRFDData(data), ErroArquivoFiscal) << data;
}

// A tab or a line break in a text field is written as a blank: the columns stay where the
// layout puts them and the line stays one line.
TEST(LinhasAto, AControlCharacterInATextFieldBecomesABlank) {
    const std::string l = MontaLinha(kLinhaE13, {"", "TV01\t23", "", "RIX\r\n4000", "1", "1", "F1", "495"});
    ASSERT_EQ(l.size(), 72u);
    EXPECT_EQ(l.substr(3, 7), "TV01 23");
    EXPECT_EQ(l.substr(24, 9), "RIX  4000");
    EXPECT_EQ(l.substr(52, 7), "F1     ");
}

}  // namespace
