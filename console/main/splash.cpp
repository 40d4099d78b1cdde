#include "console/main/splash.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "console/main/desenhos.h"
#include "console/main/principal.h"

namespace belmora {

TformSplash::TformSplash(TfrmVintaro* principal) : QDialog(principal), principal_(principal) {
    setObjectName(QStringLiteral("formSplash"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(506, 301);
    setStyleSheet(QStringLiteral("#formSplash { border: 1px solid #1c3868; background: #eceff4; }"));

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(1, 1, 1, 12);
    auto* topo = new QWidget(this);
    topo->setFixedHeight(60);
    auto* lt = new QHBoxLayout(topo);
    lt->setContentsMargins(0, 0, 0, 0);
    lt->setSpacing(0);
    auto* logo = new QLabel(topo);
    logo->setPixmap(Logotipo());
    logo->setContentsMargins(8, 4, 8, 4);
    auto* versao = new QLabel(QStringLiteral("BETA 04.13"), topo);
    versao->setContentsMargins(4, 0, 12, 0);
    lt->addWidget(logo);
    lt->addWidget(versao);
    lt->addWidget(CriaFundoTopo(topo), 1);
    l->addWidget(topo);
    l->addStretch();

    auto* label1 = new QLabel(QStringLiteral("Inicializando Belmora..."), this);
    label1->setObjectName(QStringLiteral("Label1"));
    QFont f = label1->font();
    f.setPointSize(f.pointSize() + 5);
    f.setBold(true);
    label1->setFont(f);
    label1->setAlignment(Qt::AlignCenter);
    l->addWidget(label1);
    label2_ = new QLabel(QStringLiteral("Verificando Portas de Comunicação..."), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setAlignment(Qt::AlignCenter);
    l->addWidget(label2_);
    l->addStretch();
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->hide();
    auto* barra = new QHBoxLayout();
    barra->setContentsMargins(24, 0, 24, 0);
    barra->addWidget(progressBar1_);
    l->addLayout(barra);

    timer1_ = new QTimer(this);
    timer1_->setInterval(100);
    connect(timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });

    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TformSplash::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    timer1_->start();
}

void TformSplash::Timer1Timer() {
    timer1_->stop();
    // One second for the window to settle before the port test.
    QTimer::singleShot(1000, this, [this] {
        principal_->AtualizaStatusImpressora();
        accept();
    });
}

}  // namespace belmora
