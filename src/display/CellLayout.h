// A cell text laid out for drawing: broken into lines at spaces within the
// text area's width, tabs expanded, only the lines that fit entirely in the
// area's height kept, each as a run of glyphs so repainting is cheap.
#pragma once

#include <QGlyphRun>
#include <QSize>
#include <QVarLengthArray>
#include <string>
#include <string_view>
#include <vector>

#include "display/GridFonts.h"

namespace skimby {

// Text starts this far inside the text area's left and top edges;
// right-aligned text ends this far inside its right edge.
constexpr int CellTextInset = 2;

struct TLaidLine {
    QGlyphRun Glyphs;
    int X = 0;  // start of the baseline, from the text area's left edge
    int Y = 0;  // baseline, from the text area's top edge
};

struct TCellLayout {
    bool Valid = false;
    QSize Area;         // the text area the lines were laid out for
    bool Clip = false;  // a word wider than the area must be clipped
    QVarLengthArray<TLaidLine, 1> Lines;
};

// Replaces each tab by spaces up to the next multiple of 8 characters.
std::string ExpandTabs(std::string_view text);

// The lines of text that fit within width: breaks at line ends and at
// spaces, never inside a word (a word wider than width gets a line of its
// own), and stops after maxLines lines.
std::vector<std::string> BreakIntoLines(std::string_view text, const TGridFont& font, int width,
                                        int maxLines);

void LayOutCellText(TCellLayout& layout, std::string_view text, const TGridFont& font, QSize area,
                    bool rightAligned);

}  // namespace skimby
