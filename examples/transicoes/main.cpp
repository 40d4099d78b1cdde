// Plays every transition effect in turn over a tiled background, with the effect's row and
// name under the picture.
//
//   transicoes [--inicio N] [--demora MS] [--passo P]
//   transicoes --captura arquivo.png [--inicio N]   pauses effect N halfway, saves a
//                                                   screenshot of the screen and quits
#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>

#include "picshow.h"
#include "pseffect.h"

using namespace tarvo;

namespace {

constexpr int Largura = 480, Altura = 320;

// Three pictures to move between: two gradients with shapes and a chequered one.
QImage Figura(int n) {
    QImage img(Largura, Altura, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor cores[3][2] = {{QColor(18, 60, 140), QColor(90, 190, 230)},
                                {QColor(150, 40, 30), QColor(250, 190, 60)},
                                {QColor(20, 110, 60), QColor(200, 230, 120)}};
    QLinearGradient g(0, 0, Largura, Altura);
    g.setColorAt(0, cores[n][0]);
    g.setColorAt(1, cores[n][1]);
    p.fillRect(img.rect(), g);
    if (n == 2) {
        for (int y = 0; y < Altura; y += 40)
            for (int x = (y / 40 % 2) * 40; x < Largura; x += 80)
                p.fillRect(x, y, 40, 40, QColor(255, 255, 255, 50));
    } else {
        for (int i = 0; i < 7; ++i) {
            QRadialGradient r(QPointF(60 + i * 60, 160 + 90 * std::sin(i + n)), 50);
            r.setColorAt(0, QColor(255, 255, 255, 200));
            r.setColorAt(1, QColor(255, 255, 255, 0));
            p.setBrush(r);
            p.setPen(Qt::NoPen);
            p.drawEllipse(r.center(), 50, 50);
        }
    }
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(40);
    f.setBold(true);
    p.setFont(f);
    p.drawText(img.rect(), Qt::AlignCenter, n == 1 ? QStringLiteral("Tarvo") : QStringLiteral("Belmora"));
    return img;
}

QImage Ladrilho() {
    QImage img(24, 24, QImage::Format_RGB32);
    img.fill(QColor(48, 52, 60));
    QPainter p(&img);
    p.fillRect(0, 0, 12, 12, QColor(58, 63, 72));
    p.fillRect(12, 12, 12, 12, QColor(58, 63, 72));
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser args;
    args.addHelpOption();
    const QCommandLineOption inicio("inicio", "first effect to play (1..176)", "N", "1");
    const QCommandLineOption demora("demora", "milliseconds between frames", "MS", "15");
    const QCommandLineOption passo("passo", "progress added per frame", "P", "3");
    const QCommandLineOption captura("captura", "save a screenshot of effect N halfway and quit",
                                     "arquivo.png");
    args.addOptions({inicio, demora, passo, captura});
    args.process(app);

    QWidget janela;
    janela.setWindowTitle(QStringLiteral("Belmora - transições"));
    auto* layout = new QVBoxLayout(&janela);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* show = new TPicShow;
    show->setMinimumSize(Largura + 40, Altura + 40);
    show->SetBgPicture(Ladrilho());
    show->SetCenter(true);
    show->SetFrameWidth(3);
    show->SetFrameColor(QColor(20, 20, 24));
    show->SetDelay(args.value(demora).toInt());
    show->SetStep(args.value(passo).toInt());
    auto* legenda = new QLabel;
    legenda->setAlignment(Qt::AlignCenter);
    legenda->setMargin(6);
    layout->addWidget(show, 1);
    layout->addWidget(legenda);

    const QImage figuras[3] = {Figura(0), Figura(1), Figura(2)};
    int estilo = std::clamp(args.value(inicio).toInt(), 1, PSEffectCount);
    int figura = 0;
    auto proximo = [&] {
        show->SetStyle(estilo);
        legenda->setText(
            QStringLiteral("%1 / %2   %3").arg(estilo).arg(PSEffectCount).arg(show->StyleName()));
        figura = (figura + 1) % 3;
        show->SetPicture(figuras[figura]);
        show->Execute();
    };
    // The first picture is put up at once; the effects then take turns from the next one.
    show->SetStyle(1);
    show->SetStep(100);
    show->SetPicture(figuras[0]);

    const QString arquivo = args.value(captura);
    QObject::connect(show, &TCustomPicShow::OnComplete, &janela, [&] {
        if (show->Step() == 100) {
            show->SetStep(args.value(passo).toInt());
        } else {
            estilo = estilo % PSEffectCount + 1;
        }
        QTimer::singleShot(arquivo.isEmpty() ? 400 : 0, &janela, proximo);
    });
    if (!arquivo.isEmpty()) {
        // Pause the chosen effect halfway (through the manual mode, which draws the frame at
        // once), let the window system show it, then take the whole screen.
        QObject::connect(show, &TCustomPicShow::OnProgress, &janela, [&] {
            if (show->Step() == 100 || show->Manual() || show->Progress() < 50) return;
            show->SetManual(true);
            show->SetProgress(50);
            QTimer::singleShot(500, &janela, [&] {
                QImage tela;
                if (QScreen* s = QGuiApplication::primaryScreen()) tela = s->grabWindow(0).toImage();
                if (tela.isNull() || tela.width() <= 1) tela = janela.grab().toImage();
                const bool ok = tela.save(arquivo);
                std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", qPrintable(arquivo));
                app.exit(ok ? 0 : 1);
            });
        });
    }
    janela.show();
    QTimer::singleShot(100, &janela, [&] { show->Execute(); });
    return app.exec();
}
