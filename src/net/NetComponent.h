// The base of every network component: the status event with its fixed
// texts, and the process-wide socket layer, started with the first live
// component and stopped with the last.
#pragma once

#include <functional>
#include <string>

namespace skimby {

enum class TNetStatus {
    StatusResolving = 0,      // "Resolving hostname %s."  with the host
    StatusConnecting = 1,     // "Connecting to %s."       with the peer address
    StatusConnected = 2,      // "Connected."
    StatusDisconnecting = 3,  // "Disconnecting from %s."  with the peer address
    StatusDisconnected = 4,   // "Not connected."
    StatusText = 5,           // "%s"                      with a free text
};

// The status's format filled with its one argument ("%s" replaced).
std::string StatusText(TNetStatus status, const std::string& argument);

class TNetComponent;

using TNetStatusEvent = std::function<void(TNetComponent& axSender, TNetStatus axStatus,
                                           const std::string& asStatusText)>;
using TNotifyEvent = std::function<void(TNetComponent& sender)>;

class TNetComponent {
  public:
    // Starting the socket layer can fail with ESocketLibraryNotLoaded or
    // ESocketLibraryInitFailed; the component is then not created.
    TNetComponent();
    virtual ~TNetComponent();
    TNetComponent(const TNetComponent&) = delete;
    TNetComponent& operator=(const TNetComponent&) = delete;

    TNetStatusEvent OnStatus;

    // How many network components are alive (the socket layer runs while
    // there is one).
    static int LiveComponents();

  protected:
    // Formats the text and calls OnStatus, only when a handler is assigned.
    void DoStatus(TNetStatus status, const std::string& argument);
};

}  // namespace skimby
