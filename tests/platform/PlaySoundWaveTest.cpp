#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "PlaySoundTestWave.h"
#include "platform/WaveFile.h"

namespace skimby {
namespace {

using namespace testwave;

TEST(WaveFile, ReadsPcmWhateverTheChunksAroundIt) {
    const TFormat mono8{1, 8000, 8};
    const TFormat stereo16{2, 48000, 16};
    const std::string list = Chunk("LIST", "odd");  // odd size, padded
    struct Case {
        const char* what;
        std::string bytes;
        TFormat format;
        std::string data;
    } cases[] = {
        {"8-bit mono, odd data length padded, chunk after data",
         Riff(Fmt(mono8) + Chunk("data", "\x80\x90\xA0") + list), mono8, "\x80\x90\xA0"},
        {"16-bit stereo after unknown chunks",
         Riff(list + Fmt(stereo16) + Chunk("fact", Le32(2)) + Chunk("data", "abcdefgh")), stereo16,
         "abcdefgh"},
        {"data before the format", Riff(Chunk("data", "abcd") + Fmt(stereo16)), stereo16, "abcd"},
        {"format chunk with its extension size",
         Riff(Chunk("fmt ", FmtBody(mono8) + Le16(0)) + Chunk("data", "xy")), mono8, "xy"},
        {"wrong RIFF size", "RIFF" + Le32(0) + "WAVE" + Fmt(mono8) + Chunk("data", "xy"), mono8,
         "xy"},
        {"data cut short: whole frames that are there",
         Riff(Fmt(stereo16) + "data" + Le32(100) + "abcdef"), stereo16, "abcd"},
        {"streaming writer's unknown data size",
         Riff(Fmt(stereo16) + "data" + Le32(0xFFFFFFFF) + "abcdefgh"), stereo16, "abcdefgh"},
        {"empty data", Wave(mono8, ""), mono8, ""},
        {"first data chunk wins", Riff(Fmt(mono8) + Chunk("data", "ab") + Chunk("data", "cd")),
         mono8, "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto sound = ParseWave(c.bytes);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->Channels, c.format.Channels);
        EXPECT_EQ(sound->SamplesPerSec, c.format.Rate);
        EXPECT_EQ(sound->BitsPerSample, c.format.Bits);
        EXPECT_EQ(sound->Data, c.data);
    }
}

TEST(WaveFile, RejectsWhatIsNotPlainPcm) {
    const TFormat ok{1, 22050, 16};
    const std::string data = Chunk("data", "abcd");
    auto with = [&](TFormat f) { return Wave(f, "abcd"); };
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"cut in the header", "RIFF" + Le32(4)},
        {"not RIFF", "RIFX" + Le32(4) + "WAVE" + Fmt(ok) + data},
        {"not WAVE", "RIFF" + Le32(4) + "AVI " + Fmt(ok) + data},
        {"header only", Riff("")},
        {"no data", Riff(Fmt(ok))},
        {"no format", Riff(data)},
        {"format too short", Riff(Chunk("fmt ", FmtBody(ok).substr(0, 14)) + data)},
        {"format cut by the end", Riff(data + Fmt(ok).substr(0, 18))},
        {"chunk header cut by the end", Riff(data + "fmt " + Le16(16))},
        {"huge unknown chunk before the format",
         Riff(Chunk("junk", "ab", 0xFFFFFFF0u) + Fmt(ok) + data)},
        {"float samples", with({1, 22050, 32, 3})},
        {"extensible format", with({1, 22050, 16, 0xFFFE})},
        {"24-bit", with({1, 22050, 24})},
        {"no channels", with({0, 22050, 16})},
        {"three channels", with({3, 22050, 16})},
        {"rate 0", with({1, 0, 16})},
        {"rate below 8000", with({1, 7999, 16})},
        {"rate above 48000", with({1, 96000, 16})},
        {"block size not one frame", with({2, 22050, 16, 1, 2})},
    };
    for (const auto& c : cases) EXPECT_FALSE(ParseWave(c.bytes)) << c.what;
}

// Every prefix of a file is a file cut short: it is either rejected or
// gives a prefix of the whole file's frames, never bytes from past the end.
TEST(WaveFile, EveryTruncationIsSafe) {
    const TFormat f{2, 11025, 16};
    const std::string data = Pattern(f, 9);
    const std::string bytes = Riff(Chunk("LIST", "abc") + Fmt(f) + Chunk("data", data));
    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        const std::string cut = bytes.substr(0, n);  // a copy of its own, for sanitizers
        const auto sound = ParseWave(cut);
        if (!sound) continue;
        EXPECT_EQ(sound->Data, data.substr(0, sound->Data.size())) << n;
        EXPECT_EQ(sound->Data.size() % 4, 0u) << n;
    }
    EXPECT_EQ(ParseWave(bytes)->Data, data);
}

TEST(WaveFile, FilesThatCannotBeReadGiveNoSound) {
    const auto dir = std::filesystem::temp_directory_path();
    EXPECT_FALSE(LoadWaveFile((dir / "skimby-no-such-sound.wav").c_str()));
    EXPECT_FALSE(LoadWaveFile(dir.c_str()));
}

TEST(WaveFile, ShippedAlertIsAShortSixteenBitMonoSound) {
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "x.wav";
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_LT(std::filesystem::file_size(path), 50u * 1024);
    const auto sound = LoadWaveFile(path.c_str());
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->Channels, 1u);
    EXPECT_EQ(sound->BitsPerSample, 16u);
    EXPECT_GT(sound->Duration(), std::chrono::milliseconds(100));
    EXPECT_LT(sound->Duration(), std::chrono::seconds(1));
}

TEST(WaveFile, DefaultAlertIsAnAudibleShortTone) {
    const TWaveSound tone = DefaultAlertSound();
    EXPECT_GE(tone.Duration(), std::chrono::milliseconds(100));
    EXPECT_LE(tone.Duration(), std::chrono::milliseconds(300));
    int peak = 0;
    for (std::size_t i = 0; i + 1 < tone.Data.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(tone.Data[i]);
        const auto hi = static_cast<unsigned char>(tone.Data[i + 1]);
        peak = std::max(peak, std::abs(static_cast<std::int16_t>(lo | hi << 8)));
    }
    EXPECT_GT(peak, 3000);
}

}  // namespace
}  // namespace skimby
