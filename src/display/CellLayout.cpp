#include "display/CellLayout.h"

#include <QTransform>

namespace skimby {
namespace {

constexpr int TabSize = 8;

QStaticText Prepared(const QString& text, const QFont& font) {
    QStaticText s(text);
    s.setTextFormat(Qt::PlainText);
    s.prepare(QTransform(), font);
    return s;
}

// Appends the lines of one paragraph (text without line ends).
void BreakParagraph(QStringView text, const QFontMetrics& metrics, int width, int maxLines,
                    std::vector<QString>& lines) {
    qsizetype pos = 0;
    while (static_cast<int>(lines.size()) < maxLines) {
        const QStringView rest = text.mid(pos);
        if (metrics.horizontalAdvance(rest.toString()) <= width) {
            lines.push_back(rest.toString());
            return;
        }
        // The longest run of whole words that fits; else the first word.
        qsizetype breakAt = -1;
        for (qsizetype space = rest.indexOf(u' ', 1); space > 0;
             space = rest.indexOf(u' ', space + 1)) {
            if (metrics.horizontalAdvance(rest.first(space).toString()) > width) {
                if (breakAt < 0) breakAt = space;
                break;
            }
            breakAt = space;
        }
        if (breakAt < 0) {
            lines.push_back(rest.toString());
            return;
        }
        lines.push_back(rest.first(breakAt).toString());
        pos += breakAt;
        while (pos < text.size() && text[pos] == u' ') ++pos;
        if (pos >= text.size()) return;
    }
}

}  // namespace

QString ExpandTabs(const QString& text) {
    if (!text.contains(u'\t')) return text;
    QString out;
    int column = 0;
    for (QChar c : text) {
        if (c == u'\t') {
            do {
                out += u' ';
            } while (++column % TabSize != 0);
        } else {
            out += c;
            column = (c == u'\n') ? 0 : column + 1;
        }
    }
    return out;
}

std::vector<QString> BreakIntoLines(const QString& text, const QFontMetrics& metrics, int width,
                                    int maxLines) {
    std::vector<QString> lines;
    QString plain = text;
    plain.remove(u'\r');
    for (QStringView paragraph : QStringView(plain).split(u'\n')) {
        if (static_cast<int>(lines.size()) >= maxLines) break;
        if (paragraph.isEmpty()) {
            lines.emplace_back();
            continue;
        }
        BreakParagraph(paragraph, metrics, width, maxLines, lines);
    }
    return lines;
}

void LayOutCellText(TCellLayout& layout, const QString& text, const TGridFont& font, QSize area,
                    bool rightAligned) {
    layout.Valid = true;
    layout.Area = area;
    layout.Clip = false;
    layout.Lines.clear();
    const int lineHeight = font.Metrics.height();
    const int maxLines = (area.height() - CellTextInset) / std::max(1, lineHeight);
    const int width = area.width() - 2 * CellTextInset;
    if (text.isEmpty() || maxLines <= 0) return;

    const QString expanded = ExpandTabs(text);
    // Most cells hold one short line: measure it once, by preparing it.
    if (!expanded.contains(u'\n') && !expanded.contains(u'\r')) {
        QStaticText whole = Prepared(expanded, font.Font);
        if (whole.size().width() <= width) {
            const int w = qCeil(whole.size().width());
            const int x = rightAligned ? area.width() - CellTextInset - w : CellTextInset;
            layout.Lines.push_back({std::move(whole), x, CellTextInset});
            return;
        }
    }
    int y = CellTextInset;
    for (const QString& line : BreakIntoLines(expanded, font.Metrics, width, maxLines)) {
        QStaticText s = Prepared(line, font.Font);
        const int w = qCeil(s.size().width());
        layout.Clip = layout.Clip || w > width;
        const int x = rightAligned ? area.width() - CellTextInset - w : CellTextInset;
        layout.Lines.push_back({std::move(s), x, y});
        y += lineHeight;
    }
}

}  // namespace skimby
