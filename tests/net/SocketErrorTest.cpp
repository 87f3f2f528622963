// Platform failures become Windows Sockets numbers and fixed messages.
#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>

#include "net/NetErrors.h"
#include "net/TcpClient.h"
#include "platform/SocketStack.h"

namespace skimby {
namespace {

TEST(SocketError, ErrnoValuesBecomeWindowsSocketsNumbers) {
    const struct {
        int err;
        int number;
    } cases[] = {
        {ECONNREFUSED, 10061}, {ECONNRESET, 10054},
        {ETIMEDOUT, 10060},    {EADDRINUSE, 10048},
        {ENETUNREACH, 10051},  {EHOSTUNREACH, 10065},
        {EPIPE, 10058},        {ESHUTDOWN, 10058},
        {EINTR, 10004},        {EWOULDBLOCK, 10035},
        {ECONNABORTED, 10053}, {ENOTCONN, 10057},
        {EMFILE, 10024},       {EIO, EIO},  // no counterpart: keeps its own number
    };
    for (const auto& c : cases)
        EXPECT_EQ(TSocketStack::ErrnoToWinsock(c.err), c.number) << "errno " << c.err;
}

TEST(SocketError, ResolverFailuresHaveTheirOwnNumbers) {
    EXPECT_EQ(TSocketStack::ResolverErrorToWinsock(EAI_NONAME, 0), 11001);
    EXPECT_EQ(TSocketStack::ResolverErrorToWinsock(EAI_AGAIN, 0), 11002);
    EXPECT_EQ(TSocketStack::ResolverErrorToWinsock(EAI_FAIL, 0), 11003);
    EXPECT_EQ(TSocketStack::ResolverErrorToWinsock(EAI_NODATA, 0), 11004);
    EXPECT_EQ(TSocketStack::ResolverErrorToWinsock(EAI_SYSTEM, ECONNREFUSED), 10061);
}

TEST(SocketError, MessageIsNumberLineBreakAndText) {
    const struct {
        int number;
        const char* message;
    } cases[] = {
        {10054, "Socket Error # 10054\r\nConnection reset by peer."},
        {10061, "Socket Error # 10061\r\nConnection refused."},
        {10035, "Socket Error # 10035\r\nOperation would block. "},
        {10066, "Socket Error # 10066\r\nDirectory not empty"},
        {10058, "Socket Error # 10058\r\nCannot send or receive after socket is closed."},
        {11001, "Socket Error # 11001\r\n"},
        {5, "Socket Error # 5\r\n"},
    };
    for (const auto& c : cases) {
        ESocketError e(c.number);
        EXPECT_EQ(e.Message(), c.message);
        EXPECT_EQ(e.LastError, c.number);
    }
}

TEST(SocketError, FixedMessagesOfTheOtherKinds) {
    EXPECT_EQ(EConnClosedGracefully().Message(), "Connection Closed Gracefully.");
    EXPECT_EQ(EAlreadyConnected().Message(), "Already connected.");
    EXPECT_EQ(EInvalidSocket().Message(), "Cannot allocate socket.");
    EXPECT_EQ(ECouldNotBindSocket().Message(),
              "Could not bind socket. Address and port are already in use.");
    EXPECT_EQ(ENotEnoughDataInBuffer().Message(), "Not enough data in buffer.");
    EXPECT_EQ(ESocketLibraryNotLoaded().Message(), "wsock32.dll could not be loaded.");
    EXPECT_EQ(ESocketLibraryInitFailed().Message(), "Winsock Initialization Error.");
    EXPECT_EQ(ETelnetConnectError().Message(), "server not responding");
    EXPECT_EQ(ETelnetNoDataHandler().Message(), "OnDataAvailable event is nil.");
}

TEST(DottedQuad, FourDecimalBytesOnly) {
    const struct {
        const char* text;
        bool dotted;
    } cases[] = {
        {"127.0.0.1", true}, {"0.0.0.0", true},    {"255.255.255.255", true}, {"001.02.3.4", true},
        {"1.2.3", false},    {"1.2.3.4.5", false}, {"256.1.1.1", false},      {"1.2.3.256", false},
        {"", false},         {"1..3.4", false},    {"1.2.3.", false},         {"a.b.c.d", false},
        {" 1.2.3.4", false}, {"1.2.3.-4", false},  {"+1.2.3.4", false},       {"localhost", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsDottedQuad(c.text), c.dotted) << c.text;
}

}  // namespace
}  // namespace skimby
