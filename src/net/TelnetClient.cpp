#include "net/TelnetClient.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "net/NetErrors.h"
#include "net/SyncCall.h"
#include "net/WorkerThread.h"

namespace skimby {

// The reader of one connection: runs ReaderStep until stopped or an error
// ends it, and keeps its delivery in progress where a stop can drop it.
class TTelnetReader : public TWorkerThread {
  public:
    explicit TTelnetReader(TTelnetClient& connection) : Connection(connection) {}
    ~TTelnetReader() override {
        RequestStop();
        DropDeliveries();
        Join();
    }

    // Runs the call on the user-interface thread and waits for it, unless
    // the reader is stopping or its deliveries were dropped.
    void Deliver(const std::shared_ptr<TSyncCall>& call, TUiDispatcher& dispatcher) {
        {
            std::lock_guard lock(CallLock);
            if (Dropped || StopRequested) throw EDeliveryDropped();
            Pending = call;
        }
        try {
            TSyncCall::Run(call, dispatcher);
        } catch (...) {
            Forget();
            throw;
        }
        Forget();
    }

    // From now on no delivery runs; the one posted is dropped (or waited for
    // when it is running).
    void DropDeliveries() {
        std::shared_ptr<TSyncCall> call;
        {
            std::lock_guard lock(CallLock);
            Dropped = true;
            call = Pending;
        }
        if (call) call->Drop();
    }

    // Asks the loop to end and cuts short a pause before the next read.
    void RequestStop() {
        {
            std::lock_guard lock(PauseLock);
            StopRequested = true;
        }
        PauseEnd.notify_all();
    }

    // Waits until `interval` has passed since the last paced delivery, or
    // until a stop is requested.
    void PauseBeforeRead(std::chrono::milliseconds interval) {
        if (!LastPacedDelivery) return;
        const auto until = *LastPacedDelivery + interval;
        LastPacedDelivery.reset();
        std::unique_lock lock(PauseLock);
        PauseEnd.wait_until(lock, until, [this] { return StopRequested.load(); });
    }

    std::string ReadText;  // the filtered text of the current read
    // When the last short read was delivered; none after a full one.
    std::optional<std::chrono::steady_clock::time_point> LastPacedDelivery;

  protected:
    void Step() override { Connection.ReaderStep(*this); }
    void Failed() override { Connection.ReaderFailed(); }

  private:
    void Forget() {
        std::lock_guard lock(CallLock);
        Pending.reset();
    }

    TTelnetClient& Connection;
    std::mutex PauseLock;
    std::condition_variable PauseEnd;
    std::mutex CallLock;
    std::shared_ptr<TSyncCall> Pending;
    bool Dropped = false;
};

TTelnetClient::TTelnetClient(TUiDispatcher& dispatcher) : Dispatcher(dispatcher) {
    Port = 23;
}

TTelnetClient::~TTelnetClient() {
    // No events from here on, wherever the connection ends.
    SetSilent();
    if (FReader) {
        FReader->RequestStop();
        FReader->DropDeliveries();
    }
    EndConnection();  // wakes a reader that waits, receives or sends
    FReader.reset();  // waits for it
}

bool TTelnetClient::ReaderRunning() const {
    return FReader && !FReader->Ended();
}

void TTelnetClient::Open() {
    if (SocketHeld()) throw EAlreadyConnected();
    StopReader();
    try {
        TTcpClient::Open();
    } catch (const ESocketError&) {
        throw ETelnetConnectError();
    }
    if (IsOpen()) {
        FReader = std::make_unique<TTelnetReader>(*this);
        FReader->Start();
    }
}

void TTelnetClient::Close() {
    if (FReader) FReader->RequestStop();
    EndConnection();
}

void TTelnetClient::StopReader() {
    if (!FReader) return;
    // The socket is gone by now, so the reader is not stuck on it; only a
    // delivery could hold it, and that is dropped.
    FReader->RequestStop();
    FReader->DropDeliveries();
    FReader.reset();
}

void TTelnetClient::ReaderStep(TTelnetReader& reader) {
    reader.PauseBeforeRead(DeliveryInterval);
    std::string text = ReceiveAvailable();
    const bool filledBuffer = text.size() >= static_cast<std::size_t>(std::max(1, RecvBufferSize));
    reader.ReadText = TelnetFilter(text);
    DeliverData(reader);
    if (DeliveryInterval.count() > 0 && !filledBuffer)
        reader.LastPacedDelivery = std::chrono::steady_clock::now();
    CheckClosed(true, false);
}

std::string TTelnetClient::TelnetFilter(std::string_view text) {
    std::string data;
    data.reserve(text.size());
    skimby::TelnetFilter(
        text, FilterState, Terminal, [this](std::string_view reply) { SendText(reply); }, data);
    return data;
}

void TTelnetClient::DeliverData(TTelnetReader& reader) {
    auto call = std::make_shared<TSyncCall>([this, text = std::move(reader.ReadText)] {
        if (!OnDataAvailable) throw ETelnetNoDataHandler();
        OnDataAvailable(text);
    });
    reader.Deliver(call, Dispatcher);
}

void TTelnetClient::ReaderFailed() {
    // The reader ended through an error that no Close explains: close the
    // connection as for a peer close, so that it does not stay open
    // without anyone reading it.
    EndConnection();
}

}  // namespace skimby
