// The server list's reader on arbitrary file contents. Besides the
// sanitizers' checks: there is always a row, no field holds a line end, a
// TAB or a NUL, and the rows are the text's lines.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "settings/ServerList.h"

using namespace skimby;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TServerList list;
    list.LoadFromText(text);
    if (list.RowCount() < 1) fuzz::Broken("no row");
    if (list.ServerRow() != 0) fuzz::Broken("server row not reset");

    // A line ends at CR, LF or CR LF; a NUL ends the text; the last line
    // needs no line end.
    const std::string_view used = text.substr(0, text.find('\0'));
    std::size_t lines = 0;
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i] == '\r' || (used[i] == '\n' && (i == 0 || used[i - 1] != '\r'))) ++lines;
    }
    if (!used.empty() && used.back() != '\r' && used.back() != '\n') ++lines;
    if (static_cast<std::size_t>(list.RowCount()) != std::max<std::size_t>(lines, 1))
        fuzz::Broken("rows are not the lines");

    std::size_t fieldBytes = 0;
    for (int row = 0; row < list.RowCount(); ++row) {
        for (int col = 0; col < 256; ++col) {
            const std::string& field = list.Cell(col, row);
            if (field.find_first_of(std::string_view("\r\n\t\0", 4)) != std::string::npos)
                fuzz::Broken("a field holds a separator");
            fieldBytes += field.size();
        }
    }
    if (fieldBytes > used.size()) fuzz::Broken("more field bytes than text");
    (void)list.Name(-1);
    (void)list.Host(list.RowCount());
    return 0;
}
