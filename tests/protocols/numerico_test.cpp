// The numeric-code engine and its fields without a line: the time-out table, the reading of
// reply frames, the error texts, the fields that refuse to be cut, and the exchange itself
// over a channel double (opening, discarding, re-entry, threads, stale codes).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

#include "driver/core/canal.h"
#include "driver/core/configuracao.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "driver/protocols/familias.h"
#include "driver/protocols/numerico/campos.h"
#include "driver/protocols/numerico/motor.h"

namespace {

using namespace tarvo;
using namespace tarvo::numerico;

const std::string STX = "\x02", ETX = "\x03";

TEST(TempoNumerico, EveryCommandNumberHasItsTimeOut) {
    for (int n = 0; n <= 99; ++n) {
        int esperado = n == 3 || n == 15 || n == 16 ? 60 : n == 8 || n == 14 ? 20 : 10;
        EXPECT_EQ(TempoLimiteNum(n), esperado) << "command " << n;
    }
    EXPECT_EQ(TempoLimiteNum(-1), 10);  // a text that starts with no number
}

TEST(RespostaNumerica, MarkerCodeAndValueAreReadFromTheFrame) {
    LeituraResposta r = AnalisaRespostaNum(STX + "+1000" + "00" + ETX, 10);
    EXPECT_TRUE(r.completa && r.valida && r.sucesso);
    EXPECT_EQ(r.codigo, "00");

    r = AnalisaRespostaNum(STX + "-1100" + "18" + ETX, 11);
    EXPECT_TRUE(r.valida);
    EXPECT_FALSE(r.sucesso);
    EXPECT_EQ(r.codigo, "18");

    // Readings: "S" is success too, the value runs from the code's place to before the ETX;
    // the status is exactly ten characters.
    r = AnalisaRespostaNum(STX + "S3400" + "000123" + ETX, 34);
    EXPECT_TRUE(r.sucesso);
    EXPECT_EQ(r.valor, "000123");
    r = AnalisaRespostaNum(STX + "S3200" + "0100020000XYZ" + ETX, 32);
    EXPECT_EQ(r.valor, "0100020000");
    r = AnalisaRespostaNum(STX + "S1000" + "00" + ETX, 10);
    EXPECT_FALSE(r.sucesso);  // "S" is no success for a command that reads nothing
}

TEST(RespostaNumerica, FramesEndAtTheirEtxAndALaterStxStartsOver) {
    // Noise before, a stray STX with half a frame, bytes after the ETX.
    const std::string bytes =
        "\x15zz" + STX + "-0000" + "99" + STX + "+1000" + "00" + ETX + "\x06" + STX + "-";
    LeituraResposta r = AnalisaRespostaNum(bytes, 10);
    EXPECT_TRUE(r.completa && r.sucesso);
    EXPECT_EQ(r.codigo, "00");
    EXPECT_EQ(r.fim, bytes.find(ETX) + 1);

    EXPECT_FALSE(AnalisaRespostaNum(STX + "+1000", 10).completa);  // no ETX yet
    EXPECT_FALSE(AnalisaRespostaNum("+1000" + ETX, 10).completa);  // no STX
    r = AnalisaRespostaNum(STX + "+10" + ETX, 10);                 // too short for its code
    EXPECT_TRUE(r.completa);
    EXPECT_FALSE(r.valida);
    r = AnalisaRespostaNum(STX + "S3200" + "01000" + ETX, 32);  // status cut short
    EXPECT_FALSE(r.valida || r.sucesso);
}

TEST(MensagemNumerica, TheTableTextsByteForByte) {
    EXPECT_EQ(MensagemErroNum(-5, "-5"), "Erro ao abrir a porta de comunica\xE7\xE3o");
    EXPECT_EQ(
        MensagemErroNum(-4, "-4"),
        "O arquivo de inicializa\xE7\xE3o \"TARVO.INI\" n\xE3o foi encontrado no diret\xF3rio do aplicativo");
    EXPECT_EQ(MensagemErroNum(1, "01"),
              "O cabe\xE7"
              "alho cont\xE9m caracteres invalidados");
    EXPECT_EQ(MensagemErroNum(9, "09"), "A string \x93TOTAL\x94 n\xE3o \xE9 aceita");
    EXPECT_EQ(MensagemErroNum(11, "11"), "Excedeu o n\xBA m\xE1ximo de linhas permitidas pelo comando");
    EXPECT_EQ(MensagemErroNum(27, "27"), "O  rel\xF3gio n\xE3o est\xE1 em hor\xE1rio de ver\xE3o");
    EXPECT_EQ(MensagemErroNum(32, "32"), "O  cupom anterior n\xE3o pode ser cancelado");
    EXPECT_EQ(MensagemErroNum(18, "18"), "Al\xEDquota n\xE3o programada ou fora do intervalo");
    EXPECT_EQ(MensagemErroNum(62, "62"), "Cmd desabilitado");
    for (int c : {-6, -3, -2, -1, 0, 8, 14, 34, 35, 39, 63, 99})
        EXPECT_EQ(MensagemErroNum(c, "xy"), "Erro retornado pelo ECF: xy") << c;
}

TEST(CamposNumericos, ValuesAreCompletedNeverCut) {
    EXPECT_EQ(CampoValor("10,5", 2, 15, "V"), "000000000001050");
    EXPECT_EQ(CampoValor("10.5", 2, 6, "V"), "001050");
    EXPECT_EQ(CampoValor("1050", 2, 6, "V"), "001050");  // no comma: the field's digits as they are
    EXPECT_EQ(CampoValor("1,230", 2, 6, "V"), "000123");
    EXPECT_EQ(CampoValor("", 2, 4, "V"), "0000");
    EXPECT_EQ(CampoValor("0001234,56", 2, 6, "V"), "123456");
    EXPECT_EQ(CampoValor("1234,567", 2, 15, "V"), std::nullopt);  // a place would be lost
    EXPECT_EQ(CampoValor("1234567", 3, 6, "V"), std::nullopt);
    EXPECT_EQ(CampoValor("10000,00", 2, 6, "V"), std::nullopt);
    EXPECT_EQ(CampoInteiro("999", 3, "V"), "999");
    EXPECT_EQ(CampoInteiro("1000", 3, "V"), std::nullopt);
    EXPECT_EQ(CampoData("01/02/2009"), "010209");
    EXPECT_EQ(CampoData("010209"), "010209");
    EXPECT_EQ(CampoData("1/2/9"), std::nullopt);
}

// --- the exchange over a channel double -------------------------------------------------------

struct Linha {
    std::mutex m;
    bool abre = true;
    bool aberto = false;
    int descartes = 0;
    std::vector<std::string> escritos;
    std::deque<std::string> respostas;  // one per read; none left: the deadline passes
    std::function<void()> aoLer;        // runs inside a read (a host callback)
    int descartadosAntesDaEscrita = -1;
};

class CanalDuplo : public Canal {
  public:
    explicit CanalDuplo(Linha& l) : l_(l) {}
    bool Abre(const std::string&, const plataforma::ConfiguracaoLinha& linha) override {
        std::lock_guard<std::mutex> g(l_.m);
        EXPECT_EQ(linha.baud, 9600);
        EXPECT_EQ(linha.paridade, 'n');
        return l_.aberto = l_.abre;
    }
    bool Aberto() const override { return l_.aberto; }
    void Fecha() override { l_.aberto = false; }
    void Descarta() override {
        std::lock_guard<std::mutex> g(l_.m);
        ++l_.descartes;
    }
    bool Cts() const override { return true; }
    bool Escreve(std::string_view b) override {
        std::lock_guard<std::mutex> g(l_.m);
        l_.descartadosAntesDaEscrita = l_.descartes;
        l_.escritos.emplace_back(b);
        return true;
    }
    FimLeitura Le(std::string& destino, std::size_t, std::int64_t) override {
        if (l_.aoLer) l_.aoLer();
        std::lock_guard<std::mutex> g(l_.m);
        if (l_.respostas.empty()) return FimLeitura::Prazo;
        destino += l_.respostas.front();
        l_.respostas.pop_front();
        return FimLeitura::Dados;
    }

  private:
    Linha& l_;
};

class MotorNumerico : public ::testing::Test {
  protected:
    Linha linha;
    void SetUp() override {
        Config().FamiliaModelo = FamiliaNumerica1;
        InstalaFabricaCanal([this] { return std::make_unique<CanalDuplo>(linha); });
        SlotDaPorta(SlotImpressora) = {};  // a new line: no channel, no reply pending
    }
    void TearDown() override {
        InstalaFabricaCanal({});
        SlotDaPorta(SlotImpressora) = {};  // a new line: no channel, no reply pending
        Config().FamiliaModelo = FamiliaParametros;
    }
};

TEST_F(MotorNumerico, OneFrameOutPendingInputDiscardedReplyJoinedFromPieces) {
    linha.respostas = {"\x02+10", "00", "00\x03"};
    EXPECT_EQ(EnviaComandoNum("10"), 1);
    ASSERT_EQ(linha.escritos.size(), 1u);
    EXPECT_EQ(linha.escritos[0], STX + "\x1B$10" + ETX);
    EXPECT_EQ(linha.descartadosAntesDaEscrita, 1);
    EXPECT_FALSE(linha.aberto);  // closed after the exchange
    EXPECT_EQ(Erro().UltimoRetorno, 0);
    EXPECT_EQ(Erro().EstadoAck, 6);
}

TEST_F(MotorNumerico, NoReplyIsACommunicationFailureNeverAStaleCode) {
    linha.respostas = {
        "\x02-1000"
        "18\x03"};
    EXPECT_EQ(EnviaComandoNum("10"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 18);
    EXPECT_EQ(EnviaComandoNum("10"), 0);  // silence
    EXPECT_EQ(Erro().UltimoRetorno, -1);
    EXPECT_EQ(Erro().UltimaMensagem, "Falha de comunica\xE7\xE3o");
    linha.respostas = {
        "+1000"
        "18\x03"};  // an ETX but no STX
    EXPECT_EQ(EnviaComandoNum("10"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -1);
}

TEST_F(MotorNumerico, AFailedReadingReportsItsOwnCodeAndLeavesNoValue) {
    linha.respostas = {
        "\x02S3400"
        "000042\x03"};
    ASSERT_EQ(EnviaComandoNum("34M41"), 1);
    EXPECT_EQ(ValorRespostaNum(), "000042");
    linha.respostas = {
        "\x02-3400"
        "33\x03"};
    EXPECT_EQ(EnviaComandoNum("34M41"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 33);
    EXPECT_EQ(ValorRespostaNum(), "");
}

TEST_F(MotorNumerico, APortThatCannotOpenFailsWithoutWriting) {
    linha.abre = false;
    EXPECT_EQ(EnviaComandoNum("150"), -5);
    EXPECT_EQ(Erro().UltimoRetorno, -5);
    EXPECT_EQ(Erro().UltimaMensagem, "Erro Abertura Porta Serial");
    EXPECT_TRUE(linha.escritos.empty());
}

TEST_F(MotorNumerico, AReEntrantCallIsRefusedAndSendsNothing) {
    int dentro = -1;
    linha.aoLer = [&] {
        if (dentro == -1) dentro = EnviaComandoNum("32");
    };
    linha.respostas = {
        "\x02+1000"
        "00\x03"};
    EXPECT_EQ(EnviaComandoNum("10"), 1);
    EXPECT_EQ(dentro, 0);
    EXPECT_EQ(linha.escritos.size(), 1u);
}

TEST_F(MotorNumerico, AnotherThreadWaitsForTheExchangeInProgress) {
    std::atomic<bool> lendo{false}, solta{false};
    linha.aoLer = [&] {
        lendo = true;
        while (!solta) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    linha.respostas = {
        "\x02+1000"
        "00\x03",
        "\x02+1400"
        "00\x03"};
    std::thread primeiro([&] { EXPECT_EQ(EnviaComandoNum("10"), 1); });
    while (!lendo) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::thread segundo([&] { EXPECT_EQ(EnviaComandoNum("14"), 1); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard<std::mutex> g(linha.m);
        EXPECT_EQ(linha.escritos.size(), 1u);  // the second waits its turn
    }
    solta = true;
    primeiro.join();
    segundo.join();
    EXPECT_EQ(linha.escritos.size(), 2u);
}

TEST_F(MotorNumerico, AStreamWithoutAnEndStaysBounded) {
    // A printer that streams STX-less noise and then a frame that never ends: the engine
    // keeps reading until its deadline, holding only a bounded tail.
    for (int i = 0; i < 200; ++i) linha.respostas.push_back(std::string(1024, 'z'));
    linha.respostas.push_back(STX);
    for (int i = 0; i < 200; ++i) linha.respostas.push_back(std::string(1024, 'y'));
    linha.respostas.push_back(
        "\x02+1000"
        "00\x03");
    EXPECT_EQ(EnviaComandoNum("10"), 1);
}

// --- builders over the double ------------------------------------------------------------------

std::string Resposta(const std::string& numero, const std::string& valor, char marca = 'S') {
    return STX + marca + numero + "00" + valor + ETX;
}

TEST_F(MotorNumerico, TheRateListReadsNoMoreSlotsThanThereAreKinds) {
    std::string taxas;
    for (int i = 0; i < 20; ++i) taxas += i == 1 ? "0000" : "1200";
    linha.respostas = {Resposta("30", taxas), Resposta("34", "4000")};
    ASSERT_EQ(numerico::Tarvo_RetornoAliquotas(nullptr), 1);
    std::string esperado = "T1200-0000";  // slot 2 is a service slot, but empty
    for (int i = 2; i < 16; ++i) esperado += "T1200";
    EXPECT_EQ(Erro().TextoRetorno, esperado);
    EXPECT_EQ(Erro().TextoRetorno.size(), 80u);

    // Kinds byte 1 = 0x40: slot 2 is a service rate.
    linha.respostas = {Resposta("30", "18000700"), Resposta("34", "40zz")};
    ASSERT_EQ(numerico::Tarvo_RetornoAliquotas(nullptr), 1);
    EXPECT_EQ(Erro().TextoRetorno, "T1800S0700");

    // The list reading fails: nothing else is sent and the answer is empty, not the last list.
    linha.respostas = {Resposta("30", "33", '-')};
    linha.escritos.clear();
    EXPECT_EQ(numerico::Tarvo_RetornoAliquotas(nullptr), 0);
    EXPECT_EQ(linha.escritos.size(), 1u);
    EXPECT_EQ(Erro().TextoRetorno, "");
}

TEST_F(MotorNumerico, NetSalesBeyondThirtyTwoBitsAndAFailedRegister) {
    linha.respostas = {Resposta("34", "00099999999999"), Resposta("34", "00000000000001"),
                       Resposta("34", "00000000000002")};
    ASSERT_EQ(numerico::Tarvo_VendaLiquida(nullptr), 1);
    EXPECT_EQ(Erro().TextoRetorno, "99999999996");
    EXPECT_EQ(linha.escritos[0], STX + "\x1B$34M40" + ETX);
    EXPECT_EQ(linha.escritos[1], STX + "\x1B$34M38" + ETX);
    EXPECT_EQ(linha.escritos[2], STX + "\x1B$34M36" + ETX);

    linha.escritos.clear();
    linha.respostas = {Resposta("34", "00000000001000"), Resposta("34", "57", '-')};
    EXPECT_EQ(numerico::Tarvo_VendaLiquida(nullptr), 0);
    EXPECT_EQ(Erro().TextoRetorno, "000");
    EXPECT_EQ(linha.escritos.size(), 2u);  // stops at the first failure
}

TEST_F(MotorNumerico, StatusReadingsLeaveTheirOutputAloneWhenTheStatusFails) {
    int flags = 77;
    linha.respostas = {Resposta("32", "33", '-')};
    EXPECT_EQ(numerico::Tarvo_FlagsFiscais(&flags), 0);
    EXPECT_EQ(flags, 77);
    linha.respostas = {Resposta("32", "C500000000")};  // bits 7, 6, 2, 0 of byte 1
    EXPECT_EQ(numerico::Tarvo_FlagsFiscais(&flags), 1);
    EXPECT_EQ(flags, 1 + 8 + 4 + 32);
    linha.respostas = {Resposta("32", "0000ZZ0000")};  // a byte that is no hexadecimal is 0
    ASSERT_EQ(numerico::Tarvo_VerificaSensorPoucoPapelMFD(nullptr), 1);
    EXPECT_EQ(Erro().TextoRetorno, "0");
}

TEST_F(MotorNumerico, AuthenticationGoesOnWhenThePrinterIsAlreadyWaitingForTheSlip) {
    linha.respostas = {Resposta("01", "44", '-'), Resposta("03", "00", '+')};
    EXPECT_EQ(numerico::Tarvo_Autenticacao(), 1);
    ASSERT_EQ(linha.escritos.size(), 2u);
    EXPECT_EQ(linha.escritos[1], STX + "\x1B$03     " + ETX);
    linha.escritos.clear();
    linha.respostas = {Resposta("01", "62", '-')};
    EXPECT_EQ(numerico::Tarvo_Autenticacao(), 0);
    EXPECT_EQ(linha.escritos.size(), 1u);
}

TEST_F(MotorNumerico, TaxCodesAndTheUnitWord) {
    Config().FamiliaModelo = FamiliaNumerica1;
    const std::pair<const char*, const char*> casos[] = {
        {"16", "T00"}, {"03", "T03"}, {"NN", "N00"}, {"II", "I00"}};
    for (const auto& [aliquota, campo] : casos) {
        linha.escritos.clear();
        linha.respostas = {Resposta("11", "00", '+')};
        ASSERT_EQ(numerico::Tarvo_VendeItem("1", "X", aliquota, "un", "1,0", 2, "1,00", "", "0"), 1);
        EXPECT_EQ(linha.escritos[0].substr(3 + 2 + 1 + 6 + 11, 3), campo) << aliquota;
        EXPECT_EQ(linha.escritos[0][3 + 2 + 1 + 6 + 11 + 3 + 16 + 2 + 13], '0');  // "un": one line
    }
    linha.escritos.clear();
    linha.respostas = {Resposta("11", "00", '+')};
    ASSERT_EQ(numerico::Tarvo_VendeItem("1", "AGUA", "01", "L", "1,0", 2, "1,00", "", "0"), 1);
    EXPECT_NE(linha.escritos[0].find("Litro(L) X Preco(R$/L)         Valor"), std::string::npos);
    linha.escritos.clear();
    EXPECT_EQ(numerico::Tarvo_VendeItem("1", "X", "1800", "UN", "1,0", 2, "1,00", "", "0"), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -6);
    EXPECT_TRUE(linha.escritos.empty());
}

}  // namespace
