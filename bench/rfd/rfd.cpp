// The RFD of one Z reduction in storage mode (the detail-tape text supplied, no printer): time,
// file operations (read and write calls) and peak memory, for days of N receipts of ten items
// each (N from the command line, default 1000 and 4000). The day is made by driving the
// emulator's printer model directly; its detail tape, converted as a capture would be, is the
// text. Each conversion runs in a child process of its own, so that its peak memory is its own.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/protocols/familia0/f0_captura.h"
#include "emulador/impressora.h"
#include "medida.h"

namespace {

void Executa(emulador::Impressora& p, const std::string& comando, const std::string& parametros) {
    emulador::Resposta r = p.Executa(comando, parametros);
    if (r.codigo != 0) {
        std::fprintf(stderr, "%s %s: %d %s\n", comando.c_str(), parametros.c_str(), r.codigo,
                     r.dados.c_str());
        std::exit(2);
    }
}

// A day of `recibos` receipts of ten items and its reduction; returns the detail-tape text.
std::string Dia(int recibos) {
    emulador::Impressora p;
    for (int i = 0; i < recibos; ++i) {
        Executa(p, "AbreCupomFiscal", "");
        for (int k = 0; k < 10; ++k)
            Executa(p, "VendeItem",
                    "CodAliquota=" + std::to_string(k % 4) + " CodProduto=\"" + std::to_string(1000 + k) +
                        "\" NomeProduto=\"PRODUTO " + std::to_string(k) +
                        "\" PrecoUnitario=1,99 Quantidade=1,500");
        Executa(p, "PagaCupom", "CodMeioPagamento=-2 Valor=50,00");
        Executa(p, "EncerraDocumento", "");
    }
    Executa(p, "EmiteReducaoZ", "");
    std::string fluxo;
    for (const auto& d : p.fita) fluxo += d.Fluxo();
    return tarvo::ConverteTextoImpressao(fluxo, false).texto;
}

long long CampoIo(const char* nome) {
    std::ifstream f("/proc/self/io");
    std::string chave;
    long long valor = 0;
    while (f >> chave >> valor)
        if (chave == std::string(nome) + ":") return valor;
    return -1;
}

}  // namespace

// The conversion alone, in the folder given: prints result, seconds, read and write calls.
int Converte(const char* pasta) {
    ::setenv("TARVO_HOME", pasta, 1);
    tarvo::CarregaConfiguracao();
    tarvo::Estado().ArmazenamentoRFD = true;
    long long lidas = CampoIo("syscr"), escritas = CampoIo("syscw");
    const auto inicio = bancada::Relogio::now();
    int r = tarvo::RFD_ConvertedaMFDTexto("1");
    const double s = bancada::SegundosDesde(inicio);
    std::printf("%d %.3f %lld %lld", r, s, CampoIo("syscr") - lidas, CampoIo("syscw") - escritas);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--converte") return Converte(argv[2]);
    const std::vector<int> dias = bancada::Tamanhos<int>(argc, argv, {1000, 4000});
    std::printf("%10s %8s %10s %10s %12s %12s %10s\n", "receipts", "items", "seconds", "cpu s", "read calls",
                "write calls", "peak MiB");
    for (int recibos : dias) {
        std::string texto = Dia(recibos);
        const std::string pasta = bancada::PastaTemporaria("bench-rfd");
        if (pasta.empty()) return 1;
        std::filesystem::create_directories(pasta + "RFDTEMP");
        std::filesystem::create_directories(pasta + "rfd");
        tarvo::GravaArquivo(pasta + "RFDTEMP/DETALHE.TXT", texto);
        tarvo::GravaArquivo(pasta + "RFDTEMP/ALQ_0001.TXT", "T1800T1200T0700S0500\r\n");
        tarvo::GravaArquivo(pasta + "TARVO.INI", "[Sistema]\r\nPathRFD=" + pasta + "rfd/\r\n");
        texto.clear();
        texto.shrink_to_fit();

        auto filho = bancada::RodaDeNovo(argv[0], {"--converte", pasta});
        if (!filho) return 1;
        int resultado = 0;
        double segundos = 0;
        long long leituras = 0, escritas = 0;
        if (!filho->leu ||
            std::sscanf(filho->saida.c_str(), "%d %lf %lld %lld", &resultado, &segundos, &leituras,
                        &escritas) != 4 ||
            resultado != 1) {
            std::fprintf(stderr, "conversion of %d receipts failed (%s)\n", recibos, filho->saida.c_str());
            return 1;
        }
        std::printf("%10d %8d %10.3f %10.3f %12lld %12lld %10.1f\n", recibos, recibos * 10, segundos,
                    bancada::CpuSegundos(filho->uso), leituras, escritas, bancada::PicoMiB(filho->uso));
        // BENCH_RFD_MANTEM keeps the folder (to run "--converte <folder>" under a profiler).
        if (std::getenv("BENCH_RFD_MANTEM"))
            std::printf("%s\n", pasta.c_str());
        else
            std::filesystem::remove_all(pasta);
    }
    return 0;
}
