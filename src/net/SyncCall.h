// A call that a worker thread makes into the user-interface thread and
// waits for: the function runs there, the worker blocks until it has
// returned, and an error it raised is raised again in the worker.
//
// The wait can be cut short: whoever is about to wait for the worker (a
// destructor joining it, for example, possibly on the user-interface thread
// itself) drops the call first. A call that has not started then never
// runs, and the worker's wait ends with EDeliveryDropped; a call that is
// running is waited for. So no thread ever blocks on a call that cannot run.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "net/UiDispatcher.h"

namespace skimby {

class TSyncCall {
  public:
    explicit TSyncCall(std::function<void()> function) : Function(std::move(function)) {}

    // Posts the call and waits until it has run (raising its error again) or
    // was dropped (raising EDeliveryDropped).
    static void Run(const std::shared_ptr<TSyncCall>& call, TUiDispatcher& dispatcher);

    // Keeps the call from running if it has not started; waits for it to
    // end if it runs on another thread. Not to be called from inside the
    // call itself.
    void Drop();

  private:
    enum class TState { Pending, Running, Done, Dropped };
    void Execute();  // on the user-interface thread

    std::function<void()> Function;
    std::mutex Lock;
    std::condition_variable Changed;
    TState State = TState::Pending;
    std::exception_ptr Error;
    std::thread::id Runner;
};

}  // namespace skimby
