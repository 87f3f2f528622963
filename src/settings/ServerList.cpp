#include "settings/ServerList.h"

#include "platform/FileText.h"

namespace skimby {

namespace {

const std::string Empty;

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.emplace_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

}  // namespace

TServerList::TServerList() : FRows(1) {}

void TServerList::LoadFromFile(const std::string& fileName) {
    FRows.assign(1, {});
    FServerRow = 0;
    LoadFromText(ReadFileText(fileName));
}

void TServerList::LoadFromText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    FRows.clear();
    FServerRow = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        FRows.push_back(SplitFields(text.substr(pos, end - pos)));
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    }
    if (FRows.empty()) FRows.emplace_back();
}

const std::string& TServerList::Cell(int col, int row) const {
    if (row < 0 || row >= RowCount() || col < 0) return Empty;
    const auto& fields = FRows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(col) < fields.size() ? fields[static_cast<std::size_t>(col)]
                                                         : Empty;
}

}  // namespace skimby
