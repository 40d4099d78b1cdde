// What the worker threads of the generation share: their thread joined once it has ended,
// within a bound, or joined whatever it takes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace belmora::geracao {

// Waits at most `prazoMs` for `acabou()` (read under `m`; `cv` is notified under `m` when it
// changes), then joins `fio` outside the lock. True when the thread has ended (or never ran,
// or was joined before); false when the wait ran out with the thread still running.
template <typename Acabou>
bool JuntaAoAcabar(std::mutex& m, std::condition_variable& cv, std::thread& fio, int prazoMs, Acabou acabou) {
    std::unique_lock<std::mutex> l(m);
    if (!fio.joinable()) return true;  // never started, or already joined
    if (!cv.wait_for(l, std::chrono::milliseconds(prazoMs), acabou)) return false;
    std::thread t = std::move(fio);
    l.unlock();
    t.join();
    return true;
}

// Joins `fio` (taken out under `m`) however long it takes; the caller has asked it to stop.
inline void Junta(std::mutex& m, std::thread& fio) {
    std::thread t;
    {
        std::lock_guard<std::mutex> l(m);
        t = std::move(fio);
    }
    if (t.joinable()) t.join();
}

}  // namespace belmora::geracao
