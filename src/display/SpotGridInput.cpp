// What the user can do with the spot grid: pick a row by click, keys or
// wheel, zoom with Ctrl and the wheel, scroll automatically with the middle
// button, and rest the pointer on a cell to see its balloon tip.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "display/BalloonTip.h"
#include "display/CellTip.h"
#include "display/SpotGrid.h"

namespace skimby {
namespace {

constexpr int WheelStep = 120;  // one notch of an ordinary wheel
constexpr int AutoScrollDeadZone = 5;

}  // namespace

void TSpotGrid::MoveCurrentRow(int delta) {
    const int last = Grid.RowCount() - 1;
    Grid.SetCurrentRow(std::clamp(Grid.CurrentRow() + delta, 1, std::max(1, last)));
}

void TSpotGrid::mousePressEvent(QMouseEvent* e) {
    HideTip();
    if (AutoScrolling()) {  // any button ends the automatic scroll
        StopAutoScroll();
        return;
    }
    if (e->button() == Qt::MiddleButton) {
        if (Grid.RowCount() > 1) StartAutoScroll(e->position().toPoint());
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    // A click on the header does nothing: no sorting, no resizing.
    const auto cell = CellAt(e->position().toPoint());
    if (cell && cell->Row > 0) Grid.SetCurrentRow(cell->Row);
}

void TSpotGrid::keyPressEvent(QKeyEvent* e) {
    StopAutoScroll();
    const int page = std::max(1, VisibleRowCount());
    switch (e->key()) {
        case Qt::Key_Up:
            MoveCurrentRow(-1);
            break;
        case Qt::Key_Down:
            MoveCurrentRow(1);
            break;
        case Qt::Key_PageUp:
            MoveCurrentRow(-page);
            break;
        case Qt::Key_PageDown:
            MoveCurrentRow(page);
            break;
        case Qt::Key_Left:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case Qt::Key_Right:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        default:
            QAbstractScrollArea::keyPressEvent(e);
            return;
    }
    e->accept();
}

// Each notch moves the current row (or, with Ctrl, the zoom) by the
// platform's wheel-scroll lines; turning the wheel towards the user means
// down, or larger text.
void TSpotGrid::wheelEvent(QWheelEvent* e) {
    e->accept();
    WheelRemainder += e->angleDelta().y();
    const int notches = WheelRemainder / WheelStep;
    WheelRemainder -= notches * WheelStep;
    const int lines = QApplication::wheelScrollLines();
    if (notches == 0 || lines <= 0) return;
    if (e->modifiers() & Qt::ControlModifier) {
        for (int i = 0; i < std::abs(notches); ++i) ZoomBy(notches < 0 ? lines : -lines);
        return;
    }
    MoveCurrentRow(-notches * lines);
}

// --- Zoom -----------------------------------------------------------------

void TSpotGrid::ZoomBy(int points) {
    const int zoom = Fonts.Zoom() + points;
    if (zoom < MinZoom || zoom > MaxZoom) return;
    HideTip();
    // Taller or lower rows change how many fit: a current row in full view
    // stays in view, as the newest spot does while the user zooms.
    const int current = Grid.CurrentRow();
    const bool wasShown = RowFullyShown(current, viewport()->height());
    Fonts.SetZoom(zoom);
    InvalidateLayouts();
    FitToZoomedText(points);
    Relayout();
    AdjustToWholeRows();
    if (wasShown) ScrollIntoView(current);
    viewport()->update();
}

// Every width and the row height change with the text; then columns too
// narrow for a text and rows too low for a line are widened to fit.
void TSpotGrid::FitToZoomedText(int points) {
    const TCellAttributes plain;
    const TGridFont& cellFont = Fonts.Get(plain.FontName, plain.FontSize, false);
    const TGridFont& boldFont = Fonts.Get(plain.FontName, plain.FontSize, true);
    const TGridFont& headerFont = Fonts.Get("Verdana", 9, true);
    if (RowH + points > 0) RowH += points;
    const int lineHeight = std::max(cellFont.Metrics.height(), headerFont.Metrics.height());
    RowH = std::max(RowH, lineHeight + 2 + CellTextInset);

    SettingWidths = true;
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        int width = Grid.ColWidth(c) + points > 0 ? Grid.ColWidth(c) + points : Grid.ColWidth(c);
        for (int r = 0; r < Grid.RowCount(); ++r) {
            const TGridCell& cell = Grid.Cell(c, r);
            if (cell.Text.empty()) continue;
            const TGridFont& font = r == 0                                       ? headerFont
                                    : (cell.Attributes && cell.Attributes->Bold) ? boldFont
                                                                                 : cellFont;
            width = std::max(width, font.TextWidth(cell.Text) + 2 * CellTextInset + 2);
        }
        Grid.SetColWidth(c, width);
    }
    SettingWidths = false;
}

// --- Automatic scroll -----------------------------------------------------

void TSpotGrid::StartAutoScroll(QPoint at) {
    AutoScrollOrigin = at;
    LastMousePos = at;
    viewport()->setCursor(Qt::SizeVerCursor);
    AutoScrollTimer.start();
}

void TSpotGrid::StopAutoScroll() {
    if (!AutoScrollTimer.isActive()) return;
    AutoScrollTimer.stop();
    viewport()->unsetCursor();
}

void TSpotGrid::AutoScrollStep() {
    const int dy = LastMousePos.y() - AutoScrollOrigin.y();
    if (dy < -AutoScrollDeadZone)
        MoveCurrentRow(-1);
    else if (dy > AutoScrollDeadZone)
        MoveCurrentRow(1);
}

// --- Balloon tips ---------------------------------------------------------

void TSpotGrid::mouseMoveEvent(QMouseEvent* e) {
    LastMousePos = e->position().toPoint();
    // Leaving the cell whose tip is up takes the tip down at once; a new
    // tip needs the pointer to rest again.
    if (TipCell && CellAt(LastMousePos) != TipCell) HideTip();
    if (!TipCell) TipWakeTimer.start();
}

bool TSpotGrid::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::Leave) {
        TipWakeTimer.stop();
        HideTip();
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void TSpotGrid::ShowTip() {
    const auto cell = CellAt(LastMousePos);
    if (!cell) return;
    const auto content = CellTipContent(Grid, cell->Col, cell->Row);
    if (!content) return;
    Tip->ShowAt(viewport()->mapToGlobal(LastMousePos), *content);
    TipCell = cell;
    TipHideTimer.start();
}

void TSpotGrid::HideTip() {
    TipHideTimer.stop();
    TipCell.reset();
    Tip->hide();
}

}  // namespace skimby
