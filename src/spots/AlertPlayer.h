// The alert sound: one wave file played through the platform's sound
// service. The service can be replaced, so the table that sounds alerts can
// be driven without an audio device.
#pragma once

#include <functional>
#include <string>

#include "platform/PlaySound.h"

namespace skimby {

// Where the sound comes from; this player only knows files.
enum TWaveLocation { wlFile };

// Same shape as PlaySoundA: name, module handle, SND_* flags; true when played.
using TSoundService = std::function<bool(const char* name, void* module, unsigned flags)>;

class TAlertPlayer {
  public:
    explicit TAlertPlayer(TSoundService sound = PlaySoundA) : Sound(std::move(sound)) {}

    const std::string& WaveName() const { return Name; }
    void SetWaveName(std::string name) { Name = std::move(name); }

    TWaveLocation WaveLocation() const { return Location; }
    void SetWaveLocation(TWaveLocation location) { Location = location; }

    bool Async() const { return AsyncOn; }
    // Switching Async off switches Loop off too: a looping sound that the
    // caller waits for would never end.
    void SetAsync(bool on);

    bool Loop() const { return LoopOn; }
    // Ignored while Async is off.
    void SetLoop(bool on);

    // Raised at the start and at the end of every Play, when assigned.
    std::function<void()> BeforePlay;
    std::function<void()> AfterPlay;

    // Plays the sound; true when the sound service reported success. With
    // Async off it returns only when the sound has ended.
    bool Play();

  private:
    TSoundService Sound;
    std::string Name;
    TWaveLocation Location = wlFile;
    bool AsyncOn = false;
    bool LoopOn = false;
};

}  // namespace skimby
