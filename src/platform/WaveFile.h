// Reading PCM wave files for the sound service, and the built-in alert that
// stands in for a file that cannot be played.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace skimby {

// Uncompressed sound: interleaved frames of 8-bit unsigned or 16-bit signed
// little-endian samples, one or two channels.
struct TWaveSound {
    unsigned Channels = 1;
    unsigned SamplesPerSec = 22050;
    unsigned BitsPerSample = 16;
    std::string Data;  // whole frames only

    std::size_t FrameBytes() const { return Channels * BitsPerSample / 8; }
    std::size_t FrameCount() const { return Data.size() / FrameBytes(); }
    std::chrono::microseconds Duration() const;
};

// Reads the bytes of a RIFF/WAVE file. Unknown chunks are skipped; a data
// chunk cut short by the end of the file gives the whole frames that are
// there. No value for anything else that is not plain PCM of the kinds above
// at 8000 to 48000 frames a second.
std::optional<TWaveSound> ParseWave(std::string_view bytes);

// Reads and parses a file; no value when it cannot be read or parsed. Reads
// at most MaxWaveFileBytes, so a huge file plays only its beginning.
constexpr std::size_t MaxWaveFileBytes = 256u << 20;
std::optional<TWaveSound> LoadWaveFile(const char* path);

// A short tone generated in code: the default alert.
TWaveSound DefaultAlertSound();

}  // namespace skimby
