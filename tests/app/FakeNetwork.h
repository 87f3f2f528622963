// Network clients for the main window's tests: they do what the window
// asks at once, raise the events a real connection raises, and record
// everything.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/NetworkLinks.h"
#include "platform/Exception.h"

namespace skimby {

class TFakeTelnet : public TTelnetLink {
  public:
    bool Opened = false;
    bool FailOpen = false;
    std::string Host;
    int Port = 0;
    int OpenCount = 0;
    std::vector<std::string> Sent;
    // Runs inside Close after the connection's events, before it returns.
    std::function<void()> AfterCloseEvents;

    bool IsOpen() override { return Opened; }
    void SetHost(const std::string& host) override { Host = host; }
    void SetPort(int port) override { Port = port; }
    void Open() override {
        ++OpenCount;
        if (FailOpen) {
            // As a failed connect: the closing statuses and the event run first.
            OnStatus(0, "Connecting to " + Host + ".");
            OnStatus(0, "Not connected.");
            OnDisconnected();
            throw Exception("server not responding");
        }
        Opened = true;
        OnStatus(0, "Connecting to " + Host + ".");
        OnStatus(0, "Connected.");
        OnConnected();
    }
    void Close() override {
        if (!Opened) return;
        Opened = false;
        OnStatus(0, "Disconnecting from " + Host + ".");
        OnStatus(0, "Not connected.");
        OnDisconnected();
        if (AfterCloseEvents) AfterCloseEvents();
    }
    void SendLine(const std::string& text) override { Sent.push_back(text); }

    // Text from the server, as the reader hands it over.
    void Deliver(std::string_view text) { OnDataAvailable(text); }
    // The server closes: the reader's events, on the user-interface thread,
    // and its last delivery.
    void ServerCloses() {
        Opened = false;
        OnStatus(0, "Disconnecting from " + Host + ".");
        OnStatus(0, "Not connected.");
        OnDisconnected();
        OnDataAvailable("");
    }
};

class TFakeFetcher : public TTextFetcher {
  public:
    std::string Body;
    std::string Error;  // raised when not empty
    std::vector<std::string> Urls;
    bool Aborted = false;
    // Runs while the fetch waits, as the window's messages would; not again
    // for a fetch started from inside it.
    std::function<void()> WhileWaiting;

    std::string FetchText(const std::string& url) override {
        Urls.push_back(url);
        if (WhileWaiting && !Waiting) {
            Waiting = true;
            WhileWaiting();
            Waiting = false;
        }
        if (Aborted) throw Exception("Connection Closed Gracefully.");
        if (!Error.empty()) throw Exception(Error);
        return Body;
    }
    void Abort() override { Aborted = true; }

  private:
    bool Waiting = false;
};

}  // namespace skimby
