// Member spots written into a grid model by the program's own spot table,
// in the order the received-text handler uses for each line: trim first,
// then add the spot. Alerts are silent.
#pragma once

#include <stdexcept>
#include <string>

#include "spots/SpotTable.h"

namespace skimby {

class TGridSpots {
  public:
    // Call, name, QTH, worked flag, QSO count; CR LF between members.
    static constexpr const char* Members =
        "DL9ABC\tHans\tBerlin\tNo\t0\r\n"
        "OH2BH\tMartti\tEspoo\tYes\t12\r\n"
        "K1ABC\tBob\tBoston\tYes\t3\r\n"
        "OH1KAV\tOperator\tTurku\tNo\t0";
    static constexpr const char* OperatorCall = "OH1KAV";

    // Prepares the table on model as the program's start-up does.
    explicit TGridSpots(TGridModel& model) : Table(model, Player, [] { return OperatorCall; }) {
        MemberList.FillMemberTable(Members);
        Table.PrepareSpotTable();
    }

    // One received spot line of call, which must be in Members.
    void Add(const std::string& call, const std::string& spotter = "LZ4UX-#") {
        Table.TrimSpotTable();
        const auto member = MemberList.LookupMember(call);
        if (!member) throw std::invalid_argument(call + " is not a member");
        Table.AddMemberSpot({spotter, "14025,0", call, "CW 13 dB 18 WPM CQ"}, MemberList, *member);
    }

    // One received line that is not a member spot: only the trim runs.
    void OtherLine() { Table.TrimSpotTable(); }

  private:
    TAlertPlayer Player{[](const char*, void*, unsigned) { return true; }};
    TMemberTable MemberList;
    TSpotTable Table;
};

}  // namespace skimby
