// Reading whole numbers from text the way the program's settings and port
// numbers are written by hand.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace skimby {

// Optional leading spaces, an optional "+" or "-", then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may follow,
// and the value must fit a signed 32-bit integer; otherwise no value.
std::optional<std::int32_t> TextToInt(std::string_view text);

}  // namespace skimby
