#include "platform/IntegerText.h"

namespace skimby {

namespace {

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Length of a hexadecimal prefix at the start of `text`, 0 when there is none.
std::size_t HexPrefix(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) return 2;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) return 1;
    return 0;
}

}  // namespace

std::optional<std::int32_t> TextToInt(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t prefix = HexPrefix(text);
    const int base = prefix ? 16 : 10;
    text.remove_prefix(prefix);
    if (text.empty()) return std::nullopt;

    // Accumulate the magnitude; one more than INT32_MAX is allowed for the
    // most negative value.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (char c : text) {
        const int d = DigitValue(c, base);
        if (d < 0) return std::nullopt;
        magnitude = magnitude * base + d;
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace skimby
