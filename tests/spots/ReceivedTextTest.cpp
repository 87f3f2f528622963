#include "spots/ReceivedText.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "SpotsTestSupport.h"

namespace skimby {
namespace {

// Lines that the cutter hands on for a sequence of deliveries.
std::vector<std::string> Cut(const std::vector<std::string>& deliveries) {
    TLineCutter cutter;
    std::vector<std::string> lines;
    for (const auto& d : deliveries)
        cutter.Cut(d, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

TEST(LineCutter, CutsAtCrWithOneFollowingLfAcrossDeliveries) {
    using V = std::vector<std::string>;
    const std::string k4096(4096, 'x'), k4097(4097, 'x');
    struct Case {
        V deliveries;
        V lines;
    } cases[] = {
        // Inside one delivery.
        {{""}, {}},
        {{"abc\r\n"}, {"abc"}},
        {{"abc\r"}, {"abc"}},
        {{"\r\n"}, {""}},
        {{"abc\r\ndef\r\n"}, {"abc", "def"}},
        {{"abc\r\r\ndef\r"}, {"abc", "", "def"}},
        {{"abc\ndef\r\n"}, {"abc\ndef"}},
        {{"\nabc\r\n"}, {"\nabc"}},
        {{"abc\r\n\ndef\r"}, {"abc", "\ndef"}},
        // The text after the last CR waits for the rest of its line.
        {{"abc"}, {}},
        {{"abc", "\r"}, {"abc"}},
        {{"abc\r\ndef", "\r\n"}, {"abc", "def"}},
        {{"a", "b", "", "c\r\nd"}, {"abc"}},
        {{"abc\ndef\ng"}, {}},
        // A CR LF pair split between deliveries ends one line.
        {{"abc\r", "\ndef\r"}, {"abc", "def"}},
        {{"abc\r", "", "\ndef\r"}, {"abc", "def"}},
        {{"abc\r", "\n", "\ndef\r"}, {"abc", "\ndef"}},
        {{"abc\r", "\r\n"}, {"abc", ""}},
        {{"abc\r\n", "\ndef\r"}, {"abc", "\ndef"}},
        // The prompt waits for an answer, so it is not kept back.
        {{"Please enter your call: "}, {"Please enter your call: "}},
        {{"Please enter ", "your call: "}, {"Please enter your call: "}},
        {{"login\r\nPlease enter your call:"}, {"login", "Please enter your call:"}},
        {{"Please enter your call:\r", "\nDX"}, {"Please enter your call:"}},
        // Without line ends the kept piece is handed on past 4096 bytes.
        {{k4096}, {}},
        {{k4097}, {k4097}},
        {{k4096, "y"}, {k4096 + "y"}},
        {{k4097 + "\r\n"}, {k4097}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cut(c.deliveries), c.lines) << testing::PrintToString(c.deliveries);
}

TEST(LineCutter, ResetDropsTheKeptPieceAndAPendingLfSkip) {
    TLineCutter cutter;
    std::vector<std::string> lines;
    auto keep = [&](std::string_view line) { lines.emplace_back(line); };
    cutter.Cut("abc\r\nDX de W9XYZ-#: 14025.0 DL9", keep);
    cutter.Reset();
    cutter.Cut("ABC CW\r\n", keep);
    cutter.Cut("end\r", keep);
    cutter.Reset();
    cutter.Cut("\nnext\r", keep);
    EXPECT_EQ(lines, (std::vector<std::string>{"abc", "ABC CW", "end", "\nnext"}));
}

constexpr const char* MemberList =
    "DL9ABC\tHans\tBerlin\tYes\t3\r\n"
    "K9ABC\tBob\tChicago\tNo\t0\r\n";

class ReceivedTextTest : public CommaMarkTest {
  protected:
    ReceivedTextTest() {
        Members.FillMemberTable(MemberList);
        Table.PrepareSpotTable();
    }

    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        for (int r = 1; r < Grid.RowCount() - 1; ++r) calls.push_back(Grid.Cells(2, r));
        return calls;
    }

    TGridModel Grid;
    TFakeSound Sound;
    TAlertPlayer Player{Sound.Service()};
    std::string CallSign = "OH2XX";
    TSpotTable Table{Grid, Player, [this] { return CallSign; }};
    TMemberTable Members;
    TStatusRecorder Status;
    std::vector<std::string> Sent;
    TReceivedText Text{Table, Members, Status, [this](const std::string& s) { Sent.push_back(s); },
                       [this] { return CallSign; }};
};

const std::string MemberSpot =
    "DX de W9XYZ-#:   14025.0  DL9ABC         CW    18 dB  25 WPM  CQ      1234Z";

TEST_F(ReceivedTextTest, MemberSpotsAreAddedAndOtherLinesOnlyCounted) {
    Text.Telnet1DataAvailable(
        "Welcome\r\n" + MemberSpot +
        "\r\n"
        "DX de W9XYZ-#:    7023.5  N0BODY         CW    11 dB  19 WPM  CQ      0915Z\r\n"
        " DX de W9XYZ-#:   7023.5  K9ABC  CW\r\n"
        "\nDX de W9XYZ-#:   7023.5  K9ABC  CW\r\n");
    ASSERT_EQ(Calls(), std::vector<std::string>{"DL9ABC"});
    EXPECT_EQ(Grid.Cells(0, 1), "W9XYZ-#");
    EXPECT_EQ(Grid.Cells(1, 1), "14025,0");
    EXPECT_EQ(Grid.Cells(3, 1), "CW 18 dB  25 WPM  CQ  1234Z");
    EXPECT_EQ(Sound.Calls.size(), 1u);
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(Status.Texts.size(), 5u);
}

// A read boundary anywhere in a member spot, its line end included, still
// gives the whole spot once.
TEST_F(ReceivedTextTest, ASpotCutByAReadBoundaryArrivesWhole) {
    const std::string text = MemberSpot + "\r\n" + MemberSpot + "\r\n";
    for (std::size_t cut = 1; cut < text.size(); ++cut) {
        TGridModel grid;
        TSpotTable table(grid, Player, [] { return std::string(); });
        TReceivedText handler(table, Members, Status, [](const std::string&) {}, {});
        handler.Telnet1DataAvailable(text.substr(0, cut));
        handler.Telnet1DataAvailable(text.substr(cut));
        ASSERT_EQ(grid.RowCount(), 4) << "cut at " << cut;
        for (int r = 1; r <= 2; ++r) {
            EXPECT_EQ(grid.Cells(2, r), "DL9ABC") << "cut at " << cut;
            EXPECT_EQ(grid.Cells(3, r), "CW 18 dB  25 WPM  CQ  1234Z") << "cut at " << cut;
        }
        EXPECT_EQ(handler.BytesReceived(), static_cast<int>(2 * MemberSpot.size()));
    }
}

TEST_F(ReceivedTextTest, ALineWhoseFrequencyDoesNotConvertIsNoSpot) {
    EXPECT_NO_THROW(
        Text.Telnet1DataAvailable("DX de W9XYZ-#:   1.296.000  DL9ABC  CW\r\n"
                                  "DX de W9XYZ-#:   140\r\n"
                                  "DX de DL9ABC\r\n" +
                                  MemberSpot + "\r\n"));
    EXPECT_EQ(Calls(), std::vector<std::string>{"DL9ABC"});
    EXPECT_EQ(Grid.Cells(1, 1), "14025,0");
    EXPECT_EQ(Status.Texts.size(), 4u);
}

TEST_F(ReceivedTextTest, ThePromptIsAnsweredWithTheCallSignOfTheMoment) {
    Text.Telnet1DataAvailable("\r\n\r\nPlease enter your call: ");
    CallSign = "";
    Text.Telnet1DataAvailable("xx Please enter your call: Please enter your call:\r\n");
    CallSign = "K9ABC";
    Text.Telnet1DataAvailable("Please enter ");
    EXPECT_EQ(Sent.size(), 2u);
    Text.Telnet1DataAvailable("your call:");
    EXPECT_EQ(Sent, (std::vector<std::string>{"OH2XX", "", "K9ABC"}));
}

TEST_F(ReceivedTextTest, AFailingSendEndsTheDeliveryAfterCountingItsLine) {
    TReceivedText text(Table, Members, Status,
                       [](const std::string&) { throw std::runtime_error("gone"); }, {});
    EXPECT_THROW(
        text.Telnet1DataAvailable("Please enter your call: DX de\r\n" + MemberSpot + "\r\n"),
        std::runtime_error);
    EXPECT_EQ(text.BytesReceived(), 29);
    EXPECT_TRUE(Calls().empty());
    // The next delivery is handled as usual.
    text.Telnet1DataAvailable(MemberSpot + "\r\n");
    EXPECT_EQ(Calls(), std::vector<std::string>{"DL9ABC"});
}

TEST_F(ReceivedTextTest, TheCounterAddsEachLineWithoutItsLineEnd) {
    Text.Telnet1DataAvailable("");
    EXPECT_TRUE(Status.Texts.empty());
    Text.Telnet1DataAvailable(std::string(80, 'a') + "\r\n\r\n" + std::string(75, 'b') + "\r");
    EXPECT_EQ(Status.Texts, (std::vector<std::string>{"Bytes received: 80", "Bytes received: 80",
                                                      "Bytes received: 155"}));
    Text.Telnet1DataAvailable("\nab\r\n");
    EXPECT_EQ(Status.Texts.back(), "Bytes received: 157");
    // A new connection does not reset it.
    Text.ConnectionOpened();
    Text.Telnet1DataAvailable("c\r\n");
    EXPECT_EQ(Status.Texts.back(), "Bytes received: 158");
}

TEST_F(ReceivedTextTest, TheCounterWrapsPastTheLargest32BitValue) {
    Text.SetBytesReceived(INT_MAX - 1);
    Text.Telnet1DataAvailable("a\r\nbc\r\n");
    EXPECT_EQ(Status.Texts[0], "Bytes received: 2147483647");
    EXPECT_EQ(Status.Texts[1], "Bytes received: -2147483647");
    Text.SetBytesReceived(-1);
    Text.Telnet1DataAvailable("abc\r\n");
    EXPECT_EQ(Status.Texts.back(), "Bytes received: 2");
}

TEST_F(ReceivedTextTest, ANewConnectionDropsTextKeptFromTheOldOne) {
    Text.Telnet1DataAvailable("DX de W9XYZ-#:   14025.0  DL9");
    Text.ConnectionOpened();
    Text.Telnet1DataAvailable("ABC  CW 1234Z\r\nDX de W9XYZ-#:   14025.0  K9");
    EXPECT_TRUE(Calls().empty());
    Text.Telnet1DataAvailable("ABC  CW\r\n");
    EXPECT_EQ(Calls(), std::vector<std::string>{"K9ABC"});
}

TEST_F(ReceivedTextTest, AnyLineTrimsAFullTable) {
    Table.SetSoundOn(false);
    const std::string spots = MemberSpot + "\r\n";
    for (int i = 0; i < 998; ++i) Text.Telnet1DataAvailable(spots);
    EXPECT_EQ(Grid.RowCount(), 1000);
    Text.Telnet1DataAvailable("\r");
    EXPECT_EQ(Grid.RowCount(), 900);
    // The trim comes before the line's own spot.
    for (int i = 0; i < 99; ++i) Text.Telnet1DataAvailable(spots);
    EXPECT_EQ(Grid.RowCount(), 999);
    Text.Telnet1DataAvailable(spots + spots);
    EXPECT_EQ(Grid.RowCount(), 901);
}

}  // namespace
}  // namespace skimby
