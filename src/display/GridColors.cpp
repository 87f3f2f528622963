#include "display/GridColors.h"

namespace skimby {
namespace {

QPalette::ColorRole RoleOf(TColor systemColor) {
    switch (systemColor) {
        case clWindowText:
            return QPalette::Text;
        case clBtnFace:
            return QPalette::Button;
        case clBtnShadow:
            return QPalette::Dark;
        case clBtnHighlight:
            return QPalette::Light;
        case clInfoText:
            return QPalette::ToolTipText;
        case clInfoBk:
            return QPalette::ToolTipBase;
        case clWindow:
        default:
            return QPalette::Base;
    }
}

}  // namespace

QColor GridColor(TColor color, const QPalette& palette) {
    if (IsSystemColor(color)) return palette.color(RoleOf(color));
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

}  // namespace skimby
