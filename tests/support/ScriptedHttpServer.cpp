#include "support/ScriptedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "support/LoopbackServer.h"

namespace skimby {

namespace {

using TClock = std::chrono::steady_clock;

// Waits up to 50 ms for `events` on `fd`; true when they came.
bool PollSlice(int fd, short events) {
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, 50) > 0;
}

}  // namespace

TScriptedHttpServer::TScriptedHttpServer(std::vector<TCannedReply> script, std::uint16_t port) {
    for (TCannedReply& reply : script)
        FScript.push_back(std::make_shared<const TCannedReply>(std::move(reply)));
    FListenFd = BindLoopback(port, 16, FPort);
    FThread = std::thread([this] { Run(); });
}

TScriptedHttpServer::~TScriptedHttpServer() {
    FStop = true;
    FThread.join();
    ::close(FListenFd);
}

std::unique_ptr<TScriptedHttpServer> TScriptedHttpServer::TryListen(
    std::uint16_t port, std::vector<TCannedReply> script) {
    try {
        return std::make_unique<TScriptedHttpServer>(std::move(script), port);
    } catch (const std::runtime_error&) {
        return nullptr;
    }
}

std::string TScriptedHttpServer::Url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(FPort) + std::string(target);
}

void TScriptedHttpServer::Add(TCannedReply reply) {
    std::lock_guard lock(FMutex);
    FScript.push_back(std::make_shared<const TCannedReply>(std::move(reply)));
}

void TScriptedHttpServer::SetRepeat(std::optional<TCannedReply> reply) {
    std::lock_guard lock(FMutex);
    FRepeat = reply ? std::make_shared<const TCannedReply>(std::move(*reply)) : nullptr;
}

std::vector<std::string> TScriptedHttpServer::Requests() const {
    std::lock_guard lock(FMutex);
    return FRequests;
}

std::size_t TScriptedHttpServer::Connections() const {
    std::lock_guard lock(FMutex);
    return FConnections;
}

std::shared_ptr<const TCannedReply> TScriptedHttpServer::NextReply() {
    std::lock_guard lock(FMutex);
    ++FConnections;
    if (FNext < FScript.size()) return std::move(FScript[FNext++]);
    return FRepeat;
}

void TScriptedHttpServer::Run() {
    while (!FStop) {
        if (!PollSlice(FListenFd, POLLIN)) continue;
        const int fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        Serve(fd);
    }
}

void TScriptedHttpServer::Serve(int fd) {
    const TClock::time_point deadline =
        TClock::now() + std::chrono::seconds(kConnectionLimitSeconds);
    const auto alive = [&] { return !FStop && TClock::now() < deadline; };
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    const std::shared_ptr<const TCannedReply> reply = NextReply();
    std::string request;
    char buffer[4096];
    while (alive() && request.find("\r\n\r\n") == std::string::npos) {
        if (!PollSlice(fd, POLLIN)) continue;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard lock(FMutex);
        FRequests.push_back(request);
    }

    if (reply) {
        const std::string_view bytes = reply->Bytes;
        const std::size_t piece = reply->DripSize ? reply->DripSize : bytes.size();
        std::size_t sent = 0;
        while (alive() && sent < bytes.size()) {
            if (!PollSlice(fd, POLLOUT)) continue;
            const std::size_t want = std::min(piece, bytes.size() - sent);
            const ssize_t n = ::send(fd, bytes.data() + sent, want, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
            if (reply->DripSize && reply->DripPauseMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(reply->DripPauseMs));
        }
        if (reply->Reset) {
            const linger abort{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        }
    }
    ::close(fd);
}

}  // namespace skimby
