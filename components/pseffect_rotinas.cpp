// Drawing routines shared by the transition effects: block copies and stretches,
// regions and their patterns, brightness ramps, blending and rotation.
//
// Everything works on 32-bit scanlines directly; QPainter would cost a state setup per
// call and per-pixel paths for mirrored stretches, which the 60 frames a second on a
// 1024 x 768 picture cannot afford. Scratch buffers are kept per thread so that a frame
// allocates nothing once the first one has run.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "pseffect.h"

namespace tarvo {

namespace {

inline uint32_t* Linha(uchar* base, qsizetype bpl, int y) {
    return reinterpret_cast<uint32_t*>(base + bpl * y);
}
inline const uint32_t* Linha(const uchar* base, qsizetype bpl, int y) {
    return reinterpret_cast<const uint32_t*>(base + bpl * y);
}

// Copy of an image kept per thread, for stretches whose source is their own destination.
const QImage& CopiaTemporaria(const QImage& src) {
    thread_local QImage copia;
    if (copia.size() != src.size() || copia.format() != src.format())
        copia = QImage(src.size(), src.format());
    const qsizetype n = std::min(copia.bytesPerLine(), src.bytesPerLine());
    for (int y = 0; y < src.height(); ++y) std::memcpy(copia.scanLine(y), src.constScanLine(y), n);
    return copia;
}

}  // namespace

// --- numbers -------------------------------------------------------------------------------

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    const int64_t q = c;
    const int64_t ap = p < 0 ? -p : p, aq = q < 0 ? -q : q;
    int64_t r = (ap + aq / 2) / aq;
    if ((p < 0) != (q < 0)) r = -r;
    return static_cast<int>(r);
}

GeradorAleatorio& GeradorGlobal() {
    thread_local GeradorAleatorio gerador;
    return gerador;
}

uint32_t SementeDaImagem(const QImage& Image) {
    const uint64_t k = static_cast<uint64_t>(Image.cacheKey());
    return static_cast<uint32_t>(k >> 32) ^ static_cast<uint32_t>(k);
}

// --- TComplexRegion ----------------------------------------------------------------------

void TComplexRegion::Limites(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    Clear();
}

void TComplexRegion::Clear() {
    rects_.clear();
    bl_ = bt_ = 2147483647;
    br_ = bb_ = -2147483647;
}

void TComplexRegion::AddRect(int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    if (left >= right || top >= bottom) return;
    rects_.push_back({left, top, right, bottom});
    bl_ = std::min(bl_, left);
    bt_ = std::min(bt_, top);
    br_ = std::max(br_, right);
    bb_ = std::max(bb_, bottom);
}

QRect TComplexRegion::Bounds() const {
    if (rects_.empty()) return {};
    return QRect(bl_, bt_, br_ - bl_, bb_ - bt_);
}

QRegion TComplexRegion::CreateRegion() {
    const int n = static_cast<int>(rects_.size());
    if (n == 0) return {};
    const int H = height_;

    // Rectangles by top row (counting sort), and the rows where the set of rectangles
    // crossing a row changes: a band of the region lies between two such rows.
    inicio_.assign(H + 2, 0);
    muda_.assign(H + 1, 0);
    for (const Caixa& c : rects_) {
        ++inicio_[c.t + 1];
        muda_[c.t] = 1;
        muda_[c.b] = 1;
    }
    for (int y = 0; y <= H; ++y) inicio_[y + 1] += inicio_[y];
    ordem_.resize(n);
    ativos_.assign(inicio_.begin(), inicio_.end() - 1);  // cursors, reused below as the active list
    for (int i = 0; i < n; ++i) ordem_[ativos_[rects_[i].t]++] = i;

    ativos_.clear();
    anteriores_.clear();
    saida_.clear();
    size_t inicioFaixa = 0;
    int fimAnterior = -1;
    int y0 = -1;
    for (int y = 0; y <= H; ++y) {
        if (!muda_[y]) continue;
        if (y0 >= 0 && !faixas_.empty()) {
            // emit the band [y0, y)
            if (faixas_ == anteriores_ && fimAnterior == y0) {
                for (size_t i = inicioFaixa; i < saida_.size(); ++i) saida_[i].setBottom(y - 1);
            } else {
                inicioFaixa = saida_.size();
                for (const auto& [l, r] : faixas_) saida_.emplace_back(l, y0, r - l, y - y0);
                anteriores_ = faixas_;
            }
            fimAnterior = y;
        }
        y0 = y;
        // update the active list at row y and merge its spans
        std::erase_if(ativos_, [&](int i) { return rects_[i].b <= y; });
        for (int k = inicio_[y]; k < inicio_[y + 1]; ++k) ativos_.push_back(ordem_[k]);
        faixas_.clear();
        for (int i : ativos_) faixas_.emplace_back(rects_[i].l, rects_[i].r);
        std::sort(faixas_.begin(), faixas_.end());
        size_t m = 0;
        for (size_t i = 0; i < faixas_.size(); ++i) {
            if (m > 0 && faixas_[i].first <= faixas_[m - 1].second)
                faixas_[m - 1].second = std::max(faixas_[m - 1].second, faixas_[i].second);
            else
                faixas_[m++] = faixas_[i];
        }
        faixas_.resize(m);
    }
    QRegion regiao;
    if (!saida_.empty()) regiao.setRects(saida_.data(), static_cast<int>(saida_.size()));
    return regiao;
}

// --- region shapes ---------------------------------------------------------------------------

void RegiaoPoligono(TComplexRegion& rgn, std::span<const QPoint> points) {
    const int n = static_cast<int>(points.size());
    if (n < 3) return;
    int ymin = points[0].y(), ymax = ymin;
    for (const QPoint& p : points) {
        ymin = std::min(ymin, p.y());
        ymax = std::max(ymax, p.y());
    }
    thread_local std::vector<std::pair<double, int>> cortes;
    const int primeira = std::max(ymin, 0);
    const int ultima = std::min(ymax, rgn.Altura());
    for (int y = primeira; y < ultima; ++y) {
        const double yc = y + 0.5;
        cortes.clear();
        for (int i = 0; i < n; ++i) {
            const QPoint& p = points[i];
            const QPoint& q = points[(i + 1) % n];
            if (p.y() == q.y()) continue;
            const bool desce = p.y() < q.y();
            const int ya = desce ? p.y() : q.y(), yb = desce ? q.y() : p.y();
            if (yc < ya || yc >= yb) continue;
            const double x = p.x() + (yc - p.y()) * (q.x() - p.x()) / static_cast<double>(q.y() - p.y());
            cortes.emplace_back(x, desce ? 1 : -1);
        }
        std::sort(cortes.begin(), cortes.end());
        int voltas = 0;
        double inicio = 0;
        for (const auto& [x, sentido] : cortes) {
            const int antes = voltas;
            voltas += sentido;
            if (antes == 0 && voltas != 0) {
                inicio = x;
            } else if (antes != 0 && voltas == 0) {
                rgn.AddRect(static_cast<int>(std::ceil(inicio - 0.5)), y,
                            static_cast<int>(std::ceil(x - 0.5)), y + 1);
            }
        }
    }
}

void RegiaoRetanguloArredondado(TComplexRegion& rgn, int left, int top, int right, int bottom, int ew,
                                int eh) {
    if (right <= left || bottom <= top) return;
    ew = std::min(std::abs(ew), right - left);
    eh = std::min(std::abs(eh), bottom - top);
    const double rx = ew / 2.0, ry = eh / 2.0;
    const int primeira = std::max(top, 0), ultima = std::min(bottom, rgn.Altura());
    for (int y = primeira; y < ultima; ++y) {
        const double yc = y + 0.5;
        double recuo = 0;
        if (ry > 0) {
            double dy = 0;
            if (yc < top + ry)
                dy = top + ry - yc;
            else if (yc > bottom - ry)
                dy = yc - (bottom - ry);
            if (dy > 0) {
                const double q = dy / ry;
                if (q >= 1) continue;
                recuo = rx * (1 - std::sqrt(1 - q * q));
            }
        }
        rgn.AddRect(static_cast<int>(std::ceil(left + recuo - 0.5)), y,
                    static_cast<int>(std::ceil(right - recuo - 0.5)), y + 1);
    }
}

void RegiaoLeque(TComplexRegion& rgn, int cx, int cy, int r, double start, double end, int n) {
    if (n < 1) return;
    thread_local std::vector<QPoint> pontos;
    pontos.resize(n + 1);
    pontos[0] = QPoint(cx, cy);
    const double passo = (end - start) / n;
    double a = start;
    for (int k = 0; k < n; ++k) {
        pontos[k + 1] = QPoint(static_cast<int>(std::lround(r * std::cos(a))) + cx,
                               static_cast<int>(std::lround(r * std::sin(a))) + cy);
        a += passo;
    }
    RegiaoPoligono(rgn, pontos);
}

// --- patterns ----------------------------------------------------------------------------

namespace {

// One direction of the bars pattern; `faixa` adds a band across the picture (rows for the
// horizontal direction, columns for the vertical one) from p0 to p1 along its length.
template <typename Faixa>
void Barras(int a, int comprimento, int extensao, int s, int codigo, Faixa faixa) {
    const int L = comprimento;
    for (int y = (a > L ? s : 0); y < extensao + s; y += 2 * s) {
        if (a <= L) {
            switch (codigo) {
                case 1:
                case 5:
                    faixa(y, y + s, L - a, L);
                    break;
                case 2:
                case 4:
                    faixa(y, y + s, 0, a);
                    break;
                case 3:
                    faixa(y + s, y + 2 * s, 0, a);
                    faixa(y, y + s, L - a, L);
                    break;
            }
        } else {
            // the first half has filled the bands between; they stay whole while the
            // remaining bands come in
            faixa(y - s, y, 0, L);
            switch (codigo) {
                case 1:
                case 4:
                    faixa(y, y + s, 2 * L - a, L);
                    break;
                case 2:
                case 5:
                    faixa(y, y + s, 0, a - L);
                    break;
                default:
                    faixa(y, y + s, 0, L);
                    break;
            }
        }
    }
}

}  // namespace

void PadraoBarras(TComplexRegion& rgn, int a, int b, int W, int H, int h, int v) {
    const int s = std::min(W, H) / 50 + 1;
    if (h != 0) Barras(a, W, H, s, h, [&](int y0, int y1, int x0, int x1) { rgn.AddRect(x0, y0, x1, y1); });
    if (v != 0) Barras(b, H, W, s, v, [&](int x0, int x1, int y0, int y1) { rgn.AddRect(x0, y0, x1, y1); });
}

void PadraoTiras(TComplexRegion& rgn, int a, int b, int W, int H, int h, int v) {
    GeradorAleatorio& rnd = GeradorGlobal();
    const int s = std::min(W, H) / 200 + 1;
    const int rW = W % s, rH = H % s;
    if (h != 0) {
        const int j = a < W ? W / 10 : 0;
        for (int y = 0; y < H; y += s) {
            const int len = rnd.Random(2 * j) - j + a;
            const int y1 = y + s + rH;
            switch (h) {
                case 1:
                    rgn.AddRect(W - len, y, W, y1);
                    break;
                case 2:
                    rgn.AddRect(0, y, len, y1);
                    break;
                case 3:
                    rgn.AddRect(W / 2 - len / 2, y, W / 2 + len / 2, y1);
                    break;
                case 4:
                    rgn.AddRect(0, y, len / 2, y1);
                    rgn.AddRect(W - len / 2, y, W, y1);
                    break;
            }
        }
    }
    if (v != 0) {
        const int j = b < H ? H / 10 : 0;
        for (int x = 0; x < W; x += s) {
            const int len = rnd.Random(2 * j) - j + b;
            const int x1 = x + s + rW;
            switch (v) {
                case 1:
                    rgn.AddRect(x, H - len, x1, H);
                    break;
                case 2:
                    rgn.AddRect(x, 0, x1, len);
                    break;
                case 3:
                    rgn.AddRect(x, H / 2 - len / 2, x1, H / 2 + len / 2);
                    break;
                case 4:
                    rgn.AddRect(x, 0, x1, len / 2);
                    rgn.AddRect(x, H - len / 2, x1, H);
                    break;
            }
        }
    }
}

void PadraoPontilhado(TComplexRegion& rgn, int a, int b, int W, int H, int h, int v) {
    GeradorAleatorio& rnd = GeradorGlobal();
    // Bands advance by half a cell, so the cells of neighbouring bands overlap and the
    // fringe reads as loose speckles rather than a grid.
    if (h != 0) {
        const int j = a < W ? W / 10 : 0;
        const int c = std::max(j / 20, 2);
        const int passo = std::max(c / 2, 1);
        for (int y = 0; y < H; y += passo) {
            if (h == 1)
                rgn.AddRect(W - a, y, W, y + passo);
            else
                rgn.AddRect(0, y, a, y + passo);
            for (int k = 1; k <= j / c; ++k) {
                const int limite = 4 * k * c <= 3 * j ? 1 : 0;
                if (rnd.Random(k) > limite) continue;
                if (h == 1)
                    rgn.AddRect(W - a - k * c, y, W - a - (k - 1) * c, y + c);
                else
                    rgn.AddRect(a + (k - 1) * c, y, a + k * c, y + c);
            }
        }
    }
    if (v != 0) {
        const int j = b < H ? H / 10 : 0;
        const int c = std::max(j / 20, 2);
        const int passo = std::max(c / 2, 1);
        for (int x = 0; x < W; x += passo) {
            if (v == 1)
                rgn.AddRect(x, H - b, x + passo, H);
            else
                rgn.AddRect(x, 0, x + passo, b);
            for (int k = 1; k <= j / c; ++k) {
                const int limite = 4 * k * c <= 3 * j ? 1 : 0;
                if (rnd.Random(k) > limite) continue;
                if (v == 1)
                    rgn.AddRect(x, H - b - k * c, x + c, H - b - (k - 1) * c);
                else
                    rgn.AddRect(x, b + (k - 1) * c, x + c, b + k * c);
            }
        }
    }
}

// --- pixels --------------------------------------------------------------------------------

void CopiaRegiao(QImage& Display, const QImage& Image, const QRegion& region) {
    if (region.isEmpty()) return;
    const QRect limite = Display.rect() & Image.rect();
    uchar* d = Display.bits();
    const uchar* s = Image.constBits();
    const qsizetype dbpl = Display.bytesPerLine(), sbpl = Image.bytesPerLine();
    for (const QRect& r0 : region) {
        const QRect r = r0 & limite;
        if (r.isEmpty()) continue;
        const size_t n = static_cast<size_t>(r.width()) * 4;
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(Linha(d, dbpl, y) + r.left(), Linha(s, sbpl, y) + r.left(), n);
    }
}

namespace {

// Offsets of the brightness ramp: -amount at both ends rising to about 0 in the middle.
const std::vector<int>& TabelaRampa(int amount, int n) {
    thread_local std::vector<int> tabela;
    tabela.resize(n);
    const int half = n / 2;
    int o = -amount;
    if (amount <= half) {
        const int cada = half / amount;
        for (int i = 0; i < n; ++i) {
            tabela[i] = o;
            if ((i + 1) % cada == 0) o += i < half ? 1 : -1;
        }
    } else {
        const int d = amount / half;
        for (int i = 0; i < n; ++i) {
            tabela[i] = o;
            o += i < half ? d : -d;
        }
    }
    return tabela;
}

inline uint32_t Clareia(uint32_t p, int o) {
    const int b = std::clamp(static_cast<int>(p & 0xff) + o, 0, 255);
    const int g = std::clamp(static_cast<int>((p >> 8) & 0xff) + o, 0, 255);
    const int r = std::clamp(static_cast<int>((p >> 16) & 0xff) + o, 0, 255);
    return (p & 0xff000000u) | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}

}  // namespace

void RampaBrilhoColunas(QImage& bmp, int amount, int x0, int n) {
    if (n < 2 || amount == 0) return;
    const std::vector<int>& t = TabelaRampa(amount, n);
    const int a = std::max(x0, 0), b = std::min(x0 + n, bmp.width());
    if (a >= b) return;
    uchar* base = bmp.bits();
    for (int y = 0; y < bmp.height(); ++y) {
        uint32_t* l = Linha(base, bmp.bytesPerLine(), y);
        for (int x = a; x < b; ++x) l[x] = Clareia(l[x], t[x - x0]);
    }
}

void RampaBrilhoLinhas(QImage& bmp, int amount, int y0, int n) {
    if (n < 2 || amount == 0) return;
    const std::vector<int>& t = TabelaRampa(amount, n);
    const int a = std::max(y0, 0), b = std::min(y0 + n, bmp.height());
    uchar* base = bmp.bits();
    for (int y = a; y < b; ++y) {
        uint32_t* l = Linha(base, bmp.bytesPerLine(), y);
        const int o = t[y - y0];
        for (int x = 0; x < bmp.width(); ++x) l[x] = Clareia(l[x], o);
    }
}

void MesclaBitmaps(QImage& destination, const QImage& source, int percent, int left, int top, int width,
                   int height) {
    const QRect r = QRect(left, top, width, height) & destination.rect() & source.rect();
    if (r.isEmpty()) return;
    // c + ((s - c) * f) >> 8 equals (s * f + c * (256 - f)) >> 8, which two bytes at a time
    // fit in 16-bit lanes of a 32-bit word without carrying into the next byte.
    const uint32_t f = static_cast<uint32_t>(std::clamp(MulDiv(256, percent, 100), 0, 256));
    const uint32_t g = 256 - f;
    uchar* d = destination.bits();
    const uchar* s = source.constBits();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint32_t* dl = Linha(d, destination.bytesPerLine(), y);
        const uint32_t* sl = Linha(s, source.bytesPerLine(), y);
        for (int x = r.left(); x <= r.right(); ++x) {
            const uint32_t c = dl[x], n = sl[x];
            const uint32_t rb = (((n & 0x00ff00ffu) * f + (c & 0x00ff00ffu) * g) >> 8) & 0x00ff00ffu;
            const uint32_t ag = (((n >> 8) & 0x00ff00ffu) * f + ((c >> 8) & 0x00ff00ffu) * g) & 0xff00ff00u;
            dl[x] = rb | ag;
        }
    }
}

void RotacionaBitmap(QImage& destination, const QImage& source, int cx, double angle, int cy) {
    const int64_t sn = static_cast<int64_t>(std::sin(-angle) * 65536.0);
    const int64_t cs = static_cast<int64_t>(std::cos(-angle) * 65536.0);
    const int sw = source.width(), sh = source.height();
    uchar* d = destination.bits();
    const uchar* s = source.constBits();
    const qsizetype sbpl = source.bytesPerLine();
    for (int y = 0; y < destination.height(); ++y) {
        uint32_t* dl = Linha(d, destination.bytesPerLine(), y);
        const int64_t dy = y - cy;
        int64_t ux = -static_cast<int64_t>(cx) * cs - dy * sn;
        int64_t uy = -static_cast<int64_t>(cx) * sn + dy * cs;
        for (int x = 0; x < destination.width(); ++x, ux += cs, uy += sn) {
            const int64_t sx = cx + (ux >> 16), sy = cy + (uy >> 16);
            if (sx < 0 || sy < 0 || sx >= sw || sy >= sh) continue;
            dl[x] = Linha(s, sbpl, static_cast<int>(sy))[sx];
        }
    }
}

void RotacionaPontos(QPoint* points, int last, int cx, double angle, int cy) {
    const double sn = std::sin(angle), cs = std::cos(angle);
    for (int i = 0; i <= last; ++i) {
        const double dx = points[i].x() - cx, dy = points[i].y() - cy;
        points[i] = QPoint(cx + static_cast<int>(std::lround(dx * cs - dy * sn)),
                           cy + static_cast<int>(std::lround(dx * sn + dy * cs)));
    }
}

void CopiaBloco(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy) {
    if (w <= 0 || h <= 0) return;
    const int ox = sx - dx, oy = sy - dy;
    const int x0 = std::max({dx, 0, -ox}), x1 = std::min({dx + w, dst.width(), src.width() - ox});
    const int y0 = std::max({dy, 0, -oy}), y1 = std::min({dy + h, dst.height(), src.height() - oy});
    if (x0 >= x1 || y0 >= y1) return;
    uchar* d = dst.bits();  // detaches first, so a shared copy is no longer the same memory
    const uchar* s = src.constBits();
    const qsizetype dbpl = dst.bytesPerLine(), sbpl = src.bytesPerLine();
    const size_t n = static_cast<size_t>(x1 - x0) * 4;
    // Within one image a block moving down must be copied from its last row up.
    if (d == s && oy < 0) {
        for (int y = y1 - 1; y >= y0; --y)
            std::memmove(Linha(d, dbpl, y) + x0, Linha(s, sbpl, y + oy) + x0 + ox, n);
    } else {
        for (int y = y0; y < y1; ++y)
            std::memmove(Linha(d, dbpl, y) + x0, Linha(s, sbpl, y + oy) + x0 + ox, n);
    }
}

void EsticaBloco(QImage& dst, int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw,
                 int sh) {
    if (dw == 0 || dh == 0 || sw <= 0 || sh <= 0 || src.isNull()) return;
    const int adw = std::abs(dw), adh = std::abs(dh);
    // A negative size mirrors: the block covers dx + dw + 1 .. dx, its first source column at dx.
    const int dl = dw > 0 ? dx : dx + dw + 1, dt = dh > 0 ? dy : dy + dh + 1;
    const int cl = std::max(dl, 0), cr = std::min(dl + adw, dst.width());
    const int ct = std::max(dt, 0), cb = std::min(dt + adh, dst.height());
    if (cl >= cr || ct >= cb) return;

    uchar* d = dst.bits();
    const QImage& fonte = d == src.constBits() ? CopiaTemporaria(src) : src;
    const uchar* s = fonte.constBits();
    const qsizetype dbpl = dst.bytesPerLine(), sbpl = fonte.bytesPerLine();
    const int sW = fonte.width(), sH = fonte.height();

    // Each destination pixel takes the source pixel under its centre; a block reaching past
    // the source reads the source's nearest edge instead of memory outside it.
    auto mapeia = [](int k, int soma, int tamanho, int origem, int limite) {
        const int64_t v =
            origem + ((2 * static_cast<int64_t>(k) + 1) * soma) / (2 * static_cast<int64_t>(tamanho));
        return static_cast<int>(std::clamp<int64_t>(v, 0, limite - 1));
    };
    thread_local std::vector<int> colunas;
    colunas.resize(cr - cl);
    for (int x = cl; x < cr; ++x) colunas[x - cl] = mapeia(dw > 0 ? x - dx : dx - x, sw, adw, sx, sW);
    const bool direto = colunas.back() - colunas.front() == cr - cl - 1 && dw > 0 && sw == adw;

    int anterior = -1;
    for (int y = ct; y < cb; ++y) {
        const int fy = mapeia(dh > 0 ? y - dy : dy - y, sh, adh, sy, sH);
        uint32_t* dl_ = Linha(d, dbpl, y) + cl;
        if (fy == anterior && y > ct) {
            std::memcpy(dl_, Linha(d, dbpl, y - 1) + cl, static_cast<size_t>(cr - cl) * 4);
            continue;
        }
        // magnified rows repeat the row above; the check above catches them
        anterior = fy;
        const uint32_t* sl = Linha(s, sbpl, fy);
        if (direto) {
            std::memcpy(dl_, sl + colunas.front(), static_cast<size_t>(cr - cl) * 4);
        } else {
            const int* c = colunas.data();
            for (int i = 0, n = cr - cl; i < n; ++i) dl_[i] = sl[c[i]];
        }
    }
}

}  // namespace tarvo
