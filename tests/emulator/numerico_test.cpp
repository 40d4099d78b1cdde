// The numeric-code front end of the emulator on its own: its reply frames, its checks of the
// fixed-width fields per family, and the printer model's refusals as this protocol's codes.
#include "emulador/numerico.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using emulador::FrenteNumerica;
using emulador::Impressora;

const std::string STX = "\x02", ETX = "\x03";

std::string Venda(int familia, const std::string& marca, const std::string& tributo) {
    return "11" + marca + std::string(familia == 2 ? 7 : 6, '0').replace(familia == 2 ? 3 : 2, 1, "1") +
           "00000000100" + tributo + "&000000000000000" + "UN" + "0000000000001" + "0" + "ARROZ" +
           std::string(15, ' ');
}

TEST(FrenteNumerica, RepliesCarryMarkerNumberStateAndCodeOrValue) {
    Impressora p;
    FrenteNumerica f(p, 1);
    EXPECT_EQ(f.Atende("10"), STX + "+1001" + "00" + ETX);  // a receipt is now open
    EXPECT_EQ(f.Atende("34M41"), STX + "S3401" + "000001" + ETX);
    EXPECT_EQ(f.Atende("10"), STX + "-1001" + "23" + ETX);  // one is open already
    EXPECT_EQ(f.Atende("99"), STX + "-9901" + "02" + ETX);
    EXPECT_EQ(f.Atende("32").size(), 1 + 5 + 10 + 1u);
    EXPECT_EQ(f.Atende("32").substr(6, 2), "01");  // byte 1: a receipt open
}

TEST(FrenteNumerica, FieldsFollowTheFamily) {
    Impressora p1, p2;
    FrenteNumerica f1(p1, 1), f2(p2, 2);
    EXPECT_EQ(f1.Executa("10" + std::string(28, ' ')).codigo, "10");
    EXPECT_EQ(f2.Executa("10").codigo, "10");
    ASSERT_EQ(f1.Executa("10").codigo, "00");
    ASSERT_EQ(f2.Executa("10" + std::string(28, ' ')).codigo, "00");
    EXPECT_EQ(f1.Executa(Venda(1, "G", "T01")).codigo, "19");
    EXPECT_EQ(f2.Executa(Venda(2, "-", "T01")).codigo, "19");
    EXPECT_EQ(f1.Executa(Venda(1, "-", "X01")).codigo, "15");
    EXPECT_EQ(f1.Executa(Venda(1, "-", "T17")).codigo, "18");
    EXPECT_EQ(f1.Executa(Venda(1, "-", "T05")).codigo, "18");  // slot not programmed
    EXPECT_EQ(f1.Executa(Venda(1, "-", "T01")).codigo, "00");
    EXPECT_EQ(f2.Executa(Venda(2, "G", "T01")).codigo, "00");
    EXPECT_EQ(p1.aberto.itens.at(0).quantidade, 1000);
    EXPECT_EQ(p2.aberto.itens.at(0).quantidade, 1000);
    EXPECT_EQ(f1.Executa("260" + std::string(48, 'x')).codigo, "10");  // a family-2 line
    EXPECT_EQ(f1.Executa("0717" + std::string(15, '0') + "1").codigo, "57");
    EXPECT_EQ(f1.Executa("07010000000000000A01").codigo, "03");  // a letter in a number
    EXPECT_EQ(f1.Executa("08S003AB").codigo, "10");              // the length does not match
    EXPECT_EQ(f1.Executa("08S000").codigo, "58");                // not paid
}

TEST(FrenteNumerica, TheModelsRefusalsBecomeCodesOfThisProtocol) {
    Impressora p;
    FrenteNumerica f(p, 1);
    EXPECT_EQ(f.Executa("12001").codigo, "22");  // no receipt open
    EXPECT_EQ(f.Executa("21").codigo, "24");
    EXPECT_EQ(f.Executa("180002"
                        "0001")
                  .codigo,
              "07");
    p.semPapel = true;
    EXPECT_EQ(f.Executa("150").codigo, "33");
    EXPECT_EQ(f.CodigoDoErro(emulador::erro::kPagamentoExcedido), 56);
}

}  // namespace
