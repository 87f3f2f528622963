// What the balloon tip over a grid cell says, worked out from the model
// alone so the rules can be tested without a window.
#pragma once

#include <optional>
#include <string>

#include "display/GridModel.h"

namespace skimby {

struct TTipContent {
    std::string Title;
    std::string Text;
    int Icon = biInfo;
};

// The longest tip text shown; a longer balloon text is cut to this length,
// ending in "...", so a runaway text cannot fill the screen.
constexpr std::size_t MaxTipTextLength = 4102;

// The tip for cell (col, row), or nothing when balloons are off, the cell
// does not exist or the tip would have no text. A cell's balloon wins over
// its own text, which is shown under a blank title.
std::optional<TTipContent> CellTipContent(const TGridModel& grid, int col, int row);

}  // namespace skimby
