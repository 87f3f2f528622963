// Geometry of the spot grid: rows and columns, the stretched last column,
// scroll bars, the whole-row height and the answers to the model's news.
#include "display/SpotGrid.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "display/BalloonTip.h"

namespace skimby {
namespace {

constexpr int InfoCol = TGridModel::ColCount - 1;

}  // namespace

TSpotGrid::TSpotGrid(TGridModel& model, QWidget* parent)
    : QAbstractScrollArea(parent), Grid(model), Tip(new TBalloonTip(this)) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);  // sunken, 2 pixels
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted by paintEvent; Qt need not clear first.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);

    Layouts.resize(Grid.RowCount());
    MarkedRow = Grid.CurrentRow();
    OfferedHeight = height();

    AutoScrollTimer.setInterval(10);
    connect(&AutoScrollTimer, &QTimer::timeout, this, [this] { AutoScrollStep(); });
    TipWakeTimer.setSingleShot(true);
    TipWakeTimer.setInterval(style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, this));
    connect(&TipWakeTimer, &QTimer::timeout, this, [this] { ShowTip(); });
    TipHideTimer.setSingleShot(true);
    TipHideTimer.setInterval(10 * QApplication::doubleClickInterval());
    connect(&TipHideTimer, &QTimer::timeout, this, [this] { HideTip(); });

    Grid.AddObserver(this);
    GridLife = Grid.Life();
    Relayout();
}

TSpotGrid::~TSpotGrid() {
    if (!GridLife.expired()) Grid.RemoveObserver(this);
}

int TSpotGrid::TopRow() const {
    return 1 + verticalScrollBar()->value();
}

int TSpotGrid::VisibleRowCount() const {
    return std::max(0, (viewport()->height() - RowH) / RowH);
}

QFont TSpotGrid::CellFont() {
    return Fonts.Get(TCellAttributes().FontName, TCellAttributes().FontSize, false).Font;
}

int TSpotGrid::ColumnLeft(int col) const {
    int x = -horizontalScrollBar()->value();
    for (int c = 0; c < col; ++c) x += Grid.ColWidth(c);
    return x;
}

int TSpotGrid::ColumnsWidth() const {
    int sum = 0;
    for (int c = 0; c < TGridModel::ColCount; ++c) sum += Grid.ColWidth(c);
    return sum;
}

QRect TSpotGrid::CellRect(int col, int row) const {
    const int y = row == 0 ? 0 : RowH * (1 + row - TopRow());
    return QRect(ColumnLeft(col), y, Grid.ColWidth(col), RowH);
}

std::optional<TGridCoord> TSpotGrid::CellAt(QPoint pos) const {
    if (pos.x() < 0 || pos.y() < 0) return std::nullopt;
    const int row = pos.y() < RowH ? 0 : TopRow() + (pos.y() - RowH) / RowH;
    if (row >= Grid.RowCount()) return std::nullopt;
    int x = -horizontalScrollBar()->value();
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        x += Grid.ColWidth(c);
        if (pos.x() < x) return TGridCoord{c, row};
    }
    return std::nullopt;
}

// --- Widths, scroll bars and height ---------------------------------------

// Stretching can change which scroll bars are needed, which changes the
// room to stretch into; a few rounds settle it, and the guard keeps the
// viewport's resize events from nesting another round.
void TSpotGrid::Relayout() {
    if (InRelayout) {
        RelayoutAgain = true;
        return;
    }
    InRelayout = true;
    for (int round = 0; round < 4; ++round) {
        RelayoutAgain = false;
        StretchInfoColumn();
        UpdateScrollBars();
        if (!RelayoutAgain) break;
    }
    InRelayout = false;
}

void TSpotGrid::StretchInfoColumn() {
    const int others = ColumnsWidth() - Grid.ColWidth(InfoCol);
    const int room = viewport()->width();
    int info;
    if (room > others)
        info = room - others - 1;
    else if (horizontalScrollBar()->value() == 0)
        info = TGridModel::DefaultColWidth;
    else
        return;
    if (info == Grid.ColWidth(InfoCol)) return;
    SettingWidths = true;
    Grid.SetColWidth(InfoCol, info);
    SettingWidths = false;
    viewport()->update();
}

void TSpotGrid::UpdateScrollBars() {
    const int shown = VisibleRowCount();
    QScrollBar* v = verticalScrollBar();
    v->setPageStep(std::max(1, shown));
    v->setSingleStep(1);
    v->setRange(0, std::max(0, Grid.RowCount() - 1 - shown));
    QScrollBar* h = horizontalScrollBar();
    const int room = viewport()->width();
    h->setPageStep(std::max(1, room));
    h->setSingleStep(DefaultRowHeight);
    h->setRange(0, std::max(0, ColumnsWidth() - room));
}

int TSpotGrid::IntegralHeight(int givenHeight, int scrollBarHeight, int rowHeight, int border) {
    const int rows = std::max(0, givenHeight - scrollBarHeight - border) / rowHeight;
    return scrollBarHeight + 2 * border + rowHeight * rows;
}

// The height the layout offers is cut (or stretched by at most the border)
// to whole rows, so no row is ever shown cut off at the bottom. It is cut
// from the offered height each time: cutting the grid's own, already cut
// height again would lose a row at every change of the row height.
void TSpotGrid::AdjustToWholeRows() {
    if (InOwnResize) return;
    const QScrollBar* v = verticalScrollBar();
    const int vbar = v->isVisibleTo(this) ? v->sizeHint().width() : 0;
    const int room = width() - 2 * frameWidth() - vbar;
    const bool allColumns = room > ColumnsWidth() - Grid.ColWidth(InfoCol);
    const int hbar = allColumns ? 0 : horizontalScrollBar()->sizeHint().height();
    const int h = IntegralHeight(OfferedHeight, hbar, RowH, frameWidth());
    if (h == height()) return;
    InOwnResize = true;
    const QSize old = size();
    resize(width(), h);
    // A hidden widget gets its resize event only when shown, and not at all
    // when this runs inside that very event: lay out the children now.
    if (!isVisible()) {
        QResizeEvent resized(size(), old);
        QAbstractScrollArea::event(&resized);
    }
    InOwnResize = false;
}

// Every resize that the grid does not make itself is a new offer.
bool TSpotGrid::event(QEvent* e) {
    if (e->type() != QEvent::Resize) return QAbstractScrollArea::event(e);
    if (!InOwnResize) OfferedHeight = static_cast<QResizeEvent*>(e)->size().height();
    const bool wasInWidgetResize = InWidgetResize;
    InWidgetResize = true;
    const bool done = QAbstractScrollArea::event(e);
    InWidgetResize = wasInWidgetResize;
    AdjustToWholeRows();
    return done;
}

// The viewport's size changed: with the grid's own size, or because a
// scroll bar came or went. The columns are stretched again, the height
// cut to whole rows again (unless the grid's own resize does that next),
// and a current row that was in full view is brought into the view as it
// is now.
void TSpotGrid::resizeEvent(QResizeEvent* e) {
    const int current = Grid.CurrentRow();
    const bool wasShown = RowFullyShown(current, e->oldSize().height());
    Relayout();
    if (!InWidgetResize) AdjustToWholeRows();
    if (wasShown) ScrollIntoView(current);
}

// --- Scrolling ------------------------------------------------------------

void TSpotGrid::scrollContentsBy(int, int) {
    HideTip();
    viewport()->update();
}

void TSpotGrid::SetTopRow(int row) {
    verticalScrollBar()->setValue(row - 1);
}

// Just enough scrolling: a row below the view becomes its last full row, a
// row above it its first.
void TSpotGrid::ScrollIntoView(int row) {
    if (row < 1) return;
    const int shown = std::max(1, VisibleRowCount());
    if (row < TopRow())
        SetTopRow(row);
    else if (row >= TopRow() + shown)
        SetTopRow(row - shown + 1);
}

bool TSpotGrid::RowFullyShown(int row, int viewHeight) const {
    const int shown = std::max(0, (viewHeight - RowH) / RowH);
    return row >= TopRow() && row < TopRow() + shown;
}

void TSpotGrid::UpdateRow(int row) {
    const QRect r(0, CellRect(0, row).top(), viewport()->width(), RowH);
    if (row == 0 || (row >= TopRow() && r.top() < viewport()->height())) viewport()->update(r);
}

// --- The model's news -----------------------------------------------------

// The cached layouts follow the model's rows one for one. Should they ever
// not match the model, they are all laid out afresh rather than indexed
// out of step.
bool TSpotGrid::LayoutsMatch(int modelRows) const {
    return Layouts.size() == static_cast<std::size_t>(modelRows);
}

void TSpotGrid::ResetLayouts() {
    Layouts.assign(Grid.RowCount(), {});
}

void TSpotGrid::CellChanged(int col, int row) {
    if (static_cast<std::size_t>(row) < Layouts.size()) Layouts[row][col].Valid = false;
    const QRect r = CellRect(col, row);
    if (row == 0 || row >= TopRow()) viewport()->update(r);
}

void TSpotGrid::RowsAppended(int first, int count) {
    if (LayoutsMatch(first))
        Layouts.resize(first + count);
    else
        ResetLayouts();
    Relayout();
    for (int row = first; row < first + count; ++row) UpdateRow(row);
}

void TSpotGrid::RowsRemoved(int first, int count, int /*previousCurrentRow*/) {
    // Other spots now lie under the pointer: a balloon up names a row
    // that has moved away.
    HideTip();
    if (LayoutsMatch(Grid.RowCount() + count))
        Layouts.erase(Layouts.begin() + first, Layouts.begin() + first + count);
    else
        ResetLayouts();
    // The model has kept the current row's number when it still exists,
    // else made the new last row current without bringing it into view;
    // either way the view keeps its top row as far as the smaller grid
    // allows.
    const int top = TopRow();
    MarkedRow = Grid.CurrentRow();
    Relayout();
    SetTopRow(top);
    // When the view was at or near the bottom, end it on the second-to-last
    // row, which is the newest spot above the empty current row.
    const int bottomTop = Grid.RowCount() - VisibleRowCount() - 1;
    if (TopRow() >= bottomTop && bottomTop > 0) SetTopRow(bottomTop);
    viewport()->update();
}

void TSpotGrid::CurrentRowChanged(int row) {
    UpdateRow(MarkedRow);
    MarkedRow = row;
    UpdateRow(row);
    ScrollIntoView(row);
}

void TSpotGrid::ColWidthChanged(int) {
    if (SettingWidths) return;
    Relayout();
    viewport()->update();
}

}  // namespace skimby
