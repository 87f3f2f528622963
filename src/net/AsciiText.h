// Case rules of the protocols' own words (header names, schemes, host
// names, month and zone names): ASCII letters only, whatever the locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace skimby {

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

}  // namespace skimby
