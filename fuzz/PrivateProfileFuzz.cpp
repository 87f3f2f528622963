// The settings file's reader and writer on arbitrary file contents. The
// first piece of the input is the file's text, a second piece (if any) a
// value to write. Besides the sanitizers' checks: writing a key gives that
// key back when read, and leaves every other key of the settings as it was
// (a write must lose no key).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "platform/IntegerText.h"
#include "platform/PrivateProfile.h"

namespace {

using namespace skimby;

struct TKey {
    const char* Section;
    const char* Key;
};

constexpr TKey Keys[] = {{"Telnet", "Servnr"}, {"Telnet", "MyCall"}, {"Form", "W"},
                         {"Form", "H"},        {"Form", "Left"},     {"Form", "Top"},
                         {"Form", "OnTop"}};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// What reading gives for a value that was written: one line, without the
// blanks around it and one pair of quotes, at most MaxProfileValue bytes.
std::string ReadBack(std::string_view v) {
    v = v.substr(0, v.find_first_of(std::string_view("\r\n\0", 3)));
    while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
    while (!v.empty() && IsBlank(v.back())) v.remove_suffix(1);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v.substr(0, MaxProfileValue));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> pieces = fuzz::Pieces(data, size);
    const std::string_view text = pieces[0];
    const std::string_view value = pieces.size() > 1 ? pieces[1] : std::string_view("DL9ABC");

    std::optional<std::string> before[std::size(Keys)];
    for (std::size_t i = 0; i < std::size(Keys); ++i) {
        before[i] = FindProfileValue(text, Keys[i].Section, Keys[i].Key);
        if (before[i]) (void)TextToInt(*before[i]);
    }

    // Write each key in turn into the original text.
    for (std::size_t w = 0; w < std::size(Keys); ++w) {
        const std::string after = SetProfileValue(text, Keys[w].Section, Keys[w].Key, value);
        for (std::size_t i = 0; i < std::size(Keys); ++i) {
            const std::optional<std::string> read =
                FindProfileValue(after, Keys[i].Section, Keys[i].Key);
            if (i == w) {
                if (read != ReadBack(value)) fuzz::Broken("a written key does not read back");
            } else if (!(std::string_view(Keys[i].Section) == Keys[w].Section &&
                         std::string_view(Keys[i].Key) == Keys[w].Key) &&
                       read != before[i]) {
                fuzz::Broken("a write changed another key");
            }
        }
    }
    return 0;
}
