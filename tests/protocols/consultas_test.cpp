// Table and status readings against a scripted printer: replies the emulator does not give
// (failures in the middle of a sequence, odd memory figures) and the exact commands sent.
#include <gtest/gtest.h>

#include <map>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/parametros.h"
#include "tarvo.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

// "Command;parameters" -> reply code and data; anything else is answered with success and
// no data.
using Tabela = std::map<std::string, std::pair<std::string, std::string>>;

const std::pair<std::string, std::string> kFalha{"8004", "Nome=\"Registrador\" Texto=\"inexistente\""};

class Consultas : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};

    void Carrega(const std::string& extra = "") {
        teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\nPath=" +
                                                      home.Caminho() + "\r\n" + extra);
        CarregaConfiguracao();
        Estado().PrimeiroUsoFeito = true;
    }
    static Roteiro::Responde Responde(Tabela t) {
        return [t](const std::string& q) {
            std::string corpo = q.substr(q.find(';') + 1);
            corpo = corpo.substr(0, corpo.rfind(';'));
            auto it = t.find(corpo);
            std::string codigo = it == t.end() ? "0" : it->second.first;
            std::string dados = it == t.end() ? "" : it->second.second;
            return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), codigo, dados)}};
        };
    }
};

TEST_F(Consultas, AFailedCnpjReadingIsTheResultAndTheIeIsNotAskedFor) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1",
                       Responde({{"LeTexto;NomeTexto=\"CNPJ\"", kFalha},
                                 {"LeTexto;NomeTexto=\"IE\"", {"0", "ValorTexto=\"123456\""}}}));
    char cnpj[19], ie[16];
    EXPECT_EQ(Tarvo_CNPJ_IE(cnpj, ie), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8004);
    EXPECT_EQ(impressora.Comandos(), std::vector<std::string>{"LeTexto;NomeTexto=\"CNPJ\""});
    EXPECT_EQ(std::string(cnpj), std::string(18, ' '));
    EXPECT_EQ(std::string(ie), std::string(15, ' '));
}

TEST_F(Consultas, CnpjAndIeArePaddedToTheirWidths) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1",
                       Responde({{"LeTexto;NomeTexto=\"CNPJ\"", {"0", "ValorTexto=\"12.345.678/0001-99\""}},
                                 {"LeTexto;NomeTexto=\"IE\"", {"0", "ValorTexto=\"123456\""}}}));
    char cnpj[19], ie[16];
    EXPECT_EQ(Tarvo_CGC_IE(cnpj, ie), 1);
    EXPECT_STREQ(cnpj, "12.345.678/0001-99");
    EXPECT_STREQ(ie, "123456         ");
    EXPECT_EQ(teste::LeArquivo(home / "RETORNO.TXT"), "12.345.678/0001-99\r\n");
}

TEST_F(Consultas, TheStatusWordIsNotBuiltFromAnEarlierReplyAfterAFailedReading) {
    Carrega();
    for (const char* falha :
         {"LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", "LeIndicador;NomeIndicador=\"SemPapel\"",
          "LeIndicador;NomeIndicador=\"SensorPoucoPapel\""}) {
        // The reply before the failing one says a receipt is open ("3").
        Tabela t{{"LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", {"0", "ValorInteiro=3"}}};
        t[falha] = kFalha;
        Roteiro impressora(dev.Caminho(), "COM1", Responde(t));
        int ack = 77, st1 = 77, st2 = 77;
        EXPECT_EQ(Tarvo_VerificaEstadoImpressora(&ack, &st1, &st2), 0) << falha;
        EXPECT_EQ(Erro().UltimoRetorno, 8004);
        EXPECT_EQ(ack, 77);
        EXPECT_EQ(st1, 77);
        EXPECT_EQ(st2, 77);
        char a[4] = "x", b[4] = "x", c[4] = "x";
        EXPECT_EQ(Tarvo_VerificaEstadoImpressoraStr(a, b, c), 0);
        EXPECT_STREQ(a, "x");
    }
}

TEST_F(Consultas, StatusBitsAndTheirTexts) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1",
                       Responde({{"LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", {"0", "ValorInteiro=3"}},
                                 {"LeIndicador;NomeIndicador=\"SemPapel\"",
                                  {"0", "ValorNumericoIndicador=1 ValorTextoIndicador=\"1\""}},
                                 {"LeIndicador;NomeIndicador=\"SensorPoucoPapel\"",
                                  {"0", "ValorNumericoIndicador=0 ValorTextoIndicador=\"0\""}}}));
    int ack = 0, st1 = 0, st2 = 0;
    EXPECT_EQ(Tarvo_VerificaEstadoImpressoraMFD(&ack, &st1, &st2, 0), 1);
    EXPECT_EQ(ack, 6);
    EXPECT_EQ(st1, 128 + 2);
    EXPECT_EQ(st2, 0);
    char a[4], b[4], c[4];
    EXPECT_EQ(Tarvo_VerificaEstadoImpressoraStr(a, b, c), 1);
    EXPECT_STREQ(a, "6");
    EXPECT_STREQ(b, "130");
    EXPECT_STREQ(c, "0");
    EXPECT_EQ(Tarvo_VerificaEstadoImpressora(nullptr, nullptr, nullptr), 1);  // no crash
}

// Used share of the detail-tape memory as the printer reports it -> free share and size.
struct Memoria {
    std::string usado, livreBytes, percentual, tamanho;
};
void PrintTo(const Memoria& m, std::ostream* os) {
    *os << m.usado << " used, " << m.livreBytes << " free";
}

class MemoriaFita : public Consultas, public ::testing::WithParamInterface<Memoria> {};

TEST_P(MemoriaFita, FreeShareAndSizeNeverFailOnOddFigures) {
    Carrega();
    const Memoria& m = GetParam();
    Roteiro impressora(
        dev.Caminho(), "COM1",
        Responde({{"LeInteiro;NomeInteiro=\"PercentualMFDUtilizada\"", {"0", "ValorInteiro=" + m.usado}},
                  {"LeInteiro;NomeInteiro=\"MFDLivre\"", {"0", "ValorInteiro=" + m.livreBytes}}}));
    char percentual[7], tamanho[10];
    EXPECT_EQ(Tarvo_PercentualLivreMFD(percentual), 1);
    EXPECT_EQ(std::string(percentual), m.percentual);
    EXPECT_EQ(Tarvo_TamanhoTotalMFD(tamanho), 1);
    EXPECT_EQ(std::string(tamanho), m.tamanho);
}

INSTANTIATE_TEST_SUITE_P(
    Figuras, MemoriaFita,
    ::testing::Values(Memoria{"0", "8387769", "99,99%", "8388608"},       // an empty 8 MB memory
                      Memoria{"9500", "838861", "04,99%", "16777216"},    // 95,00 % of 16 MB used
                      Memoria{"5000", "16777216", "49,99%", "33554432"},  // half of 32 MB
                      Memoria{"0", "268435456", "99,99%", "268435456"},   // the largest
                      Memoria{"9999", "0", "00,00%", "0"},                // full: no division by zero
                      Memoria{"10000", "0", "00,00%", "0"},               // beyond 99,99 %: not negative
                      Memoria{"123456", "0", "00,00%", "0"}));

TEST_F(Consultas, AFailedMemoryReadingLeavesNoAnswer) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1",
                       Responde({{"LeInteiro;NomeInteiro=\"PercentualMFDUtilizada\"", kFalha}}));
    char percentual[7] = "x";
    EXPECT_EQ(Tarvo_PercentualLivreMFD(percentual), 0);
    EXPECT_STREQ(percentual, "");
}

TEST_F(Consultas, FiscalFlagsAddUpAndStayZeroAfterAFailure) {
    Carrega();
    const std::string sim = "ValorNumericoIndicador=1 ValorTextoIndicador=\"1\"";
    const std::string nao = "ValorNumericoIndicador=0 ValorTextoIndicador=\"0\"";
    {
        Roteiro impressora(
            dev.Caminho(), "COM1",
            Responde({{"LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", {"0", "ValorInteiro=3"}},
                      {"LeTexto;NomeTexto=\"NomeEstadoFiscal\"", {"0", "ValorTexto=\"ESTADO_PAGAMENTO \""}},
                      {"LeIndicador;NomeIndicador=\"HorarioVerao\"", {"0", sim}},
                      {"LeIndicador;NomeIndicador=\"DiaFechado\"", {"0", nao}},
                      {"LeInteiro;NomeInteiro=\"TipoUltimoDocEmitido\"", {"0", "ValorInteiro=1"}}}));
        int flags = -1;
        EXPECT_EQ(Tarvo_FlagsFiscais(&flags), 1);
        EXPECT_EQ(flags, 1 + 2 + 4 + 32);
        char texto[4];
        EXPECT_EQ(Tarvo_FlagsFiscaisStr(texto), 1);
        EXPECT_STREQ(texto, "039");
    }
    {
        Roteiro impressora(dev.Caminho(), "COM1",
                           Responde({{"LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", {"0", "ValorInteiro=3"}},
                                     {"LeIndicador;NomeIndicador=\"DiaFechado\"", kFalha}}));
        int flags = -1;
        EXPECT_EQ(Tarvo_FlagsFiscais(&flags), 0);
        EXPECT_EQ(flags, 0);
    }
}

TEST_F(Consultas, AFailedModeReadingHandsBackNothingThatLooksLikeAMode) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1",
                       Responde({{"LeIndicador;NomeIndicador=\"IntervencaoTecnica\"", kFalha}}));
    char modo[2] = "x";
    EXPECT_EQ(Tarvo_VerificaModoOperacao(modo), 0);
    EXPECT_STREQ(modo, "");
}

TEST_F(Consultas, TheDrawerIsInvertedByModoGavetaAlsoAfterAFailure) {
    Carrega("ModoGaveta=1\r\n");
    {
        Roteiro impressora(dev.Caminho(), "COM1",
                           Responde({{"LeIndicador;NomeIndicador=\"SensorGaveta\"",
                                      {"0", "ValorNumericoIndicador=0 ValorTextoIndicador=\"0\""}}}));
        int gaveta = -1;
        EXPECT_EQ(Tarvo_VerificaEstadoGaveta(&gaveta), 1);
        EXPECT_EQ(gaveta, 1);
        char texto[2];
        EXPECT_EQ(Tarvo_VerificaEstadoGavetaStr(texto), 1);
        EXPECT_STREQ(texto, "1");
    }
    {
        Roteiro impressora(dev.Caminho(), "COM1",
                           Responde({{"LeIndicador;NomeIndicador=\"SensorGaveta\"", kFalha}}));
        int gaveta = -1;
        EXPECT_EQ(Tarvo_VerificaEstadoGaveta(&gaveta), 0);
        EXPECT_EQ(gaveta, 1);
        EXPECT_EQ(Tarvo_VerificaImpressoraLigada(), -6);
    }
}

TEST_F(Consultas, AWalkWithoutAPrinterReportsTheFailure) {
    Carrega();  // no port COM1 at all
    char texto[2200] = "x";
    EXPECT_EQ(Tarvo_VerificaRecebimentoNaoFiscal(texto), -5);
    EXPECT_STREQ(texto, "");
    EXPECT_EQ(Tarvo_VerificaTotalizadoresParciais(texto), -5);
    EXPECT_STREQ(texto, "");
}

TEST_F(Consultas, AReceiptTotaliserThePrinterRefusesIsTakenAsEmpty) {
    Carrega();
    Tabela t;
    for (int n = 0; n < 10; ++n)
        t["LeNaoFiscal;CodNaoFiscal=" + std::to_string(n)] = {"8005", "A=\"Totalizador\" B=\"vazio\""};
    t["LeNaoFiscal;CodNaoFiscal=2"] = {"0", "CodNaoFiscal=2 NomeNaoFiscal=\"CONTA\" TipoNaoFiscal=Yes"};
    t["LeMoeda;NomeDadoMonetario=\"TotalDiaNaoFiscal[2]\""] = {"0", "ValorMoeda=12,3400"};
    t["LeInteiro;NomeInteiro=\"CON[2]\""] = {"0", "ValorInteiro=7"};
    Roteiro impressora(dev.Caminho(), "COM1", Responde(t));
    char texto[2200];
    EXPECT_EQ(Tarvo_VerificaRecebimentoNaoFiscal(texto), 1);
    EXPECT_EQ(Erro().UltimoRetorno, 0);
    const std::string vazio = std::string(24, '0') + std::string(19, ' ');
    std::string esperado;
    for (int n = 0; n < 50; ++n) {
        if (n) esperado += ",";
        esperado += n == 2 ? "0007" + std::string(16, '0') + "1234" + "CONTA" + std::string(14, ' ') : vazio;
    }
    EXPECT_EQ(std::string(texto), esperado);
    EXPECT_EQ(esperado.size() + 1, sizeof texto);
}

TEST_F(Consultas, DepartmentsReadBeforeAFailureAreKept) {
    Carrega();
    Tabela t;
    t["LeDepartamento;CodDepartamento=0"] = {"0", "CodDepartamento=0 NomeDepartamento=\"BEBIDAS\""};
    t["LeMoeda;NomeDadoMonetario=\"TotalDiaValorVendasDepartamento[0]\""] = {"0", "ValorMoeda=10,0000"};
    t["LeMoeda;NomeDadoMonetario=\"TotalDiaQuantidadeVendasDepartamento[0]\""] = {"0", "ValorMoeda=2,5000"};
    t["LeDepartamento;CodDepartamento=1"] = {"8031", "A=\"Departamento\" B=\"vazio\""};
    t["LeDepartamento;CodDepartamento=2"] = kFalha;
    Roteiro impressora(dev.Caminho(), "COM1", Responde(t));
    char texto[1020];
    EXPECT_EQ(Tarvo_VerificaDepartamentos(texto), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8004);
    EXPECT_EQ(std::string(texto), PreencheZerosEsquerda("1000", 20) + PreencheZerosEsquerda("250", 20) +
                                      "BEBIDAS   ," + std::string(40, '0') + std::string(10, ' '));
}

TEST_F(Consultas, NullPointersFromTheHostDoNoHarm) {
    Carrega();
    Roteiro impressora(dev.Caminho(), "COM1", Responde({}));
    EXPECT_EQ(Tarvo_CNPJ_IE(nullptr, nullptr), 1);
    EXPECT_EQ(Tarvo_MarcaModeloTipoImpressoraMFD(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(Tarvo_VerificaEstadoImpressoraStr(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(Tarvo_FlagsFiscais(nullptr), 1);
    EXPECT_EQ(Tarvo_LeIndicadores(nullptr), 1);
    EXPECT_EQ(Tarvo_VerificaEstadoGaveta(nullptr), 1);
    EXPECT_EQ(Tarvo_ValorTotalizadorNaoFiscal(nullptr, nullptr), 0);  // no code comes back for no name
    EXPECT_EQ(Tarvo_ValorFormaPagamento(nullptr, nullptr), 0);
    EXPECT_EQ(Tarvo_LeNomeRelatorioGerencial(nullptr, nullptr), -2);
    EXPECT_EQ(Tarvo_ProgramaFormaPagamentoMFD(nullptr, nullptr), 1);
    EXPECT_EQ(Tarvo_ProgramaMoedaPlural(nullptr), 1);
    EXPECT_EQ(Tarvo_NomeiaRelatorioGerencialMFD(nullptr, nullptr), -2);
    EXPECT_EQ(Tarvo_AutenticacaoMFD(nullptr, nullptr), 0);  // no cheque station on this model
    EXPECT_EQ(Tarvo_CodigoBarrasITFMFD(nullptr), 1);
    EXPECT_EQ(Tarvo_VerificaFormasPagamentoMFD(nullptr), 1);
}

}  // namespace
