#include "net/NetComponent.h"

#include <mutex>

#include "net/NetErrors.h"
#include "platform/SocketStack.h"

namespace skimby {

namespace {

std::mutex GStackLock;
int GLiveComponents = 0;

const char* StatusFormat(TNetStatus status) {
    switch (status) {
        case TNetStatus::StatusResolving:
            return "Resolving hostname %s.";
        case TNetStatus::StatusConnecting:
            return "Connecting to %s.";
        case TNetStatus::StatusConnected:
            return "Connected.";
        case TNetStatus::StatusDisconnecting:
            return "Disconnecting from %s.";
        case TNetStatus::StatusDisconnected:
            return "Not connected.";
        case TNetStatus::StatusText:
            return "%s";
    }
    return "";
}

}  // namespace

std::string StatusText(TNetStatus status, const std::string& argument) {
    std::string text = StatusFormat(status);
    std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

TNetComponent::TNetComponent() {
    std::lock_guard lock(GStackLock);
    if (GLiveComponents == 0) {
        switch (TSocketStack::Startup()) {
            case TStackStart::Started:
                break;
            case TStackStart::LibraryNotLoaded:
                throw ESocketLibraryNotLoaded();
            case TStackStart::InitFailed:
                throw ESocketLibraryInitFailed();
        }
    }
    ++GLiveComponents;
}

TNetComponent::~TNetComponent() {
    std::lock_guard lock(GStackLock);
    if (--GLiveComponents == 0) TSocketStack::Cleanup();
}

int TNetComponent::LiveComponents() {
    std::lock_guard lock(GStackLock);
    return GLiveComponents;
}

void TNetComponent::DoStatus(TNetStatus status, const std::string& argument) {
    if (OnStatus) OnStatus(*this, status, StatusText(status, argument));
}

}  // namespace skimby
