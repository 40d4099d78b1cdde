// The window while a driver call waits for a silent printer: the call runs off the window's
// thread, the window keeps painting, shows that it is busy and cannot be closed, and a call
// asked for meanwhile (a timer's) runs after it, in call order.
#include "console/main/espera.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "comum_formularios.h"
#include "console/binding/ecf_dll.h"

#ifdef BELMORA_COM_EMULADOR
namespace {

// Counts the paint events of one window's widgets.
struct Pinturas : QObject {
    explicit Pinturas(QWidget* janela) : janela(janela) { qApp->installEventFilter(this); }
    ~Pinturas() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* w = qobject_cast<QWidget*>(o);
        total += e->type() == QEvent::Paint && w && w->window() == janela;
        return false;
    }
    QWidget* janela;
    int total = 0;
};

using SemTravar = teste::NaJanela;

TEST_F(SemTravar, ASilentPrinterCallKeepsTheWindowPaintingBusyAndOpen) {
    impressora.Silencia(1);
    Pinturas pinturas(janela.get());
    // Every 100 ms of the wait: the paints since the tick before, a repaint asked for, the
    // busy cursor, and once a close (refused); meanwhile another timer calls the driver too.
    std::vector<int> porTique;
    int antes = 0;
    bool ocupado = true, fechou = false, segunda = false;
    QTimer tique;
    QObject::connect(&tique, &QTimer::timeout, [&] {
        if (!belmora::EsperandoChamada()) return;
        porTique.push_back(pinturas.total - antes);
        antes = pinturas.total;
        ocupado = ocupado && QApplication::overrideCursor() &&
                  QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        janela->update();
        if (porTique.size() == 3) fechou = janela->close();
    });
    tique.start(100);
    QTimer::singleShot(450, [&] { segunda = dll::Tarvo_AbrePortaSerial() >= 0; });
    const int r = dll::Tarvo_AcionaGaveta();  // on the window's thread, as a form's handler calls it
    QTRY_VERIFY_WITH_TIMEOUT(segunda, 30000);
    tique.stop();
    EXPECT_NE(r, 1);
    // A silent printer costs its time-out (5 s at least): dozens of ticks ran meanwhile, and
    // each repaint asked for by one was done before the next.
    ASSERT_GE(porTique.size(), 10u);
    for (std::size_t i = 1; i < porTique.size(); ++i) EXPECT_GE(porTique[i], 1) << "tick " << i;
    EXPECT_TRUE(ocupado);
    EXPECT_FALSE(fechou);
    // Both records whole, in call order: the first's result line before the second call.
    const std::string log = LogDLL();
    const auto a = log.find("Tarvo_AcionaGaveta();"), b = log.find("Tarvo_AbrePortaSerial();");
    ASSERT_NE(b, std::string::npos) << log;
    EXPECT_LT(log.find("Retorno da DLL", a), b) << log;
}

}  // namespace
#endif
