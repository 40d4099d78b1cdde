#include "driver/core/exclusao.h"

#include <atomic>

#include "driver/core/erros.h"
#include "driver/core/registro.h"

namespace tarvo {

const char* const kMensagemReentrante = ItemDe(Falha::ChamadaReentrante).texto;

namespace {
std::recursive_mutex& Trava() {
    static std::recursive_mutex m;
    return m;
}
thread_local bool tNoFio = false;
std::atomic<bool> gEmExecucao{false};
}  // namespace

ComandoExclusivo::ComandoExclusivo() : trava_(Trava()) {}

ComandoExclusivo::~ComandoExclusivo() {
    if (marcou_) {
        tNoFio = false;
        gEmExecucao = false;
    }
}

void ComandoExclusivo::NoFio() {
    tNoFio = true;
    gEmExecucao = true;
    marcou_ = true;
}

bool ComandoExclusivo::Reentrante() {
    return tNoFio;
}

bool ComandoEmExecucao() {
    return gEmExecucao;
}

int RecusaReentrante() {
    DefineErro(Falha::ChamadaReentrante);
    GravaLog("---[", kMensagemReentrante, "]---");
    return 0;
}

}  // namespace tarvo
