// A scripted peer on a pseudo-terminal for the engine's own tests: it reads whole frames
// and answers each with what the test's function returns. The end-to-end tests use the
// emulator instead; this peer only lets a test choose odd replies (pieces, silence, errors).
#pragma once

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../../tools/emulator/include/emulador/portao.h"
#include "comum/ambiente.h"

namespace teste {

struct Resposta {
    std::vector<std::string> pedacos;  // written one after the other
    int pausaMs = 0;                   // between the pieces (and before the first)
};

class Roteiro {
  public:
    using Responde = std::function<Resposta(const std::string& quadro)>;

    Roteiro(const std::string& devdir, const std::string& porta, Responde responde)
        : pty_(devdir, porta), responde_(std::move(responde)) {
        fio_ = std::thread([this] {
            emulador::TrabalhoDoServidor trabalho;
            Serve();
        });
    }
    ~Roteiro() {
        para_ = true;
        fio_.join();
    }

    std::vector<std::string> Quadros() {
        std::lock_guard<std::mutex> l(m_);
        return quadros_;
    }
    std::vector<std::string> Comandos() {  // command word and parameters of each frame
        std::vector<std::string> r;
        for (const std::string& q : Quadros()) {
            auto a = q.find(';'), b = q.rfind(';');
            r.push_back(a == std::string::npos || b <= a ? q : q.substr(a + 1, b - a - 1));
        }
        return r;
    }

    // Reply frame for a code and data, with its length.
    static std::string Quadro(const std::string& pacote, const std::string& codigo,
                              const std::string& dados) {
        std::string corpo = pacote + ";" + codigo + ";" + dados + ";";
        return "{" + corpo + std::to_string(corpo.size()) + "}";
    }
    static std::string Pacote(const std::string& quadro) { return quadro.substr(1, quadro.find(';') - 1); }
    // The command word of a frame.
    static std::string Palavra(const std::string& quadro) {
        std::string cmd = quadro.substr(quadro.find(';') + 1);
        return cmd.substr(0, cmd.find(';'));
    }
    // Answers every frame with success; `dados` gives the data per command word.
    static Responde Sucesso(std::function<std::string(const std::string&)> dados = nullptr) {
        return [dados](const std::string& q) {
            return Resposta{{Quadro(Pacote(q), "0", dados ? dados(Palavra(q)) : "")}};
        };
    }
    // "Command parameters" of a frame: its command word, one blank, its parameters.
    static std::string ComandoEParametros(const std::string& quadro) {
        std::size_t a = quadro.find(';'), b = quadro.rfind(';');
        std::string meio = quadro.substr(a + 1, b - a - 1);
        std::size_t p = meio.find(';');
        return meio.substr(0, p) + " " + meio.substr(p + 1);
    }

  private:
    void Serve() {
        std::string buffer;
        while (!para_) {
            pollfd p{pty_.Mestre(), POLLIN, 0};
            if (emulador::Espera(&p, 1, 20) <= 0) continue;
            char b[4096];
            ssize_t n = ::read(pty_.Mestre(), b, sizeof b);
            if (n <= 0) continue;
            buffer.append(b, static_cast<std::size_t>(n));
            std::size_t fim;
            while ((fim = FimDoQuadro(buffer)) != std::string::npos) {
                std::string quadro = buffer.substr(0, fim + 1);
                buffer.erase(0, fim + 1);
                {
                    std::lock_guard<std::mutex> l(m_);
                    quadros_.push_back(quadro);
                }
                Resposta r = responde_(quadro);
                for (const std::string& pedaco : r.pedacos) {
                    if (r.pausaMs)
                        emulador::Espera(nullptr, 0, r.pausaMs);  // a pause that lets a fork through
                    (void)!::write(pty_.Mestre(), pedaco.data(), pedaco.size());
                }
            }
        }
    }
    // End of the first whole frame: ";" length "}" with the length matching.
    static std::size_t FimDoQuadro(const std::string& t) {
        for (std::size_t f = t.find('}'); f != std::string::npos; f = t.find('}', f + 1)) {
            std::size_t pv = t.rfind(';', f);
            if (pv == std::string::npos || pv + 1 >= f) continue;
            std::string n = t.substr(pv + 1, f - pv - 1);
            if (n.find_first_not_of("0123456789") != std::string::npos) continue;
            if (std::stoul(n) == pv - t.find('{')) return f;
        }
        return std::string::npos;
    }

    Pty pty_;
    Responde responde_;
    std::atomic<bool> para_{false};
    std::mutex m_;
    std::vector<std::string> quadros_;
    std::thread fio_;
};

}  // namespace teste
