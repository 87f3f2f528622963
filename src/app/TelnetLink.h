// Telnet1 as the main window sees it: the telnet client of the network
// layer with every event it raises brought to the user-interface thread.
//
// The client raises OnStatus and OnDisconnected on the reader thread when
// the reader notices that the server has closed (or the reader fails).
// Those events are queued here and a task that runs the queue is posted
// through the same dispatcher that carries the client's deliveries, so the
// window sees them in the client's order: the statuses, OnDisconnected,
// then the delivery of the empty text. Events raised on the user-interface
// thread itself run at once, after whatever the reader has queued before
// them, so an old connection's end never shows after the next one's start.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "app/NetworkLinks.h"
#include "app/QtUiDispatcher.h"
#include "net/TelnetClient.h"

namespace skimby {

class TTelnetClientLink final : public TTelnetLink {
  public:
    // Made on the user-interface thread.
    TTelnetClientLink();
    // Ends the connection and its reader without raising events.
    ~TTelnetClientLink() override;

    bool IsOpen() override;
    void SetHost(const std::string& host) override;
    void SetPort(int port) override;
    void Open() override;
    void Close() override;
    void SendLine(const std::string& text) override;

    // The client itself, for tests.
    TTelnetClient& Client() { return Telnet; }

  private:
    // Runs the event on the user-interface thread: at once when called
    // there, queued otherwise.
    void Raise(std::function<void()> event);
    // Runs the events queued by the reader, oldest first.
    void RunQueuedEvents();

    TQtUiDispatcher Dispatcher;  // outlives the client and its reader
    std::mutex QueueLock;
    std::deque<std::function<void()>> Queued;
    TTelnetClient Telnet;
};

}  // namespace skimby
