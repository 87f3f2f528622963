// The program's windows in the order they come to life: the main window
// (running its start-up), then the call-sign dialog, hidden, then the main
// window shown, which opens the dialog when no call sign is set.
#pragma once

#include <memory>

#include "app/FormEnvironment.h"

namespace skimby {

class TCallsign;
class TForm1;

// What the program runs with: every default, and the network clients for
// the telnet cluster and the member list. Made on the user-interface thread.
TFormEnvironment ProgramEnvironment();

class TProgram {
  public:
    explicit TProgram(TFormEnvironment environment);
    ~TProgram();

    // The message loop's first act: shows the main window.
    void Show();

    TForm1& Form1() { return *MainWindow; }
    TCallsign& Callsign() { return *Dialog; }

  private:
    std::unique_ptr<TForm1> MainWindow;
    TCallsign* Dialog;  // owned by the main window
};

}  // namespace skimby
