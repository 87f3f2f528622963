// Plays through the real ALSA path with a configuration of the test's own:
// the default device is ALSA's file plugin over its null device, so what
// was played can be read back from a file and no sound card is needed.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "PlaySoundTestWave.h"
#include "platform/PlaySound.h"
#include "platform/WaveFile.h"

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

    std::optional<TWaveSound> Played() const { return LoadWaveFile(Output.c_str()); }

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
    EXPECT_EQ(played->SamplesPerSec, 22050u);
    EXPECT_EQ(played->BitsPerSample, 16u);
    EXPECT_EQ(played->Data, file.substr(44));  // the generator writes a plain 44-byte header
    EXPECT_GE(elapsed, played->Duration());  // never before the full length
}

TEST_F(PlaySound, EachPcmKindReachesTheDeviceAsItIs) {
    for (const TFormat f : {TFormat{1, 8000, 8}, TFormat{2, 11025, 8}, TFormat{2, 44100, 16}}) {
        SCOPED_TRACE(testing::Message() << f.Channels << " ch " << f.Rate << " Hz " << f.Bits);
        const std::string data = Pattern(f, f.Rate / 10);
        WriteFile(Dir / "kind.wav", Wave(f, data));
        EXPECT_TRUE(PlaySoundA((Dir / "kind.wav").c_str(), nullptr, SND_FILENAME));
        const auto played = Played();
        ASSERT_TRUE(played);
        EXPECT_EQ(played->Channels, f.Channels);
        EXPECT_EQ(played->SamplesPerSec, f.Rate);
        EXPECT_EQ(played->BitsPerSample, f.Bits);
        EXPECT_EQ(played->Data, data);
    }
}

TEST_F(PlaySound, FileThatCannotBePlayedGivesTheDefaultAlert) {
    WriteFile(Dir / "text.wav", "not a sound at all");
    WriteFile(Dir / "float.wav", Wave({1, 22050, 32, 3}, "abcdabcd"));
    const std::string tone = DefaultAlertSound().Data;
    for (const fs::path& name : {Dir / "missing.wav", Dir, Dir / "text.wav", Dir / "float.wav"}) {
        SCOPED_TRACE(name);
        fs::remove(Output);
        const auto start = Clock::now();
        EXPECT_TRUE(PlaySoundA(name.c_str(), nullptr, SND_FILENAME));
        EXPECT_GE(Clock::now() - start, DefaultAlertSound().Duration());
        const auto played = Played();
        ASSERT_TRUE(played);
        EXPECT_EQ(played->Data, tone);
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
    const TFormat f{1, 8000, 8};
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
    WriteFile(Dir / "beep.wav", Wave({1, 8000, 8}, Pattern({1, 8000, 8}, 400)));
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
    const TFormat f{1, 8000, 8};
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
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace skimby
