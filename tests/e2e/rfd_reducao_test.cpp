// The fiscal register file (RFD) of a Z reduction, made by the real library from what the
// emulated printer prints: a day of documents, the reduction with GERA_RFD_REDZ "1", then the
// file in PathRFD line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "comum/dia_rfd.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"

namespace {

using emulador::Emulador;
using teste::Comando;
using teste::Linhas;
using teste::Tarvo;

// Widths of the lines of an RFD file by type.
const std::map<std::string, std::size_t> kLarguras = {
    {"E00", 297}, {"E01", 166}, {"E02", 272}, {"E05", 62},  {"E06", 48},  {"E07", 68},
    {"E08", 72},  {"E09", 64},  {"E10", 66},  {"E11", 136}, {"E12", 101}, {"E13", 72},
    {"E14", 191}, {"E15", 267}, {"E16", 90},  {"E17", 80},  {"E18", 80},  {"E21", 106},
};

std::string Maiusculas(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The files of a folder.
std::vector<std::string> Arquivos(const std::string& pasta) {
    std::vector<std::string> nomes;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(pasta, ec))
        nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

void MaisDocumentos(Tarvo& t) {
    for (const auto& [comando, parametros] : teste::DocumentosDoDiaRfd())
        ASSERT_EQ(Comando(t, comando, parametros), 1)
            << comando << " " << parametros << ": " << t.UltimoErro().second;
}

// Extension of an RFD file for a YYYYMMDD date: day, month and year - 2000, one character each.
std::string Extensao(const std::string& data) {
    auto c = [](int v) { return static_cast<char>(v < 10 ? '0' + v : 'A' + v - 10); };
    return std::string(".") + c(std::stoi(data.substr(6, 2))) + c(std::stoi(data.substr(4, 2))) +
           c(std::stoi(data.substr(0, 4)) - 2000);
}

std::vector<std::string> DoTipo(const std::vector<std::string>& linhas, const char* tipo) {
    std::vector<std::string> r;
    for (const auto& l : linhas)
        if (l.rfind(tipo, 0) == 0) r.push_back(l);
    return r;
}

class RfdDaReducao : public teste::EmuladorNoFilho {};

TEST_F(RfdDaReducao, AZReductionLeavesItsFileInPathRfdWithTheDaysDocuments) {
    std::filesystem::create_directory(home / "rfd");
    Roda("CorrigeRelogioZ=0\r\nGERA_RFD_REDZ=1\r\nPathRFD=" + home / "rfd" + "/\r\n", [&](Tarvo& t,
                                                                                          Emulador& e) {
        teste::VendeODia(t);
        MaisDocumentos(t);
        if (::testing::Test::HasFatalFailure()) return;
        const std::int64_t vendaBruta = e.Impressora().VendaBruta();
        ASSERT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        const emulador::Impressora p = e.Impressora();

        std::vector<std::string> arquivos = Arquivos(home / "rfd");
        ASSERT_EQ(arquivos.size(), 1u);
        std::vector<std::string> linhas = Linhas(teste::LeArquivo(home / "rfd/" + arquivos[0]));
        ASSERT_FALSE(linhas.empty());
        EXPECT_TRUE(std::is_sorted(
            linhas.begin(), linhas.end(),
            [](const std::string& a, const std::string& b) { return Maiusculas(a) < Maiusculas(b); }));
        for (const auto& l : linhas) {
            auto largura = kLarguras.find(l.substr(0, 3));
            ASSERT_NE(largura, kLarguras.end()) << l;
            EXPECT_EQ(l.size(), largura->second) << l;
            EXPECT_EQ(l.substr(3, 20), p.numeroSerie) << l;
        }

        // The fiscal memory's lines: the user, the GT codification, the currency, the basic
        // software, the detail-tape device and the restart of operation.
        std::vector<std::string> memoria;
        for (const char* tipo : {"E02", "E05", "E06", "E07", "E08", "E09"})
            for (const auto& l : DoTipo(linhas, tipo)) memoria.push_back(l.substr(0, 3) + l.substr(44));
        EXPECT_EQ(memoria,
                  (std::vector<std::string>{
                      "E0211222333000181123456789012  TARVO COMERCIO DE TESTES LTDA           RUA DAS "
                      "ORQUIDEAS, 100 - CENTRO                 SAO PAULO - SP" +
                          std::string(58, ' ') + "2010010509000000000100000000000000000001",
                      "E05TARVOBELMX20100105", "E06R$  ", "E0701.00.05  20100105090000",
                      "E08" + p.numeroSerieMFD + "20100105", "E0900000120100105090000"}));
        // The reduction: counters, day and gross sales; the partial totals add up to it.
        std::vector<std::string> z = DoTipo(linhas, "E12");
        ASSERT_EQ(z.size(), 1u);
        EXPECT_EQ(z[0].substr(46, 18), "000001" + teste::Zeros(p.contadores.coo, 6) + "000001");
        EXPECT_EQ(z[0].substr(86, 14), teste::Zeros(vendaBruta, 14));
        const std::string data = z[0].substr(64, 8);
        EXPECT_EQ(arquivos[0], "TV" + p.numeroSerie.substr(14) + Extensao(data));
        std::int64_t soma = 0;
        for (const auto& l : DoTipo(linhas, "E13")) {
            std::string codigo = l.substr(52, 7);
            if (codigo.rfind("OPNF", 0) == 0 || codigo.rfind("AT ", 0) == 0 || codigo.rfind("AS ", 0) == 0)
                continue;
            soma += std::stoll(l.substr(59, 13));
        }
        EXPECT_EQ(soma, vendaBruta);

        // The receipts by CCF and COO, the cancelled ones marked (the one cancelled after its
        // close on its own COO too), the consumer on one only.
        std::vector<std::string> cupons;
        for (const auto& l : DoTipo(linhas, "E14"))
            cupons.push_back(l.substr(46, 6) + "/" + l.substr(52, 6) + l.substr(122, 1) +
                             (l.substr(177, 14) == std::string(14, '0') ? "" : " " + l.substr(177, 14)));
        EXPECT_EQ(cupons, (std::vector<std::string>{"000001/000001N", "000002/000002N", "000003/000003S",
                                                    "000004/000005N 00012345678909", "000005/000006N",
                                                    "000006/000008S", "000006/000009S"}));
        std::vector<std::string> itens = DoTipo(linhas, "E15");
        EXPECT_EQ(itens.size(), 10u);
        std::size_t cancelados = 0;
        for (const auto& l : itens) cancelados += l.substr(230, 1) == "S";
        EXPECT_EQ(cancelados, 1u);
        // Two equal payments stay two lines; the change is no payment.
        std::vector<std::string> pagamentos = DoTipo(linhas, "E21");
        EXPECT_EQ(std::count_if(pagamentos.begin(), pagamentos.end(),
                                [](const std::string& l) { return l.substr(46, 6) == "000005"; }),
                  2);
        std::vector<std::string> outros;
        for (const auto& l : DoTipo(linhas, "E16")) outros.push_back(l.substr(46, 6) + l.substr(74, 2));
        EXPECT_EQ(outros, (std::vector<std::string>{"000004CN", "000007CC", "000010RG", "000011RZ"}));

        // The same reduction again gives the same lines (the counters line is read anew).
        EXPECT_EQ(t.Chama<int(const char*)>("RFD_ConvertedaMFD", "1"), 1);
        std::vector<std::string> denovo = Linhas(teste::LeArquivo(home / "rfd/" + arquivos[0]));
        std::erase_if(linhas, [](const std::string& l) { return l.rfind("E11", 0) == 0; });
        std::erase_if(denovo, [](const std::string& l) { return l.rfind("E11", 0) == 0; });
        EXPECT_EQ(denovo, linhas);
    });
}

}  // namespace
