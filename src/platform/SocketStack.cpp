#include "platform/SocketStack.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace skimby {

namespace {

thread_local int GLastError = 0;
std::atomic<TSocketStack::TResolver> GResolver{&::getaddrinfo};

int Fail(int winsockError) {
    GLastError = winsockError;
    return SocketError;
}

int FailErrno() {
    return Fail(TSocketStack::ErrnoToWinsock(errno));
}

bool MakeAddress(const std::string& ip, std::uint16_t port, sockaddr_in& address) {
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    std::uint32_t host = INADDR_ANY;
    if (!ip.empty() && !ParseDottedQuad(ip, host)) return false;
    address.sin_addr.s_addr = htonl(host);
    return true;
}

int ReadAddress(const sockaddr_in& address, std::string& ip, std::uint16_t& port) {
    ip = DottedQuadText(ntohl(address.sin_addr.s_addr));
    port = ntohs(address.sin_port);
    return 0;
}

// A connect that a signal interrupted goes on in the background; wait for it
// to finish and take its outcome.
int FinishInterruptedConnect(TSocketId s) {
    pollfd p{s, POLLOUT, 0};
    while (poll(&p, 1, -1) < 0)
        if (errno != EINTR) return FailErrno();
    int err = 0;
    socklen_t length = sizeof err;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &length) < 0) return FailErrno();
    if (err != 0) return Fail(TSocketStack::ErrnoToWinsock(err));
    return 0;
}

}  // namespace

TStackStart TSocketStack::Startup() {
    return TStackStart::Started;
}

void TSocketStack::Cleanup() {}

TSocketId TSocketStack::Socket() {
    TSocketId s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) FailErrno();
    return s < 0 ? InvalidSocket : s;
}

int TSocketStack::Bind(TSocketId s, const std::string& ip, std::uint16_t port) {
    sockaddr_in address;
    if (!MakeAddress(ip, port, address)) return Fail(WSAEINVAL);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) return FailErrno();
    return 0;
}

int TSocketStack::Connect(TSocketId s, const std::string& ip, std::uint16_t port) {
    sockaddr_in address;
    if (!MakeAddress(ip, port, address)) return Fail(WSAEINVAL);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return 0;
    if (errno == EINTR) return FinishInterruptedConnect(s);
    return FailErrno();
}

int TSocketStack::Select(TSocketId s, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const bool unlimited = timeoutMs < 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(unlimited ? 0 : timeoutMs);
    pollfd p{s, POLLIN, 0};
    for (;;) {
        int wait = -1;
        if (!unlimited) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
        int r = poll(&p, 1, wait);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return FailErrno();
        if (r == 0) return 0;
        if (p.revents & POLLNVAL) return Fail(WSAENOTSOCK);
        return 1;  // data, end of stream, hang-up or a pending error: recv tells which
    }
}

int TSocketStack::Recv(TSocketId s, char* buffer, int length) {
    for (;;) {
        ssize_t n = recv(s, buffer, static_cast<size_t>(length), 0);
        if (n >= 0) return static_cast<int>(n);
        if (errno != EINTR) return FailErrno();
    }
}

int TSocketStack::Send(TSocketId s, const char* buffer, int length) {
    for (;;) {
        ssize_t n = send(s, buffer, static_cast<size_t>(length), MSG_NOSIGNAL);
        if (n >= 0) return static_cast<int>(n);
        if (errno != EINTR) return FailErrno();
    }
}

int TSocketStack::Shutdown(TSocketId s, TShutdownHow how) {
    int h = how == TShutdownHow::Receive ? SHUT_RD
            : how == TShutdownHow::Send  ? SHUT_WR
                                         : SHUT_RDWR;
    if (shutdown(s, h) < 0) return FailErrno();
    return 0;
}

int TSocketStack::CloseSocket(TSocketId s) {
    // On Linux the descriptor is released even when close reports EINTR, so
    // it is never closed twice.
    if (close(s) < 0 && errno != EINTR) return FailErrno();
    return 0;
}

int TSocketStack::SetNoDelay(TSocketId s, bool on) {
    int value = on ? 1 : 0;
    if (setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &value, sizeof value) < 0) return FailErrno();
    return 0;
}

int TSocketStack::GetSockName(TSocketId s, std::string& ip, std::uint16_t& port) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) < 0) return FailErrno();
    return ReadAddress(address, ip, port);
}

int TSocketStack::GetPeerName(TSocketId s, std::string& ip, std::uint16_t& port) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getpeername(s, reinterpret_cast<sockaddr*>(&address), &length) < 0) return FailErrno();
    return ReadAddress(address, ip, port);
}

std::string TSocketStack::GetHostByName(const std::string& name) {
    // A name with a NUL byte in it would be looked up cut short: no host has it.
    if (name.empty() || name.find('\0') != std::string::npos) {
        Fail(WSAHOST_NOT_FOUND);
        return {};
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    errno = 0;
    int r = GResolver.load()(name.c_str(), nullptr, &hints, &result);
    if (r != 0) {
        Fail(ResolverErrorToWinsock(r, errno));
        return {};
    }
    std::string ip;
    for (addrinfo* a = result; a != nullptr && ip.empty(); a = a->ai_next)
        if (a->ai_family == AF_INET && a->ai_addr != nullptr) {
            sockaddr_in address;
            std::memcpy(&address, a->ai_addr, sizeof address);
            ip = DottedQuadText(ntohl(address.sin_addr.s_addr));
        }
    freeaddrinfo(result);
    if (ip.empty()) Fail(WSANO_DATA);
    return ip;
}

std::uint16_t TSocketStack::HToNS(std::uint16_t v) {
    return htons(v);
}
std::uint16_t TSocketStack::NToHS(std::uint16_t v) {
    return ntohs(v);
}
std::uint32_t TSocketStack::NToHL(std::uint32_t v) {
    return ntohl(v);
}

int TSocketStack::LastError() {
    return GLastError;
}

namespace {

// errno values and the Windows Sockets numbers they stand for. EAGAIN is
// EWOULDBLOCK on Linux; EPIPE is a send after this side or both sides have
// shut down.
struct TErrnoNumber {
    int Errno;
    int Number;
};
const TErrnoNumber ErrnoNumbers[] = {
    {EINTR, 10004},        {EBADF, 10009},           {EACCES, 10013},
    {EPERM, 10013},        {EFAULT, 10014},          {EINVAL, 10022},
    {EMFILE, 10024},       {ENFILE, 10024},          {EWOULDBLOCK, 10035},
    {EINPROGRESS, 10036},  {EALREADY, 10037},        {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},   {ENETDOWN, 10050},
    {ENETUNREACH, 10051},  {ENETRESET, 10052},       {ECONNABORTED, 10053},
    {ECONNRESET, 10054},   {ENOBUFS, 10055},         {ENOMEM, 10055},
    {EISCONN, 10056},      {ENOTCONN, 10057},        {ESHUTDOWN, 10058},
    {EPIPE, 10058},        {ETOOMANYREFS, 10059},    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061}, {ELOOP, 10062},           {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},    {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},
    {EUSERS, 10068},       {EDQUOT, 10069},          {ESTALE, 10070},
    {EREMOTE, 10071},
};

}  // namespace

int TSocketStack::ErrnoToWinsock(int err) {
    for (const auto& e : ErrnoNumbers)
        if (e.Errno == err) return e.Number;
    return err;
}

int TSocketStack::ResolverErrorToWinsock(int eaiError, int err) {
    switch (eaiError) {
        case EAI_NONAME:
        case EAI_ADDRFAMILY:
            return WSAHOST_NOT_FOUND;
        case EAI_NODATA:
            return WSANO_DATA;
        case EAI_AGAIN:
            return WSATRY_AGAIN;
        case EAI_MEMORY:
            return WSAENOBUFS;
        case EAI_SYSTEM:
            return err != 0 ? ErrnoToWinsock(err) : WSANO_RECOVERY;
        default:
            return WSANO_RECOVERY;
    }
}

void TSocketStack::SetResolver(TResolver resolver) {
    GResolver.store(resolver != nullptr ? resolver : &::getaddrinfo);
}

bool ParseDottedQuad(const std::string& text, std::uint32_t& hostOrder) {
    std::uint32_t value = 0;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        // The fourth part is everything after the third ".".
        std::size_t end = part < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos || end == start) return false;
        unsigned number = 0;
        for (std::size_t i = start; i < end; ++i) {
            char c = text[i];
            if (c < '0' || c > '9') return false;
            number = number * 10 + static_cast<unsigned>(c - '0');
            if (number > 255) return false;
        }
        value = (value << 8) | number;
        start = end + 1;
    }
    hostOrder = value;
    return true;
}

std::string DottedQuadText(std::uint32_t hostOrder) {
    return std::to_string(hostOrder >> 24) + "." + std::to_string((hostOrder >> 16) & 255) + "." +
           std::to_string((hostOrder >> 8) & 255) + "." + std::to_string(hostOrder & 255);
}

}  // namespace skimby
