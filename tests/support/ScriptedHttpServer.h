// A scripted HTTP server on 127.0.0.1 for tests and benchmarks. Each
// accepted connection takes the next canned reply of the script (or the
// repeated reply once the script is used up): the server reads the request
// up to its empty line and records its bytes, sends the reply's bytes
// (at once or dripped in pieces), and then closes or resets the connection.
// Every connection is closed within a few seconds whatever the client does,
// so a client that waits for more never hangs a test.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace skimby {

struct TCannedReply {
    std::string Bytes;
    // 0: send all bytes in one go; otherwise pieces of this many bytes,
    // each its own send, with DripPauseMs between them.
    std::size_t DripSize = 0;
    int DripPauseMs = 0;
    // End with a reset (SO_LINGER 0) instead of an orderly close.
    bool Reset = false;
};

class TScriptedHttpServer {
  public:
    // Listens on 127.0.0.1:`port` (0: any free port); throws when the
    // port cannot be had.
    explicit TScriptedHttpServer(std::vector<TCannedReply> script = {}, std::uint16_t port = 0);
    ~TScriptedHttpServer();
    TScriptedHttpServer(const TScriptedHttpServer&) = delete;
    TScriptedHttpServer& operator=(const TScriptedHttpServer&) = delete;

    // A server on a fixed port, or none when the port is taken or not allowed.
    static std::unique_ptr<TScriptedHttpServer> TryListen(std::uint16_t port,
                                                          std::vector<TCannedReply> script = {});

    std::uint16_t Port() const { return FPort; }
    // "http://127.0.0.1:<port>" followed by `target`.
    std::string Url(std::string_view target) const;

    void Add(TCannedReply reply);
    // The reply for every connection after the script; none: close at once.
    void SetRepeat(std::optional<TCannedReply> reply);

    // The request bytes of every connection so far, in order.
    std::vector<std::string> Requests() const;
    std::size_t Connections() const;

    // Seconds after which a connection is closed whatever state it is in.
    static constexpr int kConnectionLimitSeconds = 10;

  private:
    void Run();
    void Serve(int fd);
    std::shared_ptr<const TCannedReply> NextReply();

    int FListenFd = -1;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    mutable std::mutex FMutex;
    // Shared so that a long reply is not copied for every connection.
    std::vector<std::shared_ptr<const TCannedReply>> FScript;
    std::size_t FNext = 0;
    std::shared_ptr<const TCannedReply> FRepeat;
    std::vector<std::string> FRequests;
    std::size_t FConnections = 0;
    std::thread FThread;
};

}  // namespace skimby
