#include "app/QtUiDispatcher.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace skimby {

TQtUiDispatcher::TQtUiDispatcher() : UiThread(std::this_thread::get_id()) {
    Q_ASSERT(QCoreApplication::instance() != nullptr);
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &Receiver,
                     [this] { BeginShutdown(); });
}

TQtUiDispatcher::~TQtUiDispatcher() {
    std::lock_guard lock(PostLock);
    ShuttingDown = true;
    // Receiver goes after this body; Qt drops the calls still queued to it.
}

void TQtUiDispatcher::BeginShutdown() {
    ShuttingDown = true;
}

void TQtUiDispatcher::Post(std::function<void()> task) {
    std::lock_guard lock(PostLock);
    if (ShuttingDown) return;  // dropped
    QMetaObject::invokeMethod(
        &Receiver,
        // Queued calls die with Receiver, so this outlives every one of them.
        [this, task = std::move(task)] {
            if (!ShuttingDown) task();
        },
        Qt::QueuedConnection);
}

}  // namespace skimby
