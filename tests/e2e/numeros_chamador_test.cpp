// The caller's numbers on every printer line: texts that are no number of the form a
// parameter takes, or too large for it, are refused with -2 before anything reaches the
// printer; numbers of every accepted form go out as they always did. Also the numeric-code
// line's last error after a success with a code, the buffers that a call does not fill,
// and the bounds of feeds.
#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comum/emulado.h"
#include "emulador/numerico.h"

namespace {

using namespace std::string_literals;

struct Recusa {
    const char* oQue;
    std::function<int(teste::Cenario&)> chama;
};

// Every row must come back as -2 with "Parametro invalido" and send nothing.
void ConfereRecusas(teste::Cenario& c, const std::vector<Recusa>& linhas) {
    for (const Recusa& l : linhas) {
        const int r = l.chama(c);
        auto [codigo, mensagem] = c.t.UltimoErro();
        if (r != -2 || codigo != -2 || mensagem.rfind("Parametro invalido", 0) != 0)
            c.Falha(std::string(l.oQue) + ": " + std::to_string(r) + ", last error " + std::to_string(codigo) +
                    " " + mensagem);
    }
}

const std::string k20 = "12345678901234567890";

class NumerosParametros : public teste::ComEmulador {};

TEST_F(NumerosParametros, TextsThatAreNoNumberOfTheirFormAreRefusedAndNothingIsSent) {
    Ini();
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  ConfereRecusas(c, {
                      {"rate with a sign", [](teste::Cenario& c) { return CHAMA(c, Tarvo_ProgramaAliquota, "-1", 0); }},
                      {"rate with a parameter", [](teste::Cenario& c) { return CHAMA(c, Tarvo_ProgramaAliquota, "1\" Injetado=\"1", 0); }},
                      {"rate of 100 %", [](teste::Cenario& c) { return CHAMA(c, Tarvo_ProgramaAliquota, "100,00", 0); }},
                      {"price 1,5x", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "FF", "UN", "1", 2, "1,5x", "$", "0"); }},
                      {"price of 20 digits", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "FF", "UN", "1", 2, k20.c_str(), "$", "0"); }},
                      {"quantity 1,2,3", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "FF", "UN", "1,2,3", 2, "1,00", "$", "0"); }},
                      {"discount abc", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "FF", "UN", "1", 2, "1,00", "$", "abc"); }},
                      {"percentage rate 1,8x", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "1,8x", "UN", "1", 2, "1,00", "$", "0"); }},
                      {"department quantity", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItemDepartamento, "1", "A", "FF", "1,00", "1 X=1", "0", "0", "", "UN"); }},
                      {"non-fiscal item", [](teste::Cenario& c) { return CHAMA(c, Tarvo_EfetuaRecebimentoNaoFiscalMFD, "01", "1\" X=\"1"); }},
                      {"payment -5,00", [](teste::Cenario& c) { return CHAMA(c, Tarvo_EfetuaFormaPagamento, "Dinheiro", "-5,00"); }},
                      {"payment of 20 digits", [](teste::Cenario& c) { return CHAMA(c, Tarvo_EfetuaFormaPagamento, "Dinheiro", k20.c_str()); }},
                      {"item -1", [](teste::Cenario& c) { return CHAMA(c, Tarvo_CancelaItemGenerico, "-1"); }},
                      {"item of 20 digits", [](teste::Cenario& c) { return CHAMA(c, Tarvo_CancelaItemGenerico, k20.c_str()); }},
                      {"thousands out of place", [](teste::Cenario& c) { return CHAMA(c, Tarvo_IniciaFechamentoCupomMFD, "A", "$", "1.23,45", "0"); }},
                      {"two points", [](teste::Cenario& c) { return CHAMA(c, Tarvo_AcrescimoDescontoSubtotalMFD, "D", "$", "1.2.3"); }},
                      {"amount paid at the close", [](teste::Cenario& c) { return CHAMA(c, Tarvo_FechaCupom, "Dinheiro", "A", "$", "0", "x", "OBRIGADO"); }},
                      {"voucher amount", [](teste::Cenario& c) { return CHAMA(c, Tarvo_AbreComprovanteNaoFiscalVinculado, "Dinheiro", "1,2,3", ""); }},
                      {"opening of the day", [](teste::Cenario& c) { return CHAMA(c, Tarvo_AberturaDoDia, "abc", "Dinheiro"); }},
                      {"cash in", [](teste::Cenario& c) { return CHAMA(c, Tarvo_Suprimento, "10,00 X=1", "Dinheiro"); }},
                      {"feed of INT_MAX lines", [](teste::Cenario& c) { return CHAMA(c, Tarvo_AvancaCorta, INT_MAX, 9); }},
                      {"feed of 256 lines", [](teste::Cenario& c) { return CHAMA(c, Tarvo_AvancaCorta, 256, 0); }},
                      {"line spacing 256", [](teste::Cenario& c) { return CHAMA(c, Tarvo_EspacoEntreLinhas, 256); }},
                      {"line spacing -1", [](teste::Cenario& c) { return CHAMA(c, Tarvo_EspacoEntreLinhas, -1); }},
                  });
              }),
              "");
    EXPECT_EQ(e.Comandos(), std::vector<std::string>{});
}

TEST_F(NumerosParametros, NumbersOfEveryAcceptedFormGoOutAsTheyAlwaysDid) {
    Ini();
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  CHAMA(c, Tarvo_ProgramaAliquota, "18,00", 0);
                  CHAMA(c, Tarvo_ProgramaAliquota, " 1800 ", 1);
                  CHAMA(c, Tarvo_AbreCupom, "");
                  CHAMA(c, Tarvo_VendeItem, "1", "A", "18,00", "UN", "1.234,5", 2, "1.234,56", "$", "0");
                  CHAMA(c, Tarvo_VendeItem, "2", "B", "01", "UN", "2.5", 3, "0,015", "$", "0");
                  CHAMA(c, Tarvo_EfetuaFormaPagamento, "Dinheiro", "12.345.678,90");
                  CHAMA(c, Tarvo_AvancaCorta, 255, 9);
              }),
              "");
    const std::vector<std::string> aliquotas = Parametros("DefineAliquota");
    ASSERT_EQ(aliquotas.size(), 2u);
    EXPECT_TRUE(Contem(aliquotas[0], "PercentualAliquota=18,00")) << aliquotas[0];
    EXPECT_TRUE(Contem(aliquotas[1], "PercentualAliquota=18,00 AliquotaICMS = false")) << aliquotas[1];
    const std::vector<std::string> vendas = Parametros("VendeItem");
    ASSERT_EQ(vendas.size(), 2u);
    EXPECT_TRUE(Contem(vendas[0], "PercentualAliquota=18,00 ")) << vendas[0];
    EXPECT_TRUE(Contem(vendas[0], "PrecoUnitario=1234,56 Quantidade=1234,500 ")) << vendas[0];
    EXPECT_TRUE(Contem(vendas[1], "CodAliquota=01 ")) << vendas[1];
    EXPECT_TRUE(Contem(vendas[1], "PrecoUnitario=0,015 Quantidade=2,500 ")) << vendas[1];
    EXPECT_EQ(Parametros("PagaCupom"), (std::vector<std::string>{"CodMeioPagamento=-2 Valor=12345678,90"}));
    EXPECT_EQ(Parametros("AvancaPapel"), (std::vector<std::string>{"Avanco=7650"}));
}

// --- the numeric-code printers ------------------------------------------------------------------

class NumerosNumerico : public ::testing::TestWithParam<int> {
protected:
    teste::PastaTemporaria home, dev, atual;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    std::unique_ptr<emulador::EmuladorNumerico> e;

    void SetUp() override {
        e = std::make_unique<emulador::EmuladorNumerico>(GetParam());
        ASSERT_TRUE(e->Inicia(dev.Caminho(), "COM1")) << e->Erro();
        teste::EscreveArquivo(home / "TARVO.INI", std::string("[Sistema]\r\nPorta=COM1\r\nModeloImp=") +
                                                      (GetParam() == 2 ? "TARVO_SARTO" : "TARVO_LISKO") +
                                                      "\r\nDINHEIRO=1\r\n");
    }
    std::string Roda(const std::function<void(teste::Cenario&)>& corpo) {
        return teste::Cenario::Roda(atual.Caminho(), corpo);
    }
};
INSTANTIATE_TEST_SUITE_P(Familias, NumerosNumerico, ::testing::Values(1, 2));

TEST_P(NumerosNumerico, TextsThatAreNoNumberOfTheirFormAreRefusedAndNothingIsSent) {
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  ConfereRecusas(c, {
                      {"payment -5,00", [](teste::Cenario& c) { return CHAMA(c, Tarvo_EfetuaFormaPagamento, "1", "-5,00"); }},
                      {"item -1", [](teste::Cenario& c) { return CHAMA(c, Tarvo_CancelaItemGenerico, "-1"); }},
                      {"amount 1,2,3", [](teste::Cenario& c) { return CHAMA(c, Tarvo_IniciaFechamentoCupom, "D", "$", "1,2,3"); }},
                      {"quantity abc", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "01", "UN", "abc", 2, "1,00", "$", "0"); }},
                      {"tax code ZZ", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "ZZ", "UN", "1", 2, "1,00", "$", "0"); }},
                      {"price 1,5x", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "01", "UN", "1", 2, "1,5x", "$", "0"); }},
                      {"discount -1", [](teste::Cenario& c) { return CHAMA(c, Tarvo_VendeItem, "1", "A", "01", "UN", "1", 2, "1,00", "$", "-1"); }},
                      {"cash in", [](teste::Cenario& c) { return CHAMA(c, Tarvo_Suprimento, "1\" X=\"1", "0"); }},
                      {"cash-in form", [](teste::Cenario& c) { return CHAMA(c, Tarvo_Suprimento, "1,00", "x"); }},
                      {"cash out", [](teste::Cenario& c) { return CHAMA(c, Tarvo_Sangria, "1.2.3"); }},
                      {"closing form", [](teste::Cenario& c) { return CHAMA(c, Tarvo_FechaCupom, "-1", "", "", "", "", "OK"); }},
                      {"reductions", [](teste::Cenario& c) { return CHAMA(c, Tarvo_LeituraMemoriaFiscalReducao, "1", "2x", ""); }},
                  });
              }),
              "");
    EXPECT_EQ(e->Recebidos(), "");
}

TEST_P(NumerosNumerico, NumbersWithThousandsDotsAndBlanksFillTheirFields) {
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  CHAMA(c, Tarvo_EfetuaFormaPagamento, "1", "1.234,56");
                  CHAMA(c, Tarvo_EfetuaFormaPagamento, "1", " 10.5 ");
                  CHAMA(c, Tarvo_CancelaItemGenerico, " 7 ");
              }),
              "");
    EXPECT_EQ(e->Comandos(), (std::vector<std::string>{"0701" "000000000123456" "1", "0701" "000000000001050" "1",
                                                        "12007"}));
}

TEST_P(NumerosNumerico, ASuccessWithACodeKeepsItAndUnfilledBuffersStayEmpty) {
    emulador::FalhasNumericas f;
    f.avisos[24] = "43";  // the drawer opened; the printer is still at it
    e->DefineFalhas(f);
    e->ErroEm(30, "02");
    e->ErroEm(32, "02");
    EXPECT_EQ(Roda([](teste::Cenario& c) {
                  PASSO(c, 1, Tarvo_AcionaGaveta);
                  if (c.t.UltimoErro() != std::pair<int, std::string>{43, ""})
                      c.Falha("after a success with code 43: " + std::to_string(c.t.UltimoErro().first));
                  char serie[32] = {};
                  PASSO(c, 1, Tarvo_NumeroSerie, serie);
                  if (c.t.UltimoErro().first != 0) c.Falha("a reading's success leaves 0");
                  // Each export below fills nothing: its buffer must not get the serial number.
                  const std::vector<std::pair<const char*, std::function<int(char*)>>> vazias = {
                      {"TotalDocTroco", [&](char* b) { return CHAMA(c, Tarvo_TotalDocTroco, b); }},
                      {"TotalDiaTroco", [&](char* b) { return CHAMA(c, Tarvo_TotalDiaTroco, b); }},
                      {"RetornoAliquotas", [&](char* b) { return CHAMA(c, Tarvo_RetornoAliquotas, b); }},
                      {"VerificaModoOperacao", [&](char* b) { return CHAMA(c, Tarvo_VerificaModoOperacao, b); }},
                      {"SensorPoucoPapel", [&](char* b) { return CHAMA(c, Tarvo_VerificaSensorPoucoPapelMFD, b); }},
                  };
                  for (const auto& [nome, chama] : vazias) {
                      CHAMA(c, Tarvo_NumeroSerie, serie);
                      char b[128];
                      std::fill(std::begin(b), std::end(b), 'x');
                      if (chama(b) != 0) c.Falha(std::string(nome) + " answered success");
                      if (std::string(b) != "") c.Falha(std::string(nome) + " left [" + b + "]");
                  }
                  // Nor a second buffer the time of an earlier clock reading.
                  char data[7] = {}, hora[7] = {}, cnpj[19] = {}, ie[16] = {};
                  PASSO(c, 1, Tarvo_DataHoraImpressora, data, hora);
                  PASSO(c, 0, Tarvo_CNPJ_IE, cnpj, ie);
                  if (std::string(ie) != std::string(15, ' ')) c.Falha("CNPJ_IE left [" + std::string(ie) + "]");
              }),
              "");
}

}  // namespace
