// A connection's hold on its platform socket, with the local and peer
// addresses. The socket itself is shared by the threads using it at the
// moment and closed only when the last of them lets go, so a descriptor is
// never closed under a thread that waits on it (nor reused by the next
// socket while it does).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/SocketStack.h"

namespace skimby {

// One open platform socket; closed when destroyed.
class TOsSocket {
  public:
    explicit TOsSocket(TSocketId id) : FId(id) {}
    ~TOsSocket();
    TOsSocket(const TOsSocket&) = delete;
    TOsSocket& operator=(const TOsSocket&) = delete;
    TSocketId Id() const { return FId; }

  private:
    TSocketId FId;
};

class TSocketHandle {
  public:
    bool Held() const { return FSocket != nullptr; }
    TSocketId Handle() const { return FSocket ? FSocket->Id() : InvalidSocket; }
    // The socket for one operation; empty when none is held.
    std::shared_ptr<TOsSocket> Socket() const { return FSocket; }

    void Allocate(TSocketId id) { FSocket = std::make_shared<TOsSocket>(id); }
    // Lets go of the socket (without shutting it down) and forgets the
    // addresses.
    void Reset();
    // Shuts both directions down, which wakes every thread waiting on the
    // socket, then resets the handle.
    void CloseSocket();

    std::string IP;  // local address, dotted
    std::uint16_t Port = 0;
    std::string PeerIP;
    std::uint16_t PeerPort = 0;

  private:
    std::shared_ptr<TOsSocket> FSocket;
};

}  // namespace skimby
