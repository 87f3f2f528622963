#include "settings/SettingsLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/FileText.h"

namespace skimby {

namespace {

// The folder without trailing "/", so that names joined to it have one "/".
std::string WithoutTrailingSlash(std::string folder) {
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home;
    const passwd* pw = getpwuid(getuid());
    return pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
}

std::string ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return WithoutTrailingSlash(xdg);
    return WithoutTrailingSlash(HomeFolder()) + "/.config";
}

}  // namespace

std::string SettingsFileName(const std::string& programFolder) {
    if (CanCreateFileIn(programFolder)) return programFolder + "Skimby.ini";
    const std::string folder = ConfigFolder() + "/skimby";
    // When the folder cannot be made either, writing the file reports it.
    ForceFolders(folder);
    return folder + "/Skimby.ini";
}

}  // namespace skimby
