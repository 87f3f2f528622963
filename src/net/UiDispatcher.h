// How work reaches the user-interface thread. The application implements
// it with its toolkit's queued calls; tests with a plain event-loop thread.
#pragma once

#include <functional>

namespace skimby {

class TUiDispatcher {
  public:
    virtual ~TUiDispatcher() = default;

    // Queues the task to run once on the user-interface thread and returns
    // at once, from any thread. Tasks run in the order they were posted,
    // whenever that thread dispatches its messages (its main loop, a modal
    // loop, or ProcessMessages of the anti-freeze). Once the application
    // has begun to shut down, tasks may be dropped without running: the
    // network code never relies on a task running to release a thread it
    // is about to wait for (see TSyncCall). Tasks do not throw.
    virtual void Post(std::function<void()> task) = 0;
};

}  // namespace skimby
