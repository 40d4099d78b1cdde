// Frames per second of each transition effect on a 1024 x 768 picture, drawn the way the
// transition control draws a frame: the start image copied into the display, then the
// effect. Every effect runs whole transitions (progress 1 to 99) for at least the given
// time per round; the figure is the median over the rounds, with its range. The reference,
// measured in each round on the same machine, is the frame's copy alone (the floor of any
// effect): each effect's ratio is how many times a plain copy of the frame it costs.
// No window is opened.
//
//   bench_transicoes [--segundos S] [--rodadas R] [--largura W --altura H] [--markdown]
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "medida.h"
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
    double fps, minimo, maximo;  // median and range over the rounds
    double vezes;                // times the cost of the frame copy alone
};

}  // namespace

int main(int argc, char** argv) {
    double segundos = 0.1;
    int rodadas = 3, W = 1024, H = 768;
    bool markdown = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--segundos" && i + 1 < argc)
            segundos = std::atof(argv[++i]);
        else if (a == "--rodadas" && i + 1 < argc)
            rodadas = std::max(1, std::atoi(argv[++i]));
        else if (a == "--largura" && i + 1 < argc)
            W = std::atoi(argv[++i]);
        else if (a == "--altura" && i + 1 < argc)
            H = std::atoi(argv[++i]);
        else if (a == "--markdown")
            markdown = true;
        else {
            std::fprintf(stderr,
                         "uso: %s [--segundos S] [--rodadas R] [--largura W --altura H] [--markdown]\n",
                         argv[0]);
            return 2;
        }
    }

    const QImage inicio = Gradiente(W, H, 0), nova = Gradiente(W, H, 128);
    QImage display(W, H, QImage::Format_RGB32);
    const size_t bytes = static_cast<size_t>(display.sizeInBytes());

    // Frames per second of one effect (0: the frame copy alone) over `segundos`.
    auto Mede = [&](int e) {
        const TEffectProc proc = e ? PSEffect(e)->Proc : nullptr;
        long quadros = 0;
        const auto t0 = bancada::Relogio::now();
        double passados = 0;
        do {
            for (int P = 1; P <= 99; ++P) {
                std::memcpy(display.bits(), inicio.constBits(), bytes);
                int X, Y;
                EscalaProgresso(W, H, P, X, Y);
                if (proc) proc(display, nova, W, H, X, Y, P);
                ++quadros;
            }
            passados = bancada::SegundosDesde(t0);
        } while (passados < segundos);
        return quadros / passados;
    };

    std::vector<std::vector<double>> fps(PSEffectCount + 1);
    for (int r = 0; r < rodadas; ++r)
        for (int e = 0; e <= PSEffectCount; ++e) fps[e].push_back(Mede(e));
    const bancada::Faixa copia = bancada::FaixaDe(fps[0]);
    std::vector<Medida> medidas;
    for (int e = 1; e <= PSEffectCount; ++e) {
        const bancada::Faixa f = bancada::FaixaDe(fps[e]);
        medidas.push_back({e, f.mediana, f.minimo, f.maximo, copia.mediana / f.mediana});
    }
    std::printf("Reference: the frame copy alone, %.0f fps (%.0f-%.0f), median over %d rounds\n\n",
                copia.mediana, copia.minimo, copia.maximo, rodadas);

    if (markdown) {
        std::printf("| Row | Effect | fps (range) | x frame copy |\n|---:|---|---:|---:|\n");
        for (const Medida& m : medidas)
            std::printf("| %d | %s | %.0f (%.0f-%.0f) | %.1f |\n", m.estilo, PSEffect(m.estilo)->Name, m.fps,
                        m.minimo, m.maximo, m.vezes);
    } else {
        std::printf("Effect frames per second, %d x %d, one thread\n\n", W, H);
        std::printf("%4s  %-58s %20s %8s\n", "row", "effect", "fps (range)", "x copy");
        for (const Medida& m : medidas)
            std::printf("%4d  %-58s %8.0f (%4.0f-%4.0f) %8.1f\n", m.estilo, PSEffect(m.estilo)->Name, m.fps,
                        m.minimo, m.maximo, m.vezes);
    }
    std::vector<Medida> ordem = medidas;
    std::sort(ordem.begin(), ordem.end(), [](const Medida& a, const Medida& b) { return a.fps < b.fps; });
    std::printf("\nSlowest ten:\n");
    for (int i = 0; i < 10 && i < static_cast<int>(ordem.size()); ++i)
        std::printf("%4d  %-58s %8.0f (%4.0f-%4.0f) %8.1f\n", ordem[i].estilo,
                    PSEffect(ordem[i].estilo)->Name, ordem[i].fps, ordem[i].minimo, ordem[i].maximo,
                    ordem[i].vezes);
    const bool todos60 = ordem.front().fps >= 60;
    std::printf("\n%s: slowest %.0f fps\n", todos60 ? "all at 60 fps or more" : "BELOW 60 fps",
                ordem.front().fps);
    return todos60 ? 0 : 1;
}
