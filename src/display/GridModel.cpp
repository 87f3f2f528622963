#include "display/GridModel.h"

#include <algorithm>

namespace skimby {

TGridModel::TGridModel() : Rows(2) {
    for (int c = 0; c < ColCount; ++c) Rows[0][c].Text = HeaderTexts[c];
}

void TGridModel::AddObserver(TGridObserver* observer) {
    if (std::find(Observers.begin(), Observers.end(), observer) == Observers.end())
        Observers.push_back(observer);
}

void TGridModel::RemoveObserver(TGridObserver* observer) {
    std::erase(Observers, observer);
}

// By index, so an observer that removes itself while told does not upset
// the loop (at worst the next one misses this change).
template <typename TCall>
void TGridModel::Notify(TCall call) {
    for (std::size_t i = 0; i < Observers.size(); ++i) call(*Observers[i]);
}

void TGridModel::SetRowCount(int n) {
    n = std::max(n, 1);
    const int old = RowCount();
    if (n == old) return;
    if (n > old) {
        Rows.resize(n);
        Notify([&](TGridObserver& o) { o.RowsAppended(old, n - old); });
        return;
    }
    const int previousCurrent = CurrentRowIndex;
    Rows.resize(n);
    if (CurrentRowIndex >= n) CurrentRowIndex = std::max(1, n - 1);
    Notify([&](TGridObserver& o) { o.RowsRemoved(n, old - n, previousCurrent); });
}

const std::string& TGridModel::Cells(int col, int row) const {
    return Rows.at(row).at(col).Text;
}

void TGridModel::SetCells(int col, int row, const std::string& text) {
    Rows.at(row).at(col).Text = text;
    NotifyCell(col, row);
}

TCellAttributes& TGridModel::AttributesOf(int col, int row) {
    auto& attributes = Rows.at(row).at(col).Attributes;
    if (!attributes) attributes.emplace();
    return *attributes;
}

void TGridModel::SetCellFontColor(int col, int row, TColor color) {
    AttributesOf(col, row).FontColor = color;
    NotifyCell(col, row);
}

void TGridModel::SetCellFontStyleBold(int col, int row, bool bold) {
    AttributesOf(col, row).Bold = bold;
    NotifyCell(col, row);
}

void TGridModel::AddCellBalloon(int col, int row, const std::string& title, const std::string& text,
                                int icon) {
    TGridCell& cell = Rows.at(row).at(col);
    if (cell.Balloon) return;
    AttributesOf(col, row);
    cell.Balloon = TCellBalloon{title, text, icon};
}

void TGridModel::SetCurrentRow(int row) {
    row = std::clamp(row, 1, std::max(1, RowCount() - 1));
    if (row == CurrentRowIndex) return;
    CurrentRowIndex = row;
    Notify([&](TGridObserver& o) { o.CurrentRowChanged(row); });
}

void TGridModel::DeleteRows(int first, int count) {
    if (first > RowCount() || count <= 0 || first < 1) return;
    count = std::min(count, RowCount() - first);
    if (count <= 0) return;
    // Erasing moves every later row up with its text, attributes and
    // balloon; the freed rows at the bottom simply cease to exist.
    Rows.erase(Rows.begin() + first, Rows.begin() + first + count);
    const int previousCurrent = CurrentRowIndex;
    if (CurrentRowIndex >= RowCount()) CurrentRowIndex = std::max(1, RowCount() - 1);
    Notify([&](TGridObserver& o) { o.RowsRemoved(first, count, previousCurrent); });
}

void TGridModel::SetColWidth(int col, int width) {
    ColWidths.at(col) = width;
    Notify([&](TGridObserver& o) { o.ColWidthChanged(col); });
}

void TGridModel::NotifyCell(int col, int row) {
    Notify([&](TGridObserver& o) { o.CellChanged(col, row); });
}

}  // namespace skimby
