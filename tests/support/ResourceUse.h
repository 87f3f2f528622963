// What a case costs the process: the time it took and how far its resident
// memory rose at its peak (the kernel's high-water mark, reset at the start
// of the case). Hostile-input tests check the memory against a generous
// bound, to show that it stays bounded whatever the peer sends; the time is
// only reported, never checked. Run a test program directly to see the
// "[ measure ]" lines.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace skimby {

// Resident memory in bytes: now, or at its peak since the last reset.
inline std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

inline std::size_t PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

// Sets the high-water mark back to what is resident now; false where the
// kernel does not allow it (the peak then counts from the process's start).
inline bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

// Sanitizer builds hold more memory per allocation (red zones, freed blocks
// kept back for a while): bounds are scaled up for them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::size_t MemoryBoundScale = 4;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr std::size_t MemoryBoundScale = 4;
#else
constexpr std::size_t MemoryBoundScale = 1;
#endif
#else
constexpr std::size_t MemoryBoundScale = 1;
#endif

constexpr std::size_t MiB = std::size_t{1} << 20;

class TResourceUse {
  public:
    explicit TResourceUse(std::string name) : Name(std::move(name)) {
        ResetPeakResident();
        Base = ResidentBytes();
        Start = std::chrono::steady_clock::now();
    }

    // How far the peak rose above the resident memory at the start.
    std::size_t PeakGrowth() const {
        const std::size_t peak = PeakResidentBytes();
        return peak > Base ? peak - Base : 0;
    }

    long long Milliseconds() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - Start)
            .count();
    }

    // Prints one line: the case, its outcome, the time and the peak growth.
    void Report(const std::string& outcome) const {
        std::printf("[ measure ] %s: %s; %lld ms, peak +%.1f MiB\n", Name.c_str(), outcome.c_str(),
                    Milliseconds(), static_cast<double>(PeakGrowth()) / MiB);
        std::fflush(stdout);
    }

  private:
    std::string Name;
    std::size_t Base = 0;
    std::chrono::steady_clock::time_point Start;
};

}  // namespace skimby
