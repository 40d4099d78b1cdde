#include "driver/core/canal.h"

#include <fstream>
#include <mutex>

#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "platform/pastas.h"
#include "platform/relogio.h"
#include "platform/vigia.h"

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
            case plataforma::PortaSerial::Resultado::Dados:
                return FimLeitura::Dados;
            case plataforma::PortaSerial::Resultado::Prazo:
                return FimLeitura::Prazo;
            case plataforma::PortaSerial::Resultado::Fim:
                break;
        }
        return FimLeitura::Fim;
    }

  private:
    plataforma::PortaSerial porta_;
};

// How often the exchange folder is looked at when no notification comes (a network share
// raises none for a file written on another machine).
constexpr int kIntervaloArquivoMs = 50;

class CanalArquivos final : public Canal {
  public:
    bool Abre(const std::string& nome, const plataforma::ConfiguracaoLinha&) override {
        if (!plataforma::ExistePasta(nome)) return false;
        comando_ = nome + "COMANDO.TXT";
        // Watching starts before the command is written, so a reply that comes at once is
        // seen. The watch is kept from command to command (closing one costs the kernel
        // milliseconds) and made anew only for another folder.
        if (!vigia_ || status_ != nome + "STATUS.TXT") {
            status_ = nome + "STATUS.TXT";
            vigia_ = std::make_unique<plataforma::VigiaArquivo>(status_);
        }
        entregues_ = 0;
        aberto_ = true;
        return true;
    }
    bool Aberto() const override { return aberto_; }
    void Fecha() override { aberto_ = false; }
    void Descarta() override {
        ApagaArquivo(status_);
        entregues_ = 0;
    }
    bool Cts() const override { return true; }
    bool Escreve(std::string_view bytes) override {
        GravaVersaoLog();
        GravaLog("ConfigRede=1 ", comando_);
        ApagaArquivo(comando_);
        return GravaArquivo(comando_, std::string(bytes) + "\r\n");
    }
    bool QuadroInteiro() const override { return true; }

    FimLeitura Le(std::string& destino, std::size_t maximo, std::int64_t prazo) override {
        if (!aberto_) return FimLeitura::Fim;
        for (;;) {
            if (Novos(destino, maximo)) return FimLeitura::Dados;
            if (plataforma::Monotonico() >= prazo) return FimLeitura::Prazo;
            vigia_->Espera(prazo, kIntervaloArquivoMs);
        }
    }

  private:
    // Appends the bytes of the first line of STATUS.TXT not handed over yet (at most
    // `maximo`); the line end and whatever follows it are never handed over.
    bool Novos(std::string& destino, std::size_t maximo) {
        if (maximo == 0 || !vigia_->Existe()) return false;
        std::ifstream f(status_, std::ios::binary);
        if (!f) return false;
        f.seekg(static_cast<std::streamoff>(entregues_));
        std::string pedaco(maximo, '\0');
        f.read(pedaco.data(), static_cast<std::streamsize>(maximo));
        pedaco.resize(static_cast<std::size_t>(f.gcount()));
        const std::size_t fim = pedaco.find_first_of("\r\n");
        if (fim != std::string::npos) pedaco.resize(fim);
        if (pedaco.empty()) return false;
        destino += pedaco;
        entregues_ += pedaco.size();
        return true;
    }

    std::string comando_, status_;
    std::unique_ptr<plataforma::VigiaArquivo> vigia_;
    std::size_t entregues_ = 0;
    bool aberto_ = false;
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

std::unique_ptr<Canal> NovoCanalSerial() {
    return std::make_unique<CanalSerial>();
}
std::unique_ptr<Canal> NovoCanalArquivos() {
    return std::make_unique<CanalArquivos>();
}

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
