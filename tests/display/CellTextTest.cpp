#include <gtest/gtest.h>

#include <QFontMetrics>

#include "display/CellLayout.h"
#include "display/CellTip.h"
#include "display/NumberTest.h"
#include "support/QtTestApp.h"

namespace skimby {
namespace {

TEST(NumberTest, RightAlignsOnlyTextsThatReadAsNumbers) {
    struct Case {
        const char* Text;
        char Decimal;
        char Thousand;
        bool Number;
    };
    const Case cases[] = {
        {"14025,0", ',', '.', true},
        {" 7018,3 ", ',', '.', true},  // blanks around are ignored
        {"3500", ',', '.', true},
        {"-12", ',', '.', true},
        {"1-2", ',', '.', false},
        {"", ',', '.', false},
        {"   ", ',', '.', false},
        {"DL9ABC", ',', '.', false},
        {"CW 13 dB", ',', '.', false},
        {"1.234.567,5", ',', '.', true},  // separators 4 apart
        {"1.23.4", ',', '.', false},      // separators too close
        {"1,2,3", ',', '.', false},       // two decimal separators
        {"14025.0", ',', '.', true},      // a thousands separator is allowed anywhere
        {"14025.0", ',', '\0', false},    // ... but there is none here
        {"1,5E-5", ',', '.', true},
        {"1E5", ',', '.', true},
        {"2e+3", ',', '.', true},
        {"E5", ',', '.', false},    // exponent first
        {"15E", ',', '.', false},   // exponent last
        {"1E5-", ',', '.', false},  // ends in a sign
        {"1E5E5", ',', '.', false},
        {"1.000E5", ',', '.', false},  // no thousands separator with an exponent
        {"-1E-5", ',', '.', true},
        {"-1E-5-5", ',', '.', false},  // three minus signs
        {"14025,0", ',', ',', true},   // same character: it is the decimal separator
        {"1,000,000", ',', ',', false},
        {"2259Z", ',', '.', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNumberText(c.Text, c.Decimal, c.Thousand), c.Number)
            << '"' << c.Text << "\" with '" << c.Decimal << "' and '" << c.Thousand << "'";
}

TEST(CellTip, ComesFromTheBalloonOrTheCellsOwnText) {
    TGridModel grid;
    grid.SetCells(0, 0, "");
    grid.SetCells(0, 1, "LZ4UX-#");
    grid.AddCellBalloon(0, 1, "KAVRA", "Call: DL9ABC\r\nName: Hans", biInfo);
    grid.SetCells(1, 1, "\r\n\tA\tB\t");
    grid.SetCells(2, 1, std::string(1100, 'x'));
    grid.AddCellBalloon(3, 1, std::string(120, 't'), "text", biWarning);
    grid.SetRowCount(3);
    grid.AddCellBalloon(0, 2, "KAVRA", "", biInfo);  // a balloon without text
    grid.SetBalloonEnabled(true);

    struct Case {
        int Col, Row;
        std::optional<TTipContent> Tip;
    };
    const Case cases[] = {
        {1, 0, TTipContent{" ", "Freq", biInfo}},
        {0, 1, TTipContent{"KAVRA", "Call: DL9ABC\r\nName: Hans", biInfo}},
        {1, 1, TTipContent{" ", "A B\t", biInfo}},
        {2, 1, TTipContent{" ", std::string(1021, 'x') + "...", biInfo}},
        {3, 1, TTipContent{std::string(97, 't') + "...", "text", biWarning}},
        {0, 0, std::nullopt},  // empty header cell
        {1, 2, std::nullopt},  // the empty current row
        {0, 2, std::nullopt},  // empty balloon text
        {0, 3, std::nullopt},  // below the last row
        {4, 1, std::nullopt},  // right of the last column
    };
    for (const Case& c : cases) {
        const auto tip = CellTipContent(grid, c.Col, c.Row);
        SCOPED_TRACE(testing::Message() << "cell " << c.Col << "," << c.Row);
        ASSERT_EQ(tip.has_value(), c.Tip.has_value());
        if (!tip) continue;
        EXPECT_EQ(tip->Title, c.Tip->Title);
        EXPECT_EQ(tip->Text, c.Tip->Text);
        EXPECT_EQ(tip->Icon, c.Tip->Icon);
    }

    grid.SetBalloonEnabled(false);
    EXPECT_FALSE(CellTipContent(grid, 1, 0));
}

TEST(CellTip, AVeryLongBalloonTextIsCutToWhatATipHolds) {
    TGridModel grid;
    grid.AddCellBalloon(0, 1, "KAVRA", std::string(5000, 'y'), biInfo);
    grid.SetBalloonEnabled(true);
    const auto tip = CellTipContent(grid, 0, 1);
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->Text.size(), MaxTipTextLength);
    EXPECT_EQ(tip->Text.substr(tip->Text.size() - 3), "...");
}

TEST(CellLayout, ExpandsTabsToEveryEighthColumn) {
    EXPECT_EQ(ExpandTabs("a\tb"), "a       b");
    EXPECT_EQ(ExpandTabs("abcdefgh\tb"), "abcdefgh        b");
    EXPECT_EQ(ExpandTabs("x\n\ty"), "x\n        y");
}

TEST(CellLayout, BreaksAtSpacesAndKeepsOnlyWholeWords) {
    QtTestApp();
    TGridFonts fonts;
    const TGridFont& font = fonts.Get("Tahoma", 9, false);
    const int width = font.TextWidth("aaa bbb") + 1;
    using Lines = std::vector<std::string>;

    EXPECT_EQ(BreakIntoLines("aaa bbb ccc ddd", font, width, 1), Lines{"aaa bbb"});
    EXPECT_EQ(BreakIntoLines("aaa bbb   ccc ddd", font, width, 9), (Lines{"aaa bbb", "ccc ddd"}));
    EXPECT_EQ(BreakIntoLines("aa  bb", font, width, 1), Lines{"aa  bb"});
    // A word wider than the column gets its line alone, to be clipped.
    EXPECT_EQ(BreakIntoLines("LONGLONGLONGWORD x", font, width, 1), Lines{"LONGLONGLONGWORD"});
    EXPECT_EQ(BreakIntoLines("a\r\nb\n\nc", font, width, 9), (Lines{"a", "b", "", "c"}));
    EXPECT_TRUE(BreakIntoLines("a b", font, width, 0).empty());
}

TEST(CellLayout, KeepsOnlyLinesThatFitAndAlignsThemInsideTheInsets) {
    QtTestApp();
    TGridFonts fonts;
    const TGridFont& font = fonts.Get("Tahoma", 9, false);
    const int lineHeight = font.Metrics.height();
    const QSize area(font.TextWidth("aaa bbb") + 2 * CellTextInset, CellTextInset + 2 * lineHeight);
    const QSize wide(80, area.height());
    TCellLayout layout;

    LayOutCellText(layout, "aaa bbb ccc ddd eee", font, area, false);
    ASSERT_EQ(layout.Lines.size(), 2);  // the third line would be cut off
    EXPECT_EQ(layout.Lines[0].X, CellTextInset);
    EXPECT_EQ(layout.Lines[1].Y - layout.Lines[0].Y, lineHeight);

    LayOutCellText(layout, "14025,0", font, wide, true);
    ASSERT_EQ(layout.Lines.size(), 1);
    EXPECT_EQ(layout.Lines[0].X + font.TextWidth("14025,0"), wide.width() - CellTextInset);
    EXPECT_FALSE(layout.Clip);

    LayOutCellText(layout, "x", font, QSize(40, CellTextInset + lineHeight - 1), false);
    EXPECT_TRUE(layout.Lines.isEmpty());  // not even one whole line fits
}

}  // namespace
}  // namespace skimby
