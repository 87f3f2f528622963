// The Qt side of the network layer: work carried to the user-interface
// thread, and the window services of the anti-freeze.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/QtUiDispatcher.h"
#include "app/QtWindowServices.h"
#include "net/SyncCall.h"
#include "support/QtTestApp.h"

namespace skimby {
namespace {

using namespace std::chrono_literals;

class QtAdaptersTest : public testing::Test {
  protected:
    // Processes events until the condition holds or a few seconds passed.
    template <typename F>
    bool ProcessUntil(F condition) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    QApplication& App = QtTestApp();
};

TEST_F(QtAdaptersTest, TasksPostedFromOtherThreadsRunInOrderOnTheUiThread) {
    TQtUiDispatcher dispatcher;
    std::vector<int> order;
    std::atomic<int> offUiThread{0};
    auto post = [&](int from) {
        for (int i = from; i < from + 200; ++i)
            dispatcher.Post([&, i] {
                if (!dispatcher.IsUiThread()) ++offUiThread;
                order.push_back(i);
            });
    };
    std::thread worker(post, 0);
    worker.join();
    post(200);  // from the user-interface thread too: queued, not run at once
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(ProcessUntil([&] { return order.size() == 400; }));
    for (int i = 0; i < 400; ++i) ASSERT_EQ(order[i], i);
    EXPECT_EQ(offUiThread, 0);
    EXPECT_TRUE(dispatcher.IsUiThread());
    bool elsewhere = true;
    std::thread([&] { elsewhere = dispatcher.IsUiThread(); }).join();
    EXPECT_FALSE(elsewhere);
}

TEST_F(QtAdaptersTest, OnceShutdownHasBegunTasksAreDroppedUnrun) {
    auto token = std::make_shared<int>(0);
    int ran = 0;
    {
        TQtUiDispatcher dispatcher;
        dispatcher.Post([&, token] { ++ran; });  // queued before
        dispatcher.BeginShutdown();
        dispatcher.Post([&, token] { ++ran; });  // posted after
        QApplication::processEvents();
        EXPECT_EQ(ran, 0);
    }
    {
        TQtUiDispatcher dispatcher;
        dispatcher.Post([&, token] { ++ran; });
    }  // destroyed with a task queued
    QApplication::processEvents();
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(token.use_count(), 1);  // every dropped task was released
}

// The reader's synchronous delivery: it waits for the call to run on the
// user-interface thread and gets the call's error back.
TEST_F(QtAdaptersTest, ASynchronousCallRunsOnTheUiThreadAndCarriesItsErrorBack) {
    TQtUiDispatcher dispatcher;
    std::atomic<bool> ranOnUiThread{false};
    std::promise<std::string> outcome;
    std::thread worker([&] {
        auto call = std::make_shared<TSyncCall>([&] {
            ranOnUiThread = dispatcher.IsUiThread();
            throw std::runtime_error("from the handler");
        });
        try {
            TSyncCall::Run(call, dispatcher);
            outcome.set_value("no error");
        } catch (const std::exception& e) {
            outcome.set_value(e.what());
        }
    });
    std::future<std::string> result = outcome.get_future();
    ASSERT_TRUE(ProcessUntil([&] { return result.wait_for(0s) == std::future_status::ready; }));
    worker.join();
    EXPECT_EQ(result.get(), "from the handler");
    EXPECT_TRUE(ranOnUiThread);
}

TEST_F(QtAdaptersTest, WindowServicesProcessPendingEventsOnlyOnTheUiThread) {
    TQtWindowServices services;
    EXPECT_TRUE(services.IsUiThread());
    bool elsewhere = true;
    std::thread([&] { elsewhere = services.IsUiThread(); }).join();
    EXPECT_FALSE(elsewhere);

    int fired = 0;
    QObject context;
    auto queue = [&] {
        QMetaObject::invokeMethod(
            &context, [&] { ++fired; }, Qt::QueuedConnection);
        QTimer::singleShot(0, &context, [&] { ++fired; });
    };
    queue();
    std::thread([&] {
        services.ProcessMessages();  // not the user-interface thread: nothing
        services.HandleMessage();
    }).join();
    EXPECT_EQ(fired, 0);
    services.ProcessMessages();
    EXPECT_EQ(fired, 2);
    queue();
    services.HandleMessage();
    services.HandleMessage();
    EXPECT_EQ(fired, 4);
}

}  // namespace
}  // namespace skimby
