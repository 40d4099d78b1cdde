// The parallel port of the non-fiscal printer, reached through the outside library
// "INPOUT32.DLL" (libinpout32.so): Out32 writes one byte to an I/O address, Inp32 reads one.
#pragma once

#include <cstdint>

namespace tarvo::kelt {

// Loads the library the first time (never unloaded) and looks up its two entries. True
// only when the library and both entries are there: a send through a half library would
// look done while nothing went out.
bool CarregaInpOut();

// Out32 when the library and the entry are there, else nothing.
void EscrevePortaLpt(std::int32_t porta, std::uint8_t valor);

// Low byte of Inp32; 0x80 when the library or the entry is missing.
std::uint8_t LePortaLpt(std::int32_t porta);

// One byte to the printer: data register, strobe pulse (0xDF then 0xDE on the control
// register), then the status register until bit 7 (not busy) or 1 s on the monotonic
// clock. True when the printer took it.
bool EnviaByteLpt(std::uint8_t byte);

}  // namespace tarvo::kelt
