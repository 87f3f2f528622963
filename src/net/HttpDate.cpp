#include "net/HttpDate.h"

#include <array>
#include <cstdint>
#include <optional>

#include "net/AsciiText.h"

namespace skimby {

namespace {

struct TToken {
    std::string_view Text;
    char SignBefore = 0;  // '+' or '-' written directly before the token
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

bool AllLetters(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!IsLetter(c)) return false;
    return true;
}

// Digits only, at most `maxDigits` of them.
std::optional<int> SmallNumber(std::string_view text, std::size_t maxDigits) {
    if (!AllDigits(text) || text.size() > maxDigits) return std::nullopt;
    int value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

// Cuts the text at blanks, commas, "-" and "+"; a "-" or "+" is remembered
// as the sign of the token it stands before.
template <std::size_t N>
std::size_t Tokenize(std::string_view text, std::array<TToken, N>& tokens) {
    std::size_t count = 0;
    char sign = 0;
    std::size_t i = 0;
    while (i < text.size() && count < N) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '-' || c == '+') {
            sign = (c == '-' || c == '+') ? c : 0;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != ',' &&
               text[end] != '-' && text[end] != '+')
            ++end;
        tokens[count++] = TToken{text.substr(i, end - i), sign};
        sign = 0;
        i = end;
    }
    return count;
}

std::optional<int> MonthOf(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (name.size() < 3) return std::nullopt;
    for (std::size_t m = 0; m < kMonths.size(); ++m)
        if (EqualIgnoringCase(name.substr(0, 3), kMonths[m])) return static_cast<int>(m) + 1;
    return std::nullopt;
}

// Offset from UTC in minutes of a zone name, if it is one.
std::optional<int> ZoneOffsetOf(std::string_view name) {
    struct TZone {
        std::string_view Name;
        int Minutes;
    };
    static constexpr std::array<TZone, 12> kZones = {{{"GMT", 0},
                                                      {"UT", 0},
                                                      {"UTC", 0},
                                                      {"Z", 0},
                                                      {"EST", -300},
                                                      {"EDT", -240},
                                                      {"CST", -360},
                                                      {"CDT", -300},
                                                      {"MST", -420},
                                                      {"MDT", -360},
                                                      {"PST", -480},
                                                      {"PDT", -420}}};
    for (const TZone& zone : kZones)
        if (EqualIgnoringCase(name, zone.Name)) return zone.Minutes;
    return std::nullopt;
}

// "hh:mm" or "hh:mm:ss" as seconds of the day.
std::optional<int> TimeOfDay(std::string_view text) {
    int fields[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        const std::size_t colon = text.find(':');
        const std::optional<int> value = SmallNumber(text.substr(0, colon), 2);
        if (!value) return std::nullopt;
        fields[count++] = *value;
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    if (count < 2 || fields[0] > 23 || fields[1] > 59 || fields[2] > 60) return std::nullopt;
    const int seconds = fields[2] == 60 ? 59 : fields[2];  // a leap second
    return fields[0] * 3600 + fields[1] * 60 + seconds;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = static_cast<int>(year - era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct TDateFields {
    std::optional<int> Day, Month, Year, Seconds, ZoneMinutes;
    bool BadTime = false;
};

void ReadNumber(const TToken& token, TDateFields& date) {
    // "+hhmm" / "-hhmm" after the time is a zone offset.
    if (token.SignBefore && date.Seconds && token.Text.size() == 4 && !date.ZoneMinutes) {
        const std::optional<int> hhmm = SmallNumber(token.Text, 4);
        if (hhmm && *hhmm % 100 < 60) {
            const int minutes = *hhmm / 100 * 60 + *hhmm % 100;
            date.ZoneMinutes = token.SignBefore == '-' ? -minutes : minutes;
            return;
        }
    }
    if (!date.Day && token.Text.size() <= 2) {
        date.Day = SmallNumber(token.Text, 2);
        return;
    }
    if (!date.Year) {
        const std::optional<int> year = SmallNumber(token.Text, 4);
        if (!year) return;
        if (token.Text.size() <= 2)
            date.Year = *year < 50 ? 2000 + *year : 1900 + *year;
        else if (token.Text.size() == 3)
            date.Year = 1900 + *year;
        else
            date.Year = year;
    }
}

void ReadToken(const TToken& token, TDateFields& date) {
    const std::string_view text = token.Text;
    if (text.find(':') != std::string_view::npos) {
        if (!date.Seconds && !date.BadTime) {
            date.Seconds = TimeOfDay(text);
            date.BadTime = !date.Seconds;
        }
    } else if (AllDigits(text)) {
        ReadNumber(token, date);
    } else if (AllLetters(text)) {
        if (!date.Month && text.size() >= 3 && MonthOf(text)) {
            date.Month = MonthOf(text);
        } else if (!date.ZoneMinutes) {
            date.ZoneMinutes = ZoneOffsetOf(text);
        }
    }
}

}  // namespace

TDateTime ParseHttpDate(std::string_view text) {
    std::array<TToken, 16> tokens;
    const std::size_t count = Tokenize(text, tokens);
    TDateFields date;
    for (std::size_t i = 0; i < count; ++i) ReadToken(tokens[i], date);

    if (!date.Day || !date.Month || !date.Year || date.BadTime) return 0;
    if (*date.Year < 1601 || *date.Day < 1 || *date.Day > DaysInMonth(*date.Year, *date.Month))
        return 0;

    // 1899-12-30 is day -25569 counted from 1970-01-01.
    constexpr std::int64_t kEpochOffset = 25569;
    const std::int64_t days = DaysFromCivil(*date.Year, *date.Month, *date.Day) + kEpochOffset;
    const int seconds = date.Seconds.value_or(0) - date.ZoneMinutes.value_or(0) * 60;
    return static_cast<double>(days) + seconds / 86400.0;
}

}  // namespace skimby
