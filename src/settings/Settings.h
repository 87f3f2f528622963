// Loading the server list and the settings at start-up, and saving the
// settings when the main window closes.
#pragma once

#include <string>

#include "settings/ServerList.h"
#include "settings/SettingsWindow.h"

namespace skimby {

// The window's place and size when nothing else is known, and what a
// maximised window is saved as: 392 by 480 at the right edge of the primary
// screen, one pixel below its top.
constexpr int DefaultWidth = 392;
constexpr int DefaultHeight = 480;
constexpr int DefaultTop = 1;
inline int DefaultLeft(int primaryScreenWidth) {
    return primaryScreenWidth - DefaultWidth;
}

// Reads "telnet.ini" from the program folder (a trailing "/" included) into
// `servers`, then the settings file, and applies both to the window: call
// sign, geometry, always-on-top flag, box and style, selector items and the
// selection, which also picks the server row. A missing or unreadable
// "telnet.ini" raises EFOpenError before anything else is read or applied.
void LoadSettings(TSettingsWindow& window, TServerList& servers, const std::string& programFolder,
                  const std::string& settingsFile);

// Writes the selection, the call sign, the geometry (the default geometry
// for a maximised window) and the always-on-top flag, key by key. The first
// key that cannot be written raises EIniFileException; the keys before it
// stay written.
void SaveSettings(const TSettingsWindow& window, const std::string& settingsFile);

}  // namespace skimby
