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
    Index.clear();
    for (;;) {
        const std::size_t end = body.find("\r\n");
        if (end == std::string_view::npos) break;
        AddRow(body.substr(0, end));
        body.remove_prefix(end + 2);
    }
    AddRow(body);
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
    const int number = RowCount();
    // Later rows overwrite earlier ones: the last row with a call wins.
    Index.insert_or_assign(row.front(), number);
    Rows.push_back(std::move(row));
}

std::optional<int> TMemberTable::LookupMember(std::string_view call) const {
    const auto found = Index.find(call);
    if (found == Index.end()) return std::nullopt;
    return found->second;
}

const std::string& TMemberTable::Field(int row, int field) const {
    const TRow& fields = Rows.at(static_cast<std::size_t>(row));
    if (field < 0 || static_cast<std::size_t>(field) >= fields.size()) return EmptyField;
    return fields[static_cast<std::size_t>(field)];
}

}  // namespace skimby
