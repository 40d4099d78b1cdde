// Finding the printer and showing its status: at start-up (the splash's timer) and when the
// operator clicks the printer-information box. The configured port is tested first with a
// direct probe; when no printer answers there, every serial port of the machine is tried.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <cstdlib>
#include <functional>

#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/main/direto.h"
#include "console/main/espera.h"
#include "console/main/principal.h"
#include "console/main/splash.h"
#include "platform/serial.h"

namespace belmora {

namespace {

QString U(const std::string& t) {
    return QString::fromStdString(t);
}

// The raw reading that a printer behind a USB serial adapter must answer.
const char* const kSondaUsb = "{0;LeIndicador;NomeIndicador=\"IntervencaoTecnica\";}";

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
    // Every refresh starts from the labels as they were first drawn, so nothing of an
    // earlier printer state is left lit.
    const std::pair<QLabel*, const char*> rotulos[] = {{conexaoImpressora_, "Impressora conectada"},
                                                       {sensorPapel_, "Sem papel"},
                                                       {statusCupom_, "Cupom Aberto"},
                                                       {statusRedZ_, "Z Pendente"},
                                                       {statusIntervencao_, "Intervenção"}};
    for (const auto& [l, texto] : rotulos) {
        l->setText(QString::fromUtf8(texto));
        l->setEnabled(false);
        Cor(l, "black");
    }
    portaAtual_ = U(PortaAtual());
    TDirectComm sonda;
    sonda.ListaPortasUSB();
    if (!TestaPorta(sonda, portaAtual_)) ProcuraImpressora(sonda);
}

bool TfrmVintaro::TestaPorta(TDirectComm& sonda, const QString& porta) {
    const std::string nome = porta.toStdString();
    TextoSplash(QStringLiteral("Procurando ECF na porta ") + porta + QStringLiteral("..."));
    AdicionaRetorno(QStringLiteral("-> Procurando ECF na porta ") + porta);
    sonda.DefinePorta(nome);
    bool presente = false;
    // Each step of the probe may wait for a silent port: the window keeps painting meanwhile.
    auto semTravar = [](const std::function<bool()>& passo) {
        bool r = false;
        EsperaSemTravar([&] { r = passo(); });
        return r;
    };
    if (!semTravar([&] { return sonda.Abre(); })) {
        // Told apart from a printer that is off: the operator's account lacks access.
        if (sonda.SemPermissao())
            AdicionaRetorno(QStringLiteral("  <- Sem permissão de acesso ao dispositivo ") +
                            U(plataforma::DispositivoDaPorta(nome)) +
                            QStringLiteral(" (o usuário precisa de leitura e gravação nele)"));
    } else {
        // A time-out that is no number is taken as the default 6 seconds.
        int segundos = std::atoi(configuracao_.TimeOutComandos.c_str());
        sonda.DefineTimeout(segundos > 0 ? segundos : 6);
        if (semTravar([&] { return sonda.Conectado(); })) {
            std::string usb;
            if (sonda.ProcuraDispositivoUSB(nome, usb)) {
                AdicionaRetorno(
                    QStringLiteral("-> Verficando disponibilidade de acesso ao dispositivo USB Serial: ") +
                    U(usb));
                std::string resposta;
                presente = semTravar([&] { return sonda.EnviaRecebe(kSondaUsb, resposta); });
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

bool TfrmVintaro::ProcuraImpressora(TDirectComm& sonda) {
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
        if (TestaPorta(sonda, U(p))) {
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
    // The driver reads [Sistema] Porta while it talks to the printer, so the new port is
    // written first; it stays only when the printer answered there, else the old one returns.
    const std::string anterior = PortaAtual();
    GravaPorta(porta.toStdString());
    dll::Tarvo_AbrePortaSerial();
    AdicionaRetorno(QStringLiteral("-> Atualizando Status"));
    int ack = 0, st1 = 0, st2 = 0;
    if (dll::Tarvo_VerificaEstadoImpressora(ack, st1, st2) == 1)
        statusImpressora_->setText(QStringLiteral("ACK: %1 ST1: %2 ST2: %3").arg(ack).arg(st1).arg(st2));
    const bool ok = VerificaPoucoPapel() && LeituraIndicadores() && StatusDaMFD();
    if (!ok && anterior != porta.toStdString()) {
        GravaPorta(anterior);
        dll::Tarvo_AbrePortaSerial();
    }
    return ok;
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
    // ST1 bit 6 is little paper, bit 7 the end of the paper.
    if (st1 & 128) {
        sensorPapel_->setText(QStringLiteral("Sem Papel"));
        Cor(sensorPapel_, "red");
    } else if (st1 & 64) {
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
