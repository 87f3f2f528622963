#include "net/AntiFreeze.h"

#include <algorithm>
#include <mutex>

namespace skimby {

namespace {

// Readers on other threads look at the active anti-freeze while the
// user-interface thread may destroy it: both go through this lock.
std::mutex GActiveLock;
TAntiFreezeBase* GActive = nullptr;

}  // namespace

TAntiFreezeBase::TAntiFreezeBase(TWindowServices& services) : Services(services) {
    std::lock_guard lock(GActiveLock);
    GActive = this;
}

TAntiFreezeBase::~TAntiFreezeBase() {
    std::lock_guard lock(GActiveLock);
    if (GActive == this) GActive = nullptr;
}

TAntiFreezeBase* TAntiFreezeBase::ActiveAntiFreeze() {
    std::lock_guard lock(GActiveLock);
    return GActive;
}

void TAntiFreezeBase::PumpMessages(bool idle, bool override) {
    TWindowServices* services = nullptr;
    bool all = true;
    {
        std::lock_guard lock(GActiveLock);
        if (GActive == nullptr || !GActive->Active) return;
        if (!(idle || !GActive->OnlyWhenIdle || override)) return;
        if (!GActive->Services.IsUiThread()) return;
        services = &GActive->Services;
        all = GActive->ApplicationHasPriority;
    }
    // On the user-interface thread, which alone destroys anti-freezes, so the
    // services stay valid after the lock is left.
    if (all) {
        services->ProcessMessages();
    } else {
        services->HandleMessage();
    }
}

bool TAntiFreezeBase::SliceTimeOut(int& milliseconds) {
    std::lock_guard lock(GActiveLock);
    if (GActive == nullptr || !GActive->Active) return false;
    // A slice of 0 ms or less would spin; one millisecond is the least.
    milliseconds = std::max(1, GActive->IdleTimeOut.load());
    return true;
}

}  // namespace skimby
