// What the main window takes from its surroundings. The program's start
// leaves every field at its default; tests put a temporary program folder,
// a silent sound service, recording message boxes and network fakes here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/MessageBoxes.h"
#include "app/NetworkLinks.h"
#include "platform/PlaySound.h"
#include "platform/ProgramFolder.h"
#include "spots/AlertPlayer.h"

namespace skimby {

struct TFormEnvironment {
    // The folder of the program's own file, with a trailing "/".
    std::function<std::string()> ProgramFolder = skimby::ProgramFolder;
    // Titles the message boxes; empty: made from the program's file name.
    std::string ApplicationTitle;
    TSoundService Sound = PlaySoundA;
    TShowText ShowErrorBox = skimby::ShowErrorBox;
    TShowText ShowMessageDialog = skimby::ShowMessageDialog;
    // The network clients. Without them the Connect button is disabled.
    std::unique_ptr<TTelnetLink> Telnet;
    std::unique_ptr<TTextFetcher> Http;
};

}  // namespace skimby
