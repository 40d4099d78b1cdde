// The registration walk of the programming grids on fixed records, without a printer, and the
// code-page conversion of the payment-method names.
#include <gtest/gtest.h>

#include <map>

#include "console/binding/construtores.h"
#include "console/forms/comum/formulario.h"
#include "console/forms/programacao/cadastro.h"
#include "console/forms/programacao/tabelas.h"

namespace {

using belmora::GradeSimples;
using belmora::PassoCadastro;
using belmora::TipoPasso;

// A rate grid: label, percentage, description, kind; records keyed by code.
struct Aliquotas {
    GradeSimples grade{5, 4};
    std::map<int, QStringList> registros;
    Aliquotas() {
        for (int l = 1; l < 5; ++l) grade.DefineCelula(l, 0, QString::number(l - 1));
    }
    std::vector<PassoCadastro> Passos() {
        belmora::RegrasCadastro r;
        r.colunas = 3;
        r.recusado = QStringLiteral("00,00");
        return belmora::PlanejaCadastro(grade, r, [this](int, int codigo) -> std::optional<QStringList> {
            auto i = registros.find(codigo);
            if (i == registros.end()) return std::nullopt;
            return i->second;
        });
    }
    void Linha(int l, const QStringList& v) {
        for (int c = 0; c < v.size(); ++c) grade.DefineCelula(l, c + 1, v[c]);
    }
};

TEST(CadastroGrade, RatesSendOnlyWhatChangedAndRefuseZeroLocally) {
    Aliquotas a;
    a.registros[0] = {"18,00", "T18", "ICMS"};
    a.registros[1] = {"05,00", "S05", "ISSQN"};
    a.registros[2] = {"07,00", "T07", "ICMS"};
    a.Linha(1, {"18,00", "T18", "ICMS"});  // unchanged
    a.Linha(2, {"05,00", "S05", "ICMS"});  // only the kind changed
    a.Linha(3, {"", "T07", "ICMS"});       // percentage emptied
    a.Linha(4, {"00,00", "", "ICMS"});     // new with zero
    auto p = a.Passos();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].tipo, TipoPasso::Altera);
    EXPECT_EQ(p[0].codigo, "1");
    EXPECT_EQ(p[0].valores, QStringList({"05,00", "S05", "ICMS"}));
    EXPECT_EQ(p[1].tipo, TipoPasso::Exclui);
    EXPECT_EQ(p[1].codigo, "2");
    EXPECT_EQ(p[1].anteriores.value(0), "07,00");  // the delete names the old percentage
    EXPECT_EQ(p[2].tipo, TipoPasso::Recusa);
    EXPECT_EQ(p[2].codigo, "3");

    // a new row with a real percentage is an insertion; a new empty row sends nothing
    a.Linha(4, {"12,00", "T12", "ICMS"});
    p = a.Passos();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[2].tipo, TipoPasso::Insere);
    a.Linha(4, {"", "", ""});
    EXPECT_EQ(a.Passos().size(), 2u);
}

TEST(CadastroGrade, NoCaptureMeansEveryFilledRowIsAnInsertion) {
    Aliquotas a;
    a.Linha(1, {"18,00", "T18", "ICMS"});
    a.Linha(3, {"03,00", "", "ISSQN"});
    auto p = a.Passos();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].tipo, TipoPasso::Insere);
    EXPECT_EQ(p[1].tipo, TipoPasso::Insere);
    EXPECT_EQ(p[1].codigo, "2");
}

TEST(CadastroGrade, PaymentRowsCompareWithTheRecordShownAndAnyColumnCounts) {
    // row 1 "-2" (cash), then rows labelled 0, 1, 2; the record shown in row l is index l - 1
    GradeSimples g(5, 3);
    const QStringList rotulos = {"-2", "0", "1", "2"};
    for (int l = 1; l < 5; ++l) g.DefineCelula(l, 0, rotulos[l - 1]);
    std::vector<QStringList> registros = {
        {"Dinheiro", "Não"}, {"Cartao", "Sim"}, {"Cheque", "Não"}, {"Saída", "Não"}};
    for (int l = 1; l < 5; ++l)
        for (int c = 0; c < 2; ++c) g.DefineCelula(l, c + 1, registros[static_cast<std::size_t>(l - 1)][c]);
    belmora::RegrasCadastro r;
    r.linhaInicial = 2;
    r.colunas = 2;
    auto registro = [&](int linha, int) -> std::optional<QStringList> {
        return registros[static_cast<std::size_t>(linha - 1)];
    };
    EXPECT_TRUE(belmora::PlanejaCadastro(g, r, registro).empty());

    g.DefineCelula(4, 1, "SAIDA ");  // differs by accent, case and a blank only
    EXPECT_TRUE(belmora::PlanejaCadastro(g, r, registro).empty());

    g.DefineCelula(3, 2, "Sim");  // linked alone
    g.DefineCelula(2, 1, "");     // emptied: the delete names the old name
    auto p = belmora::PlanejaCadastro(g, r, registro);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].tipo, TipoPasso::Exclui);
    EXPECT_EQ(p[0].codigo, "0");
    EXPECT_EQ(p[0].anteriores.value(0), "Cartao");
    EXPECT_EQ(p[1].tipo, TipoPasso::Altera);
    EXPECT_EQ(p[1].codigo, "1");
    EXPECT_EQ(p[1].valores, QStringList({"Cheque", "Sim"}));
}

TEST(CadastroGrade, ALabelThatIsNoNumberStopsBeforeAnythingIsPlanned) {
    Aliquotas a;
    a.Linha(1, {"18,00", "T18", "ICMS"});
    a.grade.DefineCelula(3, 0, "x");
    EXPECT_THROW(a.Passos(), belmora::ErroFormulario);
}

TEST(CadastroGrade, PrinterNamesConvertBackExactlyWhatTheEscapesSend) {
    // every escaped letter, read back as its code-page-850 byte, becomes the letter again
    int letras = 0;
    for (int c = 128; c < 256; ++c) {
        const std::string letra(1, static_cast<char>(c));
        const std::string escapado = dll::ConverteAcentos(letra);
        if (escapado == letra) continue;
        ++letras;
        ASSERT_EQ(escapado.size(), 4u);
        const char byte = static_cast<char>(std::stoi(escapado.substr(2), nullptr, 16));
        EXPECT_EQ(belmora::ConverteCP850Texto(std::string(1, byte)), letra) << c;
    }
    EXPECT_EQ(letras, 20);
    EXPECT_EQ(belmora::ConverteCP850Texto("Cr\x82"
                                          "dito 1"),
              "Cr\xe9"
              "dito 1");
    EXPECT_EQ(belmora::ConverteCP850Texto("ABC 123"), "ABC 123");
}

// The three small tables: a loader holding fixed records, as a capture would leave them.
class TabelaFixa : public belmora::TGridTabela {
  public:
    using belmora::TGridTabela::TGridTabela;
    void Inicializa() override {}
    void CarregaGrid() override {}
    void Registra(int codigo, const QString& nome, const QString& descricao = {}, const QString& tipo = {}) {
        registros_.push_back({codigo, nome, descricao, tipo});
    }
};

// A grid of `linhas` data rows labelled 0, 1, ... whose value cells show the records.
struct Tabela {
    GradeSimples grade;
    TabelaFixa carga{&grade};
    int colunas;
    Tabela(int linhas, int colunas_) : grade(linhas + 1, colunas_ + 1), colunas(colunas_) {
        for (int l = 1; l <= linhas; ++l) grade.DefineCelula(l, 0, QString::number(l - 1));
    }
    void Registra(int codigo, const QStringList& v) {
        carga.Registra(codigo, v.value(0), v.value(1), v.value(2));
        Linha(codigo + 1, v);
    }
    void Linha(int l, const QStringList& v) {
        for (int c = 0; c < v.size(); ++c) grade.DefineCelula(l, c + 1, v[c]);
    }
    std::vector<PassoCadastro> Passos() const { return belmora::PlanejaTabela(grade, carga, colunas); }
};

TEST(CadastroGrade, ManagementReportsDeleteByTheOldNameAndInsertNewIndexes) {
    Tabela t(20, 1);
    t.Registra(0, {"GERAL"});
    t.Registra(1, {"VENDAS"});
    EXPECT_TRUE(t.Passos().empty());
    t.Linha(1, {""});          // emptied
    t.Linha(2, {"VENDAS 2"});  // renamed
    t.Linha(20, {"CAIXA"});    // a free index, the last row
    const auto p = t.Passos();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].tipo, TipoPasso::Exclui);
    EXPECT_EQ(p[0].codigo, "0");
    EXPECT_EQ(p[0].anteriores.value(0), "GERAL");
    EXPECT_EQ(p[1].tipo, TipoPasso::Altera);
    EXPECT_EQ(p[1].valores, QStringList({"VENDAS 2"}));
    EXPECT_EQ(p[2].tipo, TipoPasso::Insere);
    EXPECT_EQ(p[2].codigo, "19");
}

TEST(CadastroGrade, DepartmentsSendEveryRowUnderItsOwnLabel) {
    Tabela t(20, 1);
    t.Registra(0, {"BEBIDAS"});
    t.Registra(19, {"LIMPEZA"});
    EXPECT_TRUE(t.Passos().empty());
    t.Linha(1, {"FRIOS"});  // the first row, code 0
    t.Linha(20, {""});      // the last, code 19
    const auto p = t.Passos();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].tipo, TipoPasso::Altera);
    EXPECT_EQ(p[0].codigo, "0");
    EXPECT_EQ(p[1].tipo, TipoPasso::Exclui);
    EXPECT_EQ(p[1].codigo, "19");
    EXPECT_EQ(p[1].anteriores.value(0), "LIMPEZA");
}

TEST(CadastroGrade, TotalisersCompareNameDescriptionAndTypeOnce) {
    Tabela t(15, 3);
    t.Registra(0, {"SUPRIMENTO", "Suprimento", "Entrada"});
    t.Registra(1, {"SANGRIA", "Retirada", "Saida"});
    t.Linha(3, {"", "so a descricao", ""});  // no name: nothing to insert
    EXPECT_TRUE(t.Passos().empty());
    t.Linha(2, {"SANGRIA", "Retirada", "Saída"});  // chosen again with the accent: the same
    EXPECT_TRUE(t.Passos().empty());
    t.Linha(1, {"SUPRIMENTO", "Troco inicial", "Entrada"});  // the description alone
    t.Linha(2, {"SANGRIA", "Retirada", "Entrada"});          // the type alone
    const auto p = t.Passos();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].tipo, TipoPasso::Altera);
    EXPECT_EQ(p[0].valores, QStringList({"SUPRIMENTO", "Troco inicial", "Entrada"}));
    EXPECT_EQ(p[1].tipo, TipoPasso::Altera);
    EXPECT_EQ(p[1].codigo, "1");
}

}  // namespace
