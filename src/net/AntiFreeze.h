// Keeps the window responsive while the user-interface thread waits for
// network data: every wait is cut into slices of IdleTimeOut milliseconds,
// and after a slice in which nothing arrived the window's pending messages
// are processed. The slicing happens on every thread; the message
// processing only on the user-interface thread.
#pragma once

#include <atomic>

namespace skimby {

// What the anti-freeze needs from the windowing system; the application
// implements it (the network code does not know the toolkit).
class TWindowServices {
  public:
    virtual ~TWindowServices() = default;
    // Processes every pending window message, then returns. Called only on
    // the user-interface thread; handlers it runs may start other work.
    virtual void ProcessMessages() = 0;
    // Handles one message if one is waiting; returns at once otherwise.
    virtual void HandleMessage() = 0;
    // Whether the calling thread is the user-interface thread. Called on
    // every thread, often: keep it cheap and thread-safe.
    virtual bool IsUiThread() const = 0;
};

class TAntiFreezeBase {
  public:
    // The new anti-freeze becomes the active one (the last created wins).
    explicit TAntiFreezeBase(TWindowServices& services);
    // Destroying the active anti-freeze leaves none active.
    virtual ~TAntiFreezeBase();
    TAntiFreezeBase(const TAntiFreezeBase&) = delete;
    TAntiFreezeBase& operator=(const TAntiFreezeBase&) = delete;

    // Read by waits on any thread, so they are atomic.
    std::atomic<bool> Active{true};
    std::atomic<bool> ApplicationHasPriority{true};
    std::atomic<int> IdleTimeOut{250};  // milliseconds
    std::atomic<bool> OnlyWhenIdle{true};

    static TAntiFreezeBase* ActiveAntiFreeze();

    // Processes window messages when an active anti-freeze exists, the
    // caller is the user-interface thread and (idle or not OnlyWhenIdle or
    // override): all pending messages when ApplicationHasPriority, else one.
    static void PumpMessages(bool idle, bool override = false);

    // The length of one wait slice when waits are to be sliced (an active
    // anti-freeze exists and is Active); false otherwise.
    static bool SliceTimeOut(int& milliseconds);

  private:
    TWindowServices& Services;
};

class TAntiFreeze : public TAntiFreezeBase {
  public:
    using TAntiFreezeBase::TAntiFreezeBase;
};

}  // namespace skimby
