#include "display/SpotGrid.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <string>

#include "display/BalloonTip.h"
#include "support/GridSpots.h"
#include "support/QtTestApp.h"

namespace skimby {
namespace {

// A grid prepared as the program's start-up prepares it, filled by the
// program's own spot table.
class SpotGridTest : public testing::Test {
  protected:
    SpotGridTest() {
        Grid.resize(500, 300);
        Grid.show();
    }

    void AddSpot(const std::string& call) { Spots.Add(call); }
    // Spots of members in turn, each a new call.
    void AddSpots(int count) {
        const char* calls[] = {"DL9ABC", "OH2BH", "K1ABC"};
        for (int i = 0; i < count; ++i) Spots.Add(calls[NextCall++ % 3]);
    }

    int Info() const { return Model.ColWidth(3); }
    int ClientWidth() const { return Grid.viewport()->width(); }
    // The scroll area shows and hides its bars once events are processed.
    bool HBar() const {
        QApplication::processEvents();
        return Grid.horizontalScrollBar()->isVisible();
    }
    bool VBar() const {
        QApplication::processEvents();
        return Grid.verticalScrollBar()->isVisible();
    }
    int BottomRow() const { return Grid.TopRow() + Grid.VisibleRowCount() - 1; }
    QPoint CenterOf(int col, int row) const { return Grid.CellRect(col, row).center(); }

    QApplication& App = QtTestApp();  // before any widget
    TGridModel Model;
    TSpotGrid Grid{Model};
    TGridSpots Spots{Model};
    int NextCall = 0;
};

TEST_F(SpotGridTest, InfoTakesTheWidthTheOtherColumnsLeave) {
    EXPECT_EQ(ClientWidth(), 500 - 4);  // inside the 2-pixel border
    EXPECT_EQ(Info(), ClientWidth() - 241);
    EXPECT_FALSE(HBar());
    EXPECT_FALSE(VBar());

    Model.SetColWidth(0, 100);  // any width change stretches again
    EXPECT_EQ(Info(), ClientWidth() - 251);
}

TEST_F(SpotGridTest, ANarrowGridGivesInfoItsDefaultWidthAndAHorizontalBar) {
    Grid.resize(240 + 4, 300);
    EXPECT_EQ(ClientWidth(), 240);
    EXPECT_EQ(Info(), 80);
    EXPECT_TRUE(HBar());

    Grid.resize(400, 300);
    EXPECT_EQ(Info(), ClientWidth() - 241);
    EXPECT_FALSE(HBar());
}

TEST_F(SpotGridTest, TheFirstRowThatDoesNotFitBringsTheVerticalBarAndNarrowsInfo) {
    const int wide = ClientWidth();
    while (Model.RowCount() - 1 < Grid.VisibleRowCount()) AddSpot("DL9ABC");
    EXPECT_FALSE(VBar());
    EXPECT_EQ(Info(), wide - 241);

    AddSpot("DL9ABC");
    EXPECT_TRUE(VBar());
    EXPECT_EQ(ClientWidth(), wide - Grid.verticalScrollBar()->width());
    EXPECT_EQ(Info(), ClientWidth() - 241);
    EXPECT_FALSE(HBar());
}

TEST_F(SpotGridTest, HeightIsCutToWholeRowsInALayout) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    TGridModel model;
    auto* grid = new TSpotGrid(model);
    layout->addWidget(grid);
    for (int given : {300, 301, 308, 317}) {  // 308 gives 2 pixels more
        window.resize(500, given);
        window.show();
        QApplication::processEvents();
        const int expected = 4 + 18 * ((given - 2) / 18);
        EXPECT_EQ(grid->height(), expected) << "given " << given;
        EXPECT_EQ(grid->viewport()->height() % 18, 0) << "given " << given;
    }

    window.resize(200, 300);  // too narrow: the horizontal bar takes its part
    QApplication::processEvents();
    ASSERT_TRUE(grid->horizontalScrollBar()->isVisible());
    const int bar = grid->horizontalScrollBar()->height();
    EXPECT_EQ(grid->height(), bar + 4 + 18 * ((300 - bar - 2) / 18));
    EXPECT_EQ(grid->viewport()->height() % 18, 0);
}

TEST_F(SpotGridTest, TheCurrentRowFollowsEachNewSpotAfterTheUserLookedElsewhere) {
    AddSpots(40);
    EXPECT_EQ(BottomRow(), Model.RowCount() - 1);

    Grid.verticalScrollBar()->setValue(0);  // scrolled up with the bar
    AddSpot("OH2BH");
    EXPECT_EQ(Model.CurrentRow(), Model.RowCount() - 1);
    EXPECT_EQ(BottomRow(), Model.CurrentRow());

    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, CenterOf(0, BottomRow() - 3));
    EXPECT_EQ(Model.CurrentRow(), Model.RowCount() - 4);  // an older row was clicked
    AddSpot("OH2BH");
    EXPECT_EQ(Model.CurrentRow(), Model.RowCount() - 1);
    EXPECT_EQ(BottomRow(), Model.CurrentRow());

    const int current = Model.CurrentRow();
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, CenterOf(1, 0));
    EXPECT_EQ(Model.CurrentRow(), current);  // the header is not a row to pick
}

TEST_F(SpotGridTest, AfterTrimmingTheNewestSpotIsTheBottomRowOfTheView) {
    while (Model.RowCount() < 1000) AddSpot("DL9ABC");
    Spots.OtherLine();  // the next received line trims the table
    EXPECT_EQ(Model.RowCount(), 900);
    EXPECT_EQ(Model.CurrentRow(), 899);
    EXPECT_EQ(BottomRow(), 898);

    AddSpot("OH2BH");  // the next spot brings the new empty row into view
    EXPECT_EQ(BottomRow(), 900);
}

TEST_F(SpotGridTest, ATrimTakesDownTheBalloonOfTheRowsItMoves) {
    while (Model.RowCount() < 1000) AddSpots(1);
    Grid.verticalScrollBar()->setValue(0);  // the oldest spots in view
    QWidget* view = Grid.viewport();
    const TBalloonTip& tip = Grid.BalloonTip();
    QTest::mouseMove(view, CenterOf(2, 3));
    QTRY_VERIFY(tip.isVisible());
    const QString before = tip.Text();
    ASSERT_TRUE(before.startsWith("Call: " + QString::fromLatin1(Model.Cells(2, 3).c_str())));

    Spots.OtherLine();  // another spot is under the pointer now
    ASSERT_EQ(Model.RowCount(), 900);
    ASSERT_EQ(Grid.TopRow(), 1);
    EXPECT_FALSE(tip.isVisible());

    QTest::mouseMove(view, CenterOf(2, 3) + QPoint(1, 0));  // a rest shows the new spot's
    QTRY_VERIFY(tip.isVisible());
    EXPECT_TRUE(tip.Text().startsWith("Call: " + QString::fromLatin1(Model.Cells(2, 3).c_str())));
    EXPECT_NE(tip.Text(), before);
}

TEST_F(SpotGridTest, RemovingRowsKeepsAnOlderCurrentRowAndTheTopRow) {
    for (int i = 0; i < 60; ++i) AddSpot("DL9ABC");
    Model.SetCurrentRow(5);
    ASSERT_EQ(Grid.TopRow(), 5);
    Model.DeleteRows(1, 10);
    EXPECT_EQ(Model.CurrentRow(), 5);
    EXPECT_EQ(Grid.TopRow(), 5);
}

TEST_F(SpotGridTest, KeysAndTheWheelMoveTheCurrentRowAndTheViewFollows) {
    for (int i = 0; i < 40; ++i) AddSpot("DL9ABC");
    const int last = Model.RowCount() - 1;
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers = {}) {
        const QPointF at = CenterOf(0, Grid.TopRow());
        QWheelEvent e(at, Grid.viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(Grid.viewport(), &e);
    };
    const int lines = QApplication::wheelScrollLines();

    wheel(120);  // away from the user: up
    EXPECT_EQ(Model.CurrentRow(), last - lines);
    wheel(-120);
    EXPECT_EQ(Model.CurrentRow(), last);
    wheel(-120);  // not past the last row
    EXPECT_EQ(Model.CurrentRow(), last);

    QTest::keyClick(&Grid, Qt::Key_PageUp);
    EXPECT_EQ(Model.CurrentRow(), last - Grid.VisibleRowCount());
    QTest::keyClick(&Grid, Qt::Key_Up);
    EXPECT_EQ(Model.CurrentRow(), last - Grid.VisibleRowCount() - 1);
    EXPECT_EQ(Grid.TopRow(), Model.CurrentRow());  // just enough scrolling
    for (int i = 0; i < 50; ++i) QTest::keyClick(&Grid, Qt::Key_PageUp);
    EXPECT_EQ(Model.CurrentRow(), 1);  // never the header
    QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Model.CurrentRow(), 2);
}

TEST_F(SpotGridTest, CtrlWheelZoomsWithinTenPoints) {
    const QFont normal = Grid.CellFont();
    EXPECT_EQ(normal.pixelSize(), 12);
    const QPointF at = CenterOf(0, 1);
    for (int step = 0; step < 4; ++step) {
        QWheelEvent e(at, Grid.viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Grid.viewport(), &e);
    }
    ASSERT_EQ(QApplication::wheelScrollLines(), 3);
    EXPECT_EQ(Grid.ZoomAmount(), 9);             // 3, 6, 9; 12 is refused
    EXPECT_EQ(Grid.CellFont().pixelSize(), 24);  // 9 + 9 points at 96 dpi
    EXPECT_GT(Grid.RowHeight(), 18);
    EXPECT_GE(Grid.RowHeight(), QFontMetrics(Grid.CellFont()).height() + 4);
    EXPECT_EQ(Grid.viewport()->height() % Grid.RowHeight(), 0);
    EXPECT_EQ(Info(),
              ClientWidth() - (Model.ColWidth(0) + Model.ColWidth(1) + Model.ColWidth(2)) - 1);

    Grid.ZoomBy(-18);
    EXPECT_EQ(Grid.ZoomAmount(), -9);
    Grid.ZoomBy(-3);
    EXPECT_EQ(Grid.ZoomAmount(), -9);
}

TEST_F(SpotGridTest, TheMiddleButtonScrollsTowardsThePointerUntilAnyPress) {
    for (int i = 0; i < 40; ++i) AddSpot("DL9ABC");
    const int last = Model.CurrentRow();
    const QPoint origin = CenterOf(0, BottomRow() - 5);
    QTest::mousePress(Grid.viewport(), Qt::MiddleButton, {}, origin);
    ASSERT_TRUE(Grid.AutoScrolling());
    QTest::mouseMove(Grid.viewport(), origin + QPoint(0, 3));  // within 5 pixels: no move
    QTest::qWait(50);
    EXPECT_EQ(Model.CurrentRow(), last);
    QTest::mouseMove(Grid.viewport(), origin - QPoint(0, 30));
    QTRY_VERIFY(Model.CurrentRow() < last - 2);
    QTest::mousePress(Grid.viewport(), Qt::LeftButton, {}, origin);
    EXPECT_FALSE(Grid.AutoScrolling());
}

TEST_F(SpotGridTest, TwoGridsOnOneModelEachFollowItUntilDestroyed) {
    {
        TSpotGrid second(Model);
        second.resize(300, 200);
        second.show();
        AddSpots(20);
        EXPECT_EQ(second.TopRow() + second.VisibleRowCount() - 1, Model.CurrentRow());
        EXPECT_FALSE(second.grab().isNull());
    }
    AddSpots(100);  // the first grid still follows, and draws every row
    EXPECT_EQ(BottomRow(), Model.CurrentRow());
    Grid.verticalScrollBar()->setValue(0);
    EXPECT_FALSE(Grid.grab().isNull());
    Grid.verticalScrollBar()->setValue(Grid.verticalScrollBar()->maximum());
    EXPECT_FALSE(Grid.grab().isNull());
}

TEST(SpotGrid, ShowsTheHeaderTextsFromTheStart) {
    QtTestApp();
    TGridModel model;  // nothing has written to it yet
    TSpotGrid grid(model);
    grid.resize(500, 100);
    grid.show();
    const QImage image = grid.viewport()->grab().toImage();
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        const QRect cell = grid.CellRect(c, 0).adjusted(2, 2, -3, -3);
        int ink = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ink += image.pixelColor(x, y).lightness() < 100;
        EXPECT_GT(ink, 10) << "column " << c;
    }
}

// Colours and widths of what is drawn, read back from the widget's pixels.
TEST_F(SpotGridTest, DrawsHeaderCurrentRowGridLinesAndColouredBoldText) {
    AddSpot("DL9ABC");  // a new call of a member not worked: red and bold
    AddSpot("DL9ABC");
    const QImage image = Grid.viewport()->grab().toImage();
    const QPalette& palette = Grid.palette();
    auto pixel = [&](QPoint p) { return image.pixelColor(p); };
    auto inkIn = [&](QRect r, auto isInk) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += isInk(image.pixelColor(x, y));
        return n;
    };

    const QRect freqHeader = Grid.CellRect(1, 0);
    EXPECT_EQ(pixel({freqHeader.right() - 3, freqHeader.center().y()}),
              palette.color(QPalette::Button));
    EXPECT_EQ(pixel(Grid.CellRect(0, 0).bottomRight()), QColor(Qt::black));
    EXPECT_EQ(pixel(Grid.CellRect(0, 3).topLeft() + QPoint(1, 1)),
              palette.color(QPalette::ToolTipBase));
    EXPECT_EQ(pixel(Grid.CellRect(0, 2).topLeft() + QPoint(1, 1)), palette.color(QPalette::Base));
    EXPECT_EQ(pixel(Grid.CellRect(0, 1).bottomLeft() + QPoint(5, 0)), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(pixel(Grid.CellRect(2, 1).topRight() + QPoint(0, 5)), QColor(0xC0, 0xC0, 0xC0));

    auto red = [](QColor c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; };
    auto dark = [](QColor c) { return c.lightness() < 100; };
    const QRect boldCall = Grid.CellRect(2, 1).adjusted(1, 1, -1, -1);
    const QRect plainCall = Grid.CellRect(2, 2).adjusted(1, 1, -1, -1);
    EXPECT_GT(inkIn(boldCall, red), 20);
    EXPECT_EQ(inkIn(plainCall, red), 0);
    EXPECT_GT(inkIn(boldCall, red), inkIn(plainCall, dark));  // bold has more ink

    // "14025,0" passes the number test and ends 2 pixels inside the text
    // area's right edge; the call starts 2 pixels inside its left edge.
    auto inkColumns = [&](QRect r) {
        int first = -1, last = -1;
        for (int x = r.left(); x <= r.right(); ++x)
            if (inkIn(QRect(x, r.top(), 1, r.height()), dark) > 0) {
                if (first < 0) first = x;
                last = x;
            }
        return std::pair{first - r.left(), r.right() - last};
    };
    const auto [freqLeft, freqRight] = inkColumns(Grid.CellRect(1, 2).adjusted(1, 1, -1, -1));
    EXPECT_GT(freqLeft, 10);
    EXPECT_GE(freqRight, 2);
    EXPECT_LE(freqRight, 4);
    const auto [callLeft, callRight] = inkColumns(plainCall);
    EXPECT_GE(callLeft, 2);
    EXPECT_LE(callLeft, 4);
    EXPECT_GT(callRight, 10);
}

TEST_F(SpotGridTest, ATextWiderThanItsColumnEndsAtTheLastWholeWord) {
    Model.SetColWidth(0, 60);
    Model.SetCells(0, 1, "AAAA BBBBBBBBBBBB");
    Model.SetCells(1, 1, "&");  // shown as itself
    const QImage image = Grid.viewport()->grab().toImage();
    const QRect cell = Grid.CellRect(0, 1).adjusted(1, 1, -1, -1);
    const int aaaa = QFontMetrics(Grid.CellFont()).horizontalAdvance("AAAA");
    int lastInk = -1;
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            if (image.pixelColor(x, y).lightness() < 128) lastInk = x;
    EXPECT_GT(lastInk, cell.left());
    EXPECT_LE(lastInk, cell.left() + 2 + aaaa);  // no part of the second word, no "..."

    const QRect amp = Grid.CellRect(1, 1).adjusted(1, 1, -1, -1);
    int ink = 0;
    for (int x = amp.left(); x <= amp.right(); ++x)
        for (int y = amp.top(); y <= amp.bottom(); ++y)
            ink += image.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(ink, 0);
}

TEST_F(SpotGridTest, BalloonTipFollowsThePointerFromCellToCell) {
    AddSpot("DL9ABC");
    const TBalloonTip& tip = Grid.BalloonTip();
    QWidget* view = Grid.viewport();

    QTest::mouseMove(view, CenterOf(1, 0));
    QTRY_VERIFY(tip.isVisible());
    EXPECT_EQ(tip.Title(), " ");
    EXPECT_EQ(tip.Text(), "Freq");
    EXPECT_EQ(tip.Icon(), biInfo);

    QTest::mouseMove(view, CenterOf(2, 1));  // another cell: down at once
    EXPECT_FALSE(tip.isVisible());
    QTRY_VERIFY(tip.isVisible());
    EXPECT_EQ(tip.Title(), "KAVRA");
    EXPECT_EQ(tip.Text(), "Call: DL9ABC\nName: Hans\nQTH: Berlin\nQSO:s: 0\nWorked: No");

    QTest::mouseMove(view, CenterOf(2, 1) + QPoint(3, 0));  // same cell: stays up
    EXPECT_TRUE(tip.isVisible());

    QTest::mouseMove(view, CenterOf(2, 2));  // the empty current row: no tip
    EXPECT_FALSE(tip.isVisible());
    QTest::qWait(1200);
    EXPECT_FALSE(tip.isVisible());
}

}  // namespace
}  // namespace skimby
