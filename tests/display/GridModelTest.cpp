#include "display/GridModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace skimby {
namespace {

struct RecordingObserver : TGridObserver {
    std::vector<std::string> Events;
    void CellChanged(int c, int r) override { Add("cell", c, r); }
    void RowsAppended(int f, int n) override { Add("append", f, n); }
    void RowsRemoved(int f, int n, int prev) override { Add("remove", f, n, prev); }
    void CurrentRowChanged(int r) override { Add("current", r); }
    void ColWidthChanged(int c) override { Add("width", c); }
    template <typename... I>
    void Add(const char* what, I... args) {
        std::string s = what;
        ((s += ' ' + std::to_string(args)), ...);
        Events.push_back(s);
    }
};

TEST(GridModel, StartsWithHeaderAndOneEmptyCurrentRow) {
    TGridModel grid;
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_FALSE(grid.Cell(0, 1).Attributes);
    EXPECT_FALSE(grid.BalloonEnabled());
    const char* headers[] = {"From", "Freq", "Call", "Info"};
    for (int c = 0; c < TGridModel::ColCount; ++c) EXPECT_EQ(grid.Cells(c, 0), headers[c]);
}

TEST(GridModel, AttributesAreCreatedOnFirstLookChangeFromTheGridsLook) {
    TGridModel grid;
    grid.SetCells(1, 1, "14025,0");
    EXPECT_FALSE(grid.Cell(1, 1).Attributes);
    grid.SetCellFontColor(1, 1, clRed);
    const auto& a = *grid.Cell(1, 1).Attributes;
    EXPECT_EQ(a.FontColor, clRed);
    EXPECT_FALSE(a.Bold);
    EXPECT_EQ(a.FontName, "Tahoma");
    EXPECT_EQ(a.BackgroundColor, clWindow);
    grid.SetCellFontStyleBold(2, 1, true);
    EXPECT_EQ(grid.Cell(2, 1).Attributes->FontColor, clWindowText);
    EXPECT_TRUE(grid.Cell(2, 1).Attributes->Bold);
    grid.AddCellBalloon(3, 1, "T", "x", biInfo);
    EXPECT_TRUE(grid.Cell(3, 1).Attributes);
}

TEST(GridModel, FirstBalloonStays) {
    TGridModel grid;
    grid.AddCellBalloon(0, 1, "KAVRA", "first", biInfo);
    grid.AddCellBalloon(0, 1, "Other", "second", biWarning);
    ASSERT_TRUE(grid.Cell(0, 1).Balloon);
    EXPECT_EQ(grid.Cell(0, 1).Balloon->Title, "KAVRA");
    EXPECT_EQ(grid.Cell(0, 1).Balloon->Text, "first");
    EXPECT_EQ(grid.Cell(0, 1).Balloon->Icon, biInfo);
}

TEST(GridModel, DeleteRowsMovesRowsUpWithTheirLookAndKeepsOrMovesTheCurrentRow) {
    TGridModel grid;
    RecordingObserver seen;
    grid.SetRowCount(1000);
    for (int r = 1; r < 999; ++r) {
        grid.SetCells(2, r, "C" + std::to_string(r));
        if (r % 2) grid.SetCellFontColor(2, r, clGreen);
        grid.AddCellBalloon(2, r, "KAVRA", "row " + std::to_string(r), biInfo);
    }
    grid.SetCurrentRow(999);
    grid.AddObserver(&seen);

    grid.DeleteRows(1, 100);

    EXPECT_EQ(grid.RowCount(), 900);
    EXPECT_EQ(grid.CurrentRow(), 899);
    for (int r = 1; r < 899; ++r) {
        const auto& cell = grid.Cell(2, r);
        ASSERT_EQ(cell.Text, "C" + std::to_string(r + 100));
        ASSERT_EQ(cell.Attributes->FontColor, (r + 100) % 2 ? clGreen : clWindowText);
        ASSERT_EQ(cell.Balloon->Text, "row " + std::to_string(r + 100));
    }
    EXPECT_EQ(grid.Cells(2, 899), "");
    EXPECT_FALSE(grid.Cell(2, 899).Balloon);
    EXPECT_EQ(seen.Events, std::vector<std::string>{"remove 1 100 999"});

    grid.SetCurrentRow(5);
    grid.DeleteRows(1, 10);  // current row number still exists: it stays
    EXPECT_EQ(grid.CurrentRow(), 5);
}

TEST(GridModel, DeleteRowsIgnoresRowsBeyondTheGridAndEmptyCounts) {
    TGridModel grid;
    grid.SetRowCount(10);
    RecordingObserver seen;
    grid.AddObserver(&seen);
    for (auto [first, count] : {std::pair{11, 1}, {1, 0}, {1, -3}}) grid.DeleteRows(first, count);
    EXPECT_EQ(grid.RowCount(), 10);
    EXPECT_TRUE(seen.Events.empty());
}

TEST(GridModel, TellsTheObserverWhatChanged) {
    TGridModel grid;
    RecordingObserver seen;
    grid.AddObserver(&seen);
    grid.SetCells(0, 1, "W9XYZ-#");
    grid.SetRowCount(3);
    grid.SetCurrentRow(2);
    grid.SetCurrentRow(2);  // already current: nothing
    grid.SetColWidth(0, 90);
    grid.SetCellFontStyleBold(0, 1, true);
    EXPECT_EQ(seen.Events, (std::vector<std::string>{"cell 0 1", "append 2 1", "current 2",
                                                     "width 0", "cell 0 1"}));
}

TEST(GridModel, EachObserverHearsEveryChangeUntilItRemovesItself) {
    TGridModel grid;
    RecordingObserver first, second, stranger;
    grid.AddObserver(&first);
    grid.AddObserver(&second);
    grid.AddObserver(&second);  // once is enough
    grid.SetCells(0, 1, "A");
    grid.RemoveObserver(&second);
    grid.RemoveObserver(&stranger);  // never added: changes nothing
    grid.SetRowCount(3);
    EXPECT_EQ(first.Events, (std::vector<std::string>{"cell 0 1", "append 2 1"}));
    EXPECT_EQ(second.Events, std::vector<std::string>{"cell 0 1"});
    EXPECT_TRUE(stranger.Events.empty());
}

}  // namespace
}  // namespace skimby
