// Member-data services on 127.0.0.1 that drip their headers or never end
// their body, met by the HTTP client set up as the program uses it. (Lines
// without end, announced lengths, redirect chains and resets have their
// tests beside the client's limits in tests/net.)
#include <gtest/gtest.h>

#include <string>

#include "net/HttpClient.h"
#include "net/HttpTestSupport.h"
#include "support/LoopbackServer.h"
#include "support/ResourceUse.h"

namespace skimby {
namespace {

using HostileMemberServiceTest = HttpClientTest;

const std::string MemberList = "DL9ABC\tHans\tBerlin\tYes\t3\r\nK9ABC\tBob\tChicago\tNo\t0\r\n";

TEST_F(HostileMemberServiceTest, HeadersDrippedAByteAtATimeStillGiveTheList) {
    TCannedReply reply = Reply("HTTP/1.0 200 OK",
                               "Server: slow\r\nContent-Type: text/plain\r\nContent-Length: " +
                                   std::to_string(MemberList.size()) + "\r\n",
                               MemberList);
    reply.DripSize = 1;
    reply.DripPauseMs = 10;
    Server.Add(reply);
    const TResourceUse use("member service drips its headers (1 byte every 10 ms)");
    EXPECT_EQ(Client.FetchText(Server.Url("/rbndata2.php?mycall=OH2XX")), MemberList);
    use.Report("the list arrives whole");
    EXPECT_EQ(Client.Reply.Server, "slow");
}

TEST_F(HostileMemberServiceTest, EndlessChunkedBodyFailsAtTheBodyLimit) {
    TLoopbackServer server([](TPeer& peer) {
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos) request += peer.Receive(1);
        peer.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        const std::string chunk = "400\r\n" + std::string(1024, 'c') + "\r\n";
        try {
            for (;;) peer.Send(chunk);  // until the client is gone
        } catch (const std::runtime_error&) {
        }
    });
    const TResourceUse use("member service sends an endless chunked body");
    ExpectError<EReplyBodyTooLarge>(
        [&] { Client.FetchText("http://127.0.0.1:" + std::to_string(server.Port()) + "/"); },
        "Reply body too large.");
    use.Report("\"Reply body too large.\" after 64 MiB");
    // The body is held until it is known to be too large: 64 MiB, in a
    // buffer that grows by doubling.
    EXPECT_LT(use.PeakGrowth(), 256 * MiB * MemoryBoundScale);
    EXPECT_EQ(Client.HopCount, 0);
    Client.Close();
    server.Join();
}

}  // namespace
}  // namespace skimby
