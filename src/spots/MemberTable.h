// The club's member list: rows of TAB-separated fields, looked up by call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spots/CallIndex.h"

namespace skimby {

// Field numbers of a member row.
enum TMemberField : int { mfCall = 0, mfName = 1, mfQth = 2, mfWorked = 3, mfQsos = 4 };

class TMemberTable {
  public:
    // One row of empty fields until the first fill.
    TMemberTable();

    // Replaces every row by the rows of body: lines at each CR LF pair,
    // fields at each TAB. The last piece is a line even when empty.
    void FillMemberTable(std::string_view body);

    // The number of the last row whose field 0 equals call exactly (same
    // bytes, case-sensitive, no trimming); no value when none does.
    std::optional<int> LookupMember(std::string_view call) const;

    int RowCount() const { return static_cast<int>(Rows.size()); }
    // A field the row does not have reads as the empty text.
    const std::string& Field(int row, int field) const;

  private:
    using TRow = std::vector<std::string>;

    void AddRow(std::string_view line);

    std::vector<TRow> Rows;
    // Field 0 of every row, kept together so a lookup touches little memory.
    std::vector<std::string> Calls;
    TCallIndex Index;
};

}  // namespace skimby
