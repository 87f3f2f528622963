// Drawing of the spot grid: raised header cells, data cells with their
// grid lines, the current-row mark and texts laid out once and kept.
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "display/GridColors.h"
#include "display/NumberTest.h"
#include "display/SpotGrid.h"
#include "platform/NumberText.h"

namespace skimby {
namespace {

const std::string HeaderFontName = "Verdana";
constexpr int HeaderFontPoints = 9;

// The thousands separator of the user's regional settings as a byte; none
// when it is not a single Latin-1 character, as no 8-bit text can hold it.
char GroupSeparator() {
    static const char separator = [] {
        const QString sep = QLocale::system().groupSeparator();
        if (sep.size() != 1 || sep[0].unicode() > 0xFF) return '\0';
        return static_cast<char>(sep[0].unicode());
    }();
    return separator;
}

}  // namespace

struct TSpotGrid::TPaintColors {
    explicit TPaintColors(const QPalette& p)
        : Window(GridColor(clWindow, p)),
          Text(GridColor(clWindowText, p)),
          Face(GridColor(clBtnFace, p)),
          Highlight(GridColor(clBtnHighlight, p)),
          Shadow(GridColor(clBtnShadow, p)),
          Current(GridColor(clInfoBk, p)),
          Line(GridColor(clSilver, p)),
          Black(GridColor(clBlack, p)) {}
    QColor Window, Text, Face, Highlight, Shadow, Current, Line, Black;
};

void TSpotGrid::paintEvent(QPaintEvent* e) {
    if (!LayoutsMatch(Grid.RowCount())) ResetLayouts();
    QPainter p(viewport());
    const TPaintColors colors(palette());
    const QRect dirty = e->rect();
    const int right = ColumnLeft(TGridModel::ColCount);

    auto drawRow = [&](int row, int y) {
        for (int c = 0, x = ColumnLeft(0); c < TGridModel::ColCount; x += Grid.ColWidth(c), ++c) {
            const QRect cell(x, y, Grid.ColWidth(c), RowH);
            if (cell.right() < dirty.left() || cell.left() > dirty.right()) continue;
            if (row == 0)
                DrawHeaderCell(p, c, cell, colors);
            else
                DrawDataCell(p, c, row, cell, colors);
        }
    };
    if (dirty.top() < RowH) drawRow(0, 0);
    int y = RowH;
    int row = TopRow();
    if (dirty.top() > RowH) {
        row += (dirty.top() - RowH) / RowH;
        y += (row - TopRow()) * RowH;
    }
    for (; row < Grid.RowCount() && y <= dirty.bottom(); ++row, y += RowH) drawRow(row, y);

    // The area without cells, right of the columns and below the rows.
    const int vw = viewport()->width(), vh = viewport()->height();
    if (right < vw) p.fillRect(QRect(right, 0, vw - right, vh) & dirty, colors.Window);
    if (y < vh && row >= Grid.RowCount())
        p.fillRect(QRect(0, y, std::min(right, vw), vh - y) & dirty, colors.Window);
}

void TSpotGrid::DrawHeaderCell(QPainter& p, int col, const QRect& r, const TPaintColors& colors) {
    const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    p.fillRect(r, colors.Face);
    // A raised button: light top-left; dark inside black bottom-right.
    p.fillRect(x, y, w - 1, 1, colors.Highlight);
    p.fillRect(x, y, 1, h - 1, colors.Highlight);
    p.fillRect(x + 1, y + h - 2, w - 2, 1, colors.Shadow);
    p.fillRect(x + w - 2, y + 1, 1, h - 2, colors.Shadow);
    p.fillRect(x, y + h - 1, w, 1, colors.Black);
    p.fillRect(x + w - 1, y, 1, h, colors.Black);
    const std::string& text = Grid.Cells(col, 0);
    if (text.empty()) return;
    const TGridFont& font = Fonts.Get(HeaderFontName, HeaderFontPoints, true);
    DrawText(p, Layouts[0][col], text, r, font, colors.Text);
}

void TSpotGrid::DrawDataCell(QPainter& p, int col, int row, const QRect& r,
                             const TPaintColors& colors) {
    const TGridCell& cell = Grid.Cell(col, row);
    const TCellAttributes* look = cell.Attributes ? &*cell.Attributes : nullptr;
    QColor background = colors.Window;
    if (row == Grid.CurrentRow())
        background = colors.Current;
    else if (look)
        background = GridColor(look->BackgroundColor, palette());
    p.fillRect(r, background);
    p.fillRect(r.x(), r.bottom(), r.width(), 1, colors.Line);
    p.fillRect(r.right(), r.y(), 1, r.height(), colors.Line);
    if (cell.Text.empty()) return;

    static const TCellAttributes plain;
    const TCellAttributes& a = look ? *look : plain;
    const TGridFont& font = Fonts.Get(a.FontName, a.FontSize, a.Bold);
    const QColor color = look ? GridColor(look->FontColor, palette()) : colors.Text;
    DrawText(p, Layouts[row][col], cell.Text, r.adjusted(1, 1, -1, -1), font, color);
}

void TSpotGrid::DrawText(QPainter& p, TCellLayout& layout, const std::string& text,
                         const QRect& area, const TGridFont& font, const QColor& color) {
    if (!layout.Valid || layout.Area != area.size()) {
        const bool number = IsNumberText(text, DecimalSeparator(), GroupSeparator());
        LayOutCellText(layout, text, font, area.size(), number);
    }
    if (layout.Lines.isEmpty()) return;
    p.setPen(color);
    if (layout.Clip) {
        p.save();
        p.setClipRect(area, Qt::IntersectClip);
    }
    for (const TLaidLine& line : layout.Lines)
        p.drawGlyphRun(QPointF(area.x() + line.X, area.y() + line.Y), line.Glyphs);
    if (layout.Clip) p.restore();
}

void TSpotGrid::InvalidateLayouts() {
    for (auto& row : Layouts)
        for (TCellLayout& cell : row) cell.Valid = false;
}

}  // namespace skimby
