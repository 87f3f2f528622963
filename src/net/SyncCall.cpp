#include "net/SyncCall.h"

#include "net/NetErrors.h"

namespace skimby {

void TSyncCall::Run(const std::shared_ptr<TSyncCall>& call, TUiDispatcher& dispatcher) {
    // The task keeps the call alive; a dropped call it finds does nothing.
    dispatcher.Post([call] { call->Execute(); });
    std::unique_lock lock(call->Lock);
    call->Changed.wait(
        lock, [&] { return call->State == TState::Done || call->State == TState::Dropped; });
    if (call->State == TState::Dropped) throw EDeliveryDropped();
    if (call->Error) std::rethrow_exception(call->Error);
}

void TSyncCall::Execute() {
    {
        std::lock_guard lock(Lock);
        if (State != TState::Pending) return;
        State = TState::Running;
        Runner = std::this_thread::get_id();
    }
    std::exception_ptr error;
    try {
        Function();
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard lock(Lock);
        Error = error;
        State = TState::Done;
    }
    // Outside the lock, so the woken waiter does not block on it at once;
    // the posted task still holds the call.
    Changed.notify_all();
}

void TSyncCall::Drop() {
    std::unique_lock lock(Lock);
    if (State == TState::Pending) {
        State = TState::Dropped;
        Changed.notify_all();
        return;
    }
    if (State == TState::Running && Runner != std::this_thread::get_id())
        Changed.wait(lock, [&] { return State == TState::Done; });
}

}  // namespace skimby
