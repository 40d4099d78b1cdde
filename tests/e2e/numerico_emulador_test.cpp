// The numeric-code printers (families 1 and 2) end to end: the real libtarvo.so against the
// numeric-code emulator on a pseudo-terminal. What goes on the wire byte for byte, what the
// printer does with it, and how replies, errors, odd frames and silence come back.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "emulador/numerico.h"

namespace {

using emulador::EmuladorNumerico;
using emulador::FalhasNumericas;

const std::string STX = "\x02", ETX = "\x03";
std::string Quadro(const std::string& comando) {
    return STX + "\x1B$" + comando + ETX;
}
std::string Preenche(std::string texto, int largura) {
    texto.resize(static_cast<std::size_t>(largura), ' ');
    return texto;
}

class Numerico : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev, atual;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    std::unique_ptr<EmuladorNumerico> e;

    // The printer of `familia` on COM1; TARVO.INI chooses its model, cash is form 1.
    void Inicia(int familia, const std::string& sistema = "") {
        e = std::make_unique<EmuladorNumerico>(familia);
        ASSERT_TRUE(e->Inicia(dev.Caminho(), "COM1")) << e->Erro();
        teste::EscreveArquivo(home / "TARVO.INI", std::string("[Sistema]\r\nPorta=COM1\r\nModeloImp=") +
                                                      (familia == 2 ? "TARVO_SARTO" : "TARVO_LISKO") +
                                                      "\r\nDINHEIRO=1\r\n" + sistema);
    }
    std::string Roda(const std::function<void(teste::Cenario&)>& corpo) {
        return teste::Cenario::Roda(atual.Caminho(), corpo);
    }
    static void Erro(teste::Cenario& c, int codigo, const std::string& mensagem) {
        auto [obtido, texto] = c.t.UltimoErro();
        if (obtido != codigo || texto != mensagem)
            c.Falha("last error " + std::to_string(obtido) + " [" + texto + "], expected " +
                    std::to_string(codigo) + " [" + mensagem + "]");
    }
};

class AmbasFamilias : public Numerico, public ::testing::WithParamInterface<int> {};
INSTANTIATE_TEST_SUITE_P(Familias, AmbasFamilias, ::testing::Values(1, 2));

TEST_P(AmbasFamilias, XReadingAndZReductionGoOutByteForByte) {
    Inicia(GetParam());
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_LeituraX);
                  PASSO(c, 1, Tarvo_ReducaoZ, "01/01/2010", "10:00:00");
              }),
              "");
    EXPECT_EQ(e->Recebidos(), Quadro("150") + Quadro("160"));
    EXPECT_EQ(e->ImpressoraAtual().memoriaFiscal.size(), 1u);
}

TEST_P(AmbasFamilias, AReceiptSoldPaidInCashAndClosedWithItsMessage) {
    const bool f2 = GetParam() == 2;
    Inicia(GetParam());
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_AbreCupom, "12345678909");
                  PASSO(c, 1, Tarvo_VendeItem, "7891234567890", "ARROZ", "01", "UN", "2,5", 2, "10,5", "$",
                        "0");
                  PASSO(c, 1, Tarvo_VendeItem, "42", "QUEIJO", "FF", "kg", "0,75", 2, "40,00", "$", "1,00");
                  PASSO(c, 1, Tarvo_IniciaFechamentoCupom, "D", "$", "0");
                  PASSO(c, 1, Tarvo_EfetuaFormaPagamento, "1", "20,00");
                  PASSO(c, 1, Tarvo_FechaCupom, "1", "", "", "", "", "OBRIG");
              }),
              "");
    const std::string q = f2 ? "G0002500" : "-002500";
    const std::string q2 = f2 ? "G0000750" : "-000750";
    EXPECT_EQ(e->Comandos(),
              (std::vector<std::string>{
                  f2 ? "10" + std::string("12345678909") + std::string(17, ' ') : "10",
                  "11" + q + "00000001050T01&000000000000000UN78912345678900ARROZ" + std::string(15, ' '),
                  "11" + q2 + "00000004000F00&000000000000100kg00000000000422QUEIJO" + std::string(32, ' ') +
                      "Peso (kg) X Preco(R$/kg)         Valor",
                  "06&000000000000000",
                  "07010000000000020001",
                  "0701" + std::string(15, '0') + "0",
                  "08S005OBRIG",
              }));
    const emulador::Impressora p = e->ImpressoraAtual();
    EXPECT_EQ(p.aberto.tipo, emulador::TipoDocumento::Nenhum);
    EXPECT_EQ(p.contadores.ccf, 1);
    ASSERT_EQ(p.ultimo.doc.itens.size(), 2u);
    EXPECT_EQ(p.ultimo.doc.itens[0].quantidade, 2500);
    EXPECT_EQ(p.ultimo.doc.itens[0].valor, 2625);  // 2,5 x 10,50
    EXPECT_EQ(p.ultimo.doc.itens[1].valor, 3000);  // 0,75 x 40,00, less 1,00 off
    EXPECT_EQ(p.ultimo.doc.itens[1].desconto, 100);
    EXPECT_EQ(p.dia.dinheiro, 2625 + 2900);  // 20,00 paid, the rest settled at the closing
    EXPECT_NE(p.TextoFita().find("OBRIG"), std::string::npos);
}

TEST_F(Numerico, FamilyOneRefusesASevenDigitQuantityAndSendsNothing) {
    Inicia(1);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 0, Tarvo_VendeItem, "1", "ARROZ", "01", "UN", "1234567", 2, "1,00", "$", "0");
                  Erro(c, -6, "Quantidade inv\xE1lida");
                  // Nor is any other field cut to its last digits.
                  PASSO(c, 0, Tarvo_EfetuaFormaPagamento, "1", "10000000000000,00");
                  Erro(c, -6, "Valor inv\xE1lido");
                  PASSO(c, 0, Tarvo_CancelaItemGenerico, "1000");
                  PASSO(c, 0, Tarvo_LeituraMemoriaFiscalReducao, "1", "10000", "");
                  PASSO(c, 0, Tarvo_VendeItem, "1", "ARROZ", "01", "UN", "1", 2, "1,005", "$", "0");
                  PASSO(c, 0, Tarvo_FechaCupom, "1", "", "", "", "", std::string(1000, 'M').c_str());
              }),
              "");
    EXPECT_EQ(e->Recebidos(), "");
}

TEST_F(Numerico, FamilyTwoSendsSevenQuantityDigitsAndThreePriceDecimals) {
    Inicia(2);
    e->Altera([](emulador::Impressora& i) { i.aliquotas[15] = {true, 2500, true, "ICMS 25"}; });
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_AbreCupom, "");
                  PASSO(c, 1, Tarvo_VendeItem, "1", "PREGO", "16", "UN", "1234567", 3, "0,015", "$", "0");
              }),
              "");
    ASSERT_EQ(e->Comandos().size(), 2u);
    EXPECT_EQ(e->Comandos()[1],
              "11H123456700000000015T00&000000000000000UN00000000000010PREGO" + std::string(15, ' '));
    const emulador::Impressora p = e->ImpressoraAtual();
    ASSERT_EQ(p.aberto.itens.size(), 1u);
    EXPECT_EQ(p.aberto.itens[0].quantidade, 1234567);  // 1234,567 units
    EXPECT_EQ(p.aberto.itens[0].tributo.indice, 15);   // "16" is the 16th slot
}

TEST_F(Numerico, PaymentFormsCountFromTheConfiguredCashRegister) {
    Inicia(1, "");
    teste::EscreveArquivo(home / "TARVO.INI",
                          "[Sistema]\r\nPorta=COM1\r\nModeloImp=TARVO_LISKO\r\nDINHEIRO=3\r\n");
    Roda([](teste::Cenario& c) {
        CHAMA(c, Tarvo_EfetuaFormaPagamento, "2", "10,00");
        CHAMA(c, Tarvo_EfetuaFormaPagamento, "Dinheiro", "10");
    });
    EXPECT_EQ(e->Comandos(), (std::vector<std::string>{"07040000000000010001", "07030000000000000101"}));
}

TEST_P(AmbasFamilias, CashInAndCashOutAlwaysCloseTheirDocument) {
    Inicia(GetParam());
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_Suprimento, "50,00", "0");
                  PASSO(c, 1, Tarvo_Sangria, "20");
              }),
              "");
    EXPECT_EQ(e->Comandos(),
              (std::vector<std::string>{"22", "2300" + std::string(11, '0') + "5000%0000", "21", "22",
                                        "2301" + std::string(13, '0') + "20%0000", "21"}));
    EXPECT_EQ(e->ImpressoraAtual().dia.naoFiscal[0], 5000);
    EXPECT_EQ(e->ImpressoraAtual().dia.naoFiscal[1], 20);

    e->LimpaRegistros();
    e->ErroEm(22, "23", 1);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 0, Tarvo_Suprimento, "50,00", "0");
                  Erro(c, 23, "Comando n\xE3o aceito durante cupom fiscal");
              }),
              "");
    EXPECT_EQ(e->Comandos(), (std::vector<std::string>{"22", "21"}));
}

TEST_P(AmbasFamilias, StatusBytesBecomeFlagsDrawerPaperAndMode) {
    Inicia(GetParam());
    e->Altera([](emulador::Impressora& i) {
        i.horarioVerao = true;
        i.gavetaAberta = true;
        i.poucoPapel = true;
    });
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  int flags = -1, gaveta = -1;
                  char modo[2] = {}, papel[2] = {};
                  PASSO(c, 1, Tarvo_AbreCupom, "");
                  PASSO(c, 1, Tarvo_FlagsFiscais, &flags);
                  if (flags != 1 + 4)
                      c.Falha("flags with a receipt open in summer time: " + std::to_string(flags));
                  PASSO(c, 1, Tarvo_VerificaEstadoGaveta, &gaveta);
                  if (gaveta != 1) c.Falha("drawer: " + std::to_string(gaveta));
                  PASSO(c, 1, Tarvo_VerificaSensorPoucoPapelMFD, papel);
                  if (std::string(papel) != "1") c.Falha(std::string("paper low: ") + papel);
                  PASSO(c, 1, Tarvo_VerificaModoOperacao, modo);
                  if (std::string(modo) != "1") c.Falha(std::string("mode: ") + modo);
                  PASSO(c, 1, Tarvo_CancelaCupom);
                  PASSO(c, 1, Tarvo_ReducaoZ, "", "");
                  PASSO(c, 1, Tarvo_FlagsFiscais, &flags);
                  if (flags != 8 + 4) c.Falha("flags after the Z: " + std::to_string(flags));
              }),
              "");
    EXPECT_EQ(e->Comandos()[1], "32");
}

TEST_P(AmbasFamilias, TheRateListMarksServiceSlotsAndEmptyOnes) {
    Inicia(GetParam());
    e->Altera([](emulador::Impressora& i) { i.aliquotas[1] = {}; });
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  char r[81] = {};
                  PASSO(c, 1, Tarvo_RetornoAliquotas, r);
                  std::string esperado = "T1800-0000T0700S0500";
                  for (int i = 0; i < 12; ++i) esperado += "-0000";
                  if (r != esperado) c.Falha(std::string("rates: ") + r);
              }),
              "");
    EXPECT_EQ(e->Comandos(), (std::vector<std::string>{"30", "34M86"}));
}

TEST_P(AmbasFamilias, RegistersAnswerWithinTheirBuffers) {
    Inicia(GetParam());
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  char b[64] = {};
                  PASSO(c, 1, Tarvo_NumeroSerie, b);
                  if (std::string(b) != "TV010500000000012345") c.Falha(std::string("serial: ") + b);
                  PASSO(c, 1, Tarvo_VersaoFirmware, b);
                  if (std::string(b) != "01.00.05") c.Falha(std::string("firmware: ") + b);
                  PASSO(c, 1, Tarvo_Suprimento, "12,34", "0");
                  PASSO(c, 1, Tarvo_GrandeTotal, b);
                  if (std::string(b) != std::string(18, '0')) c.Falha(std::string("GT: ") + b);
                  PASSO(c, 1, Tarvo_NumeroCupom, b);
                  if (std::string(b) != "000001") c.Falha(std::string("COO: ") + b);
                  PASSO(c, 1, Tarvo_ReducaoZ, "", "");
                  char data[13] = {}, hora[7] = {};
                  PASSO(c, 1, Tarvo_DataHoraReducao, data, hora);
                  if (std::string(data).size() != 12 || hora[0] != 0) c.Falha(std::string("Z date: ") + data);
                  char formas[3016] = {};
                  PASSO(c, 1, Tarvo_VerificaFormasPagamento, formas);
                  std::string f = formas;
                  if (f.size() != 256 || f.substr(0, 16) != "Dinheiro        " ||
                      f.substr(16, 16) != "Cartao Credito  ")
                      c.Falha("forms: [" + f + "]");
              }),
              "");
}

TEST_P(AmbasFamilias, ReportsReadingsDrawerAndClock) {
    const int largura = GetParam() == 2 ? 48 : 40;
    Inicia(GetParam());
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_AbreRelatorioGerencial);
                  PASSO(c, 1, Tarvo_RelatorioGerencial, "PRIMEIRA LINHA");
                  PASSO(c, 1, Tarvo_UsaRelatorioGerencialMFD, nullptr);  // a null text is an empty line
                  PASSO(c, 1, Tarvo_FechaRelatorioGerencial);
                  PASSO(c, 1, Tarvo_AcionaGaveta);
                  PASSO(c, 1, Tarvo_ReducaoZ, "", "");
                  PASSO(c, 1, Tarvo_LeituraMemoriaFiscalData, "01/01/2010", "311299", "c");
                  PASSO(c, 1, Tarvo_LeituraMemoriaFiscalReducao, "1", "1", "c");
                  char data[7] = {}, hora[7] = {};
                  PASSO(c, 1, Tarvo_DataHoraImpressora, data, hora);
                  if (std::string(data).size() != 6 || std::string(hora).size() != 6)
                      c.Falha(std::string("clock: ") + data + " " + hora);
              }),
              "");
    EXPECT_EQ(e->Comandos(),
              (std::vector<std::string>{"151", "260" + Preenche("PRIMEIRA LINHA", largura),
                                        "260" + std::string(largura, ' '), "21", std::string("240\x14P"),
                                        "160", "17010110311299", "1800010001", "33"}));
    const emulador::Impressora p = e->ImpressoraAtual();
    EXPECT_TRUE(p.gavetaAberta);
    EXPECT_NE(p.TextoFita().find("PRIMEIRA LINHA"), std::string::npos);
}

TEST_P(AmbasFamilias, EveryOtherCommandOfTheTableAnswers) {
    Inicia(GetParam());
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  char b[64] = {};
                  PASSO(c, 1, Tarvo_AbreCupomMFD, "", "", "");
                  PASSO(c, 1, Tarvo_VendeItem, "1", "A", "01", "UN", "2,0", 2, "10,00", "$", "0");
                  PASSO(c, 1, Tarvo_SubTotal, b);
                  if (std::string(b) != "00000000002000") c.Falha(std::string("subtotal: ") + b);
                  PASSO(c, 1, Tarvo_IniciaFechamentoCupom, "A", "$", "1,00");
                  PASSO(c, 1, Tarvo_EfetuaFormaPagamento, "2", "21,00");
                  PASSO(c, 1, Tarvo_FechaCupom, "2", "", "", "", "", "");
                  PASSO(c, 1, Tarvo_AbreComprovanteNaoFiscalVinculado, "2", "21,00", "");
                  PASSO(c, 1, Tarvo_UsaComprovanteNaoFiscalVinculado, "VIA DO CLIENTE");
                  PASSO(c, 1, Tarvo_FechaComprovanteNaoFiscalVinculado);
                  PASSO(c, 1, Tarvo_AbreRelatorioGerencialMFD, "1");
                  PASSO(c, 1, Tarvo_FechaRelatorioGerencial);
                  PASSO(c, 1, Tarvo_Acrescimos, b);
                  if (std::string(b) != "00000000000100") c.Falha(std::string("surcharges: ") + b);
                  for (const char* nome : {"Tarvo_Descontos", "Tarvo_Cancelamentos", "Tarvo_NumeroReducoes",
                                           "Tarvo_NumeroCaixa", "Tarvo_DataMovimento"})
                      c.Verifica(nome, 1, c.t.Chama<int(char*)>(nome, b));
                  PASSO(c, 1, Tarvo_NumeroIntervencoes, b);
                  if (std::string(b) != "0001") c.Falha(std::string("CRO: ") + b);
                  PASSO(c, 1, Tarvo_VendaBruta, b);
                  if (std::string(b) != "00000000002100") c.Falha(std::string("gross sales: ") + b);
              }),
              "");
    const emulador::Impressora p = e->ImpressoraAtual();
    EXPECT_EQ(p.contadores.cdc, 1);
    EXPECT_NE(p.TextoFita().find("VIA DO CLIENTE"), std::string::npos);
    EXPECT_EQ(p.dia.meioPagamento[0], 2100);
}

TEST_F(Numerico, NetSalesAreGrossLessCancellationsAndDiscounts) {
    Inicia(1);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_AbreCupom, "");
                  PASSO(c, 1, Tarvo_VendeItem, "1", "A", "01", "UN", "1,0", 2, "10,00", "$", "1,00");
                  PASSO(c, 1, Tarvo_VendeItem, "2", "B", "01", "UN", "1,0", 2, "4,00", "$", "0");
                  PASSO(c, 1, Tarvo_CancelaItemGenerico, "2");
                  PASSO(c, 1, Tarvo_FechaCupom, "1", "", "", "", "", "");
                  char b[15] = {};
                  PASSO(c, 1, Tarvo_VendaLiquida, b);
                  if (std::string(b) != "00000000000900") c.Falha(std::string("net sales: ") + b);
              }),
              "");
    EXPECT_EQ(e->Comandos()[3], "12002");
}

TEST_F(Numerico, RepliesInPiecesWithTwoStxOrNoiseAfterTheEtxAreRead) {
    Inicia(1);
    FalhasNumericas f;
    f.pedacos = 4;
    f.pausaMs = 30;
    f.doisStx = true;
    f.aposEtx = "\x15\x02+xyz";
    f.vezes = 1;
    e->DefineFalhas(f);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  char b[8] = {};
                  // The read gives up at its time-out, so a success is a reply read on its
                  // bytes; a wait per piece, not a look every few milliseconds.
                  const long esperas = teste::EsperasDestaThread();
                  PASSO(c, 1, Tarvo_NumeroCupom, b);
                  const long feitas = teste::EsperasDestaThread() - esperas;
                  if (feitas > 50) c.Falha("waits while reading: " + std::to_string(feitas));
                  if (std::string(b) != "000000") c.Falha(std::string("COO: ") + b);
                  // The bytes left after the ETX are no reply to the next command.
                  PASSO(c, 1, Tarvo_AbreCupom, "");
                  Erro(c, 0, "");
              }),
              "");
    EXPECT_EQ(e->ImpressoraAtual().aberto.tipo, emulador::TipoDocumento::CupomFiscal);
}

TEST_F(Numerico, SilenceIsACommunicationFailureAfterTenSecondsWithoutSpinning) {
    Inicia(1);
    FalhasNumericas silencio;
    silencio.silencio = true;
    e->DefineFalhas(silencio);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  const long esperas = teste::EsperasDestaThread();
                  PASSO(c, 0, Tarvo_AbreCupom, "");
                  // One wait to the time-out, not a look every few milliseconds.
                  const long feitas = teste::EsperasDestaThread() - esperas;
                  if (feitas > 50) c.Falha("waits while waiting: " + std::to_string(feitas));
                  Erro(c, -1, "Falha de comunica\xE7\xE3o");
              }),
              "");
}

TEST_F(Numerico, AMissingPortFailsAtOnce) {
    Inicia(2);
    teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM7\r\nModeloImp=TARVO_SARTO\r\n");
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  const long esperas = teste::EsperasDestaThread();
                  PASSO(c, -5, Tarvo_LeituraX);
                  if (teste::EsperasDestaThread() - esperas > 50)
                      c.Falha("waited for a port that is not there");
                  Erro(c, -5, "Erro Abertura Porta Serial");
              }),
              "");
}

TEST_F(Numerico, ErrorRepliesBecomeTheirMessagesByteForByte) {
    Inicia(1);
    e->ErroEm(15, "09", 1);
    e->ErroEm(16, "11", 1);
    e->ErroEm(14, "26", 1);
    e->ErroEm(21, "99", 1);
    e->ErroEm(20, "08", 1);
    e->ErroEm(34, "33", 1);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 0, Tarvo_LeituraX);
                  Erro(c, 9, "A string \x93TOTAL\x94 n\xE3o \xE9 aceita");
                  PASSO(c, 0, Tarvo_ReducaoZ, "", "");
                  Erro(c, 11, "Excedeu o n\xBA m\xE1ximo de linhas permitidas pelo comando");
                  PASSO(c, 0, Tarvo_CancelaCupom);
                  Erro(c, 26, "O  rel\xF3gio j\xE1 est\xE1 em hor\xE1rio de ver\xE3o");
                  PASSO(c, 0, Tarvo_FechaRelatorioGerencial);
                  Erro(c, 99, "Erro retornado pelo ECF: 99");
                  PASSO(c, 0, Tarvo_AbreComprovanteNaoFiscalVinculado, "", "", "");
                  Erro(c, 8, "Erro retornado pelo ECF: 08");
                  // A failed reading reports its own reply's code, and its output is empty.
                  char b[8] = "x";
                  PASSO(c, 0, Tarvo_NumeroCupom, b);
                  Erro(c, 33, "Detectado falta de papel");
                  if (std::string(b) != "000000") c.Falha(std::string("COO after a failed reading: ") + b);
              }),
              "");
}

TEST_F(Numerico, AuthenticationPrintsAfterItsPreparation) {
    Inicia(1);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_AbreCupom, "");
                  PASSO(c, 1, Tarvo_VendeItem, "1", "ARROZ", "01", "UN", "1,0", 2, "5,00", "$", "0");
                  PASSO(c, 1, Tarvo_FechaCupom, "1", "", "", "", "", "");
                  PASSO(c, 1, Tarvo_Autenticacao);
              }),
              "");
    std::vector<std::string> c = e->Comandos();
    ASSERT_GE(c.size(), 2u);
    EXPECT_EQ(c[c.size() - 2], "01000");
    EXPECT_EQ(c.back(), "03     ");
    EXPECT_EQ(e->ImpressoraAtual().folhas.size(), 1u);
}

// --- the exports these printers do not serve, from the export list ------------------------------

// Exports with a numeric-code command or a report of their own.
const std::set<std::string> kServidas = {
    "Tarvo_LeituraX",
    "Tarvo_ReducaoZ",
    "Tarvo_AbreRelatorioGerencial",
    "Tarvo_AbreRelatorioGerencialMFD",
    "Tarvo_UsaRelatorioGerencialMFD",
    "Tarvo_UsaComprovanteNaoFiscalVinculado",
    "Tarvo_FechaRelatorioGerencial",
    "Tarvo_FechaComprovanteNaoFiscalVinculado",
    "Tarvo_AbreComprovanteNaoFiscalVinculado",
    "Tarvo_LeituraMemoriaFiscalData",
    "Tarvo_LeituraMemoriaFiscalReducao",
    "Tarvo_VendeItem",
    "Tarvo_CancelaItemGenerico",
    "Tarvo_CancelaCupom",
    "Tarvo_IniciaFechamentoCupom",
    "Tarvo_EfetuaFormaPagamento",
    "Tarvo_FechaCupom",
    "Tarvo_Suprimento",
    "Tarvo_Sangria",
    "Tarvo_AcionaGaveta",
    "Tarvo_Autenticacao",
    "Tarvo_SubTotal",
    "Tarvo_NumeroCupom",
    "Tarvo_VersaoFirmware",
    "Tarvo_Descontos",
    "Tarvo_Acrescimos",
    "Tarvo_Cancelamentos",
    "Tarvo_GrandeTotal",
    "Tarvo_VendaBruta",
    "Tarvo_NumeroReducoes",
    "Tarvo_NumeroIntervencoes",
    "Tarvo_NumeroCaixa",
    "Tarvo_NumeroSerie",
    "Tarvo_DataHoraReducao",
    "Tarvo_VendaLiquida",
    "Tarvo_RetornoAliquotas",
    "Tarvo_VerificaFormasPagamento",
    "Tarvo_DataHoraImpressora",
    "Tarvo_DataMovimento",
    "Tarvo_VerificaModoOperacao",
    "Tarvo_FlagsFiscais",
    "Tarvo_VerificaEstadoGaveta",
    "Tarvo_VerificaSensorPoucoPapelMFD",
    "Tarvo_DadosUltimaReducao",
    "Tarvo_VerificaTotalizadoresParciaisMFD",
    "Tarvo_TotalDocTroco",
    "Tarvo_TotalDiaTroco",
};

char gBuffer[8192];
int gInteiro;

#define ARG(k, ...) TARVO_PP_CAT(ARG_, k)(__VA_ARGS__)
#define ARG_s(n, ...) ""
#define ARG_c(n) ""
#define ARG_o(n, max) gBuffer
#define ARG_r(n, max, modo, largura) gBuffer
#define ARG_i(n) 0
#define ARG_p(n) &gInteiro
#define ARG_n(...)
#define GERA_PROPRIO(...)
#define GERA_F0(...)
#define GERA_KELT(...)
#define GERA_GEMEO(...)
#define GERA_F0_NUM(ret, nome, ...) \
    {#nome, [](teste::Cenario& c) { return CHAMA(c, nome, TARVO_MAP(ARG, __VA_ARGS__)); }},
#define TARVO_EXPORT(ret, nome, despacho, ...) TARVO_PP_CAT(GERA_, despacho)(ret, nome, __VA_ARGS__)
const std::vector<std::pair<std::string, int (*)(teste::Cenario&)>> kNumericas = {
#include "tarvo_exports.def"
};
#undef TARVO_EXPORT

TEST_F(Numerico, EveryExportWithoutACommandAnswersNotImplementedAndSendsNothing) {
    Inicia(2);
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  int n = 0;
                  for (const auto& [nome, chama] : kNumericas) {
                      if (kServidas.count(nome)) continue;
                      ++n;
                      c.Verifica(nome.c_str(), 0, chama(c));
                      Erro(c, -3, "Nao Implementado:" + nome);
                  }
                  if (n < 100) c.Falha("only " + std::to_string(n) + " exports checked");
                  // The four that answer in words of their own.
                  char b[1024] = "x";
                  PASSO(c, 0, Tarvo_DadosUltimaReducao, b);
                  Erro(c, -3, "Nao Implementado:Dados Ultima Reducao");
                  if (std::string(b) != "        ") c.Falha(std::string("last reduction: [") + b + "]");
                  PASSO(c, 0, Tarvo_VerificaTotalizadoresParciaisMFD, b);
                  Erro(c, -3, "Nao Implementado:Tarvo_VerificaTotalizadoresParciais");
                  PASSO(c, 0, Tarvo_TotalDocTroco, b);
                  Erro(c, -2, "Comando Inexistente para este modelo:TARVOSARTO_TotalDocTroco");
                  PASSO(c, 0, Tarvo_TotalDiaTroco, b);
                  Erro(c, -2, "Comando Inexistente para este modelo:Tarvo_TotalDiaTroco");
              }),
              "");
    EXPECT_EQ(e->Recebidos(), "");
}

TEST_P(AmbasFamilias, TextsThatAreNoNumberAreRefusedAndNothingIsSentNumbersFillTheirFields) {
    Inicia(GetParam());
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, -2, Tarvo_EfetuaFormaPagamento, "1", "-5,00");
                  Erro(c, -2, "Parametro invalido: Valor");
                  PASSO(c, -2, Tarvo_CancelaItemGenerico, "-1");
                  PASSO(c, -2, Tarvo_IniciaFechamentoCupom, "D", "$", "1,2,3");
                  PASSO(c, -2, Tarvo_VendeItem, "1", "A", "01", "UN", "abc", 2, "1,00", "$", "0");
                  PASSO(c, -2, Tarvo_VendeItem, "1", "A", "ZZ", "UN", "1", 2, "1,00", "$", "0");
                  PASSO(c, -2, Tarvo_Suprimento, "1\" X=\"1", "0");
                  PASSO(c, -2, Tarvo_FechaCupom, "-1", "", "", "", "", "OK");
                  CHAMA(c, Tarvo_EfetuaFormaPagamento, "1", "1.234,56");
                  CHAMA(c, Tarvo_CancelaItemGenerico, " 7 ");
              }),
              "");
    EXPECT_EQ(e->Comandos(), (std::vector<std::string>{"0701"
                                                       "000000000123456"
                                                       "1",
                                                       "12007"}));
}

TEST_P(AmbasFamilias, ASuccessWithACodeKeepsItAndABufferNotFilledStaysEmpty) {
    Inicia(GetParam());
    FalhasNumericas f;
    f.avisos[24] = "43";  // the drawer opened; the printer is still at it
    e->DefineFalhas(f);
    e->ErroEm(30, "02");
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_AcionaGaveta);
                  Erro(c, 43, "");
                  char b[64], hora[7] = {}, ie[16] = {};
                  for (const char* nome :
                       {"Tarvo_TotalDocTroco", "Tarvo_TotalDiaTroco", "Tarvo_RetornoAliquotas"}) {
                      PASSO(c, 1, Tarvo_NumeroSerie, b);
                      if (c.t.Chama<int(char*)>(nome, b) != 0 || b[0] != 0)
                          c.Falha(nome + std::string(": ") + b);
                  }
                  PASSO(c, 1, Tarvo_DataHoraImpressora, b, hora);
                  PASSO(c, 0, Tarvo_CNPJ_IE, b, ie);
                  if (std::string(ie) != std::string(15, ' ')) c.Falha("the time stayed: " + std::string(ie));
              }),
              "");
}

}  // namespace
