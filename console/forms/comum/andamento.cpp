#include "console/forms/comum/andamento.h"

#include <QLabel>

#include "console/binding/auxiliar.h"
#include "console/main/dialogos.h"
#include "console/main/espera.h"
#include "platform/pastas.h"

namespace belmora {

namespace {

const QString kTitulo = QStringLiteral("Belmora");
const QString kAndamento = QStringLiteral("Em Andamento");
constexpr int kPassoMs = 500;  // half a second per dot
constexpr int kPassos = 4;     // no dot, then one, two and three

}  // namespace

bool ConfirmaPastaDestino(QWidget* dono, const std::string& pasta) {
    const std::string destino = plataforma::ConvertePasta(pasta);
    if (plataforma::ExistePasta(destino)) return true;
    if (!Pergunta(dono, kTitulo,
                  QStringLiteral("Pasta de destino para o arquivo não existe. Deseja criá-la ?")))
        return false;
    if (plataforma::CriaPasta(destino)) return true;
    Informa(dono, kTitulo, QString::fromUtf8(kFalhou));
    return false;
}

TAndamento::TAndamento(QLabel* rotulo) : QObject(rotulo), rotulo_(rotulo) {
    timer_.setInterval(kPassoMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Passo(); });
    rotulo_->setText(kAndamento);
    rotulo_->hide();
}

void TAndamento::Inicia() {
    passo_ = 0;
    rotulo_->setText(kAndamento);
    rotulo_->show();
    rotulo_->repaint();
    timer_.start();
}

void TAndamento::Para() {
    timer_.stop();
    rotulo_->hide();
}

void TAndamento::Passo() {
    passo_ = (passo_ + 1) % kPassos;
    rotulo_->setText(kAndamento + QString(passo_, QLatin1Char('.')));
    rotulo_->repaint();
}

int ExecutaEmSegundoPlano(const std::function<int()>& chamada) {
    int resultado = 0;
    EsperaSemTravar([&] { resultado = chamada(); });
    return resultado;
}

}  // namespace belmora
