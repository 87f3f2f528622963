// What a broken or hostile server cannot make the client do: allocate an
// announced length up front, hold an endless body, or buffer an endless line.
#include <gtest/gtest.h>

#include "HttpTestSupport.h"
#include "support/ResourceUse.h"

namespace skimby {
namespace {

constexpr std::size_t kMaxBody = 64u << 20;
constexpr std::size_t kMaxLine = 64u << 10;

using HttpLimitsTest = HttpClientTest;

TEST_F(HttpLimitsTest, AnnouncedLengthIsNotReservedBeforeTheBytesArrive) {
    Server.Add(Reply("HTTP/1.0 200 OK", "Content-Length: " + std::to_string(kMaxBody) + "\r\n",
                     "ten bytes!"));
    TByteStream sink;
    ExpectError<EConnClosedGracefully>([&] { Client.PerformRequest("GET", Server.Url("/"), sink); },
                                       "Connection Closed Gracefully.");
    EXPECT_EQ(sink.Bytes(), "ten bytes!");
    EXPECT_LT(sink.Bytes().capacity(), 1u << 20);
    EXPECT_EQ(Client.HopCount, 0);
}

TEST_F(HttpLimitsTest, AnnouncedLengthBeyondTheLimitFailsAtOnce) {
    for (const std::string& length : {std::string("2147483647"), std::to_string(kMaxBody + 1)}) {
        Server.Add(Reply("HTTP/1.0 200 OK", "Content-Length: " + length + "\r\n", "short"));
        const TResourceUse use("member service announces " + length + " bytes");
        ExpectError<EReplyBodyTooLarge>([&] { Client.FetchText(Server.Url("/")); },
                                        "Reply body too large.");
        use.Report("\"Reply body too large.\" before any body byte is read");
        EXPECT_LT(use.PeakGrowth(), 16 * MiB * MemoryBoundScale);
        EXPECT_EQ(Client.HopCount, 0);
    }
}

TEST_F(HttpLimitsTest, ChunksBeyondTheLimitFail) {
    const std::string half(kMaxBody / 2, 'c');
    const std::string chunkedHeader = "Transfer-Encoding: chunked\r\n";
    Server.Add(Reply("HTTP/1.0 200 OK", chunkedHeader, "4000001\r\nxyz"));
    Server.Add(Reply("HTTP/1.0 200 OK", chunkedHeader, "FFFFFFFFFFFFFFFFFFFFFFFF\r\nxyz"));
    Server.Add(
        Reply("HTTP/1.0 200 OK", chunkedHeader, "2000000\r\n" + half + "\r\n2000001\r\nxyz"));
    for (int i = 0; i < 3; ++i)
        ExpectError<EReplyBodyTooLarge>([&] { Client.FetchText(Server.Url("/")); },
                                        "Reply body too large.");
}

TEST_F(HttpLimitsTest, BodyUntilCloseUpToTheLimit) {
    std::string bytes = "HTTP/1.0 200 OK\r\n\r\n" + std::string(kMaxBody, 'u');
    Server.Add(TCannedReply{bytes});
    EXPECT_EQ(Client.FetchText(Server.Url("/")).size(), kMaxBody);

    bytes += '!';
    Server.Add(TCannedReply{std::move(bytes)});
    ExpectError<EReplyBodyTooLarge>([&] { Client.FetchText(Server.Url("/")); },
                                    "Reply body too large.");
    EXPECT_EQ(Client.HopCount, 0);
}

TEST_F(HttpLimitsTest, LinesUpToTheLimitAreRead) {
    const std::string header = "X-Long: " + std::string(kMaxLine - 8, 'h');
    Server.Add(Reply("HTTP/1.0 200 OK", header + "\r\n", "body"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "body");
    EXPECT_EQ(Client.Reply.ExtraHeaders.Lines(), std::vector<std::string>{header});
}

TEST_F(HttpLimitsTest, LongerLinesFailEvenWhenDripped) {
    const std::string longLine(kMaxLine + 1, 'L');
    const std::vector<std::string> replies = {
        longLine + "\r\n\r\n",                                      // status line
        "HTTP/1.0 200 OK\r\n" + longLine + "L",                     // header without an end
        "HTTP/1.0 200 OK\r\nX: 1\r\n" + longLine + "\r\n\r\nbody",  // header
        "HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1" + longLine + "\r\n",  // chunk size
        "HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nx" + longLine +
            "\r\n",  // chunk end
    };
    for (const std::string& bytes : replies) {
        TCannedReply reply{bytes};
        reply.DripSize = 1000;
        Server.Add(reply);
        ExpectError<EReplyLineTooLong>([&] { Client.FetchText(Server.Url("/")); },
                                       "Reply line too long.");
        EXPECT_EQ(Client.HopCount, 0);
    }
}

TEST_F(HttpLimitsTest, EndlessLineFromASlowServerFails) {
    TCannedReply reply{"HTTP/1.0 200 OK\r\nX: " + std::string(4 * kMaxLine, 'e')};
    reply.DripSize = 64;
    Server.Add(reply);
    const TResourceUse use("member service never ends a header line");
    ExpectError<EReplyLineTooLong>([&] { Client.FetchText(Server.Url("/")); },
                                   "Reply line too long.");
    use.Report("\"Reply line too long.\" after 64 KiB");
    EXPECT_LT(use.PeakGrowth(), 16 * MiB * MemoryBoundScale);
}

std::string NumberedHeaderLines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) lines += "X-" + std::to_string(i) + ": v\r\n";
    return lines;
}

TEST_F(HttpLimitsTest, HeaderSectionUpToItsLimitsIsRead) {
    Server.Add(Reply("HTTP/1.0 200 OK", NumberedHeaderLines(1000), "body"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "body");
    EXPECT_EQ(Client.Reply.ExtraHeaders.Count(), 1000u);

    // 1 MiB in all, each line end counted as two bytes.
    std::string big;
    for (int i = 0; i < 16; ++i) big += "X: " + std::string(65534 - 3, 'a' + i) + "\r\n";
    Server.Add(Reply("HTTP/1.0 200 OK", big, "big"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "big");
    EXPECT_EQ(Client.Reply.ExtraHeaders.Count(), 16u);
}

TEST_F(HttpLimitsTest, HeaderSectionBeyondItsLimitsFails) {
    std::string big;
    for (int i = 0; i < 16; ++i) big += "X: " + std::string(65534 - 3, 'a' + i) + "\r\n";
    for (const std::string& headers : {NumberedHeaderLines(1001), big + "Y: 1\r\n"}) {
        Server.Add(Reply("HTTP/1.0 200 OK", headers, "body"));
        ExpectError<EReplyHeadersTooLarge>([&] { Client.FetchText(Server.Url("/")); },
                                           "Reply headers too large.");
        EXPECT_EQ(Client.HopCount, 0);
    }
    // The next fetch works.
    Server.Add(Reply("HTTP/1.0 200 OK", "", "next"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "next");
}

// Short header lines without end used to pile up in the header list for as
// long as the server sent them.
TEST_F(HttpLimitsTest, EndlessShortHeaderLinesFailWithBoundedMemory) {
    std::string bytes = "HTTP/1.0 200 OK\r\n";
    while (bytes.size() < 64 * MiB) bytes += "X: y\r\n";
    TCannedReply reply{std::move(bytes)};
    reply.DripSize = 4096;
    Server.Add(std::move(reply));
    const TResourceUse use("endless short header lines");
    ExpectError<EReplyHeadersTooLarge>([&] { Client.FetchText(Server.Url("/")); },
                                       "Reply headers too large.");
    use.Report("\"Reply headers too large.\"");
    EXPECT_LT(use.PeakGrowth(), 16 * MiB * MemoryBoundScale);
}

}  // namespace
}  // namespace skimby
