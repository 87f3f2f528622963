#include "spots/AlertPlayer.h"

namespace skimby {

void TAlertPlayer::SetAsync(bool on) {
    AsyncOn = on;
    if (!on) LoopOn = false;
}

void TAlertPlayer::SetLoop(bool on) {
    if (AsyncOn) LoopOn = on;
}

bool TAlertPlayer::Play() {
    if (BeforePlay) BeforePlay();
    // wlFile is the only location, so the name is always a file path. No
    // SND_NODEFAULT: a missing file gives the default alert instead.
    unsigned flags = SND_FILENAME;
    if (LoopOn) flags |= SND_LOOP;
    if (AsyncOn) flags |= SND_ASYNC;
    // The module handle only matters for sounds stored as resources.
    const bool played = Sound && Sound(Name.c_str(), nullptr, flags);
    if (AfterPlay) AfterPlay();
    return played;
}

}  // namespace skimby
