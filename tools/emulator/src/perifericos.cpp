#include "emulador/perifericos.h"

#include <chrono>
#include <thread>
#include <utility>

namespace emulador {

namespace {
constexpr char DLE = '\x10';
constexpr char EOT = '\x04';
constexpr char ENQ = '\x05';
constexpr char STX = '\x02';
constexpr char ETX = '\x03';
// Bits 1 and 4 of every status byte are always set.
constexpr unsigned kFixos = 0x12;
}  // namespace

// --- non-fiscal printer ----------------------------------------------------------------------------

bool ImpressoraKelt::Inicia(const std::string& pasta, const std::string& porta) {
    return linha_.Inicia(pasta, porta, [this](const std::string& b, int baud) { Recebe(b, baud); });
}

void ImpressoraKelt::Define(const EstadoKelt& e) {
    std::lock_guard<std::mutex> g(m_);
    estado_ = e;
}

std::string ImpressoraKelt::Recebidos() const {
    std::lock_guard<std::mutex> g(m_);
    return recebidos_;
}

std::vector<int> ImpressoraKelt::Velocidades() const {
    std::lock_guard<std::mutex> g(m_);
    return velocidades_;
}

int ImpressoraKelt::StatusRespondidos() const {
    std::lock_guard<std::mutex> g(m_);
    return respondidos_;
}

void ImpressoraKelt::Limpa() {
    std::lock_guard<std::mutex> g(m_);
    recebidos_.clear();
    velocidades_.clear();
    respondidos_ = 0;
}

bool ImpressoraKelt::EsperaBytes(std::size_t n, int prazoMs) const {
    const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(prazoMs);
    while (true) {
        if (Recebidos().size() >= n) return true;
        if (std::chrono::steady_clock::now() >= fim) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

char ImpressoraKelt::RespostaStatus(const EstadoKelt& e, int n) {
    unsigned b = kFixos;
    if (n == 1 && !e.gavetaAberta) b |= 0x04;  // drawer sensor: bit 2 set while closed
    if (n == 4) {
        if (e.poucoPapel) b |= 0x0C;  // paper near its end
        if (e.semPapel) b |= 0x60;    // paper end
    }
    return static_cast<char>(b);
}

void ImpressoraKelt::Recebe(const std::string& bytes, int baud) {
    std::string resposta;
    int atraso = 0;
    {
        std::lock_guard<std::mutex> g(m_);
        atraso = estado_.atrasoMs;
        recebidos_ += bytes;
        velocidades_.push_back(baud);
        // Status requests may arrive split across chunks: keep what could start one.
        pendente_ += bytes;
        std::size_t i = 0;
        while (i + 2 < pendente_.size()) {
            if (pendente_[i] == DLE && pendente_[i + 1] == EOT) {
                if (!estado_.offline) {
                    resposta += RespostaStatus(estado_, static_cast<unsigned char>(pendente_[i + 2]));
                    ++respondidos_;
                }
                i += 3;
            } else {
                ++i;
            }
        }
        pendente_.erase(0, i);
        if (pendente_.size() > 2) pendente_.erase(0, pendente_.size() - 2);
    }
    if (resposta.empty()) return;
    if (atraso > 0 && !linha_.Dorme(atraso)) return;
    linha_.Escreve(resposta);
}

// --- scale --------------------------------------------------------------------------------------------

bool Balanca::Inicia(const std::string& pasta, const std::string& porta) {
    return linha_.Inicia(pasta, porta, [this](const std::string& b, int baud) { Recebe(b, baud); });
}

void Balanca::Define(ModoBalanca modo, const std::string& peso, int atrasoMs) {
    std::lock_guard<std::mutex> g(m_);
    modo_ = modo;
    peso_ = peso;
    atrasoMs_ = atrasoMs;
}

int Balanca::Enqs() const {
    std::lock_guard<std::mutex> g(m_);
    return enqs_;
}

std::vector<int> Balanca::Velocidades() const {
    std::lock_guard<std::mutex> g(m_);
    return velocidades_;
}

std::string Balanca::Recebidos() const {
    std::lock_guard<std::mutex> g(m_);
    return recebidos_;
}

void Balanca::Recebe(const std::string& bytes, int baud) {
    for (char c : bytes) {
        ModoBalanca modo;
        std::string peso;
        int atraso = 0;
        {
            std::lock_guard<std::mutex> g(m_);
            recebidos_ += c;
            velocidades_.push_back(baud);
            if (c != ENQ) continue;
            ++enqs_;
            modo = modo_;
            peso = peso_;
            atraso = std::exchange(atrasoMs_, 0);
        }
        if (atraso > 0 && !linha_.Dorme(atraso)) return;
        switch (modo) {
            case ModoBalanca::Peso:
                linha_.Escreve(STX + peso + ETX);
                break;
            case ModoBalanca::Instavel:
                linha_.Escreve(STX + std::string("IIIII") + ETX);
                break;
            case ModoBalanca::Excedido:
                linha_.Escreve(STX + std::string("SSSSS") + ETX);
                break;
            case ModoBalanca::Negativo:
                linha_.Escreve(STX + std::string("NNNNN") + ETX);
                break;
            case ModoBalanca::Silencio:
                break;
            case ModoBalanca::SemStx:
                linha_.Escreve(peso + ETX);
                break;
            case ModoBalanca::Pedacos: {
                const std::string r = STX + peso + ETX;
                const std::size_t terco = (r.size() + 2) / 3;
                for (std::size_t i = 0; i < r.size(); i += terco) {
                    if (i > 0 && !linha_.Dorme(100)) return;
                    linha_.Escreve(r.substr(i, terco));
                }
                break;
            }
        }
    }
}

}  // namespace emulador
