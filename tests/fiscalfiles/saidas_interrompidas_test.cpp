// The SINTEGRA, SPED and PAF-RJ files under a kill -9: each run in a child process killed at
// moments spread over its length, over an earlier file. The file is always the earlier one or
// the new one, never missing or partial, and the next whole run leaves no temporary behind.
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

namespace fs = std::filesystem;
using namespace teste::sped;

constexpr int kMortes = 30;
constexpr int kDocumentos = 1500;

// The temporaries left in a folder.
std::vector<std::string> Parciais(const std::string& pasta) {
    std::vector<std::string> r;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(pasta, ec))
        if (e.path().filename().string().ends_with(".parcial")) r.push_back(e.path().string());
    return r;
}

class SaidaInterrompida : public teste::PastaRfd {
  protected:
    // One reduction (CRZ 1: no printer is asked for the first COO) of many receipts.
    std::string Ato() {
        std::string texto = E01() + "\r\n" + E02("0") + "\r\n" +
                            E12(1, kDocumentos + 1, "20100301", std::to_string(kDocumentos * 300)) + "\r\n" +
                            E13(1, "01T1800", std::to_string(kDocumentos * 300)) + "\r\n";
        for (int coo = 1; coo <= kDocumentos; ++coo) {
            texto += E14({.coo = coo, .subtotal = "300", .total = "300"}) + "\r\n";
            for (int n = 1; n <= 3; ++n)
                texto += E15({.coo = coo, .numero = n, .codigo = std::to_string(1000 + n)}) + "\r\n";
        }
        const std::string ato = home.Caminho() + "ato.txt";
        teste::EscreveArquivo(ato, texto);
        return ato;
    }
};

TEST_F(SaidaInterrompida, AKillAtAnyMomentLeavesTheEarlierFileOrTheNewOneAndTheNextRunCleansUp) {
    const std::string ato = Ato(), pasta = home.Caminho();
    struct Caso {
        const char* nome;
        std::string saida;
        std::function<int()> gera;
    };
    const Caso casos[] = {
        {"SINTEGRA", pasta + "sintegra.txt",
         [&] {
             return Tarvo_RelatorioSintegraMFDBinario(8, ato.c_str(), (pasta + "sintegra.txt").c_str(),
                                                      "EMPRESA", "RUA", "1", "", "CENTRO", "SAO PAULO",
                                                      "01234567", "1155551234", "", "MARIA");
         }},
        {"SPED", pasta + "sped.txt",
         [&] {
             return Tarvo_GeraRegistrosSpedTDM(ato.c_str(), (pasta + "sped.txt").c_str(), "01/03/2010",
                                               "31/03/2010", "T", "5102", "", "0", "0", 1, ato.c_str());
         }},
        {"PAF-RJ", tarvo::ato::NomePafRj(ato), [&] { return Tarvo_ConverteATO17ParaPAFRJ(ato.c_str()); }},
    };
    const std::string antigo = "ARQUIVO ANTERIOR\r\n";
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        // The new file, and how long a whole run takes: the kills are spread over it.
        const auto inicio = std::chrono::steady_clock::now();
        ASSERT_EQ(teste::EmProcessoFilho([&] { return c.gera() == 1 ? 0 : 1; }), 0);
        const auto duracao = std::chrono::steady_clock::now() - inicio;
        const std::string novo = teste::LeArquivo(c.saida);
        ASSERT_GT(novo.size(), antigo.size());
        teste::EscreveArquivo(c.saida, antigo);

        for (int i = 0; i < kMortes; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) ::_exit(c.gera() == 1 ? 0 : 1);
            std::this_thread::sleep_for(duracao * i / kMortes);
            ::kill(pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);
            const std::string agora = teste::LeArquivo(c.saida);
            ASSERT_TRUE(agora == antigo || agora == novo) << "kill " << i << ": " << agora.size() << " bytes";
            teste::EscreveArquivo(c.saida, antigo);
        }
        ASSERT_EQ(teste::EmProcessoFilho([&] { return c.gera() == 1 ? 0 : 1; }), 0);
        EXPECT_EQ(teste::LeArquivo(c.saida), novo);
        EXPECT_EQ(Parciais(pasta), std::vector<std::string>{});
        EXPECT_EQ(Parciais(Rfdtemp()), std::vector<std::string>{});
    }
}

}  // namespace
