// Where the running program's own file lives.
#pragma once

#include <string>

namespace skimby {

// The folder of the running executable, with a trailing "/". Files that ship
// with the program ("telnet.ini", "x.wav") are found there whatever the
// current directory. Empty when the system cannot tell.
std::string ProgramFolder();

}  // namespace skimby
