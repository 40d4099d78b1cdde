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
    {"E00", 297}, {"E01", 166}, {"E02", 272}, {"E11", 136}, {"E12", 101}, {"E13", 72},
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
    for (const auto& e : std::filesystem::directory_iterator(pasta, ec)) nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

void MaisDocumentos(Tarvo& t) {
    for (const auto& [comando, parametros] : teste::DocumentosDoDiaRfd())
        ASSERT_EQ(Comando(t, comando, parametros), 1) << comando << " " << parametros << ": " << t.UltimoErro().second;
}

class RfdDaReducao : public teste::EmuladorNoFilho {};

TEST_F(RfdDaReducao, AZReductionLeavesItsFileInPathRfd) {
    std::filesystem::create_directory(home / "rfd");
    Roda("CorrigeRelogioZ=0\r\nGERA_RFD_REDZ=1\r\nPathRFD=" + home / "rfd" + "/\r\n", [&](Tarvo& t, Emulador&) {
        teste::VendeODia(t);
        MaisDocumentos(t);
        if (::testing::Test::HasFatalFailure()) return;
        ASSERT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
    });
    std::vector<std::string> arquivos = Arquivos(home / "rfd");
    ASSERT_EQ(arquivos.size(), 1u);
    std::string texto = teste::LeArquivo(home / "rfd/" + arquivos[0]);
    std::vector<std::string> linhas = Linhas(texto);
    for (const auto& l : linhas) std::printf("%s\n", l.c_str());
    EXPECT_TRUE(std::is_sorted(linhas.begin(), linhas.end(),
                               [](const std::string& a, const std::string& b) { return Maiusculas(a) < Maiusculas(b); }));
    for (const auto& l : linhas) {
        auto largura = kLarguras.find(l.substr(0, 3));
        ASSERT_NE(largura, kLarguras.end()) << l;
        EXPECT_EQ(l.size(), largura->second) << l;
    }
}

}  // namespace
