// The SINTEGRA records of an ATO COTEPE file written by hand, the first COOs of its reductions
// answered by the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "comum/ambiente.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/sintegra.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/sped_ato.h"

namespace {

using namespace tarvo;
using teste::sped::E11;

const std::string kSerie = "TV010500000000012345";
const std::string kModelo = "RIX 4000";

std::string E01(const std::string& inicio, const std::string& fim) {
    return MontaLinha(kLinhaE01, {"", kSerie, "", "ECF-IF", "TARVO", kModelo, "01.00.05", "20100101",
                                  "080000", "7", "11222333000181", "TDM", "1", "9", inicio, fim});
}
std::string E02(const std::string& gt) {
    return MontaLinha(kLinhaE02, {"", kSerie, "", kModelo, "11222333000181", "123456789", "LOJA", "RUA",
                                  "20100101", "080000", "1", gt, "1"});
}
std::string E12(int crz, int coo, const std::string& movimento, const std::string& emissao,
                const std::string& venda) {
    return MontaLinha(kLinhaE12, {"", kSerie, "", kModelo, "1", std::to_string(crz), std::to_string(coo),
                                  "1234", movimento, emissao, "230000", venda, "N"});
}
std::string E13(int crz, const std::string& codigo, const std::string& valor) {
    return MontaLinha(kLinhaE13, {"", kSerie, "", kModelo, "1", std::to_string(crz), codigo, valor});
}
std::string E14(int coo, const std::string& data, const std::string& subtotal, const std::string& cancelado) {
    return MontaLinha(kLinhaE14, {"", kSerie, "", kModelo, "1", std::to_string(coo), std::to_string(coo),
                                  data, subtotal, "0", "V", "0", "V", subtotal, cancelado, "0", "D", "", ""});
}
std::string E15(int coo, int n, const std::string& produto, const std::string& qtd,
                const std::string& unitario, const std::string& desconto, const std::string& total,
                const std::string& totalizador, const std::string& cancelado = "N") {
    return MontaLinha(kLinhaE15, {"",
                                  kSerie,
                                  "",
                                  kModelo,
                                  "1",
                                  std::to_string(coo),
                                  std::to_string(coo),
                                  std::to_string(n),
                                  produto,
                                  "  DESCRICAO " + produto,
                                  qtd,
                                  "UN",
                                  unitario,
                                  desconto,
                                  "0",
                                  total,
                                  totalizador,
                                  cancelado,
                                  "0",
                                  "0",
                                  "0",
                                  "T",
                                  "3",
                                  "2"});
}

class SintegraAto : public teste::PastaRfd {
  protected:
    std::string ato = home / "ato.txt";
    std::map<int, std::string> cooReducoes;  // what the printer answers for COOReducao[n]
    std::vector<int> lidas;

    SintegraAto() {
        Estado().GeraSintegraAtivo = true;
        Sintegra() = {};
        Sintegra().Informante = {"EMPRESA LTDA",   "RUA DAS FLORES", "123",  "SALA 2",
                                 "CENTRO",         "SAO PAULO",      "SP",   "01234-567",
                                 "(11) 5555-1234", "11 5555-4321",   "MARIA"};
    }
    ~SintegraAto() override { Sintegra() = {}; }
    void Ato(const std::vector<std::string>& linhas) { teste::EscreveLinhasCrLf(ato, linhas); }
    int Gera() {
        return GeraSintegraMfdBinario(ato, [this](int crz, std::string& coo) {
            lidas.push_back(crz);
            auto it = cooReducoes.find(crz);
            if (it == cooReducoes.end()) return 8005;
            coo = it->second;
            return 1;
        });
    }
    // The records of "SINT.TXT" of one kind (from column 21), with their keys.
    std::vector<std::string> Sint(const std::string& tipo) {
        std::vector<std::string> r;
        for (const auto& l : teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("SINT.TXT")))) {
            EXPECT_EQ(l.size(), 146u) << l;
            if (l.substr(20, tipo.size()) == tipo) r.push_back(l);
        }
        return r;
    }
};

TEST_F(SintegraAto, ReductionsOfTheMonthGive60MWithTheirFirstCooAndTheGrandTotalAtTheirEnd) {
    Ato({E01("20100301", "20100331"), E02("000000000000000100"), E11(3, 30, "150000"),
         E12(1, 10, "20100228", "20100301", "1000"),  // the month before: no 60M
         E12(2, 20, "20100301", "20100301", "2000"), E12(3, 30, "20100302", "20100303", "3000"),
         E14(31, "20100304", "400", "N"),  // sold after the last reduction
         E14(32, "20100304", "50", "S"),   // cancelled: not counted
         E14(29, "20100302", "70", "N")});
    cooReducoes = {{1, "10"}, {2, "20"}};
    ASSERT_EQ(Gera(), 1);
    EXPECT_EQ(lidas, (std::vector<int>{1, 2}));
    auto m = Sint("60M");
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0],
              "02"
              "20100301"
              "20100301"
              "02"
              "60M20100301" +
                  kSerie +
                  "007"
                  "2D"
                  "000011"
                  "000020"
                  "000002"
                  "234"
                  "0000000000002000"
                  "0000000000147000" +
                  std::string(37, ' '));
    EXPECT_EQ(m[1].substr(0, 20),
              "02"
              "20100303"
              "20100302"
              "02");
    EXPECT_EQ(m[1].substr(20 + 36, 12), "000021000030");
    EXPECT_EQ(m[1].substr(20 + 73, 16), "0000000000150000");  // E11's GT: the last reduction's

    // Records 10 and 11 from E01, E02 and the informant.
    const std::string& r10 = Sintegra().Registro10;
    EXPECT_EQ(r10,
              "10"
              "11222333000181"
              "123456789     " +
                  PreencheEspacosDireita("EMPRESA LTDA", 35) + PreencheEspacosDireita("SAO PAULO", 30) +
                  "SP"
                  "1155554321"
                  "20100301"
                  "20100331"
                  "331");
    EXPECT_EQ(Sintegra().Registro11, "11" + PreencheEspacosDireita("RUA DAS FLORES", 34) + "00123" +
                                         PreencheEspacosDireita("SALA 2", 22) +
                                         PreencheEspacosDireita("CENTRO", 15) + "01234567" +
                                         PreencheEspacosDireita("MARIA", 28) + "001155551234");
}

TEST_F(SintegraAto, AFailedReadingOfAFirstCooFailsAndNo60MCarriesAWrongOne) {
    // No E11: no source for the 60M's grand total, and no file says a false one.
    Ato({E01("20100301", "20100331"), E02("1000"), E12(2, 20, "20100301", "20100301", "2000")});
    EXPECT_THROW(Gera(), ErroArquivoFiscal);
    Ato({E01("20100301", "20100331"), E02("1000"), E11(2, 20, "5000"),
         E12(2, 20, "20100301", "20100301", "2000")});
    EXPECT_EQ(Gera(), 8005);
    EXPECT_TRUE(Sint("60M").empty());
    // An answer that is no number is no COO either.
    cooReducoes = {{1, "ABC"}};
    EXPECT_NE(Gera(), 1);
    EXPECT_TRUE(Sint("60M").empty());
}

TEST_F(SintegraAto, TotalizersGive60AMergedByReductionAndSituation) {
    Ato({E01("20100301", "20100331"), E02("1000"), E11(2, 20, "4000"),
         E12(1, 10, "20100301", "20100302", "2000"), E12(2, 20, "20100302", "20100303", "2000"),
         E13(1, "01T1800", "1500"), E13(1, "Can-T", "300"), E13(1, "Can-S", "200"), E13(1, "F1", "0"),
         E13(1, "OPNF", "999"), E13(1, "AT", "12"), E13(2, "DT", "77"), E13(2, "FS1", "40"),
         E13(2, "02S0500", "60")});
    cooReducoes = {{1, "10"}};
    ASSERT_EQ(Gera(), 1);
    std::map<std::string, std::string> a;  // key dates + code -> value
    for (const auto& l : Sint("60A")) a[l.substr(2, 16) + l.substr(20 + 31, 4)] = l.substr(20 + 35, 12);
    EXPECT_EQ(a, (std::map<std::string, std::string>{{"20100302201003011800", "000000001500"},
                                                     {"2010030220100301CANC", "000000000500"},
                                                     {"2010030320100302DESC", "000000000077"},
                                                     {"2010030320100302ISS ", "000000000100"}}));
    for (const auto& l : Sint("60A")) EXPECT_EQ(l.substr(20 + 3, 8), l.substr(10, 8));
}

TEST_F(SintegraAto, ItemsGive60IAnd75WithTheirCodesBaseAndTax) {
    Ato({E01("20100301", "20100331"), E02("1000"), E11(1, 10, "2000"),
         E12(1, 10, "20100301", "20100302", "2000"), E14(5, "20100301", "1000", "N"),
         E14(6, "20100301", "300", "S"),
         E15(5, 1, "ABC", "2500", "499", "10", "1123", "01T1800"),   // taxed at 18 %
         E15(5, 2, "F", "1000", "500", "0", "500", "F1"),            // tax substitution
         E15(5, 3, "Z", "1000", "800", "0", "800", "03T0000"),       // rate 0000: nothing
         E15(5, 4, "X", "1000", "800", "0", "800", "01T1800", "S"),  // item cancelled
         E15(6, 1, "Y", "1000", "300", "0", "300", "02T1200")});     // receipt cancelled
    ASSERT_EQ(Gera(), 1);
    auto i = Sint("60I");
    ASSERT_EQ(i.size(), 4u);
    // 4,99 grossed up by 18 %: 6,0853... -> 6,09; tax 18 % of 11,23 -> 2,02.
    EXPECT_EQ(i[0],
              "02"
              "20100302"
              "20100301"
              "06"
              "60I20100301" +
                  kSerie +
                  "2D"
                  "000005"
                  "001" +
                  PreencheEspacosDireita("ABC", 14) +
                  "0000000002500"
                  "0000000000489"
                  "000000000609"
                  "1800"
                  "000000000202" +
                  std::string(16, ' '));
    EXPECT_EQ(i[1].substr(20 + 94, 4 + 12), "F   000000000000");
    EXPECT_EQ(i[1].substr(20 + 82, 12), "000000000500");
    EXPECT_EQ(i[2].substr(20 + 94, 4 + 12), "CANC000000000000");
    EXPECT_EQ(i[3].substr(20 + 42, 14), PreencheEspacosDireita("Y", 14));
    EXPECT_EQ(i[3].substr(20 + 94, 4 + 12), "CANC000000000000");
    auto v = Sint("75");
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0],
              "04"
              "20100302"
              "20100301"
              "07"
              "75"
              "20100301"
              "20100301" +
                  PreencheEspacosDireita("ABC", 14) + std::string(8, ' ') +
                  PreencheEspacosDireita("DESCRICAO ABC", 53) +
                  "UN    "
                  "00000"
                  "1800"
                  "00000" +
                  std::string(13, '0'));
    EXPECT_EQ(v[1].substr(20 + 104, 4), "0000");
    EXPECT_EQ(v[3].substr(20 + 104, 4), "0000");
}

TEST_F(SintegraAto, AnItemAfterAReductionsFinalCooBelongsToTheNextReduction) {
    // The receipt of COO 15 was opened on the 1st but is in the reduction issued on the 3rd.
    Ato({E01("20100301", "20100331"), E02("1000"), E11(2, 20, "2"), E12(1, 10, "20100301", "20100301", "1"),
         E12(2, 20, "20100302", "20100303", "1"), E14(15, "20100301", "100", "N"),
         E15(15, 1, "P", "1000", "100", "0", "100", "F1")});
    cooReducoes = {{1, "10"}};
    ASSERT_EQ(Gera(), 1);
    auto i = Sint("60I");
    ASSERT_EQ(i.size(), 1u);
    EXPECT_EQ(i[0].substr(0, 18),
              "02"
              "20100303"
              "20100302");
    EXPECT_EQ(i[0].substr(23, 8), "20100302");
}

TEST_F(SintegraAto, TheFinalFileOfTheRecords) {
    Ato({E01("20100301", "20100331"), E02("1000"), E11(1, 10, "900"),
         E12(1, 10, "20100301", "20100301", "900"), E13(1, "F1", "900"), E14(5, "20100301", "900", "N"),
         E15(5, 1, "ABCDEFGHIJKLM1", "1000", "100", "0", "100", "F1"),
         E15(5, 2, "ABCDEFGHIJKLM1", "2000", "100", "0", "200", "F1"),  // same product: one 75
         E15(5, 3, "ABCDEFGHIJKLM2", "1000", "600", "0", "600", "F1")});
    ASSERT_EQ(Gera(), 1);
    Sintegra().Flag60I = true;
    EXPECT_EQ(MontaRegistros60(0), 2u);
    EXPECT_EQ(MontaRegistros60(1), 2u);
    ContagemSintegra c = GravaArquivoSintegra();
    auto linhas = teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("SINTEGRA.TXT")));
    std::vector<std::string> tipos;
    for (const auto& l : linhas) {
        EXPECT_EQ(l.size(), 126u) << l;
        tipos.push_back(l.substr(0, l[0] == '6' ? 3 : 2));
    }
    EXPECT_EQ(tipos, (std::vector<std::string>{"10", "11", "60M", "60A", "60D", "60D", "60I", "60I", "60I",
                                               "60R", "60R", "75", "75", "90"}));
    EXPECT_EQ(c.tipo60, 9u);
    EXPECT_EQ(c.tipo75, 2u);
    EXPECT_EQ(linhas.back().substr(0, 30), "9011222333000181123456789     ");
    EXPECT_EQ(linhas.back().substr(30, 30), "600000000975000000029900000014");
}

TEST(SintegraMes, MonthEndsOfTheGregorianCalendar) {
    EXPECT_EQ(UltimoDiaMes(2, 2012), 29);
    EXPECT_EQ(UltimoDiaMes(2, 2011), 28);
    EXPECT_EQ(UltimoDiaMes(2, 2100), 28);
    EXPECT_EQ(UltimoDiaMes(2, 2000), 29);
    EXPECT_EQ(UltimoDiaMes(4, 2010), 30);
    EXPECT_EQ(UltimoDiaMes(12, 2010), 31);
    EXPECT_EQ(UltimoDiaMes(13, 2010), 0);
    EXPECT_EQ(UltimoDiaMes(0, 2010), 0);
}

}  // namespace

namespace {

// The informant's texts as a form hands them over: a tab or a line break becomes a blank, so
// each record stays one line of 126 characters.
TEST(SintegraInformante, ControlCharactersOfTheHostsTextsBecomeBlanks) {
    tarvo::InformanteSintegra i;
    i.razaoSocial = "EMPRESA\tLTDA";
    i.endereco = "RUA\r\nFUNDOS";
    i.contato = "MARIA\nJOSE";
    const std::string r10 = tarvo::MontaRegistro10("11222333000181", "ISENTO", i, "20100301", "20100331");
    const std::string r11 = tarvo::MontaRegistro11(i);
    ASSERT_EQ(r10.size(), 126u);
    ASSERT_EQ(r11.size(), 126u);
    EXPECT_EQ(r10.substr(30, 12), "EMPRESA LTDA");
    EXPECT_EQ(r11.substr(2, 11), "RUA  FUNDOS");
    EXPECT_EQ(r11.substr(86, 10), "MARIA JOSE");
}

}  // namespace

namespace {

TEST_F(SintegraAto, TheReadingsAskEachEarlierReductionOnceAndTheConversionTakesOnlyWhatWasRead) {
    Ato({E01("20100301", "20100331"), E02("1000"), E11(4, 40, "4000"),
         E12(1, 10, "20100228", "20100301", "1000"),  // the month before: nothing read
         E12(3, 30, "20100301", "20100302", "1000"), E12(3, 30, "20100301", "20100302", "1000"),
         E12(4, 40, "20100302", "20100303", "1000")});
    cooReducoes = {{2, "20"}, {3, "30"}};
    CoosReducoes coos;
    ASSERT_EQ(LeCoosReducoesSintegra(
                  ato,
                  [this](int crz, std::string& coo) {
                      lidas.push_back(crz);
                      coo = cooReducoes[crz];
                      return 1;
                  },
                  coos),
              1);
    EXPECT_EQ(lidas, (std::vector<int>{2, 3}));
    EXPECT_EQ(coos, (CoosReducoes{{2, "20"}, {3, "30"}}));

    const std::vector<std::int64_t> gts = CalculaGtReducoes(ato);
    struct Caso {
        const char* nome;
        CoosReducoes coos;
        int resultado;
        std::size_t registros60M;
    } casos[] = {
        {"all read", {{2, "20"}, {3, " 30 "}}, 1, 3}, {"first missing", {{3, "30"}}, 0, 0},
        {"no number", {{2, "2O"}, {3, "30"}}, 0, 0},  {"too long", {{2, "1234567890"}, {3, "30"}}, 0, 0},
        {"a later one missing", {{2, "20"}}, 0, 2},  // only 60M whose first COO was read
    };
    for (const Caso& c : casos) {
        Sintegra().Registro10.clear();
        EXPECT_EQ(ConverteSintegraMfd(ato, gts, c.coos), c.resultado) << c.nome;
        EXPECT_EQ(Sint("60M").size(), c.registros60M) << c.nome;
        EXPECT_EQ(Sintegra().Registro10.empty(), c.resultado != 1) << c.nome;
    }
}

}  // namespace
