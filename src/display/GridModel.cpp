#include "display/GridModel.h"

#include <algorithm>

namespace skimby {

TGridModel::TGridModel() : Rows(2) {
    for (int c = 0; c < ColCount; ++c) Rows[0][c].Text = HeaderTexts[c];
}

void TGridModel::SetRowCount(int n) {
    n = std::max(n, 1);
    const int old = RowCount();
    if (n == old) return;
    if (n > old) {
        Rows.resize(n);
        if (Observer) Observer->RowsAppended(old, n - old);
        return;
    }
    const int previousCurrent = CurrentRowIndex;
    Rows.resize(n);
    if (CurrentRowIndex >= n) CurrentRowIndex = std::max(1, n - 1);
    if (Observer) Observer->RowsRemoved(n, old - n, previousCurrent);
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
    if (Observer) Observer->CurrentRowChanged(row);
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
    if (Observer) Observer->RowsRemoved(first, count, previousCurrent);
}

void TGridModel::SetColWidth(int col, int width) {
    ColWidths.at(col) = width;
    if (Observer) Observer->ColWidthChanged(col);
}

void TGridModel::NotifyCell(int col, int row) {
    if (Observer) Observer->CellChanged(col, row);
}

}  // namespace skimby
