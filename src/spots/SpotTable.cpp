#include "spots/SpotTable.h"

namespace skimby {

namespace {
constexpr int ColumnWidths[TGridModel::ColCount] = {90, 70, 80, 220};
constexpr const char* BalloonTitle = "KAVRA";
}  // namespace

TSpotTable::TSpotTable(TGridModel& grid, TAlertPlayer& player, TCallSignSource operatorCall)
    : Grid(grid), Player(player), OperatorCall(std::move(operatorCall)) {}

void TSpotTable::PrepareSpotTable() {
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        Grid.SetCells(c, 0, TGridModel::HeaderTexts[c]);
        Grid.SetColWidth(c, ColumnWidths[c]);
    }
    Grid.SetBalloonEnabled(true);
    Grid.SetCurrentRow(Grid.RowCount() - 1);
}

void TSpotTable::TrimSpotTable() {
    if (Grid.RowCount() == MaxRows) Grid.DeleteRows(1, TrimmedRows);
}

std::string TSpotTable::BalloonText(const TSpot& spot, const TMemberTable& members, int memberRow) {
    // The contact count comes before the worked flag.
    std::string text;
    text.append("Call: ").append(spot.Call);
    text.append("\r\nName: ").append(members.Field(memberRow, mfName));
    text.append("\r\nQTH: ").append(members.Field(memberRow, mfQth));
    text.append("\r\nQSO:s: ").append(members.Field(memberRow, mfQsos));
    text.append("\r\nWorked: ").append(members.Field(memberRow, mfWorked));
    return text;
}

void TSpotTable::MarkNewCall(int row) {
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        Grid.SetCellFontColor(c, row, clRed);
        Grid.SetCellFontStyleBold(c, row, true);
    }
}

void TSpotTable::AddMemberSpot(const TSpot& spot, const TMemberTable& members, int memberRow) {
    // The spot always goes into the empty last row, whichever row the user
    // has selected meanwhile.
    const int row = Grid.RowCount() - 1;
    Grid.SetCells(0, row, spot.Spotter);
    Grid.SetCells(1, row, spot.Frequency);
    Grid.SetCells(2, row, spot.Call);
    Grid.SetCells(3, row, spot.Info);

    const bool newCall = spot.Call != Previous;
    if (newCall) {
        // Synchronous: the row's texts are there while the alert plays,
        // its colours come after it.
        if (Sound) Player.Play();
        MarkNewCall(row);
    }

    const bool worked = members.Field(memberRow, mfWorked) == "Yes";
    const bool ownCall = OperatorCall && spot.Call == OperatorCall();
    const std::string balloon = BalloonText(spot, members, memberRow);
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        Grid.AddCellBalloon(c, row, BalloonTitle, balloon, biInfo);
        if (worked && newCall) Grid.SetCellFontColor(c, row, clGreen);
        if (ownCall) Grid.SetCellFontColor(c, row, clBlue);
    }

    Previous = spot.Call;
    Grid.SetRowCount(Grid.RowCount() + 1);
    Grid.SetCurrentRow(Grid.RowCount() - 1);
}

}  // namespace skimby
