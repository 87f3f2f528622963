// The program's two kinds of message box, each a function so tests can put
// a recorder in their place; the real ones wait until the user has answered.
#pragma once

#include <functional>
#include <string>

namespace skimby {

// Shows text (8-bit) in a box titled title (8-bit), with one "OK" button.
using TShowText = std::function<void(const std::string& title, const std::string& text)>;

// The box of an error that escaped a handler: error icon, one "OK" button.
void ShowErrorBox(const std::string& title, const std::string& text);

// A plain message, in the middle of the screen, one "OK" button.
void ShowMessageDialog(const std::string& title, const std::string& text);

}  // namespace skimby
