#include "driver/protocols/kelt/paralela.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "driver/core/configuracao.h"
#include "platform/biblioteca.h"
#include "platform/relogio.h"

namespace tarvo::kelt {

namespace {

using FuncaoOut32 = void (*)(short, short);
using FuncaoInp32 = short (*)(short);

// How long the printer has to take one byte.
constexpr std::int64_t kEsperaByteMs = 1000;
// Pauses between two looks at the busy bit: short first (a printer takes a byte in
// microseconds), growing so that a printer that stays busy costs no CPU.
constexpr std::chrono::microseconds kPausaInicial{50};
constexpr std::chrono::microseconds kPausaMaxima{5000};

struct InpOut {
    std::mutex trava;
    plataforma::BibliotecaDinamica* biblioteca = nullptr;  // never unloaded
    FuncaoOut32 out32 = nullptr;
    FuncaoInp32 inp32 = nullptr;
};

InpOut& Modulo() {
    static InpOut m;
    return m;
}

// Loads the module when it is not loaded yet; the entries found, under the lock.
void Carrega(InpOut& m) {
    if (m.biblioteca) return;
    auto* b = new plataforma::BibliotecaDinamica;
    if (!b->Carrega("INPOUT32.DLL")) {
        delete b;
        return;
    }
    m.biblioteca = b;
    m.out32 = reinterpret_cast<FuncaoOut32>(b->Simbolo("Out32"));
    m.inp32 = reinterpret_cast<FuncaoInp32>(b->Simbolo("Inp32"));
}

}  // namespace

bool CarregaInpOut() {
    InpOut& m = Modulo();
    std::lock_guard<std::mutex> g(m.trava);
    Carrega(m);
    return m.biblioteca && m.out32 && m.inp32;
}

void EscrevePortaLpt(std::int32_t porta, std::uint8_t valor) {
    InpOut& m = Modulo();
    FuncaoOut32 f;
    {
        std::lock_guard<std::mutex> g(m.trava);
        Carrega(m);
        f = m.out32;
    }
    if (f) f(static_cast<short>(porta), static_cast<short>(valor));
}

std::uint8_t LePortaLpt(std::int32_t porta) {
    InpOut& m = Modulo();
    FuncaoInp32 f;
    {
        std::lock_guard<std::mutex> g(m.trava);
        Carrega(m);
        f = m.inp32;
    }
    if (!f) return 0x80;
    return static_cast<std::uint8_t>(f(static_cast<short>(porta)) & 0xFF);
}

bool EnviaByteLpt(std::uint8_t byte) {
    const Configuracao& c = Config();
    EscrevePortaLpt(c.PortaDados, byte);
    EscrevePortaLpt(c.PortaControle, 0xDF);
    EscrevePortaLpt(c.PortaControle, 0xDE);
    const std::int64_t limite = plataforma::Monotonico() + kEsperaByteMs;
    std::chrono::microseconds pausa = kPausaInicial;
    while (true) {
        if (LePortaLpt(c.PortaStatus) & 0x80) return true;
        if (plataforma::Monotonico() >= limite) return false;
        std::this_thread::sleep_for(pausa);
        pausa = std::min(pausa * 2, kPausaMaxima);
    }
}

}  // namespace tarvo::kelt
