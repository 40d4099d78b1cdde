// Stand-in for the parallel-port library "INPOUT32.DLL": Out32 writes one byte to an I/O
// address, Inp32 reads one. Two back ends:
//
// - real: the kernel's parallel-port device. The address is mapped to the port whose base
//   address it is (/proc/sys/dev/parport/parportN/base-addr): base = data register, base + 1
//   = status, base + 2 = control, reached through /dev/parportN with the ppdev ioctls;
// - simulated, when TARVO_LPT_SIMULADA names a folder: a printer that latches the data byte
//   on the strobe, answers the status register from the control file "estado" of that
//   folder (read at every status read, so a test may rewrite it between calls) and appends
//   each byte it takes to the file "captura". The register is the address modulo 4.
//
// The control file holds words separated by blanks or lines: "offline" (else on line),
// "ocupada" (busy: no byte is taken, bit 7 stays clear) and "sempapel" (paper end). A
// missing file is a printer on line, ready, with paper.
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include "standin.h"

namespace {

// Status register bits as a printer drives them.
constexpr unsigned kNaoOcupada = 0x80;
constexpr unsigned kFimPapel = 0x20;
constexpr unsigned kSelecionada = 0x10;
constexpr unsigned kSemErro = 0x08;
constexpr unsigned kStrobe = 0x01;  // control register bit 0: strobe asserted

std::mutex gTrava;

// --- simulated printer ---------------------------------------------------------------------------

struct Simulada {
    unsigned dados = 0;
    unsigned controle = 0;
};

const char* PastaSimulada() {
    const char* p = std::getenv("TARVO_LPT_SIMULADA");
    return p && *p ? p : nullptr;
}

struct Estado {
    bool online = true, ocupada = false, semPapel = false;
};

Estado LeEstado(const std::string& pasta) {
    Estado e;
    std::ifstream f(pasta + "/estado");
    for (std::string palavra; f >> palavra;) {
        if (palavra == "offline")
            e.online = false;
        else if (palavra == "ocupada")
            e.ocupada = true;
        else if (palavra == "sempapel")
            e.semPapel = true;
    }
    return e;
}

unsigned StatusSimulado(const Estado& e) {
    unsigned s = kSemErro;
    // An offline printer takes nothing: busy, not selected.
    if (e.online && !e.ocupada) s |= kNaoOcupada;
    if (e.online) s |= kSelecionada;
    if (e.semPapel) s |= kFimPapel;
    return s;
}

void EscreveSimulada(Simulada& sim, const std::string& pasta, unsigned registro, unsigned valor) {
    if (registro == 0) {
        sim.dados = valor;
    } else if (registro == 2) {
        // The printer latches the data on the rising edge of the strobe, when it is ready.
        const bool borda = (valor & kStrobe) && !(sim.controle & kStrobe);
        sim.controle = valor;
        if (!borda) return;
        const Estado e = LeEstado(pasta);
        if (!e.online || e.ocupada) return;
        if (std::FILE* f = std::fopen((pasta + "/captura").c_str(), "ab")) {
            std::fputc(static_cast<int>(sim.dados), f);
            std::fclose(f);
        }
    }
}

unsigned LeSimulada(const Simulada& sim, const std::string& pasta, unsigned registro) {
    switch (registro) {
        case 0:
            return sim.dados;
        case 1:
            return StatusSimulado(LeEstado(pasta));
        case 2:
            return sim.controle;
        default:
            return 0xFF;
    }
}

// --- real port through ppdev ---------------------------------------------------------------------

struct Real {
    unsigned base = 0;
    int fd = -1;
};

// Base address of /dev/parport<n>, or -1.
long BaseDoParport(int n) {
    std::ifstream f("/proc/sys/dev/parport/parport" + std::to_string(n) + "/base-addr");
    long base = -1;
    if (!(f >> base)) return -1;
    return base;
}

// The port whose registers hold this address (opened and claimed on first use); -1 when
// no parallel port of this machine has it.
int PortaDoEndereco(Real& real, unsigned endereco, unsigned& registro) {
    if (real.fd >= 0 && endereco >= real.base && endereco < real.base + 3) {
        registro = endereco - real.base;
        return real.fd;
    }
    for (int n = 0; n < 8; ++n) {
        const long base = BaseDoParport(n);
        if (base < 0 || endereco < static_cast<unsigned long>(base) ||
            endereco >= static_cast<unsigned long>(base) + 3)
            continue;
        const int fd = ::open(("/dev/parport" + std::to_string(n)).c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return -1;
        if (::ioctl(fd, PPCLAIM) != 0) {
            ::close(fd);
            return -1;
        }
        if (real.fd >= 0) {
            ::ioctl(real.fd, PPRELEASE);
            ::close(real.fd);
        }
        real.fd = fd;
        real.base = static_cast<unsigned>(base);
        registro = endereco - real.base;
        return fd;
    }
    return -1;
}

void EscreveReal(Real& real, unsigned endereco, unsigned valor) {
    unsigned registro = 0;
    const int fd = PortaDoEndereco(real, endereco, registro);
    if (fd < 0) return;
    unsigned char b = static_cast<unsigned char>(valor);
    if (registro == 0) {
        ::ioctl(fd, PPWDATA, &b);
    } else if (registro == 2) {
        b &= 0x0F;  // strobe, auto-feed, init, select-in; the direction bit is not ours to set
        ::ioctl(fd, PPWCONTROL, &b);
    }
}

unsigned LeReal(Real& real, unsigned endereco) {
    unsigned registro = 0;
    const int fd = PortaDoEndereco(real, endereco, registro);
    if (fd < 0) return 0;  // no port: bit 7 clear, the printer reads as offline
    unsigned char b = 0;
    const unsigned long pedido = registro == 0 ? PPRDATA : registro == 1 ? PPRSTATUS : PPRCONTROL;
    if (::ioctl(fd, pedido, &b) != 0) return 0;
    return b;
}

Simulada gSimulada;
Real gReal;

}  // namespace

#ifndef INPOUT32_SEM_OUT32
STANDIN_API void Out32(short endereco, short valor) {
    std::lock_guard<std::mutex> g(gTrava);
    const unsigned e = static_cast<unsigned short>(endereco);
    const unsigned v = static_cast<unsigned>(valor) & 0xFF;
    if (const char* pasta = PastaSimulada())
        EscreveSimulada(gSimulada, pasta, e & 3, v);
    else
        EscreveReal(gReal, e, v);
}
#endif

#ifndef INPOUT32_SEM_INP32
STANDIN_API short Inp32(short endereco) {
    std::lock_guard<std::mutex> g(gTrava);
    const unsigned e = static_cast<unsigned short>(endereco);
    if (const char* pasta = PastaSimulada()) return static_cast<short>(LeSimulada(gSimulada, pasta, e & 3));
    return static_cast<short>(LeReal(gReal, e));
}
#endif
