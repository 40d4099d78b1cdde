#include "console/main/direto.h"

#include <cstdlib>

#include "platform/relogio.h"
#include "platform/serial.h"

namespace belmora {

namespace {

class PortaDaMaquina : public PortaDireta {
  public:
    bool Abre(const std::string& nome, int baud, char paridade, int bitsDados, int bitsParada) override {
        if (!porta_.Abre(nome)) return false;
        plataforma::ConfiguracaoLinha linha;
        linha.baud = baud;
        linha.paridade = paridade == 'E' ? 'e' : paridade == 'O' ? 'o' : 'n';
        linha.bitsDados = bitsDados;
        linha.bitsParada = bitsParada;
        if (!porta_.Configura(linha)) return false;
        porta_.Descarta();
        return true;
    }
    bool Fecha() override {
        porta_.Fecha();
        return true;
    }
    bool SemPermissao() const override { return porta_.SemPermissao(); }
    bool Cts() override { return porta_.Cts(); }
    bool Escreve(const std::string& texto) override {
        return porta_.Escreve(texto.data(), texto.size()) == texto.size();
    }
    bool Le(std::string& destino, std::size_t maximo, int primeiroMs, int intervaloMs) override {
        const std::size_t antes = destino.size();
        auto r = porta_.LeAte(destino, maximo, plataforma::Monotonico() + primeiroMs);
        while (r == plataforma::PortaSerial::Resultado::Dados && destino.size() - antes < maximo)
            r = porta_.LeAte(destino, maximo - (destino.size() - antes),
                             plataforma::Monotonico() + intervaloMs);
        return r != plataforma::PortaSerial::Resultado::Fim || destino.size() > antes;
    }

  private:
    plataforma::PortaSerial porta_;
};

FabricaPortaDireta& Fabrica() {
    static FabricaPortaDireta f;
    return f;
}

std::unique_ptr<PortaDireta> NovaPorta() {
    if (Fabrica()) return Fabrica()();
    return std::make_unique<PortaDaMaquina>();
}

}  // namespace

void InstalaPortaDireta(FabricaPortaDireta fabrica) {
    Fabrica() = std::move(fabrica);
}

TDirectComm::TDirectComm() : linha_(NovaPorta()) {}

TDirectComm::~TDirectComm() {
    Fecha();
}

bool TDirectComm::Abre() {
    if (aberto_) {
        aberto_ = false;
        if (!linha_->Fecha()) return false;
    }
    if (!linha_->Abre(porta_, std::atoi(baud_.c_str()), paridade_, bitsDados_, bitsParada_)) {
        // A port that opened but could not take the settings is not left held.
        linha_->Fecha();
        return false;
    }
    aberto_ = true;
    DefineTimeout(timeoutLeitura_);
    return true;
}

bool TDirectComm::DefineTimeout(int segundos) {
    if (!aberto_ || segundos < 0) return false;
    prazoMs_ = segundos * 1000;
    return true;
}

void TDirectComm::Fecha() {
    if (aberto_ && linha_->Fecha()) aberto_ = false;
}

bool TDirectComm::Conectado() {
    return aberto_ && linha_->Cts();
}

void TDirectComm::ListaPortasUSB() {
    dispositivos_.clear();
    std::string primeiro;
    for (const plataforma::PortaListada& p : plataforma::ListaPortasSeriais()) {
        if (p.usb.empty()) continue;
        if (primeiro.empty()) primeiro = p.usb;
        if (p.usb != primeiro) continue;
        TSerialUSBDevice d;
        d.classe = "Ports";
        d.descricao = p.descricao;
        d.nomeAmigavel = p.descricao + " (" + p.nome + ")";
        // The port is cut from the friendly name at "COM", with its whole number (COM12 too).
        std::size_t i = d.nomeAmigavel.find("COM");
        std::size_t f = i + 3;
        while (f < d.nomeAmigavel.size() && d.nomeAmigavel[f] >= '0' && d.nomeAmigavel[f] <= '9') ++f;
        d.porta = d.nomeAmigavel.substr(i, f - i);
        dispositivos_.push_back(d);
    }
}

bool TDirectComm::ProcuraDispositivoUSB(const std::string& porta, std::string& nomeAmigavel) const {
    for (const TSerialUSBDevice& d : dispositivos_)
        if (d.porta == porta) {
            nomeAmigavel = d.nomeAmigavel;
            return true;
        }
    return false;
}

bool TDirectComm::Pronto() {
    return aberto_ ? Conectado() : Abre();
}

bool TDirectComm::Envia(const std::string& texto) {
    if (!Pronto()) return false;
    return linha_->Escreve(texto);
}

bool TDirectComm::Recebe(std::string& resposta) {
    if (!Pronto()) return false;
    std::size_t total = 0;
    bool ok = true;
    for (;;) {
        std::string pedaco;
        ok = linha_->Le(pedaco, kPedaco, prazoMs_, 1);
        total += pedaco.size();
        resposta.append(pedaco.c_str());  // up to the first zero byte
        if (pedaco.empty() || total >= kLimite || (!resposta.empty() && resposta.back() == '}')) break;
    }
    if (total == 0) ok = false;
    if (!ok) Fecha();
    return ok;
}

bool TDirectComm::EnviaRecebe(const std::string& texto, std::string& resposta) {
    if (!Envia(texto)) return false;
    resposta.clear();
    return Recebe(resposta);
}

}  // namespace belmora
