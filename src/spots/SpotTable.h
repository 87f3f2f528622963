// The table of member spots as the grid holds it: header row, one row per
// member spot (oldest first) and an empty row at the bottom where the next
// spot goes. Writes the spots with their colours, bold type and balloons,
// sounds the alert for a new call, and keeps the table to 1000 rows.
#pragma once

#include <functional>
#include <string>

#include "display/GridModel.h"
#include "spots/AlertPlayer.h"
#include "spots/MemberTable.h"
#include "spots/SpotLine.h"

namespace skimby {

// Gives the operator's call sign as it is at the moment of asking.
using TCallSignSource = std::function<std::string()>;

class TSpotTable {
  public:
    static constexpr int MaxRows = 1000;
    static constexpr int TrimmedRows = 100;

    TSpotTable(TGridModel& grid, TAlertPlayer& player, TCallSignSource operatorCall);

    // Start-up look: header texts, column widths, balloons on, the empty
    // last row current.
    void PrepareSpotTable();

    // At exactly MaxRows rows, removes the oldest TrimmedRows spots.
    void TrimSpotTable();

    // Writes spot into the empty last row, with the balloon made from the
    // member row memberRow of members, and appends a new empty row.
    void AddMemberSpot(const TSpot& spot, const TMemberTable& members, int memberRow);

    // The alert sounds for new calls only while this is on (the default).
    bool SoundOn() const { return Sound; }
    void SetSoundOn(bool on) { Sound = on; }

    // Call of the most recently added spot; empty at start, never reset.
    const std::string& PreviousCall() const { return Previous; }

  private:
    static std::string BalloonText(const TSpot& spot, const TMemberTable& members, int memberRow);
    void MarkNewCall(int row);

    TGridModel& Grid;
    TAlertPlayer& Player;
    TCallSignSource OperatorCall;
    std::string Previous;
    bool Sound = true;
};

}  // namespace skimby
