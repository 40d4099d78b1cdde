// The reports of the last Z reduction checked field by field against the emulator's own
// record of it: SINTEGRA 60M and 60A lines, the summary map, the type-60 reports, the
// reduction's data records; and the configuration report. The real library against the
// printer emulator, one child process per test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
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

std::string Brancos(const std::string& t, std::size_t largura) {
    return t + std::string(largura - t.size(), ' ');
}
// Cents as the reports write them: 1234 -> "12,34".
std::string Reais(std::int64_t c) {
    return std::to_string(c / 100) + "," + Zeros(c % 100, 2);
}

std::vector<std::string> Campos(const std::string& texto) {
    std::vector<std::string> r;
    for (std::size_t i = 0;;) {
        std::size_t v = texto.find(',', i);
        r.push_back(texto.substr(i, v == std::string::npos ? std::string::npos : v - i));
        if (v == std::string::npos) return r;
        i = v + 1;
    }
}

class UltimaReducao : public teste::EmuladorNoFilho {
  protected:
    void Roda(const std::function<void(Tarvo&, Emulador&)>& corpo) {
        EmuladorNoFilho::Roda("CorrigeRelogioZ=0\r\n", corpo);
    }
    // Two days of sales, each closed by its reduction; the reports are about the second.
    static void DoisDias(Tarvo& t, Emulador& e) {
        VendeODia(t);
        ASSERT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        e.Altera([](emulador::Impressora& i) { i.AvancaRelogio(86400); });
        VendeODia(t);
        ASSERT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
    }
    std::vector<std::string> Retorno() { return Linhas(teste::LeArquivo(home / "RETORNO.TXT")); }
};

TEST_F(UltimaReducao, The60MAnd60ALinesCarryTheReductionsFiguresIn126Characters) {
    Roda([&](Tarvo& t, Emulador& e) {
        DoisDias(t, e);
        if (::testing::Test::HasFatalFailure()) return;
        const emulador::Impressora p = e.Impressora();
        const emulador::RegistroZ& z = p.memoriaFiscal.at(1);
        ASSERT_EQ(t.Chama<int()>("Tarvo_RegistrosTipo60"), 1);
        const std::vector<std::string> l = Retorno();
        for (const std::string& x : l) EXPECT_EQ(x.size(), 126u) << x;

        const std::string d = z.movimento.DDMMAA();
        const std::string data = "20" + d.substr(4, 2) + d.substr(2, 2) + d.substr(0, 2);
        const std::string serie = Brancos(p.numeroSerie, 20);
        ASSERT_FALSE(l.empty());
        const std::string& m = l[0];
        EXPECT_EQ(m.substr(0, 3), "60M");
        EXPECT_EQ(m.substr(3, 8), data);
        EXPECT_EQ(m.substr(11, 20), serie);
        EXPECT_EQ(m.substr(31, 3), Zeros(p.ecf, 3));
        EXPECT_EQ(m.substr(34, 2), "2D");
        EXPECT_EQ(m.substr(36, 6), Zeros(z.cooInicial, 6));
        EXPECT_EQ(m.substr(42, 6), Zeros(z.coo, 6));
        EXPECT_EQ(m.substr(48, 6), Zeros(z.crz, 6));
        EXPECT_EQ(m.substr(54, 3), Zeros(z.cro, 3));
        EXPECT_EQ(m.substr(57, 16), Zeros(z.VendaBruta(), 16));
        EXPECT_EQ(m.substr(73, 16), Zeros(z.gt, 16));
        EXPECT_EQ(m.substr(89), std::string(37, ' '));

        const emulador::TotaisDia& tt = z.totais;
        std::vector<std::pair<std::string, std::int64_t>> esperadas = {{"CANC", tt.cancelamentosIcms},
                                                                       {"DESC", tt.descontosIcms},
                                                                       {"F", tt.f1},
                                                                       {"I", tt.i1},
                                                                       {"N", tt.n1},
                                                                       {"FS", tt.fs1},
                                                                       {"IS", tt.is1},
                                                                       {"NS", tt.ns1}};
        std::int64_t iss = 0;
        for (std::size_t k = 0; k < 16; ++k) {
            const emulador::Aliquota& a = z.aliquotas[k];
            if (!a.programada) continue;
            if (a.icms)
                esperadas.push_back({Zeros(a.percentual, 4), tt.aliquota[k]});
            else
                iss += tt.aliquota[k];
        }
        esperadas.push_back({"ISS", iss});
        ASSERT_EQ(l.size(), esperadas.size() + 1);
        for (std::size_t k = 0; k < esperadas.size(); ++k) {
            const std::string& a = l[k + 1];
            EXPECT_EQ(a.substr(0, 31), "60A" + data + serie) << a;
            EXPECT_EQ(a.substr(31, 4), Brancos(esperadas[k].first, 4)) << a;
            EXPECT_EQ(a.substr(35, 12), Zeros(esperadas[k].second, 12)) << a;
            EXPECT_EQ(a.substr(47), std::string(79, ' ')) << a;
        }
        // The figures of this day: 7,00 cancelled, 10,00 off, 5,50 under F1, 20,00 at 18 %,
        // 90,00 at 12 %, nothing left at 7 %, 10,00 of service.
        EXPECT_EQ(esperadas[0].second, 700);
        EXPECT_EQ(esperadas[1].second, 1000);
        EXPECT_EQ(esperadas[2].second, 550);
        EXPECT_EQ(esperadas.back().second, 1000);
        EXPECT_EQ(z.VendaBruta(), 14250);
    });
}

TEST_F(UltimaReducao, TheSummaryMapAndTheType60ReportsAddUpTheReductionsTotals) {
    Roda([&](Tarvo& t, Emulador& e) {
        DoisDias(t, e);
        if (::testing::Test::HasFatalFailure()) return;
        const emulador::Impressora p = e.Impressora();
        const emulador::RegistroZ& z = p.memoriaFiscal.at(1);
        const emulador::TotaisDia& tt = z.totais;
        std::int64_t liquida = tt.f1 + tt.i1 + tt.n1, iss = tt.fs1 + tt.is1 + tt.ns1;
        for (std::size_t k = 0; k < 16; ++k) (z.aliquotas[k].icms ? liquida : iss) += tt.aliquota[k];
        const std::int64_t cancelamentos = tt.cancelamentosIcms + tt.cancelamentosIss;

        ASSERT_EQ(t.Chama<int()>("Tarvo_MapaResumo"), 1);
        std::vector<std::string> mapa = {
            Linha48("Contador de Reducao Z..:", std::to_string(z.crz)),
            Linha48("COO....................:", Zeros(z.coo, 6)),
            Linha48("Venda Bruta............:", Reais(cancelamentos + tt.descontosIcms + liquida + iss)),
            Linha48("Venda Liquida..........:", Reais(liquida)),
            Linha48("Cancelamentos..........:", Reais(cancelamentos)),
            Linha48("Acr\xE9scimos.............:", "0,00"),
            Linha48("Descontos..............:", Reais(tt.descontosIcms)),
            Linha48("ISS....................:", Reais(iss)),
            Linha48("Substitui\xE7\xE3o Tribut\xE1ria:", Reais(tt.f1)),
            Linha48("Isen\xE7\xE3o................:", Reais(tt.i1)),
            Linha48("N\xE3o Incid\xEAncia.........:", Reais(tt.n1)),
        };
        for (std::size_t k = 0; k < 16; ++k)
            if (z.aliquotas[k].programada && z.aliquotas[k].icms)
                mapa.push_back(Linha48(Zeros(z.aliquotas[k].percentual, 4) + "...................:",
                                       Reais(tt.aliquota[k])));
        EXPECT_EQ(Retorno(), mapa);
        EXPECT_EQ(mapa[2], Linha48("Venda Bruta............:", Reais(z.VendaBruta())));
        EXPECT_FALSE(std::ifstream(home / "RETORNO.DAT").good());
        // Its second name gives the same.
        ASSERT_EQ(t.Chama<int()>("Tarvo_MapaResumoMFD"), 1);
        EXPECT_EQ(Retorno(), mapa);

        const std::string d = z.movimento.DDMMAA();
        const std::string emissao = d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(4, 2);
        ASSERT_EQ(t.Chama<int()>("Tarvo_RelatorioTipo60Mestre"), 1);
        EXPECT_EQ(Retorno(), (std::vector<std::string>{
                                 Linha48("Tipo do relatorio         :", "60"),
                                 Linha48("Subtipo                   :", "M"),
                                 Linha48("Data de emissao           :", emissao),
                                 Linha48("Numero de serie           :", p.numeroSerie),
                                 Linha48("N\xFAmero do equipamento     :", Zeros(p.ecf, 4)),
                                 Linha48("Modelo do documento fiscal:", "2D"),
                                 Linha48("COO Inicial               :", Zeros(z.cooInicial, 6)),
                                 Linha48("COO Final                 :", Zeros(z.coo, 6)),
                                 Linha48("Contador de reducoes      :", Zeros(z.crz, 4)),
                                 Linha48("Reinicio de Operacao      :", Zeros(z.cro, 4)),
                                 Linha48("Venda Bruta               :", Reais(z.VendaBruta())),
                                 Linha48("Totalizador geral         :", Reais(z.gt)),
                             }));

        ASSERT_EQ(t.Chama<int()>("Tarvo_RelatorioTipo60Analitico"), 1);
        std::vector<std::string> analitico = {
            Linha48("Tipo do relatorio         :", "60"),
            Linha48("Subtipo                   :", "A"),
            Linha48("Data de emissao           :", emissao),
            Linha48("Numero de serie           :", p.numeroSerie),
            Linha48("Cancelamentos ICMS        :", Reais(tt.cancelamentosIcms)),
            Linha48("Cancelamentos ISS         :", Reais(tt.cancelamentosIss)),
            Linha48("Descontos                 :", Reais(tt.descontosIcms)),
            Linha48("F                         :", Reais(tt.f1)),
            Linha48("I                         :", Reais(tt.i1)),
            Linha48("N                         :", Reais(tt.n1)),
            Linha48("FS                        :", Reais(tt.fs1)),
            Linha48("IS                        :", Reais(tt.is1)),
            Linha48("NS                        :", Reais(tt.ns1)),
        };
        for (std::size_t k = 0; k < 16; ++k)
            if (z.aliquotas[k].programada)
                analitico.push_back(Linha48(Zeros(z.aliquotas[k].percentual, 4) + std::string(22, ' ') + ":",
                                            Reais(tt.aliquota[k])));
        EXPECT_EQ(Retorno(), analitico);
        ASSERT_EQ(t.Chama<int()>("Tarvo_RelatorioTipo60AnaliticoMFD"), 1);
        EXPECT_EQ(Retorno(), analitico);
    });
}

TEST_F(UltimaReducao, TheReductionsDataRecords) {
    Roda([&](Tarvo& t, Emulador& e) {
        DoisDias(t, e);
        if (::testing::Test::HasFatalFailure()) return;
        const emulador::Impressora p = e.Impressora();
        const emulador::RegistroZ& z = p.memoriaFiscal.at(1);
        const std::string r = p.DadosUltimaReducao();

        // The 16 fields of the printer's text, joined by commas.
        std::vector<char> buffer(633, 'x');
        ASSERT_EQ(t.Chama<int(char*)>("Tarvo_DadosUltimaReducao", buffer.data()), 1);
        const std::size_t cortes[] = {2, 18, 14, 14, 64, 266, 14, 14, 126, 36, 6, 6, 2, 6, 14, 14};
        std::string juntos;
        for (std::size_t k = 0, pos = 0; k < 16; pos += cortes[k], ++k)
            juntos += (k ? "," : "") + r.substr(pos, cortes[k]);
        EXPECT_EQ(std::string(buffer.data()), juntos);

        char gt[19], data[7];
        ASSERT_EQ(t.Chama<int(char*)>("Tarvo_GrandeTotalUltimaReducaoMFD", gt), 1);
        EXPECT_STREQ(gt, Zeros(z.gt, 18).c_str());

        // The 37-field record: the reduction's data, the counters of its detail-tape copy and
        // its totals by kind.
        std::vector<char> mfd(1279, 'x');
        ASSERT_EQ(t.Chama<int(char*)>("Tarvo_DadosUltimaReducaoMFD", mfd.data()), 1);
        const std::vector<std::string> f = Campos(mfd.data());
        ASSERT_EQ(f.size(), 37u);
        const emulador::Contadores& c = z.contadores;
        const emulador::TotaisDia& tt = z.totais;
        EXPECT_EQ(f[0], "00");
        EXPECT_EQ(f[1], Zeros(c.cro, 4));
        EXPECT_EQ(f[2], Zeros(c.crz, 4));
        EXPECT_EQ(f[3], Zeros(z.coo, 6));
        EXPECT_EQ(f[4], Zeros(c.gnf, 6));
        EXPECT_EQ(f[5], Zeros(c.ccf, 6));
        EXPECT_EQ(f[6], Zeros(c.grg, 6));
        EXPECT_EQ(f[7], Zeros(c.cfd, 6));
        EXPECT_EQ(f[8], Zeros(c.nfc, 4));
        EXPECT_EQ(f[9], Zeros(c.cfc, 4));
        EXPECT_EQ(f[10], std::string(120, '0'));
        EXPECT_EQ(f[11], std::string(120, '0'));
        EXPECT_EQ(f[12], Zeros(c.cdc, 4));
        EXPECT_EQ(f[13], Zeros(c.ncn, 4));
        EXPECT_EQ(f[14], "0000");
        EXPECT_EQ(f[15], Zeros(z.gt, 18));
        EXPECT_EQ(f[16], r.substr(112, 224));
        const std::int64_t totais[] = {tt.i1,
                                       tt.n1,
                                       tt.f1,
                                       tt.is1,
                                       tt.ns1,
                                       tt.fs1,
                                       tt.descontosIcms,
                                       tt.descontosIss,
                                       tt.acrescimosIcms,
                                       tt.acrescimosIss,
                                       tt.cancelamentosIcms,
                                       tt.cancelamentosIss};
        for (std::size_t k = 0; k < 12; ++k) EXPECT_EQ(f[17 + k], Zeros(totais[k], 14)) << "field " << 18 + k;
        EXPECT_EQ(f[29], std::string(392, '0'));
        for (std::size_t k = 30; k < 35; ++k) EXPECT_EQ(f[k], std::string(14, '0'));
        EXPECT_EQ(f[35], r.substr(48, 64));
        EXPECT_EQ(f[36], z.movimento.DDMMAA());
        EXPECT_EQ(std::string(mfd.data()).size(), 1278u);

        ASSERT_EQ(t.Chama<int(char*)>("Tarvo_DataMovimentoUltimaReducaoMFD", data), 1);
        EXPECT_STREQ(data, z.movimento.DDMMAA().c_str());
        EXPECT_EQ(teste::LeArquivo(home / "RETORNO.TXT"), z.movimento.DDMMAA() + "\r\n");
    });
}

TEST_F(UltimaReducao, TheConfigurationReportIsPrintedAsAManagementReportAndKept) {
    Roda([&](Tarvo& t, Emulador& e) {
        VendeODia(t);
        if (::testing::Test::HasFatalFailure()) return;
        const std::size_t antes = e.Impressora().fita.size();
        ASSERT_EQ(t.Chama<int()>("Tarvo_ImprimeConfiguracoesImpressora"), 1) << t.UltimoErro().second;
        const emulador::Impressora p = e.Impressora();
        ASSERT_EQ(p.fita.size(), antes + 1);
        const emulador::Documento& rel = p.fita.back();
        EXPECT_EQ(rel.tipo, emulador::TipoDocumento::Gerencial);

        const std::vector<std::string> salvas = Linhas(teste::LeArquivo(atual / "IMPR.TXT"));
        ASSERT_EQ(salvas.size(), 15u);
        EXPECT_EQ(salvas.back(), "");
        EXPECT_TRUE(std::regex_match(salvas[0], std::regex("Data da impressora: +\\d\\d/\\d\\d/\\d\\d")));
        EXPECT_TRUE(std::regex_match(salvas[1], std::regex("Hora da impressora: +\\d\\d:\\d\\d:\\d\\d")));
        const std::vector<std::string> resto(salvas.begin() + 2, salvas.end() - 1);
        EXPECT_EQ(resto, (std::vector<std::string>{
                             Linha48("Versao do firmware:", p.versaoSW),
                             Linha48("Numero de serie", p.numeroSerie),
                             Linha48("Numero da loja", std::to_string(p.loja)),
                             Linha48("Numero do caixa", std::to_string(p.ecf)),
                             Linha48("Simbolo da moeda", p.simboloMoeda),
                             Linha48("Modo de operacao", "Truncamento"),
                             Linha48("Hor\xE1rio de verao", "NAO"),
                             Linha48("Ja houve reducao Z", "NAO"),
                             Linha48("Memoria fiscal", "Com espaco"),
                             Linha48("Versao da dll", "1.0.0.22"),
                             Linha48("log da dll", "Desabilitado"),
                             Linha48("Tipo Impressora", "Fiscal + Gaveta"),
                         }));
        EXPECT_EQ(teste::LeArquivo(atual / "IMPR2.TXT"), teste::LeArquivo(atual / "IMPR.TXT"));
        // Every line went onto the report as printed, each a line of its own.
        const std::string impresso = rel.Texto();
        for (std::size_t k = 2; k + 1 < salvas.size(); ++k)
            EXPECT_NE(impresso.find(salvas[k]), std::string::npos) << salvas[k];
    });
}

}  // namespace
