// The 176 transition effects and the table that names them.
//
// Each row draws one frame from the picture size (W, H), the progress scaled to it (X, Y)
// and the progress itself (P); the families share the routines of pseffect_rotinas.cpp.
// Block copies, stretches and regions all clip to the two images, so every formula may
// reach past the picture (slides start outside it, curves are drawn from shapes several
// pictures wide) without touching memory outside it.
#include "pseffect.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <numbers>
#include <vector>

namespace tarvo {

namespace {

// C(dx, dy, w, h; sx, sy): block copy; S(dx, dy, dw, dh; sx, sy, sw, sh): stretch. The
// source is the Image, or the Display itself where the old content is moved aside.
inline void C(QImage& D, const QImage& fonte, int dx, int dy, int w, int h, int sx, int sy) {
    CopiaBloco(D, dx, dy, w, h, fonte, sx, sy);
}
inline void S(QImage& D, const QImage& fonte, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
              int sh) {
    EsticaBloco(D, dx, dy, dw, dh, fonte, sx, sy, sw, sh);
}
// Half, truncated toward zero, and one and a half times a value.
constexpr int Md(int v) {
    return v / 2;
}
constexpr int T3(int v) {
    return (3 * v) / 2;
}
// A quarter turn over the 100 steps of a transition.
constexpr double Giro = std::numbers::pi / 200;

// Region builders reused frame after frame; the second one serves the effects that
// combine two shapes.
TComplexRegion& Regiao(int W, int H, int qual = 0) {
    thread_local std::array<TComplexRegion, 2> regioes;
    regioes[qual].Limites(W, H);
    return regioes[qual];
}

void Revela(QImage& D, const QImage& I, TComplexRegion& rgn) {
    CopiaRegiao(D, I, rgn.CreateRegion());
}

using Poligono = std::initializer_list<QPoint>;

void Poligonos(QImage& D, const QImage& I, int W, int H, std::initializer_list<Poligono> poligonos) {
    TComplexRegion& rgn = Regiao(W, H);
    for (const Poligono& p : poligonos) RegiaoPoligono(rgn, std::span<const QPoint>(p.begin(), p.size()));
    Revela(D, I, rgn);
}

QRegion RegiaoDe(int W, int H, Poligono p, int qual = 1) {
    TComplexRegion& rgn = Regiao(W, H, qual);
    RegiaoPoligono(rgn, std::span<const QPoint>(p.begin(), p.size()));
    return rgn.CreateRegion();
}

// --- unroll and build up ---------------------------------------------------------------------

// The roll is a mirrored strip of the picture just beyond the revealed edge, at most a tenth
// of the picture wide; it grows from nothing at the start and shrinks so that the strip it
// mirrors never reaches past the picture.
int LarguraRolo(int L, int revelado) {
    int r = L / 10;
    if (revelado < r)
        r = revelado;
    else if (L - revelado < 2 * r)
        r = Md(L - revelado);
    return r;
}

void DesenrolaDaEsquerda(QImage& D, const QImage& I, int W, int H, int X) {
    const int r = LarguraRolo(W, X);
    S(D, I, X + r - 1, 0, -r, H, X + r, 0, r, H);
    C(D, I, 0, 0, X, H, 0, 0);
    RampaBrilhoColunas(D, 64, X, r);
}

// The mirror image of unrolling from the left: the revealed part is the right X columns and
// the roll mirrors the r columns just left of it. Sizing the roll from the revealed width,
// as from the left, keeps the mirrored strip (which starts 2r left of the edge) inside the
// picture; the strip is taken from W - X - 2r so that the roll mirrors about its outer edge.
void DesenrolaDaDireita(QImage& D, const QImage& I, int W, int H, int X) {
    const int r = LarguraRolo(W, X);
    S(D, I, W - X - 1, 0, -r, H, W - X - 2 * r, 0, r, H);
    C(D, I, W - X, 0, X, H, W - X, 0);
    RampaBrilhoColunas(D, 64, W - X - r, r);
}

void DesenrolaDeCima(QImage& D, const QImage& I, int W, int H, int Y) {
    const int r = LarguraRolo(H, Y);
    S(D, I, 0, Y + r - 1, W, -r, 0, Y + r, W, r);
    C(D, I, 0, 0, W, Y, 0, 0);
    RampaBrilhoLinhas(D, 64, Y, r);
}

void DesenrolaDeBaixo(QImage& D, const QImage& I, int W, int H, int Y) {
    const int r = LarguraRolo(H, Y);
    S(D, I, 0, H - Y - 1, W, -r, 0, H - Y - 2 * r, W, r);
    C(D, I, 0, H - Y, W, Y, 0, H - Y);
    RampaBrilhoLinhas(D, 64, H - Y - r, r);
}

void ConstroiDaEsquerda(QImage& D, const QImage& I, int W, int H, int X) {
    C(D, I, W - X, 0, X, H, W - X, 0);
    const int s = std::max(W - X - W / 10, 0);
    S(D, I, 0, 0, W - X, H, s, 0, W - X - s, H);
}

void ConstroiDeCima(QImage& D, const QImage& I, int W, int H, int Y) {
    C(D, I, 0, H - Y, W, Y, 0, H - Y);
    const int s = std::max(H - Y - H / 10, 0);
    S(D, I, 0, 0, W, H - Y, 0, s, W, H - Y - s);
}

// --- quarters ------------------------------------------------------------------------------

void QuatroCantos(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    const int hx = Md(X), hy = Md(Y);
    C(D, I, 0, 0, hx, hy, 0, 0);
    C(D, I, 0, H - hy, hx, hy, 0, H - hy);
    C(D, I, W - hx, H - hy, hx, hy, W - hx, H - hy);
    C(D, I, W - hx, 0, hx, hy, W - hx, 0);
}

// Each quarter is taken from the corner it ends in, so that at the end every quarter lands
// one to one on its own pixels.
void QuartosExpandem(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    const int hx = Md(X), hy = Md(Y), hw = Md(W), hh = Md(H);
    S(D, I, 0, 0, hx, hy, 0, 0, hw, hh);
    S(D, I, W - hx, 0, hx, hy, W - hw, 0, hw, hh);
    S(D, I, 0, H - hy, hx, hy, 0, H - hh, hw, hh);
    S(D, I, W - hx, H - hy, hx, hy, W - hw, H - hh, hw, hh);
}

void QuartosDeslizam(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    const int hx = Md(X), hy = Md(Y), hw = Md(W), hh = Md(H);
    C(D, I, hx - hw, 0, hw, hh, 0, 0);
    C(D, I, hw, hy - hh, hw, hh, hw, 0);
    C(D, I, W - hx, hh, hw, hh, hw, hh);
    C(D, I, 0, H - hy, hw, hh, 0, hh);
}

// --- curves --------------------------------------------------------------------------------

void Curva(QImage& D, const QImage& I, int W, int H, int l, int t, int r, int b, int ew, int eh) {
    TComplexRegion& rgn = Regiao(W, H);
    RegiaoRetanguloArredondado(rgn, l, t, r, b, ew, eh);
    Revela(D, I, rgn);
}

void ElipseParaDentro(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    TComplexRegion& rgn = Regiao(W, H);
    RegiaoRetanguloArredondado(rgn, X - Md(W), Y - Md(H), 3 * Md(W) - X, 3 * Md(H) - Y, 9 * (W - X) / 5,
                               9 * (H - Y) / 5);
    CopiaRegiao(D, I, QRegion(0, 0, W, H).xored(rgn.CreateRegion()));
}

// --- bars, shreds, speckles ------------------------------------------------------------------

void Barras(QImage& D, const QImage& I, int W, int H, int a, int b, int h, int v) {
    TComplexRegion& rgn = Regiao(W, H);
    PadraoBarras(rgn, a, b, W, H, h, v);
    Revela(D, I, rgn);
}

// Both patterns run to the whole picture (extents 2X and 2Y, as in the other criss-cross
// rows): with X and Y alone each would stop at alternate bars and their intersection would
// leave holes until the last frame.
void BarrasCruzadas(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    TComplexRegion& a = Regiao(W, H, 0);
    TComplexRegion& b = Regiao(W, H, 1);
    PadraoBarras(a, 2 * X, 2 * Y, W, H, 1, 1);
    PadraoBarras(b, 2 * X, 2 * Y, W, H, 2, 2);
    CopiaRegiao(D, I, a.CreateRegion().intersected(b.CreateRegion()));
}

void Tiras(QImage& D, const QImage& I, int W, int H, int a, int b, int h, int v) {
    TComplexRegion& rgn = Regiao(W, H);
    PadraoTiras(rgn, a, b, W, H, h, v);
    Revela(D, I, rgn);
}

void Pontilhado(QImage& D, const QImage& I, int W, int H, int a, int b, int h, int v) {
    TComplexRegion& rgn = Regiao(W, H);
    PadraoPontilhado(rgn, a, b, W, H, h, v);
    Revela(D, I, rgn);
}

// --- polygons --------------------------------------------------------------------------------

void Estrela(QImage& D, const QImage& I, int W, int H, int X, int Y, bool antiHorario) {
    const QPoint c(Md(W), Md(H));
    if (!antiHorario)
        Poligonos(
            D, I, W, H,
            {{c, {0, 0}, {X, 0}}, {c, {0, H}, {0, H - Y}}, {c, {W, H}, {W - X, H}}, {c, {W, 0}, {W, Y}}});
    else
        Poligonos(
            D, I, W, H,
            {{c, {0, 0}, {0, Y}}, {c, {0, H}, {X, H}}, {c, {W, H}, {W, H - Y}}, {c, {W, 0}, {W - X, 0}}});
}

// Triangles pointing down in cells of a tenth of the picture, growing to twice the cell.
// The grid runs one row of cells past the bottom: near the end each cell's lower corners
// are covered by the triangle of the cell below, which the last row would otherwise lack.
void TirasTriangulares(QImage& D, const QImage& I, int W, int H, int P) {
    const int w = W / 10 + 1, h = H / 10 + 1;
    const int a = MulDiv(w, P, 50), b = MulDiv(h, P, 50);
    TComplexRegion& rgn = Regiao(W, H);
    for (int y = 0; y < H + 2 * h; y += 2 * h)
        for (int x = 0; x < W; x += 2 * w) {
            const int cx = x + w, cy = y + h;
            const QPoint t[] = {{cx - a, cy - b}, {cx, cy + b}, {cx + a, cy - b}};
            RegiaoPoligono(rgn, t);
        }
    Revela(D, I, rgn);
}

void Losangos(QImage& D, const QImage& I, int W, int H, int P) {
    const int c = std::min(W, H) / 10 + 1;
    const int a = MulDiv(c, P, 50);
    TComplexRegion& rgn = Regiao(W, H);
    for (int y = 0; y < H; y += 2 * c)
        for (int x = 0; x < W; x += 2 * c) {
            const int cx = x + c, cy = y + c;
            const QPoint d[] = {{cx - a, cy}, {cx, cy - a}, {cx + a, cy}, {cx, cy + a}};
            RegiaoPoligono(rgn, d);
        }
    Revela(D, I, rgn);
}

void LosangoParaDentro(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    const int hw = Md(W), hh = Md(H);
    const QRegion d = RegiaoDe(W, H, {{X - hw, hh}, {hw, Y - hh}, {3 * hw - X, hh}, {hw, 3 * hh - Y}});
    CopiaRegiao(D, I, QRegion(0, 0, W, H).xored(d));
}

void CaixaDiagonal(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    const int cx = Md(W), cy = Md(H), hx = Md(X), hy = Md(Y);
    const QRegion fora = RegiaoDe(W, H, {{-hx, cy}, {cx, -hy}, {2 * cx + hx, cy}, {cx, 2 * cy + hy}}, 0);
    const QRegion dentro = RegiaoDe(W, H, {{hx, cy}, {cx, hy}, {2 * cx - hx, cy}, {cx, 2 * cy - hy}}, 1);
    CopiaRegiao(D, I, fora.xored(dentro));
}

void CruzDiagonalEntra(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    const int cx = Md(W), cy = Md(H), hx = Md(X), hy = Md(Y);
    Poligonos(D, I, W, H,
              {{{0, cy - hy}, {hx, cy}, {0, cy + hy}},
               {{W, cy - hy}, {W - hx, cy}, {W, cy + hy}},
               {{cx - hx, 0}, {cx, hy}, {cx + hx, 0}},
               {{cx - hx, H}, {cx, H - hy}, {cx + hx, H}}});
}

void CruzDiagonalSai(QImage& D, const QImage& I, int W, int H, int X, int Y) {
    const int cx = Md(W), cy = Md(H), a = Md(W - X), b = Md(H - Y);
    QRegion r(0, 0, W, H);
    r = r.xored(RegiaoDe(W, H, {{0, cy - b}, {a, cy}, {0, cy + b}}));
    r = r.xored(RegiaoDe(W, H, {{W, cy - b}, {W - a, cy}, {W, cy + b}}));
    r = r.xored(RegiaoDe(W, H, {{cx - a, 0}, {cx, b}, {cx + a, 0}}));
    r = r.xored(RegiaoDe(W, H, {{cx - a, H}, {cx, H - b}, {cx + a, H}}));
    CopiaRegiao(D, I, r);
}

// A band of constant thickness 2m with zigzag edges, widening from the middle. The eleven
// teeth are a tenth of the picture apart; on pictures narrower than about a hundred
// pixels a tenth (rounded down) falls short of the width, and the teeth are then spread
// just far enough for the band to reach the far edge.
void ZigueZague(QImage& D, const QImage& I, int W, int H, int X, int Y, int P, bool vertical) {
    const int L = vertical ? H : W;  // along the band
    const int A = vertical ? W : H;  // across the band
    const int c = vertical ? Md(W) : Md(H);
    const int dente = A / 10;
    const int m = MulDiv(dente, P, 100) + Md(vertical ? X : Y);
    int passo = L / 10;
    if (11 * passo < L) passo = (L + 10) / 11;
    QPoint pontos[24];
    for (int k = 0; k < 12; ++k) {
        const int sup = (k % 2 == 0 ? c + dente : c - dente) - m;
        const int inf = (k % 2 == 0 ? c + dente : c - dente) + m;
        pontos[k] = vertical ? QPoint(sup, k * passo) : QPoint(k * passo, sup);
        pontos[23 - k] = vertical ? QPoint(inf, k * passo) : QPoint(k * passo, inf);
    }
    TComplexRegion& rgn = Regiao(W, H);
    RegiaoPoligono(rgn, pontos);
    Revela(D, I, rgn);
}

// --- shapes ----------------------------------------------------------------------------------

void QuadradosCrescentes(QImage& D, const QImage& I, int W, int H, int P) {
    const int c = std::min(W, H) / 10 + 1;
    const int a = MulDiv(c, P, 100);
    TComplexRegion& rgn = Regiao(W, H);
    for (int y = 0; y < H; y += 2 * c)
        for (int x = 0; x < W; x += 2 * c) rgn.AddRect(x + c - a, y + c - a, x + c + a, y + c + a);
    Revela(D, I, rgn);
}

void CirculosCrescentes(QImage& D, const QImage& I, int W, int H, int P) {
    const int c = std::min(W, H) / 10 + 1;
    const int r = MulDiv(3 * c, P, 200);
    TComplexRegion& rgn = Regiao(W, H);
    for (int y = 0; y < H; y += 2 * c)
        for (int x = 0; x < W; x += 2 * c)
            RegiaoRetanguloArredondado(rgn, x + c - r, y + c - r, x + c + r, y + c + r, 2 * r, 2 * r);
    Revela(D, I, rgn);
}

// A fan from straight up, a step of pi / 50 per point and P points: clockwise for
// sentido 1, anticlockwise for -1. The last point stands one step short of the end angle,
// so the fan encloses nothing at P = 1 and leaves a wedge at P = 99.
void Varredura(QImage& D, const QImage& I, int W, int H, int P, int sentido) {
    const int cx = Md(W), cy = Md(H);
    const int r = static_cast<int>(std::ceil(std::hypot(cx, cy)));
    const double inicio = -std::numbers::pi / 2;
    TComplexRegion& rgn = Regiao(W, H);
    RegiaoLeque(rgn, cx, cy, r, inicio, sentido * P * std::numbers::pi / 50 + inicio, P);
    Revela(D, I, rgn);
}

void RetangulosCruzados(QImage& D, const QImage& I, int W, int H, int X, int Y, int P, int tipo) {
    TComplexRegion& rgn = Regiao(W, H);
    if (tipo <= 2) {
        const int faixa = H / 20;
        if (X == 0 || faixa == 0) return;
        const int hb = MulDiv(faixa, P, 100), w = MulDiv(X, P, 100);
        for (int y = -faixa; y < H; y += 3 * faixa) rgn.AddRect(0, y - hb, W, y + hb);
        if (tipo == 1)
            for (int x = 0; x < W; x += X) rgn.AddRect(x, 0, x + w, H);
        else
            for (int x = W; x > 0; x -= X) rgn.AddRect(x - w, 0, x, H);
    } else {
        const int faixa = W / 20;
        if (Y == 0 || faixa == 0) return;
        const int hb = MulDiv(faixa, P, 100), v = MulDiv(Y, P, 100);
        for (int x = -faixa; x < W; x += 3 * faixa) rgn.AddRect(x - hb, 0, x + hb, H);
        if (tipo == 3)
            for (int y = 0; y < H; y += Y) rgn.AddRect(0, y, W, y + v);
        else
            for (int y = H; y > 0; y -= Y) rgn.AddRect(0, y - v, W, y);
    }
    Revela(D, I, rgn);
}

// A rectangle (1, 3) or an eight-point star (2) turning a full circle over the transition,
// the way it turns chosen by the new picture (so it stays put through one transition).
void FiguraGirando(QImage& D, const QImage& I, int W, int H, int X, int Y, int P, int tipo) {
    double angulo = P * std::numbers::pi / 50;
    if (SementeDaImagem(I) & 1) angulo = -angulo;
    const int cx = Md(W), cy = Md(H), hx = Md(X), hy = Md(Y);
    TComplexRegion& rgn = Regiao(W, H);
    if (tipo == 2) {
        QPoint p[] = {{cx - 2 * X, cy}, {cx - hx, cy - hy}, {cx, cy - 2 * Y}, {cx + hx, cy - hy},
                      {cx + 2 * X, cy}, {cx + hx, cy + hy}, {cx, cy + 2 * Y}, {cx - hx, cy + hy}};
        RotacionaPontos(p, 7, cx, angulo, cy);
        RegiaoPoligono(rgn, p);
    } else {
        QPoint p[] = {{cx - hx, cy - hy}, {cx + hx, cy - hy}, {cx + hx, cy + hy}, {cx - hx, cy + hy}};
        if (tipo == 1)
            RotacionaPontos(p, 3, cx, angulo, cy);
        else
            RotacionaPontos(p, 3, X, angulo, Y);
        RegiaoPoligono(rgn, p);
    }
    Revela(D, I, rgn);
}

// --- blinds ------------------------------------------------------------------------------------

void Persiana(QImage& D, const QImage& I, int W, int H, int P, bool horizontal) {
    TComplexRegion& rgn = Regiao(W, H);
    const int L = horizontal ? H : W;
    const int ripa = L / 40 + 1;
    const int aberta = MulDiv(ripa, P, 100);
    for (int x = 0; x < L; x += 2 * ripa) {
        if (horizontal)
            rgn.AddRect(0, x + ripa - aberta, W, x + ripa + aberta);
        else
            rgn.AddRect(x + ripa - aberta, 0, x + ripa + aberta, H);
    }
    Revela(D, I, rgn);
}

void PersianaIrregular(QImage& D, const QImage& I, int W, int H, int X, int Y, int P, int tipo) {
    TComplexRegion& rgn = Regiao(W, H);
    if (tipo <= 2) {
        if (X == 0) return;
        const int w = MulDiv(X, P, 100);
        if (tipo == 1)
            for (int x = 0; x < W; x += X) rgn.AddRect(x, 0, x + w, H);
        else
            for (int x = W; x > 0; x -= X) rgn.AddRect(x - w, 0, x, H);
    } else {
        if (Y == 0) return;
        const int v = MulDiv(Y, P, 100);
        if (tipo == 3)
            for (int y = 0; y < H; y += Y) rgn.AddRect(0, y, W, y + v);
        else
            for (int y = H; y > 0; y -= Y) rgn.AddRect(0, y - v, W, y);
    }
    Revela(D, I, rgn);
}

// --- per-pixel effects -------------------------------------------------------------------------

inline uint32_t* LinhaDe(QImage& img, uchar* base, int y) {
    return reinterpret_cast<uint32_t*>(base + img.bytesPerLine() * y);
}
inline const uint32_t* LinhaDe(const QImage& img, int y) {
    return reinterpret_cast<const uint32_t*>(img.constBits() + img.bytesPerLine() * y);
}

void QuadradosAleatorios(QImage& D, const QImage& I, int W, int H, int P) {
    GeradorAleatorio rnd{SementeDaImagem(I)};
    const int c = std::min(W, H) / 50 + 1;
    TComplexRegion& rgn = Regiao(W, H);
    for (int y = 0; y < H; y += 2 * c)
        for (int x = 0; x < W; x += 2 * c)
            if (rnd.Random(100) < P) rgn.AddRect(x, y, x + 2 * c, y + 2 * c);
    Revela(D, I, rgn);
}

void Dissolve(QImage& D, const QImage& I, int W, int H, int P) {
    GeradorAleatorio rnd{SementeDaImagem(I)};
    uchar* base = D.bits();
    for (int y = 0; y < H; ++y) {
        uint32_t* d = LinhaDe(D, base, y);
        const uint32_t* s = LinhaDe(I, y);
        for (int x = 0; x < W; ++x)
            if (rnd.Random(100) < P) d[x] = s[x];
    }
}

void BarrasAleatorias(QImage& D, const QImage& I, int W, int H, int P, bool colunas) {
    GeradorAleatorio rnd{SementeDaImagem(I)};
    uchar* base = D.bits();
    if (!colunas) {
        for (int y = H - 1; y >= 0; --y)
            if (rnd.Random(100) < P)
                std::memcpy(LinhaDe(D, base, y), LinhaDe(I, y), static_cast<size_t>(W) * 4);
        return;
    }
    thread_local std::vector<uint8_t> escolhidas;
    escolhidas.resize(W);
    for (int x = 0; x < W; ++x) escolhidas[x] = rnd.Random(100) < P;
    for (int y = 0; y < H; ++y) {
        uint32_t* d = LinhaDe(D, base, y);
        const uint32_t* s = LinhaDe(I, y);
        for (int x = 0; x < W; ++x)
            if (escolhidas[x]) d[x] = s[x];
    }
}

// Channels blend toward the new picture one after another, in an order drawn from the new
// picture: the first over the first third, the second over the middle third, the third
// over the last.
void MisturaCanais(QImage& D, const QImage& I, int W, int H, int P) {
    GeradorAleatorio rnd{SementeDaImagem(I)};
    const int c1 = rnd.Random(3);
    int c2;
    do c2 = rnd.Random(3);
    while (c2 == c1);
    const int c3 = 3 - c1 - c2;
    auto mascara = [](int canal) { return 0xffu << (8 * canal); };
    uint32_t copia = 0, mescla = 0;
    int f = 0;
    if (P < 34) {
        mescla = mascara(c1);
        f = MulDiv(256, P, 33);
    } else if (P > 66) {
        copia = mascara(c1) | mascara(c2);
        mescla = mascara(c3);
        f = MulDiv(256, P - 66, 33);
    } else {
        copia = mascara(c1);
        mescla = mascara(c2);
        f = MulDiv(256, P - 33, 33);
    }
    const uint32_t fu = static_cast<uint32_t>(std::clamp(f, 0, 256)), gu = 256 - fu;
    const uint32_t fica = ~(copia | mescla);
    uchar* base = D.bits();
    for (int y = 0; y < H; ++y) {
        uint32_t* d = LinhaDe(D, base, y);
        const uint32_t* s = LinhaDe(I, y);
        for (int x = 0; x < W; ++x) {
            const uint32_t c = d[x], n = s[x];
            const uint32_t rb = (((n & 0x00ff00ffu) * fu + (c & 0x00ff00ffu) * gu) >> 8) & 0x00ff00ffu;
            const uint32_t ag = (((n >> 8) & 0x00ff00ffu) * fu + ((c >> 8) & 0x00ff00ffu) * gu) & 0xff00ff00u;
            d[x] = (c & fica) | (n & copia) | ((rb | ag) & mescla);
        }
    }
}

// Zooms into the middle of the old picture until it is a few big blocks, then out of the
// new one; between 41 and 59 the two are blended inside the zoomed area.
void Pixela(QImage& D, const QImage& I, int W, int H, int X, int Y, int P) {
    const QImage* fonte = &D;
    int a = X, b = Y, escala = 180 - MulDiv(P, 82, 50);
    if (P > 50) {
        fonte = &I;
        a = W - X;
        b = H - Y;
        escala = 180 + MulDiv(P - 100, 82, 50);
    }
    int dx = MulDiv(a, escala, 100), dy = MulDiv(b, escala, 100);
    // The source block is at least 2 x 2 pixels; on a picture narrower than that (or when
    // rounding pushes the block's corner to the far edge) it is kept inside the picture.
    const int sw = std::min(std::max(W - 2 * dx, 2), W), sh = std::min(std::max(H - 2 * dy, 2), H);
    dx = std::min(dx, W - sw);
    dy = std::min(dy, H - sh);
    if (P >= 41 && P <= 59) {
        MesclaBitmaps(D, I, (P - 41) * 5 + 5, dx, dy, sw, sh);
        fonte = &D;
    }
    S(D, *fonte, -2 * dx, -2 * dy, W + 4 * dx, H + 4 * dy, dx, dy, sw, sh);
}

}  // namespace

// Every row's parameters, whether it uses them or not.
#define EFEITO(...)                                                                                 \
    [](QImage& D, [[maybe_unused]] const QImage& I, [[maybe_unused]] int W, [[maybe_unused]] int H, \
       [[maybe_unused]] int X, [[maybe_unused]] int Y, [[maybe_unused]] int P) { __VA_ARGS__ }

namespace {

// clang-format off
const TEffectEntry Tabela[PSEffectCount] = {
    /*   1 */ {"Expand from right", EFEITO(S(D, I, W - X, 0, X, H, 0, 0, W, H);)},
    /*   2 */ {"Expand from left", EFEITO(S(D, I, 0, 0, X, H, 0, 0, W, H);)},
    /*   3 */ {"Slide in from right", EFEITO(C(D, I, W - X, 0, W, H, 0, 0);)},
    /*   4 */ {"Slide in from left", EFEITO(C(D, I, X - W, 0, W, H, 0, 0);)},
    /*   5 */ {"Reveal from left", EFEITO(C(D, I, 0, 0, X, H, 0, 0);)},
    /*   6 */ {"Reveal from right", EFEITO(C(D, I, W - X, 0, X, H, W - X, 0);)},
    /*   7 */ {"Expand in from right", EFEITO(S(D, I, 0, 0, 2 * W - X, H, 0, 0, X, H);)},
    /*   8 */ {"Expand in from left", EFEITO(S(D, I, X - W, 0, 2 * W - X, H, W - X, 0, X, H);)},
    /*   9 */ {"Expand in to middle", EFEITO(S(D, I, X - W, 0, 3 * W - 2 * X, H, Md(W - X), 0, X, H);)},
    /*  10 */ {"Expand out from middle", EFEITO(S(D, I, Md(W - X), 0, X, H, 0, 0, W, H);)},
    /*  11 */ {"Reveal out from middle", EFEITO(C(D, I, Md(W - X), 0, X, H, Md(W - X), 0);)},
    /*  12 */ {"Reveal in from sides", EFEITO(C(D, I, 0, 0, Md(X), H, 0, 0);  C(D, I, W - Md(X), 0, Md(X), H, W - Md(X), 0);)},
    /*  13 */ {"Expand in from sides", EFEITO(S(D, I, 0, 0, Md(X), H, 0, 0, Md(W), H);  S(D, I, W - Md(X), 0, Md(X), H, Md(W), 0, Md(W), H);)},
    /*  14 */ {"Unroll from left", EFEITO(DesenrolaDaEsquerda(D, I, W, H, X);)},
    /*  15 */ {"Unroll from right", EFEITO(DesenrolaDaDireita(D, I, W, H, X);)},
    /*  16 */ {"Build up from right", EFEITO(C(D, I, 0, 0, X, H, 0, 0);  S(D, I, X, 0, W - X, H, X, 0, std::min(W - X, W / 10), H);)},
    /*  17 */ {"Build up from left", EFEITO(ConstroiDaEsquerda(D, I, W, H, X);)},
    /*  18 */ {"Expand from bottom", EFEITO(S(D, I, 0, H - Y, W, Y, 0, 0, W, H);)},
    /*  19 */ {"Expand from top", EFEITO(S(D, I, 0, 0, W, Y, 0, 0, W, H);)},
    /*  20 */ {"Slide in from bottom", EFEITO(C(D, I, 0, H - Y, W, H, 0, 0);)},
    /*  21 */ {"Slide in from top", EFEITO(C(D, I, 0, Y - H, W, H, 0, 0);)},
    /*  22 */ {"Reveal from top", EFEITO(C(D, I, 0, 0, W, Y, 0, 0);)},
    /*  23 */ {"Reveal from bottom", EFEITO(C(D, I, 0, H - Y, W, Y, 0, H - Y);)},
    /*  24 */ {"Expand in from bottom", EFEITO(S(D, I, 0, 0, W, 2 * H - Y, 0, 0, W, Y);)},
    /*  25 */ {"Expand in from top", EFEITO(S(D, I, 0, Y - H, W, 2 * H - Y, 0, H - Y, W, Y);)},
    /*  26 */ {"Expand in to middle (horizontal)", EFEITO(S(D, I, 0, Y - H, W, 3 * H - 2 * Y, 0, Md(H - Y), W, Y);)},
    /*  27 */ {"Expand out from middle (horizontal)", EFEITO(S(D, I, 0, Md(H - Y), W, Y, 0, 0, W, H);)},
    /*  28 */ {"Reveal from middle (horizontal)", EFEITO(C(D, I, 0, Md(H - Y), W, Y, 0, Md(H - Y));)},
    /*  29 */ {"Slide in from top and bottom", EFEITO(C(D, I, 0, 0, W, Md(Y), 0, 0);  C(D, I, 0, H - Md(Y), W, Md(Y), 0, H - Md(Y));)},
    /*  30 */ {"Expand in from top and bottom", EFEITO(S(D, I, 0, 0, W, Md(Y), 0, 0, W, Md(H));  S(D, I, 0, H - Md(Y), W, Md(Y), 0, Md(H), W, Md(H));)},
    /*  31 */ {"Unroll from top", EFEITO(DesenrolaDeCima(D, I, W, H, Y);)},
    /*  32 */ {"Unroll from bottom", EFEITO(DesenrolaDeBaixo(D, I, W, H, Y);)},
    /*  33 */ {"Expand from bottom", EFEITO(C(D, I, 0, 0, W, Y, 0, 0);  S(D, I, 0, Y, W, H - Y, 0, Y, W, std::min(H - Y, H / 10));)},
    /*  34 */ {"Expand in from top", EFEITO(ConstroiDeCima(D, I, W, H, Y);)},
    /*  35 */ {"Expand from bottom right", EFEITO(S(D, I, W - X, H - Y, X, Y, 0, 0, W, H);)},
    /*  36 */ {"Expand from top right", EFEITO(S(D, I, W - X, 0, X, Y, 0, 0, W, H);)},
    /*  37 */ {"Expand from top left", EFEITO(S(D, I, 0, 0, X, Y, 0, 0, W, H);)},
    /*  38 */ {"Expand from bottom left", EFEITO(S(D, I, 0, H - Y, X, Y, 0, 0, W, H);)},
    /*  39 */ {"Slide in from bottom right", EFEITO(C(D, I, W - X, H - Y, W, H, 0, 0);)},
    /*  40 */ {"Slide in from top right", EFEITO(C(D, I, W - X, Y - H, W, H, 0, 0);)},
    /*  41 */ {"Slide in from top left", EFEITO(C(D, I, X - W, Y - H, W, H, 0, 0);)},
    /*  42 */ {"Slide in from bottom left", EFEITO(C(D, I, X - W, H - Y, W, H, 0, 0);)},
    /*  43 */ {"Reveal from top left", EFEITO(C(D, I, 0, 0, X, Y, 0, 0);)},
    /*  44 */ {"Reveal from bottom left", EFEITO(C(D, I, 0, H - Y, X, Y, 0, H - Y);)},
    /*  45 */ {"Reveal from bottom right", EFEITO(C(D, I, W - X, H - Y, X, Y, W - X, H - Y);)},
    /*  46 */ {"Reveal from top right", EFEITO(C(D, I, W - X, 0, X, Y, W - X, 0);)},
    /*  47 */ {"Appear and Contract to top left", EFEITO(S(D, I, 0, 0, 2 * W - X, 2 * H - Y, 0, 0, X, Y);)},
    /*  48 */ {"Appear and Contract to bottom left", EFEITO(S(D, I, 0, Y - H, 2 * W - X, 2 * H - Y, 0, H - Y, X, Y);)},
    /*  49 */ {"Appear and Contract to bottom right", EFEITO(S(D, I, X - W, Y - H, 2 * W - X, 2 * H - Y, W - X, H - Y, X, Y);)},
    /*  50 */ {"Appear and Contract to top right", EFEITO(S(D, I, X - W, 0, 2 * W - X, 2 * H - Y, W - X, 0, X, Y);)},
    /*  51 */ {"Appear and Contract to middle", EFEITO(S(D, I, X - W, Y - H, 3 * W - 2 * X, 3 * H - 2 * Y, Md(W - X), Md(H - Y), X, Y);)},
    /*  52 */ {"Expand out from centre", EFEITO(S(D, I, Md(W - X), Md(H - Y), X, Y, 0, 0, W, H);)},
    /*  53 */ {"Reveal out from centre", EFEITO(C(D, I, Md(W - X), Md(H - Y), X, Y, Md(W - X), Md(H - Y));)},
    /*  54 */ {"Reveal in to centre", EFEITO(CopiaRegiao(D, I, QRegion(0, 0, W, H).subtracted(QRect(Md(X), Md(Y), W - 2 * Md(X), H - 2 * Md(Y))));)},
    /*  55 */ {"Quarters Reveal in to middle", EFEITO(QuatroCantos(D, I, W, H, X, Y);)},
    /*  56 */ {"Quarters Expand to middle", EFEITO(QuartosExpandem(D, I, W, H, X, Y);)},
    /*  57 */ {"Quarters Slide in to middle", EFEITO(QuartosDeslizam(D, I, W, H, X, Y);)},
    /*  58 */ {"Curved Reveal from left", EFEITO(Curva(D, I, W, H, -2 * W, 0, 2 * X, H + 1, 2 * W, 2 * W);)},
    /*  59 */ {"Curved Reveal from right", EFEITO(Curva(D, I, W, H, W - 2 * X, 0, 3 * W, H + 1, 2 * W, 2 * W);)},
    /*  60 */ {"Bars in from right", EFEITO(Barras(D, I, W, H, 2 * X, 0, 1, 0);)},
    /*  61 */ {"Bars in from left", EFEITO(Barras(D, I, W, H, 2 * X, 0, 2, 0);)},
    /*  62 */ {"Bars left then right", EFEITO(Barras(D, I, W, H, 2 * X, 0, 4, 0);)},
    /*  63 */ {"Bars right then left", EFEITO(Barras(D, I, W, H, 2 * X, 0, 5, 0);)},
    /*  64 */ {"Bars from both sides", EFEITO(Barras(D, I, W, H, X, 0, 3, 0);)},
    /*  65 */ {"Uneven shred from right", EFEITO(Tiras(D, I, W, H, X, 0, 1, 0);)},
    /*  66 */ {"Uneven shred from left", EFEITO(Tiras(D, I, W, H, X, 0, 2, 0);)},
    /*  67 */ {"Uneven shred out from middle (horizontal)", EFEITO(Tiras(D, I, W, H, X, 0, 3, 0);)},
    /*  68 */ {"Uneven shred in to middle (horizontal)", EFEITO(Tiras(D, I, W, H, X, 0, 4, 0);)},
    /*  69 */ {"Curved Reveal from top", EFEITO(Curva(D, I, W, H, 0, -2 * H, W + 1, 2 * Y, 2 * H, 2 * H);)},
    /*  70 */ {"Curved Reveal from bottom", EFEITO(Curva(D, I, W, H, 0, H - 2 * Y, W + 1, 3 * H, 2 * H, 2 * H);)},
    /*  71 */ {"Bars from bottom", EFEITO(Barras(D, I, W, H, 0, 2 * Y, 0, 1);)},
    /*  72 */ {"Bars from top", EFEITO(Barras(D, I, W, H, 0, 2 * Y, 0, 2);)},
    /*  73 */ {"Bars top then bottom", EFEITO(Barras(D, I, W, H, 0, 2 * Y, 0, 4);)},
    /*  74 */ {"Bars bottom then top", EFEITO(Barras(D, I, W, H, 0, 2 * Y, 0, 5);)},
    /*  75 */ {"Bars from top and bottom", EFEITO(Barras(D, I, W, H, 0, Y, 0, 3);)},
    /*  76 */ {"Unven shred from bottom", EFEITO(Tiras(D, I, W, H, 0, Y, 0, 1);)},
    /*  77 */ {"Uneven shred from top", EFEITO(Tiras(D, I, W, H, 0, Y, 0, 2);)},
    /*  78 */ {"Uneven shred from horizon", EFEITO(Tiras(D, I, W, H, 0, Y, 0, 3);)},
    /*  79 */ {"Uneven shred in to horizon", EFEITO(Tiras(D, I, W, H, 0, Y, 0, 4);)},
    /*  80 */ {"Curved reveal from top left", EFEITO(Curva(D, I, W, H, -W, -H, T3(X), T3(Y), 2 * W, 2 * H);)},
    /*  81 */ {"Curved reveal from top right", EFEITO(Curva(D, I, W, H, W - T3(X), -H, 2 * W, T3(Y), 2 * W, 2 * H);)},
    /*  82 */ {"Curved reveal from bottom left", EFEITO(Curva(D, I, W, H, -W, H - T3(Y), T3(X), 2 * H, 2 * W, 2 * H);)},
    /*  83 */ {"Curved reveal from bottom right", EFEITO(Curva(D, I, W, H, W - T3(X), H - T3(Y), 2 * W, 2 * H, 2 * W, 2 * H);)},
    /*  84 */ {"Elliptic reveal out from centre", EFEITO(Curva(D, I, W, H, Md(W) - X, Md(H) - Y, Md(W) + X, Md(H) + Y, 9 * X / 5, 9 * Y / 5);)},
    /*  85 */ {"Elliptic reveal in to centre", EFEITO(ElipseParaDentro(D, I, W, H, X, Y);)},
    /*  86 */ {"Criss Cross reveal from bottom right", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 1, 1);)},
    /*  87 */ {"Criss Cross reveal from top right", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 1, 2);)},
    /*  88 */ {"Criss Cross reveal from bottom left", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 2, 1);)},
    /*  89 */ {"Criss Cross reveal from top left", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 2, 2);)},
    /*  90 */ {"Criss Cross reveal bounce from top left", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 4, 4);)},
    /*  91 */ {"Criss Cross reveal bounce from bottom left", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 4, 5);)},
    /*  92 */ {"Criss Cross reveal bounce from top right", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 5, 4);)},
    /*  93 */ {"Criss Cross reveal bounce from bottom right", EFEITO(Barras(D, I, W, H, 2 * X, 2 * Y, 5, 5);)},
    /*  94 */ {"Criss Cross reveal from right top and bottom", EFEITO(Barras(D, I, W, H, X, Y, 1, 3);)},
    /*  95 */ {"Criss Cross reveal from left top and bottom", EFEITO(Barras(D, I, W, H, X, Y, 2, 3);)},
    /*  96 */ {"Criss Cross reveal from left right and bottom", EFEITO(Barras(D, I, W, H, X, Y, 3, 1);)},
    /*  97 */ {"Criss Cross reveal from left right and top", EFEITO(Barras(D, I, W, H, X, Y, 3, 2);)},
    /*  98 */ {"Criss Cross reveal from top left right and bottom", EFEITO(Barras(D, I, W, H, X, Y, 3, 3);)},
    /*  99 */ {"Criss Cross reveal from bottom left top right", EFEITO(BarrasCruzadas(D, I, W, H, X, Y);)},
    /* 100 */ {"Uneven shred from bottom and right", EFEITO(Tiras(D, I, W, H, X, Y, 1, 1);)},
    /* 101 */ {"Uneven shred from top and right", EFEITO(Tiras(D, I, W, H, X, Y, 1, 2);)},
    /* 102 */ {"Uneven shred from bottom and left", EFEITO(Tiras(D, I, W, H, X, Y, 2, 1);)},
    /* 103 */ {"Uneven shred from top and left", EFEITO(Tiras(D, I, W, H, X, Y, 2, 2);)},
    /* 104 */ {"Uneven shred from horizon and right", EFEITO(Tiras(D, I, W, H, X, Y, 1, 3);)},
    /* 105 */ {"Uneven shred from horizon and left", EFEITO(Tiras(D, I, W, H, X, Y, 2, 3);)},
    /* 106 */ {"Uneven shred from bottom and vert middle", EFEITO(Tiras(D, I, W, H, X, Y, 3, 1);)},
    /* 107 */ {"Uneven shred from top and vert middle", EFEITO(Tiras(D, I, W, H, X, Y, 3, 2);)},
    /* 108 */ {"Uneven shred from centre", EFEITO(Tiras(D, I, W, H, X, Y, 3, 3);)},
    /* 109 */ {"Uneven shred to centre", EFEITO(Tiras(D, I, W, H, X, Y, 4, 4);)},
    /* 110 */ {"Reveal diagonal from top left", EFEITO(Poligonos(D, I, W, H, {{{0, 0}, {2 * X, 0}, {0, 2 * Y}}});)},
    /* 111 */ {"Reveal diagonal from top right", EFEITO(Poligonos(D, I, W, H, {{{W, 0}, {W - 2 * X, 0}, {W, 2 * Y}}});)},
    /* 112 */ {"Reveal diagonal from bottom left", EFEITO(Poligonos(D, I, W, H, {{{0, H}, {2 * X, H}, {0, H - 2 * Y}}});)},
    /* 113 */ {"Reveal diagonal from bottom right", EFEITO(Poligonos(D, I, W, H, {{{W, H}, {W - 2 * X, H}, {W, H - 2 * Y}}});)},
    /* 114 */ {"Diagonal sweep from top left bottom right anticlockwise", EFEITO(Poligonos(D, I, W, H, {{{0, H}, {0, 0}, {X, H}}, {{W, H}, {W, 0}, {W - X, 0}}});)},
    /* 115 */ {"Diagonal sweep from top left bottom right clockwise", EFEITO(Poligonos(D, I, W, H, {{{W, 0}, {0, 0}, {W, Y}}, {{W, H}, {0, H}, {0, H - Y}}});)},
    /* 116 */ {"Starburst clockwise from center", EFEITO(Estrela(D, I, W, H, X, Y, false);)},
    /* 117 */ {"Starburst anticlockwise from center", EFEITO(Estrela(D, I, W, H, X, Y, true);)},
    /* 118 */ {"Triangular shred", EFEITO(TirasTriangulares(D, I, W, H, P);)},
    /* 119 */ {"Fade", EFEITO(MesclaBitmaps(D, I, P, 0, 0, W, H);)},
    /* 120 */ {"Pivot from top left", EFEITO(RotacionaBitmap(D, I, -1, (100 - P) * Giro, -1);)},
    /* 121 */ {"Pivot from bottom left", EFEITO(RotacionaBitmap(D, I, -1, (P - 100) * Giro, H);)},
    /* 122 */ {"Pivot from top right", EFEITO(RotacionaBitmap(D, I, W, (P - 100) * Giro, -1);)},
    /* 123 */ {"Pivot from bottom right", EFEITO(RotacionaBitmap(D, I, W, (100 - P) * Giro, H);)},
    /* 124 */ {"Speckle appear from right", EFEITO(Pontilhado(D, I, W, H, X, Y, 1, 0);)},
    /* 125 */ {"Speckle appear from left", EFEITO(Pontilhado(D, I, W, H, X, Y, 2, 0);)},
    /* 126 */ {"Speckle appear from bottom", EFEITO(Pontilhado(D, I, W, H, X, Y, 0, 1);)},
    /* 127 */ {"Speckle appear from top", EFEITO(Pontilhado(D, I, W, H, X, Y, 0, 2);)},
    /* 128 */ {"Random squares appear", EFEITO(QuadradosAleatorios(D, I, W, H, P);)},
    /* 129 */ {"Push right", EFEITO(C(D, D, X, 0, W - X, H, 0, 0);  C(D, I, 0, 0, X, H, W - X, 0);)},
    /* 130 */ {"Push left", EFEITO(C(D, D, 0, 0, W - X, H, X, 0);  C(D, I, W - X, 0, X, H, 0, 0);)},
    /* 131 */ {"Push and squeeze right", EFEITO(S(D, D, X, 0, W - X, H, 0, 0, W, H);  C(D, I, 0, 0, X, H, W - X, 0);)},
    /* 132 */ {"Push and squeeze left", EFEITO(S(D, D, 0, 0, W - X, H, 0, 0, W, H);  C(D, I, W - X, 0, X, H, 0, 0);)},
    /* 133 */ {"Push down", EFEITO(C(D, D, 0, Y, W, H - Y, 0, 0);  C(D, I, 0, 0, W, Y, 0, H - Y);)},
    /* 134 */ {"Push up", EFEITO(C(D, D, 0, 0, W, H - Y, 0, Y);  C(D, I, 0, H - Y, W, Y, 0, 0);)},
    /* 135 */ {"Push and sqeeze down", EFEITO(S(D, D, 0, Y, W, H - Y, 0, 0, W, H);  C(D, I, 0, 0, W, Y, 0, H - Y);)},
    /* 136 */ {"Push and sqeeze up", EFEITO(S(D, D, 0, 0, W, H - Y, 0, 0, W, H);  C(D, I, 0, H - Y, W, Y, 0, 0);)},
    /* 137 */ {"Blind vertically", EFEITO(Persiana(D, I, W, H, P, false);)},
    /* 138 */ {"Blind horizontally", EFEITO(Persiana(D, I, W, H, P, true);)},
    /* 139 */ {"Uneven blind from left", EFEITO(PersianaIrregular(D, I, W, H, X, Y, P, 1);)},
    /* 140 */ {"Uneven blind from right", EFEITO(PersianaIrregular(D, I, W, H, X, Y, P, 2);)},
    /* 141 */ {"Uneven blind from top", EFEITO(PersianaIrregular(D, I, W, H, X, Y, P, 3);)},
    /* 142 */ {"Uneven blind from bottom", EFEITO(PersianaIrregular(D, I, W, H, X, Y, P, 4);)},
    /* 143 */ {"Rectangular shred", EFEITO(QuadradosCrescentes(D, I, W, H, P);)},
    /* 144 */ {"Sweep clockwise", EFEITO(Varredura(D, I, W, H, P, 1);)},
    /* 145 */ {"Sweep anticlockwise", EFEITO(Varredura(D, I, W, H, P, -1);)},
    /* 146 */ {"Rectangles apear from left and disapear to right", EFEITO(RetangulosCruzados(D, I, W, H, X, Y, P, 1);)},
    /* 147 */ {"Rectangles apear from right and disapear to left", EFEITO(RetangulosCruzados(D, I, W, H, X, Y, P, 2);)},
    /* 148 */ {"Rectangles apear from up and disapear to bottom", EFEITO(RetangulosCruzados(D, I, W, H, X, Y, P, 3);)},
    /* 149 */ {"Rectangles apear from bottom and disapear to up", EFEITO(RetangulosCruzados(D, I, W, H, X, Y, P, 4);)},
    /* 150 */ {"Rotational rectangle in center", EFEITO(FiguraGirando(D, I, W, H, X, Y, P, 1);)},
    /* 151 */ {"Rotational star in center", EFEITO(FiguraGirando(D, I, W, H, X, Y, P, 2);)},
    /* 152 */ {"Spiral rectangle", EFEITO(FiguraGirando(D, I, W, H, X, Y, P, 3);)},
    /* 153 */ {"Circular shred", EFEITO(CirculosCrescentes(D, I, W, H, P);)},
    /* 154 */ {"Reveal V from left", EFEITO(Poligonos(D, I, W, H, {{{0, Md(H) - Y}, {2 * X, Md(H)}, {0, Md(H) + Y}}});)},
    /* 155 */ {"Reveal V from right", EFEITO(Poligonos(D, I, W, H, {{{W, Md(H) - Y}, {W - 2 * X, Md(H)}, {W, Md(H) + Y}}});)},
    /* 156 */ {"Reveal V from top", EFEITO(Poligonos(D, I, W, H, {{{Md(W) - X, 0}, {Md(W), 2 * Y}, {Md(W) + X, 0}}});)},
    /* 157 */ {"Reveal V from bottom", EFEITO(Poligonos(D, I, W, H, {{{Md(W) - X, H}, {Md(W), H - 2 * Y}, {Md(W) + X, H}}});)},
    /* 158 */ {"Bow Tie Horizontal", EFEITO(Poligonos(D, I, W, H, {{{0, Md(H) - Y}, {X, Md(H)}, {0, Md(H) + Y}}, {{W, Md(H) - Y}, {W - X, Md(H)}, {W, Md(H) + Y}}});)},
    /* 159 */ {"Bow Tie Vertical", EFEITO(Poligonos(D, I, W, H, {{{Md(W) - X, 0}, {Md(W), 2 * Y}, {Md(W) + X, 0}}, {{Md(W) - X, H}, {Md(W), H - 2 * Y}, {Md(W) + X, H}}});)},
    /* 160 */ {"Diagonal Cross In", EFEITO(CruzDiagonalEntra(D, I, W, H, X, Y);)},
    /* 161 */ {"Diagonal Cross Out", EFEITO(CruzDiagonalSai(D, I, W, H, X, Y);)},
    /* 162 */ {"Zigzag Horizontal", EFEITO(ZigueZague(D, I, W, H, X, Y, P, false);)},
    /* 163 */ {"Zigzag Vertical", EFEITO(ZigueZague(D, I, W, H, X, Y, P, true);)},
    /* 164 */ {"Diamond shred", EFEITO(Losangos(D, I, W, H, P);)},
    /* 165 */ {"Reveal diamond out from centre", EFEITO(Poligonos(D, I, W, H, {{{Md(W) - X, Md(H)}, {Md(W), Md(H) - Y}, {Md(W) + X, Md(H)}, {Md(W), Md(H) + Y}}});)},
    /* 166 */ {"Reveal diamond in to centre", EFEITO(LosangoParaDentro(D, I, W, H, X, Y);)},
    /* 167 */ {"Diagonal Box Out", EFEITO(CaixaDiagonal(D, I, W, H, X, Y);)},
    /* 168 */ {"Pixelate", EFEITO(Pixela(D, I, W, H, X, Y, P);)},
    /* 169 */ {"Dissolve", EFEITO(Dissolve(D, I, W, H, P);)},
    /* 170 */ {"Random Bars Horizontal", EFEITO(BarrasAleatorias(D, I, W, H, P, false);)},
    /* 171 */ {"Random Bars Vertical", EFEITO(BarrasAleatorias(D, I, W, H, P, true);)},
    /* 172 */ {"Channel Mix", EFEITO(MisturaCanais(D, I, W, H, P);)},
    /* 173 */ {"Slide out from right", EFEITO(C(D, D, X, 0, W - X, H, 0, 0);  C(D, I, 0, 0, X, H, 0, 0);)},
    /* 174 */ {"Slide out from left", EFEITO(C(D, D, 0, 0, W - X, H, X, 0);  C(D, I, W - X, 0, X, H, W - X, 0);)},
    /* 175 */ {"Slide out from bottom", EFEITO(C(D, D, 0, Y, W, H - Y, 0, 0);  C(D, I, 0, 0, W, Y, 0, 0);)},
    /* 176 */ {"Slide out from top", EFEITO(C(D, D, 0, 0, W, H - Y, 0, Y);  C(D, I, 0, H - Y, W, Y, 0, H - Y);)},
};
// clang-format on

}  // namespace

#undef EFEITO

const TEffectEntry* PSEffect(int row) {
    if (row < 1 || row > PSEffectCount) return nullptr;
    return &Tabela[row - 1];
}

int PSEffectByName(const QString& name) {
    for (int i = 0; i < PSEffectCount; ++i)
        if (name.compare(QLatin1String(Tabela[i].Name), Qt::CaseInsensitive) == 0) return i + 1;
    return 0;
}

void EscalaProgresso(int W, int H, int Progress, int& X, int& Y) {
    if (H <= W) {
        X = MulDiv(W, Progress, 100);
        Y = W > 0 ? MulDiv(X, H, W) : 0;
    } else {
        Y = MulDiv(H, Progress, 100);
        X = MulDiv(Y, W, H);
    }
}

}  // namespace tarvo
