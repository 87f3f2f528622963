#include "platform/NumberText.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace skimby {

namespace {
std::atomic<char> Mark{'.'};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// For a number that does not fit a double: whether it is too small (it then
// reads as 0) rather than too large. That is when its first digit that is
// not 0 stands below the units place once the exponent is applied. The
// exponent saturates: no text can shift it back from a billion places.
bool TooSmallForADouble(std::string_view mantissa, char mark, std::string_view exponent,
                        bool exponentNegative) {
    constexpr std::int64_t Saturated = 1000000000;
    std::int64_t shift = 0;
    for (const char c : exponent) shift = std::min(shift * 10 + (c - '0'), Saturated);
    if (exponentNegative) shift = -shift;

    const std::size_t markAt = std::min(mantissa.find(mark), mantissa.size());
    const std::size_t first = mantissa.find_first_not_of(std::string{'0', mark});
    if (first == std::string_view::npos) return true;  // all zeros: the value is 0
    // The place of the first significant digit: 0 for units, -1 for tenths.
    const std::int64_t place =
        first < markAt ? static_cast<std::int64_t>(markAt - first) - 1
                       : static_cast<std::int64_t>(markAt) - static_cast<std::int64_t>(first);
    return place + shift < 0;
}
}  // namespace

char DecimalSeparator() {
    return Mark.load(std::memory_order_relaxed);
}
void SetDecimalSeparator(char mark) {
    Mark.store(mark, std::memory_order_relaxed);
}

std::optional<double> TextToFloat(std::string_view text) {
    const char mark = DecimalSeparator();
    std::size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;

    // Check the shape: [sign] digits with at most one mark [e [sign] digits].
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t mantissaBegin = i;
    bool digits = false, seenMark = false;
    for (; i < n && (IsDigit(text[i]) || text[i] == mark); ++i) {
        if (text[i] == mark) {
            if (seenMark) return std::nullopt;
            seenMark = true;
        } else {
            digits = true;
        }
    }
    if (!digits) return std::nullopt;
    const std::string_view mantissa = text.substr(mantissaBegin, i - mantissaBegin);
    std::string_view exponent;  // its digits; the sign is kept apart
    bool exponentNegative = false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) exponentNegative = text[i++] == '-';
        const std::size_t begin = i;
        while (i < n && IsDigit(text[i])) ++i;
        if (i == begin) return std::nullopt;
        exponent = text.substr(begin, i - begin);
    }
    if (i != n) return std::nullopt;

    // from_chars reads "[-]digits[.digits][e[-]digits]" of any length.
    std::string plain;
    if (negative) plain += '-';
    for (const char c : mantissa) plain += c == mark ? '.' : c;
    if (!exponent.empty()) {
        plain += exponentNegative ? "e-" : "e";
        plain.append(exponent);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc() && end == plain.data() + plain.size() && std::isfinite(value))
        return value;
    if (ec == std::errc::result_out_of_range &&
        TooSmallForADouble(mantissa, mark, exponent, exponentNegative))
        return negative ? -0.0 : 0.0;
    return std::nullopt;
}

std::string FloatToText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";

    // Round to 15 significant digits: d.dddddddddddddde[+-]xx.
    char sci[40];
    auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14);
    std::string_view s(sci, res.ptr - sci);
    std::string out;
    if (s.front() == '-') {
        out += '-';
        s.remove_prefix(1);
    }
    const std::size_t e = s.find('e');
    std::string digits;
    digits += s[0];
    digits.append(s.substr(2, e - 2));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int exponent = std::atoi(std::string(s.substr(e + 1)).c_str());

    const char mark = DecimalSeparator();
    if (exponent >= 15 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += mark;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += '0';
        out += mark;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
        out += digits;
        out.append(whole - digits.size(), '0');
    } else {
        out.append(digits, 0, whole);
        out += mark;
        out.append(digits, whole);
    }
    return out;
}

}  // namespace skimby
