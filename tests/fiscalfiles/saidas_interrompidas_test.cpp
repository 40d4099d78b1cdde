// The SINTEGRA, SPED and PAF-RJ files under kill -9: each run in a child process killed at
// moments spread over its length, over an earlier file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "comum/ambiente.h"
#include "driver/fiscalfiles/ato.h"
#include "fiscalfiles/pasta_rfd.h"
#include "fiscalfiles/sped_ato.h"
#include "tarvo.h"

namespace {

using namespace teste::sped;

constexpr int kMortes = 30;
constexpr int kDocumentos = 1500;

using SaidaInterrompida = teste::PastaRfd;

// The file is always the earlier one or the new one, never missing or partial, and the next
// whole run leaves no temporary behind.
TEST_F(SaidaInterrompida, AKillAtAnyMomentLeavesTheEarlierFileOrTheNewOneAndTheNextRunCleansUp) {
    // One reduction (CRZ 1: no printer is asked for its first COO) of many receipts.
    std::string texto = E01() + "\r\n" + E02("0") + "\r\n" + E11(1, kDocumentos + 1, "450000") + "\r\n" +
                        E12(1, kDocumentos + 1, "20100301", "450000") + "\r\n" + E13(1, "01T1800", "450000") +
                        "\r\n";
    for (int coo = 1; coo <= kDocumentos; ++coo) {
        texto += E14({.coo = coo, .subtotal = "300", .total = "300"}) + "\r\n";
        for (int n = 1; n <= 3; ++n)
            texto += E15({.coo = coo, .numero = n, .codigo = std::to_string(n)}) + "\r\n";
    }
    const std::string pasta = home.Caminho(), ato = pasta + "ato.txt", sintegra = pasta + "sintegra.txt",
                      sped = pasta + "sped.txt";
    teste::EscreveArquivo(ato, texto);
    const std::pair<std::string, std::function<int()>> casos[] = {
        {sintegra,
         [&] {
             return Tarvo_RelatorioSintegraMFDBinario(8, ato.c_str(), sintegra.c_str(), "EMPRESA", "RUA", "1",
                                                      "", "CENTRO", "SP", "01234567", "1155551234", "",
                                                      "MARIA");
         }},
        {sped,
         [&] {
             return Tarvo_GeraRegistrosSpedTDM(ato.c_str(), sped.c_str(), "01/03/2010", "31/03/2010", "T",
                                               "5102", "", "0", "0", 1, ato.c_str());
         }},
        {tarvo::ato::NomePafRj(ato), [&] { return Tarvo_ConverteATO17ParaPAFRJ(ato.c_str()); }},
    };
    const std::string antigo = "ARQUIVO ANTERIOR\r\n";
    for (const auto& [saida, gera] : casos) {
        SCOPED_TRACE(saida);
        auto roda = [&] { return teste::EmProcessoFilho([&] { return gera() == 1 ? 0 : 1; }); };
        const auto inicio = std::chrono::steady_clock::now();
        ASSERT_EQ(roda(), 0);
        const auto duracao = std::chrono::steady_clock::now() - inicio;  // the kills spread over it
        const std::string novo = teste::LeArquivo(saida);
        ASSERT_GT(novo.size(), antigo.size());
        for (int i = 0; i < kMortes; ++i) {
            teste::EscreveArquivo(saida, antigo);
            const pid_t pid = ::fork();
            if (pid == 0) ::_exit(gera());
            std::this_thread::sleep_for(duracao * i / kMortes);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            const std::string agora = teste::LeArquivo(saida);
            ASSERT_TRUE(agora == antigo || agora == novo) << "kill " << i << ": " << agora.size() << " bytes";
        }
        ASSERT_EQ(roda(), 0);
        EXPECT_EQ(teste::LeArquivo(saida), novo);
        for (const std::string& p : {pasta, Rfdtemp()})
            for (const auto& e : std::filesystem::directory_iterator(p))
                EXPECT_FALSE(e.path().string().ends_with(".parcial")) << e.path();
    }
}

}  // namespace
