#include "app/PaintPacer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QWidget>
#include <chrono>
#include <thread>

#include "support/QtTestApp.h"

namespace skimby {
namespace {

using namespace std::chrono_literals;

// A window that remembers how often it was painted and which state it
// showed last.
class TCountingWindow : public QWidget {
  public:
    int Paints = 0;
    int State = 0;
    int PaintedState = -1;

  protected:
    void paintEvent(QPaintEvent*) override {
        ++Paints;
        PaintedState = State;
    }
};

class PaintPacerTest : public testing::Test {
  protected:
    PaintPacerTest() {
        Window.resize(200, 100);
        Window.show();
        Settle(50ms);
    }
    // Processes events for the given time.
    void Settle(std::chrono::milliseconds time) {
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(1ms);
        }
    }

    QApplication& App = QtTestApp();
    TCountingWindow Window;
};

TEST_F(PaintPacerTest, ManyChangesArePaintedAtMostOncePerIntervalAndTheLastOneAlways) {
    TPaintPacer pacer(Window, 100ms);
    Window.Paints = 0;
    // A change every few milliseconds for about half a second.
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < 500ms) {
        ++Window.State;
        Window.update();
        Settle(3ms);
    }
    const auto changing = std::chrono::steady_clock::now() - start;
    const int mostPaints = static_cast<int>(changing / 100ms) + 2;
    EXPECT_LE(Window.Paints, mostPaints);
    EXPECT_GE(Window.Paints, 2);  // not held back for good
    Settle(150ms);
    EXPECT_EQ(Window.PaintedState, Window.State);

    // After a quiet spell a change is painted at once.
    Settle(150ms);
    ++Window.State;
    Window.update();
    QApplication::processEvents();
    EXPECT_EQ(Window.PaintedState, Window.State);
}

TEST_F(PaintPacerTest, PaintNowPaintsWhatIsWaitingAtOnce) {
    TPaintPacer pacer(Window, 10s);
    ++Window.State;
    Window.update();
    QApplication::processEvents();  // the first paint after a long while
    ASSERT_EQ(Window.PaintedState, Window.State);
    ++Window.State;
    Window.update();
    QApplication::processEvents();
    EXPECT_NE(Window.PaintedState, Window.State);  // held back
    pacer.PaintNow();
    EXPECT_EQ(Window.PaintedState, Window.State);
}

}  // namespace
}  // namespace skimby
