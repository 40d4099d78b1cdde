// Direct access to a serial port for the printer detection, without the driver: open with
// fixed line settings (115200, even parity, 8 data bits, 1 stop bit), time-outs, the CTS
// test, one write, one reply read until "}", and the list of the USB serial adapters present.
// It knows nothing of the printer's language: the detection gives the text and judges the reply.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace belmora {

// The port under TDirectComm: the machine's serial port, or a double in tests.
class PortaDireta {
  public:
    virtual ~PortaDireta() = default;
    virtual bool Abre(const std::string& nome, int baud, char paridade, int bitsDados, int bitsParada) = 0;
    virtual bool Fecha() = 0;
    // True when the last Abre failed because this user may not use the device.
    virtual bool SemPermissao() const { return false; }
    virtual bool Cts() = 0;
    virtual bool Escreve(const std::string& texto) = 0;
    // One read of at most `maximo` bytes: waits up to `primeiroMs` for the first byte, then
    // takes what follows until the line is quiet for `intervaloMs`. False on a port error.
    virtual bool Le(std::string& destino, std::size_t maximo, int primeiroMs, int intervaloMs) = 0;
};
using FabricaPortaDireta = std::function<std::unique_ptr<PortaDireta>()>;
// Replaces the port every new TDirectComm uses (tests); an empty function restores the real one.
void InstalaPortaDireta(FabricaPortaDireta fabrica);

// One USB serial adapter: port, class (always "Ports"), description, friendly name.
struct TSerialUSBDevice {
    std::string porta;
    std::string classe;
    std::string descricao;
    std::string nomeAmigavel;
};

class TDirectComm {
  public:
    TDirectComm();
    ~TDirectComm();
    TDirectComm(const TDirectComm&) = delete;
    TDirectComm& operator=(const TDirectComm&) = delete;

    void DefinePorta(const std::string& nome) { porta_ = nome; }
    // Opens the port with the object's settings and the stored read time-out (6 s).
    bool Abre();
    // Time-outs of the open port: `segundos` for the first byte of a read, 1 ms between
    // bytes after it. The stored read time-out is not changed. False when the port is closed.
    bool DefineTimeout(int segundos);
    void Fecha();
    bool Aberto() const { return aberto_; }
    bool SemPermissao() const { return linha_->SemPermissao(); }
    // CTS of the open port; false when closed.
    bool Conectado();
    // Rebuilds the adapter list: the serial ports of the first USB device that has any.
    void ListaPortasUSB();
    // True with the adapter's friendly name when the port (exact case) is in the list.
    bool ProcuraDispositivoUSB(const std::string& porta, std::string& nomeAmigavel) const;
    const std::vector<TSerialUSBDevice>& Dispositivos() const { return dispositivos_; }
    // An open port must show CTS; a closed one is opened first. One write of the whole text.
    bool Envia(const std::string& texto);
    // Reads in chunks of 256 bytes until the reply ends with "}", a read brings nothing or
    // 2048 bytes came. False (and the port closed) when nothing at all came.
    bool Recebe(std::string& resposta);
    bool EnviaRecebe(const std::string& texto, std::string& resposta);

    static constexpr std::size_t kPedaco = 256;
    static constexpr std::size_t kLimite = 2048;

  private:
    // An open port must show CTS; a closed one is opened.
    bool Pronto();

    std::unique_ptr<PortaDireta> linha_;
    std::string porta_ = "COM1";
    std::string baud_ = "115200";
    char paridade_ = 'E';
    int bitsDados_ = 8;
    int bitsParada_ = 1;
    int timeoutLeitura_ = 6;
    int prazoMs_ = 6000;
    std::vector<TSerialUSBDevice> dispositivos_;
    bool aberto_ = false;
};

}  // namespace belmora
