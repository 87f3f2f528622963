// The command line of skimby-practice.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "practice-server/PracticeServer.h"

namespace skimby::practice {

struct TPracticeOptions {
    TPracticeConfig Config;
    bool SeedGiven = false;
    bool Quiet = false;
    bool Help = false;
};

// Reads the arguments (without the program name). On a wrong option gives
// none and a message saying what is wrong in error.
std::optional<TPracticeOptions> ParseOptions(const std::vector<std::string_view>& args,
                                             std::string& error);

std::string UsageText();

}  // namespace skimby::practice
