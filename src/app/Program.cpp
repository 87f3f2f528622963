#include "app/Program.h"

#include "app/CallsignDialog.h"
#include "app/HttpLink.h"
#include "app/MainWindow.h"
#include "app/TelnetLink.h"

namespace skimby {

TFormEnvironment ProgramEnvironment() {
    TFormEnvironment environment;
    environment.Telnet = std::make_unique<TTelnetClientLink>();
    environment.Http = std::make_unique<THttpClientFetcher>();
    return environment;
}

TProgram::TProgram(TFormEnvironment environment)
    : MainWindow(std::make_unique<TForm1>(std::move(environment))),
      Dialog(new TCallsign(*MainWindow, MainWindow.get())) {
    MainWindow->SetCallsignDialog(Dialog);
}

TProgram::~TProgram() = default;

void TProgram::Show() {
    MainWindow->show();
}

}  // namespace skimby
