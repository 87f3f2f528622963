// The texts of the program's message boxes. Plain C++, so the rules are
// tested without a window.
#pragma once

#include <string>
#include <string_view>

namespace skimby {

// An error's message as its box shows it: "." appended when the message is
// not empty and its last byte comes after "." in byte order. So letters and
// digits get one, while a message that ends with ".", "!", ")" or a quote
// keeps its end.
std::string ErrorBoxText(std::string_view message);

// The title of every message box: the program file's name up to its first
// ".", every letter after the first in lower case ("Skimby.exe" gives
// "Skimby", "SKIMBY" gives "Skimby").
std::string ApplicationTitle(std::string_view programFileName);

}  // namespace skimby
