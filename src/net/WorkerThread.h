// A thread that runs Step over and over until it is asked to stop or Step
// raises an error. The error ends the loop and is swallowed; a derived
// class hears of it through Failed when no stop request explains it.
#pragma once

#include <atomic>
#include <thread>

namespace skimby {

class TWorkerThread {
  public:
    TWorkerThread() = default;
    // A derived class joins in its own destructor, before its members go.
    virtual ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    void Start();
    // Waits for the thread to end (it must have been given a reason to).
    void Join();
    // The loop has ended; the thread is about to finish.
    bool Ended() const { return FEnded; }

    std::atomic<bool> StopRequested{false};

  protected:
    virtual void Step() = 0;
    // On the thread, after Step raised an error while no stop was requested
    // (StopRequested is set by then). Its own errors are swallowed too.
    virtual void Failed() {}

  private:
    void Execute();

    std::thread FThread;
    std::atomic<bool> FEnded{false};
};

}  // namespace skimby
