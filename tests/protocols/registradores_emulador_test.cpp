// Register readings by number and by name, through the real port code, against the emulator.
#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/protocols/familia0/parametros.h"
#include "emulador/emulador.h"

namespace {

using namespace tarvo;

class Registradores : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    emulador::Emulador e;
    void SetUp() override {
        ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM1")) << e.Erro();
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\n");
        CarregaConfiguracao();
        Estado().PrimeiroUsoFeito = true;
        e.Altera([](emulador::Impressora& i) {
            i.contadores.coo = 1234;
            i.contadores.crz = 17;
            i.contadores.ccf = 88;
            i.contadores.gnf = 5;
            i.contadores.cro = 2;
            i.gt = 2'500'000'001;  // R$ 25.000.000,01: beyond 32 bits in cents
        });
    }
    std::string Le(int numero) {
        std::string texto = "lixo";
        EXPECT_EQ(LeRegistradorTxt(numero, texto), 1) << numero;
        return texto;
    }
};

TEST_F(Registradores, CountersTextsAndAmountsByNumber) {
    EXPECT_EQ(Le(6), "1234");
    EXPECT_EQ(Le(9), "17");
    EXPECT_EQ(Le(55), "88");
    EXPECT_EQ(Le(7), "5");
    EXPECT_EQ(Le(10), "2");
    EXPECT_EQ(Le(0), e.Impressora().numeroSerie);
    EXPECT_EQ(Le(102), "RIX 4000");
    EXPECT_EQ(Le(1), "01.00.05");
    EXPECT_EQ(Le(106), "11.222.333/0001-81");
    EXPECT_EQ(Le(3), "2500000001");  // the printer keeps four places: the reading is in cents
    EXPECT_EQ(e.Comandos(),
              (std::vector<std::string>{"LeInteiro", "LeInteiro", "LeInteiro", "LeInteiro", "LeInteiro",
                                        "LeTexto", "LeTexto", "LeTexto", "LeTexto", "LeMoeda"}));
    EXPECT_EQ(e.Trocas()[0].parametros, "NomeInteiro=\"COO\"");
    EXPECT_EQ(e.Trocas().back().parametros, "NomeDadoMonetario=\"GT\"");
}

TEST_F(Registradores, NumbersOutsideTheTableSendNothing) {
    for (int n : {2, 11, 13, 16, 17, 20, 51, 57, 99, 117, -1}) {
        std::string texto = "lixo";
        EXPECT_EQ(LeRegistradorTxt(n, texto), 0) << n;
        EXPECT_EQ(texto, "");
    }
    EXPECT_TRUE(e.Quadros().empty());
}

TEST_F(Registradores, AFailedReadingEmptiesTheText) {
    e.ErroEm("LeInteiro", 8001, "ParametroInvalido", "teste");
    std::string texto = "lixo";
    EXPECT_EQ(LeRegistradorTxt(6, texto), 0);
    EXPECT_EQ(texto, "");
}

TEST_F(Registradores, AmountsAndDatesByName) {
    EXPECT_EQ(RixLeMoedaPorNome("GT"), 1);
    EXPECT_EQ(Resposta().ValorResposta, "25000000,0100");
    EXPECT_EQ(RixLeDataPorNome("Data"), 1);
    emulador::DataHora agora = e.Impressora().Agora();
    char esperado[16];
    std::snprintf(esperado, sizeof esperado, "%02d/%02d/%04d", agora.dia % 100, agora.mes % 100,
                  agora.ano % 10000);
    EXPECT_EQ(Resposta().ValorResposta, esperado);
}

}  // namespace
