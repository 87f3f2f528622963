// What the main window takes from its surroundings. The program's start
// keeps the defaults and plugs in the network clients; tests put a
// temporary program folder, a silent sound service, recording message
// boxes, network fakes or clients and their own member-data server here.
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

// The member-data web server fixed when the program was built: a host name
// or host:port.
std::string BuiltInMemberHost();

struct TFormEnvironment {
    // The folder of the program's own file, with a trailing "/".
    std::function<std::string()> ProgramFolder = skimby::ProgramFolder;
    // Titles the message boxes; empty: made from the program's file name.
    std::string ApplicationTitle;
    TSoundService Sound = PlaySoundA;
    TShowText ShowErrorBox = skimby::ShowErrorBox;
    TShowText ShowMessageDialog = skimby::ShowMessageDialog;
    // The member-data web server the member list is fetched from.
    std::string MemberHost = BuiltInMemberHost();
    // The network clients. Without them the Connect button is disabled.
    std::unique_ptr<TTelnetLink> Telnet;
    std::unique_ptr<TTextFetcher> Http;
};

}  // namespace skimby
