// SPED records of days sold on the emulated printer: the ATO file of the days (the RFD of
// each reduction, joined as one file of the period) against what the printer's fiscal memory
// holds for each reduction.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "comum/ambiente.h"
#include "driver/fiscalfiles/sped.h"
#include "fiscalfiles/sped_ato.h"
#include "fiscalfiles/sped_periodo.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
using teste::Centavos;
using teste::sped::kCampos;

using teste::SpedEmulador;
constexpr int kDias = SpedEmulador::kDias;

TEST_F(SpedEmulador, TheRecordsOfTheDaysMatchThePrintersMemory) {
    Periodo();
    if (HasFatalFailure()) return;
    const emulador::Impressora imp = e.Impressora();
    ASSERT_EQ(imp.memoriaFiscal.size(), static_cast<std::size_t>(kDias));

    for (const char* perfil : {"A", "B"})
        for (const auto& l : Sped(perfil)) {
            ASSERT_FALSE(l.empty()) << perfil;
            EXPECT_EQ(l.size(), kCampos.at(l.at(0))) << perfil << " " << l[0];
        }
    auto linhas = Sped("T");
    for (const auto& l : linhas) EXPECT_EQ(l.size(), kCampos.at(l.at(0))) << l[0];

    // Per reduction: the grand total at its end, its gross sales, its totalisers, and the items
    // of its active receipts against their net totals (the subtotal's percentage discount
    // shared among them).
    int z = -1;
    const emulador::RegistroZ* reducao = nullptr;
    std::map<std::string, std::int64_t> totalizadores;
    std::int64_t somaItens = 0, liquido = 0;
    auto fechaDocumento = [&] {
        EXPECT_EQ(somaItens, liquido);
        somaItens = liquido = 0;
    };
    auto fechaReducao = [&] {
        fechaDocumento();
        if (!reducao) return;
        std::map<std::string, std::int64_t> esperado;
        for (std::size_t s = 0; s < reducao->aliquotas.size(); ++s)
            if (reducao->aliquotas[s].programada && reducao->totais.aliquota[s] != 0) {
                char codigo[8];
                std::snprintf(codigo, sizeof codigo, "%c%04d", reducao->aliquotas[s].icms ? 'T' : 'S',
                              reducao->aliquotas[s].percentual);
                esperado[codigo] += reducao->totais.aliquota[s];
            }
        for (auto [nome, valor] : {std::pair<const char*, std::int64_t>{"F1", reducao->totais.f1},
                                   {"I1", reducao->totais.i1},
                                   {"N1", reducao->totais.n1}})
            if (valor) esperado[nome] = valor;
        std::map<std::string, std::int64_t> tributados;
        for (const auto& [codigo, valor] : totalizadores)
            if (((codigo[0] == 'T' || codigo[0] == 'S') && codigo.size() == 5) || codigo == "F1" ||
                codigo == "I1" || codigo == "N1")
                tributados[codigo] = valor;
        EXPECT_FALSE(esperado.empty());
        EXPECT_EQ(tributados, esperado) << "reducao " << z + 1;
        totalizadores.clear();
    };
    int documentos = 0, cancelados = 0, itens = 0;
    for (const auto& l : linhas) {
        if (l[0] == "C405") {
            fechaReducao();
            reducao = &imp.memoriaFiscal.at(static_cast<std::size_t>(++z));
            EXPECT_EQ(Centavos(l[5]), reducao->gt);
            EXPECT_EQ(Centavos(l[6]), reducao->VendaBruta());
            EXPECT_EQ(std::stoi(l[3]), reducao->crz);
            EXPECT_EQ(std::stoi(l[4]), reducao->coo);
        } else if (l[0] == "C420") {
            totalizadores[l[1]] += Centavos(l[2]);
        } else if (l[0] == "C460") {
            fechaDocumento();
            ++documentos;
            if (l[2] == "02")
                ++cancelados;
            else
                liquido = liquidos.at(std::stoi(l[3]));
        } else if (l[0] == "C470") {
            somaItens += Centavos(l[5]);
            ++itens;
        }
    }
    fechaReducao();
    EXPECT_EQ(z + 1, kDias);
    // Four receipts a day: the last cancels the one before after its close, so both are
    // cancelled; neither the cancelled item nor the cancelled receipt's item is written.
    EXPECT_EQ(documentos, 4 * kDias);
    EXPECT_EQ(cancelados, 2 * kDias);
    EXPECT_EQ(itens, 3 * kDias);
    // The last reduction's final grand total is the file's grand total.
    std::string ultimoGt;
    for (const auto& l : linhas)
        if (l[0] == "C405") ultimoGt = l[5];
    EXPECT_EQ(Centavos(ultimoGt), imp.gt);

    // The dump way with a reading that hands over the same period's file gives the same file.
    const std::string texto = teste::LeArquivo(saida);
    InstalaGeradorAtoMemoria([&](const std::string&, const std::string&, std::string& arquivo) {
        arquivo = ato;
        return 1;
    });
    std::filesystem::remove(saida);
    EXPECT_EQ(Tarvo_GeraRegistrosSpedMFD(ato.c_str(), saida.c_str(), "01/03/2010", "31/03/2010", "T", "5102",
                                         "", "0", "0"),
              1);
    InstalaGeradorAtoMemoria(nullptr);
    EXPECT_EQ(teste::LeArquivo(saida), texto);
}

}  // namespace
