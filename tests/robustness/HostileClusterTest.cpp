// Broken and hostile spot clusters on 127.0.0.1, met by the telnet client
// with the program's received-text handler behind it, as in the window: a
// cluster that resets in the middle of its stream, one that closes in the
// middle of a negotiation, one that drips a byte every 10 ms, one that sends
// a 10 MB line without a line end, and one that sends random bytes. Each
// case ends with a clear outcome within a bounded time, and the memory the
// process holds stays bounded whatever the cluster sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/AntiFreeze.h"
#include "net/NetTestSupport.h"
#include "net/TelnetClient.h"
#include "spots/ReceivedText.h"
#include "support/CommaMarkTest.h"
#include "support/EventLoopThread.h"
#include "support/LoopbackServer.h"
#include "support/ResourceUse.h"

namespace skimby {
namespace {

using Events = std::vector<std::string>;

const Events ClosedEvents = {"Disconnecting from 127.0.0.1.", "Not connected.", "OnDisconnected"};
const std::string Prompt = "Please enter your call: ";
const std::string SpotLine =
    "DX de W9XYZ-#:   14025.0  DL9ABC         CW    18 dB  25 WPM  CQ      1234Z\r\n";

struct TCounterPanel : TStatusPanel {
    void SetPanelText(int, std::string_view) override {}
};

// Fails the server's script when the client sent something else.
void Expect(TPeer& peer, const std::string& bytes) {
    if (peer.Receive(bytes.size()) != bytes)
        throw std::runtime_error("unexpected bytes from the client");
}

void Login(TPeer& peer) {
    peer.Send(Prompt);
    Expect(peer, "OH2XX\r\n");
}

// Sends `count` bytes made by `byte`, in pieces of 64 KiB.
template <typename F>
void Stream(TPeer& peer, std::size_t count, F&& byte) {
    std::string piece;
    while (count > 0) {
        piece.clear();
        for (std::size_t i = 0; i < std::min<std::size_t>(count, 65536); ++i) piece += byte();
        count -= piece.size();
        peer.Send(piece);
    }
}

class HostileClusterTest : public CommaMarkTest {
  protected:
    HostileClusterTest() : AntiFreeze(Ui) {
        Members.FillMemberTable("DL9ABC\tHans\tBerlin\tYes\t3\r\n");
        Table.PrepareSpotTable();
        Log.Attach(Client);
        Client.OnDataAvailable = [this](const std::string& text) {
            Text.Telnet1DataAvailable(text);
        };
    }

    void Connect(std::uint16_t port) {
        Client.Host = "127.0.0.1";
        Client.Port = port;
        Client.Open();
    }

    // Waits (bounded) until the reader has ended and the connection closed.
    bool Ended() {
        return WaitUntil([this] { return !Client.ReaderRunning(); }, 60s) &&
               WaitUntil([this] { return EndsClosed(); });
    }

    bool EndsClosed() const {
        const Events events = Log.Events();
        return events.size() >= 3 &&
               std::equal(ClosedEvents.begin(), ClosedEvents.end(), events.end() - 3);
    }

    // What the handler has done so far, read on the user-interface thread.
    int MemberSpots() {
        int spots = 0;
        Ui.Invoke([&] { spots = Grid.RowCount() - 2; });
        return spots;
    }
    std::int32_t BytesReceived() {
        std::int32_t bytes = 0;
        Ui.Invoke([&] { bytes = Text.BytesReceived(); });
        return bytes;
    }
    std::vector<std::string> Sent() {
        std::vector<std::string> sent;
        Ui.Invoke([&] { sent = FSent; });
        return sent;
    }

    TEventLoopThread Ui;
    TAntiFreeze AntiFreeze;
    TGridModel Grid;
    TAlertPlayer Player{[](const char*, void*, unsigned) { return true; }};
    TSpotTable Table{Grid, Player, [] { return std::string("OH2XX"); }};
    TMemberTable Members;
    TCounterPanel Status;
    std::vector<std::string> FSent;  // on the user-interface thread
    TEventLog Log;
    TTelnetClient Client{Ui};
    TReceivedText Text{Table, Members, Status,
                       [this](const std::string& call) {
                           FSent.push_back(call);
                           Client.SendLine(call);
                       },
                       [] { return std::string("OH2XX"); }};
};

TEST_F(HostileClusterTest, ResetInTheMiddleOfTheStreamEndsTheConnection) {
    std::atomic<int> connection{0};
    TLoopbackServer server(
        [&](TPeer& peer) {
            if (++connection == 2) {
                peer.Send("again\r\n");
                peer.WaitClosed();
                return;
            }
            Login(peer);
            for (int i = 0; i < 500; ++i) peer.Send(SpotLine);
            peer.Send(SpotLine.substr(0, 30));
            peer.Reset();
        },
        2);
    const TResourceUse use("cluster resets mid-stream");
    Connect(server.Port());
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(EndsClosed()) << testing::PrintToString(Log.Events());
    EXPECT_FALSE(Client.IsOpen());
    const int spots = MemberSpots();
    EXPECT_LE(spots, 500);
    use.Report("connection ended (\"Not connected.\"), " + std::to_string(spots) +
               " of 500 spots shown");
    EXPECT_LT(use.PeakGrowth(), 32 * MiB * MemoryBoundScale);

    // A new connection works.
    const std::int32_t before = BytesReceived();
    Connect(server.Port());
    EXPECT_TRUE(WaitUntil([&] { return BytesReceived() == before + 5; }));
    Client.Close();
    server.Join();
    EXPECT_EQ(server.Error(), "");
}

TEST_F(HostileClusterTest, CloseInTheMiddleOfANegotiationEndsTheConnection) {
    const struct {
        const char* name;
        std::string bytes;
        bool reset;
    } cases[] = {
        {"IAC DO, then close", Bytes({255, 253}), false},
        {"IAC SB TERMINAL-TYPE SEND, then close", Bytes({255, 250, 24, 1}), false},
        {"IAC DO TERMINAL-TYPE, then reset", Bytes({255, 253, 24}), true},
        {"IAC WILL ECHO and 64 KiB of DO, then reset",
         [] {
             std::string b = Bytes({255, 251, 1});
             while (b.size() < 65536) b += Bytes({255, 253, 31});
             return b;
         }(),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Log.Clear();
        Client.FilterState = TFilterState::StateData;
        TLoopbackServer server([&](TPeer& peer) {
            Login(peer);
            peer.Send(c.bytes);
            if (c.reset) {
                peer.Reset();
            } else {
                peer.ShutdownSend();
                peer.WaitClosed();
            }
        });
        const TResourceUse use(std::string("cluster closes mid-negotiation: ") + c.name);
        Connect(server.Port());
        ASSERT_TRUE(Ended());
        EXPECT_TRUE(EndsClosed()) << testing::PrintToString(Log.Events());
        EXPECT_FALSE(Client.IsOpen());
        use.Report("connection ended (\"Not connected.\")");
        server.Join();
    }
}

TEST_F(HostileClusterTest, OneByteEvery10MillisecondsStillGivesWholeLines) {
    auto drip = [](TPeer& peer, const std::string& text) {
        for (char c : text) {
            peer.Send(std::string(1, c));
            std::this_thread::sleep_for(10ms);
        }
    };
    TLoopbackServer server([&](TPeer& peer) {
        drip(peer, Prompt);
        Expect(peer, "OH2XX\r\n");
        drip(peer, "\r\nHello OH2XX\r\n" + SpotLine);
        peer.ShutdownSend();
        peer.WaitClosed();
    });
    const TResourceUse use("cluster sends 1 byte every 10 ms");
    Connect(server.Port());
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(EndsClosed());
    EXPECT_EQ(Sent(), std::vector<std::string>{"OH2XX"});
    EXPECT_EQ(MemberSpots(), 1);
    EXPECT_EQ(BytesReceived(), static_cast<std::int32_t>(Prompt.size() + 11 + SpotLine.size() - 2));
    use.Report("login answered once, the spot shown whole, then \"Not connected.\"");
    server.Join();
    EXPECT_EQ(server.Error(), "");
}

TEST_F(HostileClusterTest, TenMegabyteLineWithoutLineEndIsNotHeldWhole) {
    constexpr std::size_t Long = 10'000'000;
    TLoopbackServer server([&](TPeer& peer) {
        Stream(peer, Long, [] { return 'x'; });
        peer.Send("\r\n" + SpotLine);
        peer.ShutdownSend();
        peer.WaitClosed();
    });
    const TResourceUse use("cluster sends a 10 MB line without CR");
    Connect(server.Port());
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(EndsClosed());
    // Every byte was counted and the spot after the long line was found.
    EXPECT_EQ(BytesReceived(), static_cast<std::int32_t>(Long + SpotLine.size() - 2));
    EXPECT_EQ(MemberSpots(), 1);
    use.Report("handed on in pieces of at most one read, the spot after it shown");
    EXPECT_LT(use.PeakGrowth(), 16 * MiB * MemoryBoundScale);
    server.Join();
    EXPECT_EQ(server.Error(), "");
}

TEST_F(HostileClusterTest, RandomBytesEndWithAnOrdinaryClose) {
    constexpr std::size_t Count = 4'000'000;
    TLoopbackServer server([&](TPeer& peer) {
        std::mt19937 random(20240611);
        Stream(peer, Count, [&] { return static_cast<char>(random()); });
        peer.ShutdownSend();
        peer.WaitClosed();  // takes the negotiation replies
    });
    const TResourceUse use("cluster sends 4 MB of random bytes");
    Connect(server.Port());
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(EndsClosed());
    EXPECT_GT(BytesReceived(), 3'000'000);
    EXPECT_EQ(MemberSpots(), 0);
    use.Report("every negotiation answered, no spot, then \"Not connected.\"");
    EXPECT_LT(use.PeakGrowth(), 16 * MiB * MemoryBoundScale);
    server.Join();
    EXPECT_EQ(server.Error(), "");
}

}  // namespace
}  // namespace skimby
