// Waits cut into slices, and window messages processed between them on the
// user-interface thread only.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "NetTestSupport.h"
#include "net/AntiFreeze.h"
#include "net/NetErrors.h"
#include "net/TcpClient.h"
#include "support/LoopbackServer.h"

namespace skimby {
namespace {

// Window services that count their calls; the user-interface thread is the
// one that created them.
class TCountingServices : public TWindowServices {
  public:
    void ProcessMessages() override { ++Processed; }
    void HandleMessage() override { ++Handled; }
    bool IsUiThread() const override { return std::this_thread::get_id() == UiThread; }

    std::thread::id UiThread = std::this_thread::get_id();
    std::atomic<int> Processed{0};
    std::atomic<int> Handled{0};
};

TEST(AntiFreeze, TheLastCreatedIsActiveUntilDestroyed) {
    TCountingServices services;
    EXPECT_EQ(TAntiFreezeBase::ActiveAntiFreeze(), nullptr);
    {
        TAntiFreeze first(services);
        EXPECT_EQ(TAntiFreezeBase::ActiveAntiFreeze(), &first);
        {
            TAntiFreeze second(services);
            EXPECT_EQ(TAntiFreezeBase::ActiveAntiFreeze(), &second);
        }
        EXPECT_EQ(TAntiFreezeBase::ActiveAntiFreeze(), nullptr);
    }
    EXPECT_EQ(TAntiFreezeBase::ActiveAntiFreeze(), nullptr);
}

TEST(AntiFreeze, PumpingFollowsTheSettings) {
    const struct {
        const char* name;
        bool active, priority, onlyWhenIdle, idle;
        int processed, handled;
    } cases[] = {
        {"idle", true, true, true, true, 1, 0},
        {"busy, only when idle", true, true, true, false, 0, 0},
        {"busy, always", true, true, false, false, 1, 0},
        {"one message at a time", true, false, true, true, 0, 1},
        {"inactive", false, true, true, true, 0, 0},
    };
    for (const auto& c : cases) {
        TCountingServices services;
        TAntiFreeze antiFreeze(services);
        antiFreeze.Active = c.active;
        antiFreeze.ApplicationHasPriority = c.priority;
        antiFreeze.OnlyWhenIdle = c.onlyWhenIdle;
        TAntiFreezeBase::PumpMessages(c.idle);
        EXPECT_EQ(services.Processed, c.processed) << c.name;
        EXPECT_EQ(services.Handled, c.handled) << c.name;
        std::thread([&] { TAntiFreezeBase::PumpMessages(true, true); }).join();
        EXPECT_EQ(services.Processed + services.Handled, c.processed + c.handled)
            << c.name << ": another thread never pumps";
    }
}

TEST(AntiFreeze, WaitsAreSlicedAndPumpedOnlyOnTheUserInterfaceThread) {
    TCountingServices services;
    TAntiFreeze antiFreeze(services);
    antiFreeze.IdleTimeOut = 10;
    TLoopbackServer server([](TPeer& peer) {
        peer.Receive(1);
        std::this_thread::sleep_for(100ms);
        peer.Send("line\n");
        peer.Receive(1);
        std::this_thread::sleep_for(100ms);
        peer.Send("line\n");
        peer.WaitClosed();
    });
    TTcpClient client;
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.Open();

    client.SendText("1");
    EXPECT_EQ(client.ReceiveLine(), "line");
    EXPECT_GE(services.Processed, 2) << "each empty slice lets the window work";

    // A time-out is sliced the same way and still ends the wait.
    int before = services.Processed;
    EXPECT_EQ(client.ReceiveLine("", 35), "");
    EXPECT_TRUE(client.LineTimedOut);
    EXPECT_GE(services.Processed - before, 3);

    before = services.Processed;
    client.SendText("2");
    std::thread([&] { EXPECT_EQ(client.ReceiveLine(), "line"); }).join();
    EXPECT_EQ(services.Processed, before) << "the reader's slices pump nothing";
    EXPECT_EQ(services.Handled, 0);
    client.Close();
}

}  // namespace
}  // namespace skimby
