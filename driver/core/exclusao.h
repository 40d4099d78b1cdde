// One printer command at a time. Both printer engines and the non-fiscal printer's sender
// hold this while a command is on the wire: another thread waits its turn, and a call made
// from inside a command in progress on the same thread is refused instead of being
// reported as a success that sent nothing.
#pragma once

#include <mutex>

namespace tarvo {

class ComandoExclusivo {
  public:
    ComandoExclusivo();
    ~ComandoExclusivo();
    ComandoExclusivo(const ComandoExclusivo&) = delete;
    ComandoExclusivo& operator=(const ComandoExclusivo&) = delete;

    // Marks the command as on the wire for this thread until the object ends.
    void NoFio();

    // True when this thread already has a command on the wire.
    static bool Reentrante();

  private:
    std::unique_lock<std::recursive_mutex> trava_;
    bool marcou_ = false;
};

// The busy flag: true while a command is on the wire in some thread.
bool ComandoEmExecucao();

// Message and code of a refused re-entrant call.
extern const char* const kMensagemReentrante;

// Refuses a call made from inside a command of this thread (ComandoExclusivo::Reentrante()):
// last error -1 with kMensagemReentrante, logged; 0, never a success that sent nothing.
int RecusaReentrante();

}  // namespace tarvo
