// The receipt, non-fiscal and facade exports against a scripted printer: the frames they
// send, how they combine the steps' results, and what they leave in the last-error record,
// the status triple, TARVO.INI and the exchange files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <new>
#include <optional>
#include <system_error>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/api/exportacao.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/parametros.h"
#include "platform/ini.h"
#include "platform/pastas.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

// A printer that answers every frame with success and the data of `Dados`, unless `Falha`
// gives an error code for that command and parameters.
class Impressora {
  public:
    using Dados = std::function<std::string(const std::string& comando, const std::string& parametros)>;
    using Falha =
        std::function<std::optional<int>(const std::string& comando, const std::string& parametros)>;

    Impressora(const std::string& devdir, Dados dados = nullptr, Falha falha = nullptr)
        : dados_(std::move(dados)),
          falha_(std::move(falha)),
          roteiro_(devdir, "COM1", [this](const std::string& q) { return Responde(q); }) {}

    std::vector<std::string> Comandos() { return roteiro_.Comandos(); }
    // The commands whose word is `comando`, parameters only.
    std::vector<std::string> Parametros(const std::string& comando) {
        std::vector<std::string> r;
        for (const std::string& c : Comandos())
            if (c.compare(0, comando.size() + 1, comando + ";") == 0)
                r.push_back(c.substr(comando.size() + 1));
        return r;
    }
    std::vector<std::string> Palavras() {
        std::vector<std::string> r;
        for (const std::string& c : Comandos()) r.push_back(c.substr(0, c.find(';')));
        return r;
    }

  private:
    teste::Resposta Responde(const std::string& quadro) {
        std::size_t a = quadro.find(';'), b = quadro.find(';', a + 1), c = quadro.rfind(';');
        std::string comando = quadro.substr(a + 1, b - a - 1), parametros = quadro.substr(b + 1, c - b - 1);
        if (falha_)
            if (auto codigo = falha_(comando, parametros))
                return {{Roteiro::Quadro(
                    Roteiro::Pacote(quadro), std::to_string(*codigo),
                    "Erro=\"Recusado " + comando + "\" Causa=\"codigo " + std::to_string(*codigo) + "\"")}};
        return {{Roteiro::Quadro(Roteiro::Pacote(quadro), "0", dados_ ? dados_(comando, parametros) : "")}};
    }

    Dados dados_;
    Falha falha_;
    Roteiro roteiro_;
};

class Documentos : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev, atual;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    std::string pastaAnterior = plataforma_atual();

    static std::string plataforma_atual() {
        char b[4096];
        return ::getcwd(b, sizeof b) ? b : "/";
    }
    void SetUp() override { ASSERT_EQ(::chdir(atual.Caminho().c_str()), 0); }
    void TearDown() override { (void)!::chdir(pastaAnterior.c_str()); }

    void Carrega(const std::string& sistema = "", const std::string& resto = "") {
        teste::EscreveArquivo(home / "TARVO.INI",
                              "[Sistema]\r\nPorta=COM1\r\nTimeOutComandos=5\r\n" + sistema + resto);
        CarregaConfiguracao();
        Estado().PrimeiroUsoFeito = true;  // no spacing command before the first frame
    }
    std::string Chave(const char* s, const char* k) {
        return plataforma::ArquivoIni::LeChave(home / "TARVO.INI", s, k, "<none>");
    }
    static std::string Mensagem() { return Erro().UltimaMensagem; }
};

// --- item sale -------------------------------------------------------------------------------

TEST_F(Documentos, ASaleSendsTheRateQuantityUnitAndEscapedName) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_VendeItem("789", "CAFE \"BOM\"", "ff", "Kg", "1,5", 2, "1299", "$", "0"), 1);
    EXPECT_EQ(Tarvo_VendeItem("1", "PAO", "01", "I", "2un", 3, "1500", "%", "0,00"), 1);
    EXPECT_EQ(Tarvo_VendeItem("2", "LEITE", "NS", "F", "1500", 2, "4,99", "$", ""), 1);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{
                  "VendeItem;CodAliquota=-2 CodProduto=\"789\" NomeProduto=\"CAFE \\x22BOM\\x22\" "
                  "PrecoUnitario=12,99 Quantidade=1,500 Unidade=\"Kg\"",
                  "VendeItem;CodAliquota=01 CodProduto=\"1\" NomeProduto=\"PAO\" PrecoUnitario=1,500 "
                  "Quantidade=2,000 Unidade=\"Un\"",
                  "VendeItem;CodAliquota=-13 CodProduto=\"2\" NomeProduto=\"LEITE\" PrecoUnitario=4,99 "
                  "Quantidade=1,500 Unidade=\"F\""}));
}

TEST_F(Documentos, APercentageRateIsRetriedWithoutIcmsAfter8005AndTheDiscountFollowsTheSale) {
    Carrega();
    Impressora p(dev.Caminho(), nullptr,
                 [](const std::string& c, const std::string& par) -> std::optional<int> {
                     if (c == "VendeItem" && par.rfind("AliquotaICMS=true", 0) == 0) return 8005;
                     return std::nullopt;
                 });
    EXPECT_EQ(Tarvo_VendeItem("7", "SERVICO", "500", "I", "1", 2, "1000", "%", "10"), 1);
    EXPECT_EQ(
        p.Comandos(),
        (std::vector<std::string>{
            "VendeItem;AliquotaICMS=true PercentualAliquota=5,00 CodProduto=\"7\" NomeProduto=\"SERVICO\" "
            "PrecoUnitario=10,00 Quantidade=1,000 Unidade=\"Un\"",
            "VendeItem;AliquotaICMS=false PercentualAliquota=5,00 CodProduto=\"7\" NomeProduto=\"SERVICO\" "
            "PrecoUnitario=10,00 Quantidade=1,000 Unidade=\"Un\"",
            "AcresceItemFiscal;Cancelar=false ValorPercentual=-10,00"}));
}

TEST_F(Documentos, ARefusedSaleGivesNoDiscountAndReportsThePrinter) {
    Carrega();
    Impressora p(dev.Caminho(), nullptr, [](const std::string& c, const std::string&) -> std::optional<int> {
        if (c == "VendeItem") return 8010;
        return std::nullopt;
    });
    EXPECT_EQ(Tarvo_VendeItem("7", "X", "1800", "I", "1", 2, "100", "$", "50"), 0);
    EXPECT_EQ(p.Palavras(), (std::vector<std::string>{"VendeItem"}));  // no retry: not 8005
    EXPECT_EQ(Erro().UltimoRetorno, 8010);
    EXPECT_EQ(Mensagem(), "Recusado VendeItem - codigo 8010");
}

TEST_F(Documentos, TheLongDescriptionWaitsInAFileForTheNextSale) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_AumentaDescricaoItem("LINHA UM\r\nLINHA \"DOIS\""), 1);
    EXPECT_EQ(teste::LeArquivo(atual / "AUMENTA.TXT"), "LINHA UM\r\nLINHA \"DOIS\"\r\n");
    EXPECT_EQ(Tarvo_VendeItem("1", "CURTA", "FF", "I", "1", 2, "100", "$", "0"), 1);
    EXPECT_EQ(Tarvo_VendeItem("2", "CURTA", "FF", "I", "1", 2, "100", "$", "0"), 1);
    auto v = p.Parametros("VendeItem");
    ASSERT_EQ(v.size(), 2u);
    EXPECT_NE(v[0].find("NomeProduto=\"LINHA UM\nLINHA \\x22DOIS\\x22\""), std::string::npos) << v[0];
    EXPECT_NE(v[1].find("NomeProduto=\"CURTA\""), std::string::npos);
    EXPECT_FALSE(plataforma::ExisteArquivo(atual / "AUMENTA.TXT"));
}

TEST_F(Documentos, ADepartmentSaleNamesItsMeasureAndGivesOneDiscountOrSurcharge) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_VendeItemDepartamento("9", "QUEIJO", "II", "32,5", "0,75", "1,00", "0,50", "3", "Kg"), 1);
    EXPECT_EQ(Tarvo_VendeItemDepartamento("8", "PILHA", "II", "2", "2", "1,00", "0", " ", ""), 1);
    EXPECT_EQ(Tarvo_VendeItemDepartamento("7", "FIO", "II", "2", "2", "0", "0", "", "Metro"), 1);
    const std::string nome =
        "QUEIJO" + std::string(24, ' ') + "Peso (Kg)    X    Preco(R$/Kg)            Valor";
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{
                  "VendeItem;CodAliquota=-3 CodProduto=\"9\" NomeProduto=\"" + nome +
                      "\" PrecoUnitario=32,500 Quantidade=0,750 Unidade=\"Kg\" CodDepartamento=3",
                  "AcresceItemFiscal;Cancelar=false ValorAcrescimo=-0,50",
                  "VendeItem;CodAliquota=-3 CodProduto=\"8\" NomeProduto=\"PILHA\" PrecoUnitario=2,000 "
                  "Quantidade=2,000 Unidade=\"UN\"",
                  "AcresceItemFiscal;Cancelar=false ValorAcrescimo=1,00",
                  "VendeItem;CodAliquota=-3 CodProduto=\"7\" NomeProduto=\"FIO" + std::string(27, ' ') +
                      "Metro(Metro)    X    Preco(R$/Metro)            Valor\" PrecoUnitario=2,000 "
                      "Quantidade=2,000 Unidade=\"Metro\""}));
}

TEST_F(Documentos, NoCallerTextCanEndItsValueEarly) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_VendeItemDepartamento("1\" CodAliquota=\"9", "TV 32\"", "II", "1", "1", "0", "0", "", ""),
              1);
    EXPECT_EQ(Tarvo_UsaComprovanteNaoFiscalVinculado("VIA \"CLIENTE\""), 1);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{
                  "VendeItem;CodAliquota=-3 CodProduto=\"1\\x22 CodAliquota=\\x229\" "
                  "NomeProduto=\"TV 32\\x22\" PrecoUnitario=1,000 Quantidade=1,000 Unidade=\"UN\"",
                  "ImprimeTexto;TextoLivre=\"VIA \\x22CLIENTE\\x22\""}));
}

TEST_F(Documentos, ItemAndSubtotalSurchargesAndDiscounts) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_AcrescimoDescontoItemMFD("2", "A", "$", "150"), 1);
    EXPECT_EQ(Tarvo_AcrescimoDescontoItemMFD("3", "D", "%", "5,00"), 1);
    EXPECT_EQ(Tarvo_CancelaAcrescimoDescontoItemMFD("A", "3"), 1);
    EXPECT_EQ(Tarvo_CancelaItemGenerico("4"), 1);
    EXPECT_EQ(Tarvo_CancelaItemAnterior(), 1);
    EXPECT_EQ(Tarvo_IniciaFechamentoCupom("D", "%", "0,00"), 1);  // zero: nothing sent
    EXPECT_EQ(Tarvo_IniciaFechamentoCupom("A", "$", "2,00"), 1);
    EXPECT_EQ(Tarvo_AcrescimoDescontoSubtotalMFD("D", "$", "1,00"), 1);
    EXPECT_EQ(Tarvo_AcrescimoDescontoSubtotalMFD("A", "%", "3"), 1);
    EXPECT_EQ(Tarvo_CancelaAcrescimoDescontoSubtotalMFD(""), 1);
    EXPECT_EQ(Tarvo_IniciaFechamentoCupomMFD("", "$", "1,00", "0,50"), 1);
    EXPECT_EQ(Tarvo_IniciaFechamentoCupomMFD("D", "%", "1,00", "2,00"), 1);
    EXPECT_EQ(p.Comandos(), (std::vector<std::string>{
                                "AcresceItemFiscal;Cancelar=false NumItem=2 ValorAcrescimo= 1,50",
                                "AcresceItemFiscal;Cancelar=false NumItem=3 ValorPercentual=-5,00",
                                "AcresceItemFiscal;Cancelar=true NumItem=3",
                                "CancelaItemFiscal;NumItem=4",
                                "CancelaItemFiscal;",
                                "AcresceSubtotal;Cancelar=false ValorAcrescimo= 2,00",
                                "AcresceSubtotal;Cancelar=false ValorAcrescimo=-1,00",
                                "AcresceSubtotal;Cancelar=false ValorPercentual= 0,03",
                                "AcresceSubtotal;Cancelar=true",
                                "AcresceSubtotal;Cancelar=false ValorAcrescimo=1,00",
                                "AcresceSubtotal;Cancelar=false ValorAcrescimo=-0,50",
                                "AcresceSubtotal;Cancelar=false ValorPercentual=-2,00",
                            }));
    EXPECT_EQ(Tarvo_IniciaFechamentoCupomMFD("X", "$", "1", "1"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -2);
    EXPECT_EQ(Mensagem(),
              "Comando Inexistente para este modelo:IniciaFechamentoCupomMFD com Desconto e Acrescimo");
}

// --- payments and close ----------------------------------------------------------------------

TEST_F(Documentos, PaymentFormsByCashNameCodeOrName) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_EfetuaFormaPagamento(" dinheiro ", "1000"), 1);
    EXPECT_EQ(Tarvo_EfetuaFormaPagamento("3", "5,5"), 1);
    EXPECT_EQ(Tarvo_EfetuaFormaPagamentoDescricaoForma("Cart\xE3o \"VISA\"", "12,34",
                                                       std::string(100, 'x').c_str()),
              1);
    EXPECT_EQ(Tarvo_EfetuaFormaPagamentoMFD("-2", "1", "3", "parcelado"), 1);
    EXPECT_EQ(p.Parametros("PagaCupom"),
              (std::vector<std::string>{
                  "CodMeioPagamento=-2 Valor=10,00", "CodMeioPagamento=3 Valor=0,55",
                  "NomeMeioPagamento=\"Cart\xE3o \\x22VISA\\x22\" Valor=12,34 TextoAdicional=\"" +
                      std::string(80, 'x') + "\"",
                  "CodMeioPagamento=-2 Valor=0,01"}));
}

TEST_F(Documentos, ARefusedDiscountStaysInTheLastErrorWhileTheCloseSaysTheReceiptIsClosed) {
    Carrega();
    Estado().NomeOperador = "ANA";
    Impressora p(dev.Caminho(), nullptr, [](const std::string& c, const std::string&) -> std::optional<int> {
        if (c == "AcresceSubtotal") return 8040;
        return std::nullopt;
    });
    EXPECT_EQ(Tarvo_FechaCupom("Dinheiro", "D", "$", "1,00", "20,00", "OBRIGADO"), 1);
    EXPECT_EQ(Erro().UltimoRetorno, 8040);
    EXPECT_EQ(Mensagem(), "Recusado AcresceSubtotal - codigo 8040");
    EXPECT_EQ(p.Comandos(), (std::vector<std::string>{"AcresceSubtotal;Cancelar=false ValorAcrescimo=-1,00",
                                                      "PagaCupom;CodMeioPagamento=-2 Valor=20,00",
                                                      "ImprimeTexto;TextoLivre=\"OBRIGADO\"",
                                                      "EncerraDocumento;Operador=\"ANA\""}));
}

TEST_F(Documentos, ARefusedPaymentStaysInTheLastErrorOfTheClose) {
    Carrega();
    {
        Impressora p(dev.Caminho(), nullptr,
                     [](const std::string& c, const std::string&) -> std::optional<int> {
                         if (c == "PagaCupom") return 8014;
                         return std::nullopt;
                     });
        EXPECT_EQ(Tarvo_FechaCupom("CHEQUE", "", "", "", "5,00", ""), 1);
        EXPECT_EQ(Erro().UltimoRetorno, 8014);
        EXPECT_EQ(p.Palavras(), (std::vector<std::string>{"PagaCupom", "ImprimeTexto", "EncerraDocumento"}));
    }
    // Without a printer the first failure is the port's, and so is the result.
    EXPECT_EQ(Tarvo_TerminaFechamentoCupom("FIM"), -5);
    EXPECT_EQ(Erro().UltimoRetorno, -5);
}

TEST_F(Documentos, TheSummaryClosePaysTheWholeSubtotalWithItsCents) {
    Carrega();
    Impressora p(dev.Caminho(), [](const std::string& c, const std::string&) -> std::string {
        return c == "LeMoeda" ? "ValorMoeda=1234,5600" : "";
    });
    EXPECT_EQ(Tarvo_FechaCupomResumido("dinheiro", ""), 1);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{"LeMoeda;NomeDadoMonetario=\"TotalDocLiquido\"",
                                        "PagaCupom;CodMeioPagamento=-2 Valor=1234,56",
                                        "ImprimeTexto;TextoLivre=\"\"", "EncerraDocumento;Operador=\"\""}));
}

TEST_F(Documentos, TheClosingTextGoesOutIn480CharacterPiecesWithTheApplicationLine) {
    Carrega("IdAplicativo=PDV 2.0\r\n");
    Impressora p(dev.Caminho());
    std::string texto(1000, 'a');
    texto[479] = '\\';  // an escape is never cut in two
    texto[480] = 'n';
    EXPECT_EQ(Tarvo_TerminaFechamentoCupom(texto.c_str()), 1);
    auto v = p.Parametros("ImprimeTexto");
    ASSERT_EQ(v.size(), 3u);
    const std::string todo = texto + "\\nAplicativo:PDV 2.0";
    EXPECT_EQ(v[0], "TextoLivre=\"" + todo.substr(0, 479) + "\"");
    EXPECT_EQ(v[1], "TextoLivre=\"" + todo.substr(479, 480) + "\"");
    EXPECT_EQ(v[2], "TextoLivre=\"" + todo.substr(959) + "\"");
    EXPECT_EQ(p.Palavras().back(), "EncerraDocumento");
}

TEST_F(Documentos, EscapesAreNeverCutAtAPieceBoundary) {
    Carrega();
    // A caller's "\x1D" starting at each position around the end of the first piece.
    for (std::size_t inicio = 475; inicio <= 481; ++inicio) {
        Impressora p(dev.Caminho());
        const std::string texto = std::string(inicio, 'a') + "\\x1D" + std::string(700 - inicio, 'b');
        ASSERT_EQ(Tarvo_UsaComprovanteNaoFiscalVinculado(texto.c_str()), 1);
        std::string junto;
        int comEscape = 0;
        for (const std::string& par : p.Parametros("ImprimeTexto")) {
            ASSERT_EQ(par.rfind("TextoLivre=\"", 0), 0u);
            const std::string pedaco = par.substr(12, par.size() - 13);
            EXPECT_LE(pedaco.size(), 480u) << inicio;
            if (pedaco.find("\\x1D") != std::string::npos) ++comEscape;
            junto += pedaco;
        }
        EXPECT_EQ(junto, texto) << inicio;
        EXPECT_EQ(comEscape, 1) << "the escape at " << inicio << " was cut";
        EXPECT_EQ(p.Parametros("ImprimeTexto")[0].size() - 13,
                  inicio + 4 <= 480 || inicio >= 480 ? 480u : inicio)
            << inicio;
    }
    // The payment's additional text is cut to 80 characters the same way.
    {
        Impressora p(dev.Caminho());
        const std::string texto = std::string(78, 't') + "\\x1Dfim";
        ASSERT_EQ(Tarvo_EfetuaFormaPagamentoDescricaoForma("Dinheiro", "100", texto.c_str()), 1);
        EXPECT_EQ(p.Parametros("PagaCupom"),
                  (std::vector<std::string>{"CodMeioPagamento=-2 Valor=1,00 TextoAdicional=\"" +
                                            std::string(78, 't') + "\""}));
    }
    // "\n" and a lone backslash: only real escapes move the boundary.
    Impressora p(dev.Caminho());
    const std::string texto = std::string(478, 'a') + "\\q\\n" + std::string(10, 'c');
    ASSERT_EQ(Tarvo_UsaComprovanteNaoFiscalVinculado(texto.c_str()), 1);
    auto v = p.Parametros("ImprimeTexto");
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0], "TextoLivre=\"" + texto.substr(0, 480) + "\"");
    EXPECT_EQ(v[1], "TextoLivre=\"" + texto.substr(480) + "\"");
}

TEST_F(Documentos, TheConsumerIdentificationIsPrintedAtTheCloseOfTheReceiptItWasGivenFor) {
    Carrega();
    Impressora p(dev.Caminho());
    teste::EscreveArquivo(atual / "ID.TXT", "old\r\n");
    EXPECT_EQ(Tarvo_AbreCupom(""), 1);  // forgets an identification left over
    EXPECT_FALSE(plataforma::ExisteArquivo(atual / "ID.TXT"));
    EXPECT_EQ(Tarvo_IdentificaConsumidor("123.456.789-09", " MARIA \"M\" ", ""), 1);
    EXPECT_EQ(teste::LeArquivo(atual / "ID.TXT"), "123.456.789-09\r\n MARIA \"M\" \r\n\r\n");
    EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", ""), 1);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{
                  "AbreCupomFiscal;", "ImprimeTexto;TextoLivre=\"\"",
                  "IdentificaConsumidor;IdConsumidor=\"123.456.789-09\" NomeConsumidor=\"MARIA \\x22M\\x22\"",
                  "EncerraDocumento;Operador=\"\""}));
    EXPECT_FALSE(plataforma::ExisteArquivo(atual / "ID.TXT"));
    EXPECT_EQ(Tarvo_AbreCupomMFD("", "JOSE", " "), 1);
    EXPECT_EQ(Tarvo_AbreCupom("  12345678909 "), 1);
    auto abre = p.Parametros("AbreCupomFiscal");
    EXPECT_EQ(abre[1], " NomeConsumidor=\"JOSE\"");
    EXPECT_EQ(abre[2], "IdConsumidor=\"  12345678909 \"");
}

TEST_F(Documentos, AnIdentificationOfThreeEmptyLinesIsStillSentAndItsRefusalDoesNotUndoTheClose) {
    Carrega();
    Impressora p(dev.Caminho(), nullptr, [](const std::string& c, const std::string&) -> std::optional<int> {
        if (c == "IdentificaConsumidor") return 8077;
        return std::nullopt;
    });
    EXPECT_EQ(Tarvo_IdentificaConsumidor("", "", ""), 1);
    EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", ""), 1);
    EXPECT_EQ(Erro().UltimoRetorno, 8077);
    EXPECT_EQ(Mensagem(), "Recusado IdentificaConsumidor - codigo 8077");
    EXPECT_EQ(p.Comandos(), (std::vector<std::string>{"ImprimeTexto;TextoLivre=\"\"", "IdentificaConsumidor;",
                                                      "EncerraDocumento;Operador=\"\""}));
    EXPECT_FALSE(plataforma::ExisteArquivo(atual / "ID.TXT"));
}

TEST_F(Documentos, TheApplicationLineFollowsAnEmptyMessageWithoutABreak) {
    Carrega("IdAplicativo=PDV\r\n");
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_FechaComprovanteNaoFiscalVinculado(), 1);
    EXPECT_EQ(Tarvo_TerminaFechamentoCupom("\\nFIM"), 1);
    EXPECT_EQ(Tarvo_TerminaFechamentoCupom("FIM"), 1);
    EXPECT_EQ(
        p.Parametros("ImprimeTexto"),
        (std::vector<std::string>{"TextoLivre=\"Aplicativo:PDV\"", "TextoLivre=\"\\nFIMAplicativo:PDV\"",
                                  "TextoLivre=\"FIM\\nAplicativo:PDV\""}));
}

TEST_F(Documentos, ARefusedClosingTextLeavesTheResultToTheClose) {
    Carrega();
    bool fechaRecusado = false;
    Impressora p(dev.Caminho(), nullptr, [&](const std::string& c, const std::string&) -> std::optional<int> {
        if (c == "ImprimeTexto") return 8003;
        if (c == "EncerraDocumento" && fechaRecusado) return 8004;
        return std::nullopt;
    });
    EXPECT_EQ(Tarvo_FechaRecebimentoNaoFiscalMFD("OBRIGADO"), 1);
    EXPECT_EQ(Erro().UltimoRetorno, 8003);
    EXPECT_EQ(Tarvo_FechaComprovanteNaoFiscalVinculado(), 1);
    EXPECT_EQ(Erro().UltimoRetorno, 8003);
    EXPECT_EQ(Tarvo_FechaCupomResumido("Dinheiro", "OBRIGADO"), 1);
    EXPECT_EQ(Erro().UltimoRetorno, 8003);
    // The close refused as well: the document is still open, and the first refusal is reported.
    fechaRecusado = true;
    EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", "OBRIGADO"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8003);
    EXPECT_EQ(Tarvo_FechaRecebimentoNaoFiscalMFD("OBRIGADO"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8003);
}

// --- the state campaigns -----------------------------------------------------------------------

class Campanha : public Documentos {
  protected:
    std::string imposto = "ValorMoeda=10,0000";
    Impressora::Dados Dados() {
        return [this](const std::string& c, const std::string& par) -> std::string {
            if (c == "LeMoeda" && par == "NomeDadoMonetario=\"TotalDiaImpostoICMS\"") return imposto;
            if (c == "LeMoeda") return "ValorMoeda=25,9000";
            if (c == "LeTexto" && par == "NomeTexto=\"IE\"") return "ValorTexto=\"12.345.678\"";
            if (c == "LeTexto") return "ValorTexto=\"12.345.678/0001-90\"";
            if (c == "LeData") return "ValorData=#09/12/2024#";
            if (par == "NomeInteiro=\"COO\"") return "ValorInteiro=123";
            if (par == "NomeInteiro=\"ECF\"") return "ValorInteiro=4";
            return "";
        };
    }
};

TEST_F(Campanha, RioDeJaneiroPrintsItsBlockAndTheDocumentsTax) {
    Carrega("HabilitaICMSCupom=1\r\nIdAplicativo=APP\r\n", "[ECF]\r\nUF=rj\r\n");
    Impressora p(dev.Caminho(), Dados());
    EXPECT_EQ(Tarvo_AbreCupom(""), 1);
    EXPECT_EQ(Tarvo_VendeItem("1", "A", "FF", "I", "1", 2, "100", "$", "0"), 1);  // read once per document
    // What the start read stays in memory; TARVO.INI is written at the close only.
    EXPECT_TRUE(Config().CupomManiaLido);
    EXPECT_EQ(Chave("Flags", "CupomManiaLido"), "<none>");
    EXPECT_EQ(Chave("Flags", "CupomManiaValorAux"), "<none>");
    imposto = "ValorMoeda=12,3400";
    EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", ""), 1);
    EXPECT_EQ(p.Parametros("LeMoeda").size(), 2u);
    auto texto = p.Parametros("ImprimeTexto");
    ASSERT_EQ(texto.size(), 1u);
    EXPECT_EQ(texto[0],
              "TextoLivre=\"CUPOM MANIA, CONCORRA A PREMIOS \\nENVIE SMS P/ 6789:12345678091224000123004\\n"
              "PROCON - R da Ajuda 5 - RJ - (21) 151 \\nALERJ - R 1\xA7 de Mar\x87o s/n - RJ - (21) 25881418"
              "Aplicativo:APP\"");
    EXPECT_EQ(Chave("Flags", "CupomManiaTotalImp"), "2.34");
    EXPECT_EQ(Chave("Flags", "CupomManiaLido"), "0");
    EXPECT_EQ(Config().CupomManiaTotalImp, "2.34");
}

TEST_F(Campanha, MinasGeraisNeedsTheSwitchAndPrintsItsLineAfterTheMessage) {
    Carrega("HabilitaICMSCupom=1\r\n", "[ECF]\r\nUF=MG\r\n");
    Impressora p(dev.Caminho(), Dados());
    EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", "VOLTE SEMPRE"), 1);
    EXPECT_EQ(p.Parametros("ImprimeTexto"),
              (std::vector<std::string>{
                  "TextoLivre=\"VOLTE SEMPRE\\nMINAS LEGAL: 12345678000190 091224 2590\\n\""}));
}

TEST_F(Campanha, OtherStatesAndAnOffSwitchPrintNoCampaign) {
    Carrega("HabilitaICMSCupom=1\r\n", "[ECF]\r\nUF=SP\r\n");
    {
        Impressora p(dev.Caminho(), Dados());
        EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", "OI"), 1);
        EXPECT_EQ(p.Parametros("ImprimeTexto"), (std::vector<std::string>{"TextoLivre=\"OI\""}));
    }
    Carrega("", "[ECF]\r\nUF=MG\r\n");
    Impressora p(dev.Caminho(), Dados());
    EXPECT_EQ(Tarvo_VendeItem("1", "A", "FF", "I", "1", 2, "100", "$", "0"), 1);
    EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", "OI"), 1);
    EXPECT_EQ(p.Palavras(), (std::vector<std::string>{"VendeItem", "ImprimeTexto", "EncerraDocumento"}));
}

TEST_F(Campanha, AFailingCampaignReadingStillClosesTheDocument) {
    for (const char* uf : {"RJ", "MG"}) {
        SCOPED_TRACE(uf);
        Carrega("HabilitaICMSCupom=1\r\n", std::string("[ECF]\r\nUF=") + uf + "\r\n");
        auto falha = [](const std::string& c, const std::string&) -> std::optional<int> {
            if (c == "LeData") return 9001;
            return std::nullopt;
        };
        Impressora p(dev.Caminho(), Dados(), falha);
        // The receipt is closed without the campaign text; the reading's failure stays readable.
        EXPECT_EQ(Tarvo_FechaCupom("", "", "", "", "", "OI"), 1);
        EXPECT_EQ(Erro().UltimoRetorno, 9001);
        auto palavras = p.Palavras();
        EXPECT_EQ(std::count(palavras.begin(), palavras.end(), "EncerraDocumento"), 1);
        EXPECT_EQ(p.Parametros("ImprimeTexto"), (std::vector<std::string>{"TextoLivre=\"OI\""}));
    }
}

// --- cancel, cutter, reversal --------------------------------------------------------------------

TEST_F(Documentos, TheCutterFollowsTheSubModel) {
    Carrega("ModeloImp=TARVO_ORVIKTH\r\nHabilitaCorte=1\r\n");
    Estado().NomeOperador = "JO";
    {
        Impressora p(dev.Caminho());
        EXPECT_EQ(Tarvo_AcionaGuilhotinaMFD(12), 1);
        EXPECT_EQ(Tarvo_CancelaCupomMFD(1, 2, 3), 1);
        EXPECT_EQ(p.Comandos(),
                  (std::vector<std::string>{"CortaPapel;TipoCorte=0", "CancelaCupom;Operador=\"JO\"",
                                            "CortaPapel;TipoCorte=1"}));
    }
    Carrega("ModeloImp=TARVO_VESK\r\n");
    {
        Impressora p(dev.Caminho());
        EXPECT_EQ(Tarvo_AcionaGuilhotinaMFD(2), 1);
        EXPECT_EQ(Tarvo_CupomAdicionalMFD(), 1);  // HabilitaCorte 0: no cut
        EXPECT_EQ(p.Comandos(), (std::vector<std::string>{"CortaPapel;TipoCorte=0", "AvancaPapel;Avanco=250",
                                                          "ImprimeCupomAdicional;"}));
    }
    Carrega();
    EXPECT_EQ(Tarvo_AcionaGuilhotinaMFD(1), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -2);
    EXPECT_EQ(Mensagem(), "Comando Inexistente para este modelo:Tarvo_AcionaGuilhotinaMFD");
}

TEST_F(Documentos, AReversalResolvesItsFormsFirst) {
    Carrega();
    Impressora p(
        dev.Caminho(),
        [](const std::string& c, const std::string& par) -> std::string {
            if (c == "LeMeioPagamento")
                return "CodMeioPagamentoProgram=4 NomeMeioPagamento=\"CARTAO\" PermiteVinculado=Y";
            (void)par;
            return "";
        },
        [](const std::string& c, const std::string& par) -> std::optional<int> {
            if (c == "LeMeioPagamento" && par.find("VALE") != std::string::npos) return 8014;
            return std::nullopt;
        });
    EXPECT_EQ(Tarvo_EstornoFormasPagamento("Cartao", "dinheiro", "5,00"), 1);
    EXPECT_EQ(Tarvo_EstornoFormasPagamento("2", "VALE", "5,00"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8014);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{
                  "LeMeioPagamento;NomeMeioPagamento=\"Cartao\"",
                  "EstornaMeioPagamento;CodMeioPagamentoOrigem=4 CodMeioPagamentoDestino=-2 Valor=5,00",
                  "LeMeioPagamento;NomeMeioPagamento=\"VALE\""}));
}

// --- non-fiscal documents -------------------------------------------------------------------------

TEST_F(Documentos, WithdrawalAndSupplyUseTheirTotalisersAndCash) {
    Carrega("SUPRIMENTO=3\r\n");
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_Sangria("1000"), 1);
    EXPECT_EQ(Tarvo_Suprimento("50,00", " "), 1);
    EXPECT_EQ(Tarvo_Suprimento("50,00", "CHEQUE"), 1);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{
                  "AbreCupomNaoFiscal;", "EmiteItemNaoFiscal;CodNaoFiscal=1 Valor=10,00",
                  "PagaCupom;CodMeioPagamento=-2 Valor=10,00", "EncerraDocumento;Operador=\"\"",
                  "AbreCupomNaoFiscal;", "EmiteItemNaoFiscal;CodNaoFiscal=3 Valor=50,00",
                  "PagaCupom;CodMeioPagamento=-2 Valor=50,00", "EncerraDocumento;Operador=\"\"",
                  "AbreCupomNaoFiscal;", "EmiteItemNaoFiscal;CodNaoFiscal=3 Valor=50,00",
                  "PagaCupom;NomeMeioPagamento=\"CHEQUE\" Valor=50,00", "EncerraDocumento;Operador=\"\""}));
}

TEST_F(Documentos, OneStepReceiptsRunToTheCloseAndReportTheFirstFailure) {
    Carrega();
    std::string recusado = "AbreCupomNaoFiscal";
    bool fechaRecusado = true;
    Impressora p(dev.Caminho(), nullptr, [&](const std::string& c, const std::string&) -> std::optional<int> {
        if (c == recusado) return 8100;
        if (c == "EncerraDocumento" && fechaRecusado) return 8200;
        return std::nullopt;
    });
    EXPECT_EQ(Tarvo_RecebimentoNaoFiscal("05", "2,50", "Dinheiro"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8100);
    EXPECT_EQ(Mensagem(), "Recusado AbreCupomNaoFiscal - codigo 8100");
    EXPECT_EQ(p.Palavras(), (std::vector<std::string>{"AbreCupomNaoFiscal", "EmiteItemNaoFiscal", "PagaCupom",
                                                      "EncerraDocumento"}));
    // The payment counts for the cash-in only: a withdrawal or a receipt whose payment is
    // refused but whose close goes through is done; a cash-in is not.
    recusado = "PagaCupom";
    EXPECT_EQ(Tarvo_Sangria("1,00"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8200);
    fechaRecusado = false;
    EXPECT_EQ(Tarvo_Sangria("1,00"), 1);
    EXPECT_EQ(Tarvo_RecebimentoNaoFiscal("05", "2,50", "Dinheiro"), 1);
    EXPECT_EQ(Tarvo_Suprimento("1,00", ""), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8100);
    EXPECT_EQ(Mensagem(), "Recusado PagaCupom - codigo 8100");
}

TEST_F(Documentos, NonFiscalReceiptStepByStep) {
    Carrega();
    Impressora p(dev.Caminho(), [](const std::string& c, const std::string&) -> std::string {
        return c == "LeMoeda" ? "ValorMoeda=7,5000" : "";
    });
    char subtotal[15];
    EXPECT_EQ(Tarvo_AbreRecebimentoNaoFiscalMFD("1", "ANA \"A\"", "RUA"), 1);
    EXPECT_EQ(Tarvo_EfetuaRecebimentoNaoFiscalMFD("02", "750"), 1);
    EXPECT_EQ(Tarvo_AcrescimoItemNaoFiscalMFD("1", "D", "%", "10"), 1);
    EXPECT_EQ(Tarvo_CancelaAcrescimoNaoFiscalMFD("1", "x"), 1);
    EXPECT_EQ(Tarvo_CancelaItemNaoFiscalMFD("1"), 1);
    EXPECT_EQ(Tarvo_SubTotalComprovanteNaoFiscalMFD(subtotal), 1);
    EXPECT_EQ(Tarvo_FechaRecebimentoNaoFiscalMFD("FIM"), 1);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{
                  "AbreCupomNaoFiscal;IdConsumidor=\"1\" EnderecoConsumidor=\"RUA\" "
                  "NomeConsumidor=\"ANA \\x22A\\x22\"",
                  "EmiteItemNaoFiscal;CodNaoFiscal=02 Valor=7,50",
                  "AcresceItemNaoFiscal;Cancelar=false ValorPercentual=-0,10",
                  "AcresceItemNaoFiscal;Cancelar=true NumItem=1", "CancelaItemNaoFiscal;NumItem=1",
                  "LeMoeda;NomeDadoMonetario=\"TotalDocLiquido\"", "ImprimeTexto;TextoLivre=\"FIM\"",
                  "EncerraDocumento;Operador=\"\""}));
    EXPECT_EQ(std::string(subtotal), "750");
    EXPECT_EQ(teste::LeArquivo(home / "RETORNO.TXT"), "750\r\n");
}

TEST_F(Documentos, ABoundVoucherOpensWithTheGivenArgumentsOnly) {
    Carrega();
    Impressora p(dev.Caminho(), [](const std::string& c, const std::string&) -> std::string {
        return c == "LeInteiro" ? "ValorInteiro=321" : "";
    });
    EXPECT_EQ(Tarvo_AbreComprovanteNaoFiscalVinculado("2", "1234", ""), 1);
    EXPECT_EQ(Tarvo_AbreComprovanteNaoFiscalVinculadoMFD("Cartao", "", "55", "1", "2", "3"), 1);
    EXPECT_EQ(Tarvo_UsaComprovanteNaoFiscalVinculado("VIA DO CLIENTE"), 1);
    EXPECT_EQ(Tarvo_FechaComprovanteNaoFiscalVinculado(), 1);
    EXPECT_EQ(Tarvo_EstornoNaoFiscalVinculadoMFD("", "", ""), 1);
    EXPECT_EQ(Tarvo_ReimpressaoNaoFiscalVinculadoMFD(), 1);
    EXPECT_EQ(Tarvo_SegundaViaNaoFiscalVinculadoMFD(), 1);
    EXPECT_EQ(p.Comandos(),
              (std::vector<std::string>{"AbreCreditoDebito;CodMeioPagamento=2 Valor = 12,34",
                                        "AbreCreditoDebito;NomeMeioPagamento=\"Cartao\" COO = 55",
                                        "ImprimeTexto;TextoLivre=\"VIA DO CLIENTE\"",
                                        "ImprimeTexto;TextoLivre=\"\"", "EncerraDocumento;Operador=\"\"",
                                        "LeInteiro;NomeInteiro=\"COO\"", "EstornaCreditoDebito;COO=321",
                                        "ReimprimeViaCreditoDebito;", "EmiteViaCreditoDebito;"}));
}

TEST_F(Documentos, ManagementReportsOpenOnTheFirstFreeIndexAndCloseBeforeTheNextCommand) {
    Carrega();
    int livreDesde = 3;
    std::string tipo = "0";
    Impressora p(
        dev.Caminho(),
        [&](const std::string& c, const std::string&) -> std::string {
            return c == "LeInteiro" ? "ValorInteiro=" + tipo : "";
        },
        [&](const std::string& c, const std::string& par) -> std::optional<int> {
            if (c == "AbreGerencial" && std::stoi(par.substr(par.find('=') + 1)) < livreDesde) return 8018;
            return std::nullopt;
        });
    EXPECT_EQ(Tarvo_RelatorioGerencial("LINHA"), 1);
    EXPECT_EQ(Chave("Flags", "Gerencial"), "1");
    tipo = "15";  // open now: the next text is printed at once
    EXPECT_EQ(Tarvo_RelatorioGerencial("MAIS"), 1);
    EXPECT_EQ(Tarvo_FechaRelatorioGerencial(), 1);
    EXPECT_EQ(Chave("Flags", "Gerencial"), "0");
    // A report left open is closed before the next command that is not a reading.
    EXPECT_EQ(Tarvo_RelatorioGerencial("FIM"), 1);
    EXPECT_EQ(Tarvo_CancelaItemAnterior(), 1);
    EXPECT_EQ(Chave("Flags", "Gerencial"), "0");
    EXPECT_EQ(
        p.Comandos(),
        (std::vector<std::string>{
            "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", "AbreGerencial;CodGerencial=0",
            "AbreGerencial;CodGerencial=1", "AbreGerencial;CodGerencial=2", "AbreGerencial;CodGerencial=3",
            "ImprimeTexto;TextoLivre=\"LINHA\"", "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"",
            "ImprimeTexto;TextoLivre=\"MAIS\"", "EncerraDocumento;Operador=\"\"",
            "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"", "ImprimeTexto;TextoLivre=\"FIM\"",
            "EncerraDocumento;Operador=\"\"", "CancelaItemFiscal;"}));
    livreDesde = 99;  // every index refused
    EXPECT_EQ(Tarvo_AbreRelatorioGerencial(), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8018);
    EXPECT_EQ(p.Parametros("AbreGerencial").size(), 4u + 20u);
    livreDesde = 0;
    EXPECT_EQ(Tarvo_ImprimeDepartamentos(), 1);
    EXPECT_EQ(Tarvo_AbreRelatorioGerencialMFD("7"), 1);
    auto palavras = p.Comandos();
    EXPECT_EQ(std::vector<std::string>(palavras.end() - 4, palavras.end()),
              (std::vector<std::string>{"AbreGerencial;CodGerencial=0", "ImprimeDadosDepartamento;",
                                        "EncerraDocumento;Operador=\"\"", "AbreGerencial;CodGerencial=7"}));
}

// --- the facade's own exports ---------------------------------------------------------------------

TEST_F(Documentos, SpacingIsCappedStoredAndProgrammed) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_LinhasEntreCupons(45), 1);
    EXPECT_EQ(Chave("Sistema", "EspacamentoDocumentos"), "30");
    EXPECT_EQ(Config().EspacamentoDocumentos, 30);
    EXPECT_EQ(
        p.Comandos(),
        (std::vector<std::string>{"EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=900"}));
}

TEST_F(Documentos, BaudRateIsCheckedAndStoredOnlyWhenThePrinterTakesIt) {
    Carrega("BAUD=9600\r\n");
    bool aceita = false;
    Impressora p(dev.Caminho(), nullptr, [&](const std::string&, const std::string&) -> std::optional<int> {
        if (!aceita) return 1;
        return std::nullopt;
    });
    EXPECT_EQ(Tarvo_ProgramaBaudRate("4800"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -7);
    EXPECT_EQ(Mensagem(), "Valores aceitos para esta fun\xE7\xE3o[9600,19200,38400,57600,115200]");
    EXPECT_EQ(Tarvo_ProgramaBaudRate("19200"), 0);
    EXPECT_EQ(Chave("Sistema", "BAUD"), "9600");
    aceita = true;
    EXPECT_EQ(Tarvo_ProgramaBaudRate("19200"), 1);
    EXPECT_EQ(Chave("Sistema", "BAUD"), "19200");
    EXPECT_EQ(p.Parametros("EscreveInteiro").back(), "NomeInteiro=\"BaudRate\" ValorInteiro=19200");
}

TEST_F(Documentos, ExtendedStatusAndTheScrambledSerialNumber) {
    Carrega();
    std::string estado = "ESTADO_PAGAMENTO";
    Impressora p(dev.Caminho(), [&](const std::string&, const std::string& par) -> std::string {
        if (par == "NomeTexto=\"NomeEstadoFiscal\"") return "ValorTexto=\"" + estado + " \"";
        return "ValorTexto=\"BE091234567890123456\"";
    });
    int valor = -1;
    for (auto [nome, esperado] : std::vector<std::pair<std::string, int>>{{"ESTADO_PAGAMENTO", 8},
                                                                          {"ESTADO_TOTALIZANDO", 8},
                                                                          {"ESTADO_GERENCIAL", 4},
                                                                          {"ESTADO_VINCULADO", 2},
                                                                          {"ESTADO_VENDA_NFISCAL", 1},
                                                                          {"ESTADO_LIVRE", 0}}) {
        estado = nome;
        EXPECT_EQ(Tarvo_StatusEstendidoMFD(&valor), 1);
        EXPECT_EQ(valor, esperado) << nome;
    }
    char cripto[21], serie[21];
    EXPECT_EQ(Tarvo_NumeroSerieCriptografado(cripto), 1);
    EXPECT_EQ(cripto[0], 'B' ^ 65);
    EXPECT_EQ(Tarvo_NumeroSerieDescriptografado(cripto, serie), 1);
    EXPECT_EQ(std::string(serie), "BE091234567890123456");
}

TEST_F(Documentos, FeedAndCut) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_AvancaCorta(0, 9), 1);
    EXPECT_TRUE(p.Comandos().empty());
    EXPECT_EQ(Tarvo_AvancaCorta(2, 1), 1);
    EXPECT_EQ(p.Comandos(), (std::vector<std::string>{"AvancaPapel;Avanco=60", "CortaPapel;TipoCorte=1"}));
}

TEST_F(Documentos, OperatorAndApplicationIdAreKept) {
    Carrega();
    Impressora p(dev.Caminho());
    EXPECT_EQ(Tarvo_ProgramaOperador("CAIXA 1"), 1);
    EXPECT_EQ(Tarvo_ProgramaIdAplicativoMFD("LOJA V3"), 1);
    EXPECT_EQ(Chave("Sistema", "IdAplicativo"), "LOJA V3");
    EXPECT_EQ(Tarvo_CancelaCupom(), 1);
    EXPECT_EQ(p.Comandos(), (std::vector<std::string>{"CancelaCupom;Operador=\"CAIXA 1\""}));
}

// --- every export without an implementation in the family: the status triple ---------------------

#define ARG(k, ...) TARVO_PP_CAT(ARG_, k)(__VA_ARGS__)
#define ARG_s(n, ...) ""
#define ARG_c(n) ""
#define ARG_i(n) 0
#define ARG_x(n, quantos) "", 0
#define ARG_b(n) static_cast<unsigned char>(0)
#define ARG_p(n) &inteiro
#define ARG_o(n, max) buffer
#define ARG_r(n, max, modo, largura) buffer
#define ARG_n(...)

struct Chamada {
    const char* nome;
    const char* despacho;
    void (*chama)();
};

#define TARVO_EXPORT(ret, nome, despacho, ...) \
    {#nome, #despacho, [] {                    \
         static char buffer[8192];             \
         static int inteiro;                   \
         (void)buffer;                         \
         (void)inteiro;                        \
         nome(TARVO_MAP(ARG, __VA_ARGS__));    \
     }},
const Chamada kChamadas[] = {
#include "tarvo_exports.def"
};
#undef TARVO_EXPORT

TEST_F(Documentos, NotImplementedLeavesTheStatusTripleAndNoCommandHasOneOfItsOwn) {
    Carrega("ModeloImp=TARVO_KELT_SERIAL\r\n");
    for (const Chamada& c : kChamadas) {
        const std::string despacho = c.despacho;
        if (despacho != "F0" && despacho != "F0_NUM") continue;
        Erro().EstadoAck = 21;
        Erro().EstadoSt1 = 22;
        Erro().EstadoSt2 = 23;
        c.chama();
        EXPECT_EQ(Erro().UltimoRetorno, -3) << c.nome;
        EXPECT_EQ(Erro().EstadoAck * 10000 + Erro().EstadoSt1 * 100 + Erro().EstadoSt2, 212223) << c.nome;
    }
    Tarvo_TerminaFechamentoCupomCodigoBarrasMFD("", "", "", 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(Erro().EstadoAck * 10000 + Erro().EstadoSt1 * 100 + Erro().EstadoSt2, 60401);
    Erro().EstadoSt1 = 22;
    Tarvo_LinhasEntreCupons(3);
    EXPECT_EQ(Erro().EstadoSt1, 22);  // refused before the triple is reset
}

}  // namespace

namespace {

using namespace tarvo;

// --- the export boundary ------------------------------------------------------------------------

TEST(ErroInterno, AnExceptionBecomesAPortugueseMessageOfTheLibrary) {
    struct Caso {
        std::function<int()> corpo;
        std::string mensagem;
    };
    const Caso casos[] = {
        {[]() -> int { throw std::bad_alloc(); }, "Erro interno: mem\xF3ria insuficiente"},
        {[]() -> int { return static_cast<int>(std::string("ab").substr(5).size()); },
         "Erro interno: valor fora dos limites"},
        {[]() -> int { throw std::system_error(std::error_code(5, std::generic_category())); },
         "Erro interno: falha do sistema (c\xF3"
         "digo 5)"},
        {[]() -> int { throw 42; }, "Erro interno: falha inesperada"},
    };
    for (const Caso& c : casos) {
        DefineErro(0, "");
        EXPECT_EQ(Protegido(c.corpo), 0);
        EXPECT_EQ(Erro().UltimoRetorno, -1);
        EXPECT_EQ(Erro().UltimaMensagem, c.mensagem);
    }
}

}  // namespace
