// The daily call log "logDLL-yyyymmdd.txt": one record per driver call made through the
// wrappers, in the current folder. It is the support trail of what the console asked of
// the driver and what came back; the operator never sees it.
//
// Texts are Windows-1252 bytes, lines end in CR LF. The wrappers run on the user-interface
// thread and on the fiscal-file worker threads, so every record is written whole under one
// lock. Writing the log never fails a call: a record that cannot be written is dropped.
#pragma once

#include <functional>
#include <string>

#include "platform/relogio.h"

namespace belmora {

// "logDLL-" + yyyymmdd + ".txt" for the given day.
std::string NomeLogDLL(const plataforma::DataHora& agora);

// "hh:nn:ss:zzz".
std::string CarimboLogDLL(const plataforma::DataHora& agora);

// An ordinary record: the call line, the result line and, after a success, the out-value
// text (when not empty) and the separator. Returns false when the record could not be written.
bool GravaLogDLL(const std::string& chamada, const std::string& valores, int resultado);

// The record of Tarvo_RetornoImpressora: call line, "iCode=", "strMsg=", separator.
bool GravaLogRetornoImpressora(int codigo, const std::string& mensagem);

// The clock of the log (the local clock unless a test sets another; an empty function
// restores the local clock).
void DefineRelogioLogDLL(std::function<plataforma::DataHora()> relogio);

}  // namespace belmora
