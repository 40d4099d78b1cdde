// Frames per second of each transition effect on a 1024 x 768 picture, drawn the way the
// transition control draws a frame: the start image copied into the display, then the
// effect. Every effect runs whole transitions (progress 1 to 99) for at least the given
// time; no window is opened.
//
//   bench_transicoes [--segundos S] [--largura W --altura H] [--markdown]
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pseffect.h"

using namespace tarvo;

namespace {

QImage Gradiente(int W, int H, int fase) {
    QImage img(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y) {
        auto* l = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) l[x] = qRgb((x + fase) & 0xff, (y * 2 + fase) & 0xff, (x ^ y) & 0xff);
    }
    return img;
}

struct Medida {
    int estilo;
    double fps;
};

}  // namespace

int main(int argc, char** argv) {
    double segundos = 0.25;
    int W = 1024, H = 768;
    bool markdown = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--segundos" && i + 1 < argc)
            segundos = std::atof(argv[++i]);
        else if (a == "--largura" && i + 1 < argc)
            W = std::atoi(argv[++i]);
        else if (a == "--altura" && i + 1 < argc)
            H = std::atoi(argv[++i]);
        else if (a == "--markdown")
            markdown = true;
        else {
            std::fprintf(stderr, "uso: %s [--segundos S] [--largura W --altura H] [--markdown]\n", argv[0]);
            return 2;
        }
    }

    const QImage inicio = Gradiente(W, H, 0), nova = Gradiente(W, H, 128);
    QImage display(W, H, QImage::Format_RGB32);
    const size_t bytes = static_cast<size_t>(display.sizeInBytes());
    using Relogio = std::chrono::steady_clock;

    std::vector<Medida> medidas;
    for (int e = 1; e <= PSEffectCount; ++e) {
        const TEffectProc proc = PSEffect(e)->Proc;
        long quadros = 0;
        const auto t0 = Relogio::now();
        double passados = 0;
        do {
            for (int P = 1; P <= 99; ++P) {
                std::memcpy(display.bits(), inicio.constBits(), bytes);
                int X, Y;
                EscalaProgresso(W, H, P, X, Y);
                proc(display, nova, W, H, X, Y, P);
                ++quadros;
            }
            passados = std::chrono::duration<double>(Relogio::now() - t0).count();
        } while (passados < segundos);
        medidas.push_back({e, quadros / passados});
    }

    if (markdown) {
        std::printf("| Row | Effect | fps |\n|---:|---|---:|\n");
        for (const Medida& m : medidas)
            std::printf("| %d | %s | %.0f |\n", m.estilo, PSEffect(m.estilo)->Name, m.fps);
    } else {
        std::printf("Effect frames per second, %d x %d, one thread\n\n", W, H);
        std::printf("%4s  %-58s %9s\n", "row", "effect", "fps");
        for (const Medida& m : medidas)
            std::printf("%4d  %-58s %9.0f\n", m.estilo, PSEffect(m.estilo)->Name, m.fps);
    }
    std::vector<Medida> ordem = medidas;
    std::sort(ordem.begin(), ordem.end(), [](const Medida& a, const Medida& b) { return a.fps < b.fps; });
    std::printf("\nSlowest ten:\n");
    for (int i = 0; i < 10 && i < static_cast<int>(ordem.size()); ++i)
        std::printf("%4d  %-58s %9.0f\n", ordem[i].estilo, PSEffect(ordem[i].estilo)->Name, ordem[i].fps);
    const bool todos60 = ordem.front().fps >= 60;
    std::printf("\n%s: slowest %.0f fps\n", todos60 ? "all at 60 fps or more" : "BELOW 60 fps",
                ordem.front().fps);
    return todos60 ? 0 : 1;
}
