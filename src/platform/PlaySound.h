// Playing a sound file by name. The flags say how: wait for the end or play
// in the background, once or over and over, and whether a file that cannot
// be played gives the default alert. Files are decoded with libsndfile
// (WaveSound.h) and played through ALSA (AlsaOutput.h).
#pragma once

namespace skimby {

constexpr unsigned SND_SYNC = 0x0000;          // return when the sound has ended
constexpr unsigned SND_ASYNC = 0x0001;         // return at once
constexpr unsigned SND_NODEFAULT = 0x0002;     // no default alert for a missing file
constexpr unsigned SND_LOOP = 0x0008;          // repeat until stopped
constexpr unsigned SND_FILENAME = 0x00020000;  // the name is a file path

// Plays the sound; true when it was played. Never throws. A null or empty
// name stops a sound playing in the background. `module` is not used: every
// name is a file path.
bool PlaySoundA(const char* name, void* module, unsigned flags);

}  // namespace skimby
