// Decides whether a cell text reads as a number, which right-aligns it.
#pragma once

#include <string_view>

namespace skimby {

// True for an integer, a decimal number with the given decimal and
// thousands separators, or a number with an exponent. Leading and trailing
// blanks are ignored; an empty text is not a number. A thousands separator
// of '\0' means there is none. Where both separators are the same
// character, the character counts as the decimal separator.
bool IsNumberText(std::string_view text, char decimalSeparator, char thousandSeparator);

}  // namespace skimby
