// Builds wave file bytes chunk by chunk, right or deliberately wrong.
#pragma once

#include <bit>
#include <cstdint>
#include <initializer_list>
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

// The extensible form of the format chunk: tag 0xFFFE, then the valid bits,
// the speaker mask and the sample kind (1 integer PCM, 3 floating point) as
// a GUID.
inline std::string ExtensibleFmt(const TFormat& f, unsigned kind) {
    const std::string guidTail("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
    return Chunk("fmt ", FmtBody(TFormat(f.Channels, f.Rate, f.Bits, 0xFFFE)) + Le16(22) +
                             Le16(f.Bits) + Le32(0) + Le32(kind) + guidTail);
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

// Samples as the bytes of a file, little-endian.
inline std::string Samples16(std::initializer_list<int> values) {
    std::string d;
    for (int v : values) d += Le16(static_cast<unsigned>(v));
    return d;
}

inline std::string Samples24(std::initializer_list<int> values) {
    std::string d;
    for (int v : values) d += Le32(static_cast<std::uint32_t>(v)).substr(0, 3);
    return d;
}

inline std::string Samples32(std::initializer_list<std::int64_t> values) {
    std::string d;
    for (auto v : values) d += Le32(static_cast<std::uint32_t>(v));
    return d;
}

inline std::string SamplesFloat(std::initializer_list<float> values) {
    std::string d;
    for (float v : values) d += Le32(std::bit_cast<std::uint32_t>(v));
    return d;
}

// `frames` frames of a ramp pattern, so any shift or loss shows.
inline std::string Pattern(const TFormat& f, std::size_t frames) {
    std::string d;
    for (std::size_t i = 0; i < frames * f.Channels * f.Bits / 8; ++i)
        d += static_cast<char>((i * 7 + 3) & 0xFF);
    return d;
}

}  // namespace skimby::testwave
