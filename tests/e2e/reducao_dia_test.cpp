// A day of sales closed by the X reading and the Z reduction: the real library, loaded as a
// host loads it, against the printer emulator on a pseudo-terminal. Each test runs in a
// child process of its own, with its own emulator, so that the library's load sequence runs
// on the test's TARVO.INI.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <regex>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "comum/emulado.h"
#include "emulador/emulador.h"
#include "platform/ini.h"

namespace {

using emulador::DataHora;
using emulador::Emulador;
using teste::Comando;
using teste::Linha48;
using teste::Linhas;
using teste::Tarvo;
using teste::VendeODia;
using teste::Zeros;

// Waits until 50 ms into a second of the clock, so that the few commands of a reduction
// (clock reading, then the reduction with the time worked out from it) fall within one
// second of the printer's clock. The printer reads whole seconds from the coarse clock,
// which lags the precise one by up to a scheduler tick: a few milliseconds past the turn of
// the second it may still show the second before.
void InicioDeSegundo() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    long ns = 1'000'000'000L - t.tv_nsec + 50'000'000L;
    if (ns >= 1'000'000'000L) ns -= 1'000'000'000L;
    timespec espera{0, ns};
    ::nanosleep(&espera, nullptr);
}

// Two texts answered by an export with two buffers.
std::pair<std::string, std::string> Duas(Tarvo& t, const char* exportacao, int* resultado) {
    char a[64] = {}, b[64] = {};
    *resultado = t.Chama<int(char*, char*)>(exportacao, a, b);
    return {a, b};
}

class DiaDeVendas : public teste::EmuladorNoFilho {
  protected:
};

TEST_F(DiaDeVendas, TheXReadingAndTheZReductionCloseTheDayWithItsCountersAndTotals) {
    Roda("CorrigeRelogioZ=0\r\n", [&](Tarvo& t, Emulador& e) {
        VendeODia(t);
        if (::testing::Test::HasFatalFailure()) return;
        const emulador::Impressora antes = e.Impressora();
        // The day as designed: gross sales 142,50 = partial totals + cancellation + discount.
        ASSERT_EQ(antes.dia.aliquota[0], 2000);
        ASSERT_EQ(antes.dia.aliquota[1], 9000);
        ASSERT_EQ(antes.dia.aliquota[3], 1000);
        ASSERT_EQ(antes.dia.f1, 550);
        ASSERT_EQ(antes.dia.descontosIcms, 1000);
        ASSERT_EQ(antes.dia.cancelamentosIcms, 700);
        ASSERT_EQ(antes.VendaBruta(), 14250);

        // The first and last COO and grand total of the day, as the library reads them.
        int r = 0;
        auto [cooInicial, cooFinal] = Duas(t, "Tarvo_InicioFimCOOsMFD", &r);
        EXPECT_EQ(r, 1);
        EXPECT_EQ(cooInicial, "000001");
        EXPECT_EQ(cooFinal, Zeros(antes.contadores.coo, 6));
        auto [gtInicial, gtFinal] = Duas(t, "Tarvo_InicioFimGTsMFD", &r);
        EXPECT_EQ(r, 1);
        EXPECT_EQ(gtInicial, std::string(18, '0'));
        EXPECT_EQ(gtFinal, "000000000000014250");

        // X reading on paper: a document of its own with the day's totals.
        EXPECT_EQ(t.Chama<int()>("Tarvo_LeituraX"), 1);
        const emulador::Impressora x = e.Impressora();
        EXPECT_EQ(x.contadores.coo, antes.contadores.coo + 1);
        EXPECT_EQ(x.contadores.gnf, antes.contadores.gnf + 1);
        ASSERT_FALSE(x.fita.empty());
        EXPECT_EQ(x.fita.back().tipo, emulador::TipoDocumento::LeituraX);
        EXPECT_NE(x.fita.back().Texto().find(Linha48("VENDA BRUTA DI\xB5RIA:", "142,50")), std::string::npos);
        EXPECT_EQ(x.VendaBruta(), 14250);  // a reading closes nothing
        EXPECT_EQ(e.Trocas().back().comando, "EmiteLeituraX");
        EXPECT_EQ(e.Trocas().back().parametros, "Operador=\"\"");

        // Z reduction: the day goes into the fiscal memory and its totals start again.
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        const emulador::Impressora z = e.Impressora();
        EXPECT_EQ(z.contadores.crz, 1);
        EXPECT_EQ(z.contadores.coo, x.contadores.coo + 1);
        ASSERT_EQ(z.memoriaFiscal.size(), 1u);
        const emulador::RegistroZ& reg = z.memoriaFiscal[0];
        EXPECT_EQ(reg.coo, z.contadores.coo);
        EXPECT_EQ(reg.gt, 14250);
        EXPECT_EQ(reg.VendaBruta(), 14250);
        EXPECT_EQ(reg.totais.aliquota, antes.dia.aliquota);
        EXPECT_EQ(reg.totais.naoFiscal[0], 5000);
        EXPECT_EQ(z.VendaBruta(), 0);
        EXPECT_EQ(z.dia.aliquota[0], 0);
        EXPECT_EQ(z.gt, 14250);
        // The day that the reduction closed, as the printer reported it just before.
        const std::string abertura = antes.dataAbertura.Data();
        EXPECT_EQ(Chave("Flags", "AberturaDia"),
                  abertura.substr(0, 2) + abertura.substr(3, 2) + abertura.substr(6));

        // After the reduction the day starts from the closing figures.
        auto [cooInicial2, cooFinal2] = Duas(t, "Tarvo_InicioFimCOOsMFD", &r);
        EXPECT_EQ(cooInicial2, Zeros(z.contadores.coo + 1, 6));
        auto [gtInicial2, gtFinal2] = Duas(t, "Tarvo_InicioFimGTsMFD", &r);
        EXPECT_EQ(gtInicial2, "000000000000014250");
        EXPECT_EQ(gtFinal2, "000000000000014250");

        // The day is closed: a second reduction is refused with the printer's reason.
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 0);
        EXPECT_EQ(t.UltimoErro(),
                  (std::pair<int, std::string>{8013, "DiaFechado - Reducao Z ja emitida hoje"}));
        EXPECT_EQ(e.Impressora().memoriaFiscal.size(), 1u);
    });
}

// Seconds of an "hh:mm:ss" text.
int Segundos(const std::string& hhmmss) {
    return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 +
           std::stoi(hhmmss.substr(6, 2));
}

// The time sent with the last EmiteReducaoZ, or "" when none was sent.
std::string HoraEnviada(Emulador& e) {
    const std::vector<emulador::Troca> trocas = e.Trocas();
    for (auto it = trocas.rbegin(); it != trocas.rend(); ++it) {
        if (it->comando != "EmiteReducaoZ") continue;
        std::smatch m;
        if (std::regex_search(it->parametros, m, std::regex("Hora=#(\\d\\d:\\d\\d:\\d\\d)#"))) return m[1];
        return "";
    }
    return "<no reduction>";
}

TEST_F(DiaDeVendas, TheReductionMovesThePrinterClockByFiveMinutesAtMost) {
    Roda("CorrigeRelogioZ=0\r\n", [&](Tarvo& t, Emulador& e) {
        // The printer's clock stands still, so that however slowly the day's sales run
        // (a sanitizer build on a busy machine) it reads exactly what the test set.
        auto dia = [&](int n, const char* hora) {
            DataHora d;
            d.LeData("1" + std::to_string(n) + "/03/2010");
            d.LeHora(hora);
            e.Altera([&](emulador::Impressora& i) { i.relogioParado = d.Segundos(); });
        };
        // Within reach: the caller's time is set as it is.
        dia(0, "10:00:00");
        VendeODia(t);
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", "10:03:00"), 1);
        EXPECT_EQ(HoraEnviada(e), "10:03:00");
        EXPECT_EQ(e.Impressora().Agora().Hora(), "10:03:00");
        EXPECT_EQ(Chave("Flags", "AberturaDia"), "10032010");

        // Beyond reach: the clock moves by five minutes toward the wanted time.
        dia(1, "10:00:00");
        VendeODia(t);
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", "102000"), 1);
        std::string enviada = HoraEnviada(e);
        ASSERT_EQ(enviada.size(), 8u);
        EXPECT_EQ(enviada, "10:05:00");
        EXPECT_EQ(e.Impressora().Agora().Hora(), "10:05:00");
        EXPECT_EQ(Chave("Flags", "AberturaDia"), "11032010");

        // Behind: the same five minutes back.
        dia(2, "10:00:00");
        VendeODia(t);
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", "09:00:00"), 1);
        enviada = HoraEnviada(e);
        ASSERT_EQ(enviada.size(), 8u);
        EXPECT_EQ(enviada, "09:55:00");
        EXPECT_EQ(e.Impressora().memoriaFiscal.size(), 3u);
    });
}

TEST_F(DiaDeVendas, WithoutATimeTheComputersClockCorrectsThePrinterWhenItIsCloseEnough) {
    std::time_t agora = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&agora, &local);
    if (local.tm_hour < 1 || local.tm_hour >= 23) GTEST_SKIP() << "too close to midnight for clock offsets";
    const bool verao = local.tm_mon + 1 >= 3 && local.tm_mon + 1 <= 9;
    Roda("CorrigeRelogioZ=1\r\n", [&](Tarvo& t, Emulador& e) {
        // Three minutes behind the computer: the computer's time is sent.
        e.Altera([](emulador::Impressora& i) { i.deslocamentoRelogio = -180; });
        VendeODia(t);
        InicioDeSegundo();
        const int antes = Segundos(emulador::AgoraLocal().Hora());
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        const int depois = Segundos(emulador::AgoraLocal().Hora());
        std::string enviada = HoraEnviada(e);
        ASSERT_EQ(enviada.size(), 8u);
        // The computer's time while the call ran, however long the machine took over it.
        EXPECT_GE(Segundos(enviada), antes);
        EXPECT_LE(Segundos(enviada), depois);
        EXPECT_LE(std::abs(e.Impressora().deslocamentoRelogio), depois - antes + 1);

        // 45 minutes behind, on the next day: too far outside the summer-time months (no time
        // is sent), close enough inside them (five minutes forward).
        e.Altera([](emulador::Impressora& i) { i.deslocamentoRelogio = 86400 - 45 * 60; });
        VendeODia(t);
        InicioDeSegundo();
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        enviada = HoraEnviada(e);
        if (verao) {
            ASSERT_EQ(enviada.size(), 8u);
            EXPECT_LE(std::abs(e.Impressora().deslocamentoRelogio - (86400 - 40 * 60)), 2);
        } else {
            EXPECT_EQ(enviada, "");
            EXPECT_EQ(e.Impressora().deslocamentoRelogio, 86400 - 45 * 60);
        }
        EXPECT_EQ(e.Impressora().memoriaFiscal.size(), 2u);
    });
}

TEST_F(DiaDeVendas, TheDayClosingMakesTheReductionAndKeepsTheDaysFiguresIn60M) {
    Roda("CorrigeRelogioZ=0\r\n", [&](Tarvo& t, Emulador& e) {
        VendeODia(t);
        const int ultimoCoo = e.Impressora().contadores.coo;
        EXPECT_EQ(t.Chama<int()>("Tarvo_FechamentoDoDia"), 1);
        EXPECT_EQ(e.Impressora().memoriaFiscal.size(), 1u);
        const std::string m60 =
            "000001\r\n" + Zeros(ultimoCoo, 6) + "\r\n" + std::string(18, '0') + "\r\n000000000000014250\r\n";
        EXPECT_EQ(teste::LeArquivo(home / "60M.TXT"), m60);
        // Closed once: the next closing stops at the printer's refusal and keeps the file.
        EXPECT_EQ(t.Chama<int()>("Tarvo_FechamentoDoDia"), 0);
        EXPECT_EQ(t.UltimoErro().first, 8013);
        EXPECT_EQ(e.Impressora().memoriaFiscal.size(), 1u);
        EXPECT_EQ(teste::LeArquivo(home / "60M.TXT"), m60);
    });
}

TEST_F(DiaDeVendas, AReductionRefusedByThePrinterLeavesTheDayOpenAndCanBeRetried) {
    Roda("CorrigeRelogioZ=0\r\nGERA_RFD_REDZ=1\r\n", [&](Tarvo& t, Emulador& e) {
        VendeODia(t);
        e.ErroEm("EmiteReducaoZ", 8015, "SemPapel", "Impressora sem papel", 1);
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 0);
        EXPECT_EQ(t.UltimoErro(), (std::pair<int, std::string>{8015, "SemPapel - Impressora sem papel"}));
        EXPECT_EQ(e.Impressora().memoriaFiscal.size(), 0u);
        // Made on the second try; whatever becomes of the fiscal file that follows it does
        // not turn the reduction into a failure.
        EXPECT_EQ(t.Chama<int(const char*, const char*)>("Tarvo_ReducaoZ", "", ""), 1);
        EXPECT_EQ(e.Impressora().memoriaFiscal.size(), 1u);
        // The counter of the reduction was read for its fiscal file.
        const std::vector<emulador::Troca> trocas = e.Trocas();
        std::size_t z = 0;
        for (std::size_t i = 0; i < trocas.size(); ++i)
            if (trocas[i].comando == "EmiteReducaoZ") z = i;
        ASSERT_LT(z + 1, trocas.size());
        EXPECT_EQ(trocas[z + 1].comando, "LeInteiro");
        EXPECT_EQ(trocas[z + 1].parametros, "NomeInteiro=\"CRZ\"");
    });
}

}  // namespace
