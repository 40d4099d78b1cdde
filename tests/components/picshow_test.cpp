// The transition control on Qt's offscreen platform: whole transitions on the GUI thread and
// on the timer thread, the progress they report, stopping, the manual mode, the property
// rules, the last frame of every effect and the tiled picture panel.
#include "picshow.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <vector>

#include "pseffect.h"

using namespace tarvo;

namespace {

QImage Imagem(int W, int H, QRgb cor) {
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(cor);
    return img;
}

QImage Gradiente(int W, int H) {
    QImage img(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) img.setPixel(x, y, qRgb(x * 255 / W, y * 255 / H, (x + y) & 0xff));
    return img;
}

// Progress values seen by OnProgress, and whether they ever ran backwards.
struct Registro {
    std::vector<int> valores;
    bool voltou = false;
    void Liga(TPicShow& c, bool reverso = false) {
        QObject::connect(&c, &TCustomPicShow::OnProgress, &c, [this, &c, reverso] {
            const int p = c.Progress();
            if (!valores.empty() && (reverso ? p > valores.back() : p < valores.back())) {
                voltou = true;
                c.Stop();  // a progress running backwards would never end
            }
            valores.push_back(p);
        });
    }
};

TEST(PicShow, TransicaoInteiraNaThreadDaInterface) {
    TPicShow c;
    c.resize(120, 80);
    c.show();
    c.SetThreaded(false);
    c.SetDelay(1);
    c.SetStep(7);
    c.SetStyle(169);
    c.SetPicture(Gradiente(120, 80));
    Registro r;
    r.Liga(c);
    QSignalSpy completo(&c, &TCustomPicShow::OnComplete), parou(&c, &TCustomPicShow::OnStop);
    c.Execute();  // returns when the transition is over
    EXPECT_FALSE(c.Busy());
    EXPECT_EQ(completo.count(), 1);
    EXPECT_EQ(parou.count(), 1);
    ASSERT_FALSE(r.valores.empty());
    EXPECT_FALSE(r.voltou);
    EXPECT_EQ(r.valores.back(), 100);
    EXPECT_EQ(r.valores.size(), 15u);  // 7, 14, ... 98, then 100
    EXPECT_EQ(c.Display(), Gradiente(120, 80));
}

TEST(PicShow, TransicaoInteiraNaThreadDoTimerPintaNaInterface) {
    TPicShow c;
    c.resize(160, 120);
    c.show();
    c.SetDelay(2);
    c.SetStep(5);
    c.SetStyle(116);
    c.SetPicture(Gradiente(160, 120));
    ASSERT_TRUE(c.Threaded());
    Registro r;
    r.Liga(c);
    Qt::HANDLE threadDoQuadro = nullptr;
    c.OnAfterNewFrame = [&](TCustomPicShow*, const QImage&, QImage&) {
        threadDoQuadro = QThread::currentThreadId();
    };
    QSignalSpy completo(&c, &TCustomPicShow::OnComplete);
    c.Execute();
    EXPECT_TRUE(c.Busy());
    ASSERT_TRUE(completo.wait(10000));
    EXPECT_FALSE(c.Busy());
    EXPECT_FALSE(r.voltou);
    EXPECT_EQ(r.valores.back(), 100);
    EXPECT_NE(threadDoQuadro, nullptr);
    EXPECT_NE(threadDoQuadro, QThread::currentThreadId());  // rendered off the GUI thread
    QTest::qWait(20);
    const QImage tela = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(tela.copy(c.PictureRect()), Gradiente(160, 120));
}

TEST(PicShow, TempoExatoComDemoraZeroNaoVoltaOProgresso) {
    for (bool threaded : {false, true}) {
        SCOPED_TRACE(threaded);
        TPicShow c;
        c.show();
        c.SetThreaded(threaded);
        c.SetExactTiming(true);
        c.SetDelay(0);
        c.SetStep(10);
        c.SetPicture(Gradiente(50, 40));
        Registro r;
        r.Liga(c);
        QSignalSpy completo(&c, &TCustomPicShow::OnComplete);
        // a transition whose progress stands still or runs back never ends: stop it
        QTimer::singleShot(5000, &c, [&c] { c.Stop(); });
        c.Execute();
        if (c.Busy()) {
            ASSERT_TRUE(completo.wait(10000));
        }
        EXPECT_FALSE(r.voltou);
        EXPECT_EQ(completo.count(), 1);
        EXPECT_EQ(r.valores.back(), 100);
        EXPECT_EQ(c.Display(), Gradiente(50, 40));
    }
}

TEST(PicShow, ReversoComecaEmCemETerminaEmZero) {
    TPicShow c;
    c.SetThreaded(false);
    c.SetDelay(0);
    c.SetStep(25);
    c.SetReverse(true);
    c.SetPicture(Gradiente(40, 30));
    int inicial = -1;
    c.OnStart = [&](TCustomPicShow* s, const QImage&, QImage&) { inicial = s->Progress(); };
    Registro r;
    r.Liga(c, true);
    c.Execute();
    EXPECT_EQ(inicial, 100);
    EXPECT_EQ(r.valores, (std::vector<int>{75, 50, 25, 0}));
    EXPECT_FALSE(c.Busy());
}

TEST(PicShow, ExecuteSemFiguraOuOcupadoNaoFazNada) {
    TPicShow c;
    int inicios = 0;
    c.OnStart = [&](TCustomPicShow*, const QImage&, QImage&) { ++inicios; };
    QSignalSpy mudou(&c, &TCustomPicShow::OnChange), parou(&c, &TCustomPicShow::OnStop),
        progresso(&c, &TCustomPicShow::OnProgress);
    c.Execute();
    EXPECT_FALSE(c.Busy());
    EXPECT_EQ(inicios, 0);
    EXPECT_EQ(parou.count() + progresso.count() + mudou.count(), 0);

    c.SetManual(true);
    c.SetPicture(Gradiente(30, 20));
    c.Execute();
    c.Execute();
    EXPECT_TRUE(c.Busy());
    EXPECT_EQ(inicios, 1);
    c.Stop();
}

TEST(PicShow, StopAvisaParadaSemConclusao) {
    for (bool threaded : {false, true}) {
        TPicShow c;
        c.SetThreaded(threaded);
        c.SetManual(true);
        c.SetPicture(Gradiente(30, 20));
        QSignalSpy completo(&c, &TCustomPicShow::OnComplete), parou(&c, &TCustomPicShow::OnStop);
        c.Execute();
        c.SetProgress(40);
        c.Stop();
        EXPECT_FALSE(c.Busy());
        EXPECT_EQ(parou.count(), 1);
        EXPECT_EQ(completo.count(), 0);
        c.Stop();  // a second stop has nothing to stop
        EXPECT_EQ(parou.count(), 1);
    }
    // stopped halfway through a threaded animation: the timer's late completion is dropped
    TPicShow c;
    c.SetDelay(5);
    c.SetStep(1);
    c.SetPicture(Gradiente(64, 48));
    QSignalSpy completo(&c, &TCustomPicShow::OnComplete), parou(&c, &TCustomPicShow::OnStop);
    c.Execute();
    QTest::qWait(30);
    c.Stop();
    QTest::qWait(30);
    EXPECT_EQ(completo.count(), 0);
    EXPECT_EQ(parou.count(), 1);
}

TEST(PicShow, ModoManualDesenhaOQuadroPedidoEAvisaNaHora) {
    TPicShow c;
    c.SetManual(true);
    c.SetStyle(5);
    c.SetPicture(Imagem(100, 10, qRgb(0, 0, 255)));
    QSignalSpy progresso(&c, &TCustomPicShow::OnProgress);
    c.Execute();
    ASSERT_TRUE(c.Busy());
    EXPECT_EQ(c.Progress(), 0);
    c.SetProgress(30);
    EXPECT_EQ(progresso.count(), 1);
    QImage d = c.Display();
    EXPECT_EQ(d.pixel(29, 5), qRgb(0, 0, 255));
    EXPECT_NE(d.pixel(30, 5), qRgb(0, 0, 255));
    c.SetProgress(250);  // clamped to 100
    EXPECT_EQ(c.Progress(), 100);
    c.SetStyle(0);  // owner-drawn from now on, redrawn at once
    int desenhos = 0;
    c.OnCustomDraw = [&](TCustomPicShow*, const QImage&, QImage& tela) {
        ++desenhos;
        tela.fill(qRgb(9, 9, 9));
    };
    c.SetProgress(60);
    EXPECT_EQ(desenhos, 1);
    EXPECT_EQ(c.Display().pixel(50, 5), qRgb(9, 9, 9));
    c.Stop();
}

TEST(PicShow, RegrasDasPropriedades) {
    TPicShow c;
    EXPECT_EQ(c.Style(), 51);
    EXPECT_EQ(c.Step(), 4);
    EXPECT_EQ(c.Delay(), 40);
    EXPECT_EQ(c.BgMode(), TCustomPicShow::bmTiled);
    EXPECT_TRUE(c.Threaded());
    EXPECT_TRUE(c.OverDraw());
    EXPECT_EQ(c.size(), QSize(100, 100));
    c.SetStep(0);
    EXPECT_EQ(c.Step(), 1);
    c.SetStep(150);
    EXPECT_EQ(c.Step(), 99);
    c.SetStep(100);
    EXPECT_EQ(c.Step(), 100);
    c.SetStyle(200);
    EXPECT_EQ(c.Style(), 51);
    EXPECT_EQ(c.StyleName(), QStringLiteral("Appear and Contract to middle"));
    c.SetStyleName("custom");
    EXPECT_EQ(c.Style(), 0);
    EXPECT_EQ(c.StyleName(), QStringLiteral("Custom"));
    c.SetStyleName("expand from bottom");
    EXPECT_EQ(c.Style(), 18);
    c.SetStyleName("no such effect");
    EXPECT_EQ(c.Style(), 18);
    c.SetReverse(true);
    c.SetManual(true);  // not busy: the progress goes to the start of a reversed run
    EXPECT_EQ(c.Progress(), 100);
    EXPECT_EQ(c.setProperty("Style", 120), true);
    EXPECT_EQ(c.property("StyleName").toString(), QStringLiteral("Pivot from top left"));
}

TEST(PicShow, EmCemMostraExatamenteANovaFiguraEmTodoEfeito) {
    const QImage nova = Gradiente(37, 23);
    TPicShow c;
    c.SetManual(true);
    c.SetPicture(nova);
    for (int e = 1; e <= PSEffectCount; ++e) {
        c.SetStyle(e);
        c.Execute();
        c.SetProgress(50);
        c.SetProgress(100);
        ASSERT_EQ(c.Display(), nova) << e;
        c.Stop();
    }
}

TEST(PicShow, TransicaoSemQuadroAnteriorComecaDoFundoPintado) {
    TPicShow c;
    c.resize(40, 40);
    c.SetBgPicture(Imagem(8, 8, qRgb(200, 10, 10)));
    c.SetManual(true);
    c.SetPicture(Imagem(40, 40, qRgb(0, 0, 0)));
    c.Execute();
    EXPECT_EQ(c.Display().pixel(20, 20), qRgb(200, 10, 10));
    c.SetProgress(100);
    c.Stop();
    // with OverDraw the next transition starts from the picture last shown
    c.SetPicture(Imagem(40, 40, qRgb(0, 255, 0)));
    c.Execute();
    EXPECT_EQ(c.Display().pixel(20, 20), qRgb(0, 0, 0));
    c.Stop();
}

// What the console does with it: a picture panel whose background picture is tiled from
// the top-left corner, the last tile clipped.
TEST(PicShow, PainelLadrilhadoMostraOsLadrilhos) {
    QImage ladrilho(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ladrilho.setPixel(x, y, qRgb(x * 16, y * 16, x == 0 || y == 0 ? 255 : 0));
    TPicShow painel;
    painel.resize(40, 24);
    painel.SetPicture(ladrilho);
    painel.SetBgPicture(ladrilho);
    painel.show();
    const QImage tela = painel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(tela.size(), QSize(40, 24));
    int diferentes = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) diferentes += tela.pixel(x, y) != ladrilho.pixel(x % 16, y % 16);
    EXPECT_EQ(diferentes, 0);
    // three tiles across: tile edges at 0, 16 and 32
    EXPECT_EQ(qBlue(tela.pixel(0, 5)), 255);
    EXPECT_EQ(qBlue(tela.pixel(16, 5)), 255);
    EXPECT_EQ(qBlue(tela.pixel(32, 5)), 255);
    EXPECT_EQ(qBlue(tela.pixel(39, 5)), 0);

    painel.SetBgMode(TCustomPicShow::bmNone);
    painel.SetColor(qRgb(1, 2, 3));
    EXPECT_EQ(painel.grab().toImage().pixel(20, 10), qRgb(1, 2, 3));
}

TEST(PicShow, MolduraELayoutCentralizado) {
    TPicShow c;
    c.resize(100, 80);
    c.SetBgMode(TCustomPicShow::bmNone);
    c.SetColor(qRgb(255, 255, 255));
    c.SetFrameWidth(3);
    c.SetFrameColor(qRgb(255, 0, 0));
    c.SetCenter(true);
    c.SetThreaded(false);
    c.SetDelay(0);
    c.SetStep(100);
    c.SetPicture(Imagem(20, 10, qRgb(0, 0, 255)));
    c.show();
    c.Execute();
    EXPECT_EQ(c.PictureRect(), QRect(40, 35, 20, 10));
    const QImage tela = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(tela.pixel(50, 40), qRgb(0, 0, 255));
    EXPECT_EQ(tela.pixel(38, 40), qRgb(255, 0, 0));
    EXPECT_EQ(tela.pixel(36, 40), qRgb(255, 255, 255));
    c.SetStretch(true);
    c.SetProportional(true);
    EXPECT_EQ(c.PictureRect(), QRect(3, 16, 94, 47));
}

}  // namespace
