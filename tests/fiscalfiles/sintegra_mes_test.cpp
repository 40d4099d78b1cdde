// The SINTEGRA file of a month of days sold on the emulated printer, each closed by a Z
// reduction: by the month's export (the memories read and converted the dump way) and by the
// RFD of the month's dates with the SINTEGRA switch on; its records held against the
// printer's reductions.
#include "fiscalfiles/sintegra_mes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/sintegra.h"
#include "driver/protocols/familia0/parametros.h"
#include "fiscalfiles/rfd_emulador.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
namespace fs = std::filesystem;

using teste::kDias;
using teste::kProduto1;
using teste::kProduto2;
using SintegraMesEmulador = teste::SintegraMesEmulador;

std::vector<std::string> Linhas(const std::string& arquivo) {
    return teste::LinhasCrLf(teste::LeArquivo(arquivo));
}

std::string Tipo(const std::string& l) {
    return l.substr(0, l.rfind("60", 0) == 0 ? 3 : 2);
}

// The record kinds in the order the file must have them: 10, 11, the 60 records of each
// reduction (60M, 60A, 60D, 60I), the 60R, the 75 and 90.
void OrdemDosRegistros(const std::vector<std::string>& linhas) {
    static const std::map<std::string, int> kOrdem = {{"10", 0},  {"11", 1},  {"60M", 2},
                                                      {"60A", 3}, {"60D", 4}, {"60I", 5},
                                                      {"60R", 6}, {"75", 7},  {"90", 8}};
    std::string reducao;
    int anterior = -1;
    for (const auto& l : linhas) {
        ASSERT_EQ(l.size(), 126u) << l;
        const std::string t = Tipo(l);
        ASSERT_TRUE(kOrdem.count(t)) << l;
        int ordem = kOrdem.at(t);
        // Within the reductions: a new 60M opens the next one.
        if (t == "60M" && anterior >= 2 && anterior <= 5) {
            EXPECT_GT(l.substr(3, 8), reducao);
            anterior = 2;
        }
        if (t.rfind("60", 0) == 0 && t != "60R" && t != "60M") {
            EXPECT_EQ(l.substr(3, 8), reducao) << l;
        }
        if (t == "60M") reducao = l.substr(3, 8);
        EXPECT_GE(ordem, anterior) << l;
        anterior = ordem;
    }
    EXPECT_EQ(Tipo(linhas.back()), "90");
}

TEST_F(SintegraMesEmulador, TheMonthsFileAgreesWithThePrintersReductions) {
    Mes();
    if (HasFatalFailure()) return;
    const emulador::Impressora imp = e.Impressora();
    ASSERT_EQ(imp.memoriaFiscal.size(), static_cast<std::size_t>(kDias));

    ASSERT_EQ(Relatorio(4 + 8 + 16, "SINT0310.TXT"), 1) << Erro().UltimaMensagem;
    // The bare name: beside the program and in the work folder.
    const auto linhas = Linhas(atual / "SINT0310.TXT");
    EXPECT_EQ(teste::LeArquivo(home / "SINT0310.TXT"), teste::LeArquivo(atual / "SINT0310.TXT"));
    ASSERT_GT(linhas.size(), 4u);
    OrdemDosRegistros(linhas);
    EXPECT_FALSE(Estado().GeraSintegraAtivo);
    EXPECT_FALSE(Sintegra().Flag60D || Sintegra().Flag60I || Sintegra().Flag60R);

    EXPECT_EQ(linhas[0].substr(0, 16), "10" + PreencheZerosEsquerda(imp.usuarios.back().cnpj, 14));
    EXPECT_EQ(linhas[0].substr(95, 2), "SP");
    EXPECT_EQ(linhas[0].substr(108 - 1, 19), "2010030120100331331");
    EXPECT_EQ(linhas[1].substr(0, 2), "11");

    std::map<std::string, std::vector<std::string>> porTipo;
    for (const auto& l : linhas) porTipo[Tipo(l)].push_back(l);

    // One 60M a reduction, its counters, sums and the grand total at its end as the printer has
    // them.
    const auto& m = porTipo["60M"];
    ASSERT_EQ(m.size(), static_cast<std::size_t>(kDias));
    char n[32];
    for (std::size_t k = 0; k < m.size(); ++k) {
        const emulador::RegistroZ& z = imp.memoriaFiscal[k];
        const int primeiro = k == 0 ? 1 : imp.memoriaFiscal[k - 1].coo + 1;
        std::snprintf(n, sizeof n, "%06d%06d%06d", primeiro, z.coo, z.crz);
        EXPECT_EQ(m[k].substr(36, 18), n) << k;
        EXPECT_EQ(m[k].substr(57, 16), PreencheZerosEsquerda(std::to_string(z.VendaBruta()), 16)) << k;
        EXPECT_EQ(m[k].substr(73, 16), PreencheZerosEsquerda(std::to_string(z.gt), 16)) << k;
    }

    // 60A: the totalizers of each reduction, by situation.
    for (std::size_t k = 0; k < m.size(); ++k) {
        const emulador::RegistroZ& z = imp.memoriaFiscal[k];
        std::map<std::string, std::int64_t> esperado, lido;
        for (std::size_t s = 0; s < z.aliquotas.size(); ++s)
            if (z.aliquotas[s].programada && z.totais.aliquota[s] != 0) {
                std::snprintf(n, sizeof n, "%04d", z.aliquotas[s].percentual);
                esperado[z.aliquotas[s].icms ? n : "ISS "] += z.totais.aliquota[s];
            }
        for (auto [codigo, valor] : {std::pair<const char*, std::int64_t>{"F   ", z.totais.f1},
                                     {"I   ", z.totais.i1},
                                     {"N   ", z.totais.n1},
                                     {"ISS ", z.totais.fs1 + z.totais.is1 + z.totais.ns1},
                                     {"CANC", z.totais.cancelamentosIcms + z.totais.cancelamentosIss},
                                     {"DESC", z.totais.descontosIcms + z.totais.descontosIss}})
            if (valor) esperado[codigo] += valor;
        for (const auto& l : porTipo["60A"])
            if (l.substr(3, 8) == m[k].substr(3, 8)) {
                EXPECT_FALSE(lido.count(l.substr(31, 4))) << "one 60A a situation: " << l;
                lido[l.substr(31, 4)] = std::stoll(l.substr(35, 12));
            }
        EXPECT_EQ(lido, esperado) << "reduction " << k + 1;
    }

    // Items: the cancelled item and the items of the cancelled receipt as "CANC" with no tax.
    std::map<std::string, int> cancelados;
    for (const auto& l : porTipo["60I"]) {
        const std::string produto = AparaDireita(l.substr(42, 14));
        if (l.substr(94, 4) == "CANC") {
            ++cancelados[produto];
            EXPECT_EQ(l.substr(98, 12), std::string(12, '0')) << l;
        }
    }
    EXPECT_EQ(cancelados["3"], kDias);  // the item cancelled
    EXPECT_EQ(cancelados["12"], 1);     // the receipt cancelled
    for (const auto& l : porTipo["75"]) {
        if (AparaDireita(l.substr(18, 14)) == "12") {
            EXPECT_EQ(l.substr(104, 4), "0000") << l;
        }
    }

    // 60D: the two products of the second day apart, the two sales of the first one summed.
    std::map<std::string, std::string> d;
    for (const auto& l : porTipo["60D"])
        if (l.substr(3, 8) == "20100302") d[l.substr(31, 14)] = l.substr(45, 13 + 16);
    EXPECT_EQ(d[kProduto1],
              "0000000003000"
              "0000000000000200");
    EXPECT_EQ(d[kProduto2],
              "0000000001000"
              "0000000000000200");
    // 60R: one for each product of the month, one more for its cancelled items.
    std::map<std::string, int> r;
    for (const auto& l : porTipo["60R"])
        ++r[AparaDireita(l.substr(9, 14)) + (l.substr(68, 4) == "CANC" ? "/C" : "")];
    EXPECT_EQ(r[kProduto1], 1);
    EXPECT_EQ(r[kProduto2], 1);
    EXPECT_EQ(r["3/C"], 1);
    EXPECT_EQ(r["3"], 0);
    EXPECT_EQ(r["12/C"], 1);
    EXPECT_EQ(r["12"], 0);

    // Record 90 counts what the file holds.
    const std::size_t n60 = m.size() + porTipo["60A"].size() + porTipo["60D"].size() + porTipo["60I"].size() +
                            porTipo["60R"].size();
    const std::string& r90 = linhas.back();
    EXPECT_EQ(r90.substr(30, 30),
              "60" + PreencheZerosEsquerda(std::to_string(n60), 8) + "75" +
                  PreencheZerosEsquerda(std::to_string(porTipo["75"].size()), 8) + "99" +
                  PreencheZerosEsquerda(std::to_string(n60 + porTipo["75"].size() + 3), 8));
    EXPECT_EQ(r90.back(), '1');
}

TEST_F(SintegraMesEmulador, EachFlagGivesItsRecordsAndAFailedCooReadingNoFile) {
    Mes();
    if (HasFatalFailure()) return;
    ASSERT_EQ(Relatorio(0, home / "nenhum.txt"), 1) << Erro().UltimaMensagem;
    // A destination with its folder: no copy in the work folder.
    EXPECT_FALSE(fs::exists(home / (home / "nenhum.txt")));
    const std::string ato = AtoDoMes();
    ASSERT_FALSE(ato.empty());
    auto contagem = [](const std::vector<std::string>& linhas) {
        std::map<std::string, int> c;
        for (const auto& l : linhas) ++c[Tipo(l)];
        return c;
    };
    auto nenhum = contagem(Linhas(home / "nenhum.txt"));
    EXPECT_EQ(nenhum["60M"], kDias);
    EXPECT_GT(nenhum["60A"], 0);
    EXPECT_GT(nenhum["75"], 0);
    EXPECT_EQ(nenhum["60D"] + nenhum["60I"] + nenhum["60R"], 0);
    for (int flag : {4, 8, 16}) {
        const std::string destino = home / ("f" + std::to_string(flag) + ".txt");
        ASSERT_EQ(Binario(flag, ato, destino), 1) << Erro().UltimaMensagem;
        auto c = contagem(Linhas(destino));
        EXPECT_EQ(c["60D"] > 0, flag == 4) << flag;
        EXPECT_EQ(c["60I"] > 0, flag == 8) << flag;
        EXPECT_EQ(c["60R"] > 0, flag == 16) << flag;
        EXPECT_EQ(c["60M"], kDias);
    }
    // The switch stays on after the file's export; the flags do not.
    EXPECT_TRUE(Estado().GeraSintegraAtivo);
    EXPECT_FALSE(Sintegra().Flag60R);

    // The printer cannot say where a reduction's first COO is: no file, and 0.
    e.ErroEm("LeInteiro", 8005, "ErroInjetado", "Erro provocado pelo teste");
    const std::string falha = home / "falha.txt";
    EXPECT_EQ(Binario(28, ato, falha), 0);
    EXPECT_FALSE(fs::exists(falha));
    EXPECT_FALSE(fs::exists(Rfdtemp("SINTEGRA.TXT")));
    e.LimpaFalhas();
    // A file that does not exist.
    EXPECT_EQ(Binario(28, home / "nao-existe.txt", falha), 0);
    EXPECT_FALSE(fs::exists(falha));
}

TEST_F(SintegraMesEmulador, AMonthOutsideTheYearIsRefusedBeforeThePrinterIsAsked) {
    e.LimpaRegistros();
    for (const char* mes : {"13", "0", "", "xx"}) {
        EXPECT_EQ(Relatorio(28, home / "s.txt", mes), 0) << mes;
        EXPECT_EQ(Erro().UltimoRetorno, -7) << mes;
        EXPECT_EQ(Erro().UltimaMensagem.rfind("M\xEAs inv\xE1lido", 0), 0u) << Erro().UltimaMensagem;
    }
    EXPECT_EQ(Relatorio(28, home / "s.txt", "02", "abcd"), 0);
    EXPECT_TRUE(e.Trocas().empty());
    EXPECT_FALSE(fs::exists(home / "s.txt"));
    EXPECT_FALSE(Estado().GeraSintegraAtivo);
}

TEST_F(SintegraMesEmulador, TheRfdOfTheMonthsDatesWithSintegraOnEndsInTheSameKindOfFile) {
    Mes();
    if (HasFatalFailure()) return;
    Estado().GeraSintegraAtivo = true;
    Sintegra().Flag60D = Sintegra().Flag60I = Sintegra().Flag60R = true;
    Sintegra().Informante.uf = "SP";
    Sintegra().Registro10 = MontaRegistro10("11222333000181", "ISENTO", Sintegra().Informante, "", "");
    Sintegra().Registro11 = MontaRegistro11(Sintegra().Informante);
    ASSERT_EQ(RFD_ConvertedaMFDData("01032010", "31032010"), 1) << Erro().UltimaMensagem;
    // Reductions 1 to 3 of the period, and 4 after them (not there yet: no failure).
    EXPECT_NE(Log().find("*** Lendo intervalo(1 ate 4"), std::string::npos);
    const auto linhas = Linhas(Rfdtemp("SINTEGRA.TXT"));
    ASSERT_GT(linhas.size(), 4u);
    OrdemDosRegistros(linhas);
    EXPECT_EQ(linhas[0].substr(107), "2010030120100331331");
    std::map<std::string, int> c;
    for (const auto& l : linhas) ++c[Tipo(l)];
    EXPECT_EQ(c["60M"], kDias);
    EXPECT_GT(c["60A"], 0);
    EXPECT_GT(c["60D"], 0);
    EXPECT_GT(c["60R"], 0);
    EXPECT_EQ(
        linhas.back().substr(30, 30),
        "60" +
            PreencheZerosEsquerda(std::to_string(c["60M"] + c["60A"] + c["60D"] + c["60I"] + c["60R"]), 8) +
            "75" + PreencheZerosEsquerda(std::to_string(c["75"]), 8) + "99" +
            PreencheZerosEsquerda(std::to_string(linhas.size()), 8));
    EXPECT_FALSE(Estado().GeraSintegraAtivo);
}

}  // namespace

namespace {

TEST_F(SintegraMesEmulador, ADateRangeGivesTheRfdOfEachOfItsReductionsAndTriesTheNext) {
    Mes();
    if (HasFatalFailure()) return;
    Estado().EmiteLMF_RFD = false;
    ASSERT_EQ(RFD_ConvertedaMFDData("01032010", "02032010"), 1) << Erro().UltimaMensagem;
    EXPECT_NE(Log().find("*** Lendo intervalo(1 ate 3"), std::string::npos);
    std::vector<std::string> nomes;
    for (const auto& a : fs::directory_iterator(home / "rfd")) nomes.push_back(a.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    // One file a reduction of the range, named by its movement day (1 and 2 March 2010); the
    // next reduction closed the 3rd, outside the range: read, and no file.
    ASSERT_EQ(nomes.size(), 2u);
    EXPECT_EQ(nomes[0].substr(nomes[0].size() - 4), ".13A");
    EXPECT_EQ(nomes[1].substr(nomes[1].size() - 4), ".23A");
    const std::string log = Log();
    const std::size_t fora = log.find("Data do movimento fora do per\xEDodo de busca do Sintegra.  Data: ");
    ASSERT_NE(fora, std::string::npos);
    EXPECT_NE(log.substr(fora, log.find('\n', fora) - fora).find("03/03/2010"), std::string::npos);
    EXPECT_TRUE(Estado().EmiteLMF_RFD);
}

}  // namespace
