#include "platform/PrivateProfile.h"

#include "platform/FileText.h"

namespace skimby {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// One line of the text: its content runs from `begin` to `end` (without the
// line end), the next line starts at `next`.
struct TLine {
    std::size_t begin, end, next;
};

TLine LineAt(std::string_view text, std::size_t begin) {
    const std::size_t lf = text.find('\n', begin);
    // The last line may end in a CR whose LF never came (a file cut short):
    // that CR is a line end as well, so the line reads the same whether or
    // not more lines follow it.
    const std::size_t stop = lf == std::string_view::npos ? text.size() : lf;
    const std::size_t end = (stop > begin && text[stop - 1] == '\r') ? stop - 1 : stop;
    return {begin, end, lf == std::string_view::npos ? text.size() : lf + 1};
}

enum class TKind { Other, Section, Key };

// What a line is, with the section's or key's name and the key's raw value.
struct TParsed {
    TKind kind = TKind::Other;
    std::string_view name, value;
};

TParsed Parse(std::string_view content) {
    const std::string_view t = Trim(content);
    if (t.empty() || t.front() == ';') return {};
    if (t.front() == '[') {
        const std::size_t close = t.find(']');
        return {TKind::Section,
                Trim(t.substr(1, close == std::string_view::npos ? close : close - 1)),
                {}};
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos || Trim(t.substr(0, eq)).empty()) return {};
    return {TKind::Key, Trim(t.substr(0, eq)), t.substr(eq + 1)};
}

std::string CleanValue(std::string_view raw) {
    std::string_view v = Trim(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v.substr(0, MaxProfileValue));
}

// Where a section and a key stand in the text. `sectionFound` and `keyFound`
// tell which were found; `key` is the key's line, `lastKey` the section's
// last key line, or its header when it has no key.
struct TPlace {
    bool sectionFound = false, keyFound = false;
    TLine key{}, lastKey{};
};

// Where the profile's lines start: after a UTF-8 byte-order mark, which
// editors may put before the first line. The mark is not part of the first
// section's name, and a rewrite keeps it.
std::size_t FirstLine(std::string_view text) {
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    return text.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0;
}

TPlace Locate(std::string_view text, std::string_view section, std::string_view key) {
    TPlace place;
    bool inSection = false;
    for (std::size_t pos = FirstLine(text); pos < text.size();) {
        const TLine line = LineAt(text, pos);
        pos = line.next;
        const TParsed p = Parse(text.substr(line.begin, line.end - line.begin));
        if (p.kind == TKind::Section) {
            if (place.sectionFound) break;  // only the first matching section counts
            inSection = SameName(p.name, section);
            if (inSection) {
                place.sectionFound = true;
                place.lastKey = line;
            }
        } else if (p.kind == TKind::Key && inSection) {
            place.lastKey = line;
            if (SameName(p.name, key)) {
                place.keyFound = true;
                place.key = line;
                break;
            }
        }
    }
    return place;
}

std::string_view LineEndOf(std::string_view text) {
    const std::size_t lf = text.find('\n');
    return (lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r') ? "\r\n" : "\n";
}

// What ends the text's last line before a line is added after it: nothing
// when it has its line end, the LF when it stops after its CR, and the
// file's line end otherwise.
std::string_view LastLineEnd(std::string_view text, std::string_view le) {
    if (text.ends_with('\n')) return {};
    return text.ends_with('\r') ? "\n" : le;
}

std::string_view OneLine(std::string_view value) {
    return value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    const TPlace place = Locate(text, section, key);
    if (!place.keyFound) return std::nullopt;
    const std::string_view content = text.substr(place.key.begin, place.key.end - place.key.begin);
    return CleanValue(Parse(content).value);
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::string_view le = LineEndOf(text);
    const std::string keyLine = std::string(key) + "=" + std::string(OneLine(value));
    const TPlace place = Locate(text, section, key);
    std::string out;
    out.reserve(text.size() + keyLine.size() + section.size() + 8);
    if (place.keyFound) {
        out.append(text.substr(0, place.key.begin)).append(keyLine);
        out.append(text.substr(place.key.end));
    } else if (place.sectionFound) {
        const std::size_t at = place.lastKey.next;
        out.append(text.substr(0, at));
        if (at == text.size()) out.append(LastLineEnd(text, le));
        out.append(keyLine).append(le).append(text.substr(at));
    } else {
        out.append(text);
        if (text.size() > FirstLine(text)) out.append(LastLineEnd(text, le));
        out.append("[").append(section).append("]").append(le).append(keyLine).append(le);
    }
    return out;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view def, const std::string& fileName) {
    std::string text;
    if (ReadWholeFile(fileName, text) != TReadResult::Ok) return std::string(def);
    return FindProfileValue(text, section, key).value_or(std::string(def));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& fileName) {
    // Another copy of the program writing at the same time waits here, so
    // that it reads this write's result instead of overwriting it.
    const TFileLock lock(fileName);
    // A file that exists but cannot be read is not replaced: rewriting it
    // from nothing would lose everything else it holds.
    std::string text;
    if (ReadWholeFile(fileName, text) == TReadResult::Failed) return false;
    return WriteFileAtomically(fileName, SetProfileValue(text, section, key, value));
}

}  // namespace skimby
