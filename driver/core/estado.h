// Run-time state shared by several parts of the library and reset by the load sequence.
#pragma once

#include <string>

namespace tarvo {

struct EstadoDriver {
    // Named-parameter engine: the document-spacing command has been sent.
    bool PrimeiroUsoFeito = false;
    // Operator name put into the Operador= parameters (Tarvo_ProgramaOperador).
    std::string NomeOperador;
    // The print capture keeps the printer port open across commands.
    bool CapturaMantemPortaAberta = false;
    // The non-fiscal printer keeps its port open across sends.
    bool KeltMantemPortaAberta = false;

    // Switches of the fiscal files.
    bool EmiteLMF_RFD = true;
    bool ArmazenamentoRFD = false;
    bool FlagTDM = true;
    bool GeraSintegraAtivo = false;
    std::string RfdDataInicial, RfdDataFinal;  // date-range RFD
    bool Consolidando = false;
};

EstadoDriver& Estado();

}  // namespace tarvo
