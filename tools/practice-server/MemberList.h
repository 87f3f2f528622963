// The practice club's member list: made up once from the run's seed, served
// over HTTP and spotted by the cluster, so member spots really match.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace skimby::practice {

struct TMember {
    std::string Call;
    std::string Name;  // 8-bit text; a few names carry Latin-1 letters
    std::string Qth;
    bool Worked = false;
    int Qsos = 0;
};

class TMemberList {
  public:
    // count members with distinct calls, the same ones for the same seed.
    TMemberList(std::uint64_t seed, int count);

    const std::vector<TMember>& Members() const { return Members_; }
    bool Contains(std::string_view call) const { return Calls.contains(std::string(call)); }

    // The list as the member-data service sends it to an operator: one line
    // per member, fields call, name, QTH, worked flag ("Yes" or "No") and
    // QSO count separated by TAB, each line ended by CR LF. The operator's
    // own call comes first when it is a plausible call and not a member
    // already.
    std::string Body(std::string_view operatorCall) const;

  private:
    std::vector<TMember> Members_;
    std::unordered_set<std::string> Calls;
};

// One member's line without its line end.
std::string MemberLine(const TMember& member);

}  // namespace skimby::practice
