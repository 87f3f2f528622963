#include "display/CellLayout.h"

#include <QPointF>

namespace skimby {
namespace {

constexpr int TabSize = 8;

QGlyphRun GlyphsOf(std::string_view text, const TGridFont& font) {
    QList<quint32> glyphs(static_cast<qsizetype>(text.size()));
    QList<QPointF> positions(static_cast<qsizetype>(text.size()));
    int x = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        glyphs[qsizetype(i)] = font.Glyph[c];
        positions[qsizetype(i)] = QPointF(x, 0);
        x += font.Advance[c];
    }
    QGlyphRun run;
    run.setRawFont(font.Raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}

// Appends the lines of one paragraph (text without line ends).
void BreakParagraph(std::string_view text, const TGridFont& font, int width, int maxLines,
                    std::vector<std::string>& lines) {
    while (static_cast<int>(lines.size()) < maxLines) {
        if (font.TextWidth(text) <= width) {
            lines.emplace_back(text);
            return;
        }
        // The longest run of whole words that fits; else the first word.
        std::size_t breakAt = std::string_view::npos;
        for (std::size_t space = text.find(' ', 1); space != std::string_view::npos;
             space = text.find(' ', space + 1)) {
            if (font.TextWidth(text.substr(0, space)) > width) {
                if (breakAt == std::string_view::npos) breakAt = space;
                break;
            }
            breakAt = space;
        }
        if (breakAt == std::string_view::npos) {
            lines.emplace_back(text);
            return;
        }
        lines.emplace_back(text.substr(0, breakAt));
        text.remove_prefix(breakAt);
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        if (text.empty()) return;
    }
}

}  // namespace

std::string ExpandTabs(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    int column = 0;
    for (char c : text) {
        if (c == '\t') {
            do {
                out += ' ';
            } while (++column % TabSize != 0);
        } else {
            out += c;
            column = (c == '\n') ? 0 : column + 1;
        }
    }
    return out;
}

std::vector<std::string> BreakIntoLines(std::string_view text, const TGridFont& font, int width,
                                        int maxLines) {
    std::vector<std::string> lines;
    while (static_cast<int>(lines.size()) < maxLines) {
        const std::size_t end = text.find('\n');
        std::string_view paragraph = text.substr(0, end);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        if (paragraph.empty())
            lines.emplace_back();
        else
            BreakParagraph(paragraph, font, width, maxLines, lines);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

void LayOutCellText(TCellLayout& layout, std::string_view text, const TGridFont& font, QSize area,
                    bool rightAligned) {
    layout.Valid = true;
    layout.Area = area;
    layout.Clip = false;
    layout.Lines.clear();
    const int lineHeight = font.Metrics.height();
    const int maxLines = (area.height() - CellTextInset) / std::max(1, lineHeight);
    const int width = area.width() - 2 * CellTextInset;
    if (text.empty() || maxLines <= 0) return;

    auto addLine = [&](std::string_view line, int top) {
        const int w = font.TextWidth(line);
        layout.Clip = layout.Clip || w > width;
        const int x = rightAligned ? area.width() - CellTextInset - w : CellTextInset;
        layout.Lines.push_back({GlyphsOf(line, font), x, top + font.Metrics.ascent()});
    };
    // Most cells hold one short line without tabs or line ends.
    if (text.find_first_of("\t\r\n") == std::string_view::npos && font.TextWidth(text) <= width) {
        addLine(text, CellTextInset);
        return;
    }
    const std::string expanded = ExpandTabs(text);
    int top = CellTextInset;
    for (const std::string& line : BreakIntoLines(expanded, font, width, maxLines)) {
        addLine(line, top);
        top += lineHeight;
    }
}

}  // namespace skimby
