#include "platform/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numbers>

namespace skimby {

std::chrono::microseconds TWaveSound::Duration() const {
    return std::chrono::microseconds(
        static_cast<std::int64_t>(FrameCount() * 1000000ull / SamplesPerSec));
}

namespace {

std::uint32_t Le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

std::uint16_t Le16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      static_cast<std::uint8_t>(b[at + 1]) << 8);
}

// Reads the 16 bytes every PCM format chunk starts with into the sound;
// false when the format is not one that plays.
bool ReadFormat(std::string_view fmt, TWaveSound& sound) {
    constexpr std::uint16_t PcmFormatTag = 1;
    if (fmt.size() < 16 || Le16(fmt, 0) != PcmFormatTag) return false;
    sound.Channels = Le16(fmt, 2);
    sound.SamplesPerSec = Le32(fmt, 4);
    const unsigned blockAlign = Le16(fmt, 12);
    sound.BitsPerSample = Le16(fmt, 14);
    return (sound.Channels == 1 || sound.Channels == 2) &&
           (sound.BitsPerSample == 8 || sound.BitsPerSample == 16) && sound.SamplesPerSec >= 8000 &&
           sound.SamplesPerSec <= 48000 && blockAlign == sound.FrameBytes();
}

}  // namespace

std::optional<TWaveSound> ParseWave(std::string_view bytes) {
    constexpr std::size_t HeaderBytes = 12, ChunkHeaderBytes = 8;
    if (bytes.size() < HeaderBytes || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return std::nullopt;
    // The RIFF size is not trusted: writers that stream often leave it wrong.
    // The chunks are walked to the end of the bytes instead.
    TWaveSound sound;
    bool haveFormat = false;
    std::optional<std::string_view> data;
    std::size_t at = HeaderBytes;
    while (bytes.size() - at >= ChunkHeaderBytes) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t size = Le32(bytes, at + 4);
        at += ChunkHeaderBytes;
        const std::size_t left = bytes.size() - at;
        if (id == "data" && !data) {
            data = bytes.substr(at, size < left ? size : left);  // a cut chunk plays what is there
        } else if (id == "fmt " && !haveFormat) {
            if (size > left || !ReadFormat(bytes.substr(at, size), sound)) return std::nullopt;
            haveFormat = true;
        }
        if (size >= left) break;
        at += size + (size & 1);  // chunks are padded to an even length
        if (at > bytes.size()) break;
    }
    if (!haveFormat || !data) return std::nullopt;
    sound.Data.assign(data->substr(0, data->size() - data->size() % sound.FrameBytes()));
    return sound;
}

std::optional<TWaveSound> LoadWaveFile(const char* path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), std::fclose);
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < MaxWaveFileBytes) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) return std::nullopt;
    if (bytes.size() > MaxWaveFileBytes) bytes.resize(MaxWaveFileBytes);
    return ParseWave(bytes);
}

TWaveSound DefaultAlertSound() {
    // 150 ms of 880 Hz with 5 ms ramps at both ends, so it starts and stops
    // without a click.
    TWaveSound sound;
    const std::size_t frames = sound.SamplesPerSec * 150 / 1000;
    const double ramp = sound.SamplesPerSec * 0.005;
    sound.Data.reserve(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, i / ramp, (frames - 1 - i) / ramp});
        const double v =
            0.4 * edge * std::sin(2 * std::numbers::pi * 880.0 * i / sound.SamplesPerSec);
        const auto sample = static_cast<std::int16_t>(std::lround(v * 32767));
        const auto u = static_cast<std::uint16_t>(sample);
        sound.Data += static_cast<char>(u & 0xFF);
        sound.Data += static_cast<char>(u >> 8);
    }
    return sound;
}

}  // namespace skimby
