// Placeholder dispatch until the table of driver calls lands: logs the start line and runs
// nothing.
#include "console/binding/auxiliar.h"
#include "console/sequencias/comando.h"

namespace seq {

bool TrataComando(TComando& comando) {
    belmora::AdicionaRetorno("-> Executando " + comando.Nome);
    return false;
}

}  // namespace seq
