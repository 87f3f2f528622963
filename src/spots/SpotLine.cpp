#include "spots/SpotLine.h"

#include "platform/NumberText.h"

namespace skimby {

namespace {

constexpr std::string_view SpotPrefix = "DX de ";

// Spaces and control bytes; bytes above 127 are text.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

void TrimBlanks(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    rest.remove_prefix(i);
}

// The text before the first space, moving rest past that space. Without a
// space the word is empty and rest stays as it is.
std::string_view TakeWord(std::string_view& rest) {
    const std::size_t space = rest.find(' ');
    if (space == std::string_view::npos) return {};
    const std::string_view word = rest.substr(0, space);
    rest.remove_prefix(space + 1);
    return word;
}

// What is left after the call: a "CW" mode loses the three bytes after it
// (the padding of its column) and the first run of four spaces shrinks to
// nothing, so the fields read closer together.
void EditInfo(std::string_view rest, std::string& info) {
    info.clear();
    if (rest.starts_with("CW")) {
        info.append("CW");
        rest.remove_prefix(rest.size() < 5 ? rest.size() : 5);
    }
    const std::size_t run = rest.find("    ");
    if (run == std::string_view::npos) {
        info.append(rest);
    } else {
        info.append(rest.substr(0, run));
        info.append(rest.substr(run + 4));
    }
}

}  // namespace

bool IsSpotLine(std::string_view line) {
    return line.starts_with(SpotPrefix);
}

bool FrequencyText(std::string_view received, std::string& out) {
    // The cluster writes "." as its decimal point; only the first one is
    // taken as the mark, so "1.296.000" stays malformed.
    std::string text(received);
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos) text[dot] = ',';
    const auto value = TextToFloat(text);
    if (!value) return false;
    out = FloatToText(*value);
    if (out.find(',') == std::string::npos) out.append(",0");
    return true;
}

bool ParseSpotLine(std::string_view line, TSpot& spot) {
    std::string_view rest =
        line.substr(SpotPrefix.size() < line.size() ? SpotPrefix.size() : line.size());
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) {
        spot.Spotter.clear();
    } else {
        spot.Spotter.assign(rest.substr(0, colon));
        rest.remove_prefix(colon + 1);
    }
    TrimBlanks(rest);
    if (!FrequencyText(TakeWord(rest), spot.Frequency)) return false;
    TrimBlanks(rest);
    spot.Call.assign(TakeWord(rest));
    TrimBlanks(rest);
    EditInfo(rest, spot.Info);
    return true;
}

}  // namespace skimby
