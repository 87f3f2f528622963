// The TCP client against servers on 127.0.0.1: opening with its status
// texts, reading lines and counts, writing, a closing or resetting peer.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "net/NetErrors.h"
#include "net/TcpClient.h"
#include "support/LoopbackServer.h"

namespace skimby {
namespace {

using Events = std::vector<std::string>;

class TcpClientTest : public ::testing::Test {
  protected:
    void SetUp() override { Log.Attach(Client); }

    void Connect(std::uint16_t port) {
        Client.Host = "127.0.0.1";
        Client.Port = port;
        Client.Open();
        Log.Clear();
    }

    TTestResolver Resolver;
    TTcpClient Client;
    TEventLog Log;
};

// The server's script that only waits for the client to close.
void WaitForClose(TPeer& peer) {
    peer.WaitClosed();
}

TEST_F(TcpClientTest, OpenReportsItsStepsForEachKindOfHost) {
    const struct {
        const char* host;
        Events events;
        int lookups;
    } cases[] = {
        {"127.0.0.1", {"Connecting to 127.0.0.1.", "Connected.", "OnConnected"}, 0},
        {"localhost",
         {"Resolving hostname localhost.", "Connecting to 127.0.0.1.", "Connected.", "OnConnected"},
         0},
        {"LocalHost",
         {"Resolving hostname LocalHost.", "Connecting to 127.0.0.1.", "Connected.", "OnConnected"},
         0},
        {"cluster.test",
         {"Resolving hostname cluster.test.", "Connecting to 127.0.0.1.", "Connected.",
          "OnConnected"},
         1},
    };
    for (const auto& c : cases) {
        TLoopbackServer server(WaitForClose);
        GLookups = 0;
        Log.Clear();
        Client.Host = c.host;
        Client.Port = server.Port();
        Client.Open();
        EXPECT_EQ(Log.Events(), c.events) << c.host;
        EXPECT_EQ(Resolver.Lookups(), c.lookups) << c.host;
        EXPECT_TRUE(Client.IsOpen());
        EXPECT_EQ(Client.PeerIP(), "127.0.0.1");
        EXPECT_EQ(Client.PeerPort(), server.Port());
        EXPECT_EQ(Client.LocalIP(), "127.0.0.1");
        Client.Close();
        server.Join();
        EXPECT_EQ(server.Error(), "");
    }
}

TEST_F(TcpClientTest, RefusedConnectClosesAgainAndRaisesTheSocketError) {
    TRefusingPort refusing;
    for (const char* host : {"127.0.0.1", "localhost"}) {
        Log.Clear();
        Client.Host = host;
        Client.Port = refusing.Port();
        try {
            Client.Open();
            FAIL() << "open succeeded";
        } catch (const ESocketError& e) {
            EXPECT_EQ(e.LastError, 10061);
            EXPECT_EQ(e.Message(), "Socket Error # 10061\r\nConnection refused.");
        }
        Events expected = {"Connecting to 127.0.0.1.", "Disconnecting from 127.0.0.1.",
                           "Not connected.", "OnDisconnected"};
        if (std::string(host) == "localhost")
            expected.insert(expected.begin(), "Resolving hostname localhost.");
        EXPECT_EQ(Log.Events(), expected);
        EXPECT_FALSE(Client.IsOpen());
    }
}

TEST_F(TcpClientTest, UnknownHostClosesWithAnEmptyPeerAddress) {
    Client.Host = "no-such-host.test";
    Client.Port = 23;
    try {
        Client.Open();
        FAIL() << "open succeeded";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.LastError, 11001);
        EXPECT_EQ(e.Message(), "Socket Error # 11001\r\n");
    }
    EXPECT_EQ(Log.Events(), (Events{"Resolving hostname no-such-host.test.", "Disconnecting from .",
                                    "Not connected.", "OnDisconnected"}));
    EXPECT_FALSE(Client.IsOpen());
}

TEST_F(TcpClientTest, OnlyTheLowSixteenBitsOfThePortCount) {
    TLoopbackServer server(WaitForClose, 2);
    for (std::int32_t port : {server.Port() + 65536, server.Port() - 65536}) {
        Client.Host = "127.0.0.1";
        Client.Port = port;
        Client.Open();
        EXPECT_EQ(Client.PeerPort(), server.Port()) << port;
        Client.Close();
    }
    server.Join();
    EXPECT_EQ(server.Accepted(), 2);

    Client.Port = 0;
    EXPECT_THROW(Client.Open(), ESocketError);
}

TEST_F(TcpClientTest, OpenOnAnOpenConnectionIsRefusedWithoutEvents) {
    TLoopbackServer server(WaitForClose);
    Connect(server.Port());
    EXPECT_THROW(Client.Open(), EAlreadyConnected);
    EXPECT_TRUE(Log.Events().empty());
    EXPECT_TRUE(Client.IsOpen());
    Client.Close();
}

TEST_F(TcpClientTest, BindFailureClosesThroughTheFailurePath) {
    Client.BoundIP = "not an address";
    Client.Host = "127.0.0.1";
    Client.Port = 23;
    EXPECT_THROW(Client.Open(), ESocketError);
    EXPECT_EQ(Log.Events(), (Events{"Disconnecting from .", "Not connected.", "OnDisconnected"}));

    TLoopbackServer server(WaitForClose);
    Client.BoundIP = "127.0.0.1";
    Client.UseNagle = false;
    Connect(server.Port());
    EXPECT_EQ(Client.LocalIP(), "127.0.0.1");
    Client.Close();
}

TEST_F(TcpClientTest, ClosingTwiceRaisesTheEventsOnce) {
    TLoopbackServer server(WaitForClose);
    Connect(server.Port());
    Client.Close();
    Client.Close();
    EXPECT_EQ(Log.Events(),
              (Events{"Disconnecting from 127.0.0.1.", "Not connected.", "OnDisconnected"}));
    EXPECT_FALSE(Client.IsOpen());
    EXPECT_TRUE(Client.PeerClosed);
}

TEST_F(TcpClientTest, LinesEndAtTheirTerminator) {
    const struct {
        std::string bytes;
        std::string terminator;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\n", "", {"a"}},
        {"a\r\r\n", "", {"a\r"}},
        {"a\r\n", "\n", {"a\r"}},
        {"one\ntwo\r\n\r\nfour\n", "", {"one", "two", "", "four"}},
        {"xyENDz ENDEN", "END", {"xy", "z "}},
        {std::string("\0\xff\t\n", 4), "", {std::string("\0\xff\t", 3)}},
    };
    for (const auto& c : cases) {
        TLoopbackServer server([&](TPeer& peer) {
            peer.Send(c.bytes);
            peer.WaitClosed();
        });
        Connect(server.Port());
        for (const auto& line : c.lines) EXPECT_EQ(Client.ReceiveLine(c.terminator), line);
        EXPECT_FALSE(Client.LineTimedOut);
        Client.Close();
    }
}

TEST_F(TcpClientTest, ATerminatorSplitBetweenReceivesIsFound) {
    // The client's time-outs end the first reads, so each part arrives in a
    // receive of its own and the search resumes across calls.
    TLoopbackServer server([](TPeer& peer) {
        peer.Send("abEN");
        peer.Receive(1);
        peer.Send("Dcd\r");
        peer.Receive(1);
        peer.Send("\n");
        peer.WaitClosed();
    });
    Connect(server.Port());
    EXPECT_EQ(Client.ReceiveLine("END", 50), "");
    EXPECT_TRUE(Client.LineTimedOut);
    Client.SendText("1");
    EXPECT_EQ(Client.ReceiveLine("END"), "ab");
    EXPECT_EQ(Client.ReceiveLine("", 50), "");
    EXPECT_TRUE(Client.LineTimedOut);
    EXPECT_EQ(Client.InputBuffer.View(), "cd\r");
    Client.SendText("2");
    EXPECT_EQ(Client.ReceiveLine(), "cd");
    Client.Close();
    server.Join();
    EXPECT_EQ(server.Error(), "");
}

TEST_F(TcpClientTest, LineLongerThanAllowedIsRefused) {
    TLoopbackServer server([](TPeer& peer) {
        peer.Send("12345\r\n123456\r\n1234567");
        peer.WaitClosed();
    });
    Connect(server.Port());
    EXPECT_EQ(Client.ReceiveLine("", TimeOutInfinite, 5), "12345");
    EXPECT_THROW(Client.ReceiveLine("", TimeOutInfinite, 5), ELineTooLong);
    EXPECT_EQ(Client.ReceiveLine("", TimeOutInfinite, 6), "123456");
    EXPECT_THROW(Client.ReceiveLine("", TimeOutInfinite, 6), ELineTooLong);  // no end, yet too long
    EXPECT_EQ(Client.InputBuffer.View(), "1234567");
    Client.Close();
}

TEST_F(TcpClientTest, PeerClosingInTheMiddleOfALine) {
    TLoopbackServer server([](TPeer& peer) { peer.Send("abc"); });
    Connect(server.Port());
    EXPECT_EQ(Client.ReceiveLine(), "");
    EXPECT_TRUE(Client.LineTimedOut);
    EXPECT_EQ(Client.InputBuffer.View(), "abc");
    EXPECT_EQ(Log.Events(),
              (Events{"Disconnecting from 127.0.0.1.", "Not connected.", "OnDisconnected"}));
    EXPECT_THROW(Client.ReceiveLine(), EConnClosedGracefully);
    EXPECT_FALSE(Client.IsOpen());
    Client.Close();
    EXPECT_EQ(Log.Size(), 3u);  // the close raised nothing more
}

TEST_F(TcpClientTest, ReceiveAvailableTakesOneReceiveAndIsEmptyAfterTheClose) {
    TLoopbackServer server([](TPeer& peer) {
        peer.Send(std::string(100, 'x'));
        peer.Receive(1);
    });
    Connect(server.Port());
    Client.RecvBufferSize = 10;
    EXPECT_EQ(Client.ReceiveAvailable(), std::string(10, 'x'));
    Client.RecvBufferSize = 1024;
    std::string rest;
    while (rest.size() < 90) rest += Client.ReceiveAvailable();
    EXPECT_EQ(rest, std::string(90, 'x'));
    Client.SendText("!");
    EXPECT_EQ(Client.ReceiveAvailable(), "");
    EXPECT_FALSE(Client.IsOpen());
    EXPECT_EQ(Client.ReceiveAvailable(), "");
}

TEST_F(TcpClientTest, ResetPeerRaisesTheSocketErrorAndKeepsTheSocket) {
    TLoopbackServer server([](TPeer& peer) { peer.Reset(); });
    Connect(server.Port());
    try {
        Client.ReceiveLine();
        FAIL() << "no error";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.LastError, 10054);
        EXPECT_EQ(e.Message(), "Socket Error # 10054\r\nConnection reset by peer.");
    }
    EXPECT_TRUE(Client.IsOpen());
    EXPECT_TRUE(Log.Events().empty());
    Client.Close();
    EXPECT_EQ(Log.Events(),
              (Events{"Disconnecting from 127.0.0.1.", "Not connected.", "OnDisconnected"}));
}

TEST_F(TcpClientTest, WritesSendTheirBytesUnchanged) {
    std::promise<std::string> received;
    TLoopbackServer server([&](TPeer& peer) { received.set_value(peer.ReceiveUntilClosed()); });
    Connect(server.Port());
    Client.SendText("");
    Client.SendLine("");
    Client.SendLine("NOCALL");
    Client.SendText(std::string("\0\xff\r", 3));
    Client.Close();
    EXPECT_EQ(received.get_future().get(), std::string("\r\nNOCALL\r\n\0\xff\r", 13));
}

TEST_F(TcpClientTest, WritingToAClosedConnectionRaises) {
    EXPECT_THROW(Client.SendLine("x"), EConnClosedGracefully);  // never opened
    TLoopbackServer server([](TPeer&) {});
    Connect(server.Port());
    EXPECT_EQ(Client.ReceiveAvailable(), "");  // notices the close
    EXPECT_THROW(Client.SendLine("x"), EConnClosedGracefully);
}

TEST_F(TcpClientTest, ReadingIntoAStream) {
    const struct {
        const char* name;
        std::string served;
        std::int64_t count;
        bool untilClose;
        std::string expected;  // stream contents after the read
        bool closedError;
    } cases[] = {
        {"counted", "0123456789", 4, false, "..0123", false},
        {"length first", std::string("\0\0\0\x03", 4) + "abcd", -1, false, "..abc", false},
        {"until close", "0123456789", -1, true, "..0123456789", false},
        {"until close, at most", "0123456789", 6, true, "..012345", false},
        {"count cut short", "0123", 10, false, "..0123", true},
        {"empty until close", "", -1, true, "..", false},
    };
    for (const auto& c : cases) {
        TLoopbackServer server([&](TPeer& peer) {
            peer.Send(c.served);
            peer.ShutdownSend();
            peer.WaitClosed();
        });
        Connect(server.Port());
        Client.RecvBufferSize = 3;
        TByteStream stream;
        stream.Write("..old tail");
        stream.SetPosition(2);
        if (c.closedError) {
            EXPECT_THROW(Client.ReceiveToStream(stream, c.count, c.untilClose),
                         EConnClosedGracefully)
                << c.name;
            EXPECT_EQ(stream.Bytes().substr(0, c.expected.size()), c.expected) << c.name;
        } else {
            Client.ReceiveToStream(stream, c.count, c.untilClose);
            EXPECT_EQ(stream.Bytes(), c.expected) << c.name;
        }
        Client.Close();
    }
}

TEST_F(TcpClientTest, BufferedBytesAreReadFirst) {
    TLoopbackServer server([](TPeer& peer) {
        peer.Send("HEAD\nbody-part-one;");
        peer.Receive(1);
        peer.Send("two");
        peer.WaitClosed();
    });
    Connect(server.Port());
    EXPECT_EQ(Client.ReceiveLine(), "HEAD");
    Client.SendText("!");
    TByteStream stream;
    Client.ReceiveToStream(stream, 17);
    EXPECT_EQ(stream.Bytes(), "body-part-one;two");
    EXPECT_TRUE(Client.InputBuffer.Empty());
    Client.Close();
}

TEST_F(TcpClientTest, CloseFromAnotherThreadEndsAWaitingRead) {
    TLoopbackServer server(WaitForClose);
    Connect(server.Port());
    auto reading = std::async(std::launch::async, [this] {
        try {
            Client.ReceiveLine();
        } catch (const EConnClosedGracefully&) {
            return true;
        }
        return false;
    });
    std::this_thread::sleep_for(20ms);  // let it wait
    Client.Close();
    ASSERT_EQ(reading.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(reading.get());
    EXPECT_EQ(Log.Events(),
              (Events{"Disconnecting from 127.0.0.1.", "Not connected.", "OnDisconnected"}));
}

}  // namespace
}  // namespace skimby
