// The telnet servers the operator can choose from, read from "telnet.ini":
// one server per line, fields separated by TAB: display name, host, port.
// Further fields are kept and never used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skimby {

class TServerList {
  public:
    // One row of empty fields, as after a file without lines.
    TServerList();

    // Replaces the rows with the file's lines. Raises EFOpenError with the
    // file's full path when it is missing or unreadable; the list then holds
    // one row of empty fields.
    void LoadFromFile(const std::string& fileName);

    // Replaces the rows with the text's lines. A line ends at CR, LF or CR
    // LF; LF CR ends one line and starts an empty one; a NUL ends the text.
    // There is always at least one row.
    void LoadFromText(std::string_view text);

    int RowCount() const { return static_cast<int>(FRows.size()); }
    // The field of a row; a field or row that is not there reads as empty.
    const std::string& Cell(int col, int row) const;

    const std::string& Name(int row) const { return Cell(0, row); }
    const std::string& Host(int row) const { return Cell(1, row); }
    const std::string& Port(int row) const { return Cell(2, row); }

    // The row Connect uses: row 0 after loading, then whatever the selector
    // or the restored selection makes it.
    int ServerRow() const { return FServerRow; }
    void SetServerRow(int row) { FServerRow = row; }

  private:
    std::vector<std::vector<std::string>> FRows;
    int FServerRow = 0;
};

}  // namespace skimby
