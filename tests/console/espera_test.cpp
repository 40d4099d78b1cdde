// The window while a driver call waits for a silent printer: the call runs off the window's
// thread, the window keeps painting and shows that it is busy, and it cannot be closed until
// the call is back.
#include "console/main/espera.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "comum_formularios.h"
#include "console/binding/ecf_dll.h"

#ifdef BELMORA_COM_EMULADOR
namespace {

// Counts the paint events of one window's widgets.
class Pinturas : public QObject {
  public:
    explicit Pinturas(QWidget* janela) : janela_(janela) { qApp->installEventFilter(this); }
    ~Pinturas() override { qApp->removeEventFilter(this); }
    int total = 0;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && w->window() == janela_) ++total;
        }
        return false;
    }

  private:
    QWidget* janela_;
};

using SemTravar = teste::NaJanela;

TEST_F(SemTravar, ASilentPrinterCallKeepsTheWindowPaintingBusyAndOpen) {
    impressora.Silencia(1);
    Pinturas pinturas(janela.get());
    // Every 100 ms while the call waits: the paints since the tick before, then a repaint asked
    // for; the busy cursor; and a close that must be refused.
    std::vector<int> porTique;
    int antes = 0;
    bool cursorOcupado = true, fechou = false;
    QTimer tique;
    tique.setInterval(100);
    QObject::connect(&tique, &QTimer::timeout, [&] {
        if (!belmora::EsperandoChamada()) return;
        porTique.push_back(pinturas.total - antes);
        antes = pinturas.total;
        cursorOcupado = cursorOcupado && QApplication::overrideCursor() &&
                        QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        if (porTique.size() == 3) fechou = janela->close();
        janela->update();
    });
    tique.start();
    const int r = dll::Tarvo_AcionaGaveta();  // on the window's thread, as a form's handler calls it
    tique.stop();
    EXPECT_NE(r, 1);
    // A silent printer costs its time-out (5 s at least): dozens of ticks ran meanwhile.
    ASSERT_GE(porTique.size(), 10u);
    // Each repaint asked for by a tick was done before the next tick.
    for (std::size_t i = 1; i < porTique.size(); ++i) EXPECT_GE(porTique[i], 1) << "tick " << i;
    EXPECT_TRUE(cursorOcupado);
    EXPECT_FALSE(fechou);
    EXPECT_TRUE(janela->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The call and its record, once, in the call log.
    const std::string log = LogDLL();
    EXPECT_NE(log.find("Tarvo_AcionaGaveta();"), std::string::npos) << log;
    EXPECT_EQ(log.find("Tarvo_AcionaGaveta();"), log.rfind("Tarvo_AcionaGaveta();"));
}

TEST_F(SemTravar, CallsAskedForDuringAnotherOnesWaitRunAfterItInCallOrder) {
    impressora.Silencia(1);
    // A timer that calls the driver while the first call waits: it runs after that one, and
    // the call log has the two records whole, in the order the calls were made.
    bool segunda = false;
    QTimer::singleShot(200, [&] {
        dll::Tarvo_AbrePortaSerial();
        segunda = true;
    });
    const int primeira = dll::Tarvo_AcionaGaveta();
    EXPECT_NE(primeira, 1);
    QTRY_VERIFY_WITH_TIMEOUT(segunda, 30000);
    const std::string log = LogDLL();
    const auto a = log.find("Tarvo_AcionaGaveta();"), b = log.find("Tarvo_AbrePortaSerial();");
    ASSERT_NE(a, std::string::npos) << log;
    ASSERT_NE(b, std::string::npos) << log;
    EXPECT_LT(a, b) << log;
    // The first record's result line comes before the second call's line.
    EXPECT_LT(log.find("Retorno da DLL", a), b) << log;
}

}  // namespace
#endif
