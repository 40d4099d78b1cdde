#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/consolidacao_rfd.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "fiscalfiles/pasta_rfd.h"
#include "platform/pastas.h"

namespace {

using namespace tarvo;
using teste::LinhasCrLf;

const std::string kSerie = "BE091010100011223344";
const std::string kChave = "2010123120101231";  // the file's movement date, twice

void Cabecalho(CabecalhoECF& c, const char* tipo, const char* coo, const char* ccf = "") {
    c.Tipo.Define(tipo);
    c.NumeroSerie.Define(kSerie);
    c.Modelo.Define("MODELO X");
    c.NumeroUsuario.Define("1");
    c.COO.Define(coo);
    c.CCF.Define(ccf);
}

class Documento : public teste::PastaRfd {
  protected:
    Documento() {
        Registros().DataMovimento = "20101231";
        Registros().E01.NumeroSequencialECF.Define("1");
        Registros().E02.GT.Define("5");  // the registration's: no 60M takes it
        Registros().GTReducao = "987654321";
    }

    // A receipt of COO 345: two items (the second without description), two equal payments.
    void Cupom() {
        RegistrosAto& r = Registros();
        LimpaRegistrosDocumento();
        Cabecalho(r.E14.Cabecalho, "E14", "345", "41");
        r.E14.DataInicio.Define("20101231");
        r.E14.Subtotal.Define("1500");
        r.E14.DescontoSubtotal.Define("100");
        r.E14.AcrescimoSubtotal.Define("50");
        r.E14.ValorTotalLiquido.Define("1500");  // disagrees: written as 1450
        r.E14.NomeAdquirente.Define("JOSE DA SILVA");
        r.E14.CPFCNPJAdquirente.Define("12345678909");
        GravaRegistroTemporario(kTipoE14, 0);
        for (int i = 0; i < 2; ++i) {
            Cabecalho(r.E15.Cabecalho, "E15", "345", "41");
            r.E15.NumeroItem.Define(i ? "002" : "001");
            r.E15.CodigoProduto.Define(i ? "456" : "123");
            r.E15.Descricao.Define(i ? "   " : "ARROZ");
            r.E15.Quantidade.Define("1000");
            r.E15.Unidade.Define("UN");
            r.E15.ValorUnitario.Define(i ? "500" : "1000");
            r.E15.ValorTotalLiquido.Define(i ? "500" : "1000");
            r.E15.CodigoTotalizador.Define(i ? "F1" : "01T1800");
            r.E15.IndicadorCancelamento.Define(i ? "S" : "");
            r.E15.IndicadorArredondamento.Define("T");
            r.E15.DecimaisQuantidade.Define("3");
            r.E15.DecimaisValorUnitario.Define("2");
            GravaRegistroTemporario(kTipoE15, i);
        }
        for (int i = 0; i < 2; ++i) {
            Cabecalho(r.E21.Cabecalho, "E21", "345", "41");
            r.E21.MeioPagamento.Define("DINHEIRO");
            r.E21.ValorPago.Define("1000");
            GravaRegistroTemporario(kTipoE21, i);
        }
    }

    // The Z of COO 350 with its totalizers, a document record, a non-fiscal total and a payment.
    void Reducao() {
        RegistrosAto& r = Registros();
        LimpaRegistrosDocumento();
        Cabecalho(r.E12.Cabecalho, "E12", "350");
        r.E12.CRZ.Define("12");
        r.E12.CRO.Define("2");
        r.E12.DataMovimento.Define("20101231");
        r.E12.DataEmissao.Define("20110101");
        r.E12.HoraEmissao.Define("000512");
        r.E12.VendaBrutaDiaria.Define("2500");
        r.E12.PrimeiroCOO.Define("340");
        GravaRegistroTemporario(kTipoE12, 0);
        const char* totalizadores[][2] = {{"01T1800", "1000"}, {"F1", "0"},        {"AT", "50"},
                                          {"Can-T", "300"},    {"01S0500", "200"}, {"OPNF", "10"}};
        int n = 0;
        for (auto& t : totalizadores) {
            Cabecalho(r.E13.Cabecalho, "E13", "350");
            r.E13.CRZ.Define("12");
            r.E13.CodigoTotalizador.Define(t[0]);
            r.E13.ValorAcumulado.Define(t[1]);
            GravaRegistroTemporario(kTipoE13, n++);
        }
        Cabecalho(r.E16.Cabecalho, "E16", "350");
        r.E16.CRZ.Define("12");
        r.E16.Denominacao.Define("RZ");
        GravaRegistroTemporario(kTipoE16, 0);
        Cabecalho(r.E17.Cabecalho, "E17", "350");
        r.E17.TotalizadorNaoFiscal.Define("SANGRIA");
        GravaRegistroTemporario(kTipoE17, 0);
        Cabecalho(r.E18.Cabecalho, "E18", "350");
        r.E18.MeioPagamento.Define("DINHEIRO");
        GravaRegistroTemporario(kTipoE18, 0);
    }

    std::vector<std::string> Dia(const char* coo) const { return LinhasCrLf(teste::LeArquivo(Rfdtemp(coo))); }
    std::vector<std::string> Sint() const { return LinhasCrLf(teste::LeArquivo(Rfdtemp("SINT.TXT"))); }
};

std::vector<std::string> Tipos(const std::vector<std::string>& linhas, std::size_t n = 3) {
    std::vector<std::string> t;
    for (const auto& l : linhas) t.push_back(l.substr(0, n));
    return t;
}

TEST_F(Documento, ReceiptBecomesItsDayFileInOrderAndItsSintegraLines) {
    Estado().GeraSintegraAtivo = true;
    Cupom();
    GeraArquivosRFDSintegra();
    auto dia = Dia("RFD000345.VCA");
    ASSERT_EQ(Tipos(dia), (std::vector<std::string>{"E14", "E15", "E15", "E21", "E21"}));
    EXPECT_EQ(dia[0].size(), 191u);
    EXPECT_EQ(dia[0].substr(108, 14), "00000000001450");  // net total recomputed: 1500 - 100 + 50
    EXPECT_EQ(dia[0].substr(122, 1), "N");                // cancel indicator never blank
    EXPECT_EQ(dia[1].size(), 267u);
    EXPECT_EQ(dia[2].substr(75, 100), "ERRO DESCRICAO" + std::string(86, ' '));
    EXPECT_EQ(dia[2].substr(230, 1), "S");  // the receipt stands: the item keeps its cancel mark
    EXPECT_EQ(dia[3], dia[4]);              // two equal payments stay two lines
    EXPECT_EQ(dia[3].size(), 106u);

    auto sint = Sint();
    ASSERT_EQ(sint.size(), 4u);
    EXPECT_EQ(Tipos(sint, 22), (std::vector<std::string>{"02" + kChave + "0660", "04" + kChave + "0775",
                                                         "02" + kChave + "0660", "04" + kChave + "0775"}));
    for (const auto& l : sint) EXPECT_EQ(l.size(), 146u) << l;
    const std::string mil13 = "0000000001000", codigo = "123" + std::string(11, ' ');
    EXPECT_EQ(sint[0].substr(20), "60I20101231" + kSerie + "2D000345001" + codigo + mil13 + mil13 +
                                      "000000001000" + "1800" + "000000000000" + std::string(16, ' '));
    EXPECT_EQ(sint[1].substr(20),
              "75"
              "20101231"
              "20101231" +
                  codigo + std::string(8, ' ') + "ARROZ" + std::string(48, ' ') + "UN    " +
                  "00000"
                  "1800"
                  "00000" +
                  std::string(13, '0'));
    EXPECT_EQ(sint[2].substr(20 + 94, 4), "CANC");  // the cancelled item is no sale
    EXPECT_EQ(sint[3].substr(20 + 40, 53), "ERRO DESCRICAO" + std::string(39, ' '));
    EXPECT_EQ(sint[3].substr(20 + 104, 9), "000000000");  // letter codes have no rate digits

    // A second call for the same COO and date replaces the day file.
    GeraArquivosRFDSintegra();
    EXPECT_EQ(Dia("RFD000345.VCA"), dia);
}

TEST_F(Documento, ItemsOfACancelledReceiptAreNotCancelledOneByOne) {
    Cupom();
    Registros().E14.IndicadorCancelamento.Define("S");
    GravaRegistroTemporario(kTipoE14, 0);
    GeraArquivosRFDSintegra();
    auto dia = Dia("RFD000345.VCA");
    ASSERT_EQ(dia.size(), 5u);
    EXPECT_EQ(dia[0].substr(122, 1), "S");
    EXPECT_EQ(dia[1].substr(230, 1), "N");
    EXPECT_EQ(dia[2].substr(230, 1), "N");
    EXPECT_FALSE(plataforma::ExisteArquivo(Rfdtemp("SINT.TXT")));  // SINTEGRA generation is off
}

TEST_F(Documento, ReductionGivesItsLinesAnd60MAnd60AOnlyForTaxSituations) {
    Estado().GeraSintegraAtivo = true;
    Reducao();
    GeraArquivosRFDSintegra();
    auto dia = Dia("RFD000350.VCA");
    EXPECT_EQ(Tipos(dia), (std::vector<std::string>{"E12", "E13", "E13", "E13", "E13", "E13", "E13", "E16",
                                                    "E17", "E18"}));
    EXPECT_EQ(dia[0], "E12" + kSerie +
                          " MODELO X            01000012000350000002201012312011010100051200000000002500N");
    for (std::size_t i = 1; i <= 6; ++i) EXPECT_EQ(dia[i].size(), 72u);
    EXPECT_EQ(dia[2].substr(52, 20), "F1     0000000000000");

    auto sint = Sint();
    ASSERT_EQ(sint.size(), 4u);
    EXPECT_EQ(sint[0], "02" + kChave + "02" + "60M20101231" + kSerie + "0012D000340000350000012002" +
                           "0000000000002500" + "0000000987654321" + std::string(37, ' '));
    auto a60 = [&](const std::string& situacao, const std::string& valor) {
        return "02" + kChave + "03" + "60A20101231" + kSerie + situacao + valor + std::string(79, ' ');
    };
    EXPECT_EQ(sint[1], a60("1800", "000000001000"));
    EXPECT_EQ(sint[2], a60("CANC", "000000000300"));
    EXPECT_EQ(sint[3], a60("ISS ", "000000000200"));
}

TEST_F(Documento, FirstLineOfACallReplacesTheDayFileOnlyOnce) {
    // An older file of the same name from an earlier run.
    std::filesystem::create_directory(Rfdtemp());
    teste::EscreveArquivo(Rfdtemp("RFD000345.VCA"), "VELHA\r\n");
    Cupom();
    GeraArquivosRFDSintegra();
    auto dia = Dia("RFD000345.VCA");
    EXPECT_EQ(dia.size(), 5u);
    EXPECT_EQ(dia[0].substr(0, 3), "E14");
}

TEST_F(Documento, BuyerOfOneDocumentNeverReachesTheNext) {
    Cupom();
    GeraArquivosRFDSintegra();
    ApagaRegistrosTemporarios();

    // The next receipt, without buyer.
    RegistrosAto& r = Registros();
    LimpaRegistrosDocumento();
    Cabecalho(r.E14.Cabecalho, "E14", "346", "42");
    r.E14.DataInicio.Define("20101231");
    r.E14.Subtotal.Define("700");
    GravaRegistroTemporario(kTipoE14, 0);
    Cabecalho(r.E21.Cabecalho, "E21", "346", "42");
    r.E21.MeioPagamento.Define("DINHEIRO");
    r.E21.ValorPago.Define("700");
    GravaRegistroTemporario(kTipoE21, 0);
    GeraArquivosRFDSintegra();

    auto dia = Dia("RFD000346.VCA");
    ASSERT_EQ(Tipos(dia), (std::vector<std::string>{"E14", "E21"}));
    EXPECT_EQ(dia[0].substr(137, 54), std::string(40, ' ') + std::string(14, '0'));
    EXPECT_EQ(dia[0].substr(66, 27),
              "00000000000700"
              "0000000000000");  // no discount carried over
    EXPECT_EQ(Dia("RFD000345.VCA").size(), 5u);
}

TEST_F(Documento, AMovementDateThatGivesNoFileNameIsAnError) {
    Cupom();
    Registros().DataMovimento = "19991231";
    EXPECT_THROW(GeraArquivosRFDSintegra(), ErroArquivoFiscal);
    Registros().DataMovimento = "";
    EXPECT_THROW(GeraArquivosRFDSintegra(), ErroArquivoFiscal);
}

TEST(CodigosSintegra, SituationAndTaxCodes) {
    EXPECT_EQ(SituacaoTotalizador("F1"), "F   ");
    EXPECT_EQ(SituacaoTotalizador("I1"), "I   ");
    EXPECT_EQ(SituacaoTotalizador("N1"), "N   ");
    EXPECT_EQ(SituacaoTotalizador("Can-S"), "CANC");
    EXPECT_EQ(SituacaoTotalizador("DT"), "DESC");
    EXPECT_EQ(SituacaoTotalizador("DS"), "DESC");
    EXPECT_EQ(SituacaoTotalizador("02T2500"), "2500");
    EXPECT_EQ(SituacaoTotalizador("03S0200"), "ISS ");
    EXPECT_EQ(SituacaoTotalizador("FS1"), "ISS ");
    EXPECT_EQ(CodigoTributacaoItem("I1"), "I   ");
    EXPECT_EQ(CodigoTributacaoItem("01T1800"), "1800");
    EXPECT_EQ(CodigoTributacaoItem("NS1"), "ISS ");
    EXPECT_EQ(CodigoTributacaoItem(""), "    ");
    EXPECT_TRUE(TotalizadorSemRegistro60A("AT"));
    EXPECT_TRUE(TotalizadorSemRegistro60A("AS"));
    EXPECT_FALSE(TotalizadorSemRegistro60A("DT"));
    EXPECT_EQ(ChaveSintegra("04", "20101231", "07"), "04201012312010123107");
}

}  // namespace
