// Readings sent through the port and captured into files: the X reading into
// "IMPRESSAO.TXT", the fiscal-memory reading into "LEITMF.TXT", detail-tape downloads and
// their conversion. The real library against the printer emulator, one child process per
// test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <regex>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"

namespace {

using emulador::Emulador;
using teste::Comando;
using teste::Linha48;
using teste::Linhas;
using teste::Tarvo;
using teste::VendeODia;
using teste::Zeros;

std::string Centro(const std::string& t) {
    return std::string((48 - t.size()) / 2, ' ') + t;
}

// The printer's code page 850 letters as the capture text holds them in Windows-1252.
std::string Texto1252(const std::string& cp850) {
    std::string r = cp850;
    for (char& c : r) {
        switch (static_cast<unsigned char>(c)) {
            case 0x80:
                c = '\xC7';
                break;
            case 0x90:
                c = '\xC9';
                break;
            case 0xA0:
                c = 'a';
                break;
            case 0xB5:
                c = '\xC1';
                break;
            case 0xC6:
                c = '\xE3';
                break;
            case 0xC7:
                c = '\xC3';
                break;
            case 0xD6:
                c = 'I';
                break;
            case 0xE0:
                c = '\xD3';
                break;
            case 0xE5:
                c = '\xD5';
                break;
            default:
                break;
        }
    }
    return r;
}

class Capturas : public teste::EmuladorNoFilho {
  protected:
    void Roda(const std::function<void(Tarvo&, Emulador&)>& corpo) {
        EmuladorNoFilho::Roda("CorrigeRelogioZ=0\r\n", corpo);
    }
};

TEST_F(Capturas, TheXReadingSentThroughThePortIsWrittenLineByLineIntoImpressao) {
    Roda([&](Tarvo& t, Emulador& e) {
        VendeODia(t);
        if (::testing::Test::HasFatalFailure()) return;
        const emulador::Impressora p = e.Impressora();
        const emulador::Contadores& c = p.contadores;
        EXPECT_EQ(t.Chama<int()>("Tarvo_LeituraXSerial"), 1);
        // Nothing was printed: no document, no counter moved.
        EXPECT_EQ(e.Impressora().contadores.coo, c.coo);
        EXPECT_EQ(e.Impressora().fita.size(), p.fita.size());

        const std::string sep(48, '-');
        const std::vector<std::string> esperadas = {
            "TARVO COMERCIO DE TESTES LTDA",
            "RUA DAS ORQUIDEAS, 100 - CENTRO",
            "SAO PAULO - SP",
            "CNPJ:11.222.333/0001-81 IE:123.456.789.012",
            "IM:12345678",
            sep,
            "<head>",
            Centro("LEITURA  X"),
            "MOVIMENTO DO DIA: " + p.dataAbertura.Data(),
            sep,
            Centro("CONTADORES"),
            Linha48("Contador de Rein\xA1"
                    "cio de Opera\x87\xE3o:",
                    Zeros(c.cro, 6)),
            Linha48("Contador de Redu\x87\xE3o Z:", Zeros(c.crz, 6)),
            Linha48("Contador de Cupom Fiscal:", Zeros(c.ccf, 6)),
            Linha48("Contador de Fita Detalhe:", Zeros(c.cfd, 6)),
            Linha48("Comprovante de Cr\x82"
                    "dito ou D\x82"
                    "bito:",
                    Zeros(c.cdc, 6)),
            Linha48("Contador Geral de Relat\xA2rio Gerencial:", Zeros(c.grg, 6)),
            Linha48("Opera\x87\xE3o N\xE3o Fiscal Cancelada:", Zeros(c.nfc, 6)),
            Linha48("Cupom Fiscal Cancelado:", Zeros(c.cfc, 6)),
            Linha48("Contador Geral de Opera\x87\xE3o N\xE3o Fiscal:", Zeros(c.gnf, 6)),
            Linha48("Comprovante N\xE3o Emitido:", Zeros(c.ncn, 6)),
            Linha48("Contador de Ordem de Opera\x87\xE3o:", Zeros(c.coo, 6)),
            sep,
            Centro("TOTALIZADORES"),
            Linha48("TOTALIZADOR GERAL:", "142,50"),
            Linha48("VENDA BRUTA DI\xC1RIA:", "142,50"),
            Linha48("CANCELAMENTO ICMS:", "7,00"),
            Linha48("DESCONTO ICMS:", "10,00"),
            Linha48("ACR\xC9SCIMO ICMS:", "0,00"),
            Linha48("CANCELAMENTO ISSQN:", "0,00"),
            Linha48("DESCONTO ISSQN:", "0,00"),
            Linha48("ACR\xC9SCIMO ISSQN:", "0,00"),
            Linha48("VENDA LIQUIDA:", "125,50"),
            sep,
            Centro("ICMS"),
            Linha48("SUBSTITUI\xC7\xC3O TRIBUT\xC1RIA ICMS:", "5,50"),
            Linha48("ISENTO ICMS:", "0,00"),
            Linha48("N\xC3O INCID\xD2NCIA ICMS:", "0,00"),
            Linha48("T00=18,00%", "20,00"),
            Linha48("T01=12,00%", "90,00"),
            Linha48("T02=07,00%", "0,00"),
            Linha48("IMPOSTO ICMS:", "14,40"),
            sep,
            Centro("ISSQN"),
            Linha48("SUBSTITUI\xC7\xC3O TRIBUT\xC1RIA ISSQN:", "0,00"),
            Linha48("ISENTO ISSQN:", "0,00"),
            Linha48("N\xC3O INCID\xD2NCIA ISSQN:", "0,00"),
            Linha48("S03=05,00%", "10,00"),
            Linha48("IMPOSTO ISSQN:", "0,50"),
            sep,
            Centro("TOTALIZADORES N\xC3O FISCAIS"),
            Linha48("00 SUPRIMENTO       0001", "50,00"),
            Linha48("01 SANGRIA          0000", "0,00"),
            Linha48("DESCONTOS N\xC3O-FISCAIS:", "0,00"),
            Linha48("ACR\xC9SCIMOS N\xC3O-FISCAIS:", "0,00"),
            Linha48("CANCELAMENTOS N\xC3O-FISCAIS:", "0,00"),
            sep,
            Linha48("TOTAL OPERA\xC7\xD5"
                    "ES N\xC3O-FISCAIS:",
                    "50,00"),
            sep,
            Centro("MEIOS DE PAGAMENTO"),
            Linha48("-2  Dinheiro", "80,00"),
            Linha48("00  Cartao Credito", "0,00"),
            Linha48("01  Cartao Debito", "0,00"),
            Linha48("02  Cheque", "100,00"),
            Linha48("TROCO", "4,50"),
            sep,
            "GRG:" + Zeros(c.grg, 6) + " GNF:" + Zeros(c.gnf, 6) + " CDC:" + Zeros(c.cdc, 4),
            "TARVO      RIX 4000 ECF-IF",
            "VERS\xC3O:01.00.05 ECF:001 LJ:0001",
            "<autenticacao>",
            Linha48("FAB:TV010500000000012345", "BR"),
        };
        const std::vector<std::string> lidas = Linhas(teste::LeArquivo(home / "IMPRESSAO.TXT"));
        ASSERT_EQ(lidas.size(), esperadas.size());
        for (std::size_t i = 0; i < lidas.size(); ++i) {
            if (esperadas[i] == "<head>") {
                EXPECT_TRUE(
                    std::regex_match(lidas[i], std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d {8}GNF:)" +
                                                          Zeros(c.gnf, 6) + " COO:" + Zeros(c.coo, 6))))
                    << lidas[i];
            } else if (esperadas[i] == "<autenticacao>") {
                EXPECT_TRUE(
                    std::regex_match(lidas[i], std::regex(R"([0-9A-Z]{27} \d\d/\d\d/\d{4} \d\d:\d\d:\d\d)")))
                    << lidas[i];
            } else {
                EXPECT_EQ(lidas[i], esperadas[i]) << "line " << i + 1;
            }
        }
        // The raw capture stays in IMPR.TXT of the current folder, bold titles and all.
        const std::string bruto = teste::LeArquivo(atual / "IMPR.TXT");
        EXPECT_NE(bruto.find("\x1b"
                             "E1" +
                             Centro("LEITURA  X") +
                             "\x1b"
                             "E0\n"),
                  std::string::npos);
        EXPECT_NE(bruto.find("VENDA BRUTA DI\xB5RIA:"), std::string::npos);
    });
}

TEST_F(Capturas, TheFiscalMemoryReadingGoesIntoLeitmfAndGivesTheBasicSoftwareDate) {
    Roda([&](Tarvo& t, Emulador& e) {
        char data[16] = "xxxxxxxxxxxxxx", hora[16] = "xxxxxxxxxxxxxx";
        // No reduction yet: the printer has nothing to read.
        EXPECT_EQ(t.Chama<int(char*, char*)>("Tarvo_DataHoraSoftwareBasico", data, hora), 0);
        EXPECT_EQ(t.UltimoErro().first, 8089);

        VendeODia(t);
        ASSERT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        const emulador::RegistroZ z = e.Impressora().memoriaFiscal.at(0);
        EXPECT_EQ(t.Chama<int(char*, char*)>("Tarvo_DataHoraSoftwareBasico", data, hora), 1);
        EXPECT_STREQ(data, "050110");
        EXPECT_STREQ(hora, "090000");
        EXPECT_EQ(teste::LeArquivo(home / "RETORNO.TXT"), "050110\r\n");
        // The reading was sent to the port: nothing printed, no document.
        EXPECT_EQ(e.Impressora().contadores.coo, z.coo);

        const std::vector<std::string> l = Linhas(teste::LeArquivo(home / "LEITMF.TXT"));
        auto tem = [&](const std::string& linha) { return std::find(l.begin(), l.end(), linha) != l.end(); };
        EXPECT_EQ(l.at(0), "TARVO COMERCIO DE TESTES LTDA");
        EXPECT_TRUE(tem(Centro("LEITURA MEMORIA FISCAL")));
        EXPECT_TRUE(tem("CRZ: 0001 A 0001"));
        EXPECT_TRUE(tem(Centro("SOFTWARE B\xC1SICO:")));
        EXPECT_TRUE(tem("01.00.05 05/01/2010 - 09:00:00"));
        EXPECT_TRUE(
            tem(Centro("REDU\xC7\xD5"
                       "ES DI\xC1RIAS")));
        EXPECT_TRUE(tem(Linha48("0001 " + Zeros(z.coo, 6) + " 001 " + z.movimento.Data(), "142,50")));
        EXPECT_TRUE(tem(Linha48("  T00=18,00%", "20,00")));
        EXPECT_TRUE(tem(Linha48("VENDA BRUTA:", "142,50")));
        EXPECT_EQ(l.back(), Linha48("FAB:TV010500000000012345", "BR"));
    });
}

TEST_F(Capturas, FiscalMemoryReadingsOnPaperAndThroughThePortByDateAndByReduction) {
    Roda([&](Tarvo& t, Emulador& e) {
        VendeODia(t);
        ASSERT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        // The next day, so that documents on paper are allowed again.
        e.Altera([](emulador::Impressora& i) { i.AvancaRelogio(86400); });
        const emulador::RegistroZ z = e.Impressora().memoriaFiscal.at(0);
        const std::string dia = z.movimento.Data();
        const std::string ddmmaa = z.movimento.DDMMAA();
        using Leitura = int(const char*, const char*, const char*);

        // On paper: a document of its own, complete for "C", simplified otherwise.
        ASSERT_EQ(t.Chama<Leitura>("Tarvo_LeituraMemoriaFiscalData", ddmmaa.c_str(), dia.c_str(), "c"), 1);
        emulador::Documento d = e.Impressora().fita.back();
        EXPECT_EQ(d.tipo, emulador::TipoDocumento::LeituraMemoriaFiscal);
        EXPECT_NE(d.Texto().find(Centro("COMPLETA")), std::string::npos);
        EXPECT_NE(d.Texto().find("PER\xD6ODO: " + dia + " A " + dia), std::string::npos);
        ASSERT_EQ(t.Chama<Leitura>("Tarvo_LeituraMemoriaFiscalReducao", "1", "1", "X"), 1);
        d = e.Impressora().fita.back();
        EXPECT_NE(d.Texto().find(Centro("SIMPLIFICADA")), std::string::npos);
        EXPECT_NE(d.Texto().find("CRZ: 0001 A 0001"), std::string::npos);

        // Through the port into IMPRESSAO.TXT: simplified for "S", complete otherwise.
        const std::size_t documentos = e.Impressora().fita.size();
        ASSERT_EQ(
            t.Chama<Leitura>("Tarvo_LeituraMemoriaFiscalSerialData", ddmmaa.c_str(), ddmmaa.c_str(), "s"), 1);
        std::vector<std::string> l = Linhas(teste::LeArquivo(home / "IMPRESSAO.TXT"));
        EXPECT_NE(std::find(l.begin(), l.end(), Centro("SIMPLIFICADA")), l.end());
        EXPECT_NE(std::find(l.begin(), l.end(), "PERIODO: " + dia + " A " + dia), l.end());
        ASSERT_EQ(t.Chama<Leitura>("Tarvo_LeituraMemoriaFiscalSerialReducao", "1", "1", "C"), 1);
        l = Linhas(teste::LeArquivo(home / "IMPRESSAO.TXT"));
        EXPECT_NE(std::find(l.begin(), l.end(), Centro("COMPLETA")), l.end());
        EXPECT_NE(std::find(l.begin(), l.end(), Linha48("0001 " + Zeros(z.coo, 6) + " 001 " + dia, "142,50")),
                  l.end());
        EXPECT_EQ(e.Impressora().fita.size(), documentos);

        // A period without reductions: the printer's refusal.
        EXPECT_EQ(t.Chama<Leitura>("Tarvo_LeituraMemoriaFiscalSerialReducao", "5", "9", "C"), 0);
        EXPECT_EQ(t.UltimoErro().first, 8089);
    });
}

TEST_F(Capturas, DetailTapeDownloadsByCooRangeAndByDateAndTheirText) {
    Roda([&](Tarvo& t, Emulador& e) {
        VendeODia(t);
        if (::testing::Test::HasFatalFailure()) return;
        const emulador::Impressora p = e.Impressora();
        using Download = int(const char*, const char*, const char*, const char*, const char*);
        using Formato =
            int(const char*, const char*, const char*, const char*, const char*, const char*, const char*);

        // By COO: the printer's streams of those documents, byte for byte.
        ASSERT_EQ(t.Chama<Download>("Tarvo_DownloadMFD", "coo.txt", "2", "2", "3", ""), 1);
        EXPECT_EQ(teste::LeArquivo(atual / "coo.txt"),
                  p.DocumentoPorCoo(2)->Fluxo() + p.DocumentoPorCoo(3)->Fluxo());
        std::string pedido;
        for (const emulador::Troca& x : e.Trocas())
            if (x.comando == "EmiteLeituraFitaDetalhe") pedido = x.parametros;
        EXPECT_EQ(pedido, "COOInicial=2 COOFinal=3 Destino=\"S\"");

        // By date (ddmmyy): every document of the day, into a file named the Windows way.
        const std::string hoje = p.dataAbertura.DDMMAA();
        ASSERT_EQ(t.Chama<Download>("Tarvo_DownloadMFD", "C:\\fita.txt", "1", hoje.c_str(), hoje.c_str(), ""),
                  1);
        std::string todos;
        for (const emulador::Documento& d : p.fita)
            if (d.fechado) todos += d.Fluxo();
        EXPECT_EQ(teste::LeArquivo(home / "fita.txt"), todos);

        // Its text: every printed line, in Windows-1252, one per line.
        ASSERT_EQ(t.Chama<Formato>("Tarvo_FormatoDadosMFD", "C:\\fita.txt", "fita2.txt", "0", "1",
                                   hoje.c_str(), hoje.c_str(), ""),
                  1);
        std::vector<std::string> esperadas;
        for (const emulador::Documento& d : p.fita)
            if (d.fechado)
                for (const emulador::Linha& l : d.linhas) esperadas.push_back(Texto1252(l.texto));
        EXPECT_EQ(Linhas(teste::LeArquivo(atual / "fita2.txt")), esperadas);
        // ... or a rich-text document with the bold titles.
        ASSERT_EQ(t.Chama<Formato>("Tarvo_FormatoDadosMFD", "C:\\fita.txt", "fita.rtf", "1", "", "", "", ""),
                  1);
        const std::string rtf = teste::LeArquivo(atual / "fita.rtf");
        EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
        EXPECT_NE(rtf.find("\\b " + Centro("CUPOM FISCAL")), std::string::npos);

        // A range without documents is the printer's refusal, and leaves no file behind.
        EXPECT_EQ(t.Chama<Download>("Tarvo_DownloadMFD", "coo.txt", "2", "90", "99", ""), 0);
        EXPECT_EQ(t.UltimoErro().first, 8089);
        EXPECT_FALSE(std::ifstream(atual / "coo.txt").good());
        // Everything of the tape.
        ASSERT_EQ(t.Chama<Download>("Tarvo_DownloadMFD", "tudo.txt", "0", "", "", ""), 1);
        EXPECT_EQ(teste::LeArquivo(atual / "tudo.txt"), todos);
    });
}

}  // namespace
