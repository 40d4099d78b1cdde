// The printer readings the fiscal-file conversions ask for (a reduction's COO or date), through
// one small interface that the printer's engine implements: the conversions include nothing
// of the engine, and their tests answer the readings themselves.
#pragma once

#include <string>

namespace tarvo {

class LeiturasFiscais {
  public:
    virtual ~LeiturasFiscais() = default;
    // An integer register by name ("COOReducao[3]"): 1 and its value, or the reading's code.
    virtual int LeInteiro(const std::string& nome, std::string& valor) = 0;
    // A date register by name ("DataReducao[3]"): 1 and its value as dd/mm/yyyy, or the
    // reading's code.
    virtual int LeData(const std::string& nome, std::string& valor) = 0;
};

// The readings of the connected printer, as its engine answers them.
LeiturasFiscais& LeiturasDaImpressora();

}  // namespace tarvo
