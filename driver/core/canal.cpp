#include "driver/core/canal.h"

#include <mutex>

namespace tarvo {

namespace {

// How long one write may wait for the line to take the bytes.
constexpr int kPrazoEscritaMs = 1000;

class CanalSerial final : public Canal {
public:
    bool Abre(const std::string& nome, const plataforma::ConfiguracaoLinha& linha) override {
        if (porta_.Aberta()) return true;
        if (!porta_.Abre(nome)) return false;
        // Opening decides, as it did on Windows: a link that takes only part of the
        // settings (a pseudo-terminal has no parity, some USB adapters no handshake)
        // still carries the bytes.
        porta_.Configura(linha);
        return true;
    }
    bool Aberto() const override { return porta_.Aberta(); }
    void Fecha() override { porta_.Fecha(); }
    void Descarta() override { porta_.Descarta(); }
    bool Cts() const override { return porta_.Cts(); }
    bool Escreve(std::string_view bytes) override {
        return porta_.Escreve(bytes.data(), bytes.size(), kPrazoEscritaMs) == bytes.size();
    }
    FimLeitura Le(std::string& destino, std::size_t maximo, std::int64_t prazo) override {
        switch (porta_.LeAte(destino, maximo, prazo)) {
            case plataforma::PortaSerial::Resultado::Dados: return FimLeitura::Dados;
            case plataforma::PortaSerial::Resultado::Prazo: return FimLeitura::Prazo;
            case plataforma::PortaSerial::Resultado::Fim: break;
        }
        return FimLeitura::Fim;
    }

private:
    plataforma::PortaSerial porta_;
};

std::mutex& TravaFabrica() {
    static std::mutex m;
    return m;
}

FabricaCanal& Fabrica() {
    static FabricaCanal f;
    return f;
}

}  // namespace

std::unique_ptr<Canal> NovoCanalSerial() { return std::make_unique<CanalSerial>(); }

void InstalaFabricaCanal(FabricaCanal fabrica) {
    std::lock_guard<std::mutex> g(TravaFabrica());
    Fabrica() = std::move(fabrica);
}

std::unique_ptr<Canal> NovoCanal() {
    std::lock_guard<std::mutex> g(TravaFabrica());
    if (Fabrica()) return Fabrica()();
    return NovoCanalSerial();
}

}  // namespace tarvo
