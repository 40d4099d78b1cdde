// The printer models the emulator can stand for: brand, model, type and firmware version, the
// identity that its readings answer and that the banner in the foot of every document prints
// (brand blank-filled to 11 characters, model, a blank, type).
#pragma once

#include <cstddef>
#include <vector>

#include "emulador/impressora.h"

namespace emulador {

struct ModeloEcf {
    const char* marca;
    const char* modelo;
    const char* tipo;
    const char* versao;
};

// One row per model; row 0 is the factory state.
const std::vector<ModeloEcf>& Modelos();

// Gives the printer the identity of row `linha`; false (nothing changed) for a row that does
// not exist.
bool AplicaModelo(Impressora& p, std::size_t linha);

}  // namespace emulador
