#include "display/NumberTest.h"

#include <cstddef>

namespace skimby {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool IsInteger(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsDigit(s[i]) || (s[i] == '-' && i == 0)) continue;
        return false;
    }
    return true;
}

bool IsDecimal(std::string_view s, char decimal, char thousand) {
    int decimals = 0;
    std::ptrdiff_t lastThousand = -1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (IsDigit(c) || (c == '-' && i == 0)) continue;
        if (c == decimal) {
            if (++decimals > 1) return false;
            continue;
        }
        if (thousand != '\0' && c == thousand) {
            const auto at = static_cast<std::ptrdiff_t>(i);
            if (lastThousand >= 0 && at - lastThousand < 4) return false;
            lastThousand = at;
            continue;
        }
        return false;  // also rejects "E" and "e"
    }
    return true;
}

bool IsExponent(std::string_view s, char decimal, char thousand) {
    int exponents = 0, decimals = 0, minuses = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == 'E' || c == 'e') {
            if (i == 0 || i + 1 == s.size()) return false;
            ++exponents;
        } else if (c == decimal) {
            ++decimals;
        } else if (c == '-') {
            ++minuses;
        } else if (thousand != '\0' && c == thousand) {
            return false;
        } else if (!IsDigit(c) && c != '+') {
            return false;
        }
    }
    const char last = s.back();
    return exponents == 1 && decimals <= 1 && minuses <= 2 && last != '-' && last != '+';
}

}  // namespace

bool IsNumberText(std::string_view text, char decimalSeparator, char thousandSeparator) {
    const std::string_view s = TrimBlanks(text);
    if (s.empty()) return false;
    if (thousandSeparator == decimalSeparator) thousandSeparator = '\0';
    return IsInteger(s) || IsDecimal(s, decimalSeparator, thousandSeparator) ||
           IsExponent(s, decimalSeparator, thousandSeparator);
}

}  // namespace skimby
