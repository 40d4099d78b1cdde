// Cheques, the cheque's magnetic line, authentication and barcodes end to end against the
// emulator: the texts on the wire and what the printer printed.
#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"

namespace {

using emulador::Emulador;
using teste::Igual;

class Documentos : public teste::ComEmulador {
  protected:
    // A printer with a cheque station and a barcode mechanism.
    void Ini(const std::string& modelo = "TARVO_ORVIKTH") {
        ComEmulador::Ini("ModeloImp=" + modelo + "\r\nPath=" + home.Caminho() + "\r\n");
    }
};

TEST_F(Documentos, AChequeIsPrintedWhereTheBanksLayoutSays) {
    Ini();
    teste::EscreveArquivo(
        home / "CHEQUES.INI",
        "[341]\r\nObservacao=Banco de teste\r\nHPosValor=50\r\nVPosValor=1\r\nHPosFavorecido=10\r\n"
        "VPosFavorecido=5\r\nHPosCidade=20\r\nVPosCidade=7\r\nHPosDia=40\r\nHPosMes=45\r\nHPosAno=45\r\n"
        "HPosMsgLinha1=2\r\nVPosMsgLinha1=9\r\n");
    e.Altera([](emulador::Impressora& i) { i.chequeInserido = true; });
    const std::string falhas = Roda([](teste::Cenario& c) {
        int estado = -1;
        PASSO(c, 1, Tarvo_VerificaStatusCheque, &estado);
        Igual(c, "cheque in place", "3", std::to_string(estado));
        char cmc7[65];
        PASSO(c, 1, Tarvo_LeituraCheque, cmc7);
        Igual(c, "CMC7", "<00100012<0010000015>000000012345:", cmc7);
        PASSO(c, 1, Tarvo_ImprimeCheque, "341", "123456", "Maria Souza", "Curitiba", "15032010",
              "Aluguel de marco");
        PASSO(c, 1, Tarvo_VerificaStatusCheque, &estado);
        Igual(c, "cheque ejected", "1", std::to_string(estado));
        PASSO(c, 0, Tarvo_LeituraCheque, cmc7);
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("ImprimeCheque"),
              std::vector<std::string>{
                  "Cidade=\"Curitiba\" Data=#15/03/2010# Favorecido=\"Maria Souza\" Valor=1234,56 "
                  "MensagemDocLinha1 =\"Aluguel de marco\" HPosAno=5 HPosCidade=20 HPosDia=40 "
                  "HPosFavorecido=10 HPosMes=45 HPosMsgLinha1=2 HPosValor=50 VPosCidade=7 "
                  "VPosFavorecido=5 VPosMsgLinha1=9 VPosValor=1"});
    const auto folhas = e.Impressora().folhas;
    ASSERT_EQ(folhas.size(), 1u);
    const std::vector<std::string>& l = folhas[0].linhas;
    ASSERT_GE(l.size(), 10u);
    EXPECT_EQ(l[1].substr(50), "#1.234,56#");
    EXPECT_EQ(l[5].substr(10), "Maria Souza");
    // City, day and month (code page 850) where the layout puts them; the year follows the month.
    EXPECT_EQ(l[7].substr(20, 30), std::string("Curitiba,") + std::string(11, ' ') + "15   MAR\x80O");
    const std::size_t ano = l[7].find("2010");
    EXPECT_TRUE(ano != std::string::npos && ano > 50) << l[7];
    EXPECT_EQ(l[9].substr(2), "Aluguel de marco");
}

TEST_F(Documentos, AuthenticationAfterAReceipt) {
    Ini();
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ExecutaComando, "AbreCupomFiscal", "");
        PASSO(c, 1, Tarvo_ExecutaComando, "VendeItem",
              "CodAliquota=0 CodProduto=\"1\" NomeProduto=\"PAO\" PrecoUnitario=1,00 Quantidade=1");
        PASSO(c, 1, Tarvo_ExecutaComando, "PagaCupom", "CodMeioPagamento=-2 Valor=1,00");
        PASSO(c, 1, Tarvo_ExecutaComando, "EncerraDocumento", "Operador=\"\"");
        PASSO(c, 1, Tarvo_AutenticacaoMFD, "2", "CONFERIDO");
        PASSO(c, 1, Tarvo_Autenticacao);
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("ImprimeAutenticacao"),
              (std::vector<std::string>{"TextoAutenticacao=\"\\n\\nCONFERIDO\"", ""}));
    const auto folhas = e.Impressora().folhas;
    ASSERT_EQ(folhas.size(), 2u);
    ASSERT_EQ(folhas[0].linhas.size(), 4u);
    EXPECT_EQ(folhas[0].linhas[0], "");
    EXPECT_EQ(folhas[0].linhas[1], "");
    EXPECT_NE(folhas[0].linhas[2].find("R$ 1,00"), std::string::npos) << folhas[0].linhas[2];
    EXPECT_EQ(folhas[0].linhas[3], "CONFERIDO");
}

TEST_F(Documentos, EachBarcodeTravelsAsItsEscapes) {
    Ini();
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ConfiguraCodigoBarrasMFD, 162, 3, 2, 0, 10);
        PASSO(c, 1, Tarvo_ExecutaComando, "AbreGerencial", "CodGerencial=0");
        PASSO(c, 1, Tarvo_CodigoBarrasUPCAMFD, "01234567890");
        PASSO(c, 1, Tarvo_CodigoBarrasUPCEMFD, "012345");
        PASSO(c, 1, Tarvo_CodigoBarrasEAN13MFD, "789123456789");
        PASSO(c, 1, Tarvo_CodigoBarrasEAN8MFD, "1234567");
        PASSO(c, 1, Tarvo_CodigoBarrasCODE39MFD, "ABC-123");
        PASSO(c, 1, Tarvo_CodigoBarrasITFMFD, "123456");
        PASSO(c, 1, Tarvo_CodigoBarrasCODABARMFD, "A1234B");
        PASSO(c, 0, Tarvo_CodigoBarrasCODE128MFD, "123");
        PASSO(c, 1, Tarvo_ExecutaComando, "EncerraDocumento", "Operador=\"\"");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("ImprimeTexto"), (std::vector<std::string>{
                                              "TextoLivre=\"\\x1Dw\\x03\\x1Dh\\xA2\\x1DH\\x02\\x1Df\\x00\"",
                                              "TextoLivre=\"\\x1Dk\\x0001234567890\\x00\"",
                                              "TextoLivre=\"\\x1Dk\\x01012345\\x00\"",
                                              "TextoLivre=\"\\x1Dk\\x02789123456789\\x00\"",
                                              "TextoLivre=\"\\x1Dk\\x031234567\\x00\"",
                                              "TextoLivre=\"\\x1Dk\\x04ABC-123\\x00\"",
                                              "TextoLivre=\"\\x1Dk\\x05123456\\x00\"",
                                              "TextoLivre=\"\\x1Dk\\x06A1234B\\x00\"",
                                          }));
    for (const emulador::Troca& t : e.Trocas())
        if (t.comando == "ImprimeTexto") {
            EXPECT_EQ(t.codigo, 0) << t.parametros;
        }
    // The printer drew them: the EAN-13 with its check digit under the bars.
    EXPECT_NE(e.Impressora().TextoFita().find("7891234567895"), std::string::npos);
}

TEST_F(Documentos, OnlyItfOnAPrinterWithoutTheBarcodeMechanism) {
    Ini("TARVO_RIX");
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ExecutaComando, "AbreGerencial", "CodGerencial=0");
        PASSO(c, 0, Tarvo_CodigoBarrasEAN13MFD, "789123456789");
        PASSO(c, 1, Tarvo_CodigoBarrasITFMFD, "1234");
        PASSO(c, 1, Tarvo_ExecutaComando, "EncerraDocumento", "Operador=\"\"");
        PASSO(c, 0, Tarvo_ImprimeCheque, "341", "100", "A", "B", "010111", "");
        PASSO(c, 0, Tarvo_Autenticacao);
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(Parametros("ImprimeTexto"), std::vector<std::string>{"TextoLivre=\"\\x1Dk\\x051234\\x00\""});
    EXPECT_TRUE(Parametros("ImprimeCheque").empty());
}

}  // namespace
