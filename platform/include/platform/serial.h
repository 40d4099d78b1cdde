// Serial ports over termios. A port opened here is held exclusively (flock and TIOCEXCL),
// as a Windows COM port is, and every wait is a poll() on the monotonic clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plataforma {

struct ConfiguracaoLinha {
    int baud = 9600;
    char paridade = 'n';  // 'n', 'e' or 'o'
    int bitsDados = 8;
    int bitsParada = 1;
    bool controleRtsCts = false;  // RTS/CTS hardware handshake
};

// Device behind a Windows port name: "COM3" or "\\.\COM3" is $TARVO_DEVDIR/COM3 when
// TARVO_DEVDIR is set, else /dev/ttyS2; "LPT1" is /dev/parport0. Other names are used as paths.
std::string DispositivoDaPorta(const std::string& nome);

class PortaSerial {
  public:
    PortaSerial() = default;
    ~PortaSerial();
    PortaSerial(const PortaSerial&) = delete;
    PortaSerial& operator=(const PortaSerial&) = delete;

    // Opens the device behind a Windows port name, exclusively, existing devices only.
    bool Abre(const std::string& nome);
    bool Aberta() const { return fd_ >= 0; }
    // True when the last Abre failed because the device refuses this user (its mode or
    // group), not because it is missing or held by another program.
    bool SemPermissao() const { return semPermissao_; }
    void Fecha();

    // Raw 8-bit line with the given speed, parity, framing and flow control; DTR raised.
    bool Configura(const ConfiguracaoLinha& linha);

    // State of CTS. A link without modem lines (pseudo-terminal, some USB adapters) cannot
    // signal "absent", so it reports CTS present. False only when the line is really down.
    bool Cts() const;

    // Writes all bytes (waiting up to `prazoMs` for the line to drain the buffer).
    // Returns the number of bytes written.
    std::size_t Escreve(const void* dados, std::size_t n, int prazoMs = 1000);

    // Waits up to `prazoMs` for bytes and returns at most `maximo` of those that arrived
    // (empty when nothing arrived in time).
    std::string Le(std::size_t maximo, int prazoMs);

    // What one wait for input ended with.
    enum class Resultado {
        Dados,  // bytes were appended
        Prazo,  // the deadline passed with nothing
        Fim,    // end of file, hang-up or an I/O error: nothing more will come on this descriptor
    };
    // Appends to `destino` at most `maximo` bytes of what arrives, waiting until `prazo`
    // (milliseconds on the monotonic clock) for the first of them. Never spins: a hang-up
    // or an error is reported at once as Fim.
    Resultado LeAte(std::string& destino, std::size_t maximo, std::int64_t prazo);

    // Discards what is waiting in both directions.
    void Descarta();

  private:
    int fd_ = -1;
    bool semPermissao_ = false;
};

// Serial ports of this machine as the console lists them: name "COMn", friendly name (the
// name itself for a port that is not a USB adapter) and, for a USB serial adapter, the
// identifier of its USB device ("VID_0403&PID_6001"; empty for any other port). Under
// TARVO_DEVDIR a COMn link that leads to a USB serial device names that adapter too.
struct PortaListada {
    std::string nome;
    std::string descricao;
    std::string usb;
};
std::vector<PortaListada> ListaPortasSeriais();

// Replaces the listing (tests); an empty function restores the machine's own.
void InstalaListaPortasSeriais(std::function<std::vector<PortaListada>()> lista);

}  // namespace plataforma
