// Builds wave file bytes chunk by chunk, right or deliberately wrong.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace skimby::testwave {

inline std::string Le16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

inline std::string Le32(std::uint32_t v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// A chunk with its even-length padding; `declared` overrides the size field.
inline std::string Chunk(const std::string& id, const std::string& body,
                         std::optional<std::uint32_t> declared = {}) {
    std::string c =
        id + Le32(declared ? *declared : static_cast<std::uint32_t>(body.size())) + body;
    if (body.size() % 2) c += '\0';
    return c;
}

struct TFormat {
    TFormat(unsigned channels, unsigned rate, unsigned bits, unsigned tag = 1,
            unsigned blockAlign = 0)
        : Channels(channels), Rate(rate), Bits(bits), Tag(tag), BlockAlign(blockAlign) {}
    unsigned Channels, Rate, Bits, Tag;
    unsigned BlockAlign;  // 0: channels * bits / 8
};

inline std::string FmtBody(const TFormat& f) {
    const unsigned align = f.BlockAlign ? f.BlockAlign : f.Channels * f.Bits / 8;
    return Le16(f.Tag) + Le16(f.Channels) + Le32(f.Rate) + Le32(f.Rate * align) + Le16(align) +
           Le16(f.Bits);
}

inline std::string Fmt(const TFormat& f) {
    return Chunk("fmt ", FmtBody(f));
}

inline std::string Riff(const std::string& chunks) {
    return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

inline std::string Wave(const TFormat& f, const std::string& data) {
    return Riff(Fmt(f) + Chunk("data", data));
}

// `frames` frames of a ramp pattern, so any shift or loss shows.
inline std::string Pattern(const TFormat& f, std::size_t frames) {
    std::string d;
    for (std::size_t i = 0; i < frames * f.Channels * f.Bits / 8; ++i)
        d += static_cast<char>((i * 7 + 3) & 0xFF);
    return d;
}

}  // namespace skimby::testwave
