#include "platform/ProgramFolder.h"

#include <unistd.h>

#include <climits>

namespace skimby {

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    const std::string file(path, static_cast<std::size_t>(n));
    return file.substr(0, file.rfind('/') + 1);
}

}  // namespace skimby
