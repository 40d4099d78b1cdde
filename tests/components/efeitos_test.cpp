// The transition effects drawn straight from the table: every row on small and odd sizes
// (run under AddressSanitizer, this is where an effect reading or writing past its images
// shows up), the pixels each family may produce, and the rows whose frames are pinned.
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <set>

#include "pseffect.h"

using namespace tarvo;

namespace {

// The start image is one colour no new picture uses; every pixel of the new picture
// carries its own position, so a frame tells where each pixel came from.
constexpr QRgb Inicio = 0xffffffffu;
QRgb Novo(int x, int y) {
    return 0xff000000u | (static_cast<QRgb>(x) << 12) | static_cast<QRgb>(y);
}

QImage ImagemInicio(int W, int H) {
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Inicio);
    return img;
}

QImage ImagemNova(int W, int H) {
    QImage img(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) img.setPixel(x, y, Novo(x, y));
    return img;
}

QImage Quadro(int estilo, const QImage& inicio, const QImage& nova, int P) {
    QImage d = inicio.copy();
    int X, Y;
    EscalaProgresso(nova.width(), nova.height(), P, X, Y);
    PSEffect(estilo)->Proc(d, nova, nova.width(), nova.height(), X, Y, P);
    return d;
}

// Rows that only ever show each pixel either as it was or as the new picture has it there.
bool SoRevela(int e) {
    static const std::set<int> revelam = [] {
        std::set<int> s = {5,  6,  11, 12,  22,  23,  28,  29,  43,  44,  45, 46,
                           53, 54, 55, 124, 125, 126, 127, 128, 169, 170, 171};
        for (int i = 58; i <= 118; ++i) s.insert(i);
        for (int i = 137; i <= 167; ++i) s.insert(i);
        return s;
    }();
    return revelam.count(e) > 0;
}

// Rows that shade, blend or mix: their pixels are new colours.
bool MisturaCores(int e) {
    return e == 14 || e == 15 || e == 31 || e == 32 || e == 119 || e == 168 || e == 172;
}

class CadaEfeito : public testing::TestWithParam<int> {};

TEST_P(CadaEfeito, DesenhaDentroDasImagensEmQualquerTamanho) {
    const int e = GetParam();
    const QSize tamanhos[] = {{1, 1}, {3, 200}, {200, 3}, {200, 100}};
    for (const QSize& t : tamanhos) {
        const QImage inicio = ImagemInicio(t.width(), t.height());
        const QImage nova = ImagemNova(t.width(), t.height());
        for (int P : {1, 2, 50, 98, 99}) {
            SCOPED_TRACE(testing::Message()
                         << "effect " << e << " " << t.width() << "x" << t.height() << " at " << P);
            const QImage d = Quadro(e, inicio, nova, P);
            ASSERT_EQ(d.size(), t);
            ASSERT_EQ(d.format(), QImage::Format_RGB32);
            if (MisturaCores(e)) continue;
            int erradas = 0;
            for (int y = 0; y < t.height(); ++y)
                for (int x = 0; x < t.width(); ++x) {
                    const QRgb p = d.pixel(x, y);
                    if (p == Inicio) continue;
                    const int sx = (p >> 12) & 0xfff, sy = p & 0xfff;
                    const bool valido = SoRevela(e) ? p == Novo(x, y) : (sx < t.width() && sy < t.height());
                    if (!valido) ++erradas;
                }
            EXPECT_EQ(erradas, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Efeitos, CadaEfeito, testing::Range(1, PSEffectCount + 1),
                         [](const testing::TestParamInfo<int>& i) { return "E" + std::to_string(i.param); });

int ColunasNovas(const QImage& d, int y) {
    int n = 0;
    for (int x = 0; x < d.width(); ++x) n += d.pixel(x, y) != Inicio;
    return n;
}

QRect AreaNova(const QImage& d) {
    QRect r;
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x)
            if (d.pixel(x, y) != Inicio) r |= QRect(x, y, 1, 1);
    return r;
}

TEST(Efeitos, TabelaTemOsNomesEmOrdemEABuscaPorNomeAchaAPrimeiraLinha) {
    EXPECT_STREQ(PSEffect(1)->Name, "Expand from right");
    EXPECT_STREQ(PSEffect(51)->Name, "Appear and Contract to middle");
    EXPECT_STREQ(PSEffect(176)->Name, "Slide out from top");
    EXPECT_STREQ(PSEffect(33)->Name, PSEffect(18)->Name);
    EXPECT_STREQ(PSEffect(34)->Name, PSEffect(25)->Name);
    EXPECT_EQ(PSEffect(0), nullptr);
    EXPECT_EQ(PSEffect(177), nullptr);
    EXPECT_EQ(PSEffectByName("Expand from bottom"), 18);
    EXPECT_EQ(PSEffectByName("EXPAND IN FROM TOP"), 25);
    EXPECT_EQ(PSEffectByName("Unven shred from bottom"), 76);
    EXPECT_EQ(PSEffectByName("Push and sqeeze up"), 136);
    EXPECT_EQ(PSEffectByName("Push and squeeze up"), 0);
    EXPECT_EQ(PSEffectByName("Custom"), 0);
    for (int i = 1; i <= PSEffectCount; ++i) ASSERT_NE(PSEffect(i)->Proc, nullptr) << i;
}

TEST(Efeitos, ProgressoEscalaPeloLadoMaior) {
    int X, Y;
    EscalaProgresso(200, 100, 50, X, Y);
    EXPECT_EQ(X, 100);
    EXPECT_EQ(Y, 50);
    EscalaProgresso(3, 200, 1, X, Y);
    EXPECT_EQ(Y, 2);
    EXPECT_EQ(X, 0);
    EXPECT_EQ(MulDiv(1, 50, 100), 1);  // halves round away from zero
    EXPECT_EQ(MulDiv(-49, 82, 50), -80);
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
}

TEST(Efeitos, RevelaDaEsquerdaCopiaAsColunasExatas) {
    const QImage d = Quadro(5, ImagemInicio(200, 100), ImagemNova(200, 100), 50);
    EXPECT_EQ(AreaNova(d), QRect(0, 0, 100, 100));
}

TEST(Efeitos, FundeMetadePretoComBranco) {
    QImage preto(4, 4, QImage::Format_RGB32), branco(4, 4, QImage::Format_RGB32);
    preto.fill(0xff000000u);
    branco.fill(0xffffffffu);
    const QImage d = Quadro(119, preto, branco, 50);
    EXPECT_EQ(d.pixel(2, 2), qRgb(127, 127, 127));
}

TEST(Efeitos, DissolveRepeteOPadraoEGuardaOsPixelsJaMostrados) {
    const QImage inicio = ImagemInicio(64, 48), nova = ImagemNova(64, 48);
    for (int e : {128, 169, 170, 171}) {
        SCOPED_TRACE(e);
        const QImage a30 = Quadro(e, inicio, nova, 30);
        EXPECT_EQ(a30, Quadro(e, inicio, nova, 30));
        const QImage a60 = Quadro(e, inicio, nova, 60);
        int novos30 = 0, perdidos = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                if (a30.pixel(x, y) != Inicio) {
                    ++novos30;
                    perdidos += a60.pixel(x, y) == Inicio;
                }
        EXPECT_GT(novos30, 0);
        EXPECT_EQ(perdidos, 0);
    }
}

TEST(Efeitos, PersianaVerticalUsaRipasDeOnzePixels) {
    // 400 / 40 + 1 = 11: at 50 each pair of slats (22 columns) opens 6 columns either side
    // of the slat boundary.
    const QImage d = Quadro(137, ImagemInicio(400, 10), ImagemNova(400, 10), 50);
    for (int x = 0; x < 44; ++x) {
        const int r = x % 22;
        EXPECT_EQ(d.pixel(x, 5) != Inicio, r >= 5 && r < 17) << x;
    }
}

TEST(Efeitos, PixelaAmpliaOCentroEMudaDeImagemNoMeio) {
    const QImage inicio = ImagemNova(200, 100);
    QImage nova(200, 100, QImage::Format_RGB32);
    nova.fill(0xffabcdefu);  // a colour the gradient of the old picture never has
    auto cores = [](const QImage& img) {
        std::set<QRgb> s;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) s.insert(img.pixel(x, y));
        return s;
    };
    // At 50 the scale is 98: the 4 x 2 block at (98, 49), half blended into the new colour,
    // fills the frame.
    std::set<QRgb> esperadas;
    for (int y = 49; y <= 50; ++y)
        for (int x = 98; x <= 101; ++x) {
            const QRgb c = inicio.pixel(x, y);
            esperadas.insert(qRgb((qRed(c) + 0xab) * 128 / 256, (qGreen(c) + 0xcd) * 128 / 256,
                                  (qBlue(c) + 0xef) * 128 / 256));
        }
    for (QRgb c : cores(Quadro(168, inicio, nova, 50))) EXPECT_TRUE(esperadas.count(c)) << std::hex << c;
    // Before the blend the frame is the old picture enlarged, after it the new one.
    for (QRgb c : cores(Quadro(168, inicio, nova, 40))) EXPECT_NE(c, 0xffabcdefu);
    EXPECT_EQ(cores(Quadro(168, inicio, nova, 60)), std::set<QRgb>{0xffabcdefu});
}

TEST(Efeitos, VarredurasCobremQuartosEMetadesExatos) {
    const QImage inicio = ImagemInicio(200, 200), nova = ImagemNova(200, 200);
    EXPECT_EQ(AreaNova(Quadro(145, inicio, nova, 26)), QRect(0, 0, 100, 100));
    EXPECT_EQ(AreaNova(Quadro(144, inicio, nova, 26)), QRect(100, 0, 100, 100));
    const QImage esquerda = Quadro(145, inicio, nova, 51), direita = Quadro(144, inicio, nova, 51);
    EXPECT_EQ(AreaNova(esquerda), QRect(0, 0, 100, 200));
    EXPECT_EQ(AreaNova(direita), QRect(100, 0, 100, 200));
    for (int y = 0; y < 200; y += 7) {
        EXPECT_EQ(ColunasNovas(esquerda, y), 100) << y;
        EXPECT_EQ(ColunasNovas(direita, y), 100) << y;
    }
    EXPECT_TRUE(AreaNova(Quadro(144, inicio, nova, 1)).isEmpty());
    EXPECT_TRUE(AreaNova(Quadro(145, inicio, nova, 1)).isEmpty());
}

TEST(Regiao, UniaoDeRetangulosSobrepostosIgualAQRegion) {
    QRandomGenerator rnd(7);
    for (int rodada = 0; rodada < 20; ++rodada) {
        TComplexRegion r(50, 40);
        QRegion esperada;
        for (int i = 0; i < 60; ++i) {
            const int l = rnd.bounded(-10, 55), t = rnd.bounded(-10, 45);
            const int w = rnd.bounded(0, 20), h = rnd.bounded(0, 20);
            r.AddRect(l, t, l + w, t + h);
            esperada += QRect(l, t, w, h) & QRect(0, 0, 50, 40);
        }
        EXPECT_TRUE(r.CreateRegion().xored(esperada).isEmpty()) << rodada;
    }
    TComplexRegion vazia(10, 10);
    vazia.AddRect(20, 20, 30, 30);
    EXPECT_TRUE(vazia.CreateRegion().isEmpty());
}

TEST(Regiao, PoligonoERetanguloArredondadoCobremOsPixelsPeloCentro) {
    TComplexRegion r(20, 20);
    const QPoint quadrado[] = {{2, 3}, {12, 3}, {12, 8}, {2, 8}};
    RegiaoPoligono(r, quadrado);
    EXPECT_TRUE(r.CreateRegion().xored(QRegion(2, 3, 10, 5)).isEmpty());
    r.Clear();
    RegiaoRetanguloArredondado(r, 0, 0, 10, 10, 0, 0);
    EXPECT_TRUE(r.CreateRegion().xored(QRegion(0, 0, 10, 10)).isEmpty());
    r.Clear();
    RegiaoRetanguloArredondado(r, 0, 0, 20, 20, 20, 20);  // a circle leaves the corners out
    const QRegion c = r.CreateRegion();
    EXPECT_FALSE(c.contains(QPoint(0, 0)));
    EXPECT_FALSE(c.contains(QPoint(19, 19)));
    EXPECT_TRUE(c.contains(QPoint(10, 0)));
    EXPECT_TRUE(c.contains(QPoint(0, 10)));
}

}  // namespace
