// Keeps a window from being painted more often than a person can see:
// an update request that comes sooner than the interval after the last
// paint is held back, and the window is painted once when the interval is
// over, with everything that changed meanwhile. A stream of small changes
// (a counter, rows arriving many times a second) then costs one paint and
// one transfer to the display per interval instead of one per change.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

class QWidget;

namespace skimby {

class TPaintPacer : public QObject {
  public:
    // Paces the paints of the top-level window given, which it belongs to.
    TPaintPacer(QWidget& window, std::chrono::milliseconds interval);

    // Paints what is waiting at once, the interval notwithstanding.
    void PaintNow();

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void Paint();

    QWidget& Window;
    std::chrono::milliseconds Interval;
    std::chrono::steady_clock::time_point LastPaint{};
    QTimer Held;
    bool Painting = false;
};

}  // namespace skimby
