#include "platform/WaveSound.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <numbers>

#include "platform/FileText.h"

namespace skimby {

std::chrono::microseconds TWaveSound::Duration() const {
    return std::chrono::microseconds(
        static_cast<std::int64_t>(FrameCount() * 1000000ull / SamplesPerSec));
}

namespace {

// libsndfile gives samples of every format as floating point scaled to
// -1..1; 16-bit samples come back exactly, 8-bit ones shifted up, wider ones
// rounded to 16 bits. Floating-point files may go beyond -1..1: clipped.
std::int16_t ToSample(float value) {
    if (!std::isfinite(value)) return 0;
    const long scaled = std::lround(static_cast<double>(value) * 32768.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768L, 32767L));
}

std::optional<TWaveSound> Decode(SNDFILE* file, const SF_INFO& info) {
    if (info.channels < 1 || info.samplerate < 1) return std::nullopt;
    TWaveSound sound;
    sound.Channels = static_cast<unsigned>(info.channels);
    sound.SamplesPerSec = static_cast<unsigned>(info.samplerate);
    // The frame count in the header is not trusted: the samples are read
    // until the file ends, and the buffer grows with what arrives.
    constexpr sf_count_t ChunkFrames = 4096;
    std::vector<float> chunk(static_cast<std::size_t>(ChunkFrames) * sound.Channels);
    const std::size_t maxFrames = MaxWaveSamples / sound.Channels;
    while (sound.FrameCount() < maxFrames) {
        const sf_count_t want = std::min<sf_count_t>(
            ChunkFrames, static_cast<sf_count_t>(maxFrames - sound.FrameCount()));
        const sf_count_t got = sf_readf_float(file, chunk.data(), want);
        if (got <= 0) break;
        const auto samples = static_cast<std::size_t>(got) * sound.Channels;
        std::transform(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(samples),
                       std::back_inserter(sound.Samples), ToSample);
    }
    if (sf_error(file) != SF_ERR_NO_ERROR && sound.Samples.empty()) return std::nullopt;
    return sound;
}

}  // namespace

std::optional<TWaveSound> LoadWaveFile(const char* path) {
    const int fd = OpenRegularFile(path);  // never a named pipe or a device
    if (fd < 0) return std::nullopt;
    SF_INFO info{};
    // The descriptor stays this function's to close, whatever libsndfile does.
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open_fd(fd, SFM_READ, &info, SF_FALSE),
                                                     sf_close);
    std::optional<TWaveSound> sound;
    if (file) sound = Decode(file.get(), info);
    file.reset();
    close(fd);
    return sound;
}

TWaveSound DefaultAlertSound() {
    // 150 ms of 880 Hz with 5 ms ramps at both ends, so it starts and stops
    // without a click.
    TWaveSound sound;
    const std::size_t frames = sound.SamplesPerSec * 150 / 1000;
    const double ramp = sound.SamplesPerSec * 0.005;
    sound.Samples.reserve(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, i / ramp, (frames - 1 - i) / ramp});
        const double v =
            0.4 * edge * std::sin(2 * std::numbers::pi * 880.0 * i / sound.SamplesPerSec);
        sound.Samples.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
    }
    return sound;
}

}  // namespace skimby
