// The scale's export: any family, the weight handed back as the main answer.
#include "driver/api/exportacao.h"
#include "driver/protocols/balanca/balanca.h"

using namespace tarvo;

extern "C" TARVO_API int Tarvo_LeBalanca(const char* porta, const char* velocidade, char* peso) {
    // The scale has its own port slot and lock: a reading never waits for a printer command.
    return ProtegidoSemVez([&] {
        TARVO_LIMITA(Tarvo_LeBalanca, porta);
        TARVO_LIMITA(Tarvo_LeBalanca, velocidade);
        const int r = balanca::LeBalanca(porta ? porta : "", velocidade ? velocidade : "");
        if (r == 1 || (r >= -35 && r <= -33)) TARVO_DEVOLVE(Tarvo_LeBalanca, peso);
        return r;
    });
}
