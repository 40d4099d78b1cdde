// What the emulator programs for a person share: how they show a frame (printable ASCII as it
// is, every other byte as \xHH), how they read their options and how they run until
// interrupted.
#pragma once

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>

namespace emulador {

inline std::string Visivel(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f) {
            r += static_cast<char>(c);
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            r += b;
        }
    }
    return r;
}

// The folder of the port links: $TARVO_DEVDIR when set, else the current folder.
inline std::string PastaDosLinks() {
    const char* devdir = std::getenv("TARVO_DEVDIR");
    return devdir && *devdir ? devdir : ".";
}

// Reads options given as "--name value" into their texts; false on anything else.
inline bool LeOpcoes(int argc, char** argv,
                     std::initializer_list<std::pair<const char*, std::string*>> opcoes) {
    for (int i = 1; i < argc; ++i) {
        std::string* destino = nullptr;
        for (const auto& [nome, texto] : opcoes)
            if (argv[i] == std::string(nome)) destino = texto;
        if (!destino || i + 1 >= argc) return false;
        *destino = argv[++i];
    }
    return true;
}

// Shows one exchange: the frame received, then the reply sent or that none was.
inline void MostraTroca(std::mutex& saida, const std::string& quadro, const std::string* resposta) {
    std::lock_guard<std::mutex> l(saida);
    std::printf("<- %s\n", Visivel(quadro).c_str());
    if (!resposta)
        std::printf("   (sem resposta)\n");
    else
        std::printf("-> %s\n", Visivel(*resposta).c_str());
    std::fflush(stdout);
}

// Ctrl+C and SIGTERM, blocked on this thread from construction on, so that the serving
// threads started afterwards inherit the mask and Encerra takes them with sigwait.
class Sinais {
  public:
    Sinais() {
        sigemptyset(&sinais_);
        sigaddset(&sinais_, SIGINT);
        sigaddset(&sinais_, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &sinais_, nullptr);
    }
    // Says how to stop, waits for one of them and stops `emulador`.
    template <typename E>
    int Encerra(E& emulador) {
        std::printf("Ctrl+C encerra.\n");
        std::fflush(stdout);
        int s = 0;
        sigwait(&sinais_, &s);
        emulador.Para();
        std::printf("Emulador encerrado.\n");
        return 0;
    }

  private:
    sigset_t sinais_;
};

}  // namespace emulador
