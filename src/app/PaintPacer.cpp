#include "app/PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace skimby {

TPaintPacer::TPaintPacer(QWidget& window, std::chrono::milliseconds interval)
    : QObject(&window), Window(window), Interval(interval) {
    Held.setSingleShot(true);
    connect(&Held, &QTimer::timeout, this, [this] { Paint(); });
    Window.installEventFilter(this);
}

void TPaintPacer::PaintNow() {
    Held.stop();
    Paint();
}

void TPaintPacer::Paint() {
    Painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&Window, &request);
    Painting = false;
}

bool TPaintPacer::eventFilter(QObject* watched, QEvent* e) {
    if (watched != &Window || e->type() != QEvent::UpdateRequest) return false;
    const auto now = std::chrono::steady_clock::now();
    if (Painting || now - LastPaint >= Interval) {
        LastPaint = now;
        Held.stop();
        return false;
    }
    if (!Held.isActive())
        Held.start(std::chrono::ceil<std::chrono::milliseconds>(LastPaint + Interval - now));
    return true;
}

}  // namespace skimby
