// The RFD form inside the main window against the printer emulator on COM1: the text route by
// date and by Z through the library, the memory-dump route through our stand-ins of the
// outside libraries (and doubles of a reader that never starts), the folder question, the
// explore button, and the window kept live and busy while a run goes on.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <atomic>
#include <cstring>
#include <filesystem>

#include "comum/ambiente.h"
#include "comum/dia_rfd.h"
#include "comum_formularios.h"
#include "console/binding/log_dll.h"
#include "console/forms/rfd/gera_rfd.h"
#include "console/geracao/datas_rfd.h"
#include "console/geracao/execucao.h"
#include "console/geracao/externas.h"
#include "console/main/configuracao_console.h"
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

namespace fs = std::filesystem;
using belmora::TGeraRFD;
using teste::Caixa;
using teste::Redigita;
using teste::Responde;

const QString kInicio = "-> Iniciando geração dos arquivos RFD!";
const QString kFim = "-> Geração dos arquivos RFD finalizada!";
const QString kSucesso = "  <- Operação executada com Sucesso!";
const QString kFalha = "  <- Operação falhou!";

TEST(GeraRFD, CaptionControlsAndDefaults) {
    TGeraRFD f;
    EXPECT_EQ(f.windowTitle(), "Gera Ato Cotepe");
    EXPECT_EQ(f.objectName(), "TGeraRFD");
    EXPECT_EQ(f.findChild<QGroupBox*>("rgIntervalo")->title(), "Intervalo de geração");
    EXPECT_EQ(f.findChild<QGroupBox*>("rgTipo")->title(), "Tipo de  geração");
    EXPECT_EQ(f.findChild<QRadioButton*>("rgIntervalo1")->text(), "por Redução Z");
    EXPECT_EQ(f.findChild<QRadioButton*>("rgTipo1")->text(), "pela Leitura Binária");
    EXPECT_EQ(f.Escolhido("rgIntervalo"), 0);
    EXPECT_EQ(f.Escolhido("rgTipo"), 0);
    // By text: one file per day, and no choice.
    EXPECT_EQ(f.Escolhido("rgArquivo"), 1);
    EXPECT_FALSE(f.findChild<QGroupBox*>("rgArquivo")->isEnabled());
    EXPECT_EQ(f.findChild<QDateEdit*>("dtpInicio")->date(), QDate::currentDate().addMonths(-1));
    EXPECT_EQ(f.findChild<QDateEdit*>("dtpFim")->date(), QDate::currentDate());
    EXPECT_EQ(f.findChild<QLineEdit*>("edtInicio")->maxLength(), 6);
    EXPECT_FALSE(f.findChild<QLabel*>("lblAndamento")->isVisibleTo(&f));

    f.show();
    EXPECT_TRUE(f.findChild<QDateEdit*>("dtpInicio")->isVisible());
    EXPECT_FALSE(f.findChild<QLineEdit*>("edtInicio")->isVisible());
    f.findChild<QRadioButton*>("rgIntervalo1")->setChecked(true);
    EXPECT_FALSE(f.findChild<QDateEdit*>("dtpInicio")->isVisible());
    EXPECT_TRUE(f.findChild<QLineEdit*>("edtInicio")->isVisible());

    f.findChild<QRadioButton*>("rgTipo1")->setChecked(true);
    EXPECT_TRUE(f.findChild<QGroupBox*>("rgArquivo")->isEnabled());
    f.findChild<QRadioButton*>("rgArquivo0")->setChecked(true);
    f.findChild<QRadioButton*>("rgTipo0")->setChecked(true);
    EXPECT_EQ(f.Escolhido("rgArquivo"), 1);
}

#ifdef BELMORA_COM_EMULADOR

// A reader that never reports a start (it accepts the reading and stays at state 0).
std::atomic<int> g_conversoes{0};
int SemInicioLe(const char*, const char*, const char*, int) {
    return 0;
}
int SemInicioStatus(void* registro) {
    auto* r = static_cast<belmora::geracao::RegistroStatusLeitura*>(registro);
    r->situacao = 0;
    std::strcpy(r->mensagem, "Nenhuma leitura");
    return 0;
}
int ContaGera(const char*, const char*, const char*, const char*, char, const char*, const char*) {
    ++g_conversoes;
    return 0;
}

// The RFD form open in the main window, the folders of the console and the library the same.
class GeraRFDNaJanela : public teste::NaJanela {
  protected:
    TGeraRFD* f = nullptr;
    std::string pastaRfd;

    void SetUp() override {
        NaJanela::SetUp();
        if (HasFatalFailure()) return;
        f = qobject_cast<TGeraRFD*>(Abre(Qt::Key_F6, Qt::Key_G));
        ASSERT_TRUE(f);
        // The library read PathRFD as it loaded, before the window set the console's folders:
        // the program folder. The console is pointed at the same folder.
        ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(belmora::ArquivoIniConsole(), "Sistema", "PathRFD",
                                                       plataforma::PastaPrograma()));
        pastaRfd = plataforma::ConvertePasta(belmora::PathRFD());
        ASSERT_EQ(pastaRfd, plataforma::PastaPrograma());
        // Every test of this program shares the folder: the files of an earlier one go.
        for (const std::string& a : ArquivosRfd()) fs::remove(pastaRfd + a);
        log->clear();
    }
    void TearDown() override {
        belmora::geracao::DefineCarregadorExterno(nullptr);
        TGeraRFD::PrazosBinarios() = {};
        NaJanela::TearDown();
    }
    void Escolhe(const char* nome) { f->findChild<QRadioButton*>(nome)->setChecked(true); }
    // Starts the run and waits, with the event loop running, for its finishing line.
    void Roda() {
        f->findChild<QPushButton*>("btIniciar")->click();
        QTRY_VERIFY_WITH_TIMEOUT(Log().contains(kFim), 90000);
    }
    // A day of documents closed by its Z reduction.
    void Dia() {
        impressora.Altera([](emulador::Impressora& i) {
            for (const auto& [comando, parametros] : teste::DocumentosDoDiaRfd())
                ASSERT_EQ(i.Executa(comando, parametros).codigo, 0) << comando;
            ASSERT_EQ(i.Executa("EmiteReducaoZ", "").codigo, 0);
        });
    }
    std::vector<std::string> ArquivosRfd() const {
        std::vector<std::string> r;
        for (const auto& a : fs::directory_iterator(pastaRfd))
            if (a.is_regular_file() && a.path().filename().string().rfind("TV012345.", 0) == 0)
                r.push_back(a.path().filename().string());
        return r;
    }
    int Chamadas(const std::string& funcao) {
        const std::string texto = teste::LeArquivo(teste::kLogDLL);
        int n = 0;
        for (std::size_t i = texto.find(funcao + "("); i != std::string::npos;
             i = texto.find(funcao + "(", i + 1))
            ++n;
        return n;
    }
};

TEST_F(GeraRFDNaJanela, ByDateThroughTheTextRouteWhileTheWindowStaysLiveAndBusy) {
    Dia();
    if (HasFatalFailure()) return;
    f->findChild<QPushButton*>("btIniciar")->click();
    // The run goes on a worker: the form is disabled, the window busy, the label shown.
    EXPECT_FALSE(f->isEnabled());
    EXPECT_TRUE(f->EmAndamento());
    EXPECT_TRUE(janela->Ocupado());
    EXPECT_TRUE(f->findChild<QLabel*>("lblAndamento")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(Log().contains(kFim), 90000);
    EXPECT_EQ(Log(), QStringList({kInicio, kSucesso, kFim}));
    EXPECT_TRUE(f->isEnabled());
    EXPECT_TRUE(f->findChild<QPushButton*>("btIniciar")->isEnabled());
    EXPECT_TRUE(f->findChild<QPushButton*>("btExplorar")->isEnabled());
    EXPECT_FALSE(f->EmAndamento());
    EXPECT_FALSE(janela->Ocupado());
    EXPECT_FALSE(f->findChild<QLabel*>("lblAndamento")->isVisible());
    auto* barra = f->findChild<QProgressBar*>("ProgressBar1");
    EXPECT_EQ(barra->value(), barra->maximum());
    EXPECT_EQ(ArquivosRfd().size(), 1u);  // the day's one reduction
    EXPECT_EQ(Chamadas("RFD_ConvertedaMFDData"), 1);
}

TEST_F(GeraRFDNaJanela, ByZThroughTheTextRouteOneCounterIsOneCallAndAReversedRangeIsRefused) {
    Dia();
    if (HasFatalFailure()) return;
    Escolhe("rgIntervalo1");
    Redigita(f->findChild<QLineEdit*>("edtInicio"), "1");
    Redigita(f->findChild<QLineEdit*>("edtFim"), "1");
    Roda();
    EXPECT_EQ(Log(), QStringList({kInicio, kSucesso, kFim}));
    EXPECT_EQ(Chamadas("RFD_ConvertedaMFD"), 1);
    EXPECT_EQ(ArquivosRfd().size(), 1u);
    auto* barra = f->findChild<QProgressBar*>("ProgressBar1");
    EXPECT_EQ(barra->maximum(), 2);
    EXPECT_EQ(barra->value(), 2);

    log->clear();
    Redigita(f->findChild<QLineEdit*>("edtInicio"), "2");
    Roda();
    EXPECT_EQ(Log(), QStringList({kInicio, "  <- A redução Z inicial é maior que a final.", kFalha, kFim}));
    EXPECT_EQ(Chamadas("RFD_ConvertedaMFD"), 1);
}

TEST_F(GeraRFDNaJanela, OneFileThroughTheStandInsOfTheOutsideLibraries) {
    Dia();
    if (HasFatalFailure()) return;
    Escolhe("rgTipo1");
    Escolhe("rgArquivo0");
    Roda();
    const QStringList l = Log();
    EXPECT_EQ(l.first(), kInicio);
    EXPECT_TRUE(l.contains("  -> Aguardando início da leitura das Memórias")) << l.join(" | ").toStdString();
    EXPECT_TRUE(l.contains("  <- Leitura das memórias realizada com sucesso!"))
        << l.join(" | ").toStdString();
    EXPECT_EQ(l.mid(l.size() - 4),
              QStringList({"  -> Gerando arquivo RFD: TV012345.txt", "  -> Arquivo RFD gerado com sucesso!",
                           "  -> Geração do arquivo RFD terminada.", kFim}));
    EXPECT_TRUE(fs::exists(pastaRfd + "TV010500000000012345.TDM"));
    const std::string rfd = teste::LeArquivo(pastaRfd + "TV012345.txt");
    EXPECT_NE(rfd.find("E12"), std::string::npos);
    EXPECT_TRUE(f->isEnabled());
    EXPECT_FALSE(janela->Ocupado());
}

TEST_F(GeraRFDNaJanela, ByZThroughTheStandInsTheCountersBecomeTheirReductionsDays) {
    Dia();
    if (HasFatalFailure()) return;
    Escolhe("rgIntervalo1");
    Escolhe("rgTipo1");
    Escolhe("rgArquivo1");
    Redigita(f->findChild<QLineEdit*>("edtInicio"), "1");
    Redigita(f->findChild<QLineEdit*>("edtFim"), "1");
    Roda();
    const QDate hoje = QDate::currentDate();
    const std::string nome =
        "TV012345" + belmora::geracao::SufixoDoDia({hoje.year(), hoje.month(), hoje.day()});
    EXPECT_EQ(ArquivosRfd(), std::vector<std::string>{nome});
    const QStringList l = Log();
    EXPECT_EQ(l.mid(l.size() - 4),
              QStringList({QString::fromStdString("  -> Gerando arquivo RFD: " + nome),
                           QString::fromStdString("  -> Arquivo " + nome + " - gerado com sucesso."),
                           "  -> Geração do arquivo RFD terminada.", kFim}));
    EXPECT_EQ(Chamadas("Tarvo_DataReducao"), 2);
}

TEST_F(GeraRFDNaJanela, AOneFilePerDayRunMovesTheBarWithEachDayAndEndsAtItsMaximum) {
    Dia();
    if (HasFatalFailure()) return;
    constexpr int kDias = 5;
    Escolhe("rgTipo1");
    Escolhe("rgArquivo1");
    f->findChild<QDateEdit*>("dtpInicio")->setDate(QDate::currentDate().addDays(1 - kDias));
    f->findChild<QDateEdit*>("dtpFim")->setDate(QDate::currentDate());
    auto* barra = f->findChild<QProgressBar*>("ProgressBar1");
    // The positions of the conversion phase, once its range is the count of days.
    std::vector<int> posicoes;
    QObject::connect(barra, &QProgressBar::valueChanged, f, [&](int v) {
        if (barra->maximum() == kDias && v > 0) posicoes.push_back(v);
    });
    Roda();
    EXPECT_EQ(ArquivosRfd().size(), static_cast<std::size_t>(kDias));
    EXPECT_EQ(barra->maximum(), kDias);
    EXPECT_EQ(barra->value(), kDias);
    EXPECT_EQ(posicoes, (std::vector<int>{1, 2, 3, 4, 5}));  // one step per day written
}

TEST_F(GeraRFDNaJanela, AReaderThatNeverStartsAndAMissingLibraryEndWithTheFailureLine) {
    g_conversoes = 0;
    belmora::geracao::DefineCarregadorExterno([](belmora::geracao::EntradasExternas& e, std::string&) {
        e = {SemInicioLe, SemInicioStatus, nullptr, ContaGera};
        return true;
    });
    TGeraRFD::PrazosBinarios().inicioMs = 2500;
    Escolhe("rgTipo1");
    f->findChild<QPushButton*>("btIniciar")->click();
    // The label moves every half second while the window waits.
    QSet<QString> vistos;
    auto* andamento = f->findChild<QLabel*>("lblAndamento");
    while (f->EmAndamento()) {
        vistos << andamento->text();
        QTest::qWait(20);
    }
    EXPECT_TRUE(vistos.contains("Em Andamento.")) << QStringList(vistos.values()).join(" | ").toStdString();
    EXPECT_TRUE(vistos.contains("Em Andamento..")) << QStringList(vistos.values()).join(" | ").toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(Log().contains(kFim), 5000);
    EXPECT_EQ(Log(), QStringList({kInicio, "  -> Aguardando início da leitura das Memórias",
                                  "  <- A leitura das memórias não foi iniciada.", kFalha, kFim}));
    EXPECT_EQ(g_conversoes, 0);

    belmora::geracao::DefineCarregadorExterno([](belmora::geracao::EntradasExternas& e, std::string& erro) {
        return belmora::geracao::CarregaEntradasExternas(e, erro, "Ausente.dll");
    });
    log->clear();
    Roda();
    ASSERT_EQ(Log().size(), 4);
    EXPECT_TRUE(Log()[1].startsWith("  <- Biblioteca Ausente.dll não encontrada")) << Log()[1].toStdString();
    EXPECT_EQ(Log()[2], kFalha);

    // The rest of the console goes on: the text route still runs.
    Escolhe("rgTipo0");
    log->clear();
    Roda();
    EXPECT_EQ(Log().first(), kInicio);
    EXPECT_EQ(Log().last(), kFim);
}

TEST_F(GeraRFDNaJanela, ClosingTheWindowDuringARunStopsAndJoinsItsThread) {
    belmora::geracao::DefineCarregadorExterno([](belmora::geracao::EntradasExternas& e, std::string&) {
        e = {SemInicioLe, SemInicioStatus, nullptr, ContaGera};
        return true;
    });
    TGeraRFD::PrazosBinarios().inicioMs = 3600 * 1000;  // a wait no test outlasts: only the stop ends it
    Escolhe("rgTipo1");
    f->findChild<QPushButton*>("btIniciar")->click();
    ASSERT_TRUE(f->EmAndamento());
    QTest::qWait(300);
    janela.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(GeraRFDNaJanela, DecliningTheMissingFolderEndsTheRunAndExploreOpensTheFolder) {
    const std::string ini = belmora::ArquivoIniConsole();
    const std::string antes = plataforma::ArquivoIni::LeChave(ini, "Sistema", "PathRFD", "");
    const std::string falta = plataforma::PastaPrograma() + "nao/existe/";
    ASSERT_TRUE(plataforma::ArquivoIni::GravaChave(ini, "Sistema", "PathRFD", falta));
    Caixa pergunta;
    Responde("Não", &pergunta);
    Roda();
    EXPECT_EQ(pergunta.texto, "Pasta de destino para o arquivo não existe. Deseja criá-la ?");
    EXPECT_EQ(pergunta.titulo, "Belmora");
    EXPECT_EQ(Log(), QStringList({kFim}));
    EXPECT_FALSE(fs::exists(falta));
    EXPECT_TRUE(f->isEnabled());
    EXPECT_FALSE(janela->Ocupado());

    // Yes creates it, with its parents.
    log->clear();
    Escolhe("rgIntervalo1");
    Redigita(f->findChild<QLineEdit*>("edtInicio"), "3");
    Redigita(f->findChild<QLineEdit*>("edtFim"), "2");
    Responde("Sim", &pergunta);
    Roda();
    EXPECT_TRUE(fs::is_directory(falta));

    // Explore opens PathRFD; a failure says so.
    QString aberta;
    auto antigo = TGeraRFD::AbridorDePasta();
    TGeraRFD::AbridorDePasta() = [&](const QString& p) {
        aberta = p;
        return false;
    };
    Caixa erro;
    Responde("OK", &erro);
    f->findChild<QPushButton*>("btExplorar")->click();
    TGeraRFD::AbridorDePasta() = antigo;
    EXPECT_EQ(aberta.toStdString(), falta);
    EXPECT_EQ(erro.texto, "Erro ao abrir pasta!");
    plataforma::ArquivoIni::GravaChave(ini, "Sistema", "PathRFD", antes);
}

#endif

}  // namespace
