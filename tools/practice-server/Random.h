// A small seeded random source. Its own arithmetic (not the standard
// distributions) so one seed gives the same spots and members on every
// compiler and library.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace skimby::practice {

class TRandom {
  public:
    explicit TRandom(std::uint64_t seed) : State(seed) {}

    // splitmix64: fast, and every seed (0 included) gives a good stream.
    std::uint64_t Next() {
        std::uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, count); count must be above 0.
    std::uint64_t Below(std::uint64_t count) { return Next() % count; }

    // Uniform in [low, high], both included.
    int Between(int low, int high) {
        return low + static_cast<int>(Below(static_cast<std::uint64_t>(high - low) + 1));
    }

    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

    bool Chance(double probability) { return Unit() < probability; }

    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[Below(items.size())];
    }

  private:
    std::uint64_t State;
};

// A seed of its own for each text (an operator's call, say), derived from
// the run's seed, so every operator gets a stream of their own that a seed
// repeats.
inline std::uint64_t MixSeed(std::uint64_t seed, std::string_view text) {
    std::uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    TRandom mixer(seed ^ hash);
    return mixer.Next();
}

}  // namespace skimby::practice
