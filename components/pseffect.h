// The 176 transition effects of the picture-transition control, the table that names
// them and the drawing routines they share.
//
// Every effect draws one frame into Display, which already holds the start image of
// the frame; Image is the new picture. Both are W x H, QImage::Format_RGB32 (32 bits a
// pixel). Progress runs 1..99 (the control draws 0 and 100 itself); X and Y are the
// progress scaled to the picture (see EscalaProgresso). An effect keeps no state
// between frames and never touches a pixel outside its two images.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvo {

using TEffectProc = void (*)(QImage& Display, const QImage& Image, int W, int H, int X, int Y, int Progress);

struct TEffectEntry {
    const char* Name;
    TEffectProc Proc;
};

// Number of effects; style n of the control selects row n (1..PSEffectCount).
inline constexpr int PSEffectCount = 176;

// Row n of the table (1..176); nullptr outside that range.
const TEffectEntry* PSEffect(int row);

// First row whose name equals the text ignoring case, searched from row 1; 0 when none.
// A name stored twice (rows 33 and 34 repeat 18 and 25) resolves to its first row.
int PSEffectByName(const QString& name);

// X and Y of a frame: the progress scaled along the longer side, the other side
// following the picture's aspect.
void EscalaProgresso(int W, int H, int Progress, int& X, int& Y);

// Rounded a * b / c (halves away from zero); -1 when c is 0.
int MulDiv(int a, int b, int c);

// --- random numbers ----------------------------------------------------------------------
// The linear congruential generator the effects draw their patterns from:
// seed := seed * 134775813 + 1 (mod 2^32); Random(n) is the high half of seed * n.
struct GeradorAleatorio {
    uint32_t Seed = 0;
    int Random(int n) {
        Seed = Seed * 134775813u + 1u;
        return n <= 0 ? 0 : static_cast<int>((static_cast<uint64_t>(Seed) * static_cast<uint32_t>(n)) >> 32);
    }
};
// Shared generator of the patterns that change every frame (shreds, speckles); one per thread
// so that a control rendering off the GUI thread does not race another one.
GeradorAleatorio& GeradorGlobal();
// Seed of the patterns that must stay put through one transition: taken from the new
// picture's identity, so every frame of a transition draws the same cells and a cell chosen
// at progress p stays chosen at every higher progress.
uint32_t SementeDaImagem(const QImage& Image);

// --- regions -------------------------------------------------------------------------------
// A growable list of rectangles turned into one region. Rectangles are clipped to the
// picture as they are added (nothing outside it is ever drawn), may overlap, and are
// merged into the banded form QRegion keeps.
class TComplexRegion {
  public:
    TComplexRegion() = default;
    explicit TComplexRegion(int width, int height) { Limites(width, height); }

    // The picture the rectangles are clipped to; also clears.
    void Limites(int width, int height);
    void Clear();
    // Rectangle with exclusive right and bottom edges, as the effects compute them.
    void AddRect(int left, int top, int right, int bottom);
    bool Empty() const { return rects_.empty(); }
    int Largura() const { return width_; }
    int Altura() const { return height_; }
    QRect Bounds() const;
    // The union of the rectangles; empty when none was added (the effects then draw nothing).
    QRegion CreateRegion();

  private:
    struct Caixa {
        int l, t, r, b;
    };
    int width_ = 0, height_ = 0;
    int bl_ = 2147483647, bt_ = 2147483647, br_ = -2147483647, bb_ = -2147483647;
    std::vector<Caixa> rects_;
    // scratch kept between calls so that a frame allocates nothing once warmed up
    std::vector<int> inicio_, ordem_, ativos_;
    std::vector<uint8_t> muda_;
    std::vector<std::pair<int, int>> faixas_, anteriores_;
    std::vector<QRect> saida_;
};

// Polygon filled with the winding rule; a pixel belongs to it when its centre does.
void RegiaoPoligono(TComplexRegion& rgn, std::span<const QPoint> points);
// Rounded rectangle (exclusive right/bottom) with corner ellipses of ew x eh, each clamped
// to the rectangle; an ellipse is the rectangle with ew and eh equal to its size.
void RegiaoRetanguloArredondado(TComplexRegion& rgn, int left, int top, int right, int bottom, int ew,
                                int eh);
// Fan: the centre and n points on the circle of radius r at start + k * (end - start) / n,
// k = 0 .. n - 1; with n = 1 it encloses nothing.
void RegiaoLeque(TComplexRegion& rgn, int cx, int cy, int r, double start, double end, int n);

// Bars, shred and speckle patterns of the effect families that use them; a and b are the
// horizontal and vertical extents, h and v the direction codes (0: that direction unused).
void PadraoBarras(TComplexRegion& rgn, int a, int b, int W, int H, int h, int v);
void PadraoTiras(TComplexRegion& rgn, int a, int b, int W, int H, int h, int v);
void PadraoPontilhado(TComplexRegion& rgn, int a, int b, int W, int H, int h, int v);

// --- pixels ----------------------------------------------------------------------------------
// Copies the Image into the Display inside the region.
void CopiaRegiao(QImage& Display, const QImage& Image, const QRegion& region);

// Brightness ramp over columns x0 .. x0 + n - 1 (all rows) or rows y0 .. y0 + n - 1: darkest
// (-amount) at both ends, lightest in the middle, like light on a cylinder.
void RampaBrilhoColunas(QImage& bmp, int amount, int x0, int n);
void RampaBrilhoLinhas(QImage& bmp, int amount, int y0, int n);

// Blends the source into the destination by percent inside the rectangle: every byte c
// becomes c + ((s - c) * f) >> 8 with f = MulDiv(256, percent, 100).
void MesclaBitmaps(QImage& destination, const QImage& source, int percent, int left, int top, int width,
                   int height);

// Rotates the source by angle (radians) about (cx, cy) into the destination, in 16.16
// fixed point; pixels whose source falls outside the source keep their value.
void RotacionaBitmap(QImage& destination, const QImage& source, int cx, double angle, int cy);

// Rotates points [0, last] about (cx, cy) by angle, rounding to whole pixels.
void RotacionaPontos(QPoint* points, int last, int cx, double angle, int cy);

// Block copy C(dx, dy, w, h; sx, sy) and nearest-neighbour stretch S(dx, dy, dw, dh; sx, sy,
// sw, sh) from source to destination; a negative dw or dh mirrors (the block then covers
// dx + dw + 1 .. dx). Both clip to the two images; source may be the destination itself.
void CopiaBloco(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy);
void EsticaBloco(QImage& dst, int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw,
                 int sh);

}  // namespace tarvo
