// The practice server: a telnet spot cluster and the member-data service,
// both on 127.0.0.1, served by one thread with non-blocking sockets.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>

namespace skimby::practice {

struct TPracticeConfig {
    int TelnetPort = 7300;  // 0: any free port
    int HttpPort = 8073;
    double Rate = 5;           // spot lines a second for each logged-in client
    double MemberShare = 0.2;  // of the spot lines, the share of club members
    std::uint64_t Seed = 1;
    int MemberCount = 150;
    std::size_t QueueLimit = 128 * 1024;  // bytes waiting for one client
    int SendBufferSize = 0;               // SO_SNDBUF of client sockets; 0 keeps the system's
    std::ostream* Log = nullptr;          // a line per connection, login and request
};

// Counters, readable from any thread while the server runs.
struct TPracticeStats {
    std::atomic<std::uint64_t> TelnetConnections{0};
    std::atomic<std::uint64_t> Logins{0};
    std::atomic<std::uint64_t> SpotLines{0};     // queued for sending
    std::atomic<std::uint64_t> DroppedLines{0};  // not queued: the client did not keep up
    std::atomic<std::uint64_t> HttpRequests{0};
};

class TPracticeServer {
  public:
    explicit TPracticeServer(const TPracticeConfig& config);
    ~TPracticeServer();
    TPracticeServer(const TPracticeServer&) = delete;
    TPracticeServer& operator=(const TPracticeServer&) = delete;

    // Binds both ports; throws TPracticeError (a port in use, say).
    void Open();
    // The bound ports, after Open.
    int TelnetPort() const;
    int HttpPort() const;

    // Serves until Stop. Says goodbye to the logged-in clients and closes
    // every connection before it returns.
    void Run();
    // Makes Run return soon. Safe from any thread and from a signal handler.
    void Stop();

    const TPracticeStats& Stats() const;

    // Most connections of each kind served at once; more are closed at once.
    static constexpr std::size_t MaxClients = 100;

  private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};

}  // namespace skimby::practice
