#include "net/TcpConnection.h"

#include <algorithm>
#include <climits>

#include "net/AntiFreeze.h"
#include "net/NetErrors.h"

namespace skimby {

TTcpConnection::~TTcpConnection() {
    SetSilent();
    EndConnection();
}

void TTcpConnection::Close() {
    EndConnection();
}

bool TTcpConnection::IsOpen() {
    CheckClosed(false, false);
    return SocketHeld();
}

bool TTcpConnection::SocketHeld() const {
    std::lock_guard lock(FSocketLock);
    return FSocket.Held();
}

std::string TTcpConnection::PeerIP() const {
    std::lock_guard lock(FSocketLock);
    return FSocket.PeerIP;
}

std::uint16_t TTcpConnection::PeerPort() const {
    std::lock_guard lock(FSocketLock);
    return FSocket.PeerPort;
}

std::string TTcpConnection::LocalIP() const {
    std::lock_guard lock(FSocketLock);
    return FSocket.IP;
}

std::uint16_t TTcpConnection::LocalPort() const {
    std::lock_guard lock(FSocketLock);
    return FSocket.Port;
}

std::shared_ptr<TOsSocket> TTcpConnection::AcquireSocket() const {
    std::shared_ptr<TOsSocket> socket;
    {
        std::lock_guard lock(FSocketLock);
        socket = FSocket.Socket();
    }
    if (!socket) throw EConnClosedGracefully();
    return socket;
}

bool TTcpConnection::IsCurrentSocket(const std::shared_ptr<TOsSocket>& socket) const {
    std::lock_guard lock(FSocketLock);
    return FSocket.Socket() == socket;
}

void TTcpConnection::SetSilent() {
    std::lock_guard lock(FSocketLock);
    FSilent = true;
}

void TTcpConnection::CheckClosed(bool raise, bool ignoreBuffer) {
    if (!PeerClosed && SocketHeld()) return;
    if (SocketHeld()) EndConnection();
    if (raise && (ignoreBuffer || InputBuffer.Empty())) throw EConnClosedGracefully();
}

void TTcpConnection::EndConnection() {
    // Whoever takes the socket out of the handle raises the events, so two
    // threads closing at once close once.
    TSocketHandle taken;
    bool silent;
    {
        std::lock_guard lock(FSocketLock);
        if (!FSocket.Held()) return;
        taken = FSocket;
        FSocket.Reset();
        silent = FSilent;
    }
    if (!silent) {
        try {
            DoStatus(TNetStatus::StatusDisconnecting, taken.PeerIP);
        } catch (...) {
            taken.CloseSocket();
            PeerClosed = true;
            throw;
        }
    }
    taken.CloseSocket();
    PeerClosed = true;
    if (silent) return;
    DoStatus(TNetStatus::StatusDisconnected, taken.PeerIP);
    if (OnDisconnected) OnDisconnected(*this);
}

bool TTcpConnection::WaitReadable(int timeOut) {
    int slice = 0;
    if (TAntiFreezeBase::SliceTimeOut(slice)) {
        if (timeOut < 0) {
            while (!WaitSlice(slice))
                TAntiFreezeBase::SliceTimeOut(slice);  // follows a changed IdleTimeOut
            return true;
        }
        while (timeOut > slice) {
            if (WaitSlice(slice)) return true;
            timeOut -= slice;
        }
    }
    return WaitSlice(timeOut);
}

bool TTcpConnection::WaitSlice(int timeOut) {
    bool ready;
    {
        std::shared_ptr<TOsSocket> socket = AcquireSocket();
        ready = TSocketStack::Select(socket->Id(), timeOut) == 1;
    }
    TAntiFreezeBase::PumpMessages(!ready);
    return ready;
}

std::span<char> TTcpConnection::ChunkDestination() {
    std::size_t size = static_cast<std::size_t>(std::max(1, RecvBufferSize));
    if (ChunkBuffer.size() != size) ChunkBuffer.resize(size);
    return ChunkBuffer;
}

int TTcpConnection::ReceiveChunk(bool raiseIfClosed, int timeOut, bool intoInput,
                                 std::span<char> destination) {
    CheckClosed(raiseIfClosed, false);
    if (!IsOpen()) return 0;
    if (!WaitReadable(timeOut)) return 0;
    if (destination.empty()) destination = ChunkDestination();
    std::shared_ptr<TOsSocket> socket = AcquireSocket();
    int length = static_cast<int>(std::min<std::size_t>(destination.size(), INT_MAX));
    int n = TSocketStack::Recv(socket->Id(), destination.data(), length);
    int error = n < 0 ? TSocketStack::LastError() : 0;
    // Another thread closed the connection during the wait or the receive:
    // whatever the receive saw belongs to a connection that is gone.
    if (!IsCurrentSocket(socket)) throw EConnClosedGracefully();
    socket.reset();
    PeerClosed = n == 0;
    if (n < 0) {
        if (error != WSAESHUTDOWN) throw ESocketError(error);
        n = 0;
        if (SocketHeld()) EndConnection();
        if (InputBuffer.Empty()) throw ESocketError(error);
    }
    if (intoInput) {
        InputBuffer.Append(destination.data(), static_cast<std::size_t>(n));
    } else {
        DoWork(TWorkMode::WorkRead, n);
    }
    CheckClosed(raiseIfClosed, false);
    return n;
}

std::string TTcpConnection::ReceiveAvailable() {
    if (!IsOpen()) return {};
    ReceiveChunk(false, TimeOutInfinite, true);
    return TakeBytes(InputBuffer.Size());
}

std::string TTcpConnection::ReceiveLine(std::string_view terminator, int timeOut,
                                        std::size_t maxLength) {
    const bool lineFeed = terminator.empty();
    const std::string_view end = lineFeed ? std::string_view("\n") : terminator;
    LineTimedOut = false;
    std::size_t at;
    for (;;) {
        at = InputBuffer.Empty() ? TByteBuffer::npos : InputBuffer.FindIncremental(end);
        if (at != TByteBuffer::npos) break;
        if (maxLength != NoLineLimit && LineCertainlyTooLong(terminator, maxLength))
            throw ELineTooLong();
        CheckClosed(true, true);
        if (ReceiveChunk(true, timeOut, true) == 0) {
            LineTimedOut = true;
            return {};
        }
    }
    std::size_t length = at;
    if (lineFeed && length > 0 && InputBuffer.View()[length - 1] == '\r') --length;
    if (length > maxLength) throw ELineTooLong();
    std::string line = TakeBytes(at + end.size());
    line.resize(length);
    return line;
}

bool TTcpConnection::LineCertainlyTooLong(std::string_view terminator,
                                          std::size_t maxLength) const {
    // No end is buffered yet. The line holds every buffered byte except a
    // CR that may precede the LF still to come, or the part of the
    // terminator that may have arrived already.
    std::size_t size = InputBuffer.Size();
    if (size == 0) return false;
    std::size_t slack =
        terminator.empty() ? (InputBuffer.View().back() == '\r' ? 1 : 0) : terminator.size() - 1;
    return size > slack && size - slack > maxLength;
}

void TTcpConnection::ReceiveToStream(TByteStream& stream, std::int64_t count, bool untilClose) {
    BeginWork(TWorkMode::WorkRead, std::max<std::int64_t>(count, 0));
    try {
        ReadIntoStream(stream, count, untilClose);
    } catch (...) {
        EndWork(TWorkMode::WorkRead);
        throw;
    }
    EndWork(TWorkMode::WorkRead);
}

void TTcpConnection::ReadIntoStream(TByteStream& stream, std::int64_t count, bool untilClose) {
    if (count == -1 && !untilClose) {
        while (InputBuffer.Size() < 4) {
            CheckClosed(true, true);
            ReceiveChunk(true, TimeOutInfinite, true);
        }
        std::string length = TakeBytes(4);
        count = (std::int64_t{static_cast<unsigned char>(length[0])} << 24) |
                (static_cast<unsigned char>(length[1]) << 16) |
                (static_cast<unsigned char>(length[2]) << 8) |
                static_cast<unsigned char>(length[3]);
    }
    std::int64_t remaining =
        untilClose ? (count >= 0 ? count : std::numeric_limits<std::int64_t>::max()) : count;
    if (remaining > 0 && !InputBuffer.Empty()) {
        std::size_t n = static_cast<std::size_t>(
            std::min<std::int64_t>(remaining, static_cast<std::int64_t>(InputBuffer.Size())));
        stream.Write(InputBuffer.View().data(), n);
        InputBuffer.Remove(n);
        DoWork(TWorkMode::WorkRead, static_cast<std::int64_t>(n));
        remaining -= static_cast<std::int64_t>(n);
    }
    std::vector<char> scratch;
    while (remaining >= 1 && IsOpen()) {
        std::int64_t size = std::min<std::int64_t>(remaining, std::max(1, RecvBufferSize));
        scratch.resize(static_cast<std::size_t>(size));
        int n = ReceiveChunk(!untilClose, TimeOutInfinite, false, scratch);
        stream.Write(scratch.data(), static_cast<std::size_t>(n));
        remaining -= n;
    }
    // A count that the peer's close cut short is an error, also when the
    // close was noticed before this read began.
    if (!untilClose && remaining > 0) throw EConnClosedGracefully();
    if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

void TTcpConnection::ProbeClosed(bool raiseIfClosed) {
    ReceiveChunk(raiseIfClosed, 1, true);
}

std::string TTcpConnection::TakeBytes(std::size_t n) {
    std::string bytes = InputBuffer.Extract(n);
    DoWork(TWorkMode::WorkRead, static_cast<std::int64_t>(n));
    return bytes;
}

void TTcpConnection::SendBytes(const char* bytes, std::int64_t count) {
    if (count <= 0 || bytes == nullptr) return;
    CheckClosed(true, true);
    std::int64_t sent = 0;
    while (sent < count) {
        int length = static_cast<int>(std::min<std::int64_t>(count - sent, INT_MAX));
        int n;
        int error;
        {
            std::shared_ptr<TOsSocket> socket = AcquireSocket();
            n = TSocketStack::Send(socket->Id(), bytes + sent, length);
            error = n < 0 ? TSocketStack::LastError() : 0;
        }
        TAntiFreezeBase::PumpMessages(false);
        // Only ever set here: a send must not hide a close that a receive on
        // another thread has just seen.
        if (n == 0) PeerClosed = true;
        CheckClosed(true, false);
        if (n < 0) {
            if (error == WSAESHUTDOWN) EndConnection();
            throw ESocketError(error);
        }
        DoWork(TWorkMode::WorkWrite, n);
        sent += n;
    }
}

void TTcpConnection::SendText(std::string_view text) {
    if (!text.empty()) SendBytes(text.data(), static_cast<std::int64_t>(text.size()));
}

void TTcpConnection::SendLine(std::string_view text) {
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text);
    line.append("\r\n");
    SendBytes(line.data(), static_cast<std::int64_t>(line.size()));
}

void TTcpConnection::BeginWork(TWorkMode mode, std::int64_t countMax) {
    if (++FWorkNesting[static_cast<int>(mode)] == 1 && OnWorkBegin)
        OnWorkBegin(*this, mode, countMax);
}

void TTcpConnection::DoWork(TWorkMode mode, std::int64_t count) {
    if (OnWork && count > 0) OnWork(*this, mode, count);
}

void TTcpConnection::EndWork(TWorkMode mode) {
    if (--FWorkNesting[static_cast<int>(mode)] == 0 && OnWorkEnd) OnWorkEnd(*this, mode);
}

}  // namespace skimby
