#include "display/GridFonts.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace skimby {

TGridFont::TGridFont(std::string name, int points, bool bold, const QFont& font)
    : Name(std::move(name)),
      Points(points),
      Bold(bold),
      Font(font),
      Metrics(font),
      Raw(QRawFont::fromFont(font)) {
    for (int c = 0; c < 256; ++c) {
        const QChar ch(c);
        const QList<quint32> glyphs = Raw.glyphIndexesForString(QString(ch));
        Glyph[c] = glyphs.isEmpty() ? 0 : glyphs.first();
        // Whole-pixel advances, as the hinted font lays text out.
        Advance[c] = Metrics.horizontalAdvance(ch);
    }
}

int TGridFont::TextWidth(std::string_view text) const {
    int width = 0;
    for (char c : text) width += Advance[static_cast<unsigned char>(c)];
    return width;
}

QString TGridFonts::FamilyOf(const std::string& name) {
    const QString wanted = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    if (QFontDatabase::hasFamily(wanted)) return wanted;
    // The generic family name resolves to the installed sans-serif face;
    // keeping the resolved name avoids a look-up on every font built.
    static const QString fallback = [] {
        QFont sans(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        sans.setStyleHint(QFont::SansSerif);
        return QFontInfo(sans).family();
    }();
    return fallback;
}

const TGridFont& TGridFonts::Get(const std::string& name, int points, bool bold) {
    for (const TGridFont& f : Fonts)
        if (f.Points == points && f.Bold == bold && f.Name == name) return f;
    // Only a handful exist: the cell font, the header font and the
    // attribute fonts, which copy the cell font unless changed.
    QFont font(FamilyOf(name));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PixelSize(points + ZoomPoints));
    font.setBold(bold);
    return Fonts.emplace_back(name, points, bold, font);
}

void TGridFonts::SetZoom(int points) {
    ZoomPoints = points;
    Fonts.clear();
}

}  // namespace skimby
