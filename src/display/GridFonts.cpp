#include "display/GridFonts.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace skimby {

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
    QFont font(FamilyOf(name));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PixelSize(points + ZoomPoints));
    font.setBold(bold);
    // Only a handful exist: the cell font, the header font and the
    // attribute fonts, which copy the cell font unless changed.
    Fonts.push_back(TGridFont{name, points, bold, font, QFontMetrics(font)});
    return Fonts.back();
}

void TGridFonts::SetZoom(int points) {
    ZoomPoints = points;
    Fonts.clear();
}

}  // namespace skimby
