// Reading the dates of HTTP reply headers (Date, Last-Modified, Expires).
// Nothing in the program acts on them, so reading is lenient and never
// fails: a text that cannot be read gives 0.
#pragma once

#include <string_view>

namespace skimby {

// A point in time as days since 1899-12-30 00:00 UTC, the fraction being
// the time of day; 0 means "no date".
using TDateTime = double;

// Accepts the three forms HTTP servers use, and loose variants of them:
//   RFC 1123  "Sun, 06 Nov 1994 08:49:37 GMT"
//   RFC 850   "Sunday, 06-Nov-94 08:49:37 GMT"
//   asctime   "Sun Nov  6 08:49:37 1994"
// The weekday is ignored, two-digit years below 50 are 20xx, zones may be
// GMT, UT, UTC, Z, the North American names or a "+hhmm"/"-hhmm" offset.
TDateTime ParseHttpDate(std::string_view text);

}  // namespace skimby
