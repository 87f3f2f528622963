// The telnet client with its reader thread against servers on 127.0.0.1,
// with a plain event-loop thread as the user-interface thread.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "net/AntiFreeze.h"
#include "net/NetErrors.h"
#include "net/TelnetClient.h"
#include "support/EventLoopThread.h"
#include "support/LoopbackServer.h"

namespace skimby {
namespace {

using Events = std::vector<std::string>;

const Events ClosedEvents = {"Disconnecting from 127.0.0.1.", "Not connected.", "OnDisconnected"};

// Fails the server's script when the client sent something else.
void Expect(TPeer& peer, const std::string& bytes) {
    std::string got = peer.Receive(bytes.size());
    if (got != bytes) throw std::runtime_error("unexpected bytes from the client");
}

class TelnetClientTest : public ::testing::Test {
  protected:
    TelnetClientTest() : AntiFreeze(Ui) {}

    void SetUp() override {
        Log.Attach(Client);
        Client.OnDataAvailable = [this](const std::string& text) { Handle(text); };
    }

    void Handle(const std::string& text) {
        Log.Add("Data:" + text);
        if (OnData) OnData(text);
    }

    void Open(std::uint16_t port) {
        Client.Host = "127.0.0.1";
        Client.Port = port;
        Client.Open();
    }

    // The events after the open's own.
    Events AfterOpen() {
        Events events = Log.Events();
        auto connected = std::find(events.begin(), events.end(), "OnConnected");
        return connected == events.end() ? events : Events(connected + 1, events.end());
    }

    bool ReaderEnds() {
        return WaitUntil([this] { return !Client.ReaderRunning(); });
    }

    // Declared first so that they outlive the client and its reader.
    TEventLog Log;
    std::function<void(const std::string&)> OnData;
    TTestResolver Resolver;
    TEventLoopThread Ui;
    TAntiFreeze AntiFreeze;
    TTelnetClient Client{Ui};
};

TEST_F(TelnetClientTest, NegotiationIsAnsweredAndTheTextDelivered) {
    std::promise<std::string> replies;
    TLoopbackServer server([&](TPeer& peer) {
        peer.Send(Bytes({255, 253, 24}) + "Please enter your call: " +
                  Bytes({255, 250, 24, 1, 255, 240, 255, 251, 3, 255, 253, 31}));
        replies.set_value(peer.Receive(19));
        peer.WaitClosed();
    });
    Open(server.Port());
    EXPECT_EQ(replies.get_future().get(),
              Bytes({255, 251, 24}) + Bytes({255, 250, 24, 0, 'd', 'u', 'm', 'b', 255, 240}) +
                  Bytes({255, 254, 3, 255, 252, 31}));
    auto text = [this] {
        std::string all;
        for (const auto& e : AfterOpen()) all += e.substr(5);
        return all;
    };
    EXPECT_TRUE(WaitUntil([&] { return text() == "Please enter your call: "; })) << text();
    Client.Close();
}

TEST_F(TelnetClientTest, EachReadIsOneDeliveryOnTheUserInterfaceThread) {
    // The handler answers every delivery, so the server knows when the
    // client has read; only then does it send the next piece.
    OnData = [this](const std::string&) { Client.SendLine("ok"); };
    TLoopbackServer server([](TPeer& peer) {
        peer.Send("DX de A");
        Expect(peer, "ok\r\n");
        peer.Send(Bytes({255, 251, 1}));  // negotiation only: an empty delivery
        Expect(peer, Bytes({255, 253, 1}) + "ok\r\n");
        peer.Send("B\r\n");
        Expect(peer, "ok\r\n");
    });
    Open(server.Port());
    ASSERT_TRUE(ReaderEnds());
    server.Join();
    EXPECT_EQ(server.Error(), "");

    Events expected = {"Data:DX de A", "Data:", "Data:B\r\n"};
    expected.insert(expected.end(), ClosedEvents.begin(), ClosedEvents.end());
    expected.push_back("Data:");  // after the peer's close
    EXPECT_EQ(AfterOpen(), expected);

    // Deliveries on the user-interface thread, the close's events on the reader's.
    auto events = Log.Events();
    auto threads = Log.Threads();
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].rfind("Data:", 0) == 0) {
            EXPECT_EQ(threads[i], Ui.Id()) << events[i];
        }
        if (events[i] == "Not connected.") {
            EXPECT_NE(threads[i], Ui.Id());
            EXPECT_NE(threads[i], std::this_thread::get_id());
        }
    }
    EXPECT_FALSE(Client.IsOpen());
    std::size_t before = Log.Size();
    Client.Close();
    EXPECT_EQ(Log.Size(), before);
}

TEST_F(TelnetClientTest, CloseWhileTheReaderWaitsEndsItWithoutEvents) {
    TLoopbackServer server([](TPeer& peer) { peer.WaitClosed(); }, 2);
    for (int round = 0; round < 2; ++round) {
        Log.Clear();
        Open(server.Port());
        std::this_thread::sleep_for(30ms);  // the reader is in its wait now
        Ui.Invoke([this] { Client.Close(); });
        EXPECT_TRUE(ReaderEnds());
        std::this_thread::sleep_for(300ms);  // longer than one wait slice
        EXPECT_EQ(AfterOpen(), ClosedEvents);
        auto threads = Log.Threads();
        for (std::size_t i = threads.size() - ClosedEvents.size(); i < threads.size(); ++i)
            EXPECT_EQ(threads[i], Ui.Id());
    }
    server.Join();
    EXPECT_EQ(server.Error(), "");
}

TEST_F(TelnetClientTest, ADeliveryPostedBeforeTheCloseStillRuns) {
    std::atomic<bool> sendFailed{false};
    OnData = [&](const std::string&) {
        try {
            Client.SendLine("late");
        } catch (const EConnClosedGracefully&) {
            sendFailed = true;
            throw;
        }
    };
    TLoopbackServer server([](TPeer& peer) {
        Expect(peer, "go");
        peer.Send("spot");
        peer.WaitClosed();
    });
    Open(server.Port());
    // The user-interface thread is busy while the reader posts its delivery,
    // then closes; the delivery runs after the close's events.
    Ui.Invoke([&] {
        Client.SendText("go");
        WaitUntil([&] { return Ui.Queued() > 0; });
        Client.Close();
    });
    EXPECT_TRUE(ReaderEnds());
    Events expected = ClosedEvents;
    expected.push_back("Data:spot");
    EXPECT_EQ(AfterOpen(), expected);
    EXPECT_TRUE(sendFailed);
}

TEST_F(TelnetClientTest, AReaderEndedByAnErrorClosesTheConnection) {
    const struct {
        const char* name;
        std::function<void(TPeer&)> firstConnection;
        bool handlerRaises;
        bool noHandler;
        Events deliveries;
    } cases[] = {
        {"reset by the server", [](TPeer& peer) { peer.Reset(); }, false, false, {}},
        {"the handler raises",
         [](TPeer& peer) {
             peer.Send("DX de 1");
             peer.WaitClosed();
         },
         true,
         false,
         {"Data:DX de 1"}},
        {"no handler",
         [](TPeer& peer) {
             peer.Send("DX de 1");
             peer.WaitClosed();
         },
         false,
         true,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<int> connection{0};
        TLoopbackServer server(
            [&](TPeer& peer) {
                if (++connection == 1) {
                    c.firstConnection(peer);
                } else {
                    peer.Send("again");
                    peer.WaitClosed();
                }
            },
            2);
        Log.Clear();
        bool raise = c.handlerRaises;
        OnData = [&raise](const std::string&) {
            if (raise) throw EConvertError("'x' is not a valid integer value");
        };
        if (c.noHandler) Client.OnDataAvailable = nullptr;
        Open(server.Port());
        ASSERT_TRUE(ReaderEnds());
        Events expected = c.deliveries;
        expected.insert(expected.end(), ClosedEvents.begin(), ClosedEvents.end());
        EXPECT_EQ(AfterOpen(), expected);
        EXPECT_FALSE(Client.IsOpen());

        // A new connection works.
        raise = false;
        Client.OnDataAvailable = [this](const std::string& text) { Handle(text); };
        Log.Clear();
        Open(server.Port());
        EXPECT_TRUE(WaitUntil([&] { return Log.Size() == 4; }));
        EXPECT_EQ(Log.Events().back(), "Data:again");
        Client.Close();
        server.Join();
        // The handler of this case may still be running on the
        // user-interface thread: let it finish before the next case
        // replaces it.
        ASSERT_TRUE(ReaderEnds());
        Ui.Invoke([] {});
    }
}

TEST_F(TelnetClientTest, FailedOpenSaysTheServerIsNotResponding) {
    TRefusingPort refusing;
    const struct {
        const char* host;
        std::uint16_t port;
        Events events;
    } cases[] = {
        {"127.0.0.1",
         refusing.Port(),
         {"Connecting to 127.0.0.1.", "Disconnecting from 127.0.0.1.", "Not connected.",
          "OnDisconnected"}},
        {"no-such-host.test",
         7000,
         {"Resolving hostname no-such-host.test.", "Disconnecting from .", "Not connected.",
          "OnDisconnected"}},
    };
    for (const auto& c : cases) {
        Log.Clear();
        Client.Host = c.host;
        Client.Port = c.port;
        try {
            Client.Open();
            FAIL() << "open succeeded";
        } catch (const ETelnetConnectError& e) {
            EXPECT_EQ(e.Message(), "server not responding");
        }
        EXPECT_EQ(Log.Events(), c.events);
        EXPECT_FALSE(Client.ReaderRunning());
    }

    TLoopbackServer server([](TPeer& peer) { peer.WaitClosed(); });
    Open(server.Port());
    EXPECT_THROW(Client.Open(), EAlreadyConnected);
    Client.Close();
}

TEST_F(TelnetClientTest, FilterStateCarriesOverToTheNextConnection) {
    std::promise<std::string> reply;
    std::atomic<int> connection{0};
    TLoopbackServer server(
        [&](TPeer& peer) {
            if (++connection == 1) {
                peer.Send("a" + Bytes({255}));  // a lone IAC, then the close
            } else {
                peer.Send(Bytes({253, 24}) + "b");  // read as DO TERMINAL-TYPE
                reply.set_value(peer.Receive(3));
                peer.WaitClosed();
            }
        },
        2);
    Open(server.Port());
    ASSERT_TRUE(ReaderEnds());
    EXPECT_EQ(Client.FilterState, TFilterState::StateIac);
    Log.Clear();
    Open(server.Port());
    EXPECT_EQ(reply.get_future().get(), Bytes({255, 251, 24}));
    EXPECT_TRUE(WaitUntil([&] { return Log.Size() == 4; }));
    EXPECT_EQ(Log.Events().back(), "Data:b");
    Client.Close();
}

// With a delivery interval, a stream of short lines comes in a few larger
// deliveries, at most one per interval, with nothing lost or reordered.
TEST_F(TelnetClientTest, PacedDeliveriesCarryAStreamOfShortLinesWhole) {
    constexpr int Lines = 40;
    Client.DeliveryInterval = 100ms;
    std::string sent;
    for (int i = 0; i < Lines; ++i) sent += "DX de line " + std::to_string(i) + "\r\n";
    TLoopbackServer server([](TPeer& peer) {
        for (int i = 0; i < Lines; ++i) {
            peer.Send("DX de line " + std::to_string(i) + "\r\n");
            std::this_thread::sleep_for(5ms);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    Open(server.Port());
    ASSERT_TRUE(ReaderEnds());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    server.Join();

    std::string received;
    int deliveries = 0;
    for (const auto& e : AfterOpen()) {
        if (e.rfind("Data:", 0) != 0 || e == "Data:") continue;
        received += e.substr(5);
        ++deliveries;
    }
    EXPECT_EQ(received, sent);
    EXPECT_LE(deliveries, elapsed / Client.DeliveryInterval + 1) << "in " << elapsed / 1ms << " ms";
    EXPECT_LT(deliveries, Lines);
}

// A read that fills the receive buffer is followed by the next read at
// once, whatever the interval; after a short one the reader pauses, and a
// close cuts the pause short.
TEST_F(TelnetClientTest, FullReadsAreNotPausedAndACloseEndsAPause) {
    Client.DeliveryInterval = std::chrono::hours(1);
    Client.RecvBufferSize = 4;
    std::promise<void> lastSent;
    TLoopbackServer server([&](TPeer& peer) {
        peer.Send("0123456789abcdefDX de A");  // one segment: reads of 4, the last one short
        peer.Send("never read");
        lastSent.set_value();
        peer.WaitClosed();
    });
    Open(server.Port());
    lastSent.get_future().wait();
    auto text = [this] {
        std::string all;
        for (const auto& e : AfterOpen()) all += e.substr(5);
        return all;
    };
    EXPECT_TRUE(WaitUntil([&] { return text().size() >= 23; })) << text();
    EXPECT_EQ(text().substr(0, 23), "0123456789abcdefDX de A");
    Ui.Invoke([this] { Client.Close(); });
    EXPECT_TRUE(ReaderEnds());
}

TEST(TelnetClientLifetime, DestroyingWhileTheServerStreamsNeitherHangsNorCrashes) {
    for (bool onUiThread : {false, true}) {
        SCOPED_TRACE(onUiThread ? "on the user-interface thread" : "on another thread");
        TEventLoopThread ui;
        TAntiFreeze antiFreeze(ui);
        TLoopbackServer server([](TPeer& peer) {
            const std::string chunk(65536, 'x');
            for (;;) peer.Send(chunk);  // until the client is gone
        });
        std::atomic<std::size_t> received{0};
        std::atomic<bool> destroying{false};
        auto client = std::make_unique<TTelnetClient>(ui);
        client->OnDataAvailable = [&](const std::string& text) { received += text.size(); };
        client->OnStatus = [&](TNetComponent&, TNetStatus, const std::string& text) {
            if (destroying) ADD_FAILURE() << "event while destroying: " << text;
        };
        client->Host = "127.0.0.1";
        client->Port = server.Port();
        client->Open();
        ASSERT_TRUE(WaitUntil([&] { return received > (1u << 20); }));
        // Keep the user-interface thread busy until the reader has posted a
        // delivery and waits for it: the destruction must not wait for that
        // delivery, wherever it runs.
        auto deliveryQueued = [&] { return WaitUntil([&] { return ui.Queued() > 0; }); };
        destroying = true;
        if (onUiThread) {
            ui.Invoke([&] {
                EXPECT_TRUE(deliveryQueued());
                client.reset();
            });
        } else {
            std::promise<void> release;
            ui.Post([future = release.get_future().share()] { future.wait(); });
            EXPECT_TRUE(deliveryQueued());
            client.reset();
            release.set_value();
        }
        std::size_t after = received;
        ui.Invoke([] {});
        EXPECT_EQ(received, after) << "no delivery after the destruction";
    }
}

}  // namespace
}  // namespace skimby
