// Reading sound files for the sound service, and the built-in alert that
// stands in for a file that cannot be played.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace skimby {

// A sound as the device gets it: interleaved frames of 16-bit signed samples
// in the machine's byte order. Every file is decoded to this form: every
// sound device takes it, and it is more than an alert needs.
struct TWaveSound {
    unsigned Channels = 1;
    unsigned SamplesPerSec = 22050;
    std::vector<std::int16_t> Samples;  // whole frames only

    std::size_t FrameCount() const { return Samples.size() / Channels; }
    std::chrono::microseconds Duration() const;
};

// The most samples a file is decoded to (256 MiB, over twenty minutes of
// stereo sound at 48000 Hz): a longer file plays its beginning.
constexpr std::size_t MaxWaveSamples = std::size_t{128} << 20;

// Decodes a sound file with libsndfile: every wave file it reads (plain and
// extensible format, 8- to 32-bit integer or floating-point samples, any
// rate and number of channels) and the other formats it knows. No value for
// a file that is missing, unreadable, not a regular file (a named pipe is
// never waited for) or not a sound libsndfile can read.
std::optional<TWaveSound> LoadWaveFile(const char* path);

// A short tone generated in code: the default alert.
TWaveSound DefaultAlertSound();

}  // namespace skimby
