// The pseudo-terminal line that every emulator serves: the master for the emulator, the slave
// linked as <pasta>/<porta> (the driver's TARVO_DEVDIR), and the waits and writes of the
// serving thread, which a byte on the wake pipe (`acorda`) cuts short.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace emulador {

void FechaDescritor(int& fd);

// The serving thread: runs `serve` holding the fork gate (portao.h) for its whole life.
std::thread FioDoServidor(std::function<void()> serve);
// Stops it (a byte on the wake pipe, then the join) and closes the wake pipe.
void ParaServidor(std::thread& fio, int (&acorda)[2]);

// Opens a pseudo-terminal in raw mode (the master non-blocking, both ends close-on-exec) and
// links `pasta`/`porta` to its slave; the folder is created when missing and a stale link of
// that name is replaced. Our own slave descriptor stays open, so the driver's closes never hang
// the master up. On failure nothing is left open or linked, and `erro` says why.
bool AbreTerminal(const std::string& pasta, const std::string& porta, int& mestre, int& escravo,
                  std::string& dispositivo, std::string& link, std::string& erro);

// Removes `link` when it is a symbolic link (the one AbreTerminal made).
void RemoveLink(const std::string& link);

// Opens the line (AbreTerminal) and the wake pipe, then starts `serve` on the serving
// thread. On failure nothing is left open or linked, and `erro` says why.
bool IniciaLinha(const std::string& pasta, const std::string& porta, int& mestre, int& escravo,
                 std::string& dispositivo, std::string& link, int (&acorda)[2], std::thread& fio,
                 std::function<void()> serve, std::string& erro);
// Stops the serving thread, closes both ends and removes the link.
void EncerraLinha(std::thread& fio, int (&acorda)[2], int& mestre, int& escravo, std::string& link);

// Sleeps `ms` on the serving thread; false when woken meanwhile (asked to stop).
bool DormeAteAcordar(int acorda, int ms);

// Writes the bytes to the master. When nobody reads the line, waits up to a second for room
// (less when woken), then gives the rest up. Returns how many bytes went out.
std::size_t EscreveNoMestre(int mestre, int acorda, const std::string& bytes);

}  // namespace emulador
