// Z reduction (clock correction, the state kept for the fiscal files), fiscal-memory
// readings and detail-tape downloads against a scripted printer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_leituras.h"
#include "driver/protocols/familias.h"
#include "platform/ini.h"
#include "platform/pastas.h"
#include "protocols/respostas.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

TEST(RelogioReducaoZ, ACallersTimeMovesThePrinterClockByFiveMinutesAtMost) {
    EXPECT_EQ(ParametroHoraReducao("120000", "115000", false, 1), "Hora=#11:55:00#");
    EXPECT_EQ(ParametroHoraReducao("120000", "115700", false, 1), "Hora=#12:00:00#");
    EXPECT_EQ(ParametroHoraReducao("120000", "121000", false, 1), "Hora=#12:05:00#");
    EXPECT_EQ(ParametroHoraReducao("115000", "120230", false, 1), "Hora=#11:57:30#");
    // 290 s is still within reach; 291 s is not.
    EXPECT_EQ(ParametroHoraReducao("120450", "120000", false, 1), "Hora=#12:04:50#");
    EXPECT_EQ(ParametroHoraReducao("120451", "120000", false, 1), "Hora=#12:05:00#");
    // Minutes carry into hours; separators in the caller's time. The difference is taken
    // within the day: a time past midnight lies behind a printer at 23:58.
    EXPECT_EQ(ParametroHoraReducao("12:00:00", "105800", false, 1), "Hora=#11:03:00#");
    EXPECT_EQ(ParametroHoraReducao("10:00:00", "110230", false, 1), "Hora=#10:57:30#");
    EXPECT_EQ(ParametroHoraReducao("23:59:00", "235800", false, 1), "Hora=#23:59:00#");
    EXPECT_EQ(ParametroHoraReducao("000100", "235800", false, 6), "Hora=#23:53:00#");
    EXPECT_EQ(ParametroHoraReducao("230000", "000400", false, 6), "Hora=#00:09:00#");
    EXPECT_EQ(ParametroHoraReducao("000000", "000200", false, 6), "Hora=#00:00:00#");
    // A caller's time is always sent, however far it is.
    EXPECT_EQ(ParametroHoraReducao("180000", "080000", false, 1), "Hora=#08:05:00#");
}

TEST(RelogioReducaoZ, TheComputersClockIsSentOnlyWhenItIsCloseEnough) {
    // 45 minutes ahead: too far in January, close enough in the summer-time months.
    EXPECT_EQ(ParametroHoraReducao("124500", "120000", true, 1), "");
    EXPECT_EQ(ParametroHoraReducao("124500", "120000", true, 5), "Hora=#12:05:00#");
    EXPECT_EQ(ParametroHoraReducao("124500", "120000", true, 3), "Hora=#12:05:00#");
    EXPECT_EQ(ParametroHoraReducao("124500", "120000", true, 10), "");
    EXPECT_EQ(ParametroHoraReducao("123059", "120000", true, 1), "Hora=#12:05:00#");
    EXPECT_EQ(ParametroHoraReducao("123100", "120000", true, 1), "");
    EXPECT_EQ(ParametroHoraReducao("130059", "120000", true, 9), "Hora=#12:05:00#");
    EXPECT_EQ(ParametroHoraReducao("130100", "120000", true, 9), "");
    EXPECT_EQ(ParametroHoraReducao("120200", "120000", true, 1), "Hora=#12:02:00#");
}

TEST(TextoMemoriaFiscal, TheBasicSoftwareDateComesFromTheLastLineOfItsSection) {
    const std::string texto =
        "LOJA\r\n\r\n   SOFTWARE B\xC1SICO:\r\n01.00.04 02/03/2009 - 10:11:12\r\n01.00.05 15/01/2010 - "
        "08:09:10\r\n"
        "MOEDA: R$\r\n01.00.09 31/12/2011 - 23:59:59\r\n";
    std::string data, hora;
    DataHoraSoftwareBasicoNoTexto(texto, data, hora);
    EXPECT_EQ(data, "150110");
    EXPECT_EQ(hora, "080910");
    // Case and blanks do not matter; "MFD:" at a line's start ends the section too.
    data.clear();
    DataHoraSoftwareBasicoNoTexto(
        "Software Basico:\nSoftware b\xE1sico:\n01.00.01 01/02/2008 - 01:02:03\nMFD: X\n"
        "01.00.09 31/12/2011 - 23:59:59\n",
        data, hora);
    EXPECT_EQ(data, "010208");
    EXPECT_EQ(hora, "010203");
}

TEST(TextoMemoriaFiscal, TheReductionsOfAPeriodAndTheOwnersHead) {
    const std::string texto =
        "  MERCADO BOM PRECO LTDA  \r\nRUA DAS FLORES, 10\r\n\r\nCENTRO\r\nSAO PAULO - SP\r\n"
        "0009 NAO CONTA\r\n------\r\n REDU\xC7\xD5"
        "ES DI\xC1RIAS \r\n0012 01/03/2010 ...\r\n  0010 28/02/2010\r\n"
        "0011 01/03/2010\r\n00123 nao\r\nABCD x\r\n";
    ReducoesDoPeriodo r;
    EXPECT_EQ(ReducoesNoTexto(texto, r), 1);
    EXPECT_EQ(r.primeira, "0010");
    EXPECT_EQ(r.ultima, "0012");
    EXPECT_EQ(r.nome, tarvo::PreencheEspacosDireita("MERCADO BOM PRECO LTDA", 40));
    ASSERT_EQ(r.endereco.size(), 120u);
    EXPECT_EQ(r.endereco.substr(0, 48), PreencheEspacosDireita("RUA DAS FLORES, 10", 48));
    EXPECT_EQ(r.endereco.substr(48, 48), PreencheEspacosDireita("CENTRO", 48));
    EXPECT_EQ(r.endereco.substr(96), "SAO PAULO - SP" + std::string(10, ' '));
    // No list, or an empty one: no movement.
    EXPECT_EQ(ReducoesNoTexto("A\nB\nC\nD\n0001 x\n", r), 0);
    EXPECT_EQ(ReducoesNoTexto("", r), 0);
}

// Readings of the detail tape come in the pieces a test gives.
class Leituras : public teste::ComRespostas {
  protected:
    std::vector<std::string> pedacosCaptura;
    std::size_t capturados = 0;

    std::string Padrao(const std::string& chave) override {
        if (chave != "LeImpressao ") return "";
        return "TextoImpressao=\"" +
               (capturados < pedacosCaptura.size() ? pedacosCaptura[capturados++] : std::string()) + "\"";
    }
    void Carrega(const std::string& extra = "") {
        Estado().NomeOperador.clear();
        ReducaoZ() = EstadoReducaoZ{};
        Liga(extra);
    }
    std::vector<std::string> Enviados() {
        std::vector<std::string> r;
        for (const std::string& c : impressora->Comandos())
            r.push_back(c.substr(0, c.find(';')) + " " + c.substr(c.find(';') + 1));
        return r;
    }
    std::string Chave(const char* s, const char* k) {
        return plataforma::ArquivoIni::LeChave(home / "TARVO.INI", s, k, "<none>");
    }
};

TEST_F(Leituras, AReductionWithACallersTimeSendsTheCorrectedTimeAndTheOperator) {
    Carrega();
    Estado().NomeOperador = "ANA \"A\"";
    respostas["LeHora NomeHora=\"Hora\""] = {"0", "ValorHora=#11:50:00#"};
    respostas["LeData NomeData=\"DataAbertura\""] = {"0", "ValorData=#03/03/2010#"};
    respostas["LeData NomeData=\"Data\""] = {"0", "ValorData=#04/03/2010#"};
    EXPECT_EQ(familia0::Tarvo_ReducaoZ("", "12:00:00"), 1);
    EXPECT_EQ(Enviados(),
              (std::vector<std::string>{"LeHora NomeHora=\"Hora\"", "LeData NomeData=\"DataAbertura\"",
                                        "LeData NomeData=\"Data\"",
                                        "EmiteReducaoZ Hora=#11:55:00# Operador=\"ANA \\x22A\\x22\""}));
    EXPECT_EQ(Chave("Flags", "AberturaDia"), "03032010");
    // Done: nothing is left in progress for the fiscal files.
    EXPECT_EQ(ReducaoZ().ReducaoEmAndamento, 0);
    EXPECT_EQ(ReducaoZ().DataAberturaZ, "");
}

TEST_F(Leituras, WithoutATimeAndWithoutTheCorrectionNoTimeIsSent) {
    Carrega("CorrigeRelogioZ=0\r\n");
    EXPECT_EQ(familia0::Tarvo_ReducaoZ(nullptr, nullptr), 1);
    EXPECT_EQ(Enviados(), (std::vector<std::string>{"LeData NomeData=\"DataAbertura\"",
                                                    "LeData NomeData=\"Data\"", "EmiteReducaoZ "}));
}

TEST_F(Leituras, AFailedClockReadingEndsTheReductionBeforeAnythingIsSent) {
    Carrega();
    respostas["LeHora NomeHora=\"Hora\""] = {"8017", "\"Relogio\" \"Erro no relogio\""};
    EXPECT_EQ(familia0::Tarvo_ReducaoZ("", "120000"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8017);
    EXPECT_EQ(Enviados().size(), 1u);
    EXPECT_EQ(ReducaoZ().ReducaoEmAndamento, 0);
}

TEST_F(Leituras, AFailedReductionLeavesNothingInProgress) {
    Carrega("CorrigeRelogioZ=0\r\n");
    respostas["LeData NomeData=\"DataAbertura\""] = {"0", "ValorData=#03/03/2010#"};
    respostas["EmiteReducaoZ "] = {"8013", "\"DiaFechado\" \"Reducao Z ja emitida hoje\""};
    EXPECT_EQ(familia0::Tarvo_ReducaoZ("", ""), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8013);
    EXPECT_EQ(Erro().UltimaMensagem, "DiaFechado - Reducao Z ja emitida hoje");
    EXPECT_EQ(ReducaoZ().ReducaoEmAndamento, 0);
    EXPECT_EQ(ReducaoZ().DataAberturaZ, "");
    EXPECT_EQ(ReducaoZ().DataZ, "");
}

TEST_F(Leituras, AReductionMadeIsASuccessEvenWhenTheReadingForItsFiscalFileFails) {
    Carrega("CorrigeRelogioZ=0\r\nGERA_RFD_REDZ=1\r\n");
    respostas["LeInteiro NomeInteiro=\"CRZ\""] = {"8004", "\"Registrador\" \"Inexistente\""};
    EXPECT_EQ(familia0::Tarvo_ReducaoZ("", ""), 1);
    EXPECT_EQ(Enviados().back(), "LeInteiro NomeInteiro=\"CRZ\"");
    // The failure is kept for the caller to see, the state is cleared.
    EXPECT_EQ(Erro().UltimoRetorno, 8004);
    EXPECT_EQ(ReducaoZ().ReducaoEmAndamento, 0);
}

TEST_F(Leituras, AfterAReductionTheFiscalFileOfItsCounterFollowsAndItsOutcomeDoesNotChangeTheResult) {
    Carrega("CorrigeRelogioZ=0\r\nGERA_RFD_REDZ=1\r\n");
    respostas["LeInteiro NomeInteiro=\"CRZ\""] = {"0", "ValorInteiro=12"};
    EXPECT_EQ(familia0::Tarvo_ReducaoZ("", ""), 1);
    std::vector<std::string> e = Enviados();
    ASSERT_GE(e.size(), 4u);
    EXPECT_EQ(e[2], "EmiteReducaoZ ");
    EXPECT_EQ(e[3], "LeInteiro NomeInteiro=\"CRZ\"");
    EXPECT_EQ(ReducaoZ().ReducaoEmAndamento, 0);
}

TEST_F(Leituras, FiscalMemoryReadingsOnPaperAndThroughThePort) {
    Carrega();
    EXPECT_EQ(familia0::Tarvo_LeituraMemoriaFiscalData("010310", "31/03/2010", "c"), 1);
    EXPECT_EQ(familia0::Tarvo_LeituraMemoriaFiscalReducao("1", "5", "S"), 1);
    pedacosCaptura = {"LINHA\n"};
    EXPECT_EQ(familia0::Tarvo_LeituraMemoriaFiscalSerialData("010310", "31032010", "s"), 1);
    EXPECT_EQ(familia0::Tarvo_LeituraMemoriaFiscalSerialReducao("1", "5", "C"), 1);
    std::vector<std::string> e = Enviados();
    std::vector<std::string> emite;
    for (const std::string& c : e)
        if (c.rfind("Emite", 0) == 0) emite.push_back(c);
    EXPECT_EQ(emite,
              (std::vector<std::string>{
                  "EmiteLeituraMF LeituraSimplificada=false DataInicial=#01/03/2010# DataFinal=#31/03/2010#",
                  "EmiteLeituraMF LeituraSimplificada=true ReducaoInicial=1 ReducaoFinal=5",
                  "EmiteLeituraMF Destino=\"S\" LeituraSimplificada=true DataInicial=#01/03/2010# "
                  "DataFinal=#31/03/2010#",
                  "EmiteLeituraMF Destino=\"S\" LeituraSimplificada=false ReducaoInicial=1 ReducaoFinal=5"}));
    // The second capture had nothing to send: an empty reading.
    EXPECT_EQ(teste::LeArquivo(home / "IMPRESSAO.TXT"), "");
}

TEST_F(Leituras, DetailTapeDownloadsAskForTheirRangeAndCopyTheCapture) {
    Carrega();
    pedacosCaptura = {"FITA 1\n", "", "", "FITA 2\n", "", "", "FITA 3\n"};
    EXPECT_EQ(familia0::Tarvo_DownloadMFD("mfd.txt", "0", "", "", ""), 1);
    EXPECT_EQ(teste::LeArquivo(atual / "mfd.txt"), "FITA 1\n");
    EXPECT_EQ(familia0::Tarvo_DownloadMFD("mfd.txt", "1", "010310", "02/03/10", "2"), 1);
    EXPECT_EQ(teste::LeArquivo(atual / "mfd.txt"), "FITA 2\n");
    EXPECT_EQ(familia0::Tarvo_DownloadMFD("C:\\mfd.txt", "2", "10", "20", ""), 1);
    EXPECT_EQ(teste::LeArquivo(home / "mfd.txt"), "FITA 3\n");
    std::vector<std::string> emite;
    for (const std::string& c : Enviados())
        if (c.rfind("Emite", 0) == 0) emite.push_back(c);
    EXPECT_EQ(emite,
              (std::vector<std::string>{
                  "EmiteLeituraFitaDetalhe COOInicial=1 COOFinal=999999 Destino=\"S\"",
                  "EmiteLeituraFitaDetalhe DataInicial=#01/03/2010# DataFinal=#02/03/2010# Destino=\"S\" "
                  "Proprietario=2",
                  "EmiteLeituraFitaDetalhe COOInicial=10 COOFinal=20 Destino=\"S\""}));

    // A refused download deletes the file of an earlier one.
    respostas["EmiteLeituraFitaDetalhe  Destino=\"S\""] = {"8089", "\"SemDados\" \"Sem dados\""};
    EXPECT_EQ(familia0::Tarvo_DownloadMFD("mfd.txt", "9", "", "", ""), 0);
    EXPECT_FALSE(plataforma::ExisteArquivo(atual / "mfd.txt"));
    EXPECT_EQ(Erro().UltimoRetorno, 8089);
}

TEST_F(Leituras, TheBasicSoftwareDateAndTheReductionsOfAPeriodComeFromTheFiscalMemoryText) {
    Carrega();
    pedacosCaptura = {
        "LOJA\nRUA\nBAIRRO\nCIDADE\n      SOFTWARE B\xB5SICO:\n01.00.05 15/01/2010 - 08:09:10\n"};
    EXPECT_EQ(familia0::Tarvo_DataHoraSoftwareBasico(nullptr, nullptr), 1);
    EXPECT_EQ(Erro().TextoRetorno, "150110");
    EXPECT_EQ(Erro().TextoValor, "080910");
    EXPECT_EQ(Enviados()[0],
              "EmiteLeituraMF Destino=\"S\" LeituraSimplificada=false ReducaoInicial=1 ReducaoFinal=1");
    EXPECT_TRUE(plataforma::ExisteArquivo(home / "LEITMF.TXT"));

    capturados = 0;
    pedacosCaptura = {
        "LOJA\nRUA\nBAIRRO\nCIDADE\nREDU\x80\xE5"
        "ES DI\xB5RIAS\n0007 01/03/2010\n0008 02/03/2010\n"};
    ReducoesDoPeriodo r;
    EXPECT_EQ(RixReducoesDoPeriodo("010310", "020310", r), 1);
    EXPECT_EQ(r.primeira, "0007");
    EXPECT_EQ(r.ultima, "0008");

    capturados = 0;
    pedacosCaptura = {"LOJA\nRUA\nBAIRRO\nCIDADE\n"};
    EXPECT_EQ(RixReducoesDoPeriodo("010310", "020310", r), 0);
    EXPECT_EQ(Erro().UltimaMensagem, "N\xE3o existe movimenta\xE7\xE3o no per\xEDodo de datas informado.");
}

}  // namespace
