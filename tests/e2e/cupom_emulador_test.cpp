// Fiscal receipts issued by the real library against the printer emulator on a
// pseudo-terminal: the frames on the wire, what the printer printed, and how its counters
// and day totals moved.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"
#include "platform/ini.h"

namespace {

using emulador::Emulador;

class CupomEmulador : public teste::ComEmulador {
  protected:
    // The frames' command and parameters, without the spacing sent once after the load.
    std::vector<std::string> Comandos() {
        std::vector<std::string> r;
        for (const emulador::Troca& t : e.Trocas())
            if (!(t.comando == "EscreveInteiro" &&
                  t.parametros.find("EspacamentoDocumentos") != std::string::npos))
                r.push_back(t.comando + ";" + t.parametros);
        return r;
    }
};

TEST_F(CupomEmulador, AWholeReceipt) {
    Ini();
    // 1000 characters: printed in pieces of 480, 480 and 40.
    const std::string mensagem =
        std::string(450, 'M') + "\\nOBRIGADO PELA PREFERENCIA" + std::string(523, 'P');
    ASSERT_EQ(mensagem.size(), 1000u);
    std::string falhas = Roda([&](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ProgramaOperador, "MARIA");
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_IdentificaConsumidor, "123.456.789-09", "JOAO DA SILVA", "RUA DAS FLORES, 10");
        // 18 % by percentage, two units, a discount of 1,00.
        PASSO(c, 1, Tarvo_VendeItem, "7891000100103", "ARROZ 5KG", "1800", "I", "2", 2, "1990", "$", "1,00");
        // Rate slot 01 (12 %), 0,745 kg at 32,900 a kilo, a discount of 10 %.
        PASSO(c, 1, Tarvo_VendeItem, "2", "QUEIJO \"MINAS\"", "01", "Kg", "0,745", 3, "32900", "%", "10");
        // 5 % is a service rate: refused as ICMS (8005), sold again without ICMS.
        PASSO(c, 1, Tarvo_VendeItem, "3", "SERVICO", "500", "I", "1", 2, "1500", "$", "0");
        PASSO(c, 1, Tarvo_VendeItem, "4", "PILHA", "FF", "I", "3", 2, "250", "$", "0");
        PASSO(c, 1, Tarvo_AcrescimoDescontoItemMFD, "4", "A", "$", "0,50");
        PASSO(c, 1, Tarvo_AcrescimoDescontoItemMFD, "3", "A", "%", "10,00");
        PASSO(c, 1, Tarvo_VendeItem, "5", "DEVOLVIDO", "II", "I", "1", 2, "999", "$", "0");
        PASSO(c, 1, Tarvo_CancelaItemGenerico, "5");
        PASSO(c, 1, Tarvo_IniciaFechamentoCupom, "A", "$", "1,00");
        PASSO(c, 1, Tarvo_EfetuaFormaPagamento, "Cartao Credito", "20,00");
        PASSO(c, 1, Tarvo_EfetuaFormaPagamento, "dinheiro", "100,00");
        PASSO(c, 1, Tarvo_TerminaFechamentoCupom, mensagem.c_str());
    });
    EXPECT_EQ(falhas, "");

    // On the wire.
    auto vendas = Parametros("VendeItem");
    ASSERT_EQ(vendas.size(), 6u);
    EXPECT_EQ(
        vendas[0],
        "AliquotaICMS=true PercentualAliquota=18,00 CodProduto=\"7891000100103\" NomeProduto=\"ARROZ 5KG\" "
        "PrecoUnitario=19,90 Quantidade=2,000 Unidade=\"Un\"");
    EXPECT_EQ(vendas[1],
              "CodAliquota=01 CodProduto=\"2\" NomeProduto=\"QUEIJO \\x22MINAS\\x22\" PrecoUnitario=32,900 "
              "Quantidade=0,745 Unidade=\"Kg\"");
    EXPECT_EQ(vendas[2].rfind("AliquotaICMS=true PercentualAliquota=5,00 ", 0), 0u);
    EXPECT_EQ(vendas[3].rfind("AliquotaICMS=false PercentualAliquota=5,00 ", 0), 0u);
    EXPECT_EQ(Parametros("AcresceItemFiscal"),
              (std::vector<std::string>{"Cancelar=false ValorAcrescimo=-1,00",
                                        "Cancelar=false ValorPercentual=-10,00",
                                        "Cancelar=false NumItem=4 ValorAcrescimo= 0,50",
                                        "Cancelar=false NumItem=3 ValorPercentual= 10,00"}));
    EXPECT_EQ(Parametros("AcresceSubtotal"),
              (std::vector<std::string>{"Cancelar=false ValorAcrescimo= 1,00"}));
    EXPECT_EQ(Parametros("PagaCupom"),
              (std::vector<std::string>{"NomeMeioPagamento=\"Cartao Credito\" Valor=20,00",
                                        "CodMeioPagamento=-2 Valor=100,00"}));
    auto textos = Parametros("ImprimeTexto");
    ASSERT_EQ(textos.size(), 3u);
    EXPECT_EQ(textos[0].size(), std::string("TextoLivre=\"\"").size() + 480);
    EXPECT_EQ(textos[1].size(), std::string("TextoLivre=\"\"").size() + 480);
    EXPECT_EQ(textos[2], "TextoLivre=\"" + std::string(40, 'P') + "\"");
    EXPECT_EQ(Parametros("IdentificaConsumidor"),
              (std::vector<std::string>{"IdConsumidor=\"123.456.789-09\" NomeConsumidor=\"JOAO DA SILVA\" "
                                        "EnderecoConsumidor=\"RUA DAS FLORES, 10\""}));
    EXPECT_EQ(Comandos().back(), "EncerraDocumento;Operador=\"MARIA\"");
    for (const emulador::Troca& t : e.Trocas()) {
        if (t.comando != "VendeItem" ||
            t.parametros.rfind("AliquotaICMS=true PercentualAliquota=5,00", 0) != 0) {
            EXPECT_EQ(t.codigo, 0) << t.quadro;
        }
    }

    // Printed and totalled: 38,80 + 22,06 + 16,50 + 8,00 = 85,36, plus 1,00 on the subtotal.
    emulador::Impressora p = e.Impressora();
    EXPECT_EQ(p.contadores.coo, 1);
    EXPECT_EQ(p.contadores.ccf, 1);
    EXPECT_EQ(p.contadores.gnf, 0);
    ASSERT_NE(p.DocumentoPorCoo(1), nullptr);
    const std::string cupom = p.DocumentoPorCoo(1)->Texto();
    for (const char* trecho :
         {"CUPOM FISCAL", "ARROZ 5KG", "QUEIJO \"MINAS\"", "item cancelado:005", "TOTAL R$", "86,36",
          "TROCO R$", "33,64", "CNPJ/CPF consumidor: 123.456.789-09", "NOME: JOAO DA SILVA",
          "OBRIGADO PELA PREFERENCIA"})
        EXPECT_TRUE(Contem(cupom, trecho)) << trecho << " in\n" << cupom;
    EXPECT_TRUE(p.DocumentoPorCoo(1)->fechado);
    EXPECT_EQ(p.dia.dinheiro, 10000);
    EXPECT_EQ(p.dia.meioPagamento[0], 2000);
    EXPECT_EQ(p.dia.troco, 3364);
    EXPECT_EQ(p.dia.cancelamentosIcms, 999);
    EXPECT_EQ(p.dia.descontosIcms, 100 + 245);
    EXPECT_EQ(p.VendaLiquida(), 8636);
    EXPECT_GT(p.dia.aliquota[0], 0);
    EXPECT_GT(p.dia.aliquota[1], 0);
    EXPECT_GT(p.dia.aliquota[3], 0);  // the service rate
    EXPECT_GT(p.dia.f1, 0);
}

TEST_F(CupomEmulador, ReceiptsCancelledInProgressAndAfterTheClose) {
    Ini();
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "CAFE", "02", "I", "1", 2, "500", "$", "0");
        PASSO(c, 1, Tarvo_CancelaCupom);
        PASSO(c, 1, Tarvo_AbreCupomMFD, "11122233344", "ANA", "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "CAFE", "02", "I", "2", 2, "500", "$", "0");
        PASSO(c, 1, Tarvo_FechaCupom, "Dinheiro", "D", "%", "10,00", "9,00", "");
        PASSO(c, 1, Tarvo_CancelaCupomMFD, 0, 0, 0);
        // Nothing left to cancel: the printer's refusal comes back.
        PASSO(c, 0, Tarvo_CancelaCupom);
    });
    EXPECT_EQ(falhas, "");
    emulador::Impressora p = e.Impressora();
    EXPECT_EQ(p.contadores.coo, 3);
    EXPECT_EQ(p.contadores.ccf, 2);
    EXPECT_EQ(p.contadores.cfc, 2);
    EXPECT_EQ(p.dia.cancelamentosIcms, 500 + 900);
    EXPECT_EQ(p.dia.dinheiro, 0);
    EXPECT_TRUE(Contem(p.DocumentoPorCoo(1)->Texto(), "CANCELAMENTO"));
    EXPECT_TRUE(Contem(p.DocumentoPorCoo(2)->Texto(), "CNPJ/CPF consumidor: 11122233344"));
    EXPECT_TRUE(Contem(p.DocumentoPorCoo(3)->Texto(), "CUPOM FISCAL CANCELADO"));
    EXPECT_EQ(Parametros("AcresceSubtotal"),
              (std::vector<std::string>{"Cancelar=false ValorPercentual=-10,00"}));
    EXPECT_EQ(Parametros("AbreCupomFiscal"),
              (std::vector<std::string>{"", "IdConsumidor=\"11122233344\" NomeConsumidor=\"ANA\""}));
}

TEST_F(CupomEmulador, ARefusedPaymentIsNotReportedAsASuccessfulClose) {
    Ini();
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "CAFE", "02", "I", "1", 2, "500", "$", "0");
        // A form the printer does not have: the payment is refused and so is the close.
        PASSO(c, 0, Tarvo_FechaCupom, "VALE REFEICAO", "A", "$", "0", "5,00", "");
        int codigo = 0;
        char msg[1024];
        CHAMA(c, Tarvo_RetornoImpressora, &codigo, msg);
        if (codigo != 8014) c.Falha("first failure " + std::to_string(codigo) + " " + msg);
        PASSO(c, 1, Tarvo_FechaCupomResumido, "Dinheiro", "");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("PagaCupom"),
              (std::vector<std::string>{"NomeMeioPagamento=\"VALE REFEICAO\" Valor=5,00",
                                        "CodMeioPagamento=-2 Valor=5,00"}));
    emulador::Impressora p = e.Impressora();
    EXPECT_EQ(p.dia.dinheiro, 500);
    EXPECT_EQ(p.contadores.coo, 1);
    EXPECT_TRUE(p.DocumentoPorCoo(1)->fechado);
}

// The close's result says whether the printer closed the receipt; a step refused before a
// close that went through stays in the last-error record.
TEST_F(CupomEmulador, TheCloseResultSaysWhetherTheReceiptIsClosed) {
    Ini();
    auto ultimoCodigo = [](teste::Cenario& c, int esperado, const char* caso) {
        int codigo = 0;
        char msg[1025] = {};
        CHAMA(c, Tarvo_RetornoImpressora, &codigo, msg);
        if (codigo != esperado)
            c.Falha(std::string(caso) + ": last error " + std::to_string(codigo) + " " + msg);
    };
    auto venda = [](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "CAFE", "02", "I", "1", 2, "500", "$", "0");
    };

    struct Caso {
        const char* nome;
        const char* recusado;  // the command the printer refuses (none: a payment it lacks)
        int codigo;            // the last error the caller reads
        std::function<void(teste::Cenario&)> fecha;
        bool fechado;           // the receipt (COO: its row's number) closed
        std::int64_t dinheiro;  // the day's cash; -1: not looked at
    };
    const Caso casos[] = {
        // A refused closing text: the receipt is closed all the same.
        {"closing text", "ImprimeTexto", 8003,
         [](teste::Cenario& c) {
             PASSO(c, 1, Tarvo_FechaCupom, "Dinheiro", "A", "$", "0", "5,00", "OBRIGADO");
         },
         true, -1},
        // A refused consumer identification: closed all the same.
        {"consumer", "IdentificaConsumidor", 8099,
         [](teste::Cenario& c) {
             PASSO(c, 1, Tarvo_IdentificaConsumidor, "11122233344", "ANA", "");
             PASSO(c, 1, Tarvo_FechaCupom, "Dinheiro", "A", "$", "0", "5,00", "");
         },
         true, -1},
        // A refused discount before a close that goes through.
        {"discount", "AcresceSubtotal", 8040,
         [](teste::Cenario& c) { PASSO(c, 1, Tarvo_FechaCupom, "Dinheiro", "D", "$", "1,00", "5,00", ""); },
         true, 1500},
        // A payment in a form the printer does not have: the close is refused too, the receipt
        // stays open and the payment's refusal is what the caller reads.
        {"payment", nullptr, 8014,
         [](teste::Cenario& c) { PASSO(c, 0, Tarvo_FechaCupom, "VALE REFEICAO", "A", "$", "0", "5,00", ""); },
         false, -1},
    };
    for (std::size_t n = 0; n < std::size(casos); ++n) {
        const Caso& caso = casos[n];
        SCOPED_TRACE(caso.nome);
        if (caso.recusado) e.ErroEm(caso.recusado, caso.codigo);
        EXPECT_EQ(Roda([&](teste::Cenario& c) {
                      venda(c);
                      caso.fecha(c);
                      ultimoCodigo(c, caso.codigo, caso.nome);
                  }),
                  "");
        const emulador::Impressora p = e.Impressora();
        EXPECT_EQ(p.DocumentoPorCoo(static_cast<int>(n + 1))->fechado, caso.fechado);
        EXPECT_EQ(p.aberto.tipo,
                  caso.fechado ? emulador::TipoDocumento::Nenhum : emulador::TipoDocumento::CupomFiscal);
        if (caso.dinheiro >= 0) {
            EXPECT_EQ(p.dia.dinheiro, caso.dinheiro);
        }
        e.LimpaFalhas();
    }
}

TEST_F(CupomEmulador, TheRioCampaignBlockAndTheDocumentsTax) {
    Ini("HabilitaICMSCupom=1\r\nIdAplicativo=PDV TESTE 1.0\r\n", "[ECF]\r\nUF=RJ\r\n");
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "VINHO", "1800", "I", "1", 2, "10000", "$", "0");
        PASSO(c, 1, Tarvo_FechaCupom, "Dinheiro", "A", "$", "0", "100,00", "");
    });
    EXPECT_EQ(falhas, "");
    emulador::Impressora p = e.Impressora();
    const std::string cupom = p.DocumentoPorCoo(1)->Texto();
    // IE 123.456.789.012: its digits from the 13th character of the reply; date of the last
    // document; COO; ECF.
    EXPECT_TRUE(Contem(cupom, "CUPOM MANIA, CONCORRA A PREMIOS")) << cupom;
    EXPECT_TRUE(Contem(cupom, "ENVIE SMS P/ 6789:12345678")) << cupom;
    EXPECT_TRUE(Contem(cupom, "ALERJ - R 1\xA7 de Mar\x87o s/n - RJ - (21) 25881418")) << cupom;
    // The caller's message is empty: the application line follows the campaign block directly.
    ASSERT_EQ(Parametros("ImprimeTexto").size(), 1u);
    EXPECT_TRUE(Contem(Parametros("ImprimeTexto")[0], "25881418Aplicativo:PDV TESTE 1.0\"")) << cupom;
    // One reading of the day's ICMS at the start of the document and one at its close.
    auto moeda = Parametros("LeMoeda");
    EXPECT_EQ(std::count(moeda.begin(), moeda.end(), "NomeDadoMonetario=\"TotalDiaImpostoICMS\""), 2);
    EXPECT_EQ(Chave("Flags", "CupomManiaTotalImp"), "18.00");
    EXPECT_EQ(Chave("Flags", "CupomManiaLido"), "0");
    auto codigo = Parametros("ImprimeTexto");
    ASSERT_EQ(codigo.size(), 1u);
    const std::string sms = codigo[0].substr(codigo[0].find("6789:") + 5, 23);
    EXPECT_EQ(sms.substr(0, 8), "12345678");
    EXPECT_EQ(sms.substr(14), "000001001");  // COO 1, ECF 1
}

TEST_F(CupomEmulador, TheMinasCampaignLine) {
    Ini("HabilitaICMSCupom=1\r\n", "[ECF]\r\nUF=MG\r\n");
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_AbreCupom, "");
        PASSO(c, 1, Tarvo_VendeItem, "1", "PAO", "02", "I", "1", 2, "1234", "$", "0");
        PASSO(c, 1, Tarvo_FechaCupom, "Dinheiro", "A", "$", "0", "20,00", "VOLTE SEMPRE");
    });
    EXPECT_EQ(falhas, "");
    auto texto = Parametros("ImprimeTexto");
    ASSERT_EQ(texto.size(), 1u);
    EXPECT_EQ(texto[0].rfind("TextoLivre=\"VOLTE SEMPRE\\nMINAS LEGAL: 11222333000181 ", 0), 0u) << texto[0];
    EXPECT_EQ(texto[0].substr(texto[0].size() - 8), " 2000\\n\"");  // the cash of the document, in cents
    const std::string cupom = e.Impressora().DocumentoPorCoo(1)->Texto();
    EXPECT_TRUE(Contem(cupom, "MINAS LEGAL: 11222333000181")) << cupom;
    EXPECT_EQ(Chave("Flags", "CupomManiaTotalImp"), "0.86");  // 7 % of 12,34
}

}  // namespace
