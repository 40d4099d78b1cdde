// Cheques, authentication, barcodes and programming against a scripted printer: the exact
// parameter texts sent, and what is refused before anything is sent.
#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/parametros.h"
#include "platform/ini.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

class Documentos : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};

    void Carrega(const std::string& modelo, const std::string& extra = "") {
        teste::EscreveArquivo(home / "TARVO.INI",
                              "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\nModeloImp=" + modelo +
                                  "\r\nPath=" + home.Caminho() + "\r\n" + extra);
        CarregaConfiguracao();
        Estado().PrimeiroUsoFeito = true;
    }
};

constexpr const char* kComCheque = "TARVO_ORVIKTH";  // sub-model 1: cheque station
constexpr const char* kSemCheque = "TARVO_RIX";      // sub-model 0

TEST_F(Documentos, AChequeCarriesItsTextsAndTheBankLayout) {
    Carrega(kComCheque);
    teste::EscreveArquivo(home / "cheques.ini",  // found whatever its letter case
                          "[001]\r\nObservacao=Banco um\r\nHPosAno=45\r\nHPosValor=60\r\nVPosValor=2\r\n"
                          "HPosCidade=\r\nVPosCidade=x 1\r\n[002]\r\nHPosAno=40\r\n");
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    const std::string mensagem = std::string(80, 'a') + std::string(20, 'b');
    EXPECT_EQ(Tarvo_ImprimeCheque("001", "12345", " Jo\xE3o \"Silva\" ", "  Porto Alegre  ", "311210",
                                  mensagem.c_str()),
              1);
    EXPECT_EQ(Tarvo_ImprimeChequeMFD("002", "100", "Ana", "Lajeado", "01022011", "", "0", ""), 1);
    auto c = impressora.Comandos();
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(
        c[0],
        "ImprimeCheque;Cidade=\"Porto Alegre\" Data=#31/12/2010# Favorecido=\"Jo\xE3o \\x22Silva\\x22\" "
        "Valor=123,45 MensagemDocLinha1 =\"" +
            std::string(80, 'a') + "\" MensagemDocLinha2 =\"" + std::string(20, 'b') +
            "\" HPosAno=5 HPosValor=60 VPosValor=2");
    EXPECT_EQ(c[1],
              "ImprimeCheque;Cidade=\"Lajeado\" Data=#01/02/2011# Favorecido=\"Ana\" Valor=1,00 HPosAno=40");
}

TEST_F(Documentos, TheChequesTextsAreCutToTheirFieldsWithEveryEscapeWhole) {
    Carrega(kComCheque);
    teste::EscreveArquivo(home / "CHEQUES.INI", "[001]\r\nHPosAno=45\r\n");
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    const std::string favorecido = std::string(43, 'f') + "\\xC7A";
    const std::string mensagem = std::string(79, 'm') + "\\n" + std::string(10, 'n');
    EXPECT_EQ(Tarvo_ImprimeCheque("001", "100", favorecido.c_str(), "Lajeado", "010211", mensagem.c_str()),
              1);
    auto c = impressora.Comandos();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_NE(c[0].find(" Favorecido=\"" + std::string(43, 'f') + "\" "), std::string::npos) << c[0];
    EXPECT_NE(c[0].find(" MensagemDocLinha1 =\"" + std::string(79, 'm') + "\" MensagemDocLinha2 =\"\\n" +
                        std::string(10, 'n') + "\""),
              std::string::npos)
        << c[0];
}

TEST_F(Documentos, EmptyCityAndPayeeComeFromTheStoredDefaults) {
    Carrega(kComCheque);
    teste::EscreveArquivo(home / "CHEQUES.INI", "");
    EXPECT_EQ(Tarvo_IncluiCidadeFavorecido("Santa Maria da Boca do Monte, Rio Grande do Sul",
                                           "Pedro de Alcantara Francisco Antonio Joao Carlos Xavier"),
              1);
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(home / "TARVO.INI", "Opcional", "Cidade"),
              "Santa Maria da Boca do Monte, Rio Grande do Sul");
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    EXPECT_EQ(Tarvo_ImprimeCheque("999", "1", "", " ", "010111", ""), 1);
    // 27 and 45 characters, trimmed.
    EXPECT_EQ(
        impressora.Comandos(),
        std::vector<std::string>{"ImprimeCheque;Cidade=\"Santa Maria da Boca do Mont\" Data=#01/01/2011# "
                                 "Favorecido=\"Pedro de Alcantara Francisco Antonio Joao Car\" Valor=0,01"});
}

TEST_F(Documentos, ChequesAreRefusedBeforeAnythingIsSent) {
    Carrega(kComCheque);
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    EXPECT_EQ(Tarvo_ImprimeCheque("001", "1", "a", "b", "010111", ""), -8);
    EXPECT_EQ(Erro().UltimoRetorno, -8);
    EXPECT_EQ(Erro().UltimaMensagem, "CHEQUES.INI n\xE3o encontrado");
    teste::EscreveArquivo(home / "CHEQUES.INI", "");
    EXPECT_EQ(Tarvo_ImprimeChequeMFD("001", "1", "a", "b", "010111", "", "1", ""), -2);
    EXPECT_EQ(Erro().UltimaMensagem, "Parametro invalido");
    EXPECT_TRUE(impressora.Comandos().empty());

    Carrega(kSemCheque);
    EXPECT_EQ(Tarvo_ImprimeCheque("001", "1", "a", "b", "010111", ""), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -2);
    EXPECT_EQ(Erro().UltimaMensagem, "Comando Inexistente para este modelo:Tarvo_ImprimeCheque ");
    EXPECT_EQ(Tarvo_Autenticacao(), 0);
    EXPECT_EQ(Erro().UltimaMensagem, "Comando Inexistente para este modelo:TarvoRIX_Autenticacao");
    char cmc7[65] = "x";
    EXPECT_EQ(Tarvo_LeituraCheque(cmc7), 0);
    EXPECT_STREQ(cmc7, "");
    EXPECT_EQ(Tarvo_CancelaImpressaoCheque(), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -2);
    Carrega(kComCheque);
    EXPECT_EQ(Tarvo_CancelaImpressaoCheque(), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -3);
    EXPECT_TRUE(impressora.Comandos().empty());
}

TEST_F(Documentos, AuthenticationLinesAreLimitedToNine) {
    Carrega(kComCheque);
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    EXPECT_EQ(Tarvo_AutenticacaoMFD("3", "OK"), 1);
    EXPECT_EQ(Tarvo_AutenticacaoMFD("20", "A\"B"), 1);
    EXPECT_EQ(Tarvo_AutenticacaoMFD("x", ""), 1);
    EXPECT_EQ(Tarvo_Autenticacao(), 1);
    std::string nove;
    for (int i = 0; i < 9; ++i) nove += "\\n";
    EXPECT_EQ(impressora.Comandos(),
              (std::vector<std::string>{"ImprimeAutenticacao;TextoAutenticacao=\"\\n\\n\\nOK\"",
                                        "ImprimeAutenticacao;TextoAutenticacao=\"" + nove + "A\\x22B\"",
                                        "ImprimeAutenticacao;TextoAutenticacao=\"" + nove + "\"",
                                        "ImprimeAutenticacao;"}));
}

TEST_F(Documentos, TheChequeLineIsReadWithItsOwnTimeOut) {
    Carrega(kComCheque);
    EXPECT_EQ(TempoLimiteComando("LeTexto", "NomeTexto=\"CMC7Documento\""), 40);
    // The printer answers after 6 seconds, past the 5 of an ordinary command.
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        return teste::Resposta{
            {Roteiro::Quadro(Roteiro::Pacote(q), "0", "ValorTexto=\"<00100012<0180000105>123456789012:\"")},
            6000};
    });
    char cmc7[65];
    EXPECT_EQ(Tarvo_LeituraCheque(cmc7), 1);
    EXPECT_STREQ(cmc7, "<00100012<0180000105>123456789012:");
    EXPECT_EQ(impressora.Comandos(), std::vector<std::string>{"LeTexto;NomeTexto=\"CMC7Documento\""});
}

TEST_F(Documentos, BarcodeSettingsOutsideOneByteAreRefused) {
    Carrega(kSemCheque);
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    EXPECT_EQ(Tarvo_ConfiguraCodigoBarrasMFD(256, 3, 0, 0, 0), -2);
    EXPECT_EQ(Tarvo_ConfiguraCodigoBarrasMFD(162, -1, 0, 0, 0), -2);
    EXPECT_EQ(Tarvo_ConfiguraCodigoBarrasMFD(162, 3, 1000, 0, 0), -2);
    EXPECT_EQ(Tarvo_ConfiguraCodigoBarrasMFD(162, 3, 2, 256, 0), -2);
    EXPECT_EQ(Erro().UltimoRetorno, -2);
    EXPECT_TRUE(impressora.Comandos().empty());
    EXPECT_EQ(Tarvo_ConfiguraCodigoBarrasMFD(162, 3, 2, 255, 9999), 1);  // the margin is not sent
    EXPECT_EQ(
        impressora.Comandos(),
        std::vector<std::string>{"ImprimeTexto;TextoLivre=\"\\x1Dw\\x03\\x1Dh\\xA2\\x1DH\\x02\\x1Df\\xFF\""});
}

TEST_F(Documentos, BarcodesOtherThanItfNeedABarcodePrinter) {
    Carrega(kSemCheque);
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso());
    EXPECT_EQ(Tarvo_CodigoBarrasEAN13MFD("7891234567895"), 0);
    EXPECT_EQ(Erro().UltimaMensagem, "Comando Inexistente para este modelo:Tarvo_CodigoBarrasEAN13MFD");
    EXPECT_EQ(Tarvo_CodigoBarrasCODE128MFD("1"), 0);
    EXPECT_EQ(Erro().UltimaMensagem, "Comando Inexistente para este modelo:TarvoRIX_CodigoBarrasCODE128MFD ");
    EXPECT_EQ(Tarvo_CodigoBarrasITFMFD("1234"), 1);
    EXPECT_EQ(impressora.Comandos(),
              std::vector<std::string>{"ImprimeTexto;TextoLivre=\"\\x1Dk\\x051234\\x00\""});
}

TEST_F(Documentos, ProgrammingCommands) {
    Carrega(kSemCheque);
    int verao = 0;
    Roteiro impressora(dev.Caminho(), "COM1", Roteiro::Sucesso([&](const std::string& cmd) -> std::string {
                           if (cmd == "LeInteiro") return "ValorInteiro=3";  // the free rate slot
                           if (cmd == "LeIndicador")
                               return "ValorNumericoIndicador=" + std::to_string(verao) +
                                      " ValorTextoIndicador=\"x\"";
                           if (cmd == "AcertaHorarioVerao") verao = 1 - verao;
                           return "";
                       }));
    EXPECT_EQ(Tarvo_ProgramaAliquota("1800", 0), 1);
    EXPECT_EQ(Tarvo_ProgramaAliquota("0500", 1), 1);
    EXPECT_EQ(Tarvo_ProgramaHorarioVerao(), 1);
    EXPECT_EQ(Tarvo_ProgramaHorarioVerao(), 1);
    EXPECT_EQ(Tarvo_ProgramaMoedaPlural("Reais \"BR\""), 1);
    EXPECT_EQ(Tarvo_NomeiaRelatorioGerencialMFD("3 CodGerencial=9", "X"), -2);
    EXPECT_EQ(Tarvo_NomeiaRelatorioGerencialMFD(" 3 ", "Sangrias"), 1);
    EXPECT_EQ(impressora.Comandos(),
              (std::vector<std::string>{
                  "LeInteiro;NomeInteiro=\"AliquotaDisponivel\"",
                  "DefineAliquota;CodAliquotaProgramavel=3 PercentualAliquota=18,00",
                  "LeInteiro;NomeInteiro=\"AliquotaDisponivel\"",
                  "DefineAliquota;CodAliquotaProgramavel=3 PercentualAliquota=5,00 AliquotaICMS = false",
                  "LeIndicador;NomeIndicador=\"HorarioVerao\"", "AcertaHorarioVerao;EntradaHV=1",
                  "LeIndicador;NomeIndicador=\"HorarioVerao\"", "AcertaHorarioVerao;EntradaHV=0",
                  "EscreveTexto;NomeTexto=\"NomeMoedaPlural\" ValorTexto=\"Reais \\x22BR\\x22\"",
                  "DefineGerencial;CodGerencial=3 NomeGerencial=\"Sangrias\""}));
}

TEST_F(Documentos, DaylightSavingIsNotToggledWithoutItsState) {
    Carrega(kSemCheque);
    Roteiro impressora(dev.Caminho(), "COM1", [](const std::string& q) {
        return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), "8001", "A=\"Erro\" B=\"x\"")}};
    });
    EXPECT_EQ(Tarvo_ProgramaHorarioVerao(), 0);
    EXPECT_EQ(impressora.Comandos(), std::vector<std::string>{"LeIndicador;NomeIndicador=\"HorarioVerao\""});
}

}  // namespace
