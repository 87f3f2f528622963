// Helpers shared by the network tests: a log of a connection's events that
// any thread may write, waiting for a condition with a bound, and a host
// lookup stand-in that knows two test names.
#pragma once

#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/TcpClient.h"
#include "platform/SocketStack.h"

namespace skimby {

using namespace std::chrono_literals;

// Polls the condition until it holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = 5s) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// The status texts and notifications of a connection, in order, with the
// thread that raised each.
class TEventLog {
  public:
    void Attach(TTcpClient& client) {
        client.OnStatus = [this](TNetComponent&, TNetStatus, const std::string& text) {
            Add(text);
        };
        client.OnConnected = [this](TNetComponent&) { Add("OnConnected"); };
        client.OnDisconnected = [this](TNetComponent&) { Add("OnDisconnected"); };
    }

    void Add(const std::string& event) {
        std::lock_guard lock(Lock);
        FEvents.push_back(event);
        FThreads.push_back(std::this_thread::get_id());
    }

    std::vector<std::string> Events() const {
        std::lock_guard lock(Lock);
        return FEvents;
    }
    std::vector<std::thread::id> Threads() const {
        std::lock_guard lock(Lock);
        return FThreads;
    }
    std::size_t Size() const {
        std::lock_guard lock(Lock);
        return FEvents.size();
    }
    void Clear() {
        std::lock_guard lock(Lock);
        FEvents.clear();
        FThreads.clear();
    }

  private:
    mutable std::mutex Lock;
    std::vector<std::string> FEvents;
    std::vector<std::thread::id> FThreads;
};

// The host lookup of the tests: "cluster.test" is 127.0.0.1, every other
// name is unknown (no name server is ever asked). Counts its calls.
inline std::atomic<int> GLookups{0};

inline int TestResolver(const char* node, const char* service, const addrinfo* hints,
                        addrinfo** result) {
    ++GLookups;
    if (std::strcmp(node, "cluster.test") == 0)
        return getaddrinfo("127.0.0.1", service, hints, result);
    return EAI_NONAME;
}

class TTestResolver {
  public:
    TTestResolver() {
        GLookups = 0;
        TSocketStack::SetResolver(&TestResolver);
    }
    ~TTestResolver() { TSocketStack::SetResolver(nullptr); }
    int Lookups() const { return GLookups; }
};

}  // namespace skimby
