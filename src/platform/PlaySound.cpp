#include "platform/PlaySound.h"

#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/AlsaOutput.h"
#include "platform/WaveSound.h"

namespace skimby {

namespace {

// The one sound that plays in the background. A new call stops it before
// it goes on, and the program's exit stops and joins it, so its thread never
// outlives the objects it uses.
class TBackgroundSound {
  public:
    ~TBackgroundSound() { Stop(); }

    void Stop() {
        std::lock_guard lock(Mutex);
        StopLocked();
    }

    void Start(std::unique_ptr<TAlsaOutput> out, TWaveSound sound, bool loop) {
        std::lock_guard lock(Mutex);
        StopLocked();  // another caller may have started one meanwhile
        Signal = std::make_shared<TStopSignal>();
        Thread = std::thread(
            [out = std::move(out), sound = std::move(sound), loop, signal = Signal]() mutable {
                try {
                    out->Play(sound, loop, *signal);
                    out.reset();  // the device is free again once the sound ends
                } catch (...) {
                    // Nothing may escape a thread; the sound just ends.
                }
            });
    }

  private:
    void StopLocked() {
        if (!Thread.joinable()) return;
        Signal->Request();
        Thread.join();
    }

    std::mutex Mutex;
    std::thread Thread;
    std::shared_ptr<TStopSignal> Signal;
};

TBackgroundSound& Background() {
    static TBackgroundSound background;
    return background;
}

// The file's sound, or the default alert when the file cannot be played and
// the caller allows it.
std::optional<TWaveSound> SoundFor(const char* name, unsigned flags) {
    std::optional<TWaveSound> sound = LoadWaveFile(name);
    if (!sound && !(flags & SND_NODEFAULT)) sound = DefaultAlertSound();
    return sound;
}

}  // namespace

// Names are always taken as file names: there are no sound aliases here.
bool PlaySoundA(const char* name, void* /*module*/, unsigned flags) {
    try {
        Background().Stop();
        if (name == nullptr || *name == '\0') return true;  // a request to stop
        std::optional<TWaveSound> sound = SoundFor(name, flags);
        if (!sound) return false;
        std::unique_ptr<TAlsaOutput> out = TAlsaOutput::Open(*sound);
        if (!out) return false;  // no sound device
        if (flags & SND_ASYNC) {
            Background().Start(std::move(out), std::move(*sound), (flags & SND_LOOP) != 0);
            return true;
        }
        // Repeating is only for a sound that plays in the background.
        TStopSignal never;
        return out->Play(*sound, false, never);
    } catch (...) {
        return false;
    }
}

}  // namespace skimby
