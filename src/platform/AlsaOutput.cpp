#include "platform/AlsaOutput.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdint>

namespace skimby {

void TStopSignal::Request() {
    {
        std::lock_guard lock(Mutex);
        Stop = true;
    }
    Changed.notify_all();
}

bool TStopSignal::Requested() {
    std::lock_guard lock(Mutex);
    return Stop;
}

bool TStopSignal::WaitUntil(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(Mutex);
    return Changed.wait_until(lock, until, [this] { return Stop; });
}

namespace {

// alsa-lib prints its errors on stderr; the program keeps no log, and a
// machine without a sound card is an ordinary case here.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

constexpr unsigned LatencyMicroseconds = 100000;
// Consecutive write failures that recovery did not mend before giving up.
constexpr int MaxWriteFailures = 8;

}  // namespace

std::unique_ptr<TAlsaOutput> TAlsaOutput::Open(const TWaveSound& sound) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsaErrors); });

    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return nullptr;
    std::unique_ptr<TAlsaOutput> out(new TAlsaOutput(pcm));
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, sound.Channels,
                           sound.SamplesPerSec, 1, LatencyMicroseconds) < 0)
        return nullptr;
    snd_pcm_uframes_t buffer = 0, period = 0;
    if (snd_pcm_get_params(pcm, &buffer, &period) == 0) {
        out->BufferTime = std::chrono::microseconds(buffer * 1000000ull / sound.SamplesPerSec);
        if (period > 0) out->PeriodFrames = period;
    }
    out->Channels = sound.Channels;
    return out;
}

TAlsaOutput::~TAlsaOutput() {
    snd_pcm_close(Pcm);
}

bool TAlsaOutput::WriteFrames(const std::int16_t* frames, unsigned long count) {
    int failures = 0;
    while (count > 0) {
        const snd_pcm_sframes_t n = snd_pcm_writei(Pcm, frames, count);
        if (n < 0) {
            // An underrun or a suspend; recovery restarts the stream.
            if (++failures > MaxWriteFailures || snd_pcm_recover(Pcm, static_cast<int>(n), 1) < 0)
                return false;
            continue;
        }
        failures = 0;
        frames += n * Channels;
        count -= n;
    }
    return true;
}

bool TAlsaOutput::Play(const TWaveSound& sound, bool loop, TStopSignal& stop) {
    using namespace std::chrono;
    const auto start = steady_clock::now();
    const std::size_t frames = sound.FrameCount();
    std::uint64_t written = 0;
    const auto timeOf = [&](std::uint64_t n) {
        return microseconds(n * 1000000 / sound.SamplesPerSec);
    };
    do {
        for (std::size_t at = 0; at < frames;) {
            // A real device blocks the write once its buffer is full; a device
            // that does not is held to real time here, so a looping sound
            // never runs ahead.
            if (stop.WaitUntil(start + timeOf(written) - BufferTime)) break;
            const std::size_t n = std::min<std::size_t>(PeriodFrames, frames - at);
            if (!WriteFrames(sound.Samples.data() + at * sound.Channels, n)) return false;
            at += n;
            written += n;
        }
    } while (loop && frames > 0 && !stop.Requested());
    if (stop.Requested()) {
        snd_pcm_drop(Pcm);
        return true;
    }
    snd_pcm_drain(Pcm);
    stop.WaitUntil(start + timeOf(written));
    return true;
}

}  // namespace skimby
