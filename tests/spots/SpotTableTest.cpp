#include "spots/SpotTable.h"

#include <gtest/gtest.h>

#include "SpotsTestSupport.h"

namespace skimby {
namespace {

constexpr const char* Members =
    "DL9ABC\tHans\tBerlin\tYes\t3\r\n"
    "K9ABC\tBob\tChicago\tNo\t0\r\n"
    "OH2XX\tOwn\tHelsinki\tYes\t9\r\n"
    "LOWER\tL\tQ\tyes\t1\r\n"
    "SPACED\tS\tQ\tYes \t1\r\n"
    "ONLY\r\n";  // and an empty last row

class SpotTableTest : public ::testing::Test {
  protected:
    SpotTableTest() {
        MemberTable.FillMemberTable(Members);
        Table.PrepareSpotTable();
    }

    // Adds a spot of call the way the received-text handler does.
    int Add(const std::string& call, const std::string& spotter = "W9XYZ-#") {
        const auto row = MemberTable.LookupMember(call);
        EXPECT_TRUE(row) << call;
        const int gridRow = Grid.RowCount() - 1;
        Table.AddMemberSpot({spotter, "14025,0", call, "CW 18 dB"}, MemberTable, *row);
        return gridRow;
    }

    TColor Colour(int col, int row) const {
        const auto& a = Grid.Cell(col, row).Attributes;
        return a ? a->FontColor : clWindowText;
    }
    bool Bold(int col, int row) const {
        const auto& a = Grid.Cell(col, row).Attributes;
        return a && a->Bold;
    }

    TGridModel Grid;
    TFakeSound Sound;
    TAlertPlayer Player{Sound.Service()};
    std::string OwnCall = "OH2XX";
    TSpotTable Table{Grid, Player, [this] { return OwnCall; }};
    TMemberTable MemberTable;
};

TEST_F(SpotTableTest, StartsWithHeaderWidthsBalloonsAndEmptyCurrentRow) {
    const char* headers[] = {"From", "Freq", "Call", "Info"};
    const int widths[] = {90, 70, 80, 220};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Grid.Cells(c, 0), headers[c]);
        EXPECT_EQ(Grid.ColWidth(c), widths[c]);
    }
    EXPECT_TRUE(Grid.BalloonEnabled());
    EXPECT_EQ(Grid.RowCount(), 2);
    EXPECT_EQ(Grid.CurrentRow(), 1);
    EXPECT_EQ(Table.PreviousCall(), "");
}

TEST_F(SpotTableTest, ColourTypeAndAlertFollowNewCallWorkedAndOwnCall) {
    struct Case {
        const char* before;  // spot added first, or nullptr
        const char* call;
        bool soundOn;
        TColor colour;
        bool bold;
        bool alert;
    } cases[] = {
        {"K9ABC", "OH2XX", true, clBlue, true, true},  // own call beats worked green
        {"OH2XX", "OH2XX", true, clBlue, false, false},
        {"K9ABC", "DL9ABC", true, clGreen, true, true},
        {"DL9ABC", "K9ABC", true, clRed, true, true},
        {"K9ABC", "K9ABC", true, clWindowText, false, false},
        {"DL9ABC", "DL9ABC", true, clWindowText, false, false},
        {"K9ABC", "DL9ABC", false, clGreen, true, false},
        {nullptr, "K9ABC", true, clRed, true, true},  // first spot after start
        {nullptr, "LOWER", true, clRed, true, true},  // "yes" is not worked
        {nullptr, "SPACED", true, clRed, true, true},
        {nullptr, "ONLY", true, clRed, true, true},
        {nullptr, "", true, clWindowText, false,
         false},  // empty call equals the empty previous call
    };
    for (const auto& c : cases) {
        TGridModel grid;
        TFakeSound sound;
        TAlertPlayer player(sound.Service());
        TSpotTable table(grid, player, [] { return std::string("OH2XX"); });
        table.PrepareSpotTable();
        auto add = [&](const char* call) {
            table.AddMemberSpot({"S", "1,0", call, "I"}, MemberTable,
                                *MemberTable.LookupMember(call));
        };
        if (c.before) add(c.before);
        table.SetSoundOn(c.soundOn);
        sound.Calls.clear();
        const int row = grid.RowCount() - 1;
        add(c.call);
        const std::string what = std::string(c.before ? c.before : "start") + " then " + c.call;
        EXPECT_EQ(sound.Calls.size(), c.alert ? 1u : 0u) << what;
        for (int col = 0; col < 4; ++col) {
            const auto& a = grid.Cell(col, row).Attributes;
            ASSERT_TRUE(a) << what;  // the balloon creates them at least
            EXPECT_EQ(a->FontColor, c.colour) << what << " col " << col;
            EXPECT_EQ(a->Bold, c.bold) << what << " col " << col;
        }
        EXPECT_EQ(table.PreviousCall(), c.call);
    }
}

TEST_F(SpotTableTest, WritesTheRowAppendsAnEmptyCurrentRowAndGivesEveryCellTheBalloon) {
    Add("K9ABC");
    Grid.SetCurrentRow(1);  // the user selects an older row meanwhile
    Table.AddMemberSpot({"W9XYZ-#", "14025,0", "DL9ABC", "CW 18 dB  25 WPM"}, MemberTable,
                        *MemberTable.LookupMember("DL9ABC"));
    ASSERT_EQ(Grid.RowCount(), 4);
    EXPECT_EQ(Grid.CurrentRow(), 3);
    EXPECT_EQ(Grid.Cells(2, 1), "K9ABC");  // the selected row is not written over
    const char* texts[] = {"W9XYZ-#", "14025,0", "DL9ABC", "CW 18 dB  25 WPM"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Grid.Cells(c, 2), texts[c]);
        EXPECT_EQ(Grid.Cells(c, 3), "");
        EXPECT_FALSE(Grid.Cell(c, 3).Attributes);
        const auto& balloon = Grid.Cell(c, 2).Balloon;
        ASSERT_TRUE(balloon);
        EXPECT_EQ(balloon->Title, "KAVRA");
        EXPECT_EQ(balloon->Icon, biInfo);
        EXPECT_EQ(balloon->Text,
                  "Call: DL9ABC\r\nName: Hans\r\nQTH: Berlin\r\nQSO:s: 3\r\nWorked: Yes");
    }
    // A row with only a call: empty details, and a repeated spot keeps its balloon too.
    const int row = Add("ONLY");
    const int again = Add("ONLY");
    EXPECT_EQ(Grid.Cell(3, row).Balloon->Text,
              "Call: ONLY\r\nName: \r\nQTH: \r\nQSO:s: \r\nWorked: ");
    EXPECT_EQ(Grid.Cell(0, again).Balloon->Text, Grid.Cell(3, row).Balloon->Text);
}

TEST_F(SpotTableTest, AlertPlaysAfterTheTextsAndBeforeTheColours) {
    Player.BeforePlay = [this] {
        const int row = Grid.RowCount() - 1;
        EXPECT_EQ(Grid.Cells(2, row), "DL9ABC");
        EXPECT_EQ(Colour(2, row), clWindowText);
        EXPECT_FALSE(Bold(2, row));
    };
    const int row = Add("DL9ABC");
    EXPECT_EQ(Sound.Calls.size(), 1u);
    EXPECT_EQ(Colour(2, row), clGreen);
}

TEST_F(SpotTableTest, EveryChangeOfCallIsNewAndOwnCallIsReadAtEachAdd) {
    const int a = Add("K9ABC");
    const int b = Add("DL9ABC");
    OwnCall = "K9ABC";
    const int a2 = Add("K9ABC");
    OwnCall = "";
    const int a3 = Add("K9ABC");
    EXPECT_EQ(Sound.Calls.size(), 3u);
    EXPECT_EQ(Colour(0, a), clRed);
    EXPECT_EQ(Colour(0, b), clGreen);
    EXPECT_EQ(Colour(0, a2), clBlue);
    EXPECT_TRUE(Bold(0, a2));
    EXPECT_EQ(Colour(0, a3), clWindowText);
    EXPECT_FALSE(Bold(0, a3));
}

TEST_F(SpotTableTest, TrimmingAtExactly1000RowsDropsTheOldest100Spots) {
    Table.SetSoundOn(false);
    const char* calls[] = {"K9ABC", "K9ABC", "DL9ABC", "OH2XX"};
    for (int i = 0; i < 998; ++i) {
        Table.TrimSpotTable();  // below 1000 rows this changes nothing
        Add(calls[i % 4], std::string("S") + std::to_string(i + 1));
    }
    ASSERT_EQ(Grid.RowCount(), 1000);
    std::vector<TGridCell> before;
    for (int r = 101; r < 1000; ++r) before.push_back(Grid.Cell(1, r));

    Table.TrimSpotTable();
    ASSERT_EQ(Grid.RowCount(), 900);
    EXPECT_EQ(Grid.CurrentRow(), 899);
    EXPECT_EQ(Grid.Cells(0, 0), "From");
    for (int r = 1; r < 900; ++r) {
        const TGridCell& now = Grid.Cell(1, r);
        const TGridCell& was = before[static_cast<std::size_t>(r - 1)];
        EXPECT_EQ(Grid.Cells(0, r), r < 899 ? std::string("S") + std::to_string(r + 100) : "");
        EXPECT_EQ(now.Text, was.Text);
        EXPECT_EQ(now.Attributes.has_value(), was.Attributes.has_value());
        if (now.Attributes) {
            EXPECT_EQ(now.Attributes->FontColor, was.Attributes->FontColor) << r;
            EXPECT_EQ(now.Attributes->Bold, was.Attributes->Bold) << r;
        }
        EXPECT_EQ(now.Balloon.has_value(), was.Balloon.has_value()) << r;
        if (now.Balloon) {
            EXPECT_EQ(now.Balloon->Text, was.Balloon->Text) << r;
        }
    }
    Table.TrimSpotTable();
    EXPECT_EQ(Grid.RowCount(), 900);
    EXPECT_EQ(Add("K9ABC", "next"), 899);
    EXPECT_EQ(Grid.CurrentRow(), 900);
}

}  // namespace
}  // namespace skimby
