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

// A tip window holds at most this many characters of text.
constexpr std::size_t MaxTipTextLength = 4102;

// The tip for cell (col, row), or nothing when balloons are off, the cell
// does not exist or the tip would have no text. A cell's balloon wins over
// its own text, which is shown under a blank title.
std::optional<TTipContent> CellTipContent(const TGridModel& grid, int col, int row);

}  // namespace skimby
