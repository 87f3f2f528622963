// The one place where the grid's colours become Qt colours.
#pragma once

#include <QColor>
#include <QPalette>

#include "display/GridModel.h"

namespace skimby {

// System colours come from the palette (window -> Base, window text -> Text,
// button face -> Button, 3-D highlight/shadow -> Light/Dark, tool-tip
// background/text -> ToolTipBase/ToolTipText); fixed colours are read in
// blue-green-red order.
QColor GridColor(TColor color, const QPalette& palette);

}  // namespace skimby
