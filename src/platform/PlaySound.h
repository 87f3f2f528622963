// Wave playback in the manner of the Windows sound service: play a sound by
// name with a set of flags. Here it plays PCM WAV files through ALSA.
#pragma once

namespace skimby {

constexpr unsigned SND_SYNC = 0x0000;          // return when the sound has ended
constexpr unsigned SND_ASYNC = 0x0001;         // return at once
constexpr unsigned SND_NODEFAULT = 0x0002;     // no default alert for a missing file
constexpr unsigned SND_LOOP = 0x0008;          // repeat until stopped
constexpr unsigned SND_FILENAME = 0x00020000;  // the name is a file path

// Plays the sound; true when it was played. Never throws. The module handle
// is accepted for the same shape as the original service and ignored.
bool PlaySoundA(const char* name, void* module, unsigned flags);

}  // namespace skimby
