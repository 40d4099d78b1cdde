// The one way every engine reaches a device (fiscal printer, non-fiscal printer, scale):
// open with a family's line settings, discard pending input, write, read until a deadline,
// close. The serial port, the file exchange of the named-parameter printers and the tests'
// doubles implement it; an engine never knows which one it has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/serial.h"

namespace tarvo {

// What one wait for input ended with.
enum class FimLeitura {
    Dados,  // bytes were appended to the caller's text
    Prazo,  // the deadline passed with nothing new
    Fim,    // end of file, hang-up or I/O error: the link is gone, nothing more will come
};

class Canal {
  public:
    virtual ~Canal() = default;

    // Opens the device behind a port name ("COM2", "\\.\COM2") with a family's line
    // settings (applied as far as the link takes them). False when it cannot be opened.
    virtual bool Abre(const std::string& nome, const plataforma::ConfiguracaoLinha& linha) = 0;
    virtual bool Aberto() const = 0;
    virtual void Fecha() = 0;

    // Drops whatever is waiting to be read (left over from an earlier exchange or noise).
    virtual void Descarta() = 0;

    // State of CTS; a link without modem lines reports it present.
    virtual bool Cts() const = 0;

    // Writes every byte; false when they could not all go out within the write bound.
    virtual bool Escreve(std::string_view bytes) = 0;

    // Appends to `destino` at most `maximo` bytes of what arrives, waiting until `prazo`
    // (milliseconds of plataforma::Monotonico()) for the first of them. Never spins.
    virtual FimLeitura Le(std::string& destino, std::size_t maximo, std::int64_t prazo) = 0;

    // True when the link takes a frame only whole, in one Escreve (the file exchange: one
    // write is one command file); a serial line takes it in as many writes as the engine likes.
    virtual bool QuadroInteiro() const { return false; }
};

// The termios serial port.
std::unique_ptr<Canal> NovoCanalSerial();

// The file exchange of printers reached through another program (ConfigRede=1): Abre takes
// the work folder (ending in "/"), false when it does not exist; Descarta deletes
// "STATUS.TXT"; Escreve writes the frame and CR LF as "COMANDO.TXT" (logging the folder
// setting and the file); Le hands over the first line of "STATUS.TXT" as it appears, waiting on
// file-system notifications with a timed look as the fallback.
std::unique_ptr<Canal> NovoCanalArquivos();

// Which channel a port slot gets when it is opened: the serial port unless a test has
// installed a maker of doubles. An empty function brings the serial port back.
using FabricaCanal = std::function<std::unique_ptr<Canal>()>;
void InstalaFabricaCanal(FabricaCanal fabrica);
std::unique_ptr<Canal> NovoCanal();

}  // namespace tarvo
