// The grid's fonts: the named fonts where installed, otherwise the
// system's sans-serif, at a character height given in points at 96 dots
// per inch plus the grid's zoom. Built fonts are kept, so drawing a cell
// never builds a font or its metrics.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <algorithm>
#include <deque>
#include <string>

namespace skimby {

struct TGridFont {
    std::string Name;
    int Points = 0;
    bool Bold = false;
    QFont Font;
    QFontMetrics Metrics;
};

class TGridFonts {
  public:
    // Character height (em size, without the line's leading) in pixels.
    static int PixelSize(int points) { return std::max(1, (points * 96 + 36) / 72); }

    // The font for name, size and style at the current zoom; the reference
    // stays valid until the zoom changes.
    const TGridFont& Get(const std::string& name, int points, bool bold);

    int Zoom() const { return ZoomPoints; }
    void SetZoom(int points);

  private:
    static QString FamilyOf(const std::string& name);

    std::deque<TGridFont> Fonts;  // a deque keeps handed-out references valid
    int ZoomPoints = 0;
};

}  // namespace skimby
