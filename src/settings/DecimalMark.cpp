#include "settings/DecimalMark.h"

#include "platform/NumberText.h"

namespace skimby {

void TDecimalMark::Set() {
    if (!FSet) FSaved = DecimalSeparator();
    FSet = true;
    SetDecimalSeparator(',');
}

void TDecimalMark::Restore() {
    if (!FSet) return;
    SetDecimalSeparator(FSaved);
    FSet = false;
}

}  // namespace skimby
