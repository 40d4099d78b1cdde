// The numeric-code bodies of the exports whose facade prepares the call itself (the receipt
// openings delete the consumer identification first; the management-report line keeps the
// open-report setting).
#pragma once

namespace tarvo::numerico {
int Tarvo_AbreCupom(const char* idConsumidor);
int Tarvo_AbreCupomMFD(const char* idConsumidor, const char* nome, const char* endereco);
int Tarvo_RelatorioGerencial(const char* texto);
}  // namespace tarvo::numerico
