// Keeping the window alive while a driver call waits for the printer. A call can take its
// whole time-out (seconds) when the printer is silent; it runs on a worker thread while the
// window's thread waits in a local event loop that repaints and runs timers but takes no
// operator input (keys and clicks wait until the call is over), so no second operation can
// start and no form can be closed mid-call, as when the thread itself waited.
#pragma once

#include <functional>

namespace belmora {

// Runs `trabalho` on a worker and waits for it as above, showing the busy cursor. Off the
// window's thread it runs at once. Works run one at a time, in the order they were asked
// for: one asked for while another is under way (a timer's, during that wait) starts only
// after it, so the call log keeps the order of the calls. An exception of `trabalho` is
// raised again here.
void EsperaSemTravar(const std::function<void()>& trabalho);

// True while a work of EsperaSemTravar is under way on the window's thread.
bool EsperandoChamada();

// Every driver call of the wrappers goes through EsperaSemTravar while the guard lives.
class EsperaDasChamadas {
  public:
    EsperaDasChamadas();
    ~EsperaDasChamadas();
    EsperaDasChamadas(const EsperaDasChamadas&) = delete;
    EsperaDasChamadas& operator=(const EsperaDasChamadas&) = delete;
};

}  // namespace belmora
