// A plain TCP client for talking to the practice server on 127.0.0.1, with
// every wait bounded.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skimby::practice {

class TLoopbackClient {
  public:
    // receiveBuffer: SO_RCVBUF before connecting (0 keeps the system's), to
    // make a client that stops reading fill up quickly.
    explicit TLoopbackClient(int port, int receiveBuffer = 0) {
        Fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBuffer > 0)
            ::setsockopt(Fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        Connected = ::connect(Fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~TLoopbackClient() { ::close(Fd); }
    TLoopbackClient(const TLoopbackClient&) = delete;
    TLoopbackClient& operator=(const TLoopbackClient&) = delete;

    bool Connected = false;
    std::string Received;
    bool Closed = false;  // the server closed its side

    void Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(Fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0) return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // Reads until done(Received) holds, the server closes or the time is up;
    // gives done(Received) at the end.
    bool ReadUntil(const std::function<bool(const std::string&)>& done,
                   std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        char buffer[65536];
        while (!done(Received) && !Closed) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{Fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            const ssize_t n = ::recv(Fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                Closed = true;
            else
                Received.append(buffer, static_cast<std::size_t>(n));
        }
        return done(Received);
    }

    bool ReadUntilContains(std::string_view text) {
        return ReadUntil([&](const std::string& r) { return r.find(text) != std::string::npos; });
    }
    bool ReadUntilClosed() {
        return ReadUntil([](const std::string&) { return false; }), Closed;
    }

    // The complete lines received so far (CR LF ended), without line ends.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = Received.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(Received.substr(start, end - start));
        return lines;
    }

  private:
    int Fd = -1;
};

// Counts the complete "DX de " lines in received text.
inline std::size_t SpotLineCount(const std::string& received) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = received.find("DX de ", at)) != std::string::npos; ++at)
        if (received.find("\r\n", at) != std::string::npos) ++count;
    return count;
}

}  // namespace skimby::practice
