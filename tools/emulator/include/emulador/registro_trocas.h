// The logs of an emulator's line, the same for every protocol: the exchanges (frame received,
// command, reply), every byte received and sent, and the hook called after each exchange.
// `Troca` is the protocol's record of one exchange; it has the command text as `comando`.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace emulador {

template <typename Troca>
class RegistroDeTrocas {
  public:
    std::vector<std::string> Comandos() const {  // the commands received, in order
        std::lock_guard<std::mutex> l(m_);
        std::vector<std::string> r;
        for (const Troca& t : trocas_) r.push_back(t.comando);
        return r;
    }
    std::vector<Troca> Trocas() const {
        std::lock_guard<std::mutex> l(m_);
        return trocas_;
    }
    std::string Recebidos() const {  // every byte received, noise included
        std::lock_guard<std::mutex> l(m_);
        return recebidos_;
    }
    std::string Enviados() const {  // every byte sent
        std::lock_guard<std::mutex> l(m_);
        return enviados_;
    }
    void LimpaRegistros() {
        std::lock_guard<std::mutex> l(m_);
        trocas_.clear();
        recebidos_.clear();
        enviados_.clear();
    }
    // Called on the serving thread after each exchange (for the program's display).
    void AoTrocar(std::function<void(const Troca&)> f) {
        std::lock_guard<std::mutex> l(m_);
        aoTrocar_ = std::move(f);
    }

  protected:
    RegistroDeTrocas() = default;
    ~RegistroDeTrocas() = default;

    // Guards the logs, and the emulator's printer and faults as well: one exchange changes
    // them together.
    mutable std::mutex m_;
    std::vector<Troca> trocas_;
    std::string recebidos_, enviados_;
    std::function<void(const Troca&)> aoTrocar_;
};

}  // namespace emulador
