#include "practice-server/CallSigns.h"

#include <vector>

namespace skimby::practice {

namespace {

const std::vector<std::string_view> Prefixes = {
    "DL", "DK", "DJ", "DF",  "G",  "M",  "F",  "I",  "IK", "EA", "OK", "OM", "SP", "HA",
    "YO", "LZ", "UA", "RA",  "RW", "UR", "UT", "K",  "W",  "N",  "AA", "KB", "VE", "JA",
    "JH", "VK", "ZL", "PY",  "LU", "ON", "PA", "OZ", "SM", "OH", "LA", "ES", "YL", "LY",
    "S5", "9A", "OE", "HB9", "CT", "EI", "GM", "YU", "ZS", "4X", "R"};

}  // namespace

std::string RandomCallOf(TRandom& random, std::string_view prefix) {
    std::string call(prefix);
    // Prefixes such as "HB9" or "S5" already carry their digit.
    const char last = call.empty() ? 'A' : call.back();
    if (call.empty() || last < '0' || last > '9') call += static_cast<char>('0' + random.Below(10));
    const int letters = random.Chance(0.15) ? 1 : random.Chance(0.5) ? 2 : 3;
    for (int i = 0; i < letters; ++i) call += static_cast<char>('A' + random.Below(26));
    return call;
}

std::string RandomCall(TRandom& random) {
    return RandomCallOf(random, random.Pick(Prefixes));
}

bool IsPlausibleCall(std::string_view call) {
    if (call.size() < 3 || call.size() > 15) return false;
    bool letter = false;
    bool digit = false;
    for (const char c : call) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            letter = true;
        else if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '/')
            return false;
    }
    return letter && digit;
}

}  // namespace skimby::practice
