// The process-wide decimal mark of the program's number/text conversions:
// "," while the main window lives, whatever the user's regional settings,
// and the mark that was in force before put back when the window closes.
// The C and C++ locales are not touched.
#pragma once

namespace skimby {

class TDecimalMark {
  public:
    // Remembers the mark in force and sets ",". Setting again while set
    // keeps the first remembered mark.
    void Set();
    // Puts the remembered mark back; does nothing when not set.
    void Restore();

  private:
    bool FSet = false;
    char FSaved = '.';
};

}  // namespace skimby
