#include "console/main/espera.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <exception>
#include <mutex>
#include <thread>

#include "console/binding/chamada.h"

namespace belmora {

namespace {

// Held by the worker for the whole of a work: a work asked for during another one's wait
// begins when that one has ended (its record written).
std::mutex g_vez;
int g_emCurso = 0;

bool NaThreadDaJanela() {
    return qApp && QThread::currentThread() == qApp->thread();
}

}  // namespace

bool EsperandoChamada() {
    return g_emCurso > 0;
}

void EsperaSemTravar(const std::function<void()>& trabalho) {
    if (!NaThreadDaJanela()) {
        trabalho();
        return;
    }
    QEventLoop espera;
    std::exception_ptr erro;
    ++g_emCurso;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    std::thread fio([&] {
        {
            std::lock_guard<std::mutex> vez(g_vez);
            try {
                trabalho();
            } catch (...) {
                erro = std::current_exception();
            }
        }
        // Queued: the loop ends on its own thread, also when the work was over before it began.
        QMetaObject::invokeMethod(
            &espera, [&espera] { espera.quit(); }, Qt::QueuedConnection);
    });
    espera.exec(QEventLoop::ExcludeUserInputEvents);
    fio.join();
    QApplication::restoreOverrideCursor();
    --g_emCurso;
    if (erro) std::rethrow_exception(erro);
}

EsperaDasChamadas::EsperaDasChamadas() {
    ligacao::DefineExecutor([](const std::function<void()>& chamada) { EsperaSemTravar(chamada); });
}

EsperaDasChamadas::~EsperaDasChamadas() {
    ligacao::DefineExecutor(nullptr);
}

}  // namespace belmora
