// SIGTERM, SIGINT and SIGHUP (a session that ends, Ctrl+C in a terminal)
// close the main window as the operator would, so the settings are saved.
// The signal handler only writes a byte to a pipe; the user-interface
// thread reads it in its message loop and does the rest.
#pragma once

#include <functional>

class QSocketNotifier;

namespace skimby {

class TTerminationSignals {
  public:
    // Installs the handlers and unblocks the signals (a parent may have
    // blocked them). Make it before the QApplication, so that a signal that
    // comes early waits in the pipe instead of ending the program.
    TTerminationSignals();
    ~TTerminationSignals();
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    // Called in the message loop for each signal that arrived. Needs the
    // QApplication.
    void OnSignal(std::function<void()> handler);

  private:
    QSocketNotifier* Notifier = nullptr;
    std::function<void()> Handler;
};

}  // namespace skimby
