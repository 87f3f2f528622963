#include "spots/MemberTable.h"

namespace skimby {

namespace {
const std::string EmptyField;
}

TMemberTable::TMemberTable() {
    FillMemberTable({});
}

void TMemberTable::FillMemberTable(std::string_view body) {
    Rows.clear();
    Calls.clear();
    for (;;) {
        const std::size_t end = body.find("\r\n");
        if (end == std::string_view::npos) break;
        AddRow(body.substr(0, end));
        body.remove_prefix(end + 2);
    }
    AddRow(body);
    Index.Build(Calls);
}

void TMemberTable::AddRow(std::string_view line) {
    TRow row;
    for (;;) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        row.emplace_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    row.emplace_back(line);
    Calls.push_back(row.front());
    Rows.push_back(std::move(row));
}

std::optional<int> TMemberTable::LookupMember(std::string_view call) const {
    // The index keeps the last row of each call, as a scan would find.
    return Index.Find(call, Calls);
}

const std::string& TMemberTable::Field(int row, int field) const {
    const TRow& fields = Rows.at(static_cast<std::size_t>(row));
    if (field < 0 || static_cast<std::size_t>(field) >= fields.size()) return EmptyField;
    return fields[static_cast<std::size_t>(field)];
}

}  // namespace skimby
