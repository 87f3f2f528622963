#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "AppTestSupport.h"
#include "app/Controls.h"

namespace skimby {
namespace {

class ConnectionControlTest : public AppTest {
  protected:
    static constexpr const char* Members =
        "DL9ABC\tHans\tBerlin\tYes\t3\r\n"
        "K9ABC\tBob\tChicago\tNo\t0\r\n";
    static constexpr const char* SpotOfK9abc =
        "DX de W9XYZ-#:    7023.5  K9ABC          CW    11 dB  19 WPM  CQ      0915Z\r\n";

    void StartConnectable(const std::string& settings = "[Telnet]\nMycall=DL9ABC\n") {
        WriteSettings(settings);
        Start();
        Http->Body = Members;
    }
    void Press() { QTest::mouseClick(Form().Button1, Qt::LeftButton); }
    std::string Caption() { return Form().Button1->text().toStdString(); }
    bool SelectorEnabled() { return Form().ComboBox1->isEnabled(); }
};

TEST_F(ConnectionControlTest, ConnectFetchesTheMembersOpensTheServerAndFillsTheTable) {
    StartConnectable();
    Press();
    ASSERT_EQ(Http->Urls.size(), 1u);
    const std::string& url = Http->Urls[0];
    EXPECT_EQ(url.rfind("http://", 0), 0u);
    EXPECT_TRUE(url.ends_with("/rbndata2.php?mycall=DL9ABC")) << url;
    EXPECT_EQ(Form().MemberTable().RowCount(), 3);
    EXPECT_EQ(Telnet->Host, "main.example.net");
    EXPECT_EQ(Telnet->Port, 7000);
    EXPECT_TRUE(Telnet->Opened);
    EXPECT_EQ(Caption(), "Disconnect");
    EXPECT_FALSE(SelectorEnabled());
    EXPECT_EQ(Form().PanelText(0), "Fetching user list...");
    EXPECT_EQ(Form().PanelText(1), "Connected.");

    // The prompt comes without a line end and is answered with the call.
    Telnet->Deliver("Hello.\r\n\r\nPlease enter your call: ");
    EXPECT_EQ(Telnet->Sent, std::vector<std::string>{"DL9ABC"});
    Telnet->Deliver(SpotOfK9abc);
    TGridModel& grid = Form().SpotModel();
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cells(2, 1), "K9ABC");
    EXPECT_EQ(grid.Cells(1, 1), "7023,5");
    const std::size_t bytes = 6 + 0 + 24 + std::string_view(SpotOfK9abc).size() - 2;
    EXPECT_EQ(Form().PanelText(0), "Bytes received: " + std::to_string(bytes));

    Press();  // Disconnect
    EXPECT_FALSE(Telnet->Opened);
    EXPECT_EQ(Caption(), "Connect");
    EXPECT_TRUE(SelectorEnabled());
    EXPECT_EQ(Form().PanelText(1), "Not connected.");

    // Connect again: a new fetch; the table and the previous call stay.
    Http->Body = "K9ABC\tBob\tChicago\tYes\t1\r\n";
    Press();
    EXPECT_EQ(Http->Urls.size(), 2u);
    EXPECT_EQ(Form().MemberTable().RowCount(), 2);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cells(2, 1), "K9ABC");
    Telnet->Deliver(SpotOfK9abc);
    ASSERT_EQ(grid.RowCount(), 4);
    ASSERT_TRUE(grid.Cell(2, 2).Attributes.has_value());
    EXPECT_FALSE(grid.Cell(2, 2).Attributes->Bold);  // same call as before: not new
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ConnectionControlTest, TheServerChosenInTheSettingsOrTheSelectorIsUsed) {
    StartConnectable("[Telnet]\nServnr=2\nMycall=DL9ABC\n");
    Press();
    EXPECT_EQ(Telnet->Host, "third.example.net");
    EXPECT_EQ(Telnet->Port, 0x17);
    Press();

    Form().ComboBox1->setCurrentIndex(1);
    Press();
    EXPECT_EQ(Telnet->Host, "10.0.0.2");
    EXPECT_EQ(Telnet->Port, 7300);
}

TEST_F(ConnectionControlTest, ASelectionMadeDuringTheFetchIsTheOneUsed) {
    StartConnectable();
    Http->WhileWaiting = [this] { Form().ComboBox1->setCurrentIndex(2); };
    Press();
    EXPECT_EQ(Telnet->Host, "third.example.net");
}

TEST_F(ConnectionControlTest, TypingSelectsTheServerOfThatNameAndNothingElse) {
    StartConnectable();
    QComboBox* box = Form().ComboBox1;
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "Backup");
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_EQ(Form().ServerList().ServerRow(), 1);

    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "Nowhere");
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_EQ(Form().ServerList().ServerRow(), 1);
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "backup");  // names are compared exactly
    EXPECT_EQ(Form().ServerList().ServerRow(), 1);
    box->lineEdit()->clear();
    EXPECT_EQ(Form().ServerList().ServerRow(), 1);
    EXPECT_TRUE(Errors.empty());

    Press();
    EXPECT_EQ(Telnet->Host, "10.0.0.2");
}

TEST_F(ConnectionControlTest, AFailedFetchKeepsTheLastMemberListAndShowsTheError) {
    StartConnectable();
    Press();
    Press();
    Http->Error = "HTTP/1.0 404 Not Found";
    Http->Body = "OTHER\tX\r\n";
    Press();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Text, "HTTP/1.0 404 Not Found.");
    EXPECT_EQ(Form().MemberTable().Field(0, 0), "DL9ABC");
    EXPECT_EQ(Form().PanelText(0), "Fetching user list...");
    EXPECT_EQ(Telnet->OpenCount, 1);
    EXPECT_EQ(Caption(), "Connect");
    EXPECT_FALSE(Form().FetchRunning());

    Http->Error.clear();  // the next successful fetch replaces it
    Press();
    EXPECT_EQ(Form().MemberTable().Field(0, 0), "OTHER");
}

TEST_F(ConnectionControlTest, APortThatIsNoIntegerStopsBeforeTheOpen) {
    const struct {
        std::string Port;
        std::string Shown;
    } cases[] = {
        {"23 ", "'23 ' is not a valid integer value."},
        {"", "'' is not a valid integer value."},
        {"telnet", "'telnet' is not a valid integer value."},
        {"99999999999", "'99999999999' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Port);
        WriteBytes(Dir.File("telnet.ini"), "Bad\tbad.example.net\t" + c.Port + "\r\n");
        StartConnectable();
        Press();
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0], (TShownText{"skimby_tests_app", c.Shown}));
        EXPECT_EQ(Form().MemberTable().Field(1, 0), "K9ABC");  // already replaced
        EXPECT_EQ(Telnet->Host, "bad.example.net");
        EXPECT_EQ(Telnet->OpenCount, 0);
        EXPECT_EQ(Caption(), "Connect");
        Errors.clear();
        Program.reset();
    }
}

TEST_F(ConnectionControlTest, AFailedOpenLeavesTheWindowDisconnected) {
    StartConnectable();
    Telnet->FailOpen = true;
    Press();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Text, "server not responding.");
    EXPECT_EQ(Caption(), "Connect");
    EXPECT_TRUE(SelectorEnabled());
    EXPECT_EQ(Form().PanelText(1), "Not connected.");
}

TEST_F(ConnectionControlTest, AServerThatClosesLeavesCaptionConnect) {
    StartConnectable();
    Press();
    Telnet->ServerCloses();
    EXPECT_EQ(Caption(), "Connect");
    EXPECT_TRUE(SelectorEnabled());
    EXPECT_EQ(Form().PanelText(1), "Not connected.");
    Press();
    EXPECT_EQ(Http->Urls.size(), 2u);
    EXPECT_TRUE(Telnet->Opened);
}

// A line cut off by a disconnect must not be joined to the first text of
// the next connection.
TEST_F(ConnectionControlTest, ANewConnectionStartsWithANewLine) {
    StartConnectable();
    Press();
    Telnet->Deliver("DX de W9XYZ-#:    7023.5  K9");
    Press();
    Press();
    Telnet->Deliver("ABC          CW    11 dB  19 WPM  CQ      0915Z\r\n");
    EXPECT_EQ(Form().SpotModel().RowCount(), 2);  // no spot
}

// What the window system shows of status panel 0, and what the panel would
// paint now.
QImage PanelOnScreen(TForm1& form) {
    const QRect panel = form.StatusBar1->PanelRect(0).translated(form.StatusBar1->pos());
    return form.screen()->grabWindow(form.winId()).copy(panel).toImage();
}
QImage PanelPainted(TForm1& form) {
    return form.StatusBar1->grab(form.StatusBar1->PanelRect(0)).toImage();
}

TEST_F(ConnectionControlTest, TheFetchMessageIsOnTheScreenBeforeTheFetchBegins) {
    StartConnectable();
    const QImage before = PanelOnScreen(Form());
    QImage duringFetch;
    QImage fetchMessage;
    Http->WhileWaiting = [&] {
        duringFetch = PanelOnScreen(Form());
        fetchMessage = PanelPainted(Form());
    };
    Press();
    ASSERT_EQ(Form().PanelText(0), "Fetching user list...");
    EXPECT_TRUE(fetchMessage != before);
    EXPECT_TRUE(duringFetch == fetchMessage) << "the screen still shows the panel as before";
}

TEST_F(ConnectionControlTest, ConnectPressedDuringTheFetchIsIgnored) {
    StartConnectable();
    Http->WhileWaiting = [this] {
        EXPECT_TRUE(Form().FetchRunning());
        Form().Button1->click();
        Form().Button1->click();
    };
    Press();
    EXPECT_EQ(Http->Urls.size(), 1u);
    EXPECT_EQ(Telnet->OpenCount, 1);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ConnectionControlTest, ClosingDuringTheFetchAbandonsItAndThenCloses) {
    StartConnectable();
    bool closedDuringFetch = true;
    Http->WhileWaiting = [&] { closedDuringFetch = Form().close(); };
    Press();
    EXPECT_FALSE(closedDuringFetch);  // waits for the fetch to give up
    EXPECT_TRUE(Http->Aborted);
    EXPECT_EQ(Telnet->OpenCount, 0);
    QApplication::processEvents();
    EXPECT_FALSE(Form().isVisible());
    EXPECT_TRUE(Exists(Dir.File("Skimby.ini")));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ConnectionControlTest, ClosingWhileConnectedDisconnectsBeforeSaving) {
    StartConnectable();
    Press();
    const std::string before = ReadBytes(Dir.File("Skimby.ini"));
    bool savedBeforeDisconnect = true;
    Telnet->AfterCloseEvents = [&] {
        savedBeforeDisconnect = ReadBytes(Dir.File("Skimby.ini")) != before;
        EXPECT_EQ(Caption(), "Connect");
        EXPECT_EQ(Form().PanelText(1), "Not connected.");
    };
    EXPECT_TRUE(Form().close());
    EXPECT_FALSE(savedBeforeDisconnect);
    EXPECT_FALSE(Telnet->Opened);
    EXPECT_NE(ReadBytes(Dir.File("Skimby.ini")), before);
}

}  // namespace
}  // namespace skimby
