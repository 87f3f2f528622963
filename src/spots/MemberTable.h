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
    // Lines after this many are not kept: a club's list is far shorter, and
    // a broken or hostile member service cannot make the table hold
    // millions of rows.
    static constexpr int MaxRows = 1'000'000;

    // One row of empty fields until the first fill.
    TMemberTable();

    // Replaces every row by the rows of body: lines at each CR LF pair,
    // fields at each TAB. The last piece is a line even when empty.
    void FillMemberTable(std::string_view body);

    // The number of the last row whose field 0 equals call exactly (same
    // bytes, case-sensitive, no trimming); no value when none does.
    std::optional<int> LookupMember(std::string_view call) const;

    int RowCount() const { return static_cast<int>(Lines.size()); }
    // A field the row does not have reads as the empty text. Valid until
    // the next fill.
    std::string_view Field(int row, int field) const;

  private:
    // Where a row's line stands in Text.
    struct TLine {
        std::size_t Begin, End;
    };

    void AddRow(std::size_t begin, std::size_t end);

    // The rows are kept as the body's own text, cut into fields when a field
    // is read, so a row costs the same few bytes however many fields it
    // has: memory stays close to the size of the list.
    std::string Text;
    std::vector<TLine> Lines;
    // Field 0 of every row, kept together so a lookup touches little memory.
    std::vector<std::string> Calls;
    TCallIndex Index;
};

}  // namespace skimby
