// The errors of the network layer. Each kind has its own class with a fixed
// message; socket errors also carry the Windows Sockets error number.
#pragma once

#include <string>

#include "platform/Exception.h"

namespace skimby {

class ENetError : public Exception {
  public:
    using Exception::Exception;
};

// An error that marks an expected end rather than a failure. Nothing treats
// it specially; where it escapes a handler it is shown like any other.
class ESilentNetError : public ENetError {
  public:
    using ENetError::ENetError;
};

class EConnClosedGracefully : public ESilentNetError {
  public:
    EConnClosedGracefully() : ESilentNetError("Connection Closed Gracefully.") {}
};

// "Socket Error # %d" CR LF and the number's text; an unknown number has an
// empty text, so the message ends with the line break.
std::string SocketErrorText(int errorNumber);

class ESocketError : public ENetError {
  public:
    explicit ESocketError(int errorNumber)
        : ENetError(SocketErrorText(errorNumber)), LastError(errorNumber) {}
    int LastError;
};

class EAlreadyConnected : public ENetError {
  public:
    EAlreadyConnected() : ENetError("Already connected.") {}
};

class EInvalidSocket : public ENetError {
  public:
    EInvalidSocket() : ENetError("Cannot allocate socket.") {}
};

class ECouldNotBindSocket : public ENetError {
  public:
    ECouldNotBindSocket()
        : ENetError("Could not bind socket. Address and port are already in use.") {}
};

class ENotEnoughDataInBuffer : public ENetError {
  public:
    ENotEnoughDataInBuffer() : ENetError("Not enough data in buffer.") {}
};

// A line longer than the most its reader asked for (see ReceiveLine).
class ELineTooLong : public ENetError {
  public:
    ELineTooLong() : ENetError("Line too long.") {}
};

class ESocketLibraryNotLoaded : public ENetError {
  public:
    ESocketLibraryNotLoaded() : ENetError("wsock32.dll could not be loaded.") {}
};

class ESocketLibraryInitFailed : public ENetError {
  public:
    ESocketLibraryInitFailed() : ENetError("Winsock Initialization Error.") {}
};

// The telnet connection's open failed on a host lookup, bind or connect.
class ETelnetConnectError : public ENetError {
  public:
    ETelnetConnectError() : ENetError("server not responding") {}
};

class ETelnetNoDataHandler : public ENetError {
  public:
    ETelnetNoDataHandler() : ENetError("OnDataAvailable event is nil.") {}
};

// A delivery into the user-interface thread that was dropped before it ran
// because its connection is being reopened or destroyed. Ends the reader.
class EDeliveryDropped : public ENetError {
  public:
    EDeliveryDropped() : ENetError("Delivery dropped.") {}
};

}  // namespace skimby
