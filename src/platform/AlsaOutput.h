// One sound played through ALSA's "default" PCM.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/WaveSound.h"

typedef struct _snd_pcm snd_pcm_t;

namespace skimby {

// A stop request that a waiting player notices at once.
class TStopSignal {
  public:
    void Request();
    bool Requested();
    // Waits until the time point or a stop request; true when stopped.
    bool WaitUntil(std::chrono::steady_clock::time_point until);

  private:
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Stop = false;
};

class TAlsaOutput {
  public:
    // The device set up for the sound's format; nullptr when there is no
    // device or it does not take the format.
    static std::unique_ptr<TAlsaOutput> Open(const TWaveSound& sound);
    ~TAlsaOutput();
    TAlsaOutput(const TAlsaOutput&) = delete;
    TAlsaOutput& operator=(const TAlsaOutput&) = delete;

    // Plays the sound to its end, over and over while `loop` is set, until
    // a stop request. Returns no sooner than the sound's length after it
    // started even when the device takes frames faster than real time (as
    // ALSA's null and file devices do). False when the device failed.
    bool Play(const TWaveSound& sound, bool loop, TStopSignal& stop);

  private:
    explicit TAlsaOutput(snd_pcm_t* pcm) : Pcm(pcm) {}
    bool WriteFrames(const std::int16_t* frames, unsigned long count);

    snd_pcm_t* Pcm;
    std::chrono::microseconds BufferTime{0};
    unsigned long PeriodFrames = 1024;
    unsigned Channels = 1;
};

}  // namespace skimby
