// Reading HTTP replies: status line, header lines, counted, chunked and
// until-close bodies, error replies and redirects, from a real peer. A
// small server on 127.0.0.1 answers each connection of a fetch with the
// next piece of the input (nothing, once the pieces are used up) and then
// closes. Redirect targets are pointed back at that server, so a fetch never
// leaves this machine; https targets are left alone, as they fail at once.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "FuzzInput.h"
#include "net/HttpClient.h"
#include "platform/Exception.h"

namespace {

using namespace skimby;

// Serves one connection after the other on its own thread, for ever.
class TReplyServer {
  public:
    TReplyServer() {
        FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (FListen < 0 || bind(FListen, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
            listen(FListen, 16) != 0 ||
            getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            std::abort();
        FPort = ntohs(addr.sin_port);
        std::thread([this] { Run(); }).detach();
    }

    std::string Url(std::string_view target) const {
        return "http://127.0.0.1:" + std::to_string(FPort) + std::string(target);
    }

    void SetReplies(std::vector<std::string_view> replies) {
        std::lock_guard lock(FLock);
        FReplies.assign(replies.begin(), replies.end());
        FNext = 0;
    }

  private:
    void Run() {
        for (;;) {
            const int fd = accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            std::string reply;
            {
                std::lock_guard lock(FLock);
                if (FNext < FReplies.size()) reply = FReplies[FNext++];
            }
            Serve(fd, reply);
            close(fd);
        }
    }

    // Reads the request, sends the reply, closes the sending side and waits
    // (bounded) for the client to close, so that no unread request byte
    // turns the close into a reset that would cut the reply short.
    static void Serve(int fd, const std::string& reply) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            if (!Readable(fd)) return;
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        for (std::size_t sent = 0; sent < reply.size();) {
            const ssize_t n = send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
        shutdown(fd, SHUT_WR);
        while (Readable(fd) && recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
    }

    static bool Readable(int fd) {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, 5000) == 1;
    }

    int FListen = -1;
    std::uint16_t FPort = 0;
    std::mutex FLock;
    std::vector<std::string> FReplies;
    std::size_t FNext = 0;
};

bool IsHttps(const std::string& url) {
    std::string scheme = TUri::SplitUrl(url).Scheme;
    for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return scheme == "https";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TReplyServer server;
    server.SetReplies(fuzz::Pieces(data, size));

    THttpClient client;
    UseMemberListSettings(client);
    int redirects = 0;
    client.OnRedirect = [&](THttpClient&, std::string& dest, int&, bool&) {
        ++redirects;
        if (!IsHttps(dest)) dest = server.Url("/next");
    };
    try {
        const std::string body = client.FetchText(server.Url("/rbndata2.php?mycall=N0CALL"));
        if (body.size() > static_cast<std::size_t>(THttpClient::MaxReplyBody))
            fuzz::Broken("body past the limit");
    } catch (const Exception&) {
        // Every failure of a fetch is one of the client's errors.
    }
    if (client.HopCount != 0) fuzz::Broken("HopCount not back to 0");
    if (redirects > client.RedirectMaximum) fuzz::Broken("more redirects than allowed");
    return 0;
}
