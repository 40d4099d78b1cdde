// The header, owner, clock and detail-tape owner forms and the page of tabs: the header texts
// on their own, then the forms against the printer emulator in technical intervention.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QUrl>

#include "console/comum_formularios.h"
#include "console/forms/comum/cabecalho.h"
#include "console/forms/programacao/equipamento.h"
#include "console/forms/programacao/programacao.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "console/programacao_comum.h"

namespace {

const QString kEsc(QChar(0x1B));

// Keeps the pages the console asks the system to open, instead of opening them.
class Paginas : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> abertas;
  public slots:
    void Abre(const QUrl& url) { abertas << url; }
};

// --- the header's texts --------------------------------------------------------------------------

TEST(TextosCabecalho, VisibleLengthLeavesOutEveryTag) {
    EXPECT_EQ(belmora::TamanhoVisivel("<n>ABC</n>"), 3);
    // every occurrence counts, not each tag once
    EXPECT_EQ(belmora::TamanhoVisivel("<n>A</n> <n>B</n><n>"), 3);
    EXPECT_EQ(belmora::TamanhoVisivel(kEsc + "E1AB" + kEsc + "E0" + kEsc + "E1"), 2);
    EXPECT_EQ(belmora::TamanhoVisivel("a<b>c</b>"), 9);  // only the header's own tags
}

TEST(TextosCabecalho, TheTextSentHasTheEscapesAndSkipsEmptyLines) {
    std::array<belmora::LinhaEditada, 4> l{
        {{"<n>ABC</n>", false}, {"", false}, {"LOJA 2", true}, {"FIM", false}}};
    EXPECT_EQ(belmora::TextoDoCabecalho(l),
              kEsc + "E1ABC" + kEsc + "E0\n" + kEsc + "! LOJA 2" + kEsc + "!" + QChar(0x02) + "\nFIM");
    // line 1 always goes, even empty
    l = {{{"", false}, {"X", false}, {"", false}, {"", false}}};
    EXPECT_EQ(belmora::TextoDoCabecalho(l), "\nX");
}

TEST(TextosCabecalho, LinesEndAtCrLfCrOrLfAndTheLastCharacterStays) {
    EXPECT_EQ(belmora::LinhasDoCabecalho("A\r\nB\rC\nD"), QStringList({"A", "B", "C", "D"}));
    EXPECT_EQ(belmora::LinhasDoCabecalho("LOJA"), QStringList({"LOJA"}));
    EXPECT_EQ(belmora::LinhasDoCabecalho("A\n\nB\n"), QStringList({"A", "", "B", ""}));
    // what is written is read back as written, whichever line end the printer keeps
    const auto l = belmora::FormataLinhaCabecalho(kEsc + "! FILIAL" + kEsc + "!" + QChar(0x02));
    EXPECT_TRUE(l.expandida);
    EXPECT_EQ(l.texto, "FILIAL");
    EXPECT_EQ(belmora::FormataLinhaCabecalho(kEsc + "E1A" + kEsc + "E0!").texto, "<n>A</n>!");
    EXPECT_FALSE(belmora::FormataLinhaCabecalho("PROMO!").expandida);
}

TEST(TextosCabecalho, CentringAndTheExpandedCut) {
    EXPECT_EQ(belmora::CentraLinha("ABC", false), QString(23, ' ') + "ABC");
    EXPECT_EQ(belmora::CentraLinha("  ABC ", true), QString(8, ' ') + "ABC");
    EXPECT_EQ(belmora::CentraLinha("<n>ABC</n>", false), QString(23, ' ') + "<n>ABC</n>");
    EXPECT_EQ(belmora::CentraLinha("", false), "");
    EXPECT_EQ(belmora::CentraLinha(QString(48, 'X'), false), QString(48, 'X'));
    EXPECT_EQ(belmora::CentraLinha(QString(30, 'X'), true), QString(30, 'X'));  // no negative count
    EXPECT_EQ(belmora::CortaVisivel("<n>" + QString(20, 'A') + "</n>", 18),
              "<n>" + QString(18, 'A') + "</n>");
    EXPECT_EQ(belmora::CortaVisivel("ABC", 18), "ABC");
}

TEST(TextosCabecalho, TheCnpjIsGroupedAsFarAsItsDigitsReach) {
    EXPECT_EQ(belmora::AgrupaCnpj("11222333000181"), "11.222.333/0001-81");
    EXPECT_EQ(belmora::AgrupaCnpj("11"), "11");
    EXPECT_EQ(belmora::AgrupaCnpj("112"), "11.2");
    EXPECT_EQ(belmora::AgrupaCnpj("11.222.333/"), "11.222.333");
    EXPECT_EQ(belmora::AgrupaCnpj("11.222.333/0001-8"), "11.222.333/0001-8");
}

}  // namespace

#ifdef BELMORA_COM_EMULADOR
namespace {

using teste::Programacao;

class Equipamento : public Programacao {
  protected:
    std::vector<teste::Caixa> caixas;
    // The form shown in an active window, so that focus changes reach its edits.
    template <typename F>
    std::unique_ptr<F> Mostra() {
        auto f = Programacao::Mostra<F>();
        Ativa(f.get());
        return f;
    }
    // The form's window active again (a message box took it away).
    static void Ativa(QWidget* f) {
        f->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(f));
    }
    // Answers the next boxes with these buttons.
    void Responde(const QStringList& botoes) {
        caixas.clear();
        teste::RespondeEmSequencia(botoes, &caixas);
    }
};

const char* const kOk = "<- Operação executada com Sucesso!";
const char* const kFalhou = "<- Operação falhou!";

TEST_F(Equipamento, HeaderLinesAreWrittenWithTheirEscapesAndReadBack) {
    impressora.Altera([](emulador::Impressora& p) {
        p.cliche = "MERCADO\r\nRUA A\n\x1b! FILIAL DO CENTRO DA CIDADE\x1b!\x02\n";
    });
    auto f = Mostra<belmora::TfrmProgramaCabecalho>();
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Obtendo Dados do Cabeçalho", kOk})));
    EXPECT_EQ(f->EditLinha(0)->text(), "MERCADO");
    EXPECT_EQ(f->EditLinha(1)->text(), "RUA A");                       // CR LF is one line end
    EXPECT_EQ(f->EditLinha(2)->text(), "FILIAL DO CENTRO DA CIDADE");  // shown whole, as read
    EXPECT_TRUE(f->Exp(2)->isChecked());
    EXPECT_EQ(f->Tamanho(2)->text(), "26");
    EXPECT_EQ(f->EditLinha(3)->text(), "");
    f->Exp(2)->click();  // the line set back to normal before it is edited
    EXPECT_EQ(f->findChild<QLineEdit*>("edtLoja")->text(), "0001");

    f->EditLinha(0)->setText("<n>MERCADO</n> BOM");
    f->EditLinha(1)->setText("");
    f->EditLinha(2)->setText("FILIAL");
    f->Exp(2)->click();
    f->EditLinha(3)->setText("<n>RUA</n> DAS <n>FLORES</n>");
    f->findChild<QLineEdit*>("edtLoja")->setText("12");
    f->findChild<QLineEdit*>("edtECF")->setText("3");
    EXPECT_EQ(f->Tamanho(3)->text(), "14");
    log.clear();
    Responde({"Sim"});
    f->findChild<QPushButton*>("btnGravar")->click();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].titulo, "Confirmação!");
    EXPECT_EQ(caixas[0].texto, "Você tem certeza que deseja realizar o cadastro do Cabeçalho do ECF?");
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Programando Cabeçalho ... ", kOk})));
    const auto p = impressora.Impressora();
    EXPECT_EQ(p.cliche,
              "\x1b"
              "E1MERCADO\x1b"
              "E0 BOM\n\x1b! FILIAL\x1b!\x02\n\x1b"
              "E1RUA\x1b"
              "E0 DAS \x1b"
              "E1FLORES\x1b"
              "E0");
    EXPECT_EQ(p.loja, 12);
    EXPECT_EQ(p.ecf, 3);
    EXPECT_NE(LogDLL().find("Loja=12 ECF=3 TextoCabecalho="), std::string::npos) << LogDLL();

    // read back: the empty line 2 is gone, the expanded line keeps its box and its font
    f->findChild<QPushButton*>("btnCapturar")->click();
    EXPECT_EQ(f->EditLinha(0)->text(), "<n>MERCADO</n> BOM");
    EXPECT_EQ(f->Tamanho(0)->text(), "11");
    EXPECT_EQ(f->EditLinha(1)->text(), "FILIAL");
    EXPECT_TRUE(f->Exp(1)->isChecked());
    EXPECT_EQ(f->EditLinha(1)->font().pointSize(), 10);
    EXPECT_EQ(f->EditLinha(2)->text(), "<n>RUA</n> DAS <n>FLORES</n>");
    EXPECT_FALSE(f->Exp(2)->isChecked());
    EXPECT_EQ(f->EditLinha(2)->font().pointSize(), 8);
    EXPECT_EQ(f->EditLinha(3)->text(), "");
    EXPECT_EQ(f->findChild<QLineEdit*>("edtLoja")->text(), "0012");
}

TEST_F(Equipamento, HeaderEditingCountsVisibleCharactersAndFormatsTheFocusedLine) {
    auto f = Mostra<belmora::TfrmProgramaCabecalho>();
    // before a line had the focus the formatting buttons do nothing
    const QString antes = f->EditLinha(0)->text();
    f->findChild<QPushButton*>("btnAbreNegrito")->click();
    f->findChild<QPushButton*>("btnExpandido")->click();
    EXPECT_EQ(f->EditLinha(0)->text(), antes);
    EXPECT_FALSE(f->Exp(0)->isChecked());

    QLineEdit* l2 = f->EditLinha(1);
    teste::Redigita(l2, QString(47, 'A'));
    f->findChild<QPushButton*>("btnAbreNegrito")->click();  // tags do not count
    teste::Digita(l2, "BC");                                // the 49th visible character is dropped
    EXPECT_EQ(l2->text(), QString(47, 'A') + "<n>B");
    EXPECT_EQ(f->Tamanho(1)->text(), "48");
    teste::Digita(l2, "/");  // "/" still goes, for a closing tag
    EXPECT_EQ(l2->text(), QString(47, 'A') + "<n>B/");
    QTest::keyClick(l2, Qt::Key_Backspace);
    f->findChild<QPushButton*>("btnFechaNegrito")->click();
    EXPECT_EQ(l2->text(), QString(47, 'A') + "<n>B</n>");
    EXPECT_EQ(l2->cursorPosition(), l2->text().size());

    // the bold tag goes in at the cursor and the cursor after it
    teste::Redigita(l2, "ABCD");
    l2->setCursorPosition(2);
    f->findChild<QPushButton*>("btnAbreNegrito")->click();
    EXPECT_EQ(l2->text(), "AB<n>CD");
    EXPECT_EQ(l2->cursorPosition(), 5);

    // expanded: cut to 18 visible characters, 18 the limit for typing
    teste::Redigita(l2, QString(30, 'E'));
    f->findChild<QPushButton*>("btnExpandido")->click();
    EXPECT_TRUE(f->Exp(1)->isChecked());
    EXPECT_EQ(l2->text(), QString(18, 'E'));
    EXPECT_EQ(l2->font().pointSize(), 10);
    teste::Digita(l2, "X");
    EXPECT_EQ(l2->text(), QString(18, 'E'));

    // centring: 23 blanks on a normal line, 8 on an expanded one
    teste::Redigita(l2, "ABC");
    teste::Redigita(f->EditLinha(2), "ABC");
    f->findChild<QPushButton*>("btnCentralizar")->click();
    EXPECT_EQ(l2->text(), QString(8, ' ') + "ABC");
    EXPECT_EQ(f->EditLinha(2)->text(), QString(23, ' ') + "ABC");
    f->findChild<QPushButton*>("btnCentralizar")->click();  // centring again changes nothing
    EXPECT_EQ(f->EditLinha(2)->text(), QString(23, ' ') + "ABC");

    f->Exp(1)->click();  // off again
    EXPECT_EQ(l2->font().pointSize(), 8);
}

TEST_F(Equipamento, OwnerFormDisablesProgrammedFieldsAndSendsWhatTheEditsHold) {
    auto f = Mostra<belmora::TfrmProgramaProprietario>();
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Obtendo dados do proprietário ...", kOk})));
    EXPECT_NE(LogDLL().find("Tarvo_CGC_IE(strCGC, strIE);"), std::string::npos) << LogDLL();
    EXPECT_NE(LogDLL().find("Tarvo_InscricaoMunicipalMFD(strIM);"), std::string::npos);
    EXPECT_NE(LogDLL().find("Tarvo_NumeroSerie(strRetorno);"), std::string::npos);
    EXPECT_EQ(f->Cnpj()->text(), "11.222.333/0001-81");
    EXPECT_FALSE(f->Cnpj()->isEnabled());
    EXPECT_FALSE(f->Ie()->isEnabled());
    EXPECT_FALSE(f->Im()->isEnabled());
    EXPECT_TRUE(f->Senha()->isEnabled());  // the printer asks for it at every programming
    EXPECT_EQ(f->NumeroSerie()->text(), "TV010500000000012345");

    // the mandatory fields: the password is empty
    log.clear();
    Responde({"OK"});
    f->findChild<QPushButton*>("btnSalvar")->click();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].titulo, "Atenção!");
    EXPECT_EQ(caixas[0].texto,
              "Os campos CNPJ, Inscrição Estadual e Senha são obrigatórios, por favor os preencha "
              "antes de continuar.");
    EXPECT_TRUE(log.isEmpty());

    // the disabled CNPJ is still sent, as shown
    f->Senha()->setText("1234");
    EsqueceChamadas();
    Responde({"Sim"});
    f->findChild<QPushButton*>("btnSalvar")->click();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].titulo, "Confirmação!");
    EXPECT_EQ(
        caixas[0].texto,
        "Certifique-se que os dados estão corretos, após a execução desse comando não será possível alterar "
        "as "
        "informações.\n\nCNPJ: 11.222.333/0001-81\nInscrição Estadual: 123.456.789.012\nInscrição Municipal: "
        "12345678\n\nVocê deseja continuar?");
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Programando proprietário ...", kOk})));
    EXPECT_NE(LogDLL().find("CNPJ=\"11.222.333/0001-81\" InscricaoEstadual=\"123.456.789.012\" Senha=1234 "
                            "InscricaoMunicipal=\"12345678\""),
              std::string::npos)
        << LogDLL();
    // read again after the save, the owner can be saved again with its password
    f->findChild<QPushButton*>("btnCapturar")->click();
    EXPECT_FALSE(f->Cnpj()->isEnabled());
    EXPECT_TRUE(f->Senha()->isEnabled());

    // a printer without an owner: every edit open, the CNPJ grouped while typed
    impressora.Altera([](emulador::Impressora& p) { p.cnpj = p.ie = p.im = ""; });
    f->findChild<QPushButton*>("btnCapturar")->click();
    Ativa(f.get());
    EXPECT_TRUE(f->Cnpj()->isEnabled());
    EXPECT_TRUE(f->Senha()->isEnabled());
    EXPECT_FALSE(f->NumeroSerie()->isEnabled());
    teste::Digita(f->Cnpj(), "11a222333000");
    EXPECT_EQ(f->Cnpj()->text(), "11.222.333/000");
    f->Ie()->setFocus();  // leaving an incomplete CNPJ shows the label
    EXPECT_FALSE(f->CnpjInvalido()->isHidden());
    teste::Digita(f->Cnpj(), "18099");  // no more than fits
    EXPECT_EQ(f->Cnpj()->text(), "11.222.333/0001-80");
    QTest::keyClick(f->Cnpj(), Qt::Key_Backspace);
    QTest::keyClick(f->Cnpj(), Qt::Key_Backspace);
    EXPECT_EQ(f->Cnpj()->text(), "11.222.333/0001");  // the separator goes with its digit
    teste::Digita(f->Cnpj(), "80");
    f->Ie()->setFocus();
    EXPECT_FALSE(f->CnpjInvalido()->isHidden());  // wrong check digits
    teste::Digita(f->Ie(), "ISENTO");
    teste::Digita(f->Im(), "999");
    teste::Digita(f->Senha(), "1");

    // an invalid CNPJ is refused after the question, with the failure line
    log.clear();
    EsqueceChamadas();
    Responde({"Sim", "OK"});
    f->findChild<QPushButton*>("btnSalvar")->click();
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[1].titulo, "Atenção!");
    EXPECT_EQ(caixas[1].texto, "CNPJ Inválido. Por favor, entre com um CNPJ válido");
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Programando proprietário ...", kFalhou})));
    EXPECT_EQ(LogDLL().find("DefineProprietario"), std::string::npos);

    Ativa(f.get());
    QTest::keyClick(f->Cnpj(), Qt::Key_Backspace);
    QTest::keyClick(f->Cnpj(), Qt::Key_Backspace);
    teste::Digita(f->Cnpj(), "81");
    f->Ie()->setFocus();
    EXPECT_TRUE(f->CnpjInvalido()->isHidden());
    Responde({"Sim"});
    f->findChild<QPushButton*>("btnSalvar")->click();
    const auto p = impressora.Impressora();
    EXPECT_EQ(p.cnpj, "11.222.333/0001-81");
    EXPECT_EQ(p.ie, "ISENTO");
    EXPECT_EQ(p.im, "999");

    // the approval documents are a page shipped with the console
    Paginas paginas;
    QDesktopServices::setUrlHandler("file", &paginas, "Abre");
    QDesktopServices::setUrlHandler("http", &paginas, "Abre");
    QDesktopServices::setUrlHandler("https", &paginas, "Abre");
    f->findChild<QPushButton*>("btnHomologacao")->click();
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(paginas.abertas.size(), 1);
    EXPECT_TRUE(paginas.abertas[0].isLocalFile());
    EXPECT_TRUE(paginas.abertas[0].toLocalFile().endsWith("Ajuda/homologacao.html"));
    EXPECT_TRUE(QFileInfo::exists(paginas.abertas[0].toLocalFile()));
}

TEST_F(Equipamento, DetailTapeOwnerFormStartsTheTapeWithoutLoggingTheCall) {
    impressora.Altera([](emulador::Impressora& p) { p.cnpj = p.ie = p.im = ""; });
    auto f = Mostra<belmora::TfrmProgramarDasks>();
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Obtendo dados do proprietário ...", kOk,
                                            "-> Lendo número de série da MFD ...", kOk})));
    EXPECT_NE(LogDLL().find("Tarvo_NumeroSerieMemoriaMFD(NumeroSerieMFD);"), std::string::npos) << LogDLL();
    EXPECT_EQ(f->SerieMfd()->text(), "TVM00500000000012345");
    EXPECT_EQ(f->NumeroSerie()->text(), "TV010500000000012345");
    EXPECT_FALSE(f->NumeroSerie()->isEnabled());
    EXPECT_TRUE(f->Cnpj()->isEnabled());

    // the serial of the tape is mandatory too
    f->SerieMfd()->clear();
    Responde({"OK"});
    f->findChild<QPushButton*>("btnSalvar")->click();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].texto,
              "Os campos Número de Série MFD, CNPJ, Inscrição Estadual e Senha são obrigatórios, "
              "por favor os preencha antes de continuar.");

    // an invalid CNPJ stops before the question
    f->SerieMfd()->setText("TVM00500000000099999");
    teste::Digita(f->Cnpj(), "11222333000180");
    f->Ie()->setText("ISENTO");
    f->Senha()->setText("42");
    log.clear();
    Responde({"OK"});
    f->findChild<QPushButton*>("btnSalvar")->click();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].texto, "CNPJ Inválido. Por favor, entre com um CNPJ válido");
    EXPECT_FALSE(f->CnpjInvalido()->isHidden());
    EXPECT_TRUE(log.isEmpty());

    QTest::keyClick(f->Cnpj(), Qt::Key_Backspace);
    teste::Digita(f->Cnpj(), "1");
    EsqueceChamadas();
    Responde({"Sim"});
    f->findChild<QPushButton*>("btnSalvar")->click();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].texto,
              "Certifique-se que os dados estão corretos, após a execução desse comando não será possível "
              "alterar as "
              "informações.\n\nNº da série MFD: TVM00500000000099999\nCNPJ: 11.222.333/0001-81\nInscrição "
              "Estadual: "
              "ISENTO\nInscrição Municipal: \n\nVocê deseja continuar?");
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Programando proprietário ...", kOk})));
    EXPECT_EQ(LogDLL().find("IniciaFitaDetalhe"), std::string::npos) << LogDLL();
    const auto p = impressora.Impressora();
    EXPECT_EQ(p.numeroSerieMFD, "TVM00500000000099999");
    EXPECT_EQ(p.cnpj, "11.222.333/0001-81");
    EXPECT_EQ(p.ie, "ISENTO");
    EXPECT_TRUE(f->CnpjInvalido()->isHidden());
}

TEST_F(Equipamento, ClockFormFollowsSummerTimeAndProgramsTheClock) {
    impressora.Altera([](emulador::Impressora& p) {
        p.horarioVerao = false;
        p.movimentoAberto = false;
        emulador::DataHora d;
        d.ano = 2026, d.mes = 3, d.dia = 4, d.hora = 10, d.minuto = 20, d.segundo = 30;
        p.relogioParado = d.Segundos();
    });
    auto f = Mostra<belmora::TfrmProgramaDataHora>();
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Lendo data e hora da Impressora ...", kOk})));
    EXPECT_NE(LogDLL().find("Tarvo_FlagsFiscaisStr("), std::string::npos) << LogDLL();
    EXPECT_NE(LogDLL().find("Tarvo_DataHoraImpressora(strData, strHora);"), std::string::npos) << LogDLL();
    EXPECT_EQ(f->Estado()->text(), "Fora de Horário de Verão");
    EXPECT_EQ(f->BotaoHorarioVerao()->text(), "Ativar Horário de Verão");
    auto* data = f->findChild<QDateEdit*>("edtData");
    auto* hora = f->findChild<QTimeEdit*>("edtHora");
    EXPECT_EQ(data->date(), QDate(2026, 3, 4));
    EXPECT_EQ(hora->time(), QTime(10, 20, 30));

    log.clear();
    Responde({"Sim"});
    f->BotaoHorarioVerao()->click();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].texto,
              "Essa operação adiantará o relógio do ECF em uma hora. Você deseja continuar?");
    EXPECT_EQ(log.value(0), "-> Programando horário de verão ...");
    EXPECT_EQ(log.value(1), kOk);
    EXPECT_EQ(log.value(2), "-> Lendo data e hora da Impressora ...");
    EXPECT_TRUE(impressora.Impressora().horarioVerao);
    EXPECT_EQ(f->Estado()->text(), "Em de Horário de Verão");
    EXPECT_EQ(f->BotaoHorarioVerao()->text(), "Desativar Horário de Verão");
    EXPECT_EQ(hora->time(), QTime(11, 20, 30));
    Responde({"Sim"});
    f->BotaoHorarioVerao()->click();
    EXPECT_EQ(caixas.at(0).texto,
              "Essa operação atrasará o relógio do ECF em uma hora. Você deseja continuar?");
    EXPECT_FALSE(impressora.Impressora().horarioVerao);
    EXPECT_EQ(f->Estado()->text(), "Fora de Horário de Verão");
    Responde({"Não"});  // answered No: nothing changes
    f->BotaoHorarioVerao()->click();
    EXPECT_FALSE(impressora.Impressora().horarioVerao);

    data->setDate(QDate(2026, 3, 5));
    hora->setTime(QTime(8, 0, 0));
    log.clear();
    EsqueceChamadas();
    Responde({"Sim"});
    f->findChild<QPushButton*>("btnProgramaRelogio")->click();
    EXPECT_EQ(caixas.at(0).texto,
              "Você tem certeza que a Data e a Hora estão corretas? Caso estejam incorretas esta "
              "operação poderá inutilizar o ECF.");
    EXPECT_EQ(Linhas(), Linhas(QStringList({"-> Programando data e hora ...", kOk})));
    EXPECT_NE(LogDLL().find("Data=#05/03/26# Hora=#08:00:00#"), std::string::npos) << LogDLL();
    const auto agora = impressora.Impressora().Agora();
    EXPECT_EQ(agora.dia, 5);
    EXPECT_EQ(agora.hora, 8);

    f->findChild<QPushButton*>("btnCapturarPC")->click();
    EXPECT_EQ(data->date(), QDate::currentDate());
}

TEST_F(Equipamento, TheSevenTabsInOrderAndAFailingTabLeavesTheOthersWorking) {
    auto f = Mostra<belmora::TfrmProgramarEquipamento>();
    QTabWidget* abas = f->Abas();
    QStringList titulos;
    for (int i = 0; i < abas->count(); ++i) titulos << abas->tabText(i);
    EXPECT_EQ(titulos,
              QStringList({"Dados do Proprietário", "Cabeçalho", "Relógio", "Alíquotas",
                           "Formas de Pagamento", "Totalizadores Não Fiscais", "Relatórios Gerenciais"}));
    const QStringList classes = {"TfrmProgramaProprietario", "TfrmProgramaCabecalho", "TfrmProgramaDataHora",
                                 "TfrmDefineAliquotas",      "TfrmDefMeioPgto",       "TfrmDefineNaoFiscal",
                                 "TfrmDefRelatorioGerencial"};
    for (int i = 0; i < abas->count(); ++i) {
        ASSERT_NE(f->FormularioDaAba(i), nullptr) << i;
        EXPECT_EQ(f->FormularioDaAba(i)->objectName(), classes[i]);
    }
    // the shown tab has read the printer
    EXPECT_EQ(static_cast<belmora::TfrmProgramaProprietario*>(f->FormularioDaAba(0))->Cnpj()->text(),
              "11.222.333/0001-81");

    // the header's reading fails: its tab says so, the other tabs go on
    impressora.ErroEm("LeTexto", 8004, "RegistradorInexistente", "Cliche", 1);
    log.clear();
    Responde({"OK"});
    abas->setCurrentIndex(1);
    QCoreApplication::processEvents();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].titulo, "Erro");
    EXPECT_EQ(caixas[0].texto, "Erro");
    EXPECT_EQ(log.first(), "-> Obtendo Dados do Cabeçalho");
    EXPECT_EQ(log.last(), kFalhou);

    abas->setCurrentIndex(2);
    QCoreApplication::processEvents();
    auto* relogio = static_cast<belmora::TfrmProgramaDataHora*>(f->FormularioDaAba(2));
    EXPECT_EQ(relogio->Estado()->text(), "Fora de Horário de Verão");
    abas->setCurrentIndex(3);
    QCoreApplication::processEvents();
    auto* aliquotas = static_cast<belmora::TfrmDefineAliquotas*>(f->FormularioDaAba(3));
    EXPECT_EQ(Celula(aliquotas->Tabela(), 1, 1), "18,00");

    // the failed tab reads again on "Capturar"
    impressora.Altera([](emulador::Impressora& p) { p.cliche = "LOJA NOVA\n"; });
    abas->setCurrentIndex(1);
    auto* cabecalho = static_cast<belmora::TfrmProgramaCabecalho*>(f->FormularioDaAba(1));
    EXPECT_EQ(cabecalho->EditLinha(0)->text(), "");
    cabecalho->findChild<QPushButton*>("btnCapturar")->click();
    EXPECT_EQ(cabecalho->EditLinha(0)->text(), "LOJA NOVA");
    EXPECT_TRUE(caixas.size() == 1u);
}

TEST_F(Equipamento, TheMainWindowHostsTheIdentityFormsOfTheirGroups) {
    belmora::RegistraFormulariosDoConsole();
    belmora::TfrmVintaro janela(false);
    janela.show();
    auto abre = [&](Qt::Key grupo, Qt::Key letra) -> QString {
        QWidget* f = teste::AbreOpcao(janela, grupo, letra);
        return f ? f->objectName() : QString();
    };
    EXPECT_EQ(abre(Qt::Key_F2, Qt::Key_D), "TfrmProgramarDasks");
    EXPECT_EQ(abre(Qt::Key_F3, Qt::Key_P), "TfrmProgramaProprietario");
    EXPECT_EQ(abre(Qt::Key_F3, Qt::Key_C), "TfrmProgramaCabecalho");
    EXPECT_EQ(abre(Qt::Key_F3, Qt::Key_R), "TfrmProgramaDataHora");
    ASSERT_EQ(abre(Qt::Key_F2, Qt::Key_P), "TfrmProgramarEquipamento");
    auto* f = static_cast<belmora::TfrmProgramarEquipamento*>(janela.FormularioHospedado());
    // one "Sair" for the page: the forms on the tabs have none of their own
    EXPECT_TRUE(f->FormularioDaAba(0)->BotaoSair()->isHidden());
    QPointer<QWidget> hospedado = f;
    QTest::keyClick(f->BotaoSair(), Qt::Key_Space);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(hospedado.isNull());
    EXPECT_EQ(janela.FormularioHospedado(), nullptr);
}

}  // namespace
#endif

#include "programacao_equipamento_test.moc"
