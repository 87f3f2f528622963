#include "app/TelnetLink.h"

#include "net/NetErrors.h"

namespace skimby {

TTelnetClientLink::TTelnetClientLink() : Telnet(Dispatcher) {
    // A busy cluster sends a few lines every few milliseconds. The window
    // shows its changes ten times a second, so taking the lines in at most
    // ten deliveries a second shows the same and saves most of the
    // wake-ups of both threads (and the processor time they cost).
    Telnet.DeliveryInterval = std::chrono::milliseconds(100);
    Telnet.OnStatus = [this](TNetComponent&, TNetStatus status, const std::string& text) {
        Raise([this, status, text] {
            if (OnStatus) OnStatus(static_cast<int>(status), text);
        });
    };
    Telnet.OnConnected = [this](TNetComponent&) {
        Raise([this] {
            if (OnConnected) OnConnected();
        });
    };
    Telnet.OnDisconnected = [this](TNetComponent&) {
        Raise([this] {
            if (OnDisconnected) OnDisconnected();
        });
    };
    // Already on the user-interface thread, carried there by the client.
    Telnet.OnDataAvailable = [this](const std::string& buffer) {
        RunQueuedEvents();
        if (!OnDataAvailable) throw ETelnetNoDataHandler();
        OnDataAvailable(buffer);
    };
}

TTelnetClientLink::~TTelnetClientLink() {
    // Nothing queued runs any more; the client's destructor stops the
    // reader silently and waits for it.
    Dispatcher.BeginShutdown();
}

bool TTelnetClientLink::IsOpen() {
    // May notice a closed server and end the connection, with its events.
    return Telnet.IsOpen();
}

void TTelnetClientLink::SetHost(const std::string& host) {
    Telnet.Host = host;
}

void TTelnetClientLink::SetPort(int port) {
    Telnet.Port = port;
}

void TTelnetClientLink::Open() {
    RunQueuedEvents();
    Telnet.Open();
}

void TTelnetClientLink::Close() {
    Telnet.Close();
    // A reader that noticed the server's close just before has queued the
    // events instead: they belong to this close.
    RunQueuedEvents();
}

void TTelnetClientLink::SendLine(const std::string& text) {
    Telnet.SendLine(text);
}

void TTelnetClientLink::Raise(std::function<void()> event) {
    if (Dispatcher.IsUiThread()) {
        RunQueuedEvents();
        event();
        return;
    }
    {
        std::lock_guard lock(QueueLock);
        Queued.push_back(std::move(event));
    }
    Dispatcher.Post([this] { RunQueuedEvents(); });
}

void TTelnetClientLink::RunQueuedEvents() {
    for (;;) {
        std::function<void()> event;
        {
            std::lock_guard lock(QueueLock);
            if (Queued.empty()) return;
            event = std::move(Queued.front());
            Queued.pop_front();
        }
        // The reader that raised it has nowhere to take an error back to.
        try {
            event();
        } catch (...) {
        }
    }
}

}  // namespace skimby
