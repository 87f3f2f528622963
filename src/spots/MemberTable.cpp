#include "spots/MemberTable.h"

namespace skimby {

TMemberTable::TMemberTable() {
    FillMemberTable({});
}

void TMemberTable::FillMemberTable(std::string_view body) {
    Text.assign(body);
    Lines.clear();
    Calls.clear();
    const std::string_view text = Text;
    for (std::size_t begin = 0;;) {
        const std::size_t end = text.find("\r\n", begin);
        if (end == std::string_view::npos) {
            AddRow(begin, text.size());
            break;
        }
        AddRow(begin, end);
        begin = end + 2;
        if (Lines.size() == MaxRows) break;
    }
    Index.Build(Calls);
}

void TMemberTable::AddRow(std::size_t begin, std::size_t end) {
    Lines.push_back({begin, end});
    Calls.emplace_back(Field(static_cast<int>(Lines.size() - 1), mfCall));
}

std::optional<int> TMemberTable::LookupMember(std::string_view call) const {
    // The index keeps the last row of each call, as a scan would find.
    return Index.Find(call, Calls);
}

std::string_view TMemberTable::Field(int row, int field) const {
    const TLine& line = Lines.at(static_cast<std::size_t>(row));
    std::string_view rest = std::string_view(Text).substr(line.Begin, line.End - line.Begin);
    if (field < 0) return {};
    for (int f = 0; f < field; ++f) {
        const std::size_t tab = rest.find('\t');
        if (tab == std::string_view::npos) return {};
        rest.remove_prefix(tab + 1);
    }
    return rest.substr(0, rest.find('\t'));
}

}  // namespace skimby
