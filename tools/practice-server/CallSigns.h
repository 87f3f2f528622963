// Made-up amateur-radio call signs, and the test for what passes as one.
#pragma once

#include <string>
#include <string_view>

#include "practice-server/Random.h"

namespace skimby::practice {

// A call from a common prefix, a district digit and one to three letters,
// such as "DL4ABC", "OH2XK" or "HB9TQ".
std::string RandomCall(TRandom& random);

// A call of the given country prefix ("OH", say).
std::string RandomCallOf(TRandom& random, std::string_view prefix);

// 3 to 15 bytes of letters, digits and "/", with at least one letter and
// one digit. Anything else (spaces, TAB, control bytes) is not taken as
// an operator's call: it would break the lines the call goes into.
bool IsPlausibleCall(std::string_view call);

}  // namespace skimby::practice
