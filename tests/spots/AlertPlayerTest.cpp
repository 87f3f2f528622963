#include "spots/AlertPlayer.h"

#include <gtest/gtest.h>

#include "SpotsTestSupport.h"

namespace skimby {
namespace {

TEST(AlertPlayer, PlaysTheFileOnceAndSynchronouslyByDefault) {
    TFakeSound sound;
    TAlertPlayer player(sound.Service());
    player.SetWaveName("/opt/skimby/x.wav");
    std::vector<std::string> events;
    EXPECT_TRUE(player.Play());  // notifications unassigned: nothing to raise

    player.BeforePlay = [&] { events.push_back("before " + std::to_string(sound.Calls.size())); };
    player.AfterPlay = [&] { events.push_back("after " + std::to_string(sound.Calls.size())); };
    sound.Result = false;
    EXPECT_FALSE(player.Play());

    ASSERT_EQ(sound.Calls.size(), 2u);
    for (const auto& call : sound.Calls) {
        EXPECT_EQ(call.Name, "/opt/skimby/x.wav");
        EXPECT_EQ(call.Module, nullptr);
        EXPECT_EQ(call.Flags, SND_FILENAME);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"before 1", "after 2"}));
    EXPECT_EQ(player.WaveLocation(), wlFile);
}

TEST(AlertPlayer, LoopNeedsAsyncAndFollowsItOff) {
    struct Step {
        enum { Async, Loop } what;
        bool on;
        bool async, loop;  // the state afterwards
        unsigned flags;
    } steps[] = {
        {Step::Loop, true, false, false, SND_FILENAME},
        {Step::Async, true, true, false, SND_FILENAME | SND_ASYNC},
        {Step::Loop, true, true, true, SND_FILENAME | SND_ASYNC | SND_LOOP},
        {Step::Async, false, false, false, SND_FILENAME},
        {Step::Async, true, true, false, SND_FILENAME | SND_ASYNC},
        {Step::Loop, true, true, true, SND_FILENAME | SND_ASYNC | SND_LOOP},
        {Step::Loop, false, true, false, SND_FILENAME | SND_ASYNC},
    };
    TFakeSound sound;
    TAlertPlayer player(sound.Service());
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& s = steps[i];
        if (s.what == Step::Async)
            player.SetAsync(s.on);
        else
            player.SetLoop(s.on);
        EXPECT_EQ(player.Async(), s.async) << "step " << i;
        EXPECT_EQ(player.Loop(), s.loop) << "step " << i;
        player.Play();
        EXPECT_EQ(sound.Calls.back().Flags, s.flags) << "step " << i;
    }
}

}  // namespace
}  // namespace skimby
