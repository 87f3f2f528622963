// The program's own conversions between numbers and text. They use one
// process-wide decimal mark instead of the C or C++ locale, so setting the
// mark never changes how any library formats numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skimby {

char DecimalSeparator();
void SetDecimalSeparator(char mark);

// Reads a floating-point number: leading and trailing spaces, an optional
// sign, digits with at most one decimal mark, an optional exponent; nothing
// else, of any length. A value too small for a double reads as 0; text that
// does not fit the shape, or a value too large for a double, gives no value.
std::optional<double> TextToFloat(std::string_view text);

// Writes the shortest form with at most 15 significant digits, using the
// decimal mark and no thousands separators; exponent form (such as 1E15 or
// 1,5E-5) only for magnitudes of 10^15 and above or below 0.0001.
std::string FloatToText(double value);

}  // namespace skimby
