// What the client sends, where it connects, and what it keeps of a reply.
#include <gtest/gtest.h>

#include "HttpTestSupport.h"
#include "support/ResourceUse.h"

namespace skimby {
namespace {

const TCannedReply kOk = Reply("HTTP/1.0 200 OK", "Content-Length: 2\r\n", "ok");

using HttpRequestTest = HttpClientTest;

TEST_F(HttpRequestTest, SendsExactlyTheRequestLines) {
    struct TCase {
        std::string UrlTail;  // after "http://127.0.0.1:<port>"
        std::string RequestLine;
    };
    const TCase cases[] = {
        {"/rbndata2.php?mycall=DL1ABC", "GET /rbndata2.php?mycall=DL1ABC HTTP/1.0"},
        {"/rbndata2.php?mycall=DL/PA3XYZ", "GET /rbndata2.php?mycall=DL/PA3XYZ HTTP/1.0"},
        {"/rbndata2.php?mycall=DL1 ABC", "GET /rbndata2.php?mycall=DL1 ABC HTTP/1.0"},
        {"", "GET / HTTP/1.0"},
        {"\\dir\\doc.php#part", "GET /dir/doc.php HTTP/1.0"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) Server.Add(kOk);
    for (const TCase& c : cases) EXPECT_EQ(Client.FetchText(Server.Url(c.UrlTail)), "ok");

    const std::vector<std::string> requests = Server.Requests();
    ASSERT_EQ(requests.size(), std::size(cases));
    for (std::size_t i = 0; i < requests.size(); ++i)
        EXPECT_EQ(requests[i], cases[i].RequestLine + "\r\nHost: 127.0.0.1\r\n" + kRequestTail);
}

TEST_F(HttpRequestTest, HostLineCarriesTheNameAsWrittenWithoutPort) {
    Server.Add(kOk);
    const std::string url = "http://LocalHost:" + std::to_string(Server.Port()) + "/x";
    EXPECT_EQ(Client.FetchText(url), "ok");
    ASSERT_EQ(Server.Requests().size(), 1u);
    EXPECT_EQ(Server.Requests()[0],
              std::string("GET /x HTTP/1.0\r\nHost: LocalHost\r\n") + kRequestTail);
    EXPECT_EQ(Client.Host, "LocalHost");
    EXPECT_EQ(Client.RequestHost, "LocalHost");
    EXPECT_EQ(Client.Port, Server.Port());
}

TEST_F(HttpRequestTest, KeepsTheStatusAndHeadersOfTheLastReply) {
    Server.Add(Reply("HTTP/1.1 200 Fine thanks", "Content-Type: text/plain\r\nX-A: 1\r\n", "b"));
    Server.Add(Reply("HTTP/1.0 200", "", "c"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "b");
    EXPECT_EQ(Client.ReplyCode, 200);
    EXPECT_EQ(Client.ReplyText, "200 Fine thanks");
    EXPECT_EQ(Client.Reply.ContentType, "text/plain");
    EXPECT_EQ(Client.Reply.ExtraHeaders.Lines(), std::vector<std::string>{"X-A: 1"});
    EXPECT_EQ(Client.HopCount, 0);

    // A status line without a reason is a success too.
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "c");
    EXPECT_EQ(Client.ReplyText, "200");
    EXPECT_EQ(Client.Reply.ContentType, "");
    EXPECT_FALSE(Client.IsOpen());
}

TEST_F(HttpRequestTest, EveryFetchHasItsOwnConnection) {
    for (int i = 0; i < 3; ++i) Server.Add(kOk);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Client.FetchText(Server.Url("/")), "ok");
    EXPECT_EQ(Server.Connections(), 3u);
}

TEST_F(HttpRequestTest, HttpsFailsWithoutTouchingTheNetwork) {
    for (const char* url : {"https://127.0.0.1/", "HTTPS://127.0.0.1:1/x", "hTTpS://x"})
        ExpectError<EInterceptInvalid>([&] { Client.FetchText(url); },
                                       "Intercept value is not valid");
    EXPECT_EQ(Client.HopCount, 0);
}

TEST_F(HttpRequestTest, RefusedConnectionIsASocketError) {
    // A port that was free a moment ago: nothing listens there now.
    int port = 0;
    { port = TScriptedHttpServer().Port(); }
    ExpectError<ESocketError>(
        [&] { Client.FetchText("http://127.0.0.1:" + std::to_string(port) + "/"); },
        "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(Client.HopCount, 0);
}

// The 404's counted body leaves its connection open (the server's close is
// not read); the next fetch to the same host and port must not reuse it.
TEST_F(HttpRequestTest, ErrorReplyCarriesItsTextAndCodeAndTheNextFetchWorks) {
    Server.Add(Reply("HTTP/1.1 404 Not Found", "Content-Length: 9\r\n", "not here!"));
    Server.Add(Reply("HTTP/1.0 304 Not Modified", "", ""));
    Server.Add(Reply("HTTP/1.0 500 Internal Server Error ", "", "oops"));
    Server.Add(kOk);
    try {
        Client.FetchText(Server.Url("/missing"));
        ADD_FAILURE() << "404 did not fail";
    } catch (const EProtocolReplyError& e) {
        EXPECT_EQ(e.Message(), "404 Not Found");
        EXPECT_EQ(e.ReplyErrorCode, 404);
    }
    EXPECT_EQ(Client.ReplyCode, 404);
    EXPECT_EQ(Client.HopCount, 0);
    ExpectError<EProtocolReplyError>([&] { Client.FetchText(Server.Url("/")); },
                                     "304 Not Modified");
    ExpectError<EProtocolReplyError>([&] { Client.FetchText(Server.Url("/")); },
                                     "500 Internal Server Error ");
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "ok");
    EXPECT_EQ(Server.Connections(), 4u);
}

TEST_F(HttpRequestTest, BrokenStatusLinesAndHeaders) {
    struct TCase {
        std::string Bytes;
        bool Convert;  // EConvertError, else EConnClosedGracefully
        std::string Message;
    };
    const TCase cases[] = {
        {"", false, "Connection Closed Gracefully."},
        {"HTTP/1.0 200 OK\r\nServer: x\r\n", false, "Connection Closed Gracefully."},
        {"HTTP/1.0 200 OK\r\n", false, "Connection Closed Gracefully."},
        {"HTTP/1.0 2", true, "'' is not a valid integer value"},
        {"HTTP/1.0 abc OK\r\n\r\n", true, "'abc' is not a valid integer value"},
        {"HTTP/1.0\r\n\r\n", true, "'' is not a valid integer value"},
        {"HTTP/1.0 200 OK\r\nContent-Range: bytes x-1/2\r\n\r\nbody", true,
         "'x' is not a valid integer value"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Bytes);
        Server.Add(TCannedReply{c.Bytes});
        if (c.Convert)
            ExpectError<EConvertError>([&] { Client.FetchText(Server.Url("/")); }, c.Message);
        else
            ExpectError<EConnClosedGracefully>([&] { Client.FetchText(Server.Url("/")); },
                                               c.Message);
        EXPECT_EQ(Client.HopCount, 0) << c.Bytes;
    }
}

TEST_F(HttpRequestTest, ResetDuringTheBodyIsASocketError) {
    TCannedReply reply = Reply("HTTP/1.0 200 OK", "", std::string(5000, 'x'));
    reply.Reset = true;
    Server.Add(reply);
    const TResourceUse use("member service resets mid-body");
    ExpectError<ESocketError>([&] { Client.FetchText(Server.Url("/")); },
                              "Socket Error # 10054\r\nConnection reset by peer.");
    use.Report("\"Socket Error # 10054 / Connection reset by peer.\"");
    EXPECT_EQ(Client.HopCount, 0);
}

}  // namespace
}  // namespace skimby
