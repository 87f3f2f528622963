#include "platform/NumberText.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace skimby {

namespace {
std::atomic<char> Mark{'.'};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
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

    // Copy into a plain "[-]digits[.digits][e[-]digits]" form for from_chars,
    // checking the shape on the way.
    char buf[128];
    std::size_t len = 0;
    auto put = [&](char c) {
        if (len >= sizeof buf) return false;
        buf[len++] = c;
        return true;
    };
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-' && !put('-')) return std::nullopt;
        ++i;
    }
    bool digits = false, seenMark = false;
    for (; i < n && (IsDigit(text[i]) || text[i] == mark); ++i) {
        if (text[i] == mark) {
            if (seenMark) return std::nullopt;
            seenMark = true;
            if (!put('.')) return std::nullopt;
        } else {
            digits = true;
            if (!put(text[i])) return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (!put('e')) return std::nullopt;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            if (text[i] == '-' && !put('-')) return std::nullopt;
            ++i;
        }
        bool expDigits = false;
        for (; i < n && IsDigit(text[i]); ++i) {
            expDigits = true;
            if (!put(text[i])) return std::nullopt;
        }
        if (!expDigits) return std::nullopt;
    }
    if (i != n) return std::nullopt;

    double value = 0;
    auto [end, ec] = std::from_chars(buf, buf + len, value);
    if (ec != std::errc() || end != buf + len || !std::isfinite(value)) return std::nullopt;
    return value;
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
