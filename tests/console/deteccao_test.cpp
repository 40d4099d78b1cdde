// Finding the printer at start-up and showing its status, against the printer emulator on a
// pseudo-terminal: the configured port, another listed port, no printer, a USB adapter, and
// a refresh after the printer's state changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "comum_formularios.h"
#include "console/main/configuracao_console.h"
#include "console/main/direto.h"
#include "console/main/principal.h"
#include "platform/ini.h"
#include "platform/serial.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

const QString kOk = QStringLiteral("<- Operação executada com Sucesso!");
const QString kFalhou = QStringLiteral("<- Operação falhou!");
const char* const kSonda = "{0;LeIndicador;NomeIndicador=\"IntervencaoTecnica\";}";

std::string Porta() {
    return plataforma::ArquivoIni::LeChave(belmora::ArquivoIniConsole(), "Sistema", "Porta", "");
}

class Deteccao : public ::testing::Test {
  protected:
    emulador::Emulador impressora;
    std::unique_ptr<belmora::TfrmVintaro> janela;
    QListWidget* log = nullptr;

    void SetUp() override {
        plataforma::ArquivoIni::GravaChave(belmora::ArquivoIniConsole(), "Sistema", "Porta", "COM1");
        // The probe waits one second for a reply.
        plataforma::ArquivoIni::GravaChave(belmora::ArquivoIniConsole(), "Sistema", "TimeOutComandos", "1");
    }
    void Abre() {
        janela = std::make_unique<belmora::TfrmVintaro>(false);
        janela->show();
        log = janela->findChild<QListWidget*>("RetornoUsuario");
        log->clear();
    }
    void TearDown() override {
        janela.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        plataforma::InstalaListaPortasSeriais(nullptr);
    }
    QLabel* Rotulo(const char* nome) { return janela->findChild<QLabel*>(nome); }
    QColor Cor(const char* nome) {
        return Rotulo(nome)->palette().color(QPalette::Active, QPalette::WindowText);
    }
};

TEST_F(Deteccao, ThePrinterOnTheConfiguredPortShowsItsStatus) {
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
    const std::int64_t mb = 1024 * 1024;
    impressora.Altera([&](emulador::Impressora& p) {
        p.mfdTotal = 32 * mb;
        p.mfdOcupadaExtra = 24 * mb - (p.MfdOcupada() - p.mfdOcupadaExtra);
    });
    Abre();
    janela->AtualizaStatusImpressora();
    EXPECT_EQ(teste::Itens(log),
              QStringList({"-> Procurando ECF na porta COM1", kOk, "-> Atualizando Status",
                           "  -> Verificando Papel", "  " + kOk, "  -> Lendo Indicadores do ECF", "  " + kOk,
                           "  -> Lendo informações de espaço da MFD", "  " + kOk, kOk}));
    EXPECT_EQ(janela->findChild<QLabel*>("StatusImpressora")->text(), "ACK: 6 ST1: 0 ST2: 0");
    EXPECT_EQ(Rotulo("strStatusMFD")->text(), "Status MFD: Total: 32 MB / Ocupado: 24 MB");
    EXPECT_EQ(janela->findChild<QProgressBar*>("StatusMFD")->maximum(), 32);
    EXPECT_EQ(janela->findChild<QProgressBar*>("StatusMFD")->value(), 24);
    EXPECT_EQ(Rotulo("SensorPapel")->text(), "Com Papel");
    EXPECT_TRUE(Rotulo("SensorPapel")->isEnabled());
    EXPECT_TRUE(Rotulo("ConexaoImpressora")->isEnabled());
    EXPECT_EQ(Porta(), "COM1");
    // A port that is no USB adapter is taken on CTS alone: the probe text never went out.
    EXPECT_EQ(impressora.Recebidos().find(kSonda), std::string::npos);
}

// Paint events of the splash's progress text: each text it showed, in order.
class TextosPintados : public QObject {
  public:
    QStringList textos;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            const QString t = static_cast<QLabel*>(o)->text();
            if (textos.isEmpty() || textos.last() != t) textos << t;
        }
        return false;
    }
};

TEST_F(Deteccao, WithNothingOnTheConfiguredPortAnotherListedPortIsFound) {
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM3")) << impressora.Erro();
    // Start-up as the operator sees it: the splash runs the detection.
    janela = std::make_unique<belmora::TfrmVintaro>(true);
    log = janela->findChild<QListWidget*>("RetornoUsuario");
    TextosPintados pintados;
    int maximo = -1, posicao = -1;
    bool visto = false;
    QTimer espia;
    espia.setInterval(5);
    QObject::connect(&espia, &QTimer::timeout, [&] {
        if (visto) return;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "formSplash" && w->isVisible()) {
                visto = true;
                w->findChild<QLabel*>("Label2")->installEventFilter(&pintados);
                auto* barra = w->findChild<QProgressBar*>("ProgressBar1");
                QObject::connect(barra, &QProgressBar::valueChanged, [&, barra](int v) {
                    maximo = barra->maximum();
                    posicao = v;
                });
            }
    });
    espia.start();
    janela->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "formSplash" && w->isVisible()) return false;
            return visto && log->count() > 0;
        },
        60000));
    const QStringList l = teste::Itens(log);
    ASSERT_GE(l.size(), 6);
    EXPECT_EQ(
        l.mid(0, 5),
        QStringList({"-> Procurando ECF na porta COM1",
                     "  <- Erro Nº: -6 - Impressora desligada ou cabo de comunicação desconectado", kFalhou,
                     "<- ECF não encontrada na porta COM1", "-> Procurando ECF na porta COM3"}));
    EXPECT_EQ(l.last(), kOk);
    EXPECT_EQ(Porta(), "COM3");
    EXPECT_EQ(janela->PortaCorrente(), "COM3");
    EXPECT_TRUE(janela->findChild<QLabel*>("StatusImpressora")->text().startsWith("ACK: 6"));
    // One listed port: a bar of two steps, filled at the end.
    EXPECT_EQ(maximo, 2);
    EXPECT_EQ(posicao, 2);
    EXPECT_TRUE(pintados.textos.contains("Procurando ECF na porta COM1..."))
        << pintados.textos.join("|").toStdString();
    EXPECT_TRUE(pintados.textos.contains("Procurando ECF na porta COM3..."));
    EXPECT_TRUE(pintados.textos.contains("Verificando Status do ECF na porta COM3..."));
    EXPECT_EQ(pintados.textos.last(), "Concluído !");
}

TEST_F(Deteccao, WithoutAPrinterTheConfiguredPortStays) {
    Abre();
    janela->AtualizaStatusImpressora();
    const QStringList l = teste::Itens(log);
    ASSERT_GE(l.size(), 2);
    EXPECT_EQ(l.mid(l.size() - 2), QStringList({kFalhou, "<- ECF não encontrada na porta COM1"}));
    EXPECT_EQ(Porta(), "COM1");
}

TEST_F(Deteccao, APortThatAnswersTheProbeButNotTheStatusIsNotKept) {
    // COM2 takes the line but its printer refuses every status reading: the port is written
    // for the driver while it reads, and the configured one comes back after the failure.
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM2")) << impressora.Erro();
    for (const char* c : {"LeIndicador", "LeInteiro", "LeMoeda", "LeTexto"}) impressora.ErroEm(c, 8000);
    Abre();
    janela->AtualizaStatusImpressora();
    const QStringList l = teste::Itens(log);
    EXPECT_TRUE(l.contains("-> Procurando ECF na porta COM2"));
    EXPECT_EQ(l.last(), kFalhou);
    EXPECT_EQ(Porta(), "COM1");
    EXPECT_FALSE(impressora.Comandos().empty());
}

TEST_F(Deteccao, APrinterBehindAUsbAdapterMustAnswerTheProbe) {
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
    plataforma::InstalaListaPortasSeriais([] {
        return std::vector<plataforma::PortaListada>{{"COM1", "Conversor USB Serial", "VID_0403&PID_6001"}};
    });
    Abre();
    janela->AtualizaStatusImpressora();
    QStringList l = teste::Itens(log);
    ASSERT_GE(l.size(), 3);
    EXPECT_EQ(
        l[1],
        "-> Verficando disponibilidade de acesso ao dispositivo USB Serial: Conversor USB Serial (COM1)");
    EXPECT_EQ(l[2], kOk);
    EXPECT_EQ(l.last(), kOk);
    // The probe went out byte for byte, before anything of the driver.
    EXPECT_EQ(impressora.Recebidos().substr(0, std::string(kSonda).size()), kSonda);

    // Silent now: after the one-second wait the port counts as without a printer.
    impressora.Silencia();
    log->clear();
    janela->AtualizaStatusImpressora();
    l = teste::Itens(log);
    ASSERT_GE(l.size(), 5);
    EXPECT_EQ(
        l.mid(0, 5),
        QStringList(
            {"-> Procurando ECF na porta COM1",
             "-> Verficando disponibilidade de acesso ao dispositivo USB Serial: Conversor USB Serial (COM1)",
             "  <- Erro Nº: -6 - Impressora desligada ou cabo de comunicação desconectado", kFalhou,
             "<- ECF não encontrada na porta COM1"}));
}

TEST_F(Deteccao, TheDirectProbeReadsAReplyThatArrivesInTwoPiecesOnTheRealPort) {
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
    impressora.Fatia(2, 100);
    belmora::TDirectComm c;
    c.DefinePorta("COM1");
    ASSERT_TRUE(c.Abre());
    EXPECT_TRUE(c.Conectado());
    std::string r;
    ASSERT_TRUE(c.EnviaRecebe(kSonda, r));
    EXPECT_EQ(impressora.Quadros().back(), kSonda);
    EXPECT_EQ(r, impressora.Enviados());
    EXPECT_EQ(r.back(), '}');
    c.Fecha();
    EXPECT_FALSE(c.Aberto());
}

TEST_F(Deteccao, ARefreshAfterThePrinterChangedClearsTheOldLabels) {
    ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
    impressora.Altera([](emulador::Impressora& p) {
        p.poucoPapel = true;
        p.intervencaoTecnica = true;
    });
    Abre();
    janela->AtualizaStatusImpressora();
    EXPECT_EQ(Rotulo("SensorPapel")->text(), "Pouco Papel");
    EXPECT_EQ(Cor("SensorPapel"), QColor("red"));
    EXPECT_TRUE(Rotulo("StatusIntervencao")->isEnabled());

    impressora.Altera([](emulador::Impressora& p) {
        p.poucoPapel = false;
        p.intervencaoTecnica = false;
        p.semPapel = true;
    });
    janela->AtualizaStatusImpressora();
    EXPECT_EQ(Rotulo("SensorPapel")->text(), "Sem Papel");
    EXPECT_FALSE(Rotulo("StatusIntervencao")->isEnabled());
    EXPECT_EQ(Cor("StatusIntervencao"), QColor("black"));

    impressora.Altera([](emulador::Impressora& p) { p.semPapel = false; });
    janela->AtualizaStatusImpressora();
    EXPECT_EQ(Rotulo("SensorPapel")->text(), "Com Papel");
    EXPECT_EQ(Cor("SensorPapel"), QColor("black"));

    // The printer gone: every label back to how it was first drawn.
    impressora.Para();
    janela->AtualizaStatusImpressora();
    EXPECT_EQ(Rotulo("SensorPapel")->text(), "Sem papel");
    EXPECT_FALSE(Rotulo("SensorPapel")->isEnabled());
    EXPECT_FALSE(Rotulo("ConexaoImpressora")->isEnabled());
}

}  // namespace
#endif
