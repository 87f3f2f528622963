#include "net/SocketHandle.h"

namespace skimby {

TOsSocket::~TOsSocket() {
    TSocketStack::CloseSocket(FId);
}

void TSocketHandle::Reset() {
    FSocket.reset();
    IP.clear();
    Port = 0;
    PeerIP.clear();
    PeerPort = 0;
}

void TSocketHandle::CloseSocket() {
    if (FSocket) TSocketStack::Shutdown(FSocket->Id(), TShutdownHow::Both);
    Reset();
}

}  // namespace skimby
