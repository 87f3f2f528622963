// The telnet client connection: a TCP client that, once open, runs a reader
// thread. The reader waits for the server's bytes, takes the telnet
// commands out of them and answers the negotiation (TelnetFilter), and
// hands the text of each read to OnDataAvailable on the user-interface
// thread, waiting until the handler has returned.
//
// Threads and events:
// - OnDataAvailable always runs on the user-interface thread, reached
//   through the dispatcher given to the constructor: once per read, in
//   order, possibly with an empty text, never two at once. The reader waits
//   for it, so SendLine from the handler never overlaps a negotiation reply.
// - OnConnected runs on the thread that calls Open.
// - OnStatus and OnDisconnected run on the thread whose call ends the
//   connection: the user-interface thread for Open (its statuses, and the
//   close of a failed open), Close, and IsOpen or SendLine noticing a
//   closed peer; the reader thread when the reader notices that the peer
//   closed, or when the reader ends through an error (a receive error, a
//   failed negotiation reply, an error of the data handler): then the
//   connection is closed as for a peer close, so the window never shows a
//   connection that nothing reads any more.
//   After a peer close the order is: the two statuses and OnDisconnected on
//   the reader thread, then one delivery of an empty text. A handler that
//   forwards the reader-thread events to the user-interface thread through
//   the same dispatcher keeps that order. Handlers on the reader thread
//   must not wait for the user-interface thread (post, never block): the
//   user-interface thread may be waiting for the reader.
// - Close from the user-interface thread while the reader waits or
//   receives wakes the reader at once; it ends without events and posts no
//   more deliveries. A delivery already posted still runs, after
//   OnDisconnected; if its handler sends, the send raises
//   EConnClosedGracefully.
// - Open after a close first waits for the previous reader to end; a
//   delivery of the old connection that has not run yet is dropped.
// - Destroying the connection stops the reader and waits for it without
//   raising events; a delivery that has not run yet is dropped, one that is
//   running is waited for. Never destroy or reopen the connection from
//   inside its own OnDataAvailable handler.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "net/TcpClient.h"
#include "net/TelnetFilter.h"
#include "net/UiDispatcher.h"

namespace skimby {

class TTelnetReader;

using TTelnetDataEvent = std::function<void(const std::string& Buffer)>;

class TTelnetClient : public TTcpClient {
  public:
    explicit TTelnetClient(TUiDispatcher& dispatcher);
    ~TTelnetClient() override;

    // The terminal name sent when the server asks; "dumb" when left empty.
    std::string Terminal = "dumb";
    TTelnetDataEvent OnDataAvailable;
    // Kept from one read to the next and across connections.
    TFilterState FilterState = TFilterState::StateData;
    // After a delivery of a read that did not fill the receive buffer, the
    // reader lets this much time pass before it reads again, so that a
    // steady stream of short lines arrives in a few larger deliveries
    // instead of one wake-up of the user-interface thread per line. Text
    // after a quiet spell is delivered at once, and a full buffer is read
    // on at once. Zero (the default) delivers every read as it comes.
    std::chrono::milliseconds DeliveryInterval{0};

    // Opens and starts the reader. A failed host lookup, bind or connect
    // raises ETelnetConnectError "server not responding" (after the close's
    // events); other errors pass unchanged.
    void Open() override;
    // Asks the reader to stop (without waiting for it) and ends the
    // connection.
    void Close() override;

    // Whether a reader exists that has not ended yet.
    bool ReaderRunning() const;

  private:
    friend class TTelnetReader;

    void ReaderStep(TTelnetReader& reader);
    std::string TelnetFilter(std::string_view text);
    void DeliverData(TTelnetReader& reader);
    void ReaderFailed();
    // Stops the reader, drops its pending delivery and waits for it to end.
    void StopReader();

    TUiDispatcher& Dispatcher;
    std::unique_ptr<TTelnetReader> FReader;
};

}  // namespace skimby
