// The programming forms against the printer emulator in technical intervention: what each
// edit sends (the daily call log), what comes back on the next capture, and the log lines.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "console/binding/auxiliar.h"
#include "console/binding/log_dll.h"
#include "console/forms/programacao/programacao.h"
#include "console/forms/programacao/tabelas.h"
#include "console/programacao_comum.h"
#include "platform/codepage.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

using teste::Programacao;

TEST_F(Programacao, RatesSendOnlyTheEditedRowsAndComeBackWhereEdited) {
    auto f = Mostra<belmora::TfrmDefineAliquotas>();
    QTableWidget* g = f->Tabela();
    ASSERT_EQ(Celula(g, 1, 1), "18,00");
    EsqueceChamadas();
    log.clear();
    f->Cadastrar();  // nothing edited: nothing sent
    EXPECT_EQ(Linhas(),
              Linhas(QStringList({"-> Cadastrando alíquotas programáveis ...", "<- Operaçao finalizada."})));
    EXPECT_EQ(LogDLL().find("Tarvo_ExecutaComando"), std::string::npos) << LogDLL();

    log.clear();
    Escreve(g, 1, 3, "ISSQN");  // the kind alone
    Escreve(g, 3, 1, "07,00");
    Escreve(g, 3, 2, "T07");
    Escreve(g, 3, 3, "ICMS");
    Escreve(g, 4, 1, "00,00");
    f->Cadastrar();
    EXPECT_EQ(Linhas(),
              Linhas(QStringList({"-> Cadastrando alíquotas programáveis ...",
                                  " -> Alterando Alíquota 0 - 18,00", " -> Inserindo Alíquota 2 - 07,00",
                                  " -> Alíquota 3 não permitida (ZERO). Inclusão cancelada !",
                                  "<- Operaçao finalizada."})));
    const auto al = impressora.Impressora().aliquotas;
    EXPECT_FALSE(al[0].icms);
    EXPECT_TRUE(al[2].programada);
    EXPECT_EQ(al[2].percentual, 700);
    EXPECT_FALSE(al[3].programada);

    f->BotaoCapturar()->click();
    EXPECT_EQ(Celula(g, 1, 3), "ISSQN");
    EXPECT_EQ(Celula(g, 3, 1), "07,00");
    EXPECT_EQ(Celula(g, 3, 2), "T07");
    EXPECT_EQ(Celula(g, 4, 1), "");

    // emptied percentage: the delete names the old percentage
    log.clear();
    Escreve(g, 3, 1, "");
    f->Cadastrar();
    EXPECT_TRUE(log.contains(" -> Excluindo Alíquota 2")) << log.join('\n').toStdString();
    EXPECT_FALSE(impressora.Impressora().aliquotas[2].programada);
}

TEST_F(Programacao, PaymentMethodsKeepRowAndSlotTogether) {
    auto f = Mostra<belmora::TfrmDefMeioPgto>();
    QTableWidget* g = f->Tabela();
    ASSERT_EQ(Celula(g, 2, 0), "0");
    ASSERT_EQ(Celula(g, 2, 1), "Cartao");
    ASSERT_EQ(Celula(g, 2, 2), "Sim");
    EXPECT_EQ(Celula(g, 0, 2), "Vinculado?");
    EsqueceChamadas();
    log.clear();
    f->Cadastrar();
    EXPECT_EQ(LogDLL().find("Tarvo_ExecutaComando"), std::string::npos) << LogDLL();

    Escreve(g, 3, 2, "Sim");      // "Cheque" linked: the linked column alone
    Escreve(g, 4, 1, "Crédito");  // a new method in slot 2, typed with an accent
    Escreve(g, 4, 2, "Não");
    log.clear();
    f->Cadastrar();
    EXPECT_EQ(
        Linhas(),
        Linhas(QStringList({"-> Cadastrando formas de pagamento ...", " -> Alterando Forma Pagto. 1 - Cheque",
                            " -> Inserindo Forma Pagto. 2 - Crédito", "-> Operaçao finalizada."})));
    EXPECT_NE(LogDLL().find("NomeMeioPagamento=\"Cr\\x82dito\""), std::string::npos) << LogDLL();
    const auto m = impressora.Impressora().meiosPagamento;
    EXPECT_TRUE(m[1].permiteVinculado);
    EXPECT_EQ(m[2].nome,
              "Cr\x82"
              "dito");

    f->BotaoCapturar()->click();
    EXPECT_EQ(Celula(g, 3, 2), "Sim");
    EXPECT_EQ(Celula(g, 4, 1), "Crédito");  // back in the row the operator edited

    // an emptied name deletes the method by its old name
    EsqueceChamadas();
    log.clear();
    Escreve(g, 2, 1, "");
    f->Cadastrar();
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Cadastrando formas de pagamento ...",
                                            " -> Excluindo Forma Pagto. 0", "-> Operaçao finalizada."})));
    EXPECT_NE(LogDLL().find("NomeMeioPagamento=\"Cartao\""), std::string::npos) << LogDLL();
    EXPECT_FALSE(impressora.Impressora().meiosPagamento[0].programado);
}

TEST_F(Programacao, TotallingModeIsReadAndSet) {
    auto f = Mostra<belmora::TfrmAlterarFormaTotalizacao>();
    auto* atual = f->findChild<QLineEdit*>("edtTotalizacaoAtual");
    EXPECT_EQ(atual->text(), "Truncamento");
    f->findChild<QRadioButton*>("rgOp0")->setChecked(true);
    log.clear();
    f->findChild<QPushButton*>("btnDefinir")->click();
    EXPECT_EQ(
        Linhas(),
        Linhas(QStringList({"-> Definindo forma de totalização", "<- Operação executada com Sucesso!"})));
    EXPECT_EQ(impressora.Impressora().arredondamento, 0);
    f->findChild<QPushButton*>("btnCapturar")->click();
    EXPECT_EQ(atual->text(), "Arredondamento");
}

}  // namespace
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

class Tabelas : public Programacao {
  protected:
    void SetUp() override {
        Programacao::SetUp();
        impressora.Altera([](emulador::Impressora& p) {
            p.naoFiscais = {};
            p.naoFiscais[0] = {true, "SUPRIMENTO", "Suprimento de caixa", true};
            p.gerenciais = {};
            p.gerenciais[0] = {true, "GERAL"};
            p.departamentos = {};
            p.departamentos[0] = {true, "BEBIDAS"};
        });
    }
};

TEST_F(Tabelas, DepartmentsUseEveryRowAndTheirOwnCodes) {
    auto f = Mostra<belmora::TfrmDefDepartamento>();
    QTableWidget* g = f->Tabela();
    EXPECT_EQ(Celula(g, 0, 1), "Nome");
    ASSERT_EQ(Celula(g, 1, 0), "0");
    EXPECT_EQ(Celula(g, 1, 1), "BEBIDAS");  // code 0 in the row labelled 0
    EsqueceChamadas();
    log.clear();
    f->Cadastrar();
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Operaçao finalizada."})));
    EXPECT_EQ(LogDLL().find("Tarvo_Nomeia"), std::string::npos) << LogDLL();

    Escreve(g, 1, 1, "FRIOS");     // the first row is sent too
    Escreve(g, 20, 1, "LIMPEZA");  // and the last
    f->Cadastrar();
    EXPECT_EQ(impressora.Impressora().departamentos[0].nome, "FRIOS");
    EXPECT_EQ(impressora.Impressora().departamentos[19].nome, "LIMPEZA");
    f->BotaoCapturar()->click();
    EXPECT_EQ(Celula(g, 1, 1), "FRIOS");
    EXPECT_EQ(Celula(g, 20, 1), "LIMPEZA");
}

TEST_F(Tabelas, TotalisersSendTheTypeAndCompareAccentsOnce) {
    auto f = Mostra<belmora::TfrmDefineNaoFiscal>();
    QTableWidget* g = f->Tabela();
    ASSERT_EQ(Celula(g, 1, 1), "SUPRIMENTO");
    EXPECT_EQ(Celula(g, 1, 3), "Entrada");
    Escreve(g, 2, 1, "SANGRIA");
    Escreve(g, 2, 2, "Retirada");
    Escreve(g, 2, 3, "Saída");
    log.clear();
    f->Cadastrar();
    EXPECT_EQ(Linhas(),
              Linhas(QStringList({"-> Cadastrando Totalizadores Não Fiscais",
                                  " -> Inserindo Totalizador 1 - SANGRIA", "-> Operaçao finalizada."})));
    const auto t = impressora.Impressora().naoFiscais[1];
    EXPECT_TRUE(t.programado);
    EXPECT_FALSE(t.entrada);
    f->BotaoCapturar()->click();
    EXPECT_EQ(Celula(g, 2, 3), "Saida");
    // chosen again as "Saída" while read back as "Saida": the same type, nothing sent
    Escreve(g, 2, 3, "Saída");
    EsqueceChamadas();
    log.clear();
    f->Cadastrar();
    EXPECT_EQ(LogDLL().find("Tarvo_ExecutaComando"), std::string::npos) << LogDLL();
}

TEST_F(Tabelas, ManagementReportsAndTheStatusForms) {
    auto f = Mostra<belmora::TfrmDefRelatorioGerencial>();
    QTableWidget* g = f->Tabela();
    ASSERT_EQ(Celula(g, 1, 1), "GERAL");
    // the free entries cannot be read: each failure is logged and no success line closes the load
    EXPECT_EQ(log.count("<- Operação falhou!"), 19);
    EXPECT_FALSE(log.contains("<- Operação executada com Sucesso!"));
    Escreve(g, 1, 1, "");
    Escreve(g, 3, 1, "VENDAS");
    log.clear();
    f->Cadastrar();
    EXPECT_EQ(Linhas(),
              Linhas(QStringList({"-> Cadastrando Relatórios Gerenciais", " -> Excluindo Relatório 0",
                                  " -> Inserindo Relatório 2 - VENDAS", "-> Operaçao finalizada."})));
    EXPECT_NE(LogDLL().find("NomeGerencial=\"GERAL\""), std::string::npos) << LogDLL();
    EXPECT_FALSE(impressora.Impressora().gerenciais[0].programado);
    EXPECT_EQ(impressora.Impressora().gerenciais[2].nome, "VENDAS");

    belmora::TfrmStatusTabela s("TfrmStatusRelatGerenciais", "x",
                                belmora::TfrmTabelaProgramavel::QualTabela::Gerenciais);
    impressora.Altera([](emulador::Impressora& p) {
        for (std::size_t i = 0; i < p.gerenciais.size(); ++i)
            if (!p.gerenciais[i].programado) p.gerenciais[i] = {true, "R" + std::to_string(i)};
        p.gerenciais[0] = {};
    });
    log.clear();
    s.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.count("<- Operação falhou!"), 1);
    EXPECT_FALSE(log.contains("<- Operação executada com Sucesso!"));
    EXPECT_EQ(Celula(s.Tabela(), 3, 1), "VENDAS");
    EXPECT_EQ(Celula(s.Tabela(), 20, 1), "R19");
    impressora.Altera([](emulador::Impressora& p) { p.gerenciais[0] = {true, "GERAL"}; });
    log.clear();
    s.findChild<QPushButton*>("btCapturar")->click();
    EXPECT_EQ(log.last(), "<- Operação executada com Sucesso!");
}

}  // namespace
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

TEST_F(Programacao, SummerTimeTogglesAndTheLabelsFollow) {
    impressora.Altera([](emulador::Impressora& p) {
        p.horarioVerao = false;
        p.movimentoAberto = false;
    });
    auto f = Mostra<belmora::TfrmProgramaHorarioVerao>();
    EXPECT_EQ(Linhas(),
              Linhas(QStringList({"-> Lendo Status de Horário de Verão", "  -> Status lido com sucesso!",
                                  "-> Lendo Data/Hora", "  -> Data / Hora lidos com sucesso!",
                                  "<- Operação executada com Sucesso!"})));
    EXPECT_EQ(f->Estado()->text(), "Desativado");
    EXPECT_EQ(f->BotaoPrograma()->text(), "Ativar");
    log.clear();
    f->BotaoPrograma()->click();
    EXPECT_EQ(log.value(0), "-> Programando Horário de Verão");
    EXPECT_TRUE(impressora.Impressora().horarioVerao);
    EXPECT_EQ(f->Estado()->text(), "Ativado");
    EXPECT_EQ(f->BotaoPrograma()->text(), "Desativar");
    f->BotaoPrograma()->click();
    EXPECT_FALSE(impressora.Impressora().horarioVerao);
    EXPECT_EQ(f->Estado()->text(), "Desativado");
}

}  // namespace
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

// The grid editor: read-only until Enter, a click not right after an arrow key or "Editar";
// the list over the special column; Delete empties the cell.
TEST_F(Programacao, GridEditsOnlyWhenAskedAndTheListWritesTheCell) {
    auto f = Mostra<belmora::TfrmDefineAliquotas>();
    QTableWidget* g = f->Tabela();
    g->setFocus();
    g->setCurrentCell(1, 1);
    const auto centro = [g](int l, int c) { return g->visualRect(g->model()->index(l, c)).center(); };
    const auto editor = [g]() -> QLineEdit* {
        for (QLineEdit* e : g->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible()) return e;
        return nullptr;
    };
    EXPECT_EQ(editor(), nullptr);
    QTest::keyClick(g, Qt::Key_Down);
    ASSERT_EQ(g->currentRow(), 2);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(2, 1));
    EXPECT_EQ(editor(), nullptr);  // the click right after the arrow only selects
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(2, 1));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->inputMask(), "00,00;_");

    g->setCurrentCell(1, 3);  // a new selection leaves editing
    QCoreApplication::processEvents();
    EXPECT_EQ(editor(), nullptr);
    QTest::keyClick(g, Qt::Key_Return);
    ASSERT_TRUE(f->Lista()->isVisible());
    EXPECT_EQ(f->Lista()->currentText(), "ICMS");
    f->Lista()->setCurrentIndex(1);
    QTest::keyClick(f->Lista(), Qt::Key_Return);
    EXPECT_FALSE(f->Lista()->isVisible());
    EXPECT_EQ(Celula(g, 1, 3), "ISSQN");

    g->setCurrentCell(1, 2);
    QTest::keyClick(g, Qt::Key_Delete);
    EXPECT_EQ(Celula(g, 1, 2), "");
    EXPECT_EQ(Celula(g, 1, 1), "18,00");
}

}  // namespace
#endif
