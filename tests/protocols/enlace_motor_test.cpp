// The framing of replies and the file exchange, against a scripted peer on a pseudo-terminal
// and a relay thread on the exchange folder.
#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/canal.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/parametros.h"
#include "platform/relogio.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

class Quadros : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};

    void Carrega(const std::string& extra = "", bool espacado = true) {
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\n" + extra);
        CarregaConfiguracao();
        Estado().PrimeiroUsoFeito = espacado;
    }
    static std::string Ok(const std::string& q, const std::string& dados) {
        return Roteiro::Quadro(Roteiro::Pacote(q), "0", dados);
    }
};

TEST_F(Quadros, AWholeFrameOfAnotherPacketIsDroppedAndTheWaitGoesOn) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        const int pacote = std::stoi(Roteiro::Pacote(q));
        // First the late reply of the command before, then this command's own.
        return teste::Resposta{
            {Roteiro::Quadro(std::to_string(pacote - 1), "8011", "A=\"velha\" B=\"resposta\""),
             Ok(q, "ValorInteiro=5")},
            20};
    });
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\""), 1);
    EXPECT_EQ(Resposta().ValorResposta, "5");
    EXPECT_EQ(Erro().UltimoRetorno, 0);
}

TEST_F(Quadros, InputLeftOverFromAnEarlierExchangeIsDiscardedBeforeEachFrame) {
    Carrega();
    int vez = 0;
    Roteiro impressora(dev.Caminho(), "COM1", [&](const std::string& q) {
        ++vez;
        if (vez == 1) {
            // A second reply nobody asked for, carrying the packet of the next command.
            const std::string proximo = std::to_string(std::stoi(Roteiro::Pacote(q)) + 1);
            return teste::Resposta{
                {Ok(q, "ValorInteiro=1") + Roteiro::Quadro(proximo, "0", "ValorInteiro=999")}};
        }
        return teste::Resposta{{Ok(q, "ValorInteiro=2")}, 30};
    });
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\""), 1);
    EXPECT_EQ(Resposta().ValorResposta, "1");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the extra reply is waiting
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\""), 1);
    EXPECT_EQ(Resposta().ValorResposta, "2");
}

TEST_F(Quadros, NoiseBeforeTheReplyEvenWithABraceIsIgnored) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        return teste::Resposta{{"x;{;}\x01{", Ok(q, "ValorTexto=\"a}b\"") + "x;3}"}};
    });
    const ContagemTrocas antes = TrocasDestaThread();
    EXPECT_EQ(EnviaComandoTxt("LeTexto", "NomeTexto=\"X\""), 1);
    EXPECT_EQ(Resposta().ValorResposta, "a}b");
    // Taken on its own frame: no wait ran out, neither a quiet nor the time-out.
    EXPECT_EQ(TrocasDestaThread().silencios, antes.silencios);
    EXPECT_EQ(TrocasDestaThread().limites, antes.limites);
}

TEST_F(Quadros, ABraceEndedTextWhoseLengthDoesNotMatchIsTakenAfterAShortQuiet) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        return teste::Resposta{{"{" + Roteiro::Pacote(q) + ";0;ValorInteiro=42;99}"}};
    });
    const ContagemTrocas antes = TrocasDestaThread();
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\""), 1);
    EXPECT_EQ(Resposta().ValorResposta, "42");
    // Ended by the short quiet, not by the five-second time-out.
    EXPECT_EQ(TrocasDestaThread().silencios, antes.silencios + 1);
    EXPECT_EQ(TrocasDestaThread().limites, antes.limites);
}

TEST_F(Quadros, AReplyOver64KiBEndsTheCommandAtOnce) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        // Braces all the way: each one could end a frame and must cost next to nothing.
        return teste::Resposta{{Ok(q, "ValorTexto=\"" + std::string(70000, '}') + "\"")}};
    });
    const ContagemTrocas antes = TrocasDestaThread();
    EXPECT_EQ(EnviaComandoTxt("LeTexto", "NomeTexto=\"X\""), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -1);
    EXPECT_NE(Erro().UltimaMensagem.find("64 KiB"), std::string::npos);
    // Ended by the size, with no wait run out: at most a read per KiB that came.
    const ContagemTrocas depois = TrocasDestaThread();
    EXPECT_EQ(depois.silencios + depois.limites, antes.silencios + antes.limites);
    EXPECT_LE(depois.leituras - antes.leituras, 70000u / 1024 + 2);
}

TEST_F(Quadros, AnUnansweredSpacingCommandFailsTheCallersCommandAtOnceAndIsTriedAgain) {
    Carrega("", false);
    bool ligada = false;
    Roteiro impressora(dev.Caminho(), "COM1", [&](const std::string& q) {
        return ligada ? teste::Resposta{{Ok(q, "")}} : teste::Resposta{};
    });
    const ContagemTrocas antes = TrocasDestaThread();
    EXPECT_EQ(EnviaComandoTxt("AvancaPapel", "Avanco=30"), 0);
    // One time-out of five seconds, not two: the caller's command is never sent.
    EXPECT_EQ(TrocasDestaThread().trocas, antes.trocas + 1);
    EXPECT_EQ(TrocasDestaThread().limites, antes.limites + 1);
    EXPECT_EQ(Erro().UltimoRetorno, -1);
    ligada = true;
    EXPECT_EQ(EnviaComandoTxt("AvancaPapel", "Avanco=30"), 1);
    EXPECT_EQ(
        impressora.Comandos(),
        (std::vector<std::string>{"EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=210",
                                  "EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=210",
                                  "AvancaPapel;Avanco=30"}));
}

TEST_F(Quadros, SpacingsAndFeedsOutOfRangeNeverOverflow) {
    Carrega("EspacamentoDocumentos=100000000\r\n", false);
    Roteiro impressora(dev.Caminho(), "COM1",
                       [](const std::string& q) { return teste::Resposta{{Ok(q, "")}}; });
    EXPECT_EQ(EnviaComandoTxt("AvancaPapel", "Avanco=30"), 1);
    EXPECT_EQ(Tarvo_LinhasEntreCupons(INT_MIN), 1);
    EXPECT_EQ(Config().EspacamentoDocumentos, 0);
    EXPECT_EQ(Tarvo_AvancaCorta(INT_MAX, 9), -2);  // more than the printer feeds: nothing sent
    EXPECT_EQ(Tarvo_AvancaCorta(255, 9), 1);
    auto c = impressora.Comandos();
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0], "EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=900");
    EXPECT_EQ(c[2], "EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=0");
    EXPECT_EQ(c[3], "AvancaPapel;Avanco=7650");
}

TEST_F(Quadros, AReadingByNameTakesTheLongestReplyTheReadingExportHandsBack) {
    Carrega();
    const std::string longo(3000, '1');
    Roteiro impressora(dev.Caminho(), "COM1", [&](const std::string& q) {
        return teste::Resposta{{Ok(q, "ValorData=#" + longo + "#")}};
    });
    EXPECT_EQ(RixLeDataPorNome("Data"), 1);
    EXPECT_EQ(Resposta().ValorResposta, longo);
}

// --- the engine against a double of the port --------------------------------------------------

// A port that records what the engine does with it and answers from a script.
class CanalDuplo : public Canal {
  public:
    std::vector<std::string>* registro;
    std::vector<FimLeitura> fins;  // what each read ends with (Dados appends `dados`)
    std::string dados;
    explicit CanalDuplo(std::vector<std::string>* r) : registro(r) {}
    bool Abre(const std::string&, const plataforma::ConfiguracaoLinha&) override {
        registro->push_back("abre");
        aberto = true;
        return true;
    }
    bool Aberto() const override { return aberto; }
    void Fecha() override {
        if (aberto) registro->push_back("fecha");
        aberto = false;
    }
    void Descarta() override { registro->push_back("descarta"); }
    bool Cts() const override { return true; }
    bool Escreve(std::string_view b) override {
        registro->push_back("escreve " + std::string(b));
        return true;
    }
    FimLeitura Le(std::string& destino, std::size_t, std::int64_t) override {
        ++leituras;
        if (fins.empty()) return FimLeitura::Prazo;
        FimLeitura f = fins.front();
        fins.erase(fins.begin());
        if (f == FimLeitura::Dados) destino += dados;
        return f;
    }
    bool aberto = false;
    int leituras = 0;
};

class ComDuplo : public Quadros {
  protected:
    std::vector<std::string> registro;
    CanalDuplo* duplo = nullptr;
    void SetUp() override {
        SlotDaPorta(SlotImpressora) = {};  // a new line: no channel, no reply pending
        InstalaFabricaCanal([this] {
            auto c = std::make_unique<CanalDuplo>(&registro);
            duplo = c.get();
            return c;
        });
        Carrega();
    }
    void TearDown() override {
        SlotDaPorta(SlotImpressora) = {};  // a new line: no channel, no reply pending
        InstalaFabricaCanal(nullptr);
    }
};

TEST_F(ComDuplo, PendingInputIsDroppedBeforeTheFrameAndTheEndOfTheLineClosesThePortAtOnce) {
    CanalDoSlot(SlotImpressora);
    duplo->fins = {FimLeitura::Dados, FimLeitura::Fim};
    duplo->dados = "{2;0;ValorInteiro=";  // half a reply, then the device is gone
    const ContagemTrocas antes = TrocasDestaThread();
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\""), 0);
    EXPECT_EQ(TrocasDestaThread().limites, antes.limites);  // ended by the end of the line
    EXPECT_EQ(Erro().UltimoRetorno, -1);
    EXPECT_EQ(duplo->leituras, 2);  // no read after the end
    EXPECT_EQ(registro, (std::vector<std::string>{"abre", "descarta",
                                                  "escreve {2;LeInteiro;NomeInteiro=\"COO\";30}", "fecha"}));
}

TEST_F(ComDuplo, AFrameOfThreeHundredCharactersGoesOutIn255AndTheRest) {
    CanalDoSlot(SlotImpressora);
    const std::string longo(280, 'a');
    duplo->fins = {FimLeitura::Dados};
    duplo->dados = Roteiro::Quadro("2", "0", "");
    EXPECT_EQ(EnviaComandoTxt("ImprimeTexto", "TextoLivre=\"" + longo + "\""), 1);
    ASSERT_EQ(registro.size(), 5u);
    EXPECT_EQ(registro[2].size(), std::string("escreve ").size() + 255);
    const std::string quadro = MontaQuadro(2, "ImprimeTexto", "TextoLivre=\"" + longo + "\"");
    EXPECT_EQ(registro[3], "escreve " + quadro.substr(255));
}

// --- the file exchange ----------------------------------------------------------------------

class TrocaDeArquivos : public Quadros {
  protected:
    std::string comando, status;
    void SetUp() override {
        std::filesystem::create_directory(home / "troca");
        Carrega("ConfigRede=1\r\nPath=C:\\troca\r\n");
        comando = home / "troca/COMANDO.TXT";
        status = home / "troca/STATUS.TXT";
    }
    // Waits for the command file (a bounded look every millisecond) and returns its frame.
    std::string EsperaComando() {
        for (int i = 0; i < 5000; ++i) {
            std::string q = teste::LeArquivo(comando);
            if (q.find("\r\n") != std::string::npos) return q.substr(0, q.find("\r\n"));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return "";
    }
};

TEST_F(TrocaDeArquivos, TheReplyIsTakenRightAfterItIsRenamedIntoPlace) {
    constexpr int kVezes = 9;
    for (int i = 0; i < kVezes; ++i) {
        const plataforma::Esperas antes = plataforma::EsperasDestaThread();
        std::thread relay([&] {
            const std::string q = EsperaComando();
            std::filesystem::remove(comando);
            std::this_thread::sleep_for(std::chrono::milliseconds(20 + 7 * i));
            teste::EscreveArquivo(status + ".tmp", Ok(q, "ValorInteiro=" + std::to_string(i)) + "\r\n");
            std::filesystem::rename(status + ".tmp", status);
        });
        EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"CRZ\""), 1);
        relay.join();
        EXPECT_EQ(Resposta().ValorResposta, std::to_string(i));
        // Woken by the notification of the rename: no wait ran out to a timed look.
        const plataforma::Esperas& depois = plataforma::EsperasDestaThread();
        EXPECT_GE(depois.notificacoes, antes.notificacoes + 1) << i;
        EXPECT_EQ(depois.esgotadas, antes.esgotadas) << i;
    }
}

TEST_F(TrocaDeArquivos, HalfALineIsNotAReplyAndSilenceIsAFailureAfterTheTimeOut) {
    std::thread relay([&] {
        const std::string q = EsperaComando();
        const std::string resposta = Ok(q, "ValorInteiro=42");
        teste::EscreveArquivo(status, resposta.substr(0, 10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        teste::EscreveArquivo(status, resposta + "\r\n");
    });
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"CRZ\""), 1);
    relay.join();
    EXPECT_EQ(Resposta().ValorResposta, "42");

    // Nobody answers: the command fails on its time-out.
    const ContagemTrocas antes = TrocasDestaThread();
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"CRZ\""), 0);
    EXPECT_EQ(TrocasDestaThread().limites, antes.limites + 1);
    EXPECT_EQ(Erro().UltimoRetorno, -1);
}

TEST_F(TrocaDeArquivos, WaitingForTheReplySleepsOnTheNotifications) {
    auto canal = NovoCanalArquivos();
    ASSERT_TRUE(canal->Abre(home / "troca/", {}));
    canal->Descarta();
    ASSERT_TRUE(canal->Escreve("{1;LeInteiro;NomeInteiro=\"CRZ\";30}"));
    std::string recebido;
    const plataforma::Esperas antes = plataforma::EsperasDestaThread();
    EXPECT_EQ(canal->Le(recebido, 4096, plataforma::Monotonico() + 3000), FimLeitura::Prazo);
    EXPECT_TRUE(recebido.empty());
    // A few wake-ups in three seconds (the look of every second), not one every few
    // milliseconds.
    EXPECT_LE(plataforma::EsperasDestaThread().total - antes.total, 8u);
    canal->Fecha();
}

}  // namespace
