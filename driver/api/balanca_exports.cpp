// The scale's export: any family, the weight handed back as the main answer.
#include "driver/api/exportacao.h"
#include "driver/protocols/balanca/balanca.h"

using namespace tarvo;

extern "C" TARVO_API int Tarvo_LeBalanca(const char* porta, const char* velocidade, char* peso) {
    // A text too long is refused before the port is touched (the refusal, written to the
    // last-error record, under the command lock).
    try {
        TARVO_LIMITA(Tarvo_LeBalanca, porta);
        TARVO_LIMITA(Tarvo_LeBalanca, velocidade);
    } catch (const TextoRecusado&) {
        return Protegido([&] {
            TARVO_LIMITA(Tarvo_LeBalanca, porta);
            TARVO_LIMITA(Tarvo_LeBalanca, velocidade);
            return 1;
        });
    }
    // The scale has its own port slot and lock: a reading never waits for a printer command
    // on the wire, and writes nothing process-wide.
    balanca::Leitura l;
    std::exception_ptr erro;
    try {
        l = balanca::LeBalanca(porta ? porta : "", velocidade ? velocidade : "");
    } catch (...) {
        erro = std::current_exception();
    }
    // Its answer goes to the last-error record and to the caller's buffer under the command
    // lock: no printer command and no other reading sees it half written or takes it as its own.
    return Protegido([&] {
        if (erro) std::rethrow_exception(erro);
        balanca::InformaLeitura(l);
        if (l.resultado == 1 || (l.resultado >= -35 && l.resultado <= -33))
            TARVO_DEVOLVE(Tarvo_LeBalanca, peso);
        return l.resultado;
    });
}
