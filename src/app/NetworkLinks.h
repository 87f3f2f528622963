// What the main window needs of the network: the telnet connection to the
// spot cluster and the HTTP client that fetches the member list. The window
// owns one of each and knows them only through these interfaces, so the
// clients are plugged in by the program's start and replaced in tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace skimby {

// The telnet connection, Telnet1. Every event is raised on the user-interface
// thread, also when the reader thread noticed the cause; the implementation
// forwards them there in their order.
class TTelnetLink {
  public:
    virtual ~TTelnetLink() = default;

    // May notice that the server has closed, and then ends the connection
    // with its events.
    virtual bool IsOpen() = 0;
    // Host and port of the next Open; the port is handed over unchecked.
    virtual void SetHost(const std::string& host) = 0;
    virtual void SetPort(int port) = 0;
    // Connects and starts reading. Raises the statuses and OnConnected before
    // it returns; on failure the closing statuses and OnDisconnected have run
    // before the error leaves it.
    virtual void Open() = 0;
    // Ends the connection; raises the closing statuses and OnDisconnected
    // before it returns. Nothing happens when it is not open.
    virtual void Close() = 0;
    // Sends text followed by CR LF.
    virtual void SendLine(const std::string& text) = 0;

    // A status code and its text ("Connected.", "Not connected.", ...).
    std::function<void(int status, const std::string& text)> OnStatus;
    std::function<void()> OnConnected;
    std::function<void()> OnDisconnected;
    // One read's text, telnet commands removed; the reader waits until it
    // returns. An error from it ends the reader, which then ends the
    // connection as when the server closes. After a close by the server:
    // the closing statuses, OnDisconnected, then one empty text.
    std::function<void(std::string_view text)> OnDataAvailable;
};

// The HTTP client, HTTP, as far as the member list needs it.
class TTextFetcher {
  public:
    virtual ~TTextFetcher() = default;

    // The reply body of a GET of url as 8-bit text. Keeps the window
    // responsive while it waits. Raises an error for a failed request.
    virtual std::string FetchText(const std::string& url) = 0;
    // Called from inside FetchText's waiting (the window closed meanwhile):
    // closes the request's connection, so FetchText returns or raises soon.
    virtual void Abort() = 0;
};

}  // namespace skimby
