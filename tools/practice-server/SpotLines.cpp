#include "practice-server/SpotLines.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "practice-server/CallSigns.h"

namespace skimby::practice {

namespace {

// Skimmer calls as the network writes them; a few long ones squeeze the
// frequency column.
const std::vector<std::string> Skimmers = {
    "LZ4UX-#",  "KM3T-2-#",  "W3OA-#",    "DK9IP-#", "OH6BG-#",  "SM7IUN-#", "VE6WZ-#",
    "K9LC-#",   "EA5WU-#",   "G4ZFE-#",   "S53WW-#", "HA8TKS-#", "W1NT-6-#", "AC0C-#",
    "VE3EID-#", "ZL2HAM-#",  "VK6ANC-#",  "OH4KA-#", "ES2RR-#",  "F6IIT-#",  "IK3STG-#",
    "DF7GB-#",  "JH7CSU1-#", "NU6XB-2-#", "WZ7I-#",  "OG66X-#"};

struct TSegment {
    int Low;  // kHz
    int High;
    int Weight;
};

// Where CW and RTTY are heard on the HF bands; 40 m and 20 m are busiest.
const std::vector<TSegment> CwSegments = {{1800, 1840, 1},   {3500, 3570, 3},   {7000, 7040, 6},
                                          {10100, 10130, 2}, {14000, 14070, 6}, {18068, 18095, 2},
                                          {21000, 21070, 3}, {24890, 24915, 1}, {28000, 28070, 2}};
const std::vector<TSegment> RttySegments = {
    {3580, 3600, 1}, {7040, 7050, 2}, {14080, 14100, 3}, {21080, 21100, 1}, {28080, 28100, 1}};

void PadTo(std::string& line, std::size_t column) {
    do line += ' ';
    while (line.size() < column);
}

// A frequency in the segment, mostly with one decimal, sometimes two.
std::string Frequency(TRandom& random, const std::vector<TSegment>& segments) {
    int total = 0;
    for (const TSegment& s : segments) total += s.Weight;
    int pick = static_cast<int>(random.Below(static_cast<std::uint64_t>(total)));
    const TSegment* segment = &segments.front();
    for (const TSegment& s : segments) {
        if (pick < s.Weight) {
            segment = &s;
            break;
        }
        pick -= s.Weight;
    }
    const int hundredths = random.Between(segment->Low * 100, segment->High * 100);
    char text[24];
    if (random.Chance(0.15))
        std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
    else
        std::snprintf(text, sizeof text, "%d.%d", hundredths / 100, hundredths % 100 / 10);
    return text;
}

}  // namespace

std::string FormatSpotLine(const TSpotFields& spot) {
    std::string line = "DX de ";
    line += spot.Spotter;
    line += ':';
    PadTo(line, 24 - std::min<std::size_t>(spot.Frequency.size(), 24));
    line += spot.Frequency;
    line += "  ";
    line += spot.Call;
    PadTo(line, 41);
    const std::size_t mode = line.size();
    line += spot.Mode;
    PadTo(line, mode + 5);
    char rest[64];
    std::snprintf(rest, sizeof rest, "%3d dB  %2d %s  ", spot.Snr, spot.Speed,
                  spot.Mode == "CW" ? "WPM" : "BPS");
    line += rest;
    const std::size_t kind = line.size();
    line += spot.Kind;
    PadTo(line, kind + 8);
    line += spot.Time;
    line += 'Z';
    return line;
}

std::string UtcTime(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d", utc.tm_hour % 24, utc.tm_min % 60);
    return text;
}

TSpotGenerator::TSpotGenerator(const TMemberList& members, std::string operatorCall,
                               double memberShare, std::uint64_t seed)
    : Members(members),
      OperatorCall(std::move(operatorCall)),
      OperatorSpotted(IsPlausibleCall(OperatorCall)),
      MemberShare(memberShare),
      Random(MixSeed(seed, OperatorCall)) {}

std::string TSpotGenerator::MemberCall() {
    const auto& list = Members.Members();
    if (OperatorSpotted && (list.empty() || Random.Chance(OwnCallShare))) return OperatorCall;
    if (list.empty()) return OutsideCall();
    return Random.Pick(list).Call;
}

std::string TSpotGenerator::OutsideCall() {
    for (;;) {
        std::string call = RandomCall(Random);
        if (!Members.Contains(call) && call != OperatorCall) return call;
    }
}

TSpotFields TSpotGenerator::Fresh(bool member) {
    TSpotFields spot;
    spot.Call = member ? MemberCall() : OutsideCall();
    if (Random.Chance(0.85)) {
        spot.Mode = "CW";
        spot.Frequency = Frequency(Random, CwSegments);
        spot.Speed = Random.Between(14, 38);
        const int kind = Random.Between(1, 100);
        spot.Kind = kind <= 94 ? "CQ" : kind <= 97 ? "DX" : "BEACON";
    } else {
        spot.Mode = "RTTY";
        spot.Frequency = Frequency(Random, RttySegments);
        spot.Speed = Random.Chance(0.9) ? 45 : 75;
        spot.Kind = Random.Chance(0.97) ? "CQ" : "DX";
    }
    return spot;
}

TSpotFields TSpotGenerator::Next(std::string_view time) {
    TSpotFields spot;
    if (HaveLast && Random.Chance(0.3)) {
        // The same station again, heard by another skimmer.
        spot = Last;
        for (int tries = 0; tries < 4 && spot.Spotter == Last.Spotter; ++tries)
            spot.Spotter = Random.Pick(Skimmers);
    } else {
        const bool member = MemberShare > 0 && Random.Chance(MemberShare);
        spot = Fresh(member);
        spot.Spotter = Random.Pick(Skimmers);
        LastMember = member && (spot.Call == OperatorCall || Members.Contains(spot.Call));
    }
    spot.Snr = Random.Between(3, 42);
    spot.Time = time;
    Last = spot;
    HaveLast = true;
    return spot;
}

}  // namespace skimby::practice
