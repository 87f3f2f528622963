// The connect flow with the program's real network clients, against servers
// the tests start on 127.0.0.1: what the fakes cannot show (the reader
// thread's events reaching the window on its own thread and in order, real
// sockets closing, the anti-freeze keeping the window working during a
// fetch, the real errors' texts).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <mutex>
#include <sstream>
#include <thread>

#include "AppTestSupport.h"
#include "app/HttpLink.h"
#include "app/TelnetLink.h"
#include "practice-server/PracticeServer.h"
#include "support/LoopbackServer.h"
#include "support/ScriptedHttpServer.h"

namespace skimby {
namespace {

using namespace std::chrono_literals;

constexpr const char* MemberList =
    "DL1ABC\tAnna\tBonn\tNo\t0\r\n"
    "K9ABC\tBob\tChicago\tYes\t2\r\n";
constexpr const char* SpotOfK9abc =
    "DX de W9XYZ-#:    7023.5  K9ABC          CW    11 dB  19 WPM  CQ      0915Z\r\n";

TCannedReply MemberReply(const std::string& body = MemberList) {
    return {"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body};
}

// The practice server on free ports, served by a thread of its own.
class TPracticeThread {
  public:
    explicit TPracticeThread(practice::TPracticeConfig config) : Server(Prepare(config)) {
        Server.Open();
        Thread = std::thread([this] { Server.Run(); });
    }
    ~TPracticeThread() { Stop(); }
    void Stop() {
        if (!Thread.joinable()) return;
        Server.Stop();
        Thread.join();
    }
    // What the server logged; read once it has stopped.
    std::string Log() const { return LogText.str(); }

    practice::TPracticeServer Server;

  private:
    practice::TPracticeConfig Prepare(practice::TPracticeConfig config) {
        config.TelnetPort = 0;
        config.HttpPort = 0;
        config.Log = &LogText;
        return config;
    }
    std::ostringstream LogText;
    std::thread Thread;
};

class LiveConnectionTest : public AppTest {
  protected:
    void PlugNetwork(TFormEnvironment& env) override {
        auto telnet = std::make_unique<TTelnetClientLink>();
        Link = telnet.get();
        env.Telnet = std::move(telnet);
        env.Http = std::make_unique<THttpClientFetcher>();
        env.MemberHost = MemberHost;
    }

    // The window with one server in its list, the call sign set, and every
    // event of the telnet connection recorded on its way to the window.
    void StartWith(std::uint16_t telnetPort, int httpPort) {
        WriteBytes(Dir.File("telnet.ini"),
                   "Test\t127.0.0.1\t" + std::to_string(telnetPort) + "\r\n");
        WriteSettings("[Telnet]\nMycall=DL1ABC\n");
        MemberHost = "127.0.0.1:" + std::to_string(httpPort);
        Start();
        RecordEvents();
    }

    void RecordEvents() {
        auto status = Link->OnStatus;
        Link->OnStatus = [this, status](int code, const std::string& text) {
            Note("status " + text);
            status(code, text);
        };
        auto connected = Link->OnConnected;
        Link->OnConnected = [this, connected] {
            Note("connected");
            connected();
        };
        auto disconnected = Link->OnDisconnected;
        Link->OnDisconnected = [this, disconnected] {
            Note("disconnected");
            if (WhenDisconnected) WhenDisconnected();
            disconnected();
        };
        auto data = Link->OnDataAvailable;
        Link->OnDataAvailable = [this, data](std::string_view text) {
            Note(text.empty() ? "empty data" : "data");
            data(text);
        };
    }

    void Note(const std::string& event) {
        std::lock_guard lock(EventLock);
        if (std::this_thread::get_id() != UiThread) OffUiThread.push_back(event);
        // Runs of deliveries count as one.
        if (event == "data" && !Events.empty() && Events.back() == "data") return;
        Events.push_back(event);
    }
    std::vector<std::string> RecordedEvents() {
        std::lock_guard lock(EventLock);
        return Events;
    }
    std::vector<std::string> EventsOffUiThread() {
        std::lock_guard lock(EventLock);
        return OffUiThread;
    }

    // Lets the window work until the condition holds or time is up.
    template <typename F>
    bool WaitUntil(F condition, std::chrono::milliseconds limit = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }

    void Press() { QTest::mouseClick(Form().Button1, Qt::LeftButton); }
    std::string Caption() { return Form().Button1->text().toStdString(); }
    int Rows() { return Form().SpotModel().RowCount(); }

    const std::thread::id UiThread = std::this_thread::get_id();
    std::string MemberHost;
    TTelnetClientLink* Link = nullptr;
    std::function<void()> WhenDisconnected;

  private:
    std::mutex EventLock;
    std::vector<std::string> Events;
    std::vector<std::string> OffUiThread;
};

TEST_F(LiveConnectionTest, LogsInToThePracticeServerShowsSpotsAndConnectsAgain) {
    practice::TPracticeConfig config;
    config.Rate = 200;
    config.MemberShare = 0.5;
    config.MemberCount = 40;
    config.Seed = 7;
    TPracticeThread practice(config);
    StartWith(static_cast<std::uint16_t>(practice.Server.TelnetPort()), practice.Server.HttpPort());

    Press();
    EXPECT_GT(Form().MemberTable().RowCount(), config.MemberCount);
    EXPECT_EQ(Caption(), "Disconnect");
    EXPECT_FALSE(Form().ComboBox1->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return Rows() >= 6; })) << Rows();
    EXPECT_TRUE(Form().PanelText(0).starts_with("Bytes received: ")) << Form().PanelText(0);
    EXPECT_EQ(Form().PanelText(1), "Connected.");

    Press();  // Disconnect
    EXPECT_EQ(Caption(), "Connect");
    EXPECT_TRUE(Form().ComboBox1->isEnabled());
    EXPECT_EQ(Form().PanelText(1), "Not connected.");
    // A delivery already on its way may still add a row; then nothing more.
    WaitUntil([] { return false; }, 300ms);
    const int rows = Rows();
    WaitUntil([] { return false; }, 300ms);
    EXPECT_EQ(Rows(), rows);

    // Again: the list is fetched anew, the table stays and grows.
    Press();
    EXPECT_EQ(Caption(), "Disconnect");
    EXPECT_GE(Rows(), rows);
    EXPECT_TRUE(WaitUntil([&] { return Rows() >= rows + 3; }));
    EXPECT_EQ(practice.Server.Stats().HttpRequests, 2u);
    EXPECT_EQ(practice.Server.Stats().Logins, 2u);

    Form().close();
    EXPECT_FALSE(Link->IsOpen());
    practice.Stop();
    // The prompt was answered with the call sign.
    EXPECT_NE(practice.Log().find("logged in as DL1ABC "), std::string::npos) << practice.Log();
    EXPECT_EQ(EventsOffUiThread(), std::vector<std::string>{});
    EXPECT_TRUE(Errors.empty());
}

TEST_F(LiveConnectionTest, AServerThatClosesIsShownOnTheWindowsThreadInOrder) {
    TScriptedHttpServer http({MemberReply()});
    TLoopbackServer cluster([](TPeer& peer) {
        peer.Send("Hello.\r\nPlease enter your call: ");
        EXPECT_EQ(peer.Receive(8), "DL1ABC\r\n");
        peer.Send(SpotOfK9abc);
        // Closes once the spot is shown.
    });
    StartWith(cluster.Port(), http.Port());

    Press();
    ASSERT_TRUE(WaitUntil([&] { return Caption() == "Connect"; })) << Caption();
    cluster.Join();
    EXPECT_EQ(cluster.Error(), "");
    EXPECT_TRUE(Form().ComboBox1->isEnabled());
    EXPECT_EQ(Form().PanelText(1), "Not connected.");
    EXPECT_EQ(Form().SpotModel().Cells(2, 1), "K9ABC");
    EXPECT_FALSE(Link->IsOpen());

    // The reader's last delivery, of an empty text, comes after the events
    // that it raised on its own thread.
    ASSERT_TRUE(WaitUntil([&] { return RecordedEvents().back() == "empty data"; }));
    const std::vector<std::string> expected{"status Connecting to 127.0.0.1.",
                                            "status Connected.",
                                            "connected",
                                            "data",
                                            "status Disconnecting from 127.0.0.1.",
                                            "status Not connected.",
                                            "disconnected",
                                            "empty data"};
    EXPECT_EQ(RecordedEvents(), expected);
    EXPECT_EQ(EventsOffUiThread(), std::vector<std::string>{});
    EXPECT_TRUE(Errors.empty());
}

// The reader has raised the end of a connection that the server closed,
// and the window has not yet run those events when the next connection
// opens: they still come first, so the window shows the new connection.
TEST_F(LiveConnectionTest, AnOldConnectionsEndIsShownBeforeTheNextOnesStart) {
    TScriptedHttpServer http({MemberReply()});
    TLoopbackServer first([](TPeer&) {});  // closes at once
    TLoopbackServer second([](TPeer& peer) { peer.WaitClosed(); });
    StartWith(first.Port(), http.Port());
    Press();
    ASSERT_EQ(Caption(), "Disconnect");
    // No events processed meanwhile: the reader's events wait in the queue.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (Link->Client().SocketHeld() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(2ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Caption(), "Disconnect");

    Link->SetPort(second.Port());
    Link->Open();
    QApplication::processEvents();
    EXPECT_EQ(Caption(), "Disconnect");
    EXPECT_FALSE(Form().ComboBox1->isEnabled());
    EXPECT_EQ(Form().PanelText(1), "Connected.");
    const std::vector<std::string> expected{
        "status Connecting to 127.0.0.1.",      "status Connected.",     "connected",
        "status Disconnecting from 127.0.0.1.", "status Not connected.", "disconnected",
        "status Connecting to 127.0.0.1.",      "status Connected.",     "connected"};
    EXPECT_EQ(RecordedEvents(), expected);
    EXPECT_EQ(EventsOffUiThread(), std::vector<std::string>{});
    Link->Close();
}

TEST_F(LiveConnectionTest, ARefusedConnectShowsServerNotResponding) {
    TScriptedHttpServer http({MemberReply()});
    TRefusingPort refusing;
    StartWith(refusing.Port(), http.Port());

    Press();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Text, "server not responding.");
    EXPECT_EQ(Caption(), "Connect");
    EXPECT_TRUE(Form().ComboBox1->isEnabled());
    EXPECT_EQ(Form().PanelText(1), "Not connected.");
    EXPECT_EQ(Form().MemberTable().Field(1, 0), "K9ABC");  // replaced before the open
    const std::vector<std::string> expected{"status Connecting to 127.0.0.1.",
                                            "status Disconnecting from 127.0.0.1.",
                                            "status Not connected.", "disconnected"};
    EXPECT_EQ(RecordedEvents(), expected);
}

// A fetch that fails after a good one: the real client's error texts, the
// old member list in force, nothing opened.
TEST_F(LiveConnectionTest, AFailedFetchKeepsTheMemberTableAndTheFetchMessage) {
    TScriptedHttpServer http({MemberReply(), {"HTTP/1.0 404 Not Found\r\n\r\nNo such page"}});
    http.SetRepeat(std::nullopt);  // then: closed before any reply
    TLoopbackServer cluster([](TPeer& peer) { peer.WaitClosed(); });
    StartWith(cluster.Port(), http.Port());
    Press();
    ASSERT_EQ(Caption(), "Disconnect");
    Press();
    ASSERT_EQ(Caption(), "Connect");

    const char* const shown[] = {"404 Not Found.", "Connection Closed Gracefully."};
    for (const char* text : shown) {
        SCOPED_TRACE(text);
        Errors.clear();
        Press();
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0].Text, text);
        EXPECT_EQ(Form().MemberTable().RowCount(), 3);
        EXPECT_EQ(Form().MemberTable().Field(1, 0), "K9ABC");
        EXPECT_EQ(Form().PanelText(0), "Fetching user list...");
        EXPECT_EQ(Caption(), "Connect");
        EXPECT_FALSE(Link->IsOpen());
    }
    cluster.Join();  // the one connection, long closed
    EXPECT_EQ(cluster.Accepted(), 1);
    const std::vector<std::string> requests = http.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(requests[1].starts_with("GET /rbndata2.php?mycall=DL1ABC HTTP/1.0\r\n"))
        << requests[1];
}

TEST_F(LiveConnectionTest, ClosingWhileConnectedDisconnectsBeforeTheSettingsAreWritten) {
    TScriptedHttpServer http({MemberReply()});
    TLoopbackServer cluster([](TPeer& peer) {
        peer.Send("Please enter your call: ");
        peer.WaitClosed();
    });
    StartWith(cluster.Port(), http.Port());
    Press();
    ASSERT_TRUE(WaitUntil([&] { return RecordedEvents().back() == "data"; }));

    const std::string before = ReadBytes(Dir.File("Skimby.ini"));
    bool writtenBeforeDisconnect = true;
    WhenDisconnected = [&] {
        writtenBeforeDisconnect = ReadBytes(Dir.File("Skimby.ini")) != before;
    };
    EXPECT_TRUE(Form().close());
    EXPECT_FALSE(writtenBeforeDisconnect);
    EXPECT_NE(ReadBytes(Dir.File("Skimby.ini")), before);
    const std::vector<std::string> events = RecordedEvents();
    const std::vector<std::string> last(events.end() - 3, events.end());
    EXPECT_EQ(last, (std::vector<std::string>{"status Disconnecting from 127.0.0.1.",
                                              "status Not connected.", "disconnected"}));
    cluster.Join();  // the server saw the close
    EXPECT_EQ(cluster.Error(), "");
    EXPECT_EQ(EventsOffUiThread(), std::vector<std::string>{});
}

// The member server takes the request and never answers; the operator
// closes the window meanwhile.
TEST_F(LiveConnectionTest, ClosingDuringTheFetchClosesItsConnectionAndThenTheWindow) {
    std::atomic<bool> requestRead{false};
    TLoopbackServer members([&](TPeer& peer) {
        std::string request;
        while (!request.ends_with("\r\n\r\n")) request += peer.Receive(1);
        requestRead = true;
        peer.WaitClosed();  // fails after a few seconds if the client never closes
    });
    TLoopbackServer cluster([](TPeer&) {});
    StartWith(cluster.Port(), members.Port());
    bool closeAccepted = true;
    // Runs inside the fetch's wait, as a click on the frame's close button.
    QTimer::singleShot(200, &Form(), [&] { closeAccepted = Form().close(); });

    const auto pressed = std::chrono::steady_clock::now();
    Press();
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 2s);
    EXPECT_TRUE(requestRead);
    EXPECT_FALSE(closeAccepted);
    members.Join();
    EXPECT_EQ(members.Error(), "");
    EXPECT_TRUE(WaitUntil([&] { return !Form().isVisible(); }));
    EXPECT_TRUE(Exists(Dir.File("Skimby.ini")));
    EXPECT_EQ(RecordedEvents(), std::vector<std::string>{});  // no connect tried
    EXPECT_EQ(Form().MemberTable().RowCount(), 1);            // never filled
    EXPECT_TRUE(Errors.empty());
}

}  // namespace
}  // namespace skimby
