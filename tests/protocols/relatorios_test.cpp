// Reports of the last Z reduction against a scripted printer: layouts, the sums above the
// 32-bit range, the MFD record's cuts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "comum/ambiente.h"
#include "comum/roteiro.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/protocols/familia0/f0_relatorios.h"
#include "driver/protocols/familias.h"
#include "platform/pastas.h"
#include "protocols/respostas.h"

namespace {

using namespace tarvo;
using teste::Roteiro;

std::string Zeros(std::int64_t v, int n) {
    return PreencheZerosEsquerda(std::to_string(v), n);
}

// A 616-character reduction text: GT, the two amounts of fields 3 and 4, 19 partial
// totalisers, COO, date.
std::string TextoReducao(std::int64_t gt, std::int64_t f3, std::int64_t f4,
                         const std::vector<std::int64_t>& parciais, int coo, const std::string& data) {
    std::string r = "01" + Zeros(gt, 18) + Zeros(f3, 14) + Zeros(f4, 14) + std::string(64, 'X');
    std::string seis;
    for (std::size_t k = 0; k < 19; ++k) seis += Zeros(k < parciais.size() ? parciais[k] : 0, 14);
    r += seis;
    r += std::string(379 - 1 - r.size(), ' ');
    r += std::string(568 - r.size(), '9');
    r += Zeros(coo, 6) + "000042" + "00" + data + std::string(28, '7');
    return r;
}

TEST(CamposReducao, SixteenFieldsAtFixedWidths) {
    std::string r = TextoReducao(123456, 1, 2, {3}, 77, "040310");
    ASSERT_EQ(r.size(), 616u);
    std::vector<std::string> c = CamposReducao(r);
    ASSERT_EQ(c.size(), 16u);
    EXPECT_EQ(c[0], "01");
    EXPECT_EQ(c[1], Zeros(123456, 18));
    EXPECT_EQ(c[2], Zeros(1, 14));
    EXPECT_EQ(c[5].size(), 266u);
    EXPECT_EQ(c[10], "000077");
    EXPECT_EQ(c[13], "040310");
    // A short text gives short and empty fields, no garbage.
    c = CamposReducao("01");
    EXPECT_EQ(c[0], "01");
    EXPECT_EQ(c[1], "");
    EXPECT_EQ(c[15], "");
}

TEST(CamposReducao, GrossSalesAddUpIn64Bits) {
    // Three totals of R$ 15 million each: R$ 45 million, beyond a 32-bit count of cents.
    std::string r = TextoReducao(0, 1'500'000'000, 0, {1'500'000'000, 0, 1'500'000'000}, 1, "010110");
    EXPECT_EQ(SomaTotalizadores(r), 4'500'000'000LL);
    // A field that is no number counts 0.
    r.replace(20, 14, "12345678901 AB");
    EXPECT_EQ(SomaTotalizadores(r), 3'000'000'000LL);
    EXPECT_EQ(Centavos("45.000.000,0000"), 4'500'000'000'00LL / 100 * 100);
}

TEST(LinhasSintegra, Are126CharactersWithTheirFieldsInPlace) {
    std::string m = Linha60M("040310", "SERIE123", "1", "", "42", "7", "1", 4'500'000'000LL, Zeros(99, 18));
    ASSERT_EQ(m.size(), 126u);
    EXPECT_EQ(m.substr(0, 11), "60M20100304");
    EXPECT_EQ(m.substr(11, 20), "SERIE123            ");
    EXPECT_EQ(m.substr(31, 3), "001");
    EXPECT_EQ(m.substr(34, 2), "2D");
    EXPECT_EQ(m.substr(36, 6), "000000");
    EXPECT_EQ(m.substr(42, 6), "000042");
    EXPECT_EQ(m.substr(48, 6), "000007");
    EXPECT_EQ(m.substr(54, 3), "001");
    EXPECT_EQ(m.substr(57, 16), "0000004500000000");
    EXPECT_EQ(m.substr(73, 16), Zeros(99, 16));
    EXPECT_EQ(m.substr(89), std::string(37, ' '));
    std::string a = Linha60A("040310", "SERIE123", "1800", "1234");
    ASSERT_EQ(a.size(), 126u);
    EXPECT_EQ(a.substr(0, 31), "60A20100304SERIE123            ");
    EXPECT_EQ(a.substr(31, 4), "1800");
    EXPECT_EQ(a.substr(35, 12), "000000001234");
    EXPECT_EQ(Linha60A("040310", "S", "F", "1").substr(31, 4), "F   ");
}

// Readings no test names read as zero.
class Relatorios : public teste::ComRespostas {
  protected:
    void SetUp() override {
        ComRespostas::SetUp();
        if (HasFatalFailure()) return;
        Liga("CorrigeRelogioZ=0\r\n");
    }
    std::string Padrao(const std::string& chave) override {
        if (chave.rfind("LeMoeda ", 0) == 0) return "ValorMoeda=0,0000";
        if (chave.rfind("LeInteiro ", 0) == 0) return "ValorInteiro=0";
        if (chave.rfind("LeIndicador ", 0) == 0) return "ValorNumericoIndicador=11";
        return "";
    }
    void Moeda(const std::string& nome, const std::string& valor) {
        respostas["LeMoeda NomeDadoMonetario=\"" + nome + "\""] = {"0", "ValorMoeda=" + valor};
    }
    void Inteiro(const std::string& nome, const std::string& valor) {
        respostas["LeInteiro NomeInteiro=\"" + nome + "\""] = {"0", "ValorInteiro=" + valor};
    }
    void Texto(const std::string& nome, const std::string& valor) {
        respostas["LeTexto NomeTexto=\"" + nome + "\""] = {"0", "ValorTexto=\"" + valor + "\""};
    }
    std::vector<std::string> Linhas(const std::string& arquivo) {
        std::vector<std::string> r;
        std::string t = teste::LeArquivo(arquivo);
        for (std::size_t i = 0; i < t.size();) {
            std::size_t f = t.find("\r\n", i);
            if (f == std::string::npos) f = t.size();
            r.push_back(t.substr(i, f - i));
            i = f + 2;
        }
        return r;
    }
};

TEST_F(Relatorios, TheSummaryMapAddsTotalsBeyondTheThirtyTwoBitRangeAndHidesItsPlaceHolder) {
    Inteiro("CRZ", "3");
    Inteiro("COOReducao[3]", "120");
    Moeda("CancelamentosICMSReducao[3]", "12,3400");
    Moeda("DescontosReducao[3]", "1,0000");
    Moeda("TotalAliquotaF1Reducao[3]", "15000000,0000");
    Moeda("TotalAliquotaI1Reducao[3]", "7000000,0000");
    Moeda("TotalAliquotaFS1Reducao[3]", "100,0000");
    Moeda("Aliquota00Reducao[3]", "18,0000");
    Moeda("TotalAliquota00Reducao[3]", "9000000,0000");
    Moeda("Aliquota01Reducao[3]", "5,0000");
    Moeda("TotalAliquota01Reducao[3]", "50,5000");
    respostas["LeIndicador NomeIndicador=\"Aliquota01ICMSReducao[3]\""] = {"0", "ValorNumericoIndicador=00"};
    EXPECT_EQ(familia0::Tarvo_MapaResumo(), 1);
    EXPECT_EQ(Linhas(ArquivoRetorno()),
              (std::vector<std::string>{
                  AlinhaTexto("Contador de Reducao Z..:", "3", 48),
                  AlinhaTexto("COO....................:", "000120", 48),
                  AlinhaTexto("Venda Bruta............:", "31000163,84", 48),
                  AlinhaTexto("Venda Liquida..........:", "31000000,00", 48),
                  AlinhaTexto("Cancelamentos..........:", "12,34", 48),
                  AlinhaTexto("Acr\xE9scimos.............:", "0,00", 48),
                  AlinhaTexto("Descontos..............:", "1,00", 48),
                  AlinhaTexto("ISS....................:", "150,50", 48),
                  AlinhaTexto("Substitui\xE7\xE3o Tribut\xE1ria:", "15000000,00", 48),
                  AlinhaTexto("Isen\xE7\xE3o................:", "7000000,00", 48),
                  AlinhaTexto("N\xE3o Incid\xEAncia.........:", "0,00", 48),
                  // Only the ICMS rate has a line; the slots of rate 0000 have none.
                  AlinhaTexto("1800...................:", "9000000,00", 48),
              }));
    EXPECT_FALSE(plataforma::ExisteArquivo(home / "RETORNO.DAT"));
}

TEST_F(Relatorios, AFailingReadingStopsTheSummaryMapAndKeepsItsScratchFile) {
    Inteiro("CRZ", "3");
    respostas["LeMoeda NomeDadoMonetario=\"DescontosReducao[3]\""] = {"8004",
                                                                      "\"Registrador\" \"Inexistente\""};
    EXPECT_EQ(familia0::Tarvo_MapaResumo(), 0);
    EXPECT_EQ(Erro().UltimoRetorno, 8004);
    std::vector<std::string> l = Linhas(home / "RETORNO.DAT");
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[3], AlinhaTexto("Cancelamentos..........:", "0,00", 48));
}

TEST_F(Relatorios, TheMasterReportOfTheFirstReductionHasNoInitialCoo) {
    Texto("NumeroSerieECF", "TV0105");
    Inteiro("ECF", "7");
    Inteiro("CRO", "2");
    Inteiro("CRZ", "1");
    Inteiro("COOReducao[1]", "55");
    Texto("DadosUltimaReducaoZ", TextoReducao(2'500'000'000LL, 10, 20, {30, 1'000'000'000LL}, 55, "040310"));
    EXPECT_EQ(familia0::Tarvo_RelatorioTipo60Mestre(), 1);
    std::vector<std::string> l = Linhas(ArquivoRetorno());
    ASSERT_EQ(l.size(), 12u);
    for (const std::string& x : l) EXPECT_EQ(x.size(), 48u) << x;
    EXPECT_EQ(l[2], AlinhaTexto("Data de emissao           :", "04/03/10", 48));
    EXPECT_EQ(l[4], AlinhaTexto("N\xFAmero do equipamento     :", "0007", 48));
    EXPECT_EQ(l[6], AlinhaTexto("COO Inicial               :", "000000", 48));
    EXPECT_EQ(l[7], AlinhaTexto("COO Final                 :", "000055", 48));
    EXPECT_EQ(l[8], AlinhaTexto("Contador de reducoes      :", "0001", 48));
    EXPECT_EQ(l[9], AlinhaTexto("Reinicio de Operacao      :", "0002", 48));
    EXPECT_EQ(l[10], AlinhaTexto("Venda Bruta               :", "10000000,60", 48));
    EXPECT_EQ(l[11], AlinhaTexto("Totalizador geral         :", "25000000,00", 48));
    // No reading of reduction 0 was asked for.
    for (const std::string& c : impressora->Comandos()) EXPECT_EQ(c.find("COOReducao[0]"), std::string::npos);
}

TEST_F(Relatorios, TheLastReductionTextJoinedByCommasOr632BlanksWhenItCannotBeRead) {
    respostas["LeTexto NomeTexto=\"DadosUltimaReducaoZ\""] = {"8004", "\"x\" \"y\""};
    EXPECT_EQ(familia0::Tarvo_DadosUltimaReducao(nullptr), 0);
    EXPECT_EQ(Erro().TextoRetorno, std::string(632, ' '));
    std::string r = TextoReducao(1, 2, 3, {4}, 5, "060710");
    Texto("DadosUltimaReducaoZ", r);
    EXPECT_EQ(familia0::Tarvo_DadosUltimaReducao(nullptr), 1);
    EXPECT_EQ(Erro().TextoRetorno.size(), 631u);
    EXPECT_EQ(Erro().TextoRetorno.substr(0, 22), "01," + Zeros(1, 18) + ",");
    EXPECT_EQ(Erro().TextoRetorno.substr(Erro().TextoRetorno.size() - 36),
              "060710," + std::string(14, '7') + "," + std::string(14, '7'));
}

TEST_F(Relatorios, TheMfdRecordCutsTheCountersOutOfTheReductionsDetailTapeCopy) {
    std::string r = TextoReducao(777, 0, 0, {}, 9, "050310");
    Texto("DadosUltimaReducaoZ", r);
    // The reduction's copy as the printer streams it: 48-column lines without line feeds.
    auto L = [](const std::string& rotulo, const std::string& valor) {
        return AlinhaTexto(rotulo, valor, 48);
    };
    std::string fita = "REDU\xC7\xC3O  Z\nMOVIMENTO DO DIA: 05/03/2010\n" +
                       L("Contador de Rein\xA1"
                         "cio de Opera\x87\xC6o:",
                         "000002") +
                       L("Contador de Redu\x87\xC6o Z:", "000004") +
                       L("Contador de Cupom Fiscal:", "000011") + L("Contador de Fita Detalhe:", "000012") +
                       L("Comprovante de Cr\x82"
                         "dito ou D\x82"
                         "bito:",
                         "000013") +
                       L("Contador Geral de Relat\xA2rio Gerencial:", "000014") +
                       L("Opera\x87\xC6o N\xC6o Fiscal Cancelada:", "000015") +
                       L("Cupom Fiscal Cancelado:", "000016") +
                       L("Contador Geral de Opera\x87\xC6o N\xC6o Fiscal:", "000017") +
                       L("Comprovante N\xC6o Emitido:", "000018");
    Moeda("TotalAliquotaI1Reducao[0004]", "12,3400");
    Moeda("CancelamentosISSQNReducao[0004]", "1,0000");
    std::string registro;
    // The printer keeps answering the same piece: the capture would not end, so the piece
    // is served once and then nothing.
    bool servido = false;
    impressora.reset();
    impressora = std::make_unique<Roteiro>(dev.Caminho(), "COM1", [&](const std::string& q) {
        std::string chave = teste::Roteiro::ComandoEParametros(q);
        std::string dados;
        if (chave == "LeImpressao ") {
            dados = "TextoImpressao=\"" + (servido ? std::string() : fita) + "\"";
            servido = true;
        } else if (auto it = respostas.find(chave); it != respostas.end()) {
            dados = it->second.second;
        } else if (chave.rfind("LeMoeda ", 0) == 0) {
            dados = "ValorMoeda=0,0000";
        }
        return teste::Resposta{{Roteiro::Quadro(Roteiro::Pacote(q), "0", dados)}};
    });
    EXPECT_EQ(RixDadosUltimaReducao(registro), 1);
    std::vector<std::string> f;
    for (std::size_t i = 0;;) {
        std::size_t v = registro.find(',', i);
        f.push_back(registro.substr(i, v == std::string::npos ? std::string::npos : v - i));
        if (v == std::string::npos) break;
        i = v + 1;
    }
    ASSERT_EQ(f.size(), 37u);
    EXPECT_EQ(registro.size(), 1278u);
    EXPECT_EQ(f[0], "01");
    EXPECT_EQ(f[1], "0002");    // CRO
    EXPECT_EQ(f[2], "0004");    // CRZ
    EXPECT_EQ(f[3], "000009");  // COO of the reduction
    EXPECT_EQ(f[4], "000042");
    EXPECT_EQ(f[5], "000011");
    EXPECT_EQ(f[6], "000014");
    EXPECT_EQ(f[7], "000012");
    EXPECT_EQ(f[8], "0015");
    EXPECT_EQ(f[9], "0016");
    EXPECT_EQ(f[10], std::string(120, '0'));
    EXPECT_EQ(f[12], "0013");
    EXPECT_EQ(f[13], "0018");
    EXPECT_EQ(f[14], "0000");
    EXPECT_EQ(f[15], Zeros(777, 18));
    EXPECT_EQ(f[16].size(), 224u);
    EXPECT_EQ(f[17], Zeros(1234, 14));
    EXPECT_EQ(f[28], Zeros(100, 14));
    EXPECT_EQ(f[29], std::string(392, '0'));
    EXPECT_EQ(f[35], std::string(64, 'X'));
    EXPECT_EQ(f[36], "050310");
    bool pediuFita = false;
    for (const std::string& c : impressora->Comandos())
        pediuFita |= c == "EmiteLeituraFitaDetalhe;COOInicial=000009 COOFinal=000009 Destino=\"S\"";
    EXPECT_TRUE(pediuFita);
}

}  // namespace
