#include "driver/fiscalfiles/rfd_texto.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/leituras_fiscais.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "fiscalfiles/pasta_rfd.h"

namespace {

using namespace tarvo;

TEST(TextoRfd, QuantitiesDatesAndSerials) {
    auto q = [](const char* t) {
        Quantidade r = SeparaQuantidade(t);
        return r.quantidade + "|" + r.unidade;
    };
    EXPECT_EQ(q("2,5UN"), "2500|UN");
    EXPECT_EQ(q("3KG"), "3000|KG");
    EXPECT_EQ(q("000"), "1000|");
    EXPECT_EQ(q("2,500KG"), "2500|KG");
    EXPECT_EQ(q("1,23456L"), "1234|56L");
    EXPECT_EQ(q("1.000,5M"), "1000500|M");

    JanelaTexto j;
    j.Adiciona("EPWSEIW127YL0P7XRNUC12OZA00 15/03/2010 10:22:33");
    j.Adiciona("1/2 DUZIA 10/05/2010");
    EXPECT_EQ(DataHoraNoTexto('/', j), "15/03/2010");  // the current line's first "/" is no date
    EXPECT_EQ(DataHoraNoTexto(':', j), "10:22:33");
    j.Adiciona("GRG:000001 GNF:000002 CDC:0003");
    j.Adiciona("linha");
    EXPECT_EQ(ValorAposRotulo("GNF:", j), "000002");
    EXPECT_EQ(ValorAposRotulo("linha", j), "");  // the current line is not searched

    EXPECT_EQ(SeparaNumeroFabricacao("FAB:TV010500000000012345                      BR").serie,
              "TV010500000000012345");
    EXPECT_EQ(SeparaNumeroFabricacao("FAB:TV010500000000012345                      BR").letra, " ");
    NumeroFabricacao mfa = SeparaNumeroFabricacao("FAB:TV01050000000001234A");
    EXPECT_EQ(mfa.serie + "|" + mfa.letra, "TV01050000000001234|A");
    EXPECT_EQ(DataParaAAAAMMDD("15/03/2010"), "20100315");
    EXPECT_EQ(IncrementaTresDigitos("009"), "010");
    EXPECT_EQ(IncrementaTresDigitos("x"), "001");
    EXPECT_TRUE(EhLinhaConsumidor("CNPJ/CPF consumidor: 123"));
    EXPECT_TRUE(EhLinhaConsumidor("CPF do adquirente: 1"));
    EXPECT_FALSE(EhLinhaConsumidor("CNPJ:11.222.333/0001-81"));
    EXPECT_TRUE(EhLinhaAliquota("T00=18,00%  12,47"));
    EXPECT_FALSE(EhLinhaAliquota("TOTAL R$ 10,00"));
}

TEST(TextoRfd, OlderOutputLinesJoinOnlyWhenNoNewLineEqualsThem) {
    std::vector<std::string> novas = {"E21 pagamento", "E21 pagamento", "E00 cabeca", "e14 caixa baixa"};
    std::vector<std::string> antigas = {"E21 pagamento", "E15 item antigo", "E11 contadores", "E02 usuario"};
    EXPECT_EQ(OrdenaLinhasRfd(novas, antigas, true),
              (std::vector<std::string>{"E00 cabeca", "e14 caixa baixa", "E15 item antigo", "E21 pagamento",
                                        "E21 pagamento"}));
    EXPECT_EQ(OrdenaLinhasRfd({"E11 x", "EAD assinatura", "E05 y", "E12 z", "E02 u"}, {}, false),
              (std::vector<std::string>{"E02 u", "E12 z"}));
}

class TextoNaPasta : public teste::PastaRfd {};

TEST_F(TextoNaPasta, ShortCounterLineOfTheHostIsPaddedNotReadPast) {
    std::string linha = "x";
    EXPECT_EQ(LeRegistroE11(linha, "7"), 1);
    EXPECT_EQ(linha, "");
    CriaDiretorioTemporarioRFD();
    teste::EscreveArquivo(Rfdtemp("E11_0007.TXT"), "123456\r\n");
    EXPECT_EQ(LeRegistroE11(linha, "7"), 1);
    EXPECT_EQ(linha.size(), 92u);
    EXPECT_EQ(linha.substr(0, 6), "123456");
    std::string completa;
    for (int i = 1; i <= 74; ++i) completa += static_cast<char>('A' + i % 26);
    teste::EscreveArquivo(Rfdtemp("E11_0007.TXT"), completa + "\r\n");
    LeRegistroE11(linha, "7");
    auto c = [&](int de, int ate) {
        return completa.substr(static_cast<std::size_t>(de - 1), static_cast<std::size_t>(ate - de + 1));
    };
    EXPECT_EQ(linha, c(1, 30) + "000000000000" + c(31, 36) + "000000" + c(37, 60) + c(65, 68) + c(63, 64) +
                         c(61, 62) + c(69, 74));
}

// A 48-column head line of a document.
std::string Cabeca(const std::string& meio, const std::string& coo) {
    std::string l = "15/03/2010 10:22:33        " + meio;
    l.resize(38, ' ');
    return l + "COO:" + coo;
}
std::string L48(const std::string& rotulo, const std::string& valor) {
    return rotulo + std::string(48 - rotulo.size() - valor.size(), ' ') + valor;
}
std::vector<std::string> Rodape(bool grg) {
    std::vector<std::string> r;
    if (grg) r.push_back("GRG:000000 GNF:000002 CDC:0000");
    r.insert(r.end(), {"TARVO      RIX 4000 ECF-IF", "VERS\xC3O:01.00.05 ECF:001 LJ:0001",
                       "EPWSEIW127YL0P7XRNUC12OZA00 15/03/2010 10:25:01",
                       "FAB:TV010500000000012345                      BR"});
    return r;
}

// The text of a Z reduction of 15/03/2010 (CRZ 7, COO 10), rates T18 and S05, its foot.
std::vector<std::string> TextoReducao() {
    std::vector<std::string> texto = {
        Cabeca("", "000010"),
        "                   REDU\xC7\xC3O  Z",
        "MOVIMENTO DO DIA: 15/03/2010",
        L48("Contador de Rein\xA1"
            "cio de Opera\x87\xE3o:",
            "000002"),
        L48("Contador de Redu\x87\xE3o Z:", "000007"),
        L48("TOTALIZADOR GERAL:", "1.021,97"),
        L48("VENDA BRUTA DI\xC1RIA:", "21,97"),
        L48("T18,00%", "12,47"),
        L48("S05,00%", "3,00"),
        L48("DESCONTO ISSQN:", "1,00"),
        L48("ACR\xC9SCIMO ISSQN:", "0,50"),
    };
    for (const auto& l : Rodape(true)) texto.push_back(l);
    return texto;
}

TEST_F(TextoNaPasta, ReductionLabelsInMixedCaseRatesByPositionAndIssAdjustments) {
    Estado().GeraSintegraAtivo = true;
    std::vector<std::string> texto = TextoReducao();
    IdentificacaoEcfRfd id;
    ConversorDetalhe conversor(id, false);
    Registros().DataMovimento = conversor.LeCabecalho(texto).DataMovimento;
    EXPECT_EQ(Registros().DataMovimento, "20100315");
    EXPECT_EQ(id.Modelo, "RIX 4000");
    std::array<std::string, 16> aliquotas;
    aliquotas.fill("T0000");
    conversor.LeDocumentos(texto, aliquotas, false, "3");

    std::vector<std::string> dia = teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("RFD000010.F3A")));
    ASSERT_EQ(dia.size(), 6u);
    EXPECT_EQ(dia[0].substr(46, 18), "000007000010000002");  // CRZ, COO, CRO
    EXPECT_EQ(dia[0].substr(64, 22), "2010031520100315102501");
    EXPECT_EQ(dia[0].substr(86, 15), "00000000002197N");
    EXPECT_EQ(dia[1].substr(52, 7), "01T1800");  // slots numbered from 1 when entry 0 is unused
    EXPECT_EQ(dia[2].substr(52, 7), "02S0500");
    EXPECT_EQ(dia[3].substr(52, 20), "DS     0000000000100");
    EXPECT_EQ(dia[4].substr(52, 20), "AS     0000000000050");
    EXPECT_EQ(dia[5].substr(0, 3), "E16");
    EXPECT_EQ(dia[5].substr(46, 44),
              "000010"
              "000002"
              "000000"
              "0000"
              "000007"
              "RZ"
              "20100315"
              "102501");
    // The increase gives no 60A; the discount does, as DESC.
    std::vector<std::string> sint = teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("SINT.TXT")));
    ASSERT_EQ(sint.size(), 4u);
    EXPECT_EQ(sint[0].substr(20, 3), "60M");
    EXPECT_EQ(sint[0].substr(20 + 36, 6), "000003");             // the day's first COO
    EXPECT_EQ(sint[0].substr(20 + 73, 16), "0000000000102197");  // the GT the Z printed
    EXPECT_EQ(sint[3].substr(20 + 31, 4), "DESC");
    Estado().GeraSintegraAtivo = false;
}

TEST_F(TextoNaPasta, ReceiptWithoutSubtotalAndATaxWordOutsideTheTable) {
    std::vector<std::string> texto = {
        Cabeca("CCF:000045", "000011"),
        "                  CUPOM FISCAL",
        L48("001 123 ARROZ 1Un X 5,00 T16 A", "5,00\xB0"),
        L48("002 456 FEIJAO 2Un X 1,50 T01 T", "3,00\xB0"),
        L48("TOTAL R$", "8,00"),
        L48("Dinheiro", "10,00"),
        L48("TROCO R$", "2,00"),
        std::string(48, '-'),
    };
    for (const auto& l : Rodape(false)) texto.push_back(l);
    IdentificacaoEcfRfd id;
    ConversorDetalhe conversor(id, false);
    Registros().DataMovimento = "20100315";
    std::array<std::string, 16> aliquotas;
    aliquotas.fill("T0000");
    aliquotas[1] = "T1200";
    conversor.LeCabecalho(texto);
    conversor.LeDocumentos(texto, aliquotas, false, "1");

    std::vector<std::string> dia = teste::LinhasCrLf(teste::LeArquivo(Rfdtemp("RFD000011.F3A")));
    ASSERT_EQ(dia.size(), 4u);
    EXPECT_EQ(dia[0].substr(46, 12), "000045000011");
    EXPECT_EQ(dia[0].substr(66, 14), "00000000000800");   // subtotal from the total
    EXPECT_EQ(dia[0].substr(108, 14), "00000000000800");  // net total not recomputed to zero
    EXPECT_EQ(dia[1].substr(61, 19), "123           ARROZ");
    EXPECT_EQ(dia[1].substr(223, 7), "T16    ");  // the word itself: the table has no slot 16
    EXPECT_EQ(dia[1].substr(264, 3), "A32");
    EXPECT_EQ(dia[2].substr(223, 7), "01T1200");
    EXPECT_EQ(dia[3].substr(64, 15 + 13), "Dinheiro       0000000001000");
}

TEST_F(TextoNaPasta, FiscalMemoryLinesAndTheUsersGrandTotalOnlyInsideItsSection) {
    RegistroE02& e02 = Registros().E02;
    e02.NumeroSerie.Define("TV010500000000012345");
    e02.Modelo.Define("RIX 4000");
    e02.GT.Define("2197");  // from the reduction's text
    const std::string separador(48, '-');
    std::vector<std::string> leitura = {
        "                    USU\xC1RIOS",
        "Usuario:02 CRO: 003  05/01/2010  09:00:00",
        "CNPJ:11.222.333/0001-81",
        "IE:123.456.789.012",
        separador,
        "                CODIFICA\xC7\xC3O GT:",
        "0123456789 = TARVOBELMX a partir de 05/01/2010",
        separador,
        "             IMPRESS\xC3O FITA DETALHE",
        "DATA: 07/02/2010 CNPJ:11.222.333/0001-81",
        separador,
    };
    std::string arquivo = home / "saida.txt";
    LinhasMemoriaFiscal(leitura, arquivo);
    // A simplified reading has no list of reductions: no E02 line.
    std::vector<std::string> linhas = teste::LinhasCrLf(teste::LeArquivo(arquivo));
    ASSERT_EQ(linhas.size(), 2u);
    EXPECT_EQ(linhas[0].substr(44), "TARVOBELMX20100105");
    EXPECT_EQ(linhas[1], "E10TV010500000000012345 RIX 4000            2010020711222333000181");
    EXPECT_EQ(e02.GT.Texto(), "2197");  // "CODIFICAÇÃO GT:" is no grand total
    EXPECT_EQ(e02.NumeroUsuario.Texto(), "02");
    EXPECT_EQ(e02.CRO.Texto(), "003");
    EXPECT_EQ(e02.IEUsuario.Texto(), "123456789012");

    LinhasMemoriaFiscal({"                REDU\xC7\xD5"
                         "ES DI\xC1RIAS"},
                        arquivo);
    linhas = teste::LinhasCrLf(teste::LeArquivo(arquivo));
    ASSERT_EQ(linhas.size(), 3u);
    EXPECT_EQ(linhas[2].size(), 272u);
    EXPECT_EQ(linhas[2].substr(0, 3), "E02");
}

// A printer's answers without a printer: registers from a table (a name missing fails with
// 8005), the printed readings from texts; every reading asked is recorded.
class LeiturasDeTexto final : public LeiturasFiscais {
  public:
    std::map<std::string, std::string> registros;
    std::vector<std::string> fita = TextoReducao(), leituraX = {"LOJA DO TESTE", "RUA A, 1"}, memoria;
    std::vector<std::string> pedidos;

    int LeInteiro(const std::string& n, std::string& v) override { return Le(n, v); }
    int LeData(const std::string& n, std::string& v) override { return Le(n, v); }
    int LeMoeda(const std::string& n, std::string& v) override { return Le(n, v); }
    int LeIndicador(const std::string& n, std::string& v) override { return Le(n, v); }
    int LeRegistrador(int n, std::string& v) override { return Le("R" + std::to_string(n), v); }
    int LeDataAtual(std::string& v) override { return Le("Data", v); }
    int LeHoraAtual(std::string& v) override { return Le("Hora", v); }
    bool PermiteIss() override { return pedidos.push_back("PermiteISS"), false; }
    int FitaDetalhe(const std::string& de, const std::string& ate, const std::string&,
                    const std::string& texto) override {
        pedidos.push_back("Fita " + de + "-" + ate);
        return Escreve(texto, fita);
    }
    int LeituraXTexto(const std::string& texto) override {
        return pedidos.push_back("X"), Escreve(texto, leituraX);
    }
    int LeituraMemoriaFiscalTexto(const std::string&, const std::string&, const std::string& texto,
                                  int& captura) override {
        pedidos.push_back("MF");
        captura = 1;
        return Escreve(texto, memoria);
    }
    void DataHoraSoftwareBasico(const std::string&, std::string& data, std::string& hora) override {
        data = "010203";
        hora = "040506";
    }
    ReducaoEmCurso ReducaoPendente() override { return {}; }

    bool Pediu(const std::string& pedido) const {
        return std::find(pedidos.begin(), pedidos.end(), pedido) != pedidos.end();
    }

  private:
    int Le(const std::string& nome, std::string& valor) {
        pedidos.push_back(nome);
        auto it = registros.find(nome);
        if (it == registros.end()) return 8005;
        valor = it->second;
        return 1;
    }
    static int Escreve(const std::string& nome, const std::vector<std::string>& linhas) {
        teste::EscreveLinhasCrLf(nome, linhas);
        return 1;
    }
};

class EntradaRfdNaPasta : public TextoNaPasta {
  protected:
    void SetUp() override {
        Config() = {};
        Config().Path = home.Caminho();
        Estado() = {};
        PeriodoBuscaSintegra() = {};
    }
    void TearDown() override {
        Config() = {};
        Estado() = {};
        PeriodoBuscaSintegra() = {};
    }
    // The registers of reductions 1 to 3 (COO 10, 20, 30), the rates of `n`: T18,00 and S05,00.
    static std::map<std::string, std::string> RegistrosDa(const std::string& n) {
        std::map<std::string, std::string> r = {
            {"COOReducao[3]", "30"}, {"COOReducao[2]", "20"}, {"COOReducao[1]", "10"}};
        for (int i = 0; i < 16; ++i) {
            const std::string ii = PreencheZerosEsquerda(std::to_string(i), 2);
            r["Aliquota" + ii + "ICMSReducao[" + n + "]"] = i == 1 ? "10" : "11";
            r["Aliquota" + ii + "Reducao[" + n + "]"] = i == 0 ? "1800" : i == 1 ? "500" : "0";
        }
        for (int n : {9, 10, 6, 7, 55, 54, 56, 3}) r["R" + std::to_string(n)] = std::to_string(n);
        r["Data"] = "16/03/2010";
        r["Hora"] = "101112";
        return r;
    }
};

TEST_F(EntradaRfdNaPasta, TheReadingStepAsksThePrinterOnlyWhatTheConversionNeeds) {
    struct Caso {
        const char* nome;
        std::string reducao;
        std::vector<std::string> semRegistro;  // registers the printer fails to read
        bool tdm, foraDoPeriodo;
        int resultado;
        std::vector<std::string> pedidos, naoPedidos;
        std::string primeiroCoo;
    } casos[] = {
        {"a day's reduction",
         "3",
         {},
         false,
         false,
         1,
         {"Fita 21-30", "PermiteISS", "X", "MF"},
         {"R9"},
         "21"},
        {"the first reduction", "1", {}, false, false, 1, {"Fita 1-10"}, {"COOReducao[0]"}, "1"},
        {"its COO unread", "3", {"COOReducao[3]"}, false, false, 8005, {}, {"Fita 21-30", "X", "MF"}, ""},
        {"a rate unread",
         "3",
         {"Aliquota05Reducao[3]"},
         false,
         false,
         8005,
         {},
         {"Aliquota06ICMSReducao[3]", "X"},
         ""},
        {"outside the period", "3", {}, false, true, 1, {"Fita 21-30"}, {"X", "MF"}, "21"},
        {"with counters", "3", {}, true, false, 1, {"R9", "Hora"}, {}, "21"},
        {"a counter unread", "3", {"R55"}, true, false, 8005, {"R55"}, {"R54", "Data"}, "21"},
    };
    for (const Caso& c : casos) {
        LeiturasDeTexto leituras;
        leituras.registros = RegistrosDa(c.reducao);
        for (const auto& nome : c.semRegistro) leituras.registros.erase(nome);
        Estado().FlagTDM = c.tdm;
        PeriodoBuscaSintegra() =
            c.foraDoPeriodo ? PeriodoSintegra{"01/04/2010", "30/04/2010"} : PeriodoSintegra{};
        ApagaArquivo(Rfdtemp("LEITMF.TXT"));
        EntradaRfd e;
        int captura = 0;
        EXPECT_EQ(LeEntradaRfd(c.reducao, leituras, e, captura), c.resultado) << c.nome;
        for (const auto& p : c.pedidos) EXPECT_TRUE(leituras.Pediu(p)) << c.nome << ": " << p;
        for (const auto& p : c.naoPedidos) EXPECT_FALSE(leituras.Pediu(p)) << c.nome << ": " << p;
        if (c.resultado != 1 || c.foraDoPeriodo) continue;
        EXPECT_EQ(e.primeiroCoo, c.primeiroCoo) << c.nome;
        EXPECT_EQ(e.detalhe, TextoReducao()) << c.nome;
        EXPECT_EQ(e.aliquotas[0] + e.aliquotas[1] + e.aliquotas[2], "T1800S0500T0000") << c.nome;
        EXPECT_FALSE(e.permiteIss) << c.nome;
        EXPECT_EQ(e.leituraX, leituras.leituraX) << c.nome;
        EXPECT_EQ(e.dataSoftwareBasico + e.horaSoftwareBasico, "010203040506") << c.nome;
        EXPECT_EQ(e.contadores.empty(), !c.tdm) << c.nome;
        if (c.tdm) {
            EXPECT_EQ(e.contadores.substr(e.contadores.size() - 14), "20100316101112") << c.nome;
        }
    }
}

TEST_F(EntradaRfdNaPasta, TheConversionStepWritesTheFileFromItsInputsAlone) {
    const std::string pasta = home.Caminho() + "rfd/";
    std::filesystem::create_directory(pasta);
    auto linhaDoTipo = [](const std::vector<std::string>& linhas, const std::string& tipo) {
        for (const auto& l : linhas)
            if (l.compare(0, 3, tipo) == 0) return l;
        return std::string();
    };
    struct Caso {
        const char* nome;
        bool tdm;
        std::string contadores, pastaRfd;
        bool foraDoPeriodo;
        int resultado;
        std::string arquivo;  // its name's start; empty: no file
    } casos[] = {
        {"the MFD file", false, "", pasta, false, 1, "TV010500000000012345_20100315_"},
        {"the TDM file with counters", true, std::string(92, '7'), pasta, false, 1, "TV012345."},
        {"outside the period", false, "", pasta, true, 1, ""},
        {"a folder it cannot reach", false, "", home.Caminho() + "falta/", false, -8, ""},
    };
    for (const Caso& c : casos) {
        std::filesystem::remove_all(pasta);
        std::filesystem::create_directory(pasta);
        std::filesystem::remove_all(Rfdtemp());
        PeriodoBuscaSintegra() =
            c.foraDoPeriodo ? PeriodoSintegra{"01/04/2010", "30/04/2010"} : PeriodoSintegra{};
        EntradaRfd e;
        e.reducao = "7";
        e.detalhe = TextoReducao();
        e.aliquotas[0] = "T1800";
        e.aliquotas[1] = "S0500";
        e.primeiroCoo = "3";
        e.leituraX = {"LOJA DO TESTE", "RUA A, 1"};
        e.memoriaFiscal =
            "                REDU\xC7\xD5"
            "ES DI\xC1RIAS\r\n";
        e.dataSoftwareBasico = "010203";
        e.horaSoftwareBasico = "040506";
        e.contadores = c.contadores;
        e.tdm = c.tdm;
        e.pastaRfd = c.pastaRfd;
        EXPECT_EQ(ConverteRfd(e), c.resultado) << c.nome;
        std::vector<std::string> nomes;
        for (const auto& f : std::filesystem::directory_iterator(pasta)) nomes.push_back(f.path().filename());
        ASSERT_EQ(nomes.size(), c.arquivo.empty() ? 0u : 1u) << c.nome;
        if (c.arquivo.empty()) continue;
        EXPECT_EQ(nomes[0].compare(0, c.arquivo.size(), c.arquivo), 0) << c.nome << ": " << nomes[0];
        const auto linhas = teste::LinhasCrLf(teste::LeArquivo(pasta + nomes[0]));
        EXPECT_NE(linhaDoTipo(linhas, "E02").find("LOJA DO TESTE"), std::string::npos) << c.nome;
        const std::string e01 = linhaDoTipo(linhas, "E01");
        EXPECT_NE(e01.find(c.tdm ? "TDM" : "MFD"), std::string::npos) << c.nome;
        EXPECT_NE(e01.find("20030201040506"), std::string::npos) << c.nome;
        const std::string e11 = linhaDoTipo(linhas, "E11");
        EXPECT_EQ(e11.empty(), c.contadores.empty()) << c.nome;
        if (!e11.empty()) {
            EXPECT_EQ(e11.substr(e11.size() - 92), c.contadores) << c.nome;
        }
        EXPECT_NE(linhaDoTipo(linhas, "E12"), "") << c.nome;
    }
}

}  // namespace
