#include "practice-server/PracticeServer.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "practice-server/HttpService.h"
#include "practice-server/LineSchedule.h"
#include "practice-server/MemberList.h"
#include "practice-server/OutputQueue.h"
#include "practice-server/Sockets.h"
#include "practice-server/SpotLines.h"
#include "practice-server/TelnetSession.h"

namespace skimby::practice {

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long a connection may take to send its request, to read its last
// reply, and to close after that.
constexpr auto RequestTime = 10s;
constexpr auto FlushTime = 10s;
constexpr auto DrainTime = 2s;

enum class TPhase {
    Open,      // reading and writing
    Flushing,  // the last reply is queued: writing only
    Draining,  // everything sent and our side shut: waiting for the client to close
    Closed,
};

struct TConnection {
    TConnection(TSocket socket, std::size_t limit)
        : Socket(std::move(socket)), Peer(PeerText(Socket.Get())), Output(limit) {}
    virtual ~TConnection() = default;

    TSocket Socket;
    std::string Peer;
    TOutputQueue Output;
    TPhase Phase = TPhase::Open;
    TClock::time_point Deadline = TClock::time_point::max();
};

struct TTelnetClient : TConnection {
    using TConnection::TConnection;
    TTelnetSession Session;
    std::optional<TSpotGenerator> Spots;
    std::optional<TLineSchedule> Schedule;
    std::uint64_t Sent = 0;
    std::uint64_t Dropped = 0;
};

struct THttpClient : TConnection {
    using TConnection::TConnection;
    std::string Input;
};

// What a client sent, fit for a terminal: other bytes than printable ASCII
// become "?".
std::string Printable(std::string text) {
    for (char& c : text)
        if (c < ' ' || c > '~') c = '?';
    return text;
}

std::string LocalClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

}  // namespace

struct TPracticeServer::TImpl {
    explicit TImpl(const TPracticeConfig& config)
        : Config(config), Members(config.Seed, config.MemberCount) {}

    void Log(const std::string& text) {
        if (Config.Log) *Config.Log << LocalClock() << ' ' << text << std::endl;
    }

    void Run();
    void AcceptAll(int listener, bool telnet);
    template <typename THandle>
    void ReadSome(TConnection& c, THandle handle);
    void ReadTelnet(TTelnetClient& client);
    void ReadHttp(THttpClient& client);
    void StartSpots(TTelnetClient& client);
    void StreamSpots(double seconds);
    void Flush(TConnection& connection);
    void Advance(TConnection& connection, TClock::time_point now);
    void Close(TConnection& connection, const std::string& why);
    void SayGoodbye();
    int PollTimeout() const;

    TPracticeConfig Config;
    TMemberList Members;
    TPracticeStats Stats;
    TSocket TelnetListener;
    TSocket HttpListener;
    TSocket WakeRead;
    TSocket WakeWrite;
    std::vector<std::unique_ptr<TTelnetClient>> TelnetClients;
    std::vector<std::unique_ptr<THttpClient>> HttpClients;
};

TPracticeServer::TPracticeServer(const TPracticeConfig& config)
    : Impl(std::make_unique<TImpl>(config)) {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        throw TPracticeError(std::string("cannot make a pipe: ") + std::strerror(errno));
    Impl->WakeRead = TSocket(fds[0]);
    Impl->WakeWrite = TSocket(fds[1]);
}

TPracticeServer::~TPracticeServer() = default;

void TPracticeServer::Open() {
    Impl->TelnetListener = Listen(Impl->Config.TelnetPort, "telnet cluster", "--telnet-port");
    Impl->HttpListener = Listen(Impl->Config.HttpPort, "member data", "--http-port");
}

int TPracticeServer::TelnetPort() const {
    return LocalPort(Impl->TelnetListener.Get());
}

int TPracticeServer::HttpPort() const {
    return LocalPort(Impl->HttpListener.Get());
}

const TPracticeStats& TPracticeServer::Stats() const {
    return Impl->Stats;
}

void TPracticeServer::Stop() {
    // Only write(): this runs in signal handlers too.
    const char wake = 1;
    if (::write(Impl->WakeWrite.Get(), &wake, 1) < 0) {
        // The pipe is full: a wake-up is already waiting.
    }
}

void TPracticeServer::Run() {
    Impl->Run();
}

int TPracticeServer::TImpl::PollTimeout() const {
    const bool streaming = std::any_of(TelnetClients.begin(), TelnetClients.end(),
                                       [](const auto& c) { return c->Spots.has_value(); });
    // Often enough for a steady stream; deadlines are checked at least once a second.
    if (!streaming) return 1000;
    return static_cast<int>(std::clamp(1000.0 / Config.Rate, 10.0, 250.0));
}

void TPracticeServer::TImpl::Run() {
    auto lastTick = TClock::now();
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({WakeRead.Get(), POLLIN, 0});
        fds.push_back({TelnetListener.Get(), POLLIN, 0});
        fds.push_back({HttpListener.Get(), POLLIN, 0});
        auto events = [](const TConnection& c) {
            short wanted = 0;
            // A client whose queue is full is not read until it catches up,
            // so what it sends cannot make the queue grow either.
            if ((c.Phase == TPhase::Open && !c.Output.Full()) || c.Phase == TPhase::Draining)
                wanted |= POLLIN;
            if (c.Phase != TPhase::Draining && !c.Output.Empty()) wanted |= POLLOUT;
            return wanted;
        };
        for (const auto& c : TelnetClients) fds.push_back({c->Socket.Get(), events(*c), 0});
        for (const auto& c : HttpClients) fds.push_back({c->Socket.Get(), events(*c), 0});

        if (::poll(fds.data(), fds.size(), PollTimeout()) < 0 && errno != EINTR)
            throw TPracticeError(std::string("poll failed: ") + std::strerror(errno));
        if (fds[0].revents != 0) break;

        std::size_t index = 3;
        auto ready = [&](TConnection& c, auto read) {
            const short revents = fds[index++].revents;
            if (revents & (POLLIN | POLLHUP | POLLERR)) read(c);
            if ((revents & POLLOUT) && c.Phase != TPhase::Closed) Flush(c);
        };
        for (auto& c : TelnetClients)
            ready(*c, [this](TConnection& t) { ReadTelnet(static_cast<TTelnetClient&>(t)); });
        for (auto& c : HttpClients)
            ready(*c, [this](TConnection& h) { ReadHttp(static_cast<THttpClient&>(h)); });
        if (fds[1].revents & POLLIN) AcceptAll(TelnetListener.Get(), true);
        if (fds[2].revents & POLLIN) AcceptAll(HttpListener.Get(), false);

        const auto now = TClock::now();
        StreamSpots(std::chrono::duration<double>(now - lastTick).count());
        lastTick = now;
        for (auto& c : TelnetClients) Advance(*c, now);
        for (auto& c : HttpClients) Advance(*c, now);
        std::erase_if(TelnetClients, [](const auto& c) { return c->Phase == TPhase::Closed; });
        std::erase_if(HttpClients, [](const auto& c) { return c->Phase == TPhase::Closed; });
    }
    SayGoodbye();
}

void TPracticeServer::TImpl::AcceptAll(int listener, bool telnet) {
    for (;;) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                Log(std::string("accept failed: ") + std::strerror(errno));
            return;
        }
        TSocket socket(fd);
        if ((telnet ? TelnetClients.size() : HttpClients.size()) >= MaxClients) {
            Log((telnet ? "telnet " : "http ") + PeerText(fd) + " refused: too many connections");
            continue;
        }
        if (Config.SendBufferSize > 0)
            ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &Config.SendBufferSize,
                         sizeof Config.SendBufferSize);
        if (telnet) {
            auto client = std::make_unique<TTelnetClient>(std::move(socket), Config.QueueLimit);
            client->Output.Push(client->Session.Start());
            ++Stats.TelnetConnections;
            Log("telnet " + client->Peer + " connected");
            Flush(*client);
            TelnetClients.push_back(std::move(client));
        } else {
            auto client = std::make_unique<THttpClient>(std::move(socket), Config.QueueLimit);
            client->Deadline = TClock::now() + RequestTime;
            HttpClients.push_back(std::move(client));
        }
    }
}

// Hands what has arrived to handle while the connection is open; reads and
// drops it afterwards. Closes the connection when the client has closed.
template <typename THandle>
void TPracticeServer::TImpl::ReadSome(TConnection& c, THandle handle) {
    char buffer[4096];
    // A few reads per round keep one busy client from holding up the others.
    for (int round = 0; round < 4; ++round) {
        const ssize_t n = ::recv(c.Socket.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            if (c.Phase == TPhase::Open) handle(std::string_view(buffer, std::size_t(n)));
            if (c.Phase == TPhase::Open && c.Output.Full()) return;
            continue;
        }
        if (n == 0) {
            Close(c, "closed by the client");
            return;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return;
        Close(c, std::strerror(errno));
        return;
    }
}

void TPracticeServer::TImpl::ReadTelnet(TTelnetClient& client) {
    ReadSome(client, [&](std::string_view bytes) {
        std::string reply;
        const bool wasLoggedIn = client.Session.LoggedIn();
        client.Session.Receive(bytes, reply);
        client.Output.Push(reply);
        if (!wasLoggedIn && client.Session.LoggedIn()) StartSpots(client);
        if (client.Session.Finished()) {
            client.Phase = TPhase::Flushing;
            client.Deadline = TClock::now() + FlushTime;
        }
    });
}

void TPracticeServer::TImpl::ReadHttp(THttpClient& client) {
    ReadSome(client, [&](std::string_view bytes) {
        client.Input.append(bytes);
        const auto length = RequestHeadLength(client.Input);
        if (!length && client.Input.size() <= MaxRequestHead) return;
        THttpReply reply;
        if (!length || *length > MaxRequestHead) {
            reply.Code = 400;
            reply.Body = "400 Bad Request: the request head is too long\r\n";
        } else {
            reply = AnswerRequest(std::string_view(client.Input).substr(0, *length), Members);
        }
        ++Stats.HttpRequests;
        const std::string line = client.Input.substr(0, client.Input.find_first_of("\r\n"));
        Log("http " + client.Peer + " \"" + Printable(line.substr(0, 120)) + "\" " +
            std::to_string(reply.Code));
        client.Output.Push(FormatReply(reply));
        client.Input.clear();
        client.Phase = TPhase::Flushing;
        client.Deadline = TClock::now() + FlushTime;
    });
}

void TPracticeServer::TImpl::StartSpots(TTelnetClient& client) {
    const std::string& call = client.Session.OperatorCall();
    client.Spots.emplace(Members, call, Config.MemberShare, Config.Seed);
    client.Schedule.emplace(Config.Rate, MixSeed(Config.Seed, call + "/schedule"));
    ++Stats.Logins;
    const std::string& terminal = client.Session.TerminalType();
    Log("telnet " + client.Peer + " logged in as " + call + " (terminal " +
        (terminal.empty() ? "not told" : terminal) + ")");
}

void TPracticeServer::TImpl::StreamSpots(double seconds) {
    std::string time;
    std::string line;
    for (auto& client : TelnetClients) {
        if (!client->Spots || client->Phase != TPhase::Open) continue;
        const int count = client->Schedule->Advance(seconds);
        if (count > 0 && time.empty()) time = UtcTime(std::time(nullptr));
        for (int i = 0; i < count; ++i) {
            line = FormatSpotLine(client->Spots->Next(time));
            line += "\r\n";
            if (client->Output.PushIfRoom(line)) {
                ++client->Sent;
                ++Stats.SpotLines;
            } else {
                ++client->Dropped;
                ++Stats.DroppedLines;
            }
        }
        if (count > 0) Flush(*client);
    }
}

void TPracticeServer::TImpl::Flush(TConnection& c) {
    while (!c.Output.Empty() && c.Phase != TPhase::Closed) {
        const std::string_view pending = c.Output.Pending();
        const ssize_t n =
            ::send(c.Socket.Get(), pending.data(), pending.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c.Output.Consume(std::size_t(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else {
            Close(c, n < 0 ? std::strerror(errno) : "send failed");
        }
    }
}

// Moves a connection on once its last reply is out, and ends the ones
// that ran out of time.
void TPracticeServer::TImpl::Advance(TConnection& c, TClock::time_point now) {
    if (c.Phase == TPhase::Flushing && c.Output.Empty()) {
        // Shut our side and let the client close first: closing with its
        // bytes unread would reset the connection and could lose the reply.
        ::shutdown(c.Socket.Get(), SHUT_WR);
        c.Phase = TPhase::Draining;
        c.Deadline = now + DrainTime;
    }
    if (c.Phase == TPhase::Draining && now >= c.Deadline) {
        Close(c, "done");
    } else if (c.Phase != TPhase::Closed && now >= c.Deadline) {
        Close(c, "timed out");
    }
}

void TPracticeServer::TImpl::Close(TConnection& c, const std::string& why) {
    if (c.Phase == TPhase::Closed) return;
    c.Phase = TPhase::Closed;
    c.Socket.Reset();
    if (const auto* telnet = dynamic_cast<const TTelnetClient*>(&c)) {
        Log("telnet " + c.Peer + " " + why + " (" + std::to_string(telnet->Sent) +
            " spot lines sent, " + std::to_string(telnet->Dropped) + " dropped)");
    }
}

void TPracticeServer::TImpl::SayGoodbye() {
    for (auto& c : TelnetClients) {
        if (c->Phase == TPhase::Open && c->Session.LoggedIn())
            c->Output.Push("\r\nThe practice cluster is closing. 73!\r\n");
        Flush(*c);
        Close(*c, "closed by the server");
    }
    TelnetClients.clear();
    HttpClients.clear();
    char drain[16];
    while (::read(WakeRead.Get(), drain, sizeof drain) > 0) {
    }
}

}  // namespace skimby::practice
