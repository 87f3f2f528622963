// A blocking TCP connection: an input buffer of received bytes, reads of
// everything available, of lines and of byte counts, writes of texts and
// lines, the notice of a peer that has closed, and the close with its two
// status events and OnDisconnected. Every operation blocks its thread until
// it is done; texts are 8-bit bytes, sent and received unchanged.
//
// Threads. A connection may be used by one reading thread and, while that
// thread waits, by another one that opens, asks IsOpen, closes or sends
// (the telnet client's reader and the user-interface thread). The socket
// and the closed flag are shared safely between them: Close from one thread
// wakes a wait or receive on the other at once, which then ends with
// EConnClosedGracefully, and the close's events are raised exactly once, on
// the thread that closes. InputBuffer, LineTimedOut and the receive buffers
// belong to the reading thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "net/ByteBuffer.h"
#include "net/ByteStream.h"
#include "net/NetComponent.h"
#include "net/SocketHandle.h"

namespace skimby {

// Time-outs are milliseconds; this one waits without limit.
constexpr int TimeOutInfinite = -2;
constexpr std::size_t NoLineLimit = std::numeric_limits<std::size_t>::max();

enum class TWorkMode { WorkRead = 0, WorkWrite = 1 };
using TWorkBeginEvent =
    std::function<void(TNetComponent& sender, TWorkMode mode, std::int64_t countMax)>;
using TWorkEvent = std::function<void(TNetComponent& sender, TWorkMode mode, std::int64_t count)>;
using TWorkEndEvent = std::function<void(TNetComponent& sender, TWorkMode mode)>;

class TTcpConnection : public TNetComponent {
  public:
    TTcpConnection() = default;
    // Releases a held socket (shut down and closed) without any event.
    ~TTcpConnection() override;

    // Received bytes that no read has taken yet; emptied by Open.
    TByteBuffer InputBuffer;
    // The most bytes one receive asks for (at least 1 is asked for).
    int RecvBufferSize = 32768;
    // Chunk size for writing a whole stream; kept for completeness.
    int SendBufferSize = 32768;
    // Set when a receive or send returned 0 bytes and by EndConnection;
    // cleared by Open.
    std::atomic<bool> PeerClosed{false};
    // Whether the last ReceiveLine returned for want of data.
    bool LineTimedOut = false;

    TNotifyEvent OnDisconnected;
    // Transfer progress; only the outermost begin and end of a mode are raised.
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

    // Ends the connection (EndConnection). Overridden by connections that
    // must also stop work of their own; a failed open calls the override.
    virtual void Close();
    // Notices a closed peer (CheckClosed without raising), then whether a
    // socket is held.
    bool IsOpen();

    // One wait of up to timeOut ms and one receive of at most the
    // destination's size (empty destination: RecvBufferSize bytes into the
    // connection's own chunk buffer). Into the input buffer, or only counted
    // as read progress. Returns the bytes received: 0 for a time-out, a
    // connection that is not open, or a peer that has closed. Raises
    // EConnClosedGracefully when raiseIfClosed and the connection is closed
    // with nothing buffered, or when another thread closes it meanwhile; a
    // receive error raises ESocketError and keeps the socket (10058 ends the
    // connection first).
    int ReceiveChunk(bool raiseIfClosed, int timeOut, bool intoInput,
                     std::span<char> destination = {});
    // Waits without limit for data and returns what one receive brought
    // together with everything already buffered; empty when the connection
    // is not open or the peer has just closed.
    std::string ReceiveAvailable();
    // One line ended by the terminator (empty: LF, and then one CR before
    // the LF is dropped too), without its end. Only whole lines are taken;
    // when the wait passes or the peer closes with part of a line buffered,
    // returns "" with LineTimedOut set and the part still buffered. Raises
    // EConnClosedGracefully when the connection is closed and no whole line
    // is buffered. Each pass searches only the bytes that arrived since the
    // last one. A line longer than maxLength bytes (without its end) raises
    // ELineTooLong as soon as that is certain, leaving the buffer as it is.
    std::string ReceiveLine(std::string_view terminator = {}, int timeOut = TimeOutInfinite,
                            std::size_t maxLength = NoLineLimit);
    // Reads bytes into the stream at its position: InputBuffer first, then
    // receives of at most RecvBufferSize bytes, sized as the bytes come
    // (an announced count reserves nothing). With untilClose, everything up
    // to the peer's close (at most count bytes when count >= 0), ending
    // without an error. Otherwise count bytes exactly (count -1: a 4-byte
    // length in network byte order comes first), raising
    // EConnClosedGracefully when the peer closes before. After a normal end
    // the stream is cut at its position.
    void ReceiveToStream(TByteStream& stream, std::int64_t count = -1, bool untilClose = false);
    // Takes in whatever has arrived within 1 ms, noticing a closed peer.
    void ProbeClosed(bool raiseIfClosed);
    // The first n buffered bytes, removed; ENotEnoughDataInBuffer when fewer
    // are buffered.
    std::string TakeBytes(std::size_t n);
    // If the peer has closed or no socket is held: ends a held connection,
    // then raises EConnClosedGracefully when raise and (ignoreBuffer or
    // nothing is buffered).
    void CheckClosed(bool raise, bool ignoreBuffer);
    // With a socket held: "Disconnecting from %s.", closes the socket, sets
    // PeerClosed, "Not connected.", OnDisconnected. Nothing otherwise.
    void EndConnection();

    // Writes all bytes, in as many sends as the platform needs. Raises
    // EConnClosedGracefully when the connection is closed, ESocketError on a
    // send error (10058 ends the connection first).
    void SendBytes(const char* bytes, std::int64_t count);
    // Nothing for an empty text.
    void SendText(std::string_view text);
    // The text and CR LF in one write.
    void SendLine(std::string_view text);

    bool SocketHeld() const;
    std::string PeerIP() const;
    std::uint16_t PeerPort() const;
    std::string LocalIP() const;
    std::uint16_t LocalPort() const;

  protected:
    // Readability of the socket within timeOut ms, in slices while an
    // anti-freeze is active; raises EConnClosedGracefully when no socket is
    // held at the start of a slice.
    bool WaitReadable(int timeOut);
    // The held socket for one operation; EConnClosedGracefully when none.
    std::shared_ptr<TOsSocket> AcquireSocket() const;
    bool IsCurrentSocket(const std::shared_ptr<TOsSocket>& socket) const;
    // From now on EndConnection closes without events (for destructors).
    void SetSilent();

    void BeginWork(TWorkMode mode, std::int64_t countMax);
    void DoWork(TWorkMode mode, std::int64_t count);
    void EndWork(TWorkMode mode);

    mutable std::mutex FSocketLock;  // guards FSocket and FSilent
    TSocketHandle FSocket;
    bool FSilent = false;

  private:
    bool WaitSlice(int timeOut);
    bool LineCertainlyTooLong(std::string_view terminator, std::size_t maxLength) const;
    void ReadIntoStream(TByteStream& stream, std::int64_t count, bool untilClose);
    std::span<char> ChunkDestination();

    std::vector<char> ChunkBuffer;
    int FWorkNesting[2] = {0, 0};
};

}  // namespace skimby
