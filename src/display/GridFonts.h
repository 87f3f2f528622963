// The grid's fonts: the named fonts where installed, otherwise the
// system's sans-serif, at a character height given in points at 96 dots
// per inch plus the grid's zoom. Each font carries the glyph and the
// whole-pixel advance of every 8-bit character, so cell texts, which are
// 8-bit, are measured and drawn without shaping them again and again.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <deque>
#include <string>
#include <string_view>

namespace skimby {

struct TGridFont {
    TGridFont(std::string name, int points, bool bold, const QFont& font);

    int TextWidth(std::string_view text) const;

    std::string Name;
    int Points = 0;
    bool Bold = false;
    QFont Font;
    QFontMetrics Metrics;
    QRawFont Raw;
    std::array<quint32, 256> Glyph{};
    std::array<int, 256> Advance{};
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
