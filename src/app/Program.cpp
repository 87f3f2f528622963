#include "app/Program.h"

#include "app/CallsignDialog.h"
#include "app/MainWindow.h"

namespace skimby {

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
