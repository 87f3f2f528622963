// The windowing services the anti-freeze uses, done with Qt: processing the
// pending events of the user-interface thread, and telling that thread from
// the others.
#pragma once

#include <thread>

#include "net/AntiFreeze.h"

namespace skimby {

class TQtWindowServices final : public TWindowServices {
  public:
    // Made on the user-interface thread, after the application object.
    TQtWindowServices();

    // Every event pending at the call: input, timers, posted calls, paints.
    void ProcessMessages() override;
    // One pass of the event dispatcher without waiting: Qt has no smaller
    // step than that.
    void HandleMessage() override;
    // A comparison with the thread id remembered at construction: cheap and
    // safe from any thread.
    bool IsUiThread() const override { return std::this_thread::get_id() == UiThread; }

  private:
    const std::thread::id UiThread;
};

}  // namespace skimby
