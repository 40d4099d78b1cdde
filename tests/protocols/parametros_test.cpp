// The named-parameter engine over a pseudo-terminal, against a scripted peer.
#include "driver/protocols/familia0/parametros.h"

#include <gtest/gtest.h>

#include <thread>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/exclusao.h"
#include "driver/core/registro.h"
#include "platform/ini.h"
#include "platform/relogio.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

class Motor : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};

    void Carrega(const std::string& extra = "") {
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\n" + extra);
        CarregaConfiguracao();
    }
    std::string Chave(const char* s, const char* k) {
        return plataforma::ArquivoIni::LeChave(home / "TARVO.INI", s, k, "<none>");
    }
};

TEST_F(Motor, FramesCarryPacketCommandParametersAndLength) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1",
                       Roteiro::Sucesso([](const std::string&) { return "ValorInteiro=123"; }));
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\""), 1);
    EXPECT_EQ(Resposta().ValorResposta, "123");
    auto q = impressora.Quadros();
    ASSERT_EQ(q.size(), 2u);
    // The first command after load is preceded by the document spacing (7 lines x 30).
    EXPECT_EQ(q[0], "{2;EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=210;70}");
    EXPECT_EQ(q[1], "{3;LeInteiro;NomeInteiro=\"COO\";30}");
    EXPECT_EQ(Chave("Flags", "NumPkt"), "3");
    EXPECT_EQ(Erro().UltimoRetorno, 0);
    EXPECT_EQ(Erro().EstadoAck, 6);
}

TEST_F(Motor, PacketNumbersWrapFrom255ToOne) {
    Carrega("[Flags]\r\nNumPkt=254\r\n");
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    EXPECT_EQ(EnviaComandoTxt("AvancaPapel", "Avanco=30"), 1);
    EXPECT_EQ(EnviaComandoTxt("AvancaPapel", "Avanco=60"), 1);
    auto q = impressora.Quadros();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(Roteiro::Pacote(q[0]), "255");
    EXPECT_EQ(Roteiro::Pacote(q[1]), "1");
    EXPECT_EQ(Roteiro::Pacote(q[2]), "2");
}

TEST_F(Motor, AnOpenManagementReportIsClosedBeforeAnythingButAReading) {
    Carrega("[Flags]\r\nGerencial=1\r\n");
    Estado().PrimeiroUsoFeito = true;
    Estado().NomeOperador = "ANA";
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\""), 1);
    EXPECT_EQ(Chave("Flags", "Gerencial"), "1");
    EXPECT_EQ(EnviaComandoTxt("VendeItem", "x=1"), 1);
    EXPECT_EQ(impressora.Comandos(),
              (std::vector<std::string>{"LeInteiro;NomeInteiro=\"COO\"", "EncerraDocumento;Operador=\"ANA\"",
                                        "VendeItem;x=1"}));
    EXPECT_EQ(Chave("Flags", "Gerencial"), "0");
    EXPECT_EQ(Config().Gerencial, 0);
}

// The first command after load with a report left open and the monthly reading due: each
// pre-command goes after the ones it needs, the spacing (7 lines: 210) last, and a reading
// that must wait for the open document is tried again before each of them.
TEST_F(Motor, PreCommandsOfTheFirstCommandGoInTheirOrder) {
    const struct {
        int aberto;
        std::vector<std::string> comandos;
    } casos[] = {
        {0,
         {"LeData;NomeData=\"Data\"", "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"",
          "EmiteLeituraMF;LeituraSimplificada=false DataInicial=#01/05/2011# DataFinal=#31/05/2011#",
          "EncerraDocumento;Operador=\"ANA\"",
          "EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=210", "VendeItem;"}},
        {1,
         {"LeData;NomeData=\"Data\"", "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"",
          "EncerraDocumento;Operador=\"ANA\"", "LeData;NomeData=\"Data\"",
          "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"",
          "EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=210", "LeData;NomeData=\"Data\"",
          "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", "VendeItem;"}},
    };
    for (const auto& caso : casos) {
        Carrega("LMFAutomatico=1\r\nEspacamentoDocumentos=7\r\n[Flags]\r\nGerencial=1\r\n");
        Estado().PrimeiroUsoFeito = false;
        Estado().NomeOperador = "ANA";
        Roteiro impressora(dev.Caminho(), "COM1",
                           Roteiro::Sucesso([&](const std::string& cmd) -> std::string {
                               if (cmd == "LeData") return "ValorData=#15/06/2011#";
                               if (cmd == "LeInteiro") return "ValorInteiro=" + std::to_string(caso.aberto);
                               return "";
                           }));
        EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), 1);
        EXPECT_EQ(impressora.Comandos(), caso.comandos) << caso.aberto;
        EXPECT_EQ(Chave("Flags", "Gerencial"), "0");
        EXPECT_EQ(Config().LmfAutomaticaFeita, caso.aberto == 0);
        EXPECT_FALSE(Config().LmfAutomaticaRodando);
        EXPECT_TRUE(Estado().PrimeiroUsoFeito);
    }
}

TEST_F(Motor, TheMonthlyReadingRunsOnceForThePreviousMonth) {
    Carrega("LMFAutomatico=1\r\n");
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso([](const std::string& cmd) -> std::string {
                           if (cmd == "LeData") return "ValorData=#15/01/2011#";
                           if (cmd == "LeInteiro") return "ValorInteiro=0";
                           return "";
                       }));
    EXPECT_EQ(EnviaComandoTxt("AbreCupomFiscal", ""), 1);
    EXPECT_EQ(EnviaComandoTxt("VendeItem", "a=1"), 1);
    EXPECT_EQ(impressora.Comandos(),
              (std::vector<std::string>{
                  "LeData;NomeData=\"Data\"", "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"",
                  "EmiteLeituraMF;LeituraSimplificada=false DataInicial=#01/12/2010# DataFinal=#31/12/2010#",
                  "AbreCupomFiscal;", "VendeItem;a=1"}));
    EXPECT_EQ(Chave("Flags", "LMFAUT_UltimaData"), "12/2010");
}

TEST_F(Motor, TheMonthlyReadingAlreadyDoneCostsOneDateReading) {
    Carrega("LMFAutomatico=1\r\n[Flags]\r\nLMFAUT_UltimaData=02/2011\r\n");
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso([](const std::string& cmd) -> std::string {
                           return cmd == "LeData" ? "ValorData=#10/03/2011#" : "";
                       }));
    EXPECT_EQ(EnviaComandoTxt("AbreCupomFiscal", ""), 1);
    EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), 1);
    EXPECT_EQ(impressora.Comandos(),
              (std::vector<std::string>{"LeData;NomeData=\"Data\"", "AbreCupomFiscal;", "VendeItem;"}));
}

TEST_F(Motor, TheMonthlyReadingEndsOnTheMonthsLastDay) {
    Carrega("LMFAutomatico=1\r\n");
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso([](const std::string& cmd) -> std::string {
                           if (cmd == "LeData") return "ValorData=#02/03/2012#";
                           if (cmd == "LeInteiro") return "ValorInteiro=0";
                           return "";
                       }));
    EXPECT_EQ(EnviaComandoTxt("AvancaPapel", ""), 1);
    EXPECT_EQ(impressora.Comandos()[2],
              "EmiteLeituraMF;LeituraSimplificada=false DataInicial=#01/02/2012# DataFinal=#29/02/2012#");
}

TEST_F(Motor, TheMonthlyReadingWaitsForTheOpenDocumentToEnd) {
    Carrega("LMFAutomatico=1\r\n");
    Estado().PrimeiroUsoFeito = true;
    int aberto = 1;
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso([&](const std::string& cmd) -> std::string {
                           if (cmd == "LeData") return "ValorData=#15/06/2011#";
                           if (cmd == "LeInteiro") return "ValorInteiro=" + std::to_string(aberto);
                           if (cmd == "EmiteLeituraMF") return "";
                           return "";
                       }));
    EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), 1);
    aberto = 0;
    EXPECT_EQ(EnviaComandoTxt("EncerraDocumento", ""), 1);
    auto c = impressora.Comandos();
    ASSERT_EQ(c.size(), 7u);
    EXPECT_EQ(c[2], "VendeItem;");
    EXPECT_EQ(c[5],
              "EmiteLeituraMF;LeituraSimplificada=false DataInicial=#01/05/2011# DataFinal=#31/05/2011#");
}

TEST_F(Motor, PrinterErrorsBecomeTheLastError) {
    Carrega();
    Estado().PrimeiroUsoFeito = true;
    std::string codigo = "8005";
    Roteiro impressora(dev.Caminho(), "COM1", [&](const std::string& q) {
        return teste::Resposta{{Roteiro::Quadro(
            Roteiro::Pacote(q), codigo, "TextoErro=\"Aliquota nao programada\" Detalhe=\"indice 3\"")}};
    });
    EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8005);
    EXPECT_EQ(Erro().UltimaMensagem, "Aliquota nao programada - indice 3");
    EXPECT_EQ(Erro().EstadoSt2, 1);
    codigo = "ABC";
    EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 9999);
    // A success afterwards clears the record.
    codigo = "0";
    EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), 1);
    EXPECT_EQ(Erro().UltimoRetorno, 0);
    EXPECT_EQ(Erro().UltimaMensagem, "");
    EXPECT_EQ(Erro().EstadoSt2, 0);
}

TEST_F(Motor, ARepliesCutIntoPiecesIsJoinedEvenWithABraceInsideTheData) {
    Carrega();
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        std::string r = Roteiro::Quadro(Roteiro::Pacote(q), "0", "ValorTexto=\"a}b;c}\"");
        std::size_t corte = r.find("a}") + 2;  // the first piece ends in "}"
        return teste::Resposta{{r.substr(0, corte), r.substr(corte, 3), r.substr(corte + 3)}, 30};
    });
    EXPECT_EQ(EnviaComandoTxt("LeTexto", "NomeTexto=\"X\""), 1);
    EXPECT_EQ(Resposta().ValorResposta, "a}b;c}");
}

TEST_F(Motor, ASilentPrinterIsACommunicationFailureAfterTheTimeOut) {
    Carrega();
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string&) { return teste::Resposta{}; });
    const ContagemTrocas antes = TrocasDestaThread();
    EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), 0);
    // One read that runs to the time-out, then the failure.
    EXPECT_EQ(TrocasDestaThread().limites, antes.limites + 1);
    EXPECT_LE(TrocasDestaThread().leituras - antes.leituras, 2u);
    EXPECT_EQ(Erro().UltimoRetorno, -1);
    EXPECT_EQ(Erro().UltimaMensagem, "Falha de comunica\xE7\xE3o");
}

TEST_F(Motor, APortThatCannotBeOpenedIsMinusFive) {
    Carrega();
    Estado().PrimeiroUsoFeito = true;
    EXPECT_EQ(EnviaComandoTxt("VendeItem", ""), -5);
    EXPECT_EQ(Erro().UltimoRetorno, -5);
    EXPECT_EQ(Erro().UltimaMensagem, "Erro Abertura Porta Serial");
}

TEST_F(Motor, ThreadsTakeTurnsOnTheWire) {
    Carrega();
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), "0", "ValorInteiro=7")}, 20};
    });
    std::vector<std::thread> fios;
    std::atomic<int> sucessos{0};
    for (int i = 0; i < 4; ++i)
        fios.emplace_back([&] {
            for (int k = 0; k < 3; ++k)
                if (EnviaComandoTxt("LeInteiro", "NomeInteiro=\"COO\"") == 1) ++sucessos;
        });
    for (auto& f : fios) f.join();
    EXPECT_EQ(sucessos, 12);
    EXPECT_EQ(impressora.Quadros().size(), 12u);
}

TEST_F(Motor, ACallFromInsideACommandOnTheWireIsRefusedNotFaked) {
    Carrega();
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    {
        ComandoExclusivo emCurso;  // as if a command of this thread were waiting for its reply
        emCurso.NoFio();
        EXPECT_TRUE(ComandoEmExecucao());
        EXPECT_EQ(EnviaComandoTxt("AvancaPapel", "Avanco=30"), 0);
        EXPECT_EQ(Erro().UltimoRetorno, -1);
        EXPECT_EQ(Erro().UltimaMensagem, kMensagemReentrante);
    }
    EXPECT_FALSE(ComandoEmExecucao());
    EXPECT_TRUE(impressora.Quadros().empty());
    EXPECT_EQ(EnviaComandoTxt("AvancaPapel", "Avanco=30"), 1);
}

TEST_F(Motor, FileExchangeWaitsForAWholeStatusLine) {
    std::filesystem::create_directory(home / "troca");
    Carrega("ConfigRede=1\r\nPath=C:\\troca\r\n");
    Estado().PrimeiroUsoFeito = true;
    const std::string comando = home / "troca/COMANDO.TXT", status = home / "troca/STATUS.TXT";
    std::thread relay([&] {
        // The command counts once its line is whole, as a printer-side program reads it.
        std::string q;
        while (
            (q = std::filesystem::exists(comando) ? teste::LeArquivo(comando) : std::string()).find('\n') ==
            std::string::npos)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::string resposta = Roteiro::Quadro(Roteiro::Pacote(q), "0", "ValorInteiro=42");
        // Half a line first: the engine must not take it as the reply.
        teste::EscreveArquivo(status, resposta.substr(0, 10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        teste::EscreveArquivo(status, resposta + "\r\n");
    });
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", "NomeInteiro=\"CRZ\""), 1);
    relay.join();
    EXPECT_EQ(Resposta().ValorResposta, "42");
    EXPECT_EQ(teste::LeArquivo(comando).substr(teste::LeArquivo(comando).find(';')),
              ";LeInteiro;NomeInteiro=\"CRZ\";30}\r\n");
}

TEST_F(Motor, FileExchangeWithoutItsFolderIsMinusEight) {
    Carrega("ConfigRede=1\r\nPath=C:\\naoexiste\r\n");
    Estado().PrimeiroUsoFeito = true;
    EXPECT_EQ(EnviaComandoTxt("LeInteiro", ""), -8);
    EXPECT_EQ(Erro().UltimaMensagem, "Erro no Diretorio especificado em Path");
}

TEST(Respostas, ValuesAreTakenByTheReplysLeadingKey) {
    Resposta().TipoAliquotaPedido = 0;
    EXPECT_EQ(ExtraiValorResposta("ValorInteiro=123"), "123");
    EXPECT_EQ(ExtraiValorResposta("ValorMoeda=123456"), "1234");
    EXPECT_EQ(ExtraiValorResposta("ValorMoeda=5"), "");
    EXPECT_EQ(ExtraiValorResposta("ValorTexto=\"RIX FS-700\""), "RIX FS-700");
    EXPECT_EQ(ExtraiValorResposta("TextoImpressao=\"linha\\n\""), "linha\\n");
    EXPECT_EQ(ExtraiValorResposta("ValorNumericoIndicador=1"), "1");
    EXPECT_EQ(ExtraiValorResposta("CodGerencial=3 NomeGerencial=\"SANGRIA\""), "SANGRIA");
    EXPECT_EQ(ExtraiValorResposta("CodDepartamento=2 NomeDepartamento=\"BEBIDAS"), "");
    EXPECT_EQ(ExtraiValorResposta("CodMeioPagamento=4 CodMeioPagamentoProgram=3 NomeMeioPagamento=\"Cartao\" "
                                  "PermiteVinculado=Y"),
              "Cartao");
    EXPECT_EQ(Resposta().CodigoResposta, "3");
    EXPECT_EQ(Resposta().PermiteVinculadoResposta, "Y");
    EXPECT_EQ(ExtraiValorResposta("CodNaoFiscal=5 NomeNaoFiscal=\"Conta\""), "Conta");
    EXPECT_EQ(Resposta().CodigoResposta, "5");
}

TEST(Respostas, RateReadingsCanAskForOneKindOfRate) {
    const std::string icms = "AliquotaICMS=Y PercentualAliquota=1800",
                      iss = "AliquotaICMS=N PercentualAliquota=0500";
    Resposta().TipoAliquotaPedido = 0;
    EXPECT_EQ(ExtraiValorResposta(icms), "1800");
    EXPECT_EQ(ExtraiValorResposta(iss), "0500");
    Resposta().TipoAliquotaPedido = 3;
    EXPECT_EQ(ExtraiValorResposta(icms), "1800");
    EXPECT_EQ(ExtraiValorResposta(iss), "");
    Resposta().TipoAliquotaPedido = 1;
    EXPECT_EQ(ExtraiValorResposta(icms), "");
    EXPECT_EQ(ExtraiValorResposta(iss), "0500");
    Resposta().TipoAliquotaPedido = 0;
}

TEST(Respostas, CompleteFramesAndSplitting) {
    EXPECT_TRUE(RespostaCompleta("{7;0;ValorInteiro=1;19}"));
    EXPECT_TRUE(RespostaCompleta("lixo{7;0;;5}"));
    EXPECT_FALSE(RespostaCompleta("{7;0;ValorTexto=\"a}"));
    EXPECT_FALSE(RespostaCompleta("{7;0;ValorInteiro=1;18}"));
    EXPECT_FALSE(RespostaCompleta("{7;0;x;}"));
    EXPECT_FALSE(RespostaCompleta("}"));
    std::string codigo, dados;
    DivideResposta("{7;8005;TextoErro=\"a;b\";20}", codigo, dados);
    EXPECT_EQ(codigo, "8005");
    EXPECT_EQ(dados, "TextoErro=\"a;b\"");
    DivideResposta("{7;0;;5}", codigo, dados);
    EXPECT_EQ(codigo, "0");
    EXPECT_EQ(dados, "");
    EXPECT_EQ(MontaQuadro(7, "LeInteiro", "NomeInteiro=\"COO\""), "{7;LeInteiro;NomeInteiro=\"COO\";30}");
}

TEST(Respostas, QuotedTextsCannotInjectParameters) {
    EXPECT_EQ(Aspas("ARROZ \"TIPO 1\""), "\"ARROZ \\x22TIPO 1\\x22\"");
    EXPECT_EQ(Aspas("a\" Preco=0"), "\"a\\x22 Preco=0\"");
}

TEST(Respostas, TimeOutsPerCommand) {
    Config().TimeOutRedZ = 40;
    Config().TimeOutComandos = 10;
    EXPECT_EQ(TempoLimiteComando("EmiteReducaoZ", ""), 40);
    EXPECT_EQ(TempoLimiteComando("LeTexto", "NomeTexto=\"CMC7Documento\""), 40);
    EXPECT_EQ(TempoLimiteComando("LeTexto", "NomeTexto=\"Modelo\""), 10);
    EXPECT_EQ(TempoLimiteComando("EmiteLeituraFitaDetalhe", ""), 60);
    EXPECT_EQ(TempoLimiteComando("LeImpressao", ""), 40);
    EXPECT_EQ(TempoLimiteComando("emitereducaoz", ""), 10);
}

TEST_F(Motor, RegistersByNumber) {
    Carrega();
    Estado().PrimeiroUsoFeito = true;
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso([](const std::string& cmd) -> std::string {
                           if (cmd == "LeInteiro") return "ValorInteiro=000042";
                           if (cmd == "LeData") return "ValorData=#31/12/2010#";
                           if (cmd == "LeHora") return "ValorHora=#23:59:01#";
                           return "";
                       }));
    std::string texto = "x";
    EXPECT_EQ(LeRegistradorTxt(2, texto), 0);
    EXPECT_EQ(texto, "");
    EXPECT_TRUE(impressora.Quadros().empty());
    EXPECT_EQ(LeRegistradorTxt(6, texto), 1);
    EXPECT_EQ(texto, "000042");
    std::string data, hora;
    EXPECT_EQ(DataHoraReducaoTxt(data, hora), 1);
    EXPECT_EQ(data, "311210");
    EXPECT_EQ(hora, "235901");
    auto c = impressora.Comandos();
    EXPECT_EQ(c[0], "LeInteiro;NomeInteiro=\"COO\"");
    EXPECT_EQ(c[2], "LeData;NomeData=\"DataReducao[000042]\"");
    EXPECT_EQ(c[3], "LeHora;NomeHora=\"HoraReducao[000042]\"");
}

}  // namespace
