#include "practice-server/LineSchedule.h"

#include <algorithm>
#include <cmath>

namespace skimby::practice {

TLineSchedule::TLineSchedule(double rate, std::uint64_t seed) : Rate(rate), Random(seed) {}

int TLineSchedule::Advance(double seconds) {
    if (seconds < 0) seconds = 0;
    // After a stall (a suspended machine, say) owe at most a second's worth
    // rather than flooding the clients.
    Due = std::min(Due + Rate * seconds, std::max(Rate, 1.0) + 1);
    int count = 0;
    if (Random.Chance(seconds / MeanBurstGap)) {
        const int largest = static_cast<int>(std::clamp(2 * Rate, 3.0, double(MaxBurst)));
        const int burst = Random.Between(3, largest);
        count += burst;
        Due -= burst;
    }
    if (Due >= 1) {
        const double steady = std::floor(Due);
        count += static_cast<int>(steady);
        Due -= steady;
    }
    return count;
}

}  // namespace skimby::practice
