// Finding the printer and showing its status: at start-up (the splash's timer) and when the
// operator clicks the printer-information box. The configured port is tested first with a
// direct probe; when no printer answers there, every serial port of the machine is tried.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <cstdlib>

#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/main/principal.h"
#include "console/main/splash.h"
#include "platform/ini.h"
#include "platform/serial.h"

namespace belmora {

namespace {

QString U(const std::string& t) {
    return QString::fromStdString(t);
}

// The raw reading that a printer behind a USB serial adapter must answer.
const char* const kSondaUsb = "{0;LeIndicador;NomeIndicador=\"IntervencaoTecnica\";}";

// Direct access to a port for the printer test, without the driver.
class SondaDireta {
  public:
    bool Abre(const std::string& porta) {
        if (!porta_.Abre(porta)) return false;
        plataforma::ConfiguracaoLinha linha;
        linha.baud = std::atoi(
            plataforma::ArquivoIni::LeChave(ArquivoIniConsole(), "Sistema", "BAUD", "115200").c_str());
        if (linha.baud <= 0) linha.baud = 115200;
        porta_.Configura(linha);
        return true;
    }
    void DefineTimeout(int segundos) { prazoMs_ = segundos * 1000; }
    bool Conectado() const { return porta_.Cts(); }
    bool EnviaRecebe(const std::string& texto) {
        porta_.Descarta();
        if (porta_.Escreve(texto.data(), texto.size()) != texto.size()) return false;
        return !porta_.Le(4096, prazoMs_).empty();
    }
    void Fecha() { porta_.Fecha(); }

  private:
    plataforma::PortaSerial porta_;
    int prazoMs_ = 6000;
};

// Friendly name of a port that is a USB serial adapter ("" for any other port, which the
// listing names by its port name).
std::string AdaptadorUsb(const std::string& porta) {
    for (const plataforma::PortaListada& p : plataforma::ListaPortasSeriais())
        if (p.nome == porta && p.descricao != p.nome) return p.descricao;
    return "";
}

long long Numero(const std::string& t) {
    return std::atoll(t.c_str());
}

// The colour of an indicator while it is lit; an unlit (disabled) one stays grey.
void Cor(QLabel* l, const char* cor) {
    QPalette p = l->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, QColor(QLatin1String(cor)));
    p.setColor(QPalette::Inactive, QPalette::WindowText, QColor(QLatin1String(cor)));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(164, 170, 180));
    l->setPalette(p);
}

}  // namespace

void TfrmVintaro::TextoSplash(const QString& texto) {
    if (!splash_ || !splash_->isVisible()) return;
    splash_->Label2()->setText(texto);
    splash_->repaint();
}

void TfrmVintaro::AtualizaStatusImpressora() {
    Operacao operacao(this);
    for (QLabel* l : {statusCupom_, conexaoImpressora_, statusIntervencao_, statusRedZ_})
        l->setEnabled(false);
    for (QLabel* l : {statusCupom_, conexaoImpressora_, statusIntervencao_, statusRedZ_, sensorPapel_})
        Cor(l, "black");
    portaAtual_ = U(PortaAtual());
    if (!TestaPorta(portaAtual_)) ProcuraImpressora();
}

bool TfrmVintaro::TestaPorta(const QString& porta) {
    const std::string nome = porta.toStdString();
    TextoSplash(QStringLiteral("Procurando ECF na porta ") + porta + QStringLiteral("..."));
    AdicionaRetorno(QStringLiteral("-> Procurando ECF na porta ") + porta);
    SondaDireta sonda;
    bool presente = false;
    if (sonda.Abre(nome)) {
        int segundos = std::atoi(configuracao_.TimeOutComandos.c_str());
        sonda.DefineTimeout(segundos > 0 ? segundos : 6);
        if (sonda.Conectado()) {
            std::string usb = AdaptadorUsb(nome);
            if (!usb.empty()) {
                AdicionaRetorno(
                    QStringLiteral("-> Verficando disponibilidade de acesso ao dispositivo USB Serial: ") +
                    U(usb));
                presente = sonda.EnviaRecebe(kSondaUsb);
            } else {
                presente = true;
            }
        }
    }
    bool resultado = false;
    if (presente) {
        AdicionaRetorno(QStringLiteral("<- ") + QString::fromUtf8(kSucesso));
        conexaoImpressora_->setEnabled(true);
    } else {
        TrataRetorno(-6);
    }
    sonda.Fecha();
    if (presente) {
        TextoSplash(QStringLiteral("Verificando Status do ECF na porta ") + porta + QStringLiteral("..."));
        resultado = AtualizaStatus(porta);
    }
    if (resultado) {
        AdicionaRetorno(QStringLiteral("<- ") + QString::fromUtf8(kSucesso));
        portaAtual_ = porta;
    } else {
        AdicionaRetorno(QStringLiteral("<- ") + QString::fromUtf8(kFalhou));
    }
    if (!presente) AdicionaRetorno(QStringLiteral("<- ECF não encontrada na porta ") + porta);
    return resultado;
}

bool TfrmVintaro::ProcuraImpressora() {
    std::vector<std::string> portas;
    for (const plataforma::PortaListada& p : plataforma::ListaPortasSeriais()) portas.push_back(p.nome);
    bool splash = splash_ && splash_->isVisible();
    QProgressBar* barra = splash ? splash_->ProgressBar1() : nullptr;
    if (barra) {
        barra->show();
        barra->setRange(1, static_cast<int>(portas.size()) + 1);
        barra->setValue(1);
    }
    bool achou = false;
    for (const std::string& p : portas) {
        if (U(p) == portaAtual_) {
            if (barra) barra->setValue(barra->value() + 1);
            continue;
        }
        TextoSplash(QStringLiteral("Procurando ECF na porta ") + U(p) + QStringLiteral("..."));
        if (barra) barra->setValue(barra->value() + 1);
        if (TestaPorta(U(p))) {
            achou = true;
            break;
        }
    }
    if (barra) {
        TextoSplash(QStringLiteral("Concluído !"));
        barra->setValue(barra->maximum());
        splash_->repaint();
    }
    return achou;
}

bool TfrmVintaro::AtualizaStatus(const QString& porta) {
    GravaPorta(porta.toStdString());
    dll::Tarvo_AbrePortaSerial();
    AdicionaRetorno(QStringLiteral("-> Atualizando Status"));
    int ack = 0, st1 = 0, st2 = 0;
    if (dll::Tarvo_VerificaEstadoImpressora(ack, st1, st2) == 1)
        statusImpressora_->setText(QStringLiteral("ACK: %1 ST1: %2 ST2: %3").arg(ack).arg(st1).arg(st2));
    return VerificaPoucoPapel() && LeituraIndicadores() && StatusDaMFD();
}

bool TfrmVintaro::VerificaPoucoPapel() {
    AdicionaRetorno(QStringLiteral("  -> Verificando Papel"));
    int ack = 0, st1 = 0, st2 = 0;
    if (dll::Tarvo_VerificaEstadoImpressora(ack, st1, st2) != 1) {
        AdicionaRetorno(QStringLiteral("  <- ") + QString::fromUtf8(kFalhou));
        return false;
    }
    sensorPapel_->setText(QStringLiteral("Com Papel"));
    sensorPapel_->setEnabled(true);
    Cor(sensorPapel_, "black");
    if (st1 >= 64) {
        sensorPapel_->setText(QStringLiteral("Pouco Papel"));
        Cor(sensorPapel_, "red");
    }
    AdicionaRetorno(QStringLiteral("  <- ") + QString::fromUtf8(kSucesso));
    return true;
}

bool TfrmVintaro::LeituraIndicadores() {
    AdicionaRetorno(QStringLiteral("  -> Lendo Indicadores do ECF"));
    int indicadores = 0;
    if (dll::Tarvo_LeIndicadores(indicadores) != 1) {
        AdicionaRetorno(QStringLiteral("  <- ") + QString::fromUtf8(kFalhou));
        return false;
    }
    auto acende = [](QLabel* l) {
        l->setEnabled(true);
        Cor(l, "red");
    };
    if (indicadores & 1) acende(statusIntervencao_);
    if (indicadores & 128) acende(statusRedZ_);
    if (indicadores & 256) {
        sensorPapel_->setText(QStringLiteral("Sem Papel"));
        acende(sensorPapel_);
    }
    if (indicadores & 1024) acende(statusCupom_);
    AdicionaRetorno(QStringLiteral("  <- ") + QString::fromUtf8(kSucesso));
    return true;
}

bool TfrmVintaro::StatusDaMFD() {
    AdicionaRetorno(QStringLiteral("  -> Lendo informações de espaço da MFD"));
    std::string total(10, ' '), livre(10, ' ');
    int r1 = dll::Tarvo_TamanhoTotalMFD(total);
    int r2 = dll::Tarvo_TotalLivreMFD(livre);
    if (r1 != 1 || r2 != 1) {
        AdicionaRetorno(QStringLiteral("  <- ") + QString::fromUtf8(kFalhou));
        return false;
    }
    long long totalMb = Numero(total) / 1024 / 1024;
    long long livreMb = Numero(livre) / 1024 / 1024;
    statusMFD_->setMaximum(static_cast<int>(totalMb));
    statusMFD_->setValue(static_cast<int>(totalMb - livreMb));
    strStatusMFD_->setText(
        QStringLiteral("Status MFD: Total: %1 MB / Ocupado: %2 MB").arg(totalMb).arg(totalMb - livreMb));
    AdicionaRetorno(QStringLiteral("  <- ") + QString::fromUtf8(kSucesso));
    return true;
}

}  // namespace belmora
