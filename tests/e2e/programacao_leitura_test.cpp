// Printer programming end to end: each programming export against the emulator, then the
// reading that shows what the printer now holds.
#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"

namespace {

using emulador::Emulador;
using teste::Igual;

class Programacao : public teste::ComEmulador {
  protected:
    void SetUp() override {
        ComEmulador::SetUp();
        Ini("Path=" + home.Caminho() + "\r\n");
    }
    // Commands received from the first frame whose command word is `desde` on.
    std::vector<std::string> QuadrosDesde(const std::string& desde) {
        std::vector<std::string> r;
        for (const emulador::Troca& t : e.Trocas())
            if (!r.empty() || t.comando == desde) r.push_back(t.comando + ";" + t.parametros);
        return r;
    }
};

TEST_F(Programacao, RatesGoIntoTheFirstFreeSlot) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ProgramaAliquota, "1250", 0);
        PASSO(c, 1, Tarvo_ProgramaAliquota, "0300", 1);  // a service-tax rate
        char b[80];
        PASSO(c, 1, Tarvo_RetornoAliquotas, b);
        Igual(c, "rates", "1800,1200,0700,0500,1250,0300,0000,0000,0000,0000,0000,0000,0000,0000,0000,0000",
              b);
        PASSO(c, 1, Tarvo_VerificaAliquotasICMS, b);
        Igual(c, "ICMS", "1800,1200,0700,1250", b);
        PASSO(c, 1, Tarvo_VerificaIndiceAliquotasIss, b);
        Igual(c, "ISS slots", "03,05", b);
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(QuadrosDesde("DefineAliquota")[0],
              "DefineAliquota;CodAliquotaProgramavel=4 PercentualAliquota=12,50");
    EXPECT_FALSE(e.Impressora().aliquotas[5].icms);
}

TEST_F(Programacao, PaymentFormsKeepThePrintersSpelling) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ProgramaFormaPagamentoMFD, "cheque", "1");
        PASSO(c, 1, Tarvo_ProgramaFormaPagamentoMFD, "Vale Refeicao", "0");
        char b[920];
        PASSO(c, 1, Tarvo_VerificaFormasPagamentoMFD, b);
        const std::string t = b;
        const std::size_t entrada = 16 + 2 * 14 + 1 + 1;
        Igual(c, "slot 2", "Cheque          " + std::string(28, '0') + "1",
              t.substr(3 * entrada, entrada - 1));
        Igual(c, "slot 3", "Vale Refeicao   " + std::string(28, '0') + "0",
              t.substr(4 * entrada, entrada - 1));
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(e.Impressora().meiosPagamento[2].nome, "Cheque");
    const auto q = QuadrosDesde("LeMeioPagamento");
    EXPECT_EQ(q[3], "DefineMeioPagamento;NomeMeioPagamento=\"Cheque\" PermiteVinculado=true");
}

TEST_F(Programacao, NamesOfDepartmentsTotalisersAndReports) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_NomeiaDepartamento, 1, "PADARIA");
        PASSO(c, 1, Tarvo_NomeiaTotalizadorNaoSujeitoIcms, 2, "CONTA LUZ");
        PASSO(c, 1, Tarvo_NomeiaRelatorioGerencialMFD, "3", "FECHAMENTO");
        char b[1020];
        PASSO(c, 1, Tarvo_VerificaDepartamentos, b);
        Igual(c, "department 1", std::string(40, '0') + "PADARIA   ", std::string(b).substr(51, 50));
        PASSO(c, 1, Tarvo_VerificaTotalizadoresNaoFiscais, b);
        Igual(c, "totaliser 2", "CONTA LUZ          ", std::string(b).substr(40, 19));
        PASSO(c, 1, Tarvo_LeNomeRelatorioGerencial, "3", b);
        Igual(c, "report 3", "FECHAMENTO", b);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Programacao, SettingsAndTheirReadings) {
    const std::string falhas = Roda([](teste::Cenario& c) {
        char b[4096];
        PASSO(c, 1, Tarvo_ProgramaArredondamento);
        PASSO(c, 1, Tarvo_VerificaTruncamento, b);
        Igual(c, "rounding", "0", b);
        PASSO(c, 1, Tarvo_ProgramaTruncamento);
        PASSO(c, 1, Tarvo_VerificaTruncamento, b);
        Igual(c, "truncation", "1", b);

        PASSO(c, 1, Tarvo_AlteraSimboloMoeda, "US$");
        PASSO(c, 1, Tarvo_SimboloMoeda, b);
        Igual(c, "symbol", "US$", b);
        PASSO(c, 1, Tarvo_ProgramaMoedaSingular, "Dolar");
        PASSO(c, 1, Tarvo_ProgramaMoedaPlural, "Dolares");
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeTexto", "NomeTexto=\"NomeMoedaPlural\"", b);
        Igual(c, "plural", "ValorTexto=\"Dolares\"", b);

        PASSO(c, 1, Tarvo_EspacoEntreLinhas, 5);
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"EspacamentoLinhas\"", b);
        Igual(c, "line spacing", "ValorInteiro=5", b);
        PASSO(c, 1, Tarvo_AtivaDesativaVendaUmaLinhaMFD, 1);
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"ImprimeItem1Linha\"", b);
        Igual(c, "one-line items", "ValorInteiro=1", b);

        int gaveta = -1;
        PASSO(c, 1, Tarvo_VerificaEstadoGaveta, &gaveta);
        Igual(c, "drawer closed", "0", std::to_string(gaveta));
        PASSO(c, 1, Tarvo_AcionaGaveta);
        PASSO(c, 1, Tarvo_VerificaEstadoGaveta, &gaveta);
        Igual(c, "drawer open", "1", std::to_string(gaveta));

        PASSO(c, 1, Tarvo_HabilitaDesabilitaRetornoEstendidoMFD, "1");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(e.Impressora().simboloMoeda, "US$");
}

TEST_F(Programacao, DaylightSavingTimeToggles) {
    auto flags = [this] {
        std::string r;
        std::string falhas = Roda([&](teste::Cenario& c) {
            PASSO(c, 1, Tarvo_ProgramaHorarioVerao);
            int f = -1;
            PASSO(c, 1, Tarvo_FlagsFiscais, &f);
            teste::EscreveArquivo(atual / "flags", std::to_string(f & 4));
        });
        return falhas + teste::LeArquivo(atual / "flags");
    };
    EXPECT_EQ(flags(), "4");
    EXPECT_TRUE(e.Impressora().horarioVerao);
    EXPECT_EQ(flags(), "0");
    EXPECT_FALSE(e.Impressora().horarioVerao);
}

}  // namespace
