#include "console/main/desenhos.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "console/main/configuracao_console.h"
#include "picshow.h"
#include "platform/pastas.h"

namespace belmora {

QPixmap Logotipo() {
    QPixmap p(172, 52);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    // A receipt coming out of a printer slot.
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(28, 56, 104));
    g.drawRoundedRect(QRectF(4, 22, 40, 24), 5, 5);
    g.setBrush(Qt::white);
    g.drawRect(QRectF(12, 6, 24, 22));
    g.setPen(QPen(QColor(120, 130, 150), 1.5));
    for (int y = 11; y < 26; y += 4) g.drawLine(QPointF(15, y), QPointF(33, y));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(232, 150, 30));
    g.drawEllipse(QRectF(34, 36, 6, 6));
    g.setPen(QColor(28, 56, 104));
    g.setFont(QFont("DejaVu Sans", 17, QFont::Bold));
    g.drawText(QRectF(50, 4, 122, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Belmora"));
    g.setPen(QColor(90, 100, 120));
    g.setFont(QFont("DejaVu Sans", 7));
    g.drawText(QRectF(51, 30, 120, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Gerenciador de ECF"));
    return p;
}

QIcon IconeOpcao() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(232, 150, 30));
    QPolygonF seta;
    seta << QPointF(4, 3) << QPointF(12, 8) << QPointF(4, 13);
    g.drawPolygon(seta);
    return QIcon(p);
}

QPixmap IconeSubMenu() {
    QPixmap p(20, 20);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(28, 56, 104), 1.5));
    g.setBrush(QColor(255, 214, 120));
    g.drawRoundedRect(QRectF(2, 2, 16, 16), 3, 3);
    g.drawLine(QPointF(6, 8), QPointF(14, 8));
    g.drawLine(QPointF(6, 12), QPointF(14, 12));
    return p;
}

namespace {
// A small tile: soft diagonal stripes over the strip's blue.
QImage LadrilhoTopo() {
    QImage img(24, 24, QImage::Format_RGB32);
    QPainter g(&img);
    QLinearGradient fundo(0, 0, 0, 24);
    fundo.setColorAt(0, QColor(44, 78, 132));
    fundo.setColorAt(1, QColor(36, 66, 116));
    g.fillRect(img.rect(), fundo);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(60, 98, 156), 3));
    g.drawLine(-6, 24, 24, -6);
    g.drawLine(6, 30, 30, 6);
    return img;
}
}  // namespace

QWidget* CriaFundoTopo(QWidget* parent) {
    auto* fundo = new tarvo::TPicShow(parent);
    fundo->setObjectName(QStringLiteral("FundoTopo"));
    QImage ladrilho = LadrilhoTopo();
    fundo->SetPicture(ladrilho);
    fundo->SetBgPicture(ladrilho);
    return fundo;
}

QPixmap CarregaImagem(const std::string& relativo, const QString& texto, QSize tamanho) {
    QPixmap p;
    const std::string caminho = ArquivoDoConsole(relativo);
    if (!caminho.empty() && p.load(QString::fromStdString(caminho), "JPG")) return p;
    p = QPixmap(tamanho);
    p.fill(QColor(220, 224, 232));
    QPainter g(&p);
    g.setPen(QColor(28, 56, 104));
    g.drawRect(p.rect().adjusted(0, 0, -1, -1));
    g.drawText(p.rect(), Qt::AlignCenter, texto);
    return p;
}

}  // namespace belmora
