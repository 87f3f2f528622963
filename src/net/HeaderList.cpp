#include "net/HeaderList.h"

#include "net/AsciiText.h"

namespace skimby {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeftBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

bool IsContinuation(std::string_view line) {
    return !line.empty() && IsBlank(line.front());
}

}  // namespace

std::string_view THeaderList::NameOf(std::string_view line) {
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : line.substr(0, colon);
}

std::ptrdiff_t THeaderList::IndexOfName(std::string_view name) const {
    for (std::size_t i = 0; i < FLines.size(); ++i)
        if (EqualIgnoringCase(NameOf(FLines[i]), name)) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

std::size_t THeaderList::EndOfHeader(std::size_t index) const {
    std::size_t end = index + 1;
    while (end < FLines.size() && IsContinuation(FLines[end])) ++end;
    return end;
}

std::string THeaderList::Value(std::string_view name) const {
    const std::ptrdiff_t found = IndexOfName(name);
    if (found < 0) return {};
    const auto index = static_cast<std::size_t>(found);

    const std::string_view line = FLines[index];
    const std::size_t colon = line.find(':');
    std::string value(colon == std::string_view::npos ? std::string_view()
                                                      : TrimLeftBlanks(line.substr(colon + 1)));
    const std::size_t end = EndOfHeader(index);
    for (std::size_t i = index + 1; i < end; ++i) {
        if (value.empty() || !IsBlank(value.back())) value += ' ';
        value += TrimLeftBlanks(FLines[i]);
    }
    return value;
}

void THeaderList::Remove(std::string_view name) {
    const std::ptrdiff_t found = IndexOfName(name);
    if (found < 0) return;
    const auto index = static_cast<std::size_t>(found);
    FLines.erase(FLines.begin() + found,
                 FLines.begin() + static_cast<std::ptrdiff_t>(EndOfHeader(index)));
}

}  // namespace skimby
