#include "practice-server/Sockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace skimby::practice {

TSocket& TSocket::operator=(TSocket&& other) noexcept {
    if (this != &other) {
        Reset();
        Fd = other.Release();
    }
    return *this;
}

int TSocket::Release() {
    const int fd = Fd;
    Fd = -1;
    return fd;
}

void TSocket::Reset() {
    if (Fd >= 0) ::close(Fd);
    Fd = -1;
}

TSocket Listen(int port, std::string_view what, std::string_view option) {
    const std::string where = "127.0.0.1:" + std::to_string(port);
    auto fail = [&](const std::string& why) {
        return TPracticeError("cannot listen for the " + std::string(what) + " on " + where + ": " +
                              why);
    };
    TSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.Valid()) throw fail(std::strerror(errno));
    const int on = 1;
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EADDRINUSE)
            throw fail("the port is already in use (another practice server, perhaps?); " +
                       std::string(option) + " chooses another");
        if (errno == EACCES) throw fail("no permission to use that port; choose one above 1023");
        throw fail(std::strerror(errno));
    }
    if (::listen(socket.Get(), 16) != 0) throw fail(std::strerror(errno));
    return socket;
}

int LocalPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return ntohs(address.sin_port);
}

std::string PeerText(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return "?";
    char host[INET_ADDRSTRLEN] = "?";
    ::inet_ntop(AF_INET, &address.sin_addr, host, sizeof host);
    return std::string(host) + ":" + std::to_string(ntohs(address.sin_port));
}

}  // namespace skimby::practice
