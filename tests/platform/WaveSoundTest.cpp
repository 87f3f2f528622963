#include "platform/WaveSound.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "PlaySoundTestWave.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace skimby {
namespace {

using namespace testwave;
using TSamples = std::vector<std::int16_t>;

class WaveSound : public ::testing::Test {
  protected:
    std::optional<TWaveSound> Load(const std::string& bytes) {
        WriteBytes(Dir.File("sound.wav"), bytes);
        return LoadWaveFile(Dir.File("sound.wav").c_str());
    }

    TTempFolder Dir;
};

// Files as writers really leave them: chunks the reader does not know,
// sizes that are wrong or unknown, data cut short.
TEST_F(WaveSound, ReadsWaveFilesWhateverTheChunksAroundTheData) {
    const TFormat mono16{1, 22050, 16};
    const TFormat stereo16{2, 48000, 16};
    const std::string list = Chunk("LIST", "odd");  // odd size, padded
    const std::string abcd = Samples16({1, -2, 3, -4});
    struct Case {
        const char* what;
        std::string bytes;
        unsigned channels, rate;
        TSamples samples;
    } cases[] = {
        {"chunks before and after",
         Riff(list + Fmt(stereo16) + Chunk("fact", Le32(2)) + Chunk("data", abcd) + list),
         2,
         48000,
         {1, -2, 3, -4}},
        {"format chunk with its extension size",
         Riff(Chunk("fmt ", FmtBody(mono16) + Le16(0)) + Chunk("data", abcd)),
         1,
         22050,
         {1, -2, 3, -4}},
        {"wrong RIFF size",
         "RIFF" + Le32(0) + "WAVE" + Fmt(mono16) + Chunk("data", abcd),
         1,
         22050,
         {1, -2, 3, -4}},
        {"data cut short: the whole frames that are there",
         Riff(Fmt(stereo16) + "data" + Le32(100) + abcd.substr(0, 6)),
         2,
         48000,
         {1, -2}},
        {"streaming writer's unknown data size",
         Riff(Fmt(stereo16) + "data" + Le32(0xFFFFFFFF) + abcd),
         2,
         48000,
         {1, -2, 3, -4}},
        {"three channels", Wave({3, 22050, 16}, Samples16({1, 2, 3})), 3, 22050, {1, 2, 3}},
        {"empty data", Wave(mono16, ""), 1, 22050, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto sound = Load(c.bytes);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->Channels, c.channels);
        EXPECT_EQ(sound->SamplesPerSec, c.rate);
        EXPECT_EQ(sound->Samples, c.samples);
    }
}

TEST_F(WaveSound, WhatIsNoSoundGivesNoValue) {
    const TFormat ok{1, 22050, 16};
    const std::string data = Chunk("data", "abcd");
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"text", "not a sound at all"},
        {"cut in the header", "RIFF" + Le32(4)},
        {"header only", Riff("")},
        {"no data", Riff(Fmt(ok))},
        {"no format", Riff(data)},
        {"format too short", Riff(Chunk("fmt ", FmtBody(ok).substr(0, 10)) + data)},
        {"no channels", Wave({0, 22050, 16}, "abcd")},
        {"rate 0", Wave({1, 0, 16}, "abcd")},
    };
    for (const auto& c : cases) EXPECT_FALSE(Load(c.bytes)) << c.what;
}

// Every prefix of a file is a file cut short: it is either refused or gives
// a prefix of the whole file's samples, never anything from past the end.
TEST_F(WaveSound, EveryTruncationIsSafe) {
    const TFormat f{2, 11025, 16};
    const std::string data = Samples16({1, -1, 2, -2, 3, -3, 4, -4, 5, -5});
    const std::string bytes = Riff(Chunk("LIST", "abc") + Fmt(f) + Chunk("data", data));
    const TSamples all = {1, -1, 2, -2, 3, -3, 4, -4, 5, -5};
    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        const auto sound = Load(bytes.substr(0, n));
        if (!sound) continue;
        ASSERT_LE(sound->Samples.size(), all.size()) << n;
        EXPECT_TRUE(std::equal(sound->Samples.begin(), sound->Samples.end(), all.begin())) << n;
        EXPECT_EQ(sound->Samples.size() % 2, 0u) << n;
    }
    EXPECT_EQ(Load(bytes)->Samples, all);
}

// A named pipe in place of the file would hold the alert until something
// writes to it; a device may never end. Neither is opened.
TEST_F(WaveSound, OnlyRegularFilesAreRead) {
    ASSERT_EQ(mkfifo(Dir.File("pipe.wav").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", Dir.File("device.wav").c_str()), 0);
    for (const std::string& name :
         {Dir.File("missing.wav"), Dir.Path(), Dir.File("pipe.wav"), Dir.File("device.wav")})
        RunBounded([&] { EXPECT_FALSE(LoadWaveFile(name.c_str())) << name; });
}

TEST(WaveSoundFiles, ShippedAlertIsAShortMonoSound) {
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "x.wav";
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_LT(std::filesystem::file_size(path), 50u * 1024);
    const auto sound = LoadWaveFile(path.c_str());
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->Channels, 1u);
    EXPECT_GT(sound->Duration(), std::chrono::milliseconds(100));
    EXPECT_LT(sound->Duration(), std::chrono::seconds(1));
}

TEST(WaveSoundFiles, DefaultAlertIsAnAudibleShortTone) {
    const TWaveSound tone = DefaultAlertSound();
    EXPECT_GE(tone.Duration(), std::chrono::milliseconds(100));
    EXPECT_LE(tone.Duration(), std::chrono::milliseconds(300));
    int peak = 0;
    for (const std::int16_t s : tone.Samples) peak = std::max(peak, std::abs(int{s}));
    EXPECT_GT(peak, 3000);
}

}  // namespace
}  // namespace skimby
