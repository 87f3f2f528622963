// SpotGrid1's widget: draws a TGridModel as a read-only table with a fixed
// header row, keeps the last column stretched over the remaining width and
// the current row in view, zooms with Ctrl and the wheel, and shows each
// cell's balloon tip when the pointer rests on it.
#pragma once

#include <QAbstractScrollArea>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "display/CellLayout.h"
#include "display/GridFonts.h"
#include "display/GridModel.h"

namespace skimby {

class TBalloonTip;

struct TGridCoord {
    int Col = 0;
    int Row = 0;
    bool operator==(const TGridCoord&) const = default;
};

class TSpotGrid : public QAbstractScrollArea, private TGridObserver {
    Q_OBJECT
  public:
    static constexpr int DefaultRowHeight = 18;
    static constexpr int MinZoom = -10;
    static constexpr int MaxZoom = 10;

    // The grid observes model from now on. The model should outlive it; a
    // grid deleted with its window after the model leaves it alone. Any
    // number of grids can show one model; they share its column widths, so
    // the Info column fits the grid that stretched it last.
    explicit TSpotGrid(TGridModel& model, QWidget* parent = nullptr);
    ~TSpotGrid() override;

    TGridModel& Model() { return Grid; }

    int RowHeight() const { return RowH; }
    // The data row shown first under the header.
    int TopRow() const;
    // Data rows shown in full under the header.
    int VisibleRowCount() const;
    int ZoomAmount() const { return Fonts.Zoom(); }
    // The cell font at the current zoom, as data cells without attributes use it.
    QFont CellFont();
    // The cell at a point of the viewport, if there is one.
    std::optional<TGridCoord> CellAt(QPoint viewportPos) const;
    // A cell's rectangle in viewport coordinates (it may lie outside the view).
    QRect CellRect(int col, int row) const;
    // The tip window; hidden while no tip is shown.
    const TBalloonTip& BalloonTip() const { return *Tip; }
    bool AutoScrolling() const { return AutoScrollTimer.isActive(); }

    // Changes the zoom by points; a step that would leave -10..10 is ignored.
    void ZoomBy(int points);

    // The height the grid takes when its layout offers givenHeight: a whole
    // number of rows plus the border and, when shown, the horizontal bar.
    static int IntegralHeight(int givenHeight, int scrollBarHeight, int rowHeight, int border);

  protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    struct TPaintColors;

    // TGridObserver
    void CellChanged(int col, int row) override;
    void RowsAppended(int first, int count) override;
    void RowsRemoved(int first, int count, int previousCurrentRow) override;
    void CurrentRowChanged(int row) override;
    void ColWidthChanged(int col) override;

    void Relayout();
    bool LayoutsMatch(int modelRows) const;
    void ResetLayouts();
    void StretchInfoColumn();
    void UpdateScrollBars();
    void AdjustToWholeRows();
    void SetTopRow(int row);
    void ScrollIntoView(int row);
    bool RowFullyShown(int row, int viewHeight) const;
    void UpdateRow(int row);
    void InvalidateLayouts();
    void FitToZoomedText(int points);

    int ColumnLeft(int col) const;
    int ColumnsWidth() const;
    void DrawHeaderCell(QPainter& p, int col, const QRect& rect, const TPaintColors& colors);
    void DrawDataCell(QPainter& p, int col, int row, const QRect& rect, const TPaintColors& colors);
    void DrawText(QPainter& p, TCellLayout& layout, const std::string& text, const QRect& area,
                  const TGridFont& font, const QColor& color);

    void MoveCurrentRow(int delta);
    void StartAutoScroll(QPoint at);
    void StopAutoScroll();
    void AutoScrollStep();
    void ShowTip();
    void HideTip();

    TGridModel& Grid;
    std::weak_ptr<const char> GridLife;  // expired once the model is gone
    TGridFonts Fonts;
    int RowH = DefaultRowHeight;
    int MarkedRow = 1;  // the row last drawn as current
    // Laid-out texts, one per cell, parallel to the model's rows.
    std::vector<std::array<TCellLayout, TGridModel::ColCount>> Layouts;

    bool SettingWidths = false;  // our own width changes are not news to us
    bool InRelayout = false;
    bool RelayoutAgain = false;
    bool InOwnResize = false;
    bool InWidgetResize = false;
    // The height the layout (or whoever resized the grid) last gave it; the
    // whole-row height is always cut from this, never from a height the
    // grid gave itself.
    int OfferedHeight = 0;

    int WheelRemainder = 0;
    QTimer AutoScrollTimer;
    QPoint AutoScrollOrigin;
    QPoint LastMousePos;

    TBalloonTip* Tip;
    QTimer TipWakeTimer;
    QTimer TipHideTimer;
    std::optional<TGridCoord> TipCell;
};

}  // namespace skimby
