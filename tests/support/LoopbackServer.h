// A TCP server on 127.0.0.1 for tests and benchmarks: it listens on a free
// port and runs a script with each connection it accepts, one after the
// other, on its own thread. Every wait of the server is bounded, so a client
// that misbehaves makes the script fail (Error()) instead of hanging.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

namespace skimby {

using namespace std::chrono_literals;

// A TCP socket bound to 127.0.0.1, on `port` or, for 0, on a free port
// (given back in `boundPort`), and listening when `backlog` is above 0.
// A fixed port may be taken again at once after an earlier test's close.
// Throws with the reason when any step fails.
inline int BindLoopback(std::uint16_t port, int backlog, std::uint16_t& boundPort) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error(std::string("socket failed: ") + std::strerror(errno));
    const int on = 1;
    if (port != 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        (backlog > 0 && listen(fd, backlog) != 0) ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const std::string reason = std::strerror(errno);
        close(fd);
        throw std::runtime_error("cannot bind on 127.0.0.1:" + std::to_string(port) + ": " +
                                 reason);
    }
    boundPort = ntohs(address.sin_port);
    return fd;
}

// Polls one descriptor until the deadline; false when it passed.
inline bool PollUntil(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) return false;
        pollfd p{fd, events, 0};
        int r = poll(&p, 1, static_cast<int>(left.count()));
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) return false;
    }
}

// The server's side of one connection.
class TPeer {
  public:
    explicit TPeer(int fd) : Fd(fd) {}
    ~TPeer() { Close(); }
    TPeer(const TPeer&) = delete;
    TPeer& operator=(const TPeer&) = delete;

    std::chrono::milliseconds Patience = 5s;  // the longest any one wait may take

    void Send(std::string_view bytes) {
        auto deadline = std::chrono::steady_clock::now() + Patience;
        while (!bytes.empty()) {
            ssize_t n = send(Fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(n));
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                if (!PollUntil(Fd, POLLOUT, deadline)) throw std::runtime_error("send timed out");
            } else {
                throw std::runtime_error("send failed: " + std::to_string(errno));
            }
        }
    }

    // Exactly count bytes; fails when they do not come in time.
    std::string Receive(std::size_t count) {
        std::string bytes;
        auto deadline = std::chrono::steady_clock::now() + Patience;
        while (bytes.size() < count) {
            if (!PollUntil(Fd, POLLIN, deadline)) throw std::runtime_error("receive timed out");
            char buffer[4096];
            ssize_t n = recv(Fd, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
            if (n <= 0) throw std::runtime_error("peer closed before " + std::to_string(count));
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }

    // Everything until the client closes its sending side.
    std::string ReceiveUntilClosed() {
        std::string bytes;
        auto deadline = std::chrono::steady_clock::now() + Patience;
        for (;;) {
            if (!PollUntil(Fd, POLLIN, deadline)) throw std::runtime_error("close timed out");
            char buffer[4096];
            ssize_t n = recv(Fd, buffer, sizeof buffer, 0);
            if (n == 0) return bytes;
            if (n < 0) {
                if (errno == ECONNRESET) return bytes;
                throw std::runtime_error("receive failed");
            }
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // Waits until the client closes, whatever it still sends.
    void WaitClosed() { ReceiveUntilClosed(); }

    // Sends FIN, keeps reading possible.
    void ShutdownSend() { shutdown(Fd, SHUT_WR); }

    // Closes with an RST instead of a FIN.
    void Reset() {
        linger l{1, 0};
        setsockopt(Fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        Close();
    }

    void Close() {
        if (Fd >= 0) close(Fd);
        Fd = -1;
    }

    int Fd;
};

class TLoopbackServer {
  public:
    using TScript = std::function<void(TPeer& peer)>;

    // Accepts up to `connections` connections and runs the script with each.
    explicit TLoopbackServer(TScript script, int connections = 1)
        : Script(std::move(script)), Connections(connections) {
        Listener = BindLoopback(0, 8, FPort);
        Thread = std::thread([this] { Serve(); });
    }

    ~TLoopbackServer() { Stop(); }
    TLoopbackServer(const TLoopbackServer&) = delete;
    TLoopbackServer& operator=(const TLoopbackServer&) = delete;

    std::uint16_t Port() const { return FPort; }

    // Waits until the scripts of every expected connection have ended (or
    // no connection came in time).
    void Join() {
        if (Thread.joinable()) Thread.join();
    }

    // Ends at once when no connection is being served, else after its script.
    void Stop() {
        Stopping = true;
        if (Thread.joinable()) {
            shutdown(Listener, SHUT_RDWR);
            Thread.join();
        }
        if (Listener >= 0) close(Listener);
        Listener = -1;
    }

    // The first failure of a script or of accepting, empty when none.
    std::string Error() {
        std::lock_guard lock(Lock);
        return FError;
    }
    int Accepted() const { return FAccepted; }

  private:
    void Serve() {
        auto patience = std::chrono::steady_clock::now() + 10s;
        for (int i = 0; i < Connections && !Stopping; ++i) {
            // Short polls, so that Stop is noticed soon.
            while (!Stopping &&
                   !PollUntil(Listener, POLLIN, std::chrono::steady_clock::now() + 50ms))
                if (std::chrono::steady_clock::now() > patience) return;
            if (Stopping) return;
            int fd = accept4(Listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) return;
            ++FAccepted;
            TPeer peer(fd);
            try {
                Script(peer);
            } catch (const std::exception& e) {
                std::lock_guard lock(Lock);
                if (FError.empty()) FError = e.what();
            }
        }
    }

    TScript Script;
    int Connections;
    int Listener = -1;
    std::uint16_t FPort = 0;
    std::atomic<bool> Stopping{false};
    std::atomic<int> FAccepted{0};
    std::mutex Lock;
    std::string FError;
    std::thread Thread;
};

// A port on 127.0.0.1 that is bound but not listening: connecting to it is
// refused, and no other program can take it while this object lives.
class TRefusingPort {
  public:
    TRefusingPort() { Fd = BindLoopback(0, 0, FPort); }
    ~TRefusingPort() { close(Fd); }
    TRefusingPort(const TRefusingPort&) = delete;
    TRefusingPort& operator=(const TRefusingPort&) = delete;
    std::uint16_t Port() const { return FPort; }

  private:
    int Fd;
    std::uint16_t FPort = 0;
};

}  // namespace skimby
