#include "net/TcpClient.h"

#include <algorithm>
#include <cctype>

#include "net/NetErrors.h"
#include "platform/SocketStack.h"

namespace skimby {

bool IsDottedQuad(const std::string& text) {
    std::uint32_t address;
    return ParseDottedQuad(text, address);
}

std::string LookUpHost(const std::string& name) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper == "LOCALHOST") return "127.0.0.1";
    if (IsDottedQuad(name)) return name;
    std::string address = TSocketStack::GetHostByName(name);
    if (address.empty()) throw ESocketError(TSocketStack::LastError());
    return address;
}

void TTcpClient::Open() {
    if (SocketHeld()) throw EAlreadyConnected();
    {
        std::lock_guard lock(FSocketLock);
        FSocket.Reset();
    }
    InputBuffer.Clear();
    PeerClosed = false;

    TSocketId id = TSocketStack::Socket();
    if (id == InvalidSocket) throw EInvalidSocket();
    std::shared_ptr<TOsSocket> socket;
    {
        std::lock_guard lock(FSocketLock);
        FSocket.Allocate(id);
        socket = FSocket.Socket();
    }

    std::string peer;
    try {
        std::string ip;
        std::uint16_t port = 0;
        if (TSocketStack::Bind(id, BoundIP, 0) != 0) {
            int error = TSocketStack::LastError();
            if (error == WSAEADDRINUSE) throw ECouldNotBindSocket();
            throw ESocketError(error);
        }
        if (TSocketStack::GetSockName(id, ip, port) == 0) {
            std::lock_guard lock(FSocketLock);
            FSocket.IP = ip;
            FSocket.Port = port;
        }

        if (!IsDottedQuad(Host)) DoStatus(TNetStatus::StatusResolving, Host);
        peer = LookUpHost(Host);
        // The low 16 bits, a negative port taken in two's complement.
        const auto peerPort = static_cast<std::uint16_t>(static_cast<std::uint32_t>(Port) & 0xFFFF);
        {
            std::lock_guard lock(FSocketLock);
            FSocket.PeerIP = peer;
            FSocket.PeerPort = peerPort;
        }
        if (!UseNagle && TSocketStack::SetNoDelay(id, true) != 0)
            throw ESocketError(TSocketStack::LastError());

        DoStatus(TNetStatus::StatusConnecting, peer);
        if (TSocketStack::Connect(id, peer, peerPort) != 0)
            throw ESocketError(TSocketStack::LastError());
        // The addresses as the connected socket reports them.
        std::string peerIP;
        std::uint16_t connectedPort = 0;
        bool local = TSocketStack::GetSockName(id, ip, port) == 0;
        bool remote = TSocketStack::GetPeerName(id, peerIP, connectedPort) == 0;
        std::lock_guard lock(FSocketLock);
        if (FSocket.Socket() == socket) {
            if (local) {
                FSocket.IP = ip;
                FSocket.Port = port;
            }
            if (remote) {
                FSocket.PeerIP = peerIP;
                FSocket.PeerPort = connectedPort;
            }
        }
    } catch (...) {
        try {
            Close();
        } catch (...) {
        }
        throw;
    }
    DoStatus(TNetStatus::StatusConnected, peer);
    if (OnConnected) OnConnected(*this);
}

}  // namespace skimby
