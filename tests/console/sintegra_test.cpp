// "Relatórios Sintegra": the company data read with its cuts and written back, the destination
// folder, the record-type flags and texts the library is asked for (the call log), the file
// opened; and the worker run that keeps the window painting while the library works.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <future>
#include <map>
#include <optional>
#include <thread>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/binding/log_dll.h"
#include "console/forms/comum/andamento.h"
#include "console/forms/configuracao/dados_sintegra.h"
#include "console/forms/configuracao/relatorios_sintegra.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"
#include "platform/ini.h"
#include "platform/pastas.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{' << l.join("\", \"").toStdString() << '}';
}

namespace {

TEST(DadosSintegra, StoredValuesAreTrimmedAndCutToTheirFieldsAndWrittenBackAsShown) {
    teste::PastaTemporaria pasta;
    const std::string ini = pasta / "Tarvo.Ini";
    EXPECT_EQ(belmora::LeDadosSintegra(ini).razaoSocial, "");
    EXPECT_EQ(belmora::FlagsSintegra(belmora::LeDadosSintegra(ini)), 0);

    const std::string razao40 = "MERCADO CENTRAL DE ALIMENTOS E BEBIDAS1";  // 39 + below
    teste::EscreveArquivo(ini, "; do operador\r\n[sintegra]\r\nrazaosocial=  " + razao40 +
                                   "X  \r\nEndereco=RUA DAS FLORES\r\nNumero=123456\r\nCEP= 01310100 \r\n"
                                   "Telefone=1133334444555\r\nFAX=\t1133334444\t\r\nContato=" +
                                   plataforma::Utf8ParaCp1252("JOÃO") +
                                   "\r\nFlag60I=1\r\nFlag60D= 1\r\nFlag60R=01\r\n"
                                   "[ECF]\r\nUF= SPX\r\nCOO=000010\r\n");
    belmora::DadosSintegra d = belmora::LeDadosSintegra(ini);
    EXPECT_EQ(d.razaoSocial, razao40.substr(0, 35));
    EXPECT_EQ(d.endereco, "RUA DAS FLORES");
    EXPECT_EQ(d.numero, "12345");
    EXPECT_EQ(d.cep, "01310100");
    EXPECT_EQ(d.telefone, "113333444455");
    EXPECT_EQ(d.fax, "1133334444");
    EXPECT_EQ(d.contato, plataforma::Utf8ParaCp1252("JOÃO"));  // one byte per letter
    EXPECT_EQ(d.complemento, "");
    EXPECT_EQ(d.uf, "SP");
    EXPECT_TRUE(d.flag60I);
    EXPECT_TRUE(d.flag60D);   // blanks before the "1" are trimmed
    EXPECT_FALSE(d.flag60R);  // only a first "1" counts
    EXPECT_EQ(belmora::FlagsSintegra(d), 4 + 8);

    // Written back as read: the cut values, the flags as "1" or empty; the rest of the file kept.
    d.flag60I = false;
    d.flag60R = true;
    std::string erro;
    ASSERT_TRUE(belmora::GravaDadosSintegra(ini, d, erro)) << erro;
    const plataforma::ArquivoIni lido(ini);
    EXPECT_EQ(lido.Le("Sintegra", "RazaoSocial"), razao40.substr(0, 35));
    EXPECT_EQ(lido.Le("Sintegra", "Numero"), "12345");
    EXPECT_EQ(lido.Le("Sintegra", "Complemento", "<none>"), "");
    EXPECT_EQ(lido.Le("Sintegra", "Flag60I", "<none>"), "");
    EXPECT_EQ(lido.Le("Sintegra", "Flag60D"), "1");
    EXPECT_EQ(lido.Le("Sintegra", "Flag60R"), "1");
    EXPECT_EQ(lido.Le("ECF", "UF"), "SP");
    EXPECT_EQ(lido.Le("ECF", "COO"), "000010");
    EXPECT_EQ(lido.Texto().rfind("; do operador\r\n", 0), 0u);
    EXPECT_EQ(belmora::FlagsSintegra(belmora::LeDadosSintegra(ini)), 4 + 16);

    // The report's name is the Path joined as it is, default "c:\".
    EXPECT_EQ(belmora::ArquivoSintegra(pasta / "nenhum.ini"), "c:\\\\Sintegra.txt");
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(ini, "Sistema", "Path", "C:\\"));
    EXPECT_EQ(belmora::ArquivoSintegra(ini), "C:\\\\Sintegra.txt");
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(ini, "Sistema", "Path", "/dados/rfd"));
    EXPECT_EQ(belmora::ArquivoSintegra(ini), "/dados/rfd\\Sintegra.txt");
}

TEST(ExecutaEmSegundoPlano, TheWindowRunsItsEventsWhileTheCallWaitsAndTheCallsErrorComesBack) {
    // The call can only end after a timer of the window's thread has fired: a window that did
    // not run its events meanwhile would leave it waiting until its limit.
    std::promise<void> disparou;
    std::future<void> sinal = disparou.get_future();
    QTimer::singleShot(20, [&] { disparou.set_value(); });
    std::thread::id fio;
    const int r = belmora::ExecutaEmSegundoPlano([&] {
        fio = std::this_thread::get_id();
        return sinal.wait_for(std::chrono::seconds(20)) == std::future_status::ready ? 1 : -1;
    });
    EXPECT_EQ(r, 1);
    EXPECT_NE(fio, std::this_thread::get_id());

    // A call that is over at once.
    EXPECT_EQ(belmora::ExecutaEmSegundoPlano([] { return 7; }), 7);
    EXPECT_THROW(belmora::ExecutaEmSegundoPlano([]() -> int { throw std::runtime_error("falha"); }),
                 std::runtime_error);
}

TEST(Andamento, TheLabelCyclesItsDotsAndHidesWhenStopped) {
    QWidget janela;
    auto* rotulo = new QLabel(&janela);
    belmora::TAndamento andamento(rotulo);
    janela.show();
    EXPECT_FALSE(rotulo->isVisible());
    andamento.Inicia();
    EXPECT_TRUE(rotulo->isVisible());
    EXPECT_EQ(rotulo->text(), "Em Andamento");
    QStringList vistos{rotulo->text()};
    const bool voltou = QTest::qWaitFor(
        [&] {
            if (vistos.last() != rotulo->text()) vistos << rotulo->text();
            return vistos.size() == 5;
        },
        20000);
    ASSERT_TRUE(voltou) << vistos.join('|').toStdString();
    EXPECT_EQ(vistos, QStringList({"Em Andamento", "Em Andamento.", "Em Andamento..", "Em Andamento...",
                                   "Em Andamento"}));
    andamento.Para();
    EXPECT_FALSE(rotulo->isVisible());
    EXPECT_FALSE(andamento.Ativo());
}

#ifdef BELMORA_COM_EMULADOR

using teste::Caixa;
using teste::Campo;
using teste::Clica;

// The main window, the files the form would open kept (opened when `abre`).
class RelatoriosSintegra : public teste::NaJanela {
  protected:
    QStringList abertos;
    bool abre = false;
    std::optional<std::string> iniAntes;  // the program folder's TARVO.INI before the test

    void SetUp() override {
        if (std::filesystem::exists(Ini())) iniAntes = teste::LeArquivo(Ini());
        belmora::TfrmRelatoriosSintegra::DefineAbertura([this](const QString& arquivo) {
            abertos << arquivo;
            return abre;
        });
        NaJanela::SetUp();
    }
    void TearDown() override {
        NaJanela::TearDown();
        belmora::TfrmRelatoriosSintegra::DefineAbertura(nullptr);
        // The next test of this program finds the folder and company data as this one did.
        if (iniAntes)
            teste::EscreveArquivo(Ini(), *iniAntes);
        else
            std::filesystem::remove(Ini());
    }

    // "Relatórios (S)integra" of group 6 (Alt+S after F6).
    belmora::TFormulario* Abre() { return NaJanela::Abre(Qt::Key_F6, Qt::Key_S); }
    std::string Ini() { return plataforma::PastaPrograma() + "TARVO.INI"; }
    std::string Chave(const char* secao, const char* chave) {
        return plataforma::ArquivoIni::LeChave(Ini(), secao, chave, "<none>");
    }
    // "Gerar" for March 2010, its one message box answered; the boxes seen.
    std::vector<Caixa> GeraMarco2010(belmora::TFormulario* f) {
        Campo<QComboBox>(f, "cbMes")->setCurrentIndex(2);
        Campo<QSpinBox>(f, "seAno")->setValue(2010);
        log->clear();
        std::vector<Caixa> caixas;
        teste::RespondeEmSequencia({"OK"}, &caixas);
        Clica(Campo(f, "btGerar"));
        EXPECT_EQ(caixas.size(), 1u);
        return caixas;
    }
    // The call line of the export in the call log, "" when it was not called.
    std::string Chamada() {
        const std::string dll = LogDLL();
        const std::size_t i = dll.find("Tarvo_RelatorioSintegraMFD(");
        return i == std::string::npos ? std::string() : dll.substr(i, dll.find("\r\n", i) - i);
    }
};

TEST_F(RelatoriosSintegra, TheCompanyDataIsShownCutSavedBeforeTheCallAndSentWithTheFlags) {
    const std::string razao40 = "SUPERMERCADO BOA VIAGEM DE SAO PAULO 1234";
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "Sintegra", "RazaoSocial", razao40));
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "Sintegra", "Bairro", "  JARDIM PAULISTANO SUL "));
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "Sintegra", "Flag60I", "1"));
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "Sintegra", "Flag60R", "x1"));
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "ECF", "UF", "sp"));

    belmora::TFormulario* f = Abre();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->objectName(), "TfrmRelatoriosSintegra");
    EXPECT_EQ(f->windowTitle(), "Relatórios Sintegra");
    EXPECT_EQ(f->property("HelpContext").toInt(), 47);
    EXPECT_EQ(QApplication::focusWidget(), Campo(f, "cbMes"));
    EXPECT_EQ(Campo<QLineEdit>(f, "edtRazaoSocial")->text().toStdString(), razao40.substr(0, 35));
    EXPECT_EQ(Campo<QLineEdit>(f, "edtBairro")->text(), "JARDIM PAULISTA");
    EXPECT_EQ(Campo<QLineEdit>(f, "edtUF")->text(), "sp");
    EXPECT_TRUE(Campo<QCheckBox>(f, "chk60I")->isChecked());
    EXPECT_FALSE(Campo<QCheckBox>(f, "chk60R")->isChecked());
    EXPECT_FALSE(Campo<QCheckBox>(f, "chk60D")->isChecked());
    for (const char* fixo : {"chk60A", "chk60M", "chk75"}) EXPECT_FALSE(Campo(f, fixo)->isEnabled()) << fixo;
    EXPECT_EQ(Campo<QSpinBox>(f, "seAno")->minimum(), 2000);
    EXPECT_EQ(Campo<QSpinBox>(f, "seAno")->maximum(), 3000);

    // Typed texts stop at the field's length.
    teste::Redigita(Campo(f, "edtNumero"), "1500A9");
    teste::Redigita(Campo(f, "edtCidade"), "São Paulo");
    teste::Redigita(Campo(f, "edtUF"), "SPX");
    Clica(Campo(f, "chk60D"));
    Clica(Campo(f, "chk60R"));
    Clica(Campo(f, "chk60I"));
    std::vector<Caixa> caixas = GeraMarco2010(f);
    ASSERT_EQ(caixas.size(), 1u);

    // Saved before the call, as shown.
    EXPECT_EQ(Chave("Sintegra", "RazaoSocial"), razao40.substr(0, 35));
    EXPECT_EQ(Chave("Sintegra", "Numero"), "1500A");
    EXPECT_EQ(Chave("Sintegra", "Cidade"), plataforma::Utf8ParaCp1252("São Paulo"));
    EXPECT_EQ(Chave("Sintegra", "Bairro"), "JARDIM PAULISTA");
    EXPECT_EQ(Chave("Sintegra", "Flag60D"), "1");
    EXPECT_EQ(Chave("Sintegra", "Flag60I"), "");
    EXPECT_EQ(Chave("Sintegra", "Flag60R"), "1");
    EXPECT_EQ(Chave("ECF", "UF"), "SP");

    // 60D + 60R; the file under Path; the month without a leading zero; the texts in order.
    const std::string arquivo = Chave("Sistema", "Path") + "\\Sintegra.txt";
    EXPECT_EQ(Chamada(), "Tarvo_RelatorioSintegraMFD(20,\"" + arquivo + "\",\"3\",\"2010\",\"" +
                             razao40.substr(0, 35) +
                             "\",\"\",\"1500A\",\"\",\"JARDIM PAULISTA\",\"São Paulo\",\"\",\"\",\"\",\"\");")
        << LogDLL();

    // The outcome in the log and in the box, the label hidden again.
    const QStringList linhas = Log();
    ASSERT_GE(linhas.size(), 2);
    EXPECT_EQ(linhas.first(), "-> Gerando Relatório Sintegra");
    EXPECT_TRUE(linhas.last() == "<- Operação executada com Sucesso!" ||
                linhas.last() == "<- Operação falhou!")
        << linhas.last().toStdString();
    EXPECT_EQ("<- " + caixas[0].texto, linhas.last());
    EXPECT_FALSE(Campo(f, "lblAndamento")->isVisible());

    // No optional type: flags 0.
    for (const char* tipo : {"chk60D", "chk60R"}) Clica(Campo(f, tipo));
    std::filesystem::remove(teste::kLogDLL);
    GeraMarco2010(f);
    EXPECT_EQ(Chamada().rfind("Tarvo_RelatorioSintegraMFD(0,", 0), 0u) << LogDLL();
    EXPECT_EQ(Chave("Sintegra", "Flag60D"), "");

    // Data that cannot be saved is not sent: the reason, the failure line, no call.
    std::filesystem::permissions(Ini(),
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    teste::Redigita(Campo(f, "edtContato"), "OUTRO");
    std::filesystem::remove(teste::kLogDLL);
    caixas = GeraMarco2010(f);
    std::filesystem::permissions(Ini(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].titulo, "Erro");
    EXPECT_TRUE(caixas[0].texto.startsWith("Não foi possível gravar")) << caixas[0].texto.toStdString();
    EXPECT_EQ(Log().last(), "<- Operação falhou!");
    EXPECT_EQ(Chamada(), "");
    EXPECT_EQ(Chave("Sintegra", "Contato"), "");
}

TEST_F(RelatoriosSintegra, AMissingFolderIsCreatedOnlyWhenTheOperatorAgrees) {
    const std::string pasta = plataforma::PastaPrograma() + "sintegra/mes";
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "Sistema", "Path", pasta));
    belmora::TFormulario* f = Abre();
    ASSERT_TRUE(f);
    teste::Redigita(Campo(f, "edtContato"), "ANA");

    // No: nothing saved, logged or called.
    log->clear();
    std::vector<Caixa> caixas;
    teste::RespondeEmSequencia({"Não"}, &caixas);
    Clica(Campo(f, "btGerar"));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].titulo, "Belmora");
    EXPECT_EQ(caixas[0].texto, "Pasta de destino para o arquivo não existe. Deseja criá-la ?");
    EXPECT_FALSE(std::filesystem::exists(pasta));
    EXPECT_EQ(Log(), QStringList());
    EXPECT_EQ(Chave("Sintegra", "Contato"), "<none>");
    EXPECT_EQ(Chamada(), "");

    // Yes: the folder and its parent made, then the generation.
    caixas.clear();
    teste::RespondeEmSequencia({"Sim", "OK"}, &caixas);
    Clica(Campo(f, "btGerar"));
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(pasta));
    EXPECT_EQ(Chave("Sintegra", "Contato"), "ANA");
    EXPECT_NE(Chamada().find("\"" + pasta + "\\Sintegra.txt\""), std::string::npos) << Chamada();

    // A folder that cannot be made (a file stands in its way): the failure box, nothing else.
    teste::EscreveArquivo(plataforma::PastaPrograma() + "arquivo", "x");
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "Sistema", "Path",
                                                   plataforma::PastaPrograma() + "arquivo/sub"));
    std::filesystem::remove(teste::kLogDLL);
    log->clear();
    caixas.clear();
    teste::RespondeEmSequencia({"Sim", "OK"}, &caixas);
    Clica(Campo(f, "btGerar"));
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[1].texto, "Operação falhou!");
    EXPECT_EQ(Log(), QStringList());
    EXPECT_EQ(Chamada(), "");
}

TEST_F(RelatoriosSintegra, ViewingOpensTheReportUnderPathOrSaysItCouldNot) {
    belmora::TFormulario* f = Abre();
    ASSERT_TRUE(f);
    std::vector<Caixa> caixas;
    teste::RespondeEmSequencia({"OK"}, &caixas);
    Clica(Campo(f, "btVisualizar"));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].titulo, "Error");
    EXPECT_EQ(caixas[0].texto, "Não foi possível abrir o arquivo");
    ASSERT_EQ(abertos.size(), 1);
    // Path as the window set it (the program folder's RFDTemp), the name joined to it.
    EXPECT_EQ(std::filesystem::path(abertos[0].toStdString()).lexically_normal(),
              std::filesystem::path(plataforma::PastaPrograma() + "RFDTemp/Sintegra.txt").lexically_normal());

    abre = true;
    caixas.clear();
    Clica(Campo(f, "btVisualizar"));
    EXPECT_EQ(abertos.size(), 2);
    QTest::qWait(50);
    EXPECT_TRUE(caixas.empty());

    // Without a program to open it, a missing file is not opened either.
    belmora::TfrmRelatoriosSintegra::DefineAbertura(nullptr);
    teste::RespondeEmSequencia({"OK"}, &caixas);
    Clica(Campo(f, "btVisualizar"));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].texto, "Não foi possível abrir o arquivo");
}

// Two days of March 2010 and the 1st of April, each a receipt of two items and its Z; the
// report of March asked from the form, the whole way through the printer's memories.
TEST_F(RelatoriosSintegra, TheMonthsFileIsProducedFromThePrintersMemories) {
    for (auto [mes, dia] : {std::pair{3, 1}, std::pair{3, 2}, std::pair{4, 1}}) {
        impressora.Altera([&](emulador::Impressora& p) {
            p.AjustaRelogio(emulador::DataHora{2010, mes, dia, 9, 0, 0});
        });
        const std::pair<const char*, std::string> passos[] = {
            {"AbreCupomFiscal", ""},
            {"VendeItem",
             "CodAliquota=0 CodProduto=\"1\" NomeProduto=\"PAO\" PrecoUnitario=1,00 Quantidade=3,000"},
            {"VendeItem", "CodAliquota=-2 CodProduto=\"2\" NomeProduto=\"OLEO\" PrecoUnitario=" +
                              std::to_string(dia) + ",50 Quantidade=1,000"},
            {"PagaCupom", "CodMeioPagamento=-2 Valor=100,00"},
            {"EncerraDocumento", ""},
            {"EmiteReducaoZ", ""},
        };
        for (const auto& [comando, parametros] : passos)
            ASSERT_EQ(dll::Tarvo_ExecutaComando(comando, parametros), 1) << comando;
    }
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(Ini(), "ECF", "UF", "SP"));
    belmora::TFormulario* f = Abre();
    ASSERT_TRUE(f);
    teste::Redigita(Campo(f, "edtRazaoSocial"), "MERCADO MODELO");
    teste::Redigita(Campo(f, "edtCidade"), "SANTOS");
    for (const char* tipo : {"chk60D", "chk60I", "chk60R"}) Campo<QCheckBox>(f, tipo)->setChecked(true);
    const std::vector<Caixa> caixas = GeraMarco2010(f);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].texto, "Operação executada com Sucesso!") << Log().join('\n').toStdString();
    EXPECT_EQ(Log(), QStringList({"-> Gerando Relatório Sintegra", "<- Operação executada com Sucesso!"}));
    EXPECT_EQ(Chamada().rfind("Tarvo_RelatorioSintegraMFD(28,", 0), 0u) << Chamada();

    // "Visualizar arquivo" is given the file just written.
    abre = true;
    Clica(Campo(f, "btVisualizar"));
    ASSERT_EQ(abertos.size(), 1);
    const std::string texto = teste::LeArquivo(abertos[0].toStdString());
    std::vector<std::string> linhas;
    for (std::size_t i = 0; i < texto.size();) {
        const std::size_t fim = texto.find("\r\n", i);
        ASSERT_NE(fim, std::string::npos) << "a line without its CR LF";
        linhas.push_back(texto.substr(i, fim - i));
        i = fim + 2;
    }
    ASSERT_GE(linhas.size(), 4u) << texto;
    std::map<std::string, int> tipos;
    std::vector<std::string> datas60M;
    for (const std::string& l : linhas) {
        EXPECT_EQ(l.size(), 126u) << l;
        const std::string tipo = l.substr(0, 2) == "60" ? l.substr(0, 3) : l.substr(0, 2);
        ++tipos[tipo];
        if (tipo == "60M") datas60M.push_back(l.substr(3, 8));
    }
    // The informant as typed, the state of TARVO.INI, the month as the period.
    EXPECT_EQ(linhas.front().substr(0, 2), "10");
    EXPECT_EQ(linhas.front().substr(30, 35), "MERCADO MODELO" + std::string(21, ' '));
    EXPECT_EQ(linhas.front().substr(65, 30), "SANTOS" + std::string(24, ' '));
    EXPECT_EQ(linhas.front().substr(95, 2), "SP");
    EXPECT_EQ(linhas.front().substr(107, 16), "2010030120100331");
    EXPECT_EQ(linhas[1].substr(0, 2), "11");
    // March's two reductions only; the optional types asked for are there.
    EXPECT_EQ(datas60M, std::vector<std::string>({"20100301", "20100302"}));
    for (const char* tipo : {"60A", "60D", "60I", "60R", "75"})
        EXPECT_GT(tipos[tipo], 0) << tipo << "\n" << texto;
    EXPECT_EQ(linhas.back().substr(0, 2), "90");
    EXPECT_EQ(linhas.back().back(), '1');
}

#endif

}  // namespace
