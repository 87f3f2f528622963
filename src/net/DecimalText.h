// Reading the decimal numbers of URLs and HTTP headers: an optional "+" or
// "-" followed by decimal digits, nothing before or after. Anything else,
// or a value out of range, gives no value.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace skimby {

std::optional<std::int64_t> DecimalToInt64(std::string_view text);

// The same, limited to the signed 32-bit range.
std::optional<std::int32_t> DecimalToInt(std::string_view text);

}  // namespace skimby
