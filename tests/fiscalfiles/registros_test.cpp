#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "comum/ambiente.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/registros_ato.h"
#include "fiscalfiles/pasta_rfd.h"
#include "platform/pastas.h"

namespace {

using namespace tarvo;
using teste::PastaRfd;

// Stores two different records of a type at 0 and 2, then reads them back in the other
// order; `campo` picks the field that tells them apart.
template <class R, class Campo>
void IdaEVolta(int t, R& memoria, Campo campo, std::size_t tamanho, const std::string& arquivo) {
    SCOPED_TRACE(arquivo);
    memoria = {};
    memoria.Cabecalho.Tipo.Define(arquivo.substr(0, 3));
    memoria.Cabecalho.NumeroSerie.Define("SERIE0000000000000001");
    (memoria.*campo).Define("PRIMEIRO");
    GravaRegistroTemporario(t, 0);
    (memoria.*campo).Define("TERCEIRO");
    GravaRegistroTemporario(t, 2);
    EXPECT_EQ(ContaRegistrosTemporarios(t), 3);
    EXPECT_EQ(std::filesystem::file_size(DiretorioTemporarioRFD() + arquivo), 3 * tamanho);
    EXPECT_EQ(TamanhoRegistroTemporario(t), tamanho);

    memoria = {};
    ASSERT_EQ(LeRegistroTemporario(t, 0), 1);
    EXPECT_EQ((memoria.*campo).Texto(), std::string("PRIMEIRO").substr(0, (memoria.*campo).kCapacidade));
    EXPECT_EQ(memoria.Cabecalho.NumeroSerie.Texto(), "SERIE000000000000000");
    ASSERT_EQ(LeRegistroTemporario(t, 2), 1);
    EXPECT_EQ((memoria.*campo).Texto(), std::string("TERCEIRO").substr(0, (memoria.*campo).kCapacidade));
    EXPECT_THROW(LeRegistroTemporario(t, 3), ErroArquivoFiscal);
    EXPECT_EQ((memoria.*campo).Texto(), std::string("TERCEIRO").substr(0, (memoria.*campo).kCapacidade));

    ApagaRegistroTemporario(t);
    EXPECT_EQ(ContaRegistrosTemporarios(t), 0);
    EXPECT_EQ(LeRegistroTemporario(t, 0), 0);
    std::filesystem::remove(DiretorioTemporarioRFD() + arquivo);
    EXPECT_EQ(ContaRegistrosTemporarios(t), 0);
    EXPECT_EQ(LeRegistroTemporario(t, 0), 0);
    EXPECT_EQ((memoria.*campo).Texto(), std::string("TERCEIRO").substr(0, (memoria.*campo).kCapacidade));
}

class Armazem : public PastaRfd {};

TEST_F(Armazem, EachTypeRoundTripsThroughItsFile) {
    RegistrosAto& r = Registros();
    IdaEVolta(kTipoE12, r.E12, &RegistroE12::DataMovimento, 128, "E12.DAT");
    IdaEVolta(kTipoE13, r.E13, &RegistroE13::CodigoTotalizador, 94, "E13.DAT");
    IdaEVolta(kTipoE14, r.E14, &RegistroE14::NomeAdquirente, 210, "E14.DAT");
    IdaEVolta(kTipoE15, r.E15, &RegistroE15::Descricao, 291, "E15.DAT");
    IdaEVolta(kTipoE16, r.E16, &RegistroE16::DataFinal, 110, "E16.DAT");
    IdaEVolta(kTipoE17, r.E17, &RegistroE17::TotalizadorNaoFiscal, 102, "E17.DAT");
    IdaEVolta(kTipoE18, r.E18, &RegistroE18::MeioPagamento, 102, "E18.DAT");
    IdaEVolta(kTipoE21, r.E21, &RegistroE21::MeioPagamento, 118, "E21.DAT");
}

TEST_F(Armazem, TypesWithoutLayoutAreOnlyDeletedAndApagaEmptiesTheStore) {
    GravaRegistroTemporario(kTipoE19, 0);
    EXPECT_FALSE(plataforma::ExisteArquivo(Rfdtemp("E19.DAT")));
    teste::EscreveArquivo(Rfdtemp("E19.DAT"), "x");
    teste::EscreveArquivo(Rfdtemp("E20.DAT"), "x");
    EXPECT_EQ(ContaRegistrosTemporarios(kTipoE19), 0);
    GravaRegistroTemporario(kTipoE14, 0);
    GravaRegistroTemporario(kTipoE21, 4);
    EXPECT_EQ(ContaRegistrosTemporarios(kTipoE21), 5);
    ApagaRegistrosTemporarios();
    for (const char* nome : {"E19.DAT", "E20.DAT"})
        EXPECT_FALSE(plataforma::ExisteArquivo(Rfdtemp(nome))) << nome;
    // The store files hold no record any more: nothing to count, nothing to read.
    Registros().E21.ValorPago.Define("123");
    for (int t : {kTipoE14, kTipoE21}) {
        EXPECT_EQ(ContaRegistrosTemporarios(t), 0);
        EXPECT_EQ(LeRegistroTemporario(t, 0), 0);
    }
    EXPECT_EQ(Registros().E21.ValorPago.Texto(), "123");
    // Written over from the start; once closed, an empty store file is gone and a written one
    // holds exactly its records.
    GravaRegistroTemporario(kTipoE21, 1);
    EXPECT_EQ(ContaRegistrosTemporarios(kTipoE21), 2);
    ASSERT_EQ(LeRegistroTemporario(kTipoE21, 0), 1);
    EXPECT_EQ(Registros().E21.ValorPago.Texto(), "");  // the skipped record reads as zeros
    FechaRegistrosTemporarios();
    EXPECT_FALSE(plataforma::ExisteArquivo(Rfdtemp("E14.DAT")));
    EXPECT_EQ(std::filesystem::file_size(Rfdtemp("E21.DAT")), 2 * 118u);
    teste::EscreveArquivo(Rfdtemp("E13.DAT"), std::string(93, 'x'));  // less than one record
    EXPECT_EQ(ContaRegistrosTemporarios(kTipoE13), 0);
}

TEST_F(Armazem, BytesPastAFieldsLengthAreStoredAsZeros) {
    RegistroE14& cupom = Registros().E14;
    cupom.NomeAdquirente.Define("MARIA APARECIDA DOS SANTOS");
    cupom.NomeAdquirente.Define("ANA");
    // A length byte beyond the capacity (as a damaged record would hold) is cut back.
    cupom.TipoDesconto.tamanho = 200;
    GravaRegistroTemporario(kTipoE14, 0);
    std::string bytes = teste::LeArquivo(Rfdtemp("E14.DAT"));
    ASSERT_EQ(bytes.size(), 210u);
    std::size_t nome = static_cast<std::size_t>(reinterpret_cast<char*>(&cupom.NomeAdquirente) -
                                                reinterpret_cast<char*>(&cupom));
    EXPECT_EQ(bytes[nome], 3);
    EXPECT_EQ(bytes.substr(nome + 1, 3), "ANA");
    EXPECT_EQ(bytes.substr(nome + 4, 37), std::string(37, '\0'));
    EXPECT_EQ(cupom.TipoDesconto.tamanho, 1);
}

TEST_F(Armazem, FolderThatCannotBeCreatedIsReportedWithItsPath) {
    teste::PastaTemporaria outra;
    teste::EscreveArquivo(outra / "arquivo", "");
    teste::Variavel home{"TARVO_HOME", outra / "arquivo"};
    try {
        GravaRegistroTemporario(kTipoE12, 0);
        ADD_FAILURE() << "no error";
    } catch (const ErroArquivoFiscal& e) {
        EXPECT_EQ(std::string(e.what()), "Impossivel Criar" + outra / "arquivo/RFDTEMP/");
    }
}

TEST_F(Armazem, OneCallClearsEveryDocumentRecord) {
    RegistrosAto& r = Registros();
    r.E01.NumeroSequencialECF.Define("001");
    r.DataMovimento = "20101231";
    r.E14.NomeAdquirente.Define("JOSE");
    r.E14.CPFCNPJAdquirente.Define("12345678909");
    r.E15.ValorTotalLiquido.Define("100");
    r.E21.ValorPago.Define("100");
    r.E12.CRZ.Define("12");
    LimpaRegistrosDocumento();
    EXPECT_EQ(r.E14.NomeAdquirente.Texto(), "");
    EXPECT_EQ(r.E14.CPFCNPJAdquirente.Texto(), "");
    EXPECT_EQ(r.E15.ValorTotalLiquido.Texto(), "");
    EXPECT_EQ(r.E21.ValorPago.Texto(), "");
    EXPECT_EQ(r.E12.CRZ.Texto(), "");
    const char* bytes = reinterpret_cast<const char*>(&r.E14);
    EXPECT_EQ(std::string(bytes, sizeof r.E14), std::string(sizeof r.E14, '\0'));
    EXPECT_EQ(r.E01.NumeroSequencialECF.Texto(), "001");
    EXPECT_EQ(r.DataMovimento, "20101231");
}

RegistroE15 Item(const char* unitario, const char* quantidade, const char* total,
                 const char* decimais = "2") {
    RegistroE15 item;
    item.ValorUnitario.Define(unitario);
    item.Quantidade.Define(quantidade);
    item.ValorTotalLiquido.Define(total);
    item.DecimaisValorUnitario.Define(decimais);
    item.IndicadorArredondamento.Define("T");
    return item;
}

TEST(Arredondamento, IndicatorBecomesAOnlyWhenOneCentavoApart) {
    auto indicador = [](RegistroE15 item) {
        AjustaIndicadorArredondamento(item);
        return item.IndicadorArredondamento.Texto();
    };
    EXPECT_EQ(indicador(Item("1000", "3333", "3333")), "T");
    EXPECT_EQ(indicador(Item("1000", "3333", "3334")), "A");
    EXPECT_EQ(indicador(Item("1000", "3333", "3335")), "T");
    EXPECT_EQ(indicador(Item("1000", "3333", "3332")), "A");
    // Discount and increase are put back to give the gross amount.
    RegistroE15 comDesconto = Item("1000", "3333", "3234");
    comDesconto.Desconto.Define("100");
    EXPECT_EQ(indicador(comDesconto), "A");
    // Three decimals in the unit value: 1,000 x 3,333 = 3,333.
    EXPECT_EQ(indicador(Item("10000", "3333", "3334", "3")), "A");
    // The product needs 64 bits: 999,99 x 999,999 = 999.989,00 (truncated), one centavo off.
    EXPECT_EQ(indicador(Item("99999", "999999", "99998901")), "A");
    // Out of the rule's range the indicator keeps what it had.
    EXPECT_EQ(indicador(Item("100000", "1000", "100001")), "T");
    EXPECT_EQ(indicador(Item("1000", "1000000", "1000001")), "T");
    EXPECT_EQ(indicador(Item("ABC", "1000", "1")), "A");  // not a number counts as 0
}

TEST_F(Armazem, WritingAnItemSettlesItsRoundingIndicator) {
    Registros().E15 = Item("1000", "3333", "3334");
    GravaRegistroTemporario(kTipoE15, 0);
    Registros().E15 = {};
    LeRegistroTemporario(kTipoE15, 0);
    EXPECT_EQ(Registros().E15.IndicadorArredondamento.Texto(), "A");
}

TEST(Copias, HeadAndDocumentRecordCopies) {
    RegistroE14 cupom;
    cupom.Cabecalho.Tipo.Define("E14");
    cupom.Cabecalho.NumeroSerie.Define("SERIE1");
    cupom.Cabecalho.COO.Define("345");
    cupom.Cabecalho.CCF.Define("41");
    RegistroE15 item;
    item.Cabecalho.Tipo.Define("E15");
    item.Cabecalho.COO.Define("999");
    CopiaCabecalhoECF(cupom.Cabecalho, item.Cabecalho);
    EXPECT_EQ(item.Cabecalho.Tipo.Texto(), "E15");
    EXPECT_EQ(item.Cabecalho.NumeroSerie.Texto(), "SERIE1");
    EXPECT_EQ(item.Cabecalho.COO.Texto(), "345");
    EXPECT_EQ(item.Cabecalho.CCF.Texto(), "41");

    RegistroE14 copia;
    cupom.NomeAdquirente.Define("NOME LONGO DO COMPRADOR");
    cupom.NomeAdquirente.tamanho = 4;  // bytes past the length are not copied
    CopiaRegistroDocumento(cupom, copia);
    EXPECT_EQ(copia.NomeAdquirente.Texto(), "NOME");
    EXPECT_EQ(copia.NomeAdquirente.dados[4], '\0');
    EXPECT_EQ(copia.Cabecalho.COO.Texto(), "345");
}

}  // namespace
