// Carries work from any thread to the user-interface thread over Qt's
// queued calls: each task becomes a call queued to an object that lives on
// the user-interface thread, so tasks run there in the order they were
// posted, whenever that thread dispatches its events (the main loop, a
// modal loop, or the anti-freeze's message processing).
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "net/UiDispatcher.h"

namespace skimby {

class TQtUiDispatcher final : public TUiDispatcher {
  public:
    // Made on the user-interface thread, after the application object.
    TQtUiDispatcher();
    // Drops every task still queued. Posting while the dispatcher is being
    // destroyed is safe (the task is dropped); posting after it is gone is
    // not, so the threads that post are stopped first.
    ~TQtUiDispatcher() override;
    TQtUiDispatcher(const TQtUiDispatcher&) = delete;
    TQtUiDispatcher& operator=(const TQtUiDispatcher&) = delete;

    void Post(std::function<void()> task) override;

    // From now on tasks are dropped without running, also those already
    // queued. Begins by itself when the application is about to quit.
    void BeginShutdown();
    bool ShutdownBegun() const { return ShuttingDown; }

    // Whether the calling thread is the user-interface thread.
    bool IsUiThread() const { return std::this_thread::get_id() == UiThread; }

  private:
    const std::thread::id UiThread;
    // Keeps a post from racing the destruction of Receiver.
    std::mutex PostLock;
    std::atomic<bool> ShuttingDown{false};
    // Queued calls are delivered to this object on its thread. Last, so it
    // goes first, while a post can still find the flag above set.
    QObject Receiver;
};

}  // namespace skimby
