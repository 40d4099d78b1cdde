// The sequence form and the parameter form, driven as the operator drives them: lists,
// parameters and their checks, saving and opening ".seq" files, and runs in step mode.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBrowser>
#include <deque>
#include <filesystem>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/auxiliar.h"
#include "console/forms/sequencias/sequencias.h"
#include "console/main/ajuda.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"
#include "platform/pastas.h"
#include "sequencias_teste.h"

namespace {

using teste::Itens;

TEST_F(FormSequencias, ShowsTheListsAndBuildsASequence) {
    auto f = Abre();
    auto* categorias = Lista(f.get(), "List_TipoComandos");
    ASSERT_EQ(categorias->count(), 12);
    EXPECT_EQ(categorias->item(0)->text(), "Funções de Impressão de Cheque");
    EXPECT_EQ(categorias->item(11)->text(), "Funções de Geração do Ato Cotepe");
    EXPECT_EQ(f->windowTitle(), "Scripts e Desenvolvimento");
    EXPECT_EQ(QApplication::focusWidget(), categorias);
    // The list with the focus has its first category current, so selected and chosen.
    ASSERT_TRUE(categorias->currentItem());
    EXPECT_TRUE(categorias->currentItem()->isSelected());
    EXPECT_TRUE(Botao(f.get(), "btAdicionar")->isEnabled());
    for (const char* b : {"btRemover", "btParametros", "btLimpar", "btSobe", "btDesce"})
        EXPECT_FALSE(Botao(f.get(), b)->isEnabled()) << b;

    categorias->setCurrentRow(2);
    EXPECT_TRUE(Botao(f.get(), "btAdicionar")->isEnabled());
    auto* comandos = Lista(f.get(), "List_Comandos");
    EXPECT_EQ(Itens(comandos), QStringList({"Tarvo_AbreCupom", "Tarvo_VendeItem", "Tarvo_CancelaCupom"}));

    // A command without parameters: the message, no parameter form.
    categorias->setCurrentRow(3);
    comandos->setCurrentRow(0);
    operador.respostas = {"OK"};
    Botao(f.get(), "btAdicionar")->click();
    ASSERT_EQ(operador.caixas.size(), 1u);
    EXPECT_EQ(operador.caixas[0].texto, "Esse comando não possui parâmetros!");
    for (const char* b : {"btRemover", "btParametros", "btLimpar"})
        EXPECT_TRUE(Botao(f.get(), b)->isEnabled()) << b;

    // A receipt item: the decimals check, then the integer check, then saved.
    categorias->setCurrentRow(2);
    comandos->setCurrentRow(1);
    std::vector<QStringList> grades;
    operador.parametros.push_back([&](belmora::TfrmParametros* p) {
        auto* g = p->findChild<QTableWidget*>("grdParametros");
        grades.push_back(Celulas(g));
        EXPECT_EQ(p->windowTitle(), "Parâmetros do Comando");
        EXPECT_EQ(g->horizontalHeaderItem(0)->text(), "Parametro");
        EXPECT_EQ(g->horizontalHeaderItem(1)->text(), "Valor");
        EXPECT_EQ(g->columnWidth(0), 150);
        EXPECT_EQ(g->columnWidth(1), 293);
        EXPECT_FALSE(g->item(0, 0)->flags() & Qt::ItemIsEditable);
        Preenche(g, {"001", "ARROZ", "FF", "I", "1", "2", "10,5", "%", "0000"});
        Clica(p, "btSalvar");
        Preenche(g, {"001", "ARROZ", "FF", "I", "1", "dois", "10,50", "%", "0000"});
        Clica(p, "btSalvar");
        Preenche(g, {"001", "ARROZ", "FF", "I", "1", "3", "10,50", "%", "0000"});
        Clica(p, "btSalvar");
        Preenche(g, {"001", "ARROZ", "FF", "I", "1", "2", "10,50", "%", "0000"});
        Clica(p, "btSalvar");
    });
    operador.respostas = {"OK", "OK", "OK", "OK"};
    operador.caixas.clear();
    DuploClique(comandos, 1);
    ASSERT_EQ(grades.size(), 1u);
    EXPECT_EQ(grades[0], QStringList({"Codigo : string", "", "Descricao : string", "", "Aliquota : string",
                                      "", "TipoQuantidade : string", "", "Quantidade : string", "",
                                      "CasasDecimais : integer", "0", "ValorUnitario : string", "",
                                      "TipoDesconto : string", "", "Desconto : string", ""}));
    const QString casas =
        "Verifique se o número de casas decimais (2 ou 3) está igual ao \n"
        "número de casas decimais do valor unitário. Ou se está \n"
        "utilizando virgula para separar a parte inteira da decimal.";
    ASSERT_EQ(operador.caixas.size(), 4u);
    EXPECT_EQ(operador.caixas[0].texto, casas);
    EXPECT_EQ(operador.caixas[1].texto, "O valor do parâmetro \"CasasDecimais\" deve ser um número inteiro");
    EXPECT_EQ(operador.caixas[2].texto, casas);
    EXPECT_EQ(operador.caixas[3].texto, "Parâmetros Salvos com sucesso!");
    for (const auto& c : operador.caixas) EXPECT_EQ(c.titulo, "Belmora");

    ASSERT_EQ(f->Sequencia().size(), 2u);
    const seq::TComando& item = f->Sequencia()[1];
    EXPECT_EQ(item.Quantidade, 9);
    EXPECT_EQ(item.Parametros[5].ValorInteiro, 2);
    EXPECT_EQ(item.Parametros[6].ValorTexto, "10,50");
    EXPECT_TRUE(item.Parametros[6].Preenchido);

    // Moving: the list and the sequence together, the buttons after the selection.
    auto* atual = Lista(f.get(), "ListSequenciaAtual");
    EXPECT_EQ(Itens(atual), QStringList({"Tarvo_LeituraX", "Tarvo_VendeItem"}));
    atual->setCurrentRow(1);
    EXPECT_TRUE(Botao(f.get(), "btSobe")->isEnabled());
    EXPECT_FALSE(Botao(f.get(), "btDesce")->isEnabled());
    Botao(f.get(), "btSobe")->click();
    EXPECT_EQ(Itens(atual), QStringList({"Tarvo_VendeItem", "Tarvo_LeituraX"}));
    EXPECT_EQ(f->Sequencia()[0].Nome, "Tarvo_VendeItem");
    EXPECT_EQ(atual->currentRow(), 0);
    EXPECT_FALSE(Botao(f.get(), "btSobe")->isEnabled());
    EXPECT_TRUE(Botao(f.get(), "btDesce")->isEnabled());

    // Removing asks; No keeps the command.
    operador.caixas.clear();
    operador.respostas = {"Não", "Sim"};
    Botao(f.get(), "btRemover")->click();
    EXPECT_EQ(f->Sequencia().size(), 2u);
    Botao(f.get(), "btRemover")->click();
    ASSERT_EQ(operador.caixas.size(), 2u);
    EXPECT_EQ(operador.caixas[1].texto, "Deseja realmente excluir o comando?");
    EXPECT_EQ(operador.caixas[1].titulo, "Belmora");
    EXPECT_EQ(Itens(atual), QStringList({"Tarvo_LeituraX"}));
    ASSERT_EQ(f->Sequencia().size(), 1u);

    // Parameters of a command without any, then without a selection.
    atual->setCurrentRow(0);
    operador.caixas.clear();
    operador.respostas = {"OK", "OK"};
    Botao(f.get(), "btParametros")->click();
    atual->clearSelection();
    Botao(f.get(), "btParametros")->click();
    ASSERT_EQ(operador.caixas.size(), 2u);
    EXPECT_EQ(operador.caixas[0].texto, "Esse comando não possui parâmetros!");
    EXPECT_EQ(operador.caixas[1].texto, "Primeiro selecione um comando!");

    Botao(f.get(), "btLimpar")->click();
    EXPECT_EQ(atual->count(), 0);
    EXPECT_TRUE(f->Sequencia().empty());
    for (const char* b : {"btRemover", "btParametros", "btLimpar", "btSobe", "btDesce"})
        EXPECT_FALSE(Botao(f.get(), b)->isEnabled()) << b;
}

TEST_F(FormSequencias, ReturnVariablesAreReadOnlyAndTheOwnerNeedsAValidCnpj) {
    auto f = Abre();
    // The drawer state: a return variable, shown read-only and left unfilled.
    Lista(f.get(), "List_TipoComandos")->setCurrentRow(6);
    Lista(f.get(), "List_Comandos")->setCurrentRow(0);
    operador.parametros.push_back([&](belmora::TfrmParametros* p) {
        auto* g = p->findChild<QTableWidget*>("grdParametros");
        EXPECT_EQ(Celulas(g), QStringList({"EstadoGaveta : integer", "Variável de retorno de dados"}));
        EXPECT_FALSE(g->item(0, 1)->flags() & Qt::ItemIsEditable);
        Clica(p, "btSalvar");
    });
    operador.respostas = {"OK"};
    Botao(f.get(), "btAdicionar")->click();
    ASSERT_EQ(operador.caixas.size(), 1u);
    EXPECT_EQ(operador.caixas[0].texto, "Parâmetros Salvos com sucesso!");
    ASSERT_EQ(f->Sequencia().size(), 1u);
    EXPECT_FALSE(f->Sequencia()[0].Parametros[0].Entrada);
    EXPECT_FALSE(f->Sequencia()[0].Parametros[0].Preenchido);

    // The owner: an invalid CNPJ is told when its cell changes and again at saving; the
    // label stays until a valid one is typed.
    Lista(f.get(), "List_TipoComandos")->setCurrentRow(9);
    Lista(f.get(), "List_Comandos")->setCurrentRow(0);
    bool rotuloVisivel = false, rotuloDepois = true;
    operador.parametros.push_back([&](belmora::TfrmParametros* p) {
        auto* g = p->findChild<QTableWidget*>("grdParametros");
        g->item(0, 1)->setText("11.222.333/0001-80");
        rotuloVisivel = p->findChild<QLabel*>("lblCNPJInvalido")->isVisible();
        Clica(p, "btSalvar");
        g->item(0, 1)->setText("11.222.333/0001-81");
        rotuloDepois = p->findChild<QLabel*>("lblCNPJInvalido")->isVisible();
        Clica(p, "btSalvar");
    });
    operador.caixas.clear();
    operador.respostas = {"OK", "OK", "OK"};
    Botao(f.get(), "btAdicionar")->click();
    ASSERT_EQ(operador.caixas.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(operador.caixas[i].titulo, "Atenção!");
        EXPECT_EQ(operador.caixas[i].texto, "CNPJ Inválido. Por favor, entre com um CNPJ válido");
    }
    EXPECT_EQ(operador.caixas[2].texto, "Parâmetros Salvos com sucesso!");
    EXPECT_TRUE(rotuloVisivel);
    EXPECT_FALSE(rotuloDepois);
    EXPECT_EQ(f->Sequencia()[1].Parametros[0].ValorTexto, "11.222.333/0001-81");

    // "Finalizar" copies nothing.
    Lista(f.get(), "ListSequenciaAtual")->setCurrentRow(1);
    operador.parametros.push_back([&](belmora::TfrmParametros* p) {
        p->findChild<QTableWidget*>("grdParametros")->item(0, 1)->setText("");
        Clica(p, "btFinalizar");
    });
    Botao(f.get(), "btParametros")->click();
    EXPECT_EQ(f->Sequencia()[1].Parametros[0].ValorTexto, "11.222.333/0001-81");
}

TEST_F(FormSequencias, SavesOpensMergesAndDeletesSequences) {
    auto f = Abre();
    auto* salvas = Lista(f.get(), "List_SequenciasSalvas");
    auto* nome = f->findChild<QLineEdit*>("edtNomeArquivo");
    EXPECT_FALSE(nome->isVisible());
    AcrescentaSemParametros(f.get(), 3, 0);  // Tarvo_LeituraX

    QApplication::setActiveWindow(f.get());
    Botao(f.get(), "btSalvar")->click();
    EXPECT_TRUE(nome->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), nome);
    operador.caixas.clear();
    operador.respostas = {"OK", "OK", "OK", "OK"};
    teste::Redigita(nome, "   ");
    QTest::keyClick(nome, Qt::Key_Return);
    teste::Redigita(nome, "../fora");
    QTest::keyClick(nome, Qt::Key_Return);
    teste::Redigita(nome, "  x.seq ");
    QTest::keyClick(nome, Qt::Key_Return);
    ASSERT_EQ(operador.caixas.size(), 3u);
    EXPECT_EQ(operador.caixas[0].texto, "Digite o nome da sequência!");
    EXPECT_EQ(operador.caixas[1].texto, "O nome da sequência não pode conter \"/\", \"\\\" nem \"..\".");
    EXPECT_EQ(operador.caixas[2].texto, "Sequência salva com sucesso!");
    EXPECT_FALSE(nome->isVisible());
    EXPECT_FALSE(std::filesystem::exists(programa + "fora.seq"));
    EXPECT_EQ(teste::LeArquivo(programa + "Sequencias/x.seq"), "Tarvo_LeituraX();0\r\n");

    AcrescentaSemParametros(f.get(), 2, 2);  // Tarvo_CancelaCupom
    Botao(f.get(), "btSalvar")->click();
    teste::Redigita(nome, "x.SEQ");
    operador.respostas = {"OK"};
    QTest::mouseClick(f->findChild<QPushButton*>("btConfirmaSalvar"), Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(programa + "Sequencias/x.SEQ.seq"));
    // A file of another spelling of the extension is listed too.
    teste::EscreveArquivo(programa + "Sequencias/A.Seq",
                          "Tarvo_AbreCupom(CPF:string:1;);1\r\nTarvo_X();2\r\n");
    f->PegarSequencias();
    EXPECT_EQ(Itens(salvas), QStringList({"A.Seq", "x.seq", "x.SEQ.seq"}));

    // Opening without a selection, then merging (Yes) and replacing (No).
    operador.caixas.clear();
    operador.respostas = {"OK", "Sim", "Não"};
    salvas->clearSelection();
    Botao(f.get(), "btAbrir")->click();
    salvas->setCurrentRow(1);
    Botao(f.get(), "btAbrir")->click();
    EXPECT_EQ(Itens(Lista(f.get(), "ListSequenciaAtual")),
              QStringList({"Tarvo_LeituraX", "Tarvo_CancelaCupom", "Tarvo_LeituraX"}));
    salvas->setCurrentRow(2);
    DuploClique(salvas, 2);
    EXPECT_EQ(Itens(Lista(f.get(), "ListSequenciaAtual")),
              QStringList({"Tarvo_LeituraX", "Tarvo_CancelaCupom"}));
    EXPECT_EQ(nome->text(), "x.SEQ.seq");
    ASSERT_EQ(operador.caixas.size(), 3u);
    EXPECT_EQ(operador.caixas[0].texto, "Primeiro selecione uma sequência!");
    EXPECT_EQ(operador.caixas[1].texto, "Deseja mesclar comandos?");
    EXPECT_EQ(operador.caixas[1].titulo, "Belmora");

    // A line that disagrees with its count: the lines before it stay, with a message.
    operador.caixas.clear();
    operador.respostas = {"Não", "OK"};
    salvas->setCurrentRow(0);
    Botao(f.get(), "btAbrir")->click();
    EXPECT_EQ(Itens(Lista(f.get(), "ListSequenciaAtual")), QStringList({"Tarvo_AbreCupom"}));
    ASSERT_EQ(operador.caixas.size(), 2u);
    EXPECT_EQ(operador.caixas[1].titulo, "Erro");
    EXPECT_TRUE(
        operador.caixas[1].texto.startsWith("Erro ao ler A.Seq. Linha 2: a linha anuncia 2 parâmetro(s)"))
        << operador.caixas[1].texto.toStdString();
    EXPECT_TRUE(Botao(f.get(), "btRemover")->isEnabled());

    // Deleting asks under its own caption.
    operador.caixas.clear();
    operador.respostas = {"Não", "Sim"};
    salvas->setCurrentRow(1);
    Botao(f.get(), "btExcluir")->click();
    EXPECT_TRUE(std::filesystem::exists(programa + "Sequencias/x.seq"));
    salvas->setCurrentRow(1);
    Botao(f.get(), "btExcluir")->click();
    ASSERT_EQ(operador.caixas.size(), 2u);
    EXPECT_EQ(operador.caixas[1].titulo, "Vintaro Tarvo");
    EXPECT_EQ(operador.caixas[1].texto, "Deseja realmente excluir a sequência?");
    EXPECT_FALSE(std::filesystem::exists(programa + "Sequencias/x.seq"));
    EXPECT_EQ(Itens(salvas), QStringList({"A.Seq", "x.SEQ.seq"}));
}

TEST_F(FormSequencias, WithoutListsInTheFolderTheShippedOnesAreRead) {
    // Those written at build time beside the program.
    for (const belmora::CategoriaFuncoes& c : belmora::kCategorias)
        std::filesystem::remove(programa + c.arquivo);
    auto f = Abre();
    EXPECT_TRUE(operador.caixas.empty());
    Lista(f.get(), "List_TipoComandos")->setCurrentRow(6);
    EXPECT_EQ(
        Itens(Lista(f.get(), "List_Comandos")),
        QStringList({"Tarvo_AcionaGaveta", "Tarvo_VerificaEstadoGaveta", "Tarvo_VerificaEstadoGavetaStr"}));

    // The driver's command reference opens at its contents.
    Clica(f.get(), "btAjudaComandos");
    auto* ajuda = f->findChild<belmora::TfrmAjuda*>();
    ASSERT_NE(ajuda, nullptr);
    EXPECT_TRUE(ajuda->isVisible());
    EXPECT_TRUE(
        ajuda->Navegador()->source().toLocalFile().endsWith("Ajuda/HelpTarvoImpressorasFiscais.html"));
    EXPECT_EQ(f->property("HelpContext").toInt(), 10);
}

TEST_F(FormSequencias, StepModeAsksBeforeEveryCommandButTheFirstOfTheRun) {
    auto f = Abre();
    std::filesystem::create_directories(programa + "Sequencias");
    teste::EscreveArquivo(programa + "Sequencias/passos.seq",
                          "Tarvo_Inexistente();0\r\nTarvo_Outro();0\r\nTarvo_Terceiro();0\r\n");
    f->PegarSequencias();
    Lista(f.get(), "List_SequenciasSalvas")->setCurrentRow(0);
    Botao(f.get(), "btAbrir")->click();
    f->findChild<QCheckBox*>("chkPassoAPasso")->setChecked(true);
    teste::Redigita(f->findChild<QLineEdit*>("edtNumExecucoes"), "2");
    // Pass 1: the first at once, Yes before the second, No before the third ends the pass;
    // pass 2: Yes before its first, then No.
    operador.respostas = {"Sim", "Não", "Sim", "Não"};
    log.clear();
    Botao(f.get(), "btExecutar")->click();
    ASSERT_EQ(operador.caixas.size(), 4u);
    for (const auto& c : operador.caixas) {
        EXPECT_EQ(c.titulo, "Belmora");
        EXPECT_EQ(c.texto, "Deseja executar o próximo comando?");
    }
    EXPECT_EQ(log, QStringList({"-> Executando Tarvo_Inexistente", "-> Executando Tarvo_Outro",
                                "-> Executando Tarvo_Inexistente"}));

    // Without step mode, a count that is not a number runs once; 0 runs nothing.
    f->findChild<QCheckBox*>("chkPassoAPasso")->setChecked(false);
    teste::Redigita(f->findChild<QLineEdit*>("edtNumExecucoes"), "x");
    operador.caixas.clear();
    log.clear();
    Botao(f.get(), "btExecutar")->click();
    EXPECT_EQ(log.size(), 3);
    EXPECT_TRUE(operador.caixas.empty());
    teste::Redigita(f->findChild<QLineEdit*>("edtNumExecucoes"), "0");
    log.clear();
    Botao(f.get(), "btExecutar")->click();
    EXPECT_TRUE(log.isEmpty());
}

}  // namespace

TEST_F(FormSequencias, AtTheKeyboardHomeSelectsACommandAndEnterEditsAParameterCell) {
    auto f = Abre();
    QApplication::setActiveWindow(f.get());
    Lista(f.get(), "List_TipoComandos")->setCurrentRow(2);
    // Entering the list makes its first row current; Home keeps it there, selected.
    QListWidget* comandos = Lista(f.get(), "List_Comandos");
    comandos->setFocus();
    QTest::keyClick(comandos, Qt::Key_Home);
    EXPECT_TRUE(comandos->currentItem() && comandos->currentItem()->isSelected());

    // Enter in the value cell edits it; Enter in the editor keeps it and saves nothing.
    bool editou = false;
    std::size_t caixasAntes = 99;
    operador.parametros.push_back([&](belmora::TfrmParametros* p) {
        auto* g = p->findChild<QTableWidget*>("grdParametros");
        g->setFocus();
        g->setCurrentCell(0, 1);
        QTest::keyClick(g, Qt::Key_Return);
        auto* editor = g->viewport()->findChild<QLineEdit*>();
        editou = editor && editor->isVisible();
        if (editou) {
            editor->selectAll();
            QTest::keyClicks(editor, "52998224725");
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
        }
        caixasAntes = operador.caixas.size();
        Clica(p, "btSalvar");
    });
    operador.respostas = {"OK"};
    QTest::keyClick(Botao(f.get(), "btAdicionar"), Qt::Key_Space);
    EXPECT_TRUE(editou);
    EXPECT_EQ(caixasAntes, 0u);
    ASSERT_EQ(f->Sequencia().size(), 1u);
    EXPECT_EQ(f->Sequencia()[0].Parametros[0].ValorTexto, "52998224725");
}
