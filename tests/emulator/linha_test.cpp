// The emulator served on a real pseudo-terminal and through the file exchange: framing, the
// logs, and the injected faults.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "auxiliar.h"
#include "emulador/emulador.h"

using namespace std::chrono_literals;
using teste::Cliente;

namespace {

class Linha : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(e.Inicia(pasta.Caminho(), "COM3")) << e.Erro(); }
    teste::Pasta pasta;
    emulador::Emulador e;
};

std::string LeArquivo(const std::string& nome) {
    std::ifstream f(nome, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(Linha, ResponderCadaQuadroComOPacoteEOComprimento) {
    ASSERT_TRUE(std::filesystem::is_symlink(pasta / "COM3"));
    Cliente c(pasta / "COM3");
    ASSERT_TRUE(c.Aberto());
    EXPECT_EQ(c.Comando("7", "LeInteiro", R"(NomeInteiro="COO")"), "{7;0;ValorInteiro=0;19}");
    // Two frames in one write, the second split by a "}" inside a text: two replies in order.
    c.Escreve(Cliente::Quadro("8", "LeTexto", R"(NomeTexto="Modelo")") +
              Cliente::Quadro("9", "LeIndicador", R"(NomeIndicador="Sem}Papel")"));
    std::string r = c.Le(2000);
    EXPECT_EQ(r.substr(0, r.find('}') + 1), R"({8;0;ValorTexto="RIX 4000";26})");
    EXPECT_EQ(teste::Codigo(r.substr(r.find('}') + 1)), emulador::erro::kRegistradorInexistente);
    // A frame without its length (as the console's probe sends it) is served after a pause.
    c.Escreve(R"(xx{0;LeIndicador;NomeIndicador="IntervencaoTecnica";})");
    r = c.Le(2000);
    EXPECT_EQ(r, R"({0;0;ValorNumericoIndicador=0 ValorTextoIndicador="0";53})");
    // A wrong length is a broken frame.
    c.Escreve(R"({5;LeInteiro;NomeInteiro="COO";31})");
    EXPECT_EQ(teste::Codigo(c.Le(2000)), emulador::erro::kQuadroInvalido);

    auto quadros = e.Quadros();
    ASSERT_EQ(quadros.size(), 5u);
    EXPECT_EQ(quadros[0], R"({7;LeInteiro;NomeInteiro="COO";30})");
    EXPECT_EQ(e.Comandos()[2], "LeIndicador");
    EXPECT_NE(e.Recebidos().find("xx{0;"), std::string::npos);
    EXPECT_EQ(e.Enviados().substr(0, 23), "{7;0;ValorInteiro=0;19}");
}

TEST_F(Linha, ClienteQueFechaEReabreAPortaContinuaSendoAtendido) {
    for (int i = 1; i <= 3; ++i) {
        Cliente c(pasta / "COM3");
        ASSERT_TRUE(c.Aberto());
        EXPECT_EQ(teste::Codigo(c.Comando(std::to_string(i), "LeInteiro", R"(NomeInteiro="CRZ")")), 0);
    }
    EXPECT_EQ(e.Quadros().size(), 3u);
    e.Para();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(pasta / "COM3")));
}

TEST_F(Linha, SilencioAtrasoEErroInjetado) {
    Cliente c(pasta / "COM3");
    e.Silencia(1);
    EXPECT_EQ(c.Comando("1", "AbreCupomFiscal", "", 300), "");
    ASSERT_TRUE(e.EsperaQuadros(1, 1000));
    EXPECT_EQ(e.Trocas()[0].codigo, -1);
    EXPECT_EQ(e.Impressora().contadores.coo, 0) << "a silent printer runs nothing";

    // Held far longer than the look below: once the frame has arrived nothing comes back
    // until the delay is over, then the reply does.
    e.Atrasa(2000, 1);
    c.Escreve(teste::Cliente::Quadro("2", "LeInteiro", R"(NomeInteiro="COO")"));
    ASSERT_TRUE(e.EsperaQuadros(2, 1000));
    EXPECT_EQ(c.Le(50), "") << "the reply came before its delay";
    std::string r = c.Le(5000);
    EXPECT_EQ(teste::Codigo(r), 0);

    e.ErroEm("VendeItem", 9123, "Texto um", "Texto dois", 1);
    r = c.Comando("3", "VendeItem", "CodAliquota=0");
    EXPECT_EQ(r, R"({3;9123;NomeErro="Texto um" Circunstancia="Texto dois";54})");
    // Used up: the next sale is the printer's own answer (no receipt open).
    EXPECT_EQ(teste::Codigo(c.Comando("4", "VendeItem", "CodAliquota=0")),
              emulador::erro::kDocumentoNaoAberto);
}

TEST_F(Linha, RespostaEmPedacosESemChaveFinal) {
    Cliente c(pasta / "COM3");
    e.Fatia(3, 100, 1);
    c.Escreve(Cliente::Quadro("1", "LeTexto", R"(NomeTexto="NumeroSerieECF")"));
    int leituras = 0;
    std::string r = c.Le(3000, &leituras);
    EXPECT_EQ(r, R"({1;0;ValorTexto="TV010500000000012345";38})");
    EXPECT_GE(leituras, 3);

    e.SemFechamento(1);
    r = c.Comando("2", "LeInteiro", R"(NomeInteiro="COO")", 300);
    EXPECT_EQ(r, "{2;0;ValorInteiro=0;19");
    EXPECT_EQ(c.Comando("3", "LeInteiro", R"(NomeInteiro="COO")"), "{3;0;ValorInteiro=0;19}");
}

// Tests run the library in children made with fork() while an emulator serves here: each
// child's own emulator must serve too, fork after fork.
TEST_F(Linha, FilhoCriadoEnquantoOEmuladorServeServeSuaPropriaLinha) {
    Cliente c(pasta / "COM3");
    ASSERT_EQ(teste::Codigo(c.Comando("1", "LeInteiro", R"(NomeInteiro="COO")")), 0);  // serving
    for (int i = 0; i < 2; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Left undestroyed: a serving thread that never started would hold the exit.
            auto* filho = new emulador::Emulador;
            const std::string porta = "COM" + std::to_string(4 + i);
            int r = 2;
            if (filho->Inicia(pasta.Caminho(), porta)) {
                Cliente d(pasta / porta);
                r = teste::Codigo(d.Comando("1", "LeInteiro", R"(NomeInteiro="COO")")) == 0 ? 0 : 1;
            }
            ::_exit(r);
        }
        int estado = -1;
        ::waitpid(pid, &estado, 0);
        EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << "fork " << i << ": " << estado;
    }
}

TEST(TrocaDeArquivos, ComandoEStatusComUmaLinhaInteira) {
    teste::Pasta pasta;
    emulador::Emulador e;
    ASSERT_TRUE(e.IniciaArquivos(pasta.Caminho())) << e.Erro();
    auto envia = [&](const std::string& quadro) {
        std::filesystem::remove(pasta / "STATUS.TXT");
        {
            // Written in two parts, as a writer that is slower than the watcher would.
            std::ofstream f(pasta / "COMANDO.TXT", std::ios::binary);
            f << quadro.substr(0, 5);
            f.flush();
            std::this_thread::sleep_for(60ms);
            f << quadro.substr(5) << "\r\n";
        }
        for (int i = 0; i < 300 && !std::filesystem::exists(pasta / "STATUS.TXT"); ++i)
            std::this_thread::sleep_for(10ms);
        std::string s = LeArquivo(pasta / "STATUS.TXT");
        return s.substr(0, s.find("\r\n"));
    };
    EXPECT_EQ(envia(Cliente::Quadro("4", "LeInteiro", R"(NomeInteiro="COO")")), "{4;0;ValorInteiro=0;19}");
    EXPECT_FALSE(std::filesystem::exists(pasta / "COMANDO.TXT"));
    EXPECT_EQ(teste::Codigo(envia(Cliente::Quadro("5", "AbreCupomFiscal", ""))), 0);
    EXPECT_EQ(e.Impressora().aberto.tipo, emulador::TipoDocumento::CupomFiscal);
    EXPECT_EQ(e.Quadros().size(), 2u);

    // The "pieces" fault writes STATUS.TXT itself, so a reader sees it grow.
    e.Fatia(2, 300, 1);
    std::filesystem::remove(pasta / "STATUS.TXT");
    {
        std::ofstream f(pasta / "COMANDO.TXT", std::ios::binary);
        f << Cliente::Quadro("6", "LeInteiro", R"(NomeInteiro="CCF")") << "\r\n";
    }
    std::string parcial;
    for (int i = 0; i < 200 && parcial.empty(); ++i) {
        std::this_thread::sleep_for(5ms);
        parcial = LeArquivo(pasta / "STATUS.TXT");
    }
    EXPECT_EQ(parcial, "{6;0;ValorIn");
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(LeArquivo(pasta / "STATUS.TXT"), "{6;0;ValorInteiro=1;19}\r\n");
}
