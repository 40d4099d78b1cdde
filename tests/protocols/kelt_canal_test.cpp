// The serial non-fiscal printer behind a double of the port: CTS down, a call that re-enters
// the library while a packet is on the wire, and waits that cost no CPU.
#include <gtest/gtest.h>

#include <functional>

#include "comum/ambiente.h"
#include "driver/core/canal.h"
#include "driver/core/configuracao.h"
#include "driver/core/porta.h"
#include "driver/core/registro.h"
#include "platform/relogio.h"
#include "tarvo.h"

namespace {

using namespace tarvo;

struct Linha {
    bool cts = true;
    std::string escrito;
    std::function<void()> aoEscrever;  // runs inside the write, as a re-entering host would
};

class CanalDuplo final : public Canal {
  public:
    explicit CanalDuplo(Linha& l) : l_(l) {}
    bool Abre(const std::string&, const plataforma::ConfiguracaoLinha&) override { return aberto_ = true; }
    bool Aberto() const override { return aberto_; }
    void Fecha() override { aberto_ = false; }
    void Descarta() override {}
    bool Cts() const override { return l_.cts; }
    bool Escreve(std::string_view bytes) override {
        l_.escrito += bytes;
        if (l_.aoEscrever) l_.aoEscrever();
        return true;
    }
    FimLeitura Le(std::string&, std::size_t, std::int64_t) override { return FimLeitura::Prazo; }

  private:
    Linha& l_;
    bool aberto_ = false;
};

class KeltCanal : public ::testing::Test {
  protected:
    teste::PastaTemporaria home;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    Linha linha;

    void SetUp() override {
        teste::EscreveArquivo(home / "TARVO.INI",
                              "[Sistema]\r\nModeloImp=TARVO_KELT_SERIAL\r\nPorta=COM1\r\n");
        CarregaConfiguracao();
        InstalaFabricaCanal([this] { return std::make_unique<CanalDuplo>(linha); });
        SlotDaPorta(SlotImpressora) = {};  // a new line: no channel, no reply pending
    }
    void TearDown() override {
        InstalaFabricaCanal(nullptr);
        SlotDaPorta(SlotImpressora) = {};  // a new line: no channel, no reply pending
    }
};

TEST_F(KeltCanal, WithoutCtsThePacketsThatWaitForItFailAfterTwoSecondsAtNoCpuCost) {
    linha.cts = false;
    const std::uint64_t esperas = plataforma::EsperasDestaThread().total;
    EXPECT_EQ(Kelt_AcionaGuilhotina(1), 0);
    // Two seconds of sleeps between looks at CTS, not a spin: each sleep is at least the
    // interval, so there are never more of them than the wait holds.
    const std::uint64_t dormidas = plataforma::EsperasDestaThread().total - esperas;
    EXPECT_GE(dormidas, 1u);
    EXPECT_LE(dormidas, 2000u / 10 + 1);
    EXPECT_EQ(Erro().UltimoRetorno, -10);
    EXPECT_EQ(linha.escrito, "");
    // The drawer, the buzzer and raw bytes do not wait for CTS.
    EXPECT_EQ(Kelt_AcionaGaveta(), 1);
    EXPECT_EQ(Kelt_EnviaComando("\x1B@", 2), 1);
    EXPECT_EQ(linha.escrito, "\x1Bv2\x1B@");
    // The on-line check looks at CTS once.
    EXPECT_EQ(Kelt_VerificaOnLine(), 0);
    EXPECT_EQ(Erro().UltimoRetorno, -10);
    linha.cts = true;
    EXPECT_EQ(Kelt_VerificaOnLine(), 1);
}

TEST_F(KeltCanal, ACallThatReentersWhileAPacketIsOnTheWireIsRefused) {
    int dentro = -99;
    linha.aoEscrever = [&] {
        linha.aoEscrever = nullptr;
        dentro = Kelt_AcionaGaveta();
    };
    EXPECT_EQ(Kelt_EnviaBuffer("abc"), 1);
    EXPECT_EQ(dentro, 0);
    EXPECT_EQ(linha.escrito, "abc");
}

}  // namespace
