// The spot grid where the user meets it: in a main window between a top
// panel and the status bar, through zoom steps, window resizes and scroll
// bars that come and go as spots arrive.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <string>

#include "display/SpotGrid.h"
#include "support/GridSpots.h"
#include "support/QtTestApp.h"

namespace skimby {
namespace {

constexpr int PanelHeight = 41;

class TTestWindow {
  public:
    TTestWindow() {
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto* panel = new QWidget;
        panel->setFixedHeight(PanelHeight);
        layout->addWidget(panel);
        layout->addWidget(Grid);
        Window.setCentralWidget(central);
        Window.statusBar()->showMessage("Connected.");
    }

    // Resizes the window so that its layout offers the grid the given size;
    // the first time, before the window is shown, as the program restores
    // its window's size.
    void Offer(int width, int height) {
        const int statusBar = Window.statusBar()->sizeHint().height();
        Window.resize(width, PanelHeight + height + statusBar);
        Window.show();
        QApplication::processEvents();
        ASSERT_EQ(Offered(), height);
        ASSERT_EQ(Grid->width(), width);
    }

    // The height the layout gives the grid: all between panel and status bar.
    int Offered() const { return Window.centralWidget()->height() - PanelHeight; }

    void AddSpots(int count) {
        const char* calls[] = {"DL9ABC", "OH2BH", "K1ABC"};
        for (int i = 0; i < count; ++i) Spots.Add(calls[i % 3]);
        QApplication::processEvents();  // the scroll area shows its bars
    }

    void CtrlWheel(int delta) {
        const QPointF at = Grid->CellRect(0, 1).center();
        QWheelEvent e(at, Grid->viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Grid->viewport(), &e);
        QApplication::processEvents();
    }

    int HBarHeight() const {
        const QScrollBar* bar = Grid->horizontalScrollBar();
        return bar->isVisible() ? bar->height() : 0;
    }

    // The grid takes hs + 4 + R * floor((H - hs - 2) / R) of the offered
    // height H, with R the row height and hs the horizontal bar's height
    // when that is shown: no row is cut off, and the strip left above the
    // status bar is less than a row.
    void ExpectWholeRows(const std::string& when) const {
        const int offered = Offered();
        const int rowHeight = Grid->RowHeight();
        const int hs = HBarHeight();
        SCOPED_TRACE(when + ", offered " + std::to_string(offered) + ", row height " +
                     std::to_string(rowHeight));
        EXPECT_EQ(Grid->height(), hs + 4 + rowHeight * ((offered - hs - 2) / rowHeight));
        EXPECT_GE(Grid->height(), offered - (rowHeight - 3));
        EXPECT_LE(Grid->height(), offered + 2);
        EXPECT_EQ(Grid->viewport()->height() % rowHeight, 0);
    }

    // The empty current row is the bottom row of the view, in full.
    void ExpectCurrentRowAtTheBottom(const std::string& when) const {
        SCOPED_TRACE(when);
        const int current = Model.CurrentRow();
        EXPECT_EQ(current, Model.RowCount() - 1);
        EXPECT_EQ(Grid->TopRow() + Grid->VisibleRowCount() - 1, current);
        EXPECT_EQ(Grid->CellRect(0, current).bottom(), Grid->viewport()->height() - 1);
    }

    QApplication& App = QtTestApp();  // before any widget
    TGridModel Model;                 // outlives the grid the window owns
    QMainWindow Window;
    TSpotGrid* Grid = new TSpotGrid(Model);
    TGridSpots Spots{Model};
};

TEST(SpotGridWindow, ZoomStepsKeepTheGridAtTheWholeRowsOfTheOfferedHeight) {
    for (int offered : {418, 300, 301, 308}) {
        TTestWindow w;
        w.Offer(500, offered);
        w.AddSpots(30);
        ASSERT_EQ(w.Grid->RowHeight(), 18);
        w.ExpectWholeRows("before zooming");

        // Larger to +9 (a fourth step is refused), smaller to -9, back to 0.
        const int wheel[] = {-120, -120, -120, -120, 120,  120,  120,
                             120,  120,  120,  120,  -120, -120, -120};
        for (int delta : wheel) {
            w.CtrlWheel(delta);
            const std::string zoom = "zoom " + std::to_string(w.Grid->ZoomAmount());
            w.ExpectWholeRows(zoom);
            // The newest spot and the current row under it stay in view.
            const int current = w.Model.CurrentRow();
            EXPECT_GE(current, w.Grid->TopRow()) << zoom;
            EXPECT_LT(current, w.Grid->TopRow() + w.Grid->VisibleRowCount()) << zoom;
        }
        EXPECT_EQ(w.Grid->ZoomAmount(), 0);
    }
}

// At these widths the vertical bar narrows the Info column to its minimum,
// which brings the horizontal bar too, without any resize of the grid.
TEST(SpotGridWindow, ScrollBarsThatComeWithASpotLeaveNoRowCutOff) {
    for (int width = 245; width <= 258; ++width) {
        const std::string at = "width " + std::to_string(width);
        TTestWindow w;
        w.Offer(width, 150);  // the header and 7 data rows
        w.AddSpots(6);
        ASSERT_FALSE(w.Grid->verticalScrollBar()->isVisible()) << at;
        w.ExpectWholeRows(at + ", 6 spots");

        w.AddSpots(1);
        ASSERT_TRUE(w.Grid->verticalScrollBar()->isVisible()) << at;
        ASSERT_TRUE(w.Grid->horizontalScrollBar()->isVisible()) << at;
        w.ExpectWholeRows(at + ", 7 spots");
        w.ExpectCurrentRowAtTheBottom(at + ", 7 spots");

        w.AddSpots(2);
        w.ExpectWholeRows(at + ", 9 spots");
        w.ExpectCurrentRowAtTheBottom(at + ", 9 spots");

        w.Offer(500, 150);  // wide again: the horizontal bar goes
        EXPECT_FALSE(w.Grid->horizontalScrollBar()->isVisible()) << at;
        w.ExpectWholeRows(at + ", widened");
        w.ExpectCurrentRowAtTheBottom(at + ", widened");
    }
}

}  // namespace
}  // namespace skimby
