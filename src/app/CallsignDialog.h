// The call-sign dialog, Callsign: asks for the operator's call sign when
// none is set. Not modal; "Save" puts the text into the main window's
// call-sign box, closing it by its frame changes nothing.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace skimby {

class TSettingsWindow;

class TCallsign : public QDialog {
  public:
    // Created hidden, after the main window has taken its place: the dialog
    // goes to left 500, 25 pixels below the main window's top.
    TCallsign(TSettingsWindow& form1, QWidget* parent = nullptr);

    void FormCreate();
    void Button1Click();

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;

  private:
    TSettingsWindow& Form1;
};

}  // namespace skimby
