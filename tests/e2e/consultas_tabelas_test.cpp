// Table and status readings end to end: the real libtarvo.so against the printer emulator.
// Each table walk with programmed and empty slots, its exact text and width; single values;
// the status bits for an open receipt, paper near its end and paper out.
#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"

namespace {

using emulador::Emulador;
using teste::Igual;

std::string Zeros(const std::string& digitos, std::size_t n) {
    return std::string(n - digitos.size(), '0') + digitos;
}
std::string Z(std::size_t n) {
    return std::string(n, '0');
}
std::string Brancos(const std::string& texto, std::size_t n) {
    return texto + std::string(n - texto.size(), ' ');
}
std::string Junta(const std::vector<std::string>& v) {
    std::string r;
    for (std::size_t i = 0; i < v.size(); ++i) r += (i ? "," : "") + v[i];
    return r;
}

// Compares inside the child process; a mismatch goes back to the test as text.
class Tabelas : public teste::ComEmulador {
  protected:
    void SetUp() override {
        ComEmulador::SetUp();
        Ini("Path=" + home.Caminho() + "\r\n");
    }
};

// A receipt of one item of 10,00 (rate slot 0, department 2) paid with 4,00 by card and
// 6,00 in cash.
void Cupom(teste::Cenario& c) {
    PASSO(c, 1, Tarvo_ExecutaComando, "AbreCupomFiscal", "");
    PASSO(c, 1, Tarvo_ExecutaComando, "VendeItem",
          "CodAliquota=0 CodProduto=\"1\" NomeProduto=\"SABAO\" PrecoUnitario=4,00 Quantidade=2,500 "
          "CodDepartamento=2");
    PASSO(c, 1, Tarvo_ExecutaComando, "PagaCupom", "CodMeioPagamento=0 Valor=4,00");
    PASSO(c, 1, Tarvo_ExecutaComando, "PagaCupom", "CodMeioPagamento=-2 Valor=6,00");
    PASSO(c, 1, Tarvo_ExecutaComando, "EncerraDocumento", "Operador=\"\"");
}

// A cash supply of 50,00 into non-fiscal totaliser 0.
void Suprimento(teste::Cenario& c) {
    PASSO(c, 1, Tarvo_ExecutaComando, "AbreCupomNaoFiscal", "");
    PASSO(c, 1, Tarvo_ExecutaComando, "EmiteItemNaoFiscal", "CodNaoFiscal=0 Valor=50,00");
    PASSO(c, 1, Tarvo_ExecutaComando, "PagaCupom", "CodMeioPagamento=-2 Valor=50,00");
    PASSO(c, 1, Tarvo_ExecutaComando, "EncerraDocumento", "Operador=\"\"");
}

TEST_F(Tabelas, RateListsInEveryLayout) {
    e.Altera([](emulador::Impressora& i) {
        i.LimpaTabelas();
        i.aliquotas[0] = {true, 1800, true, "ICMS 18"};
        i.aliquotas[3] = {true, 500, false, "ISS 5"};
    });
    const std::string falhas = Roda([](teste::Cenario& c) {
        char b[80];
        PASSO(c, 1, Tarvo_RetornoAliquotas, b);
        std::string todas = "1800,0000,0000,0500";
        for (int i = 0; i < 12; ++i) todas += ",0000";
        Igual(c, "all slots", todas, b);
        PASSO(c, 1, Tarvo_VerificaAliquotasICMS, b);
        Igual(c, "ICMS rates", "1800", b);
        PASSO(c, 1, Tarvo_VerificaAliquotasIss, b);
        Igual(c, "ISS rates", "0500", b);
        PASSO(c, 1, Tarvo_VerificaIndiceAliquotasICMS, b);
        Igual(c, "ICMS slots", "00", b);
        PASSO(c, 1, Tarvo_VerificaIndiceAliquotasIss, b);
        Igual(c, "ISS slots", "03", b);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Tabelas, PaymentFormsWithTheirDayAndReceiptTotals) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_NomeiaDepartamento, 2, "LIMPEZA");
        Cupom(c);
        for (int w : {20, 14}) {
            auto forma = [w](const char* nome, const char* dia, const char* doc, const char* vinculo) {
                return Brancos(nome, 16) + Zeros(dia, w) + Zeros(doc, w) + vinculo;
            };
            const std::string vazia = std::string(16, ' ') + Z(2 * w + 1);
            std::vector<std::string> v{forma("Dinheiro", "600", "600", "0"),
                                       forma("Cartao Credito", "400", "400", "1"),
                                       forma("Cartao Debito", "", "", "1"), forma("Cheque", "", "", "0")};
            const std::size_t entradas = w == 20 ? 52 : 20;
            while (v.size() < entradas) v.push_back(vazia);
            char b[3016];
            if (w == 20)
                PASSO(c, 1, Tarvo_VerificaFormasPagamento, b);
            else
                PASSO(c, 1, Tarvo_VerificaFormasPagamentoMFD, b);
            Igual(c, "payment forms " + std::to_string(w), Junta(v), b);
        }
        char valor[19];
        PASSO(c, 1, Tarvo_ValorFormaPagamento, "dinheiro", valor);
        Igual(c, "cash", "600", valor);
        PASSO(c, 1, Tarvo_ValorFormaPagamentoMFD, "Cartao Credito", valor);
        Igual(c, "card by name", "400", valor);
        PASSO(c, 1, Tarvo_ValorFormaPagamento, "0", valor);
        Igual(c, "card by code", "400", valor);
        PASSO(c, 0, Tarvo_ValorFormaPagamento, "Vale", valor);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Tabelas, PartialTotalisersInBothLayouts) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_NomeiaDepartamento, 2, "LIMPEZA");
        Cupom(c);
        // A cash supply of 50,00 into totaliser 0, which is also the SUPRIMENTO of
        // the configuration.
        Suprimento(c);

        const std::string z = Z(14), mil = Zeros("1000", 14), cinquenta = Zeros("5000", 14);
        std::string esperado = mil;
        for (int n = 1; n < 16; ++n) esperado += z;
        esperado += "," + z + "," + z + "," + z;    // exempt, not taxed, substitution
        esperado += "," + cinquenta;                // non-fiscal 0
        for (int n = 1; n < 9; ++n) esperado += z;  // non-fiscal 1-8
        esperado += "," + z + "," + cinquenta;      // withdrawal (1), supply (0)
        esperado += "," + Zeros("1000", 18);        // grand total
        char b[890];
        PASSO(c, 1, Tarvo_VerificaTotalizadoresParciais, b);
        Igual(c, "partial totalisers", esperado, b);

        esperado = mil;
        for (int n = 1; n < 16; ++n) esperado += z;
        for (int n = 16; n <= 27; ++n) esperado += "," + z;
        esperado += "," + cinquenta;  // 28: non-fiscal 0
        for (int n = 29; n <= 55; ++n) esperado += z;
        esperado += z + cinquenta;  // 56 withdrawal, 57 supply
        for (int n = 58; n <= 60; ++n) esperado += "," + z;
        esperado += "," + Zeros("1000", 18);
        PASSO(c, 1, Tarvo_VerificaTotalizadoresParciaisMFD, b);
        Igual(c, "partial totalisers MFD", esperado, b);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Tabelas, DepartmentsProgrammedAndEmpty) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_NomeiaDepartamento, 0, "BEBIDAS");
        PASSO(c, 1, Tarvo_NomeiaDepartamento, 2, "LIMPEZA GERAL");  // 10 are shown
        Cupom(c);
        std::vector<std::string> v(20, Z(40) + std::string(10, ' '));
        v[0] = Z(40) + "BEBIDAS   ";
        // 2,5 sold: the printer's quantity comes with two places.
        v[2] = Zeros("1000", 20) + Zeros("250", 20) + "LIMPEZA GE";
        char b[1020];
        PASSO(c, 1, Tarvo_VerificaDepartamentos, b);
        Igual(c, "departments", Junta(v), b);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Tabelas, NonFiscalTotalisers) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        Suprimento(c);

        char b[2200];
        PASSO(c, 1, Tarvo_ContadoresTotalizadoresNaoFiscais, b);
        Igual(c, "counters", "0001,0000,0000,0000,0000,0000,0000,0000,0000", b);
        PASSO(c, 1, Tarvo_ContadoresTotalizadoresNaoFiscaisMFD, b);
        Igual(c, "counters MFD", "0001,0000,0000,0000,0000,0000,0000,0000,0000", b);

        std::vector<std::string> nomes(15, std::string(19, ' '));
        nomes[0] = Brancos("SUPRIMENTO", 19);
        nomes[1] = Brancos("SANGRIA", 19);
        PASSO(c, 1, Tarvo_VerificaTotalizadoresNaoFiscaisMFD, b);
        Igual(c, "names MFD", Junta(nomes), b);
        nomes.resize(9);
        PASSO(c, 1, Tarvo_VerificaTotalizadoresNaoFiscais, b);
        Igual(c, "names", Junta(nomes), b);

        std::vector<std::string> v(50, Z(24) + std::string(19, ' '));
        v[0] = "0001" + Zeros("5000", 20) + Brancos("SUPRIMENTO", 19);
        v[1] = Z(24) + Brancos("SANGRIA", 19);
        PASSO(c, 1, Tarvo_VerificaRecebimentoNaoFiscal, b);
        Igual(c, "receipts", Junta(v), b);

        std::vector<std::string> m(30, std::string(19, ' ') + Z(14));
        m[0] = Brancos("SUPRIMENTO", 19) + Zeros("5000", 14);
        m[1] = Brancos("SANGRIA", 19) + Z(14);
        PASSO(c, 1, Tarvo_VerificaRecebimentoNaoFiscalMFD, b);
        Igual(c, "receipts MFD", Junta(m), b);

        PASSO(c, 1, Tarvo_ValorTotalizadorNaoFiscal, "suprimento", b);
        Igual(c, "total by name", "5000", b);
        PASSO(c, 1, Tarvo_ValorTotalizadorNaoFiscalMFD, "0", b);
        Igual(c, "total by code", "5000", b);
        PASSO(c, 0, Tarvo_ValorTotalizadorNaoFiscal, "CONTA", b);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Tabelas, ManagementReports) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_NomeiaRelatorioGerencialMFD, "5", "VENDAS");
        PASSO(c, 1, Tarvo_ExecutaComando, "AbreGerencial", "CodGerencial=0");
        PASSO(c, 1, Tarvo_ExecutaComando, "EncerraDocumento", "Operador=\"\"");
        std::vector<std::string> v(30, "0000" + std::string(17, ' '));
        v[0] = "0001" + Brancos("RELATORIO GERAL", 17);
        v[5] = "0000" + Brancos("VENDAS", 17);
        char b[660];
        PASSO(c, 1, Tarvo_VerificaRelatorioGerencialMFD, b);
        Igual(c, "reports", Junta(v), b);
        PASSO(c, 1, Tarvo_LeNomeRelatorioGerencial, "5", b);
        Igual(c, "name of 5", "VENDAS", b);
        PASSO(c, 0, Tarvo_LeNomeRelatorioGerencial, "7", b);
        PASSO(c, -2, Tarvo_LeNomeRelatorioGerencial, "5 x", b);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Tabelas, SingleValues) {
    // 95,00 % of the 64 MiB detail tape used.
    e.Altera([](emulador::Impressora& i) { i.mfdOcupadaExtra = i.mfdTotal * 95 / 100 + 1 - i.MfdOcupada(); });
    const std::string falhas = Roda([](teste::Cenario& c) {
        char a[200], b[200], t[200];
        PASSO(c, 1, Tarvo_NumeroSerie, a);
        Igual(c, "serial", "TV010500000000012345", a);
        PASSO(c, 1, Tarvo_MarcaModeloTipoImpressoraMFD, a, b, t);
        Igual(c, "brand", Brancos("TARVO", 15), a);
        Igual(c, "model", Brancos("RIX 4000", 20), b);
        Igual(c, "type", "ECF-IF ", t);
        PASSO(c, 1, Tarvo_CNPJ_IE, a, b);
        Igual(c, "CNPJ", "11.222.333/0001-81", a);
        Igual(c, "IE", "123.456.789.012", b);
        PASSO(c, 1, Tarvo_NumeroCaixa, a);
        Igual(c, "till", "0001", a);
        PASSO(c, 1, Tarvo_NumeroIntervencoes, a);
        Igual(c, "CRO", "0001", a);
        PASSO(c, 1, Tarvo_VersaoFirmware, a);
        Igual(c, "firmware", "01.00.05", a);
        PASSO(c, 1, Tarvo_PercentualLivreMFD, a);
        Igual(c, "free share", "04,99%", a);
        PASSO(c, 1, Tarvo_TamanhoTotalMFD, a);
        Igual(c, "size", "67108864", a);
        PASSO(c, 1, Tarvo_DataHoraImpressora, a, b);
        if (std::string(a).size() != 6 || std::string(b).size() != 6)
            c.Falha(std::string("date and time: ") + a + " " + b);
        PASSO(c, 1, Tarvo_VerificaTipoImpressoraStr, a);
        Igual(c, "type text",
              "Impressora fiscal, gaveta, autentica\xE7"
              "ao.",
              a);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Tabelas, StatusBitsOfAnOpenReceiptAndOfThePaper) {
    auto estado = [this](bool abreCupom) {
        std::string r;
        std::string falhas = Roda([&](teste::Cenario& c) {
            if (abreCupom) PASSO(c, 1, Tarvo_ExecutaComando, "AbreCupomFiscal", "");
            int ack = -1, st1 = -1, st2 = -1;
            PASSO(c, 1, Tarvo_VerificaEstadoImpressora, &ack, &st1, &st2);
            char a[4], b[4], d[4];
            PASSO(c, 1, Tarvo_VerificaEstadoImpressoraStr, a, b, d);
            Igual(c, "texts", std::to_string(ack) + " " + std::to_string(st1) + " " + std::to_string(st2),
                  std::string(a) + " " + b + " " + d);
            int flags = -1;
            PASSO(c, 1, Tarvo_FlagsFiscais, &flags);
            char papel[2];
            PASSO(c, 1, Tarvo_VerificaSensorPoucoPapelMFD, papel);
            teste::EscreveArquivo(atual / "estado", std::to_string(ack) + " " + std::to_string(st1) + " " +
                                                        std::to_string(st2) + " " + std::to_string(flags) +
                                                        " " + papel);
        });
        return falhas + teste::LeArquivo(atual / "estado");
    };
    EXPECT_EQ(estado(false), "6 0 0 0 0");
    EXPECT_EQ(estado(true), "6 2 0 33 0");  // receipt open (flags: open, and open or last)
    e.Altera([](emulador::Impressora& i) { i.poucoPapel = true; });
    EXPECT_EQ(estado(false), "6 66 0 33 1");
    e.Altera([](emulador::Impressora& i) { i.semPapel = true; });
    EXPECT_EQ(estado(false), "6 194 0 33 1");
}

}  // namespace
