// Non-fiscal documents issued by the real library against the printer emulator: a
// non-fiscal receipt, cash withdrawal and supply, a credit voucher bound to a card payment
// and management reports, with the printer's counters and totals afterwards.
#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"
#include "platform/ini.h"

namespace {

using emulador::Emulador;

class NaoFiscalEmulador : public teste::ComEmulador {
  protected:
    void SetUp() override {
        ComEmulador::SetUp();
        Ini();
    }
};

TEST_F(NaoFiscalEmulador, WithdrawalSupplyAndAReceiptMoveTheNonFiscalTotals) {
    e.Altera([](emulador::Impressora& p) {
        p.naoFiscais[2] = {true, "RECEBIMENTO", "Recebimento de conta", true};
    });
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_Suprimento, "200,00", "");
        PASSO(c, 1, Tarvo_Sangria, "1000");
        PASSO(c, 1, Tarvo_AbreRecebimentoNaoFiscalMFD, "12345678909", "CARLA", "AV BRASIL, 5");
        PASSO(c, 1, Tarvo_EfetuaRecebimentoNaoFiscalMFD, "02", "45,00");
        PASSO(c, 1, Tarvo_AcrescimoItemNaoFiscalMFD, "1", "A", "$", "5,00");
        PASSO(c, 1, Tarvo_EfetuaFormaPagamento, "Dinheiro", "50,00");
        PASSO(c, 1, Tarvo_FechaRecebimentoNaoFiscalMFD, "CONTA PAGA");
        // A one-step receipt whose payment the printer refuses is not a success: the close
        // is refused too (the receipt is not paid) and that is what the caller reads.
        PASSO(c, 0, Tarvo_RecebimentoNaoFiscal, "02", "10,00", "VALE");
        int codigo = 0;
        char msg[1024];
        CHAMA(c, Tarvo_RetornoImpressora, &codigo, msg);
        if (codigo != 8008) c.Falha("first failure " + std::to_string(codigo) + " " + msg);
        PASSO(c, 1, Tarvo_CancelaRecebimentoNaoFiscalMFD, "", "", "");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("EmiteItemNaoFiscal"),
              (std::vector<std::string>{"CodNaoFiscal=0 Valor=200,00", "CodNaoFiscal=1 Valor=10,00",
                                        "CodNaoFiscal=02 Valor=45,00", "CodNaoFiscal=02 Valor=10,00"}));
    EXPECT_EQ(Parametros("PagaCupom"),
              (std::vector<std::string>{"CodMeioPagamento=-2 Valor=200,00", "CodMeioPagamento=-2 Valor=10,00",
                                        "CodMeioPagamento=-2 Valor=50,00",
                                        "NomeMeioPagamento=\"VALE\" Valor=10,00"}));
    emulador::Impressora p = e.Impressora();
    // Four non-fiscal documents, then the cancellation of the open one.
    EXPECT_EQ(p.contadores.coo, 4);
    EXPECT_EQ(p.contadores.gnf, 4);
    EXPECT_EQ(p.contadores.ccf, 0);
    EXPECT_EQ(p.contadores.nfc, 1);
    EXPECT_EQ(p.dia.naoFiscal[0], 20000);
    EXPECT_EQ(p.dia.naoFiscal[1], 1000);
    EXPECT_EQ(p.dia.naoFiscal[2], 5000);
    EXPECT_EQ(p.dia.dinheiro, 20000 - 1000 + 5000);
    const std::string recibo = p.DocumentoPorCoo(3)->Texto();
    for (const char* trecho :
         {"COMPROVANTE NAO-FISCAL", "RECEBIMENTO", "CONTA PAGA", "CNPJ/CPF consumidor: 12345678909"})
        EXPECT_TRUE(Contem(recibo, trecho)) << trecho << " in\n" << recibo;
    EXPECT_TRUE(Contem(p.DocumentoPorCoo(2)->Texto(), "SANGRIA"));
}

TEST_F(NaoFiscalEmulador, TheDayOpensWithAnXReadingAndASupplyWhenThereIsOne) {
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AberturaDoDia, "0,00", "");
        PASSO(c, 1, Tarvo_AberturaDoDia, "150,00", "Dinheiro");
    });
    EXPECT_EQ(falhas, "");
    std::vector<std::string> comandos;
    for (const std::string& c : e.Comandos())
        if (c != "EscreveInteiro") comandos.push_back(c);
    EXPECT_EQ(comandos, (std::vector<std::string>{"EmiteLeituraX", "EmiteLeituraX", "AbreCupomNaoFiscal",
                                                  "EmiteItemNaoFiscal", "PagaCupom", "EncerraDocumento"}));
    emulador::Impressora p = e.Impressora();
    EXPECT_EQ(p.contadores.coo, 3);
    EXPECT_EQ(p.dia.naoFiscal[0], 15000);
    EXPECT_EQ(p.dia.dinheiro, 15000);
}

TEST_F(NaoFiscalEmulador, ACreditVoucherBoundToACardPayment) {
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "TV", "1800", "I", "1", 2, "150000", "$", "0");
        PASSO(c, 1, Tarvo_FechaCupom, "Cartao Credito", "A", "$", "0", "1500,00", "");
        PASSO(c, 1, Tarvo_AbreComprovanteNaoFiscalVinculado, "Cartao Credito", "1500,00", "");
        PASSO(c, 1, Tarvo_UsaComprovanteNaoFiscalVinculado, "CARTAO 1234 **** 5678\\nAUTORIZACAO 999");
        PASSO(c, 1, Tarvo_FechaComprovanteNaoFiscalVinculado);
        PASSO(c, 1, Tarvo_SegundaViaNaoFiscalVinculadoMFD);
        PASSO(c, 1, Tarvo_EstornoNaoFiscalVinculadoMFD, "", "", "");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("AbreCreditoDebito"),
              (std::vector<std::string>{"NomeMeioPagamento=\"Cartao Credito\" Valor = 1500,00"}));
    EXPECT_EQ(Parametros("EstornaCreditoDebito"), (std::vector<std::string>{"COO=2"}));
    emulador::Impressora p = e.Impressora();
    EXPECT_EQ(p.contadores.coo, 3);
    EXPECT_EQ(p.contadores.ccf, 1);
    EXPECT_EQ(p.contadores.cdc, 1);
    EXPECT_EQ(p.contadores.gnf, 2);
    EXPECT_EQ(p.dia.meioPagamento[0], 150000);
    const std::string vinculado = p.DocumentoPorCoo(2)->Texto();
    for (const char* trecho :
         {"COMPROVANTE CREDITO OU DEBITO", "COO DO DOCUMENTO VINCULADO:", "AUTORIZACAO 999"})
        EXPECT_TRUE(Contem(vinculado, trecho)) << trecho << " in\n" << vinculado;
    EXPECT_TRUE(Contem(p.DocumentoPorCoo(3)->Texto(), "ESTORNO DE COMPROVANTE CREDITO OU DEBITO"));
}

TEST_F(NaoFiscalEmulador, AManagementReportOpensOnTheFirstIndexThePrinterAccepts) {
    e.Altera([](emulador::Impressora& p) {
        p.gerenciais[0] = {};
        p.gerenciais[2] = {true, "FECHAMENTO CAIXA"};
    });
    std::string texto;
    for (int i = 1; i <= 30; ++i) texto += "LINHA " + std::to_string(i) + " DO RELATORIO DE FECHAMENTO\\n";
    std::string falhas = Roda([&](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_RelatorioGerencial, texto.c_str());
        PASSO(c, 1, Tarvo_RelatorioGerencial, "ULTIMA LINHA");
        PASSO(c, 1, Tarvo_FechaRelatorioGerencial);
        // Left open after a text, the report is closed before the next command.
        PASSO(c, 1, Tarvo_RelatorioGerencial, "OUTRO");
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_CancelaCupom);
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("AbreGerencial"),
              (std::vector<std::string>{"CodGerencial=0", "CodGerencial=1", "CodGerencial=2",
                                        "CodGerencial=0", "CodGerencial=1", "CodGerencial=2"}));
    auto textos = Parametros("ImprimeTexto");
    ASSERT_EQ(textos.size(), 5u);  // 30 lines in 3 pieces, one more line, the second report
    emulador::Impressora p = e.Impressora();
    EXPECT_EQ(p.contadores.grg, 2);
    EXPECT_EQ(p.contadores.cer[2], 2);
    EXPECT_EQ(p.contadores.coo, 3);
    const std::string relatorio = p.DocumentoPorCoo(1)->Texto();
    for (const char* trecho : {"RELATORIO GERENCIAL", "FECHAMENTO CAIXA", "LINHA 1 DO RELATORIO",
                               "LINHA 30 DO RELATORIO", "ULTIMA LINHA"})
        EXPECT_TRUE(Contem(relatorio, trecho)) << trecho << " in\n" << relatorio;
    EXPECT_TRUE(p.DocumentoPorCoo(2)->fechado);
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(home / "TARVO.INI", "Flags", "Gerencial", ""), "0");
}

}  // namespace
