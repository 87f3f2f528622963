#include "practice-server/PracticeServer.h"

#include <gtest/gtest.h>

#include <thread>

#include "practice-server/HttpService.h"
#include "practice-server/Sockets.h"
#include "practice-server/TelnetSession.h"
#include "practice/LoopbackClient.h"
#include "spots/MemberTable.h"
#include "spots/SpotLine.h"
#include "support/CommaMarkTest.h"

namespace skimby::practice {
namespace {

using namespace telnet;
using namespace std::chrono_literals;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The server on free ports, running on a thread of its own while the test
// talks to it.
class TRunningServer {
  public:
    explicit TRunningServer(TPracticeConfig config) : Server(WithFreePorts(config)) {
        Server.Open();
        Thread = std::thread([this] { Server.Run(); });
    }
    ~TRunningServer() {
        Server.Stop();
        Thread.join();
    }

    TPracticeServer Server;

  private:
    static TPracticeConfig WithFreePorts(TPracticeConfig config) {
        config.TelnetPort = 0;
        config.HttpPort = 0;
        return config;
    }
    std::thread Thread;
};

TPracticeConfig Fast(double rate, double share) {
    TPracticeConfig config;
    config.Rate = rate;
    config.MemberShare = share;
    config.Seed = 77;
    config.MemberCount = 40;
    return config;
}

// Logs in as call, answering the negotiation as a telnet client does.
void LogIn(TLoopbackClient& client, const std::string& call) {
    ASSERT_TRUE(client.Connected);
    ASSERT_TRUE(client.ReadUntilContains("Please enter your call: "));
    client.Send(Bytes({Iac, Will, TerminalTypeOption, Iac, Do, EchoOption}) + call + "\r\n");
    ASSERT_TRUE(client.ReadUntilContains(call + " de PRACTICE >\r\n")) << client.Received;
}

// The body of an HTTP reply; the whole reply in reply.
std::string Fetch(int port, const std::string& target, std::string& reply) {
    TLoopbackClient http(port);
    http.Send("GET " + target +
              " HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: text/html, */*\r\n"
              "User-Agent: Mozilla/3.0 (compatible; Skimby)\r\n\r\n");
    EXPECT_TRUE(http.ReadUntilClosed()) << "the server did not close";
    reply = http.Received;
    const std::size_t head = reply.find("\r\n\r\n");
    return head == std::string::npos ? "" : reply.substr(head + 4);
}

class PracticeServer : public CommaMarkTest {};

TEST_F(PracticeServer, NegotiatesPromptsAndStreamsSpotsOfTheServedMembers) {
    TRunningServer running(Fast(2000, 0.5));
    TLoopbackClient client(running.Server.TelnetPort());
    ASSERT_TRUE(client.Connected);
    const std::string greeting =
        Bytes({Iac, Do, TerminalTypeOption, Iac, Will, EchoOption}) + "Please enter your call: ";
    ASSERT_TRUE(
        client.ReadUntil([&](const std::string& r) { return r.size() >= greeting.size(); }));
    EXPECT_EQ(client.Received, greeting);

    client.Received.clear();
    client.Send(Bytes({Iac, Will, TerminalTypeOption, Iac, Do, EchoOption}));
    const std::string send = Bytes({Iac, Sb, TerminalTypeOption, Send, Iac, Se});
    ASSERT_TRUE(client.ReadUntil([&](const std::string& r) { return r.size() >= send.size(); }));
    EXPECT_EQ(client.Received, send);

    client.Received.clear();
    client.Send(Bytes({Iac, Sb, TerminalTypeOption, Is}) + "dumb" + Bytes({Iac, Se}) +
                "OH1KAV\r\n");
    ASSERT_TRUE(client.ReadUntil([](const std::string& r) { return SpotLineCount(r) >= 600; }))
        << client.Received.substr(0, 500);
    EXPECT_TRUE(client.Received.starts_with("OH1KAV\r\n\r\nHello OH1KAV,"));  // echo, then hello

    std::string reply;
    TMemberTable members;
    members.FillMemberTable(Fetch(running.Server.HttpPort(), "/rbndata2.php?mycall=OH1KAV", reply));
    ASSERT_TRUE(members.LookupMember("OH1KAV").has_value());

    int spots = 0;
    int memberSpots = 0;
    int own = 0;
    TSpot spot;
    for (const std::string& line : client.Lines()) {
        if (!IsSpotLine(line)) continue;
        ASSERT_TRUE(ParseSpotLine(line, spot)) << line;
        EXPECT_TRUE(spot.Spotter.ends_with("-#")) << line;
        EXPECT_EQ(line.find(':'), 6 + spot.Spotter.size()) << line;
        EXPECT_FALSE(spot.Call.empty()) << line;
        EXPECT_TRUE(line.ends_with("Z")) << line;
        ++spots;
        memberSpots += members.LookupMember(spot.Call).has_value();
        own += spot.Call == "OH1KAV";
    }
    EXPECT_GE(spots, 600);
    EXPECT_GT(memberSpots, spots * 0.4);
    EXPECT_LT(memberSpots, spots * 0.6);
    EXPECT_GT(own, 0);
    EXPECT_EQ(running.Server.Stats().Logins, 1u);
}

TEST_F(PracticeServer, ServesTheMemberListAndRefusesOtherPaths) {
    TRunningServer running(Fast(5, 0.2));
    std::string reply;
    const std::string body = Fetch(running.Server.HttpPort(), "/rbndata2.php?mycall=DL1ABC", reply);
    const std::string head = reply.substr(0, reply.size() - body.size());
    EXPECT_EQ(head,
              "HTTP/1.0 200 OK\r\nServer: skimby-practice\r\nContent-Type: text/plain\r\n"
              "Content-Length: " +
                  std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(body.starts_with("DL1ABC\tYou\t")) << body.substr(0, 100);
    EXPECT_TRUE(body.ends_with("\r\n"));
    EXPECT_EQ(std::count(body.begin(), body.end(), '\n'), 41);

    Fetch(running.Server.HttpPort(), "/index.html", reply);
    EXPECT_TRUE(reply.starts_with("HTTP/1.0 404 Not Found\r\n")) << reply;

    // A request sent in pieces, with bare LF line ends.
    TLoopbackClient slow(running.Server.HttpPort());
    slow.Send("GET /rbndata2.php?my");
    std::this_thread::sleep_for(20ms);
    slow.Send("call=DL1ABC HTTP/1.0\n\n");
    EXPECT_TRUE(slow.ReadUntilClosed());
    EXPECT_TRUE(slow.Received.ends_with(body));
    EXPECT_EQ(running.Server.Stats().HttpRequests, 3u);
}

TEST_F(PracticeServer, ServesSeveralOperatorsAtOnce) {
    TRunningServer running(Fast(1000, 1.0));
    TLoopbackClient first(running.Server.TelnetPort());
    TLoopbackClient second(running.Server.TelnetPort());
    LogIn(first, "OH1KAV");
    LogIn(second, "DL1ABC");
    // Each sees spots of its own call among the member spots.
    EXPECT_TRUE(first.ReadUntilContains("  OH1KAV  "));
    EXPECT_TRUE(second.ReadUntilContains("  DL1ABC  "));
    EXPECT_EQ(first.Received.find("  DL1ABC  "), std::string::npos);
    std::string reply;
    EXPECT_FALSE(Fetch(running.Server.HttpPort(), "/rbndata2.php?mycall=OH1KAV", reply).empty());
    EXPECT_GT(SpotLineCount(first.Received), 10u);
    EXPECT_GT(SpotLineCount(second.Received), 10u);
}

TEST_F(PracticeServer, AClientThatNeverReadsDoesNotStallAnother) {
    TPracticeConfig config = Fast(20000, 0.1);
    config.QueueLimit = 16 * 1024;
    config.SendBufferSize = 4096;
    TRunningServer running(config);
    TLoopbackClient stuck(running.Server.TelnetPort(), 4096);
    LogIn(stuck, "OH1KAV");
    TLoopbackClient reader(running.Server.TelnetPort());
    LogIn(reader, "DL1ABC");

    // The stuck client's queue fills and its spot lines are dropped ...
    const auto end = std::chrono::steady_clock::now() + 3s;
    while (running.Server.Stats().DroppedLines == 0 && std::chrono::steady_clock::now() < end)
        reader.ReadUntil([](const std::string&) { return false; }, 10ms);
    ASSERT_GT(running.Server.Stats().DroppedLines, 0u);
    // ... while the other one keeps getting its lines.
    const std::size_t before = SpotLineCount(reader.Received);
    EXPECT_TRUE(
        reader.ReadUntil([&](const std::string& r) { return SpotLineCount(r) >= before + 2000; }));
    EXPECT_FALSE(stuck.Closed);
}

TEST_F(PracticeServer, SaysGoodbyeOnByeAndWhenStopped) {
    auto running = std::make_unique<TRunningServer>(Fast(50, 0.2));
    TLoopbackClient leaving(running->Server.TelnetPort());
    LogIn(leaving, "OH1KAV");
    leaving.Send("bye\r\n");
    EXPECT_TRUE(leaving.ReadUntilClosed());
    EXPECT_NE(leaving.Received.find("73 de PRACTICE, goodbye.\r\n"), std::string::npos);

    TLoopbackClient staying(running->Server.TelnetPort());
    LogIn(staying, "DL1ABC");
    running.reset();  // stops the server and waits for it
    EXPECT_TRUE(staying.ReadUntilClosed());
    EXPECT_TRUE(staying.Received.ends_with("The practice cluster is closing. 73!\r\n"));
}

TEST(PracticeServerPorts, ATakenPortIsReportedClearly) {
    TSocket taken = Listen(0, "test", "--test");
    TPracticeConfig config;
    config.TelnetPort = LocalPort(taken.Get());
    config.HttpPort = 0;
    TPracticeServer server(config);
    try {
        server.Open();
        FAIL() << "opened a taken port";
    } catch (const TPracticeError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "cannot listen for the telnet cluster on 127.0.0.1:" +
                      std::to_string(config.TelnetPort) +
                      ": the port is already in use (another practice server, perhaps?); "
                      "--telnet-port chooses another");
    }
}

}  // namespace
}  // namespace skimby::practice
