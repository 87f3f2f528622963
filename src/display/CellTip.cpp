#include "display/CellTip.h"

#include <algorithm>

namespace skimby {
namespace {

constexpr std::size_t MaxCellTextLength = 1024;
constexpr std::size_t MaxTitleLength = 100;

// Keeps the first max-3 characters and marks the cut with "...".
std::string Shortened(std::string text, std::size_t max) {
    if (text.size() > max) text = text.substr(0, max - 3) + "...";
    return text;
}

// The cell's text as the tip shows it: no leading line breaks or tabs,
// the other tabs as spaces (a tab at the very end stays), and not longer
// than a tip can sensibly show.
std::string TipTextOfCell(const std::string& cellText) {
    std::string text =
        cellText.substr(std::min(cellText.find_first_not_of("\r\n\t"), cellText.size()));
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\t') text[i] = ' ';
    return Shortened(std::move(text), MaxCellTextLength);
}

}  // namespace

std::optional<TTipContent> CellTipContent(const TGridModel& grid, int col, int row) {
    if (!grid.BalloonEnabled()) return std::nullopt;
    if (col < 0 || col >= TGridModel::ColCount || row < 0 || row >= grid.RowCount())
        return std::nullopt;
    const TGridCell& cell = grid.Cell(col, row);
    TTipContent tip;
    if (cell.Balloon) {
        tip = {cell.Balloon->Title, Shortened(cell.Balloon->Text, MaxTipTextLength),
               cell.Balloon->Icon};
    } else {
        tip = {" ", TipTextOfCell(cell.Text), biInfo};
    }
    if (tip.Text.empty()) return std::nullopt;
    tip.Title = Shortened(std::move(tip.Title), MaxTitleLength);
    return tip;
}

}  // namespace skimby
