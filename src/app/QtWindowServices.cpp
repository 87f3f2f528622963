#include "app/QtWindowServices.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

namespace skimby {

TQtWindowServices::TQtWindowServices() : UiThread(std::this_thread::get_id()) {
    Q_ASSERT(QCoreApplication::instance() != nullptr);
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
}

void TQtWindowServices::ProcessMessages() {
    if (!IsUiThread()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtWindowServices::HandleMessage() {
    if (!IsUiThread()) return;
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->processEvents(QEventLoop::AllEvents);
}

}  // namespace skimby
