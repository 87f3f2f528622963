// Synthetic "DX de " spot lines in the column layout of a Reverse Beacon
// Network cluster:
//   DX de LZ4UX-#:    7018.3  RW1M           CW    13 dB  18 WPM  CQ      2259Z
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "practice-server/MemberList.h"
#include "practice-server/Random.h"

namespace skimby::practice {

struct TSpotFields {
    std::string Spotter;    // a skimmer, "LZ4UX-#"
    std::string Frequency;  // kHz as sent, one or two decimals: "7018.3"
    std::string Call;       // the spotted station
    std::string Mode;       // "CW" or "RTTY"
    int Snr = 0;            // dB
    int Speed = 0;          // WPM for CW, BPS for RTTY
    std::string Kind;       // "CQ", "DX" or "BEACON"
    std::string Time;       // UTC hours and minutes, "2259"
};

// One line without its line end. The frequency ends in column 24 and the
// call starts in column 27 and the mode in column 42; a long skimmer call
// squeezes the gap before the frequency down to one space, a long call the
// gap before the mode, shifting the rest.
std::string FormatSpotLine(const TSpotFields& spot);

// "HHMM" of the UTC time.
std::string UtcTime(std::time_t when);

// Makes the spots one operator receives: a share of them of club members
// (now and then the operator's own call), the rest of stations outside the
// club. A station calling CQ is heard by several skimmers, so now and then
// the last station is spotted again by another one.
class TSpotGenerator {
  public:
    // members must outlive the generator. An operator call that is not a
    // plausible call is never spotted.
    TSpotGenerator(const TMemberList& members, std::string operatorCall, double memberShare,
                   std::uint64_t seed);

    TSpotFields Next(std::string_view time);
    // Whether the last spot's call is on the member list the operator gets.
    bool LastWasMember() const { return LastMember; }

    // The share of member spots that are of the operator's own call.
    static constexpr double OwnCallShare = 1.0 / 12;

  private:
    TSpotFields Fresh(bool member);
    std::string MemberCall();
    std::string OutsideCall();

    const TMemberList& Members;
    std::string OperatorCall;
    bool OperatorSpotted;
    double MemberShare;
    TRandom Random;
    TSpotFields Last;
    bool HaveLast = false;
    bool LastMember = false;
};

}  // namespace skimby::practice
