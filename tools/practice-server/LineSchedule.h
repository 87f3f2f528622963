// When spot lines go out: a steady stream at the chosen rate, and now and
// then a burst, as when a band opens or many skimmers report at once.
#pragma once

#include <cstdint>

#include "practice-server/Random.h"

namespace skimby::practice {

class TLineSchedule {
  public:
    // rate: lines per second, above 0.
    TLineSchedule(double rate, std::uint64_t seed);

    // The number of lines to send now, seconds after the previous call. A
    // burst sends lines early and the steady stream pauses until it has
    // caught up, so over time the average stays at the rate.
    int Advance(double seconds);

    // A burst starts on average once in this many seconds.
    static constexpr double MeanBurstGap = 12.0;
    // Its size: from 3 lines up to two seconds' worth, at most this many.
    static constexpr int MaxBurst = 2000;

  private:
    double Rate;
    double Due = 0;  // lines owed; below 0 after a burst
    TRandom Random;
};

}  // namespace skimby::practice
