// The RFD of one Z reduction in storage mode (the detail-tape text supplied, no printer): time,
// file operations (read and write calls) and peak memory, for days of N receipts of ten items
// each (N from the command line, default 1000 and 4000). The day is made by driving the
// emulator's printer model directly; its detail tape, converted as a capture would be, is the
// text. Each conversion runs in a child process of its own, so that its peak memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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
    auto inicio = std::chrono::steady_clock::now();
    int r = tarvo::RFD_ConvertedaMFDTexto("1");
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    std::printf("%d %.3f %lld %lld", r, s, CampoIo("syscr") - lidas, CampoIo("syscw") - escritas);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--converte") return Converte(argv[2]);
    std::vector<int> dias;
    for (int i = 1; i < argc; ++i) dias.push_back(std::atoi(argv[i]));
    if (dias.empty()) dias = {1000, 4000};
    std::printf("%10s %8s %10s %10s %12s %12s %10s\n", "receipts", "items", "seconds", "cpu s", "read calls",
                "write calls", "peak MiB");
    for (int recibos : dias) {
        std::string texto = Dia(recibos);
        std::string modelo = (std::filesystem::temp_directory_path() / "bench-rfd-XXXXXX").string();
        std::string pasta = std::string(::mkdtemp(modelo.data())) + "/";
        std::filesystem::create_directories(pasta + "RFDTEMP");
        std::filesystem::create_directories(pasta + "rfd");
        tarvo::GravaArquivo(pasta + "RFDTEMP/DETALHE.TXT", texto);
        tarvo::GravaArquivo(pasta + "RFDTEMP/ALQ_0001.TXT", "T1800T1200T0700S0500\r\n");
        tarvo::GravaArquivo(pasta + "TARVO.INI", "[Sistema]\r\nPathRFD=" + pasta + "rfd/\r\n");
        texto.clear();
        texto.shrink_to_fit();

        int canal[2];
        if (::pipe(canal) != 0) return 1;
        pid_t filho = ::fork();
        if (filho == 0) {
            // A fresh program image, so that the peak memory is the conversion's alone.
            ::close(canal[0]);
            ::dup2(canal[1], 1);
            ::execl("/proc/self/exe", argv[0], "--converte", pasta.c_str(), static_cast<char*>(nullptr));
            ::_exit(4);
        }
        ::close(canal[1]);
        char linha[128] = {};
        ssize_t lidos = ::read(canal[0], linha, sizeof linha - 1);
        ::close(canal[0]);
        int estado = 0;
        rusage uso{};
        ::wait4(filho, &estado, 0, &uso);
        int resultado = 0;
        double segundos = 0;
        long long leituras = 0, escritas = 0;
        if (lidos <= 0 ||
            std::sscanf(linha, "%d %lf %lld %lld", &resultado, &segundos, &leituras, &escritas) != 4 ||
            resultado != 1) {
            std::fprintf(stderr, "conversion of %d receipts failed (%s)\n", recibos, linha);
            return 1;
        }
        double cpu = static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
                     static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
        std::printf("%10d %8d %10.3f %10.3f %12lld %12lld %10.1f\n", recibos, recibos * 10, segundos, cpu,
                    leituras, escritas, static_cast<double>(uso.ru_maxrss) / 1024.0);
        // BENCH_RFD_MANTEM keeps the folder (to run "--converte <folder>" under a profiler).
        if (std::getenv("BENCH_RFD_MANTEM"))
            std::printf("%s\n", pasta.c_str());
        else
            std::filesystem::remove_all(pasta);
    }
    return 0;
}
