// The final SINTEGRA file from the keyed lines of "SINT.TXT".
#include "driver/fiscalfiles/sintegra.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "comum/ambiente.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "fiscalfiles/pasta_rfd.h"

namespace {

using namespace tarvo;

// A record of `tipo` padded to 126 characters.
std::string Reg(const std::string& inicio) {
    return PreencheEspacosDireita(inicio, 126);
}

const std::string kDatas = "2012022920120229";

class ArquivoSintegra : public teste::PastaRfd {
  protected:
    ArquivoSintegra() {
        std::filesystem::create_directories(Rfdtemp());
        Estado().GeraSintegraAtivo = true;
    }
    void Sint(const std::vector<std::string>& linhas) {
        teste::EscreveLinhasCrLf(Rfdtemp("SINT.TXT"), linhas);
    }
    std::vector<std::string> Final() { return teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("SINTEGRA.TXT"))); }
};

TEST_F(ArquivoSintegra, RecordsInKeyOrderWithoutKeysAndTheCountsInRecord90) {
    const std::string m = Reg("60M20120229SERIE"), a = Reg("60A20120229SERIE1800"),
                      i = Reg("60I20120229SERIE2D000010001PRODUTO"), d = Reg("60D20120229SERIEPRODUTO"),
                      r = Reg("60R022012PRODUTO"), v1 = Reg("752012022920120229PRODUTO1      X"),
                      v2 = Reg("752012022920120229PRODUTO1      Y"),  // same dates and product
        v3 = Reg("752012022920120229PRODUTO2      X");
    Sint({"04" + kDatas + "07" + v1, "04" + kDatas + "07" + v2, std::string("032012022904") + r,
          "02" + kDatas + "06" + i, "02" + kDatas + "03" + a, "02" + kDatas + "02" + m,
          "02" + kDatas + "05" + d, "02" + kDatas + "03" + a,  // a repeated line goes once
          "04" + kDatas + "07" + v3});
    const std::string r10 = Reg("10CNPJ"), r11 = Reg("11RUA");
    ContagemSintegra c = GravaArquivoSintegra(r10, r11, "12345678000199", "ISENTO", true);
    EXPECT_EQ(c.tipo60, 5u);
    EXPECT_EQ(c.tipo75, 2u);
    const std::vector<std::string> esperado = {r10, r11, m, a, d, i, r, v1, v3};
    auto linhas = Final();
    ASSERT_EQ(linhas.size(), esperado.size() + 1);
    for (std::size_t k = 0; k < esperado.size(); ++k) EXPECT_EQ(linhas[k], esperado[k]) << k;
    for (const auto& l : linhas) EXPECT_EQ(l.size(), 126u) << l;
    EXPECT_EQ(linhas.back().substr(0, 60), "9012345678000199ISENTO        600000000575000000029900000010");
    EXPECT_EQ(linhas.back().back(), '1');
}

TEST_F(ArquivoSintegra, Without60IFlagThoseRecordsAreLeftOut) {
    Sint({"02" + kDatas + "06" + Reg("60I20120229A"), "02" + kDatas + "06" + Reg("60I20120229B"),
          "02" + kDatas + "02" + Reg("60M20120229")});
    ContagemSintegra c = GravaArquivoSintegra(Reg("10"), Reg("11"), "1", "", false);
    EXPECT_EQ(c.tipo60, 1u);
    auto linhas = Final();
    ASSERT_EQ(linhas.size(), 4u);
    EXPECT_EQ(linhas[2].substr(0, 3), "60M");
    EXPECT_EQ(linhas[3].substr(0, 16), "9000000000000001");
    EXPECT_EQ(linhas[3].substr(30, 30), "600000000175000000009900000004");
}

TEST_F(ArquivoSintegra, NothingWhileSintegraIsOffAndAnOldFileIsReplaced) {
    Sint({"02" + kDatas + "02" + Reg("60M")});
    Estado().GeraSintegraAtivo = false;
    teste::EscreveArquivo(Rfdtemp("SINTEGRA.TXT"), "velho\r\n");
    GravaArquivoSintegra(Reg("10"), Reg("11"), "1", "", true);
    EXPECT_EQ(teste::LeArquivo(Rfdtemp("SINTEGRA.TXT")), "velho\r\n");
    Estado().GeraSintegraAtivo = true;
    GravaArquivoSintegra(Reg("10"), Reg("11"), "1", "", true);
    EXPECT_EQ(Final().size(), 4u);
    // Without "SINT.TXT" the file holds the informant's records and record 90.
    std::filesystem::remove(Rfdtemp("SINT.TXT"));
    GravaArquivoSintegra(Reg("10"), Reg("11"), "1", "", true);
    EXPECT_EQ(Final().size(), 3u);
}

// A keyed 60I line of the reduction `datas` for a product, with its quantity, unit value,
// base, tax code and tax.
std::string Linha60I(const std::string& datas, const std::string& produto, const std::string& qtd,
                     const std::string& valor, const std::string& base, const std::string& codigo,
                     const std::string& imposto) {
    return "02" + datas + "06" + "60I" + datas.substr(8) + PreencheEspacosDireita("SERIE", 20) + "2D" +
           "000010" + "001" + PreencheEspacosDireita(produto, 14) + PreencheZerosEsquerda(qtd, 13) +
           PreencheZerosEsquerda(valor, 13) + PreencheZerosEsquerda(base, 12) + codigo +
           PreencheZerosEsquerda(imposto, 12) + std::string(16, ' ');
}

TEST_F(ArquivoSintegra, ItemsOfOneReductionAndProductMergeInto60D) {
    const std::string outro = "2012030120120301";
    Sint({Linha60I(kDatas, "ABCDEFGHIJKLM1", "1000", "250", "250", "1800", "45"),
          Linha60I(kDatas, "ABCDEFGHIJKLM2", "2000", "100", "100", "1800", "18"),  // 14th character differs
          Linha60I(kDatas, "ABCDEFGHIJKLM1", "3000", "2147483647", "999", "0700", "70"),
          Linha60I(outro, "ABCDEFGHIJKLM1", "1000", "5", "5", "F   ", "0"),
          "02" + kDatas + "02" + Reg("60M20120229")});
    EXPECT_EQ(MontaRegistros60D(), 3u);
    std::vector<std::string> d;
    for (const auto& l : teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("SINT.TXT"))))
        if (l.substr(20, 3) == "60D") d.push_back(l);
    ASSERT_EQ(d.size(), 3u);
    for (const auto& l : d) EXPECT_EQ(l.size(), 20u + 126u);
    // Quantities and values added (above 32 bits), base, code and tax of the first item.
    EXPECT_EQ(d[0].substr(0, 20), "02" + kDatas + "05");
    EXPECT_EQ(d[0].substr(20), "60D20120229" + PreencheEspacosDireita("SERIE", 20) + "ABCDEFGHIJKLM1" +
                                   "0000000004000" + "0000002147483897" + "0000000000000250" + "1800" +
                                   "0000000000045" + std::string(19, ' '));
    EXPECT_EQ(d[1].substr(20 + 31, 14), "ABCDEFGHIJKLM2");
    // A product of the letter codes carries no base.
    EXPECT_EQ(d[2].substr(0, 18), "02" + outro);
    EXPECT_EQ(d[2].substr(20 + 3 + 8 + 20 + 14 + 13 + 16, 16), std::string(16, '0'));
}

TEST_F(ArquivoSintegra, EachProductOfTheMonthGivesOne60RAndOneForItsCancelledItems) {
    const std::string dia1 = "2012020120120201", dia2 = "2012020220120202";
    Sint({Linha60I(dia2, "P1", "2000", "150", "300", "1800", "54"),  // 2 x 1,50
          Linha60I(dia1, "P1", "1500", "200", "300", "0700", "21"),  // 1,5 x 2,00
          Linha60I(dia1, "P1", "1000", "999", "999", "CANC", "0"),
          Linha60I(dia1, "P2", "1000", "100", "100", "F   ", "0")});
    EXPECT_EQ(MontaRegistros60R(), 3u);
    std::vector<std::string> r;
    for (const auto& l : teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("SINT.TXT"))))
        if (l.substr(12, 3) == "60R") r.push_back(l);
    ASSERT_EQ(r.size(), 3u);
    const std::string fim(54, ' ');
    EXPECT_EQ(r[0],
              "032012020204"
              "60R"
              "022012" +
                  PreencheEspacosDireita("P1", 14) + "0000000003500" + "0000000000000600" +
                  "0000000000000600" + "1800" + fim);
    EXPECT_EQ(r[1],
              "032012020104"
              "60R"
              "022012" +
                  PreencheEspacosDireita("P1", 14) + "0000000001000" + "0000000000000999" +
                  "0000000000000999" + "CANC" + fim);
    EXPECT_EQ(r[2].substr(15, 6 + 14), "022012" + PreencheEspacosDireita("P2", 14));
    for (const auto& l : r) EXPECT_EQ(l.size(), 12u + 126u);
    // Through the final file they come after the 60 records of the reductions.
    GravaArquivoSintegra(Reg("10"), Reg("11"), "1", "", true);
    auto linhas = Final();
    ASSERT_EQ(linhas.size(), 2u + 4u + 3u + 1u);
    EXPECT_EQ(linhas[6].substr(0, 3), "60R");
    EXPECT_EQ(linhas[9].substr(30, 30), "600000000775000000009900000010");
}

TEST(ValoresSintegra, TaxInWholeNumbersAndTheBaseGrossedUpAndRoundedHalfUp) {
    EXPECT_EQ(AjustaValorMonetario(10000, 1800), 1800);
    EXPECT_EQ(AjustaValorMonetario(999999, 1850), 184999);
    EXPECT_EQ(AjustaValorMonetario(1000000, 1850), 180000);  // the rate's decimals dropped
    EXPECT_EQ(AjustaValorMonetario(-5000, 1200), -600);
    EXPECT_EQ(AjustaValorMonetario(900000000000000000LL, 1800), 162000000000000000LL);
    EXPECT_EQ(BaseCalculo60I(1000, "CANC"), 1000);
    EXPECT_EQ(BaseCalculo60I(1000, "F   "), 1000);
    EXPECT_EQ(BaseCalculo60I(1000, "ISS "), 1000);
    EXPECT_EQ(BaseCalculo60I(8200, "1800"), 10000);  // 82,00 / 0,82
    EXPECT_EQ(BaseCalculo60I(100, "1800"), 122);     // 121,95... up
    EXPECT_EQ(BaseCalculo60I(1, "5000"), 2);         // exactly half a cent more: up
    EXPECT_EQ(BaseCalculo60I(7, "0700"), 8);         // 7,5268... up
    EXPECT_EQ(BaseCalculo60I(1000, "0000"), 1000);
    EXPECT_EQ(BaseCalculo60I(1000, "ABCD"), 1000);
}

}  // namespace
