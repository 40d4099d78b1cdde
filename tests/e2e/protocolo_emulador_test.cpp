// The named-parameter protocol end to end: the real libtarvo.so against the printer emulator
// on a pseudo-terminal. What the library writes on the wire, byte for byte, and how it turns
// the printer's replies, errors and silences into results and last errors.
#include <gtest/gtest.h>

#include "comum/ambiente.h"
#include "comum/cenario.h"
#include "comum/emulado.h"
#include "comum/roteiro.h"
#include "emulador/emulador.h"
#include "platform/ini.h"

namespace {

using emulador::Emulador;

class Protocolo : public teste::ComEmulador {
  protected:
    void Ini(const std::string& sistema = "", const std::string& flags = "") {
        ComEmulador::Ini(sistema, "[Flags]\r\n" + flags);
    }
};

TEST_F(Protocolo, FramesOnTheWireCarryPacketLengthAndTheSpacingFirst) {
    Ini("", "NumPkt=253\r\n");
    std::string falhas = Roda([](teste::Cenario& c) {
        char r[4096];
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"COO\"", r);
        if (std::string(r) != "ValorInteiro=0") c.Falha(std::string("COO reply: ") + r);
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"CCF\"", r);
        PASSO(c, 1, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(e.Quadros(),
              (std::vector<std::string>{
                  "{254;EscreveInteiro;NomeInteiro=\"EspacamentoDocumentos\" ValorInteiro=210;72}",
                  "{255;LeInteiro;NomeInteiro=\"COO\";32}",
                  "{1;LeInteiro;NomeInteiro=\"CCF\";30}",
                  "{2;AvancaPapel;Avanco=30;24}",
              }));
    EXPECT_EQ(Chave("Flags", "NumPkt"), "2");
    EXPECT_EQ(e.Impressora().espacamentoDocumentos, 210);
}

TEST_F(Protocolo, LongFramesArriveWhole) {
    Ini();
    const std::string texto(300, 'X');
    std::string falhas = Roda([&](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ExecutaComando, "AbreGerencial", "NomeGerencial=\"RELATORIO GERAL\"");
        PASSO(c, 1, Tarvo_ExecutaComando, "ImprimeTexto", ("TextoLivre=\"" + texto + "\"").c_str());
    });
    EXPECT_EQ(falhas, "");
    const std::string corpo = ";ImprimeTexto;TextoLivre=\"" + texto + "\";";
    ASSERT_GE(e.Quadros().size(), 3u);
    const std::string quadro = e.Quadros()[2];
    EXPECT_EQ(quadro.substr(quadro.find(';')), corpo + std::to_string(corpo.size() + 1) + "}");
}

TEST_F(Protocolo, AnOpenManagementReportIsClosedBeforeTheNextCommand) {
    Ini("", "Gerencial=1\r\n");
    std::string falhas = Roda([](teste::Cenario& c) {
        char r[4096];
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"GRG\"", r);
        PASSO(c, 1, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
    });
    EXPECT_EQ(falhas, "");
    // The spacing is the first non-reading command: the report is closed before it.
    EXPECT_EQ(e.Comandos(),
              (std::vector<std::string>{"EncerraDocumento", "EscreveInteiro", "LeInteiro", "AvancaPapel"}));
    EXPECT_EQ(e.Trocas()[0].parametros, "Operador=\"\"");
    EXPECT_EQ(Chave("Flags", "Gerencial"), "0");
}

TEST_F(Protocolo, TheMonthlyFiscalMemoryReadingComesFirstOnce) {
    Ini("LMFAutomatico=1\r\n");
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 1, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
        PASSO(c, 1, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=60");
    });
    EXPECT_EQ(falhas, "");
    auto trocas = e.Trocas();
    ASSERT_GE(trocas.size(), 4u);
    EXPECT_EQ(trocas[0].comando + ";" + trocas[0].parametros, "LeData;NomeData=\"Data\"");
    EXPECT_EQ(trocas[1].comando + ";" + trocas[1].parametros, "LeInteiro;NomeInteiro=\"TipoDocEmEmissao\"");
    // The previous month of the printer's clock.
    emulador::DataHora hoje = e.Impressora().Agora();
    int mes = hoje.mes == 1 ? 12 : hoje.mes - 1, ano = hoje.mes == 1 ? hoje.ano - 1 : hoje.ano;
    const int dias[] = {31, (ano % 4 == 0 && (ano % 100 != 0 || ano % 400 == 0)) ? 29 : 28,
                        31, 30,
                        31, 30,
                        31, 31,
                        30, 31,
                        30, 31};
    char mesAno[32], ultimo[8];
    std::snprintf(mesAno, sizeof mesAno, "%02d/%04d", mes, ano);
    std::snprintf(ultimo, sizeof ultimo, "%02d", dias[mes - 1]);
    EXPECT_EQ(trocas[2].comando + ";" + trocas[2].parametros,
              std::string("EmiteLeituraMF;LeituraSimplificada=false DataInicial=#01/") + mesAno +
                  "# DataFinal=#" + ultimo + "/" + mesAno + "#");
    // A fresh printer has no reduction in that month (8089): the reading counts as done,
    // the spacing that it held back is not retried, and only the caller's commands follow.
    EXPECT_EQ(trocas[2].codigo, 8089);
    std::vector<std::string> resto;
    for (std::size_t i = 3; i < trocas.size(); ++i)
        resto.push_back(trocas[i].comando + ";" + trocas[i].parametros);
    EXPECT_EQ(resto, (std::vector<std::string>{"AvancaPapel;Avanco=30", "AvancaPapel;Avanco=60"}));
}

TEST_F(Protocolo, PrinterErrorsReachTheLastErrorRecord) {
    Ini();
    e.ErroEm("AvancaPapel", 8005, "AliquotaNaoProgramada", "Indice 3 vazio");
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 0, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
        auto [codigo, mensagem] = c.t.UltimoErro();
        if (codigo != 8005 || mensagem != "AliquotaNaoProgramada - Indice 3 vazio")
            c.Falha("last error " + std::to_string(codigo) + " " + mensagem);
        // Read twice, the record stays.
        auto [codigo2, mensagem2] = c.t.UltimoErro();
        if (codigo2 != codigo || mensagem2 != mensagem) c.Falha("the record changed when read");
        // A success clears it.
        PASSO(c, 1, Tarvo_ExecutaComando, "CortaPapel", "TipoCorte=0");
        if (c.t.UltimoErro() != std::pair<int, std::string>{0, ""}) c.Falha("not cleared by a success");
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Protocolo, ASilentPrinterFailsAfterTheConfiguredTimeOut) {
    Ini();
    e.Silencia(1);  // off for the first frame, back on for the next
    std::string falhas = Roda([](teste::Cenario& c) {
        PASSO(c, 0, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
        if (c.t.UltimoErro() != std::pair<int, std::string>{-1, "Falha de comunica\xE7\xE3o"})
            c.Falha("last error " + c.t.UltimoErro().second);
        // The printer is back: the spacing goes out again before the next command.
        PASSO(c, 1, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(e.Comandos(), (std::vector<std::string>{"EscreveInteiro", "EscreveInteiro", "AvancaPapel"}));
}

TEST_F(Protocolo, RepliesInPiecesAreJoined) {
    Ini();
    e.Fatia(5, 20);
    std::string falhas = Roda([](teste::Cenario& c) {
        char r[4096];
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeTexto", "NomeTexto=\"Modelo\"", r);
        if (std::string(r) != "ValorTexto=\"RIX 4000\"") c.Falha(std::string("reply: ") + r);
        char cni[7];
        PASSO(c, 1, Tarvo_LeCodigoNacionalIdentificacaoECF, cni);
        if (std::string(cni) != "081901") c.Falha(std::string("code: ") + cni);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Protocolo, AnUnknownModelHasNoNationalCode) {
    Ini();
    e.Altera([](emulador::Impressora& i) { i.versaoSW = "09.09.09"; });
    std::string falhas = Roda([](teste::Cenario& c) {
        char cni[7] = "xxxxxx";
        PASSO(c, 0, Tarvo_LeCodigoNacionalIdentificacaoECF, cni);
        if (c.t.UltimoErro() != std::pair<int, std::string>{-12, "Modelo nao cadastrado"})
            c.Falha("last error");
        if (std::string(cni) != "") c.Falha(std::string("buffer: ") + cni);
    });
    EXPECT_EQ(falhas, "");
}

TEST_F(Protocolo, TheFileExchangeServesCommandsThroughTheWorkFolder) {
    e.Para();
    std::filesystem::create_directory(home / "troca");
    Emulador arquivos;
    ASSERT_TRUE(arquivos.IniciaArquivos(home / "troca")) << arquivos.Erro();
    Ini("ConfigRede=1\r\nPath=C:\\troca\r\n");
    std::string falhas = Roda([](teste::Cenario& c) {
        char r[4096];
        PASSO(c, 1, Tarvo_ExecutaLeitura, "LeInteiro", "NomeInteiro=\"CRZ\"", r);
        if (std::string(r) != "ValorInteiro=0") c.Falha(std::string("reply: ") + r);
        PASSO(c, 0, Tarvo_ExecutaComando, "VendeItem", "CodAliquota=0");  // no receipt open
        if (c.t.UltimoErro().first == 0 || c.t.UltimoErro().first == -1) c.Falha("no printer error");
    });
    EXPECT_EQ(falhas, "");
    EXPECT_EQ(arquivos.Comandos(), (std::vector<std::string>{"EscreveInteiro", "LeInteiro", "VendeItem"}));
}

// A code that is not a number cannot come from the emulator: a scripted printer answers it.
TEST(ProtocoloRoteiro, ANonNumericErrorCodeIs9999) {
    teste::PastaTemporaria home, dev, atual;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    teste::EscreveArquivo(home / "TARVO.INI", "[Sistema]\r\nPorta=COM2\r\n");
    teste::Roteiro impressora(dev.Caminho(), "COM2", [](const std::string& q) {
        bool espaco = q.find("EspacamentoDocumentos") != std::string::npos;
        return teste::Resposta{
            {teste::Roteiro::Quadro(teste::Roteiro::Pacote(q), espaco ? "0" : "E7",
                                    "NomeErro=\"Estranho\" Circunstancia=\"codigo ilegivel\"")}};
    });
    std::string falhas = teste::Cenario::Roda(atual.Caminho(), [](teste::Cenario& c) {
        PASSO(c, 0, Tarvo_ExecutaComando, "AvancaPapel", "Avanco=30");
        if (c.t.UltimoErro() != std::pair<int, std::string>{9999, "Estranho - codigo ilegivel"})
            c.Falha("last error " + std::to_string(c.t.UltimoErro().first) + " " + c.t.UltimoErro().second);
    });
    EXPECT_EQ(falhas, "");
}

}  // namespace
