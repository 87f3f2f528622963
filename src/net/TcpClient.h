// The client side of a TCP connection: opens an IPv4 connection to
// Host:Port, reporting "Resolving hostname %s." (for a name),
// "Connecting to %s." and "Connected.", then OnConnected.
#pragma once

#include <cstdint>
#include <string>

#include "net/TcpConnection.h"

namespace skimby {

// Four parts cut at the first three "." (the fourth is the rest), each a
// whole decimal number from 0 to 255.
bool IsDottedQuad(const std::string& text);
// "localhost" in any letter case is 127.0.0.1 without asking the platform, a
// dotted quad is itself, any other name is looked up (its first address).
// A failed lookup raises the socket error of the platform's error number.
std::string LookUpHost(const std::string& name);

class TTcpClient : public TTcpConnection {
  public:
    std::string Host;       // a name, "localhost" or a dotted address
    std::int32_t Port = 0;  // only the low 16 bits are used
    std::string BoundIP;    // empty: any local address
    bool UseNagle = true;   // false: TCP_NODELAY before connecting
    TNotifyEvent OnConnected;

    // Raises EAlreadyConnected when a socket is held, EInvalidSocket when
    // none can be made (no events), ECouldNotBindSocket for a bind error
    // 10048, and ESocketError for any other bind, lookup or connect error;
    // after those the connection is closed again through the overriding
    // Close, with its events, before the error leaves.
    virtual void Open();
};

}  // namespace skimby
