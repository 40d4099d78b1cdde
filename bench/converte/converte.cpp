// Throughput of the conversion of a captured printer stream (IMPR.TXT) into its text
// (IMPR2.TXT and the target file), plain and rich text, for captures of the sizes given in
// megabytes on the command line (default 1 and 10). Each size runs seven rounds; the figures
// are the median and the range over the rounds. Beside them, measured in the same rounds on
// the same data, two references that hold on any machine: a plain copy of the capture in
// memory (what one pass over the bytes costs at least), and writing the capture to a file
// and reading it back (what the files cost at least). The ratios say how far from those the
// conversion is. The capture is built from the lines a detail-tape download holds: headers,
// items with code page 850 letters, bold totals, escaped bytes, 48-column separators and
// condensed lines.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/core/formatadores.h"
#include "driver/protocols/familia0/f0_captura.h"
#include "medida.h"

namespace {

std::string Captura(std::size_t bytes) {
    const std::string esc = "\x1b";
    const std::vector<std::string> linhas = {
        "MERCADO BOM PRE\x80O LTDA\n",
        "CNPJ:11.222.333/0001-81 IE:123.456.789.012\n",
        std::string(48, '-'),
        "05/03/2010 10:11:12                   COO:000123\n",
        esc + "E1" + "                 CUPOM FISCAL\n" + esc + "E0",
        "ITEM C\xE0"
        "DIGO         DESCRI\x80\xE5O\n",
        "001 7891234567895 A\x80\xE0"
        "CAR REFINADO 1KG\n",
        "       2,500UN x 4,99                 T01   12,48\n",
        esc + "!\x01" + "CONDENSADO: LINHA DE 57 COLUNAS COM ITEM E VALOR 1234,56\n",
        esc + "!" + std::string(1, '\0') + "SUBTOTAL R$                                 12,48\n",
        esc + "E1" + "TOTAL R$                                    12,48\n" + esc + "E0",
        "Dinheiro                                    20,00\n",
        "TROCO R$                                     7,52\n",
        "Observa\x87\xC6o: pre\x87o \\\"promocional\\\" \\\\ ok\n",
        esc + " \x02" + "FAB:TV010500000000012345                      BR\n",
    };
    std::string r;
    r.reserve(bytes + 128);
    for (std::size_t i = 0; r.size() < bytes; ++i) r += linhas[i % linhas.size()];
    r.resize(bytes);
    return r;
}

using bancada::Faixa;
using bancada::FaixaDe;
using bancada::FaixaPorSegundo;
using bancada::Relogio;
using bancada::Segundos;

std::string Texto(const Faixa& f) {
    char b[64];
    std::snprintf(b, sizeof b, "%.0f (%.0f-%.0f)", f.mediana, f.minimo, f.maximo);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<double> tamanhos = bancada::Tamanhos<double>(argc, argv, {1, 10});

    // The conversion writes IMPR2.TXT into the current folder: work in a scratch folder.
    const std::string pasta = bancada::PastaTemporaria("tarvo-bench");
    if (pasta.empty()) return 1;
    const std::string antes = std::filesystem::current_path().string();
    std::filesystem::current_path(pasta);

    constexpr int kRodadas = 7;
    std::printf("MB/s, median (min-max) over %d rounds; ratio = median of the per-round ratios\n", kRodadas);
    std::printf("%-5s %-6s %-18s %-18s %-7s %-18s %-18s %-7s %9s\n", "MB", "format", "conversion",
                "memcpy (ref)", "ratio", "with files", "file copy (ref)", "ratio", "output MB");
    for (double mb : tamanhos) {
        const std::size_t bytes = static_cast<std::size_t>(mb * 1024 * 1024);
        const std::string entrada = Captura(bytes);
        tarvo::GravaArquivo(pasta + "IMPR.TXT", entrada);
        std::string copia(bytes, '\0');
        for (tarvo::FormatoConversao formato :
             {tarvo::FormatoConversao::Texto, tarvo::FormatoConversao::RichText}) {
            const bool rico = formato == tarvo::FormatoConversao::RichText;
            // Each round times the conversion against the memory copy, and the conversion with
            // its files against the file copy.
            bancada::ContraReferencia emMemoria, comArquivos;
            std::size_t saida = 0;
            for (int rodada = 0; rodada < kRodadas; ++rodada) {
                auto t0 = Relogio::now();
                std::memcpy(copia.data(), entrada.data(), bytes);
                auto t1 = Relogio::now();
                tarvo::Conversao c = tarvo::ConverteTextoImpressao(entrada, rico);
                auto t2 = Relogio::now();
                saida = rico ? c.rtf.size() : c.texto.size();
                if (!tarvo::ConverteImpressao(pasta + "IMPR.TXT", formato, pasta + "saida.txt")) return 2;
                auto t3 = Relogio::now();
                if (!tarvo::GravaArquivo(pasta + "copia.txt", tarvo::LeArquivo(pasta + "IMPR.TXT"))) return 3;
                auto t4 = Relogio::now();
                if (copia[bytes / 2] != entrada[bytes / 2]) return 4;  // the copy is used
                emMemoria.Junta(Segundos(t2 - t1), Segundos(t1 - t0));
                comArquivos.Junta(Segundos(t3 - t2), Segundos(t4 - t3));
            }
            char rm[32], ra[32];
            std::snprintf(rm, sizeof rm, "%.1fx", FaixaDe(emMemoria.razoes).mediana);
            std::snprintf(ra, sizeof ra, "%.1fx", FaixaDe(comArquivos.razoes).mediana);
            std::printf("%-5.1f %-6s %-18s %-18s %-7s %-18s %-18s %-7s %9.1f\n", mb, rico ? "rtf" : "text",
                        Texto(FaixaPorSegundo(emMemoria.tempos, mb)).c_str(),
                        Texto(FaixaPorSegundo(emMemoria.referencias, mb)).c_str(), rm,
                        Texto(FaixaPorSegundo(comArquivos.tempos, mb)).c_str(),
                        Texto(FaixaPorSegundo(comArquivos.referencias, mb)).c_str(), ra,
                        static_cast<double>(saida) / (1024 * 1024));
        }
    }
    std::filesystem::current_path(antes);
    std::filesystem::remove_all(pasta);
    return 0;
}
