// An ordered list of header lines ("Name: value"), duplicates allowed, with
// lookup of a name ignoring letter case and values continued on following
// lines that begin with a space or TAB.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skimby {

class THeaderList {
  public:
    void Add(std::string line) { FLines.push_back(std::move(line)); }
    void Clear() { FLines.clear(); }

    std::size_t Count() const { return FLines.size(); }
    bool Empty() const { return FLines.empty(); }
    const std::string& operator[](std::size_t index) const { return FLines[index]; }
    const std::vector<std::string>& Lines() const { return FLines; }

    // The name of a line: the text before its first ":", untrimmed; empty
    // for a line without ":".
    static std::string_view NameOf(std::string_view line);

    // Index of the first line whose name equals `name` ignoring letter
    // case, or -1.
    std::ptrdiff_t IndexOfName(std::string_view name) const;

    // The value of the first line named `name`, its continuation lines
    // joined on; empty when there is no such line.
    std::string Value(std::string_view name) const;

    // Removes the first line named `name` and its continuation lines.
    void Remove(std::string_view name);

  private:
    // One past the last continuation line of the line at `index`.
    std::size_t EndOfHeader(std::size_t index) const;

    std::vector<std::string> FLines;
};

}  // namespace skimby
