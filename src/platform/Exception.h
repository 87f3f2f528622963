// Failures are errors carrying a message text (8-bit bytes). Each kind of
// failure has its own class so callers can tell them apart; the message is
// what the user is shown.
#pragma once

#include <stdexcept>
#include <string>

namespace skimby {

class Exception : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
    std::string Message() const { return what(); }
};

// A text that does not convert to the number it should hold.
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

}  // namespace skimby
