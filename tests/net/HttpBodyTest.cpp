// How the client reads a reply body: counted, chunked or until close.
#include <gtest/gtest.h>

#include "HttpTestSupport.h"

namespace skimby {
namespace {

struct TBodyCase {
    const char* Name;
    std::string Headers;
    std::string Body;     // what the server sends after the headers
    std::string Want;     // the fetched text, when the fetch succeeds
    bool Closed = false;  // fails with "Connection Closed Gracefully." instead
};

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz";
const std::string kOdd = std::string("a\rb\nc\r\nd\te\0f\0", 14) + "\xff\x80";

void PrintTo(const TBodyCase& c, std::ostream* out) {
    *out << c.Name;
}

class HttpBodyTest : public HttpClientTest, public testing::WithParamInterface<TBodyCase> {};

TEST_P(HttpBodyTest, ReadsTheBody) {
    const TBodyCase& c = GetParam();
    Server.Add(Reply("HTTP/1.0 200 OK", c.Headers, c.Body));
    if (c.Closed) {
        ExpectError<EConnClosedGracefully>([&] { Client.FetchText(Server.Url("/")); },
                                           "Connection Closed Gracefully.");
    } else {
        EXPECT_EQ(Client.FetchText(Server.Url("/")), c.Want);
        EXPECT_FALSE(Client.IsOpen());
    }
    EXPECT_EQ(Client.HopCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HttpBodyTest,
    testing::Values(
        TBodyCase{"CountedStopsAtTheCount", "Content-Length: 10\r\n", "0123456789AB", "0123456789"},
        TBodyCase{"CountedShortIsAnError", "Content-Length: 10\r\n", "01234567", "", true},
        TBodyCase{"CountedWithLeadingBlanks", "Content-Length:    3\r\n", "abcdef", "abc"},
        TBodyCase{"CountedKeepsEveryByte", "Content-Length: 16\r\n", kOdd, kOdd},
        TBodyCase{"UntilClose", "", "all of it\r\nto the end", "all of it\r\nto the end"},
        TBodyCase{"UntilCloseKeepsEveryByte", "", kOdd, kOdd},
        TBodyCase{"UntilCloseEmpty", "", "", ""},
        TBodyCase{"ZeroLengthReadsUntilClose", "Content-Length: 0\r\n", "more", "more"},
        TBodyCase{"NegativeLengthReadsUntilClose", "Content-Length: -5\r\n", "more", "more"},
        TBodyCase{"UnreadableLengthReadsUntilClose", "Content-Length: 5 \r\n", "1234567",
                  "1234567"},
        TBodyCase{"SpacedNameIsNotALength", "Content-Length : 5\r\n", "1234567", "1234567"},
        TBodyCase{"Chunked", "Transfer-Encoding: chunked\r\n",
                  "5\r\nhello\r\n1\r\n,\r\n6\r\n world\r\n0\r\n\r\n", "hello, world"},
        TBodyCase{"ChunkedWithTrailer", "Transfer-Encoding: gzip, chunked\r\n",
                  "3\r\nabc\r\n0\r\nX-Trailer: 1\r\n", "abc"},
        TBodyCase{"ChunkedKeepsEveryByte", "Transfer-Encoding: chunked\r\n",
                  "10\r\n" + kOdd + "\r\n0\r\n\r\n", kOdd},
        TBodyCase{"ChunkSizeLower", "Transfer-Encoding: chunked\r\n",
                  "1a\r\n" + kAlphabet + "\r\n0\r\n\r\n", kAlphabet},
        TBodyCase{"ChunkSizeUpper", "Transfer-Encoding: chunked\r\n",
                  "1A\r\n" + kAlphabet + "\r\n0\r\n\r\n", kAlphabet},
        TBodyCase{"ChunkSizeLeadingZeros", "Transfer-Encoding: chunked\r\n",
                  "001a\r\n" + kAlphabet + "\r\n0\r\n\r\n", kAlphabet},
        TBodyCase{"ChunkSizeWithExtension", "Transfer-Encoding: chunked\r\n",
                  "1a extension\r\n" + kAlphabet + "\r\n0\r\n\r\n", kAlphabet},
        TBodyCase{"ChunkSizeWithSemicolonEnds", "Transfer-Encoding: chunked\r\n",
                  "1a;name=value\r\n" + kAlphabet + "\r\n0\r\n\r\n", ""},
        TBodyCase{"ChunkedBareLineFeeds", "Transfer-Encoding: chunked\r\n", "2\nab\n0\n\n", "ab"},
        TBodyCase{"ChunkCutShortIsAnError", "Transfer-Encoding: chunked\r\n", "10\r\nabc", "",
                  true},
        TBodyCase{"ChunkedWithoutEndIsAnError", "Transfer-Encoding: chunked\r\n", "3\r\nabc\r\n",
                  "", true},
        // Capital C is not chunked: the chunk lines are the body.
        TBodyCase{"CapitalChunkedReadsUntilClose", "Transfer-Encoding: Chunked\r\n",
                  "3\r\nabc\r\n0\r\n\r\n", "3\r\nabc\r\n0\r\n\r\n"},
        // A length wins over chunking and counts the chunk lines.
        TBodyCase{"LengthWinsOverChunked", "Transfer-Encoding: chunked\r\nContent-Length: 10\r\n",
                  "3\r\nabc\r\n0\r\n\r\n", "3\r\nabc\r\n0\r"}),
    [](const testing::TestParamInfo<TBodyCase>& info) { return std::string(info.param.Name); });

// The body cut into chunks of `piece` bytes, with the closing chunk.
std::string Chunked(const std::string& body, std::size_t piece) {
    std::string chunked;
    for (std::size_t at = 0; at < body.size(); at += piece) {
        const std::string part = body.substr(at, piece);
        char size[24];
        std::snprintf(size, sizeof size, "%zx", part.size());
        chunked += size + std::string("\r\n") + part + "\r\n";
    }
    return chunked + "0\r\n\r\n";
}

TEST_F(HttpClientTest, BodiesOfManyReceivesArriveWhole) {
    std::string body;
    for (int i = 0; body.size() < 300000; ++i)
        body += "CALL" + std::to_string(i) + "\tName\tQTH\tYes\t7\r\n";
    Server.Add(
        Reply("HTTP/1.0 200 OK", "Content-Length: " + std::to_string(body.size()) + "\r\n", body));
    Server.Add(Reply("HTTP/1.0 200 OK", "Transfer-Encoding: chunked\r\n", Chunked(body, 4000)));
    Server.Add(Reply("HTTP/1.0 200 OK", "", body));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Client.FetchText(Server.Url("/")), body) << i;

    // Lines and chunks cut anywhere by the network.
    const std::string small = body.substr(0, 3000);
    TCannedReply dripped =
        Reply("HTTP/1.0 200 OK", "Transfer-Encoding: chunked\r\n", Chunked(small, 700));
    dripped.DripSize = 7;
    Server.Add(dripped);
    EXPECT_EQ(Client.FetchText(Server.Url("/")), small);
}

}  // namespace
}  // namespace skimby
