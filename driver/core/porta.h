// The two serial port slots: slot 1 is the printer, slot 2 the weighing scale.
#pragma once

#include <string>

#include "driver/core/canal.h"
#include "platform/serial.h"

namespace tarvo {

enum SlotPorta { SlotImpressora = 1, SlotBalanca = 2 };

struct Slot {
    std::unique_ptr<Canal> canal;  // made when the slot is first opened
    std::string dispositivo;       // "\\.\COMn" (or "LPTn" for the parallel family)
    std::string baud;
    // The last exchange on this line ended without its whole reply (or with more than one):
    // what it asked for may still come. Lines without packet numbers only.
    bool respostaPendente = false;
};

Slot& SlotDaPorta(int slot);

// Line settings of a slot: the scale's, or the printer family's from the configuration.
plataforma::ConfiguracaoLinha LinhaDoSlot(int slot);

// The slot's channel (made on first use, see NovoCanal).
Canal& CanalDoSlot(int slot);

// The exchange files of the named-parameter printers reached through another program
// (ConfigRede=1), opened on the work folder for each command.
Canal& CanalDosArquivos();

// Opens the slot's device with the slot's line settings.
bool AbrePorta(int slot);
bool TestaCTS(int slot);
bool AguardaCTS();
void EnviaTexto(int slot, const std::string& texto);
void EnviaBytes(int slot, const std::string& texto, std::size_t n);
// One read of up to 1024 bytes: what arrives within `prazoMs` (5 ms by default, the
// system's read time-out; the engines pass the time left of their own time-out so that they wait
// in poll() instead of spinning).
std::string LePorta(int slot, int prazoMs = 5);
void FechaPorta(int slot);
std::string NomeDispositivoCom(const std::string& nome);
int AbrePortaConfigurada();

// Before a request on a line whose replies carry no packet number (numeric-code printer,
// non-fiscal serial printer, scale): drops pending input and, when the line's last exchange
// ended without its reply, first drops what comes until the line has been quiet for a
// moment, so that a late reply is never taken for this request's. False (nothing to send)
// when the line does not go quiet within a bounded time: a babbling line.
bool PreparaPedido(int slot);

// Marks the slot's last exchange as one whose reply may still come (see PreparaPedido).
void MarcaRespostaPendente(int slot);

// Marks both slots closed (load sequence).
void FechaTodasAsPortas();

}  // namespace tarvo
