// Where the settings file lives. Decided once at start-up; reading and
// writing then use the same file.
#pragma once

#include <string>

namespace skimby {

// "Skimby.ini" in the program folder (given with its trailing "/") when a
// file can be created there. Otherwise, for a program installed where its
// user cannot write, $XDG_CONFIG_HOME/skimby/Skimby.ini, or
// ~/.config/skimby/Skimby.ini when that variable is unset, empty or not an
// absolute path; that folder is created when missing.
std::string SettingsFileName(const std::string& programFolder);

}  // namespace skimby
