// A plain event-loop thread that plays the user-interface thread for the
// network code in tests and benchmarks: it runs posted tasks in order, and
// processes them on request when the anti-freeze pumps messages. Stopping
// drops what is still queued, as an application that shuts down does.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "net/AntiFreeze.h"
#include "net/UiDispatcher.h"

namespace skimby {

class TEventLoopThread : public TUiDispatcher, public TWindowServices {
  public:
    TEventLoopThread() {
        std::promise<void> started;
        Thread = std::thread([this, &started] {
            LoopId = std::this_thread::get_id();
            started.set_value();
            Loop();
        });
        started.get_future().wait();
    }
    ~TEventLoopThread() override { Stop(); }
    TEventLoopThread(const TEventLoopThread&) = delete;
    TEventLoopThread& operator=(const TEventLoopThread&) = delete;

    void Post(std::function<void()> task) override {
        std::lock_guard lock(Lock);
        if (Stopping) return;  // dropped
        Queue.push_back(std::move(task));
        Changed.notify_all();
    }

    void ProcessMessages() override {
        if (IsUiThread())
            while (RunOne()) {
            }
    }
    void HandleMessage() override {
        if (IsUiThread()) RunOne();
    }
    bool IsUiThread() const override { return std::this_thread::get_id() == LoopId.load(); }

    std::thread::id Id() const { return LoopId; }

    // Runs the function on the loop thread, waits for it and raises its
    // error again here.
    void Invoke(const std::function<void()>& function) {
        if (IsUiThread()) {
            function();
            return;
        }
        {
            std::lock_guard lock(Lock);
            if (Stopping) throw std::runtime_error("the event loop has stopped");
        }
        std::promise<void> done;
        Post([&] {
            try {
                function();
                done.set_value();
            } catch (...) {
                done.set_exception(std::current_exception());
            }
        });
        done.get_future().get();
    }

    // Tasks posted and not yet started.
    std::size_t Queued() {
        std::lock_guard lock(Lock);
        return Queue.size();
    }

    void Stop() {
        {
            std::lock_guard lock(Lock);
            Stopping = true;
            Queue.clear();
            Changed.notify_all();
        }
        if (Thread.joinable()) Thread.join();
    }

  private:
    bool RunOne() {
        std::function<void()> task;
        {
            std::lock_guard lock(Lock);
            if (Queue.empty()) return false;
            task = std::move(Queue.front());
            Queue.pop_front();
        }
        task();
        return true;
    }

    void Loop() {
        for (;;) {
            {
                std::unique_lock lock(Lock);
                Changed.wait(lock, [this] { return Stopping || !Queue.empty(); });
                if (Stopping) return;
            }
            RunOne();
        }
    }

    std::mutex Lock;
    std::condition_variable Changed;
    std::deque<std::function<void()>> Queue;
    bool Stopping = false;
    std::atomic<std::thread::id> LoopId{};
    std::thread Thread;
};

}  // namespace skimby
