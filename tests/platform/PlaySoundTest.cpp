// Plays through the real ALSA path with a configuration of the test's own:
// the default device is ALSA's file plugin over its null device, so what
// was played can be read back from a file and no sound card is needed.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "PlaySoundTestWave.h"
#include "platform/PlaySound.h"
#include "platform/WaveSound.h"
#include "support/ChildProcess.h"

namespace skimby {
namespace {

using namespace testwave;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// What reached the device, read back from the file plugin's output: a
// header that names the format, then the frames to the end of the file.
struct TPlayed {
    unsigned Channels = 0, Rate = 0, Bits = 0;
    std::string Data;
    std::chrono::microseconds Duration() const {
        return std::chrono::microseconds(Data.size() / (Channels * Bits / 8) * 1000000 / Rate);
    }
};

std::optional<TPlayed> ReadPlayed(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    const auto le = [&](std::size_t at, int n) {
        unsigned v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return std::nullopt;
    TPlayed played;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = le(at + 4, 4);
        if (id == "data") {
            played.Data = bytes.substr(at + 8);
            return played.Channels ? std::optional(played) : std::nullopt;
        }
        if (id == "fmt " && at + 24 <= bytes.size()) {
            played.Channels = le(at + 10, 2);
            played.Rate = le(at + 12, 4);
            played.Bits = le(at + 22, 2);
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

fs::path ShippedAlert() {
    return fs::read_symlink("/proc/self/exe").parent_path() / "x.wav";
}

class PlaySound : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "skimby-sound-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        Dir = pattern;
        Output = Dir / "played.wav";
        // The file plugin writes a wave header of its own, so the output
        // also shows the format the device was set up for.
        UseConfig("pcm.!default { type file slave.pcm { type null } file \"" + Output.string() +
                  "\" format \"wav\" }\n");
    }

    void TearDown() override {
        PlaySoundA(nullptr, nullptr, 0);  // no sound may go on into the next test
        unsetenv("ALSA_CONFIG_PATH");
        snd_config_update_free_global();
        fs::remove_all(Dir);
    }

    // alsa-lib keeps its parsed configuration; dropping it makes the next
    // open read this one.
    void UseConfig(const std::string& text) {
        const fs::path path = Dir / ("asound" + std::to_string(++Configs) + ".conf");
        WriteFile(path, text);
        setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
        snd_config_update_free_global();
    }

    std::optional<TPlayed> Played() const { return ReadPlayed(Output); }

    fs::path Dir, Output;
    int Configs = 0;
};

TEST_F(PlaySound, ShippedAlertPlaysToItsEnd) {
    const std::string file = ReadFile(ShippedAlert());
    ASSERT_GT(file.size(), 44u);
    const auto start = Clock::now();
    EXPECT_TRUE(PlaySoundA(ShippedAlert().c_str(), nullptr, SND_FILENAME));
    const auto elapsed = Clock::now() - start;
    const auto played = Played();
    ASSERT_TRUE(played);
    EXPECT_EQ(played->Channels, 1u);
    EXPECT_EQ(played->Rate, 22050u);
    EXPECT_EQ(played->Bits, 16u);
    EXPECT_EQ(played->Data, file.substr(44));  // the generator writes a plain 44-byte header
    EXPECT_GE(elapsed, played->Duration());    // never before the full length
}

// Whatever the file's sample format, the device gets its channels and rate
// and the samples as 16-bit values: 8-bit samples shifted up, wider ones cut
// to their top 16 bits, floating point scaled from -1..1 and clipped there.
TEST_F(PlaySound, EveryCommonWaveVariantPlaysItsOwnSound) {
    const struct {
        const char* what;
        std::string file;
        unsigned channels, rate;
        std::string device;
    } cases[] = {
        {"8-bit", Wave({1, 8000, 8}, std::string("\x80\x81\x7F\xFF\x00", 5)), 1, 8000,
         Samples16({0, 256, -256, 32512, -32768})},
        {"16-bit stereo at 44100 Hz, chunks around the format",
         Riff(Chunk("LIST", "odd") + Fmt({2, 44100, 16}) + Chunk("fact", Le32(2)) +
              Chunk("data", Samples16({1, -2, 32767, -32768}))),
         2, 44100, Samples16({1, -2, 32767, -32768})},
        {"extensible, 16-bit",
         Riff(ExtensibleFmt({2, 44100, 16}, 1) + Chunk("data", Samples16({5, -6, 7, -8}))), 2,
         44100, Samples16({5, -6, 7, -8})},
        {"24-bit", Wave({1, 22050, 24}, Samples24({0x123400, 0x7FFF00, -0x800000})), 1, 22050,
         Samples16({0x1234, 32767, -32768})},
        {"32-bit", Wave({1, 22050, 32}, Samples32({0x12340000, 0x7FFF0000, -0x80000000LL})), 1,
         22050, Samples16({0x1234, 32767, -32768})},
        {"32-bit float", Wave({1, 22050, 32, 3}, SamplesFloat({0.5f, -0.25f, 1.5f, -2.0f})), 1,
         22050, Samples16({16384, -8192, 32767, -32768})},
        {"extensible, 32-bit float at 96000 Hz",
         Riff(ExtensibleFmt({1, 96000, 32}, 3) + Chunk("data", SamplesFloat({0.5f, -0.5f}))), 1,
         96000, Samples16({16384, -16384})},
        {"16-bit at 192000 Hz", Wave({2, 192000, 16}, Samples16({1, 2, 3, 4})), 2, 192000,
         Samples16({1, 2, 3, 4})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Dir / "variant.wav", c.file);
        EXPECT_TRUE(PlaySoundA((Dir / "variant.wav").c_str(), nullptr, SND_FILENAME));
        const auto played = Played();
        ASSERT_TRUE(played);
        EXPECT_EQ(played->Channels, c.channels);
        EXPECT_EQ(played->Rate, c.rate);
        EXPECT_EQ(played->Bits, 16u);
        EXPECT_EQ(played->Data, c.device);
    }
}

TEST_F(PlaySound, FileThatCannotBePlayedGivesTheDefaultAlert) {
    WriteFile(Dir / "text.wav", "not a sound at all");
    WriteFile(Dir / "header.wav", Riff(Fmt({1, 22050, 16})));  // no data chunk
    ASSERT_EQ(mkfifo((Dir / "pipe.wav").c_str(), 0600), 0);
    const TWaveSound tone = DefaultAlertSound();
    for (const fs::path& name :
         {Dir / "missing.wav", Dir, Dir / "text.wav", Dir / "header.wav", Dir / "pipe.wav"}) {
        SCOPED_TRACE(name);
        fs::remove(Output);
        // A named pipe would hold the alert until something writes to it.
        RunBounded([&] {
            const auto start = Clock::now();
            EXPECT_TRUE(PlaySoundA(name.c_str(), nullptr, SND_FILENAME));
            EXPECT_GE(Clock::now() - start, tone.Duration());
        });
        const auto played = Played();
        ASSERT_TRUE(played);
        EXPECT_EQ(played->Rate, tone.SamplesPerSec);
        EXPECT_EQ(played->Data, std::string(reinterpret_cast<const char*>(tone.Samples.data()),
                                            tone.Samples.size() * 2));
    }
}

TEST_F(PlaySound, NoDefaultMeansSilenceAndFalse) {
    WriteFile(Dir / "text.wav", "not a sound at all");
    for (const fs::path& name : {Dir / "missing.wav", Dir / "text.wav"}) {
        EXPECT_FALSE(PlaySoundA(name.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT)) << name;
        EXPECT_FALSE(fs::exists(Output)) << name;  // the device was never opened
    }
}

TEST_F(PlaySound, WithoutDeviceNothingPlaysAndFalseComesBack) {
    // What a machine without a sound card gives: a hardware device that is not there.
    UseConfig("pcm.!default { type hw card 31 }\n");
    const std::string alert = ShippedAlert().string();
    const struct {
        const char* name;
        unsigned flags;
    } cases[] = {
        {alert.c_str(), SND_FILENAME},
        {"/nonexistent/x.wav", SND_FILENAME},
        {alert.c_str(), SND_FILENAME | SND_ASYNC | SND_LOOP},
    };
    for (const auto& c : cases) {
        bool played = true;
        EXPECT_NO_THROW(played = PlaySoundA(c.name, nullptr, c.flags));
        EXPECT_FALSE(played) << c.name << ' ' << c.flags;
    }
}

TEST_F(PlaySound, AsyncLoopRepeatsUntilANullNameStopsIt) {
    const TFormat f{1, 8000, 16};
    const std::string pass = Pattern(f, 400);  // 50 ms
    WriteFile(Dir / "beep.wav", Wave(f, pass));
    // A looping sound that did not return at once would never return.
    const auto start = Clock::now();
    ASSERT_TRUE(
        PlaySoundA((Dir / "beep.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_FILENAME));
    const auto elapsed = Clock::now() - start;
    const std::string afterStop = ReadFile(Output);
    const auto played = Played();
    ASSERT_TRUE(played);
    EXPECT_GT(played->Data.size(), 2 * pass.size());
    // The null device takes frames at any speed: the loop keeps to real time.
    EXPECT_LE(played->Duration(), elapsed + 1s);
    std::string repeated;
    while (repeated.size() < played->Data.size()) repeated += pass;
    EXPECT_EQ(played->Data, repeated.substr(0, played->Data.size()));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(ReadFile(Output), afterStop);  // nothing plays on after the stop
}

TEST_F(PlaySound, SyncCallStopsARunningAsyncSoundFirst) {
    WriteFile(Dir / "beep.wav", Wave({1, 8000, 16}, Pattern({1, 8000, 16}, 400)));
    ASSERT_TRUE(
        PlaySoundA((Dir / "beep.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP));
    std::this_thread::sleep_for(100ms);
    // Both go to the same file: had the loop gone on, its writes would
    // show in the second sound's output.
    EXPECT_TRUE(PlaySoundA(ShippedAlert().c_str(), nullptr, SND_FILENAME));
    std::this_thread::sleep_for(100ms);
    const auto played = Played();
    ASSERT_TRUE(played);
    EXPECT_EQ(played->Data, ReadFile(ShippedAlert()).substr(44));
}

TEST_F(PlaySound, LoopWithoutAsyncPlaysOnce) {
    const TFormat f{1, 8000, 16};
    const std::string pass = Pattern(f, 400);
    WriteFile(Dir / "beep.wav", Wave(f, pass));
    EXPECT_TRUE(PlaySoundA((Dir / "beep.wav").c_str(), nullptr, SND_FILENAME | SND_LOOP));
    const auto played = Played();
    ASSERT_TRUE(played);
    EXPECT_EQ(played->Data, pass);
}

TEST_F(PlaySound, ProgramMayEndWhileASoundPlaysInTheBackground) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string alert = ShippedAlert().string();
    EXPECT_EXIT(
        {
            PlaySoundA(alert.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP);
            std::this_thread::sleep_for(50ms);
            fs::remove_all(Dir);  // the exit skips TearDown in this process
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace skimby
