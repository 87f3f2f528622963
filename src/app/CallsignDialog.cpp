#include "app/CallsignDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/Controls.h"
#include "settings/SettingsWindow.h"

namespace skimby {

namespace {
constexpr int ClientWidth = 275;
constexpr int ClientHeight = 149;
constexpr int DialogLeft = 500;
constexpr int BelowMainWindow = 25;
}  // namespace

TCallsign::TCallsign(TSettingsWindow& form1, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      Form1(form1) {
    setWindowTitle(QStringLiteral("Callsign"));
    setFont(FormFont());
    setFixedSize(ClientWidth, ClientHeight);
    setModal(false);

    Label1 = new QLabel(QStringLiteral("Your Callsign please!"), this);
    Label1->move(72, 40);
    Label1->adjustSize();

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(48, 64, 73, 21);
    Edit1->setValidator(new TUpperCaseValidator(Edit1));

    Button1 = new QPushButton(QStringLiteral("Save"), this);
    Button1->setGeometry(136, 62, 75, 25);
    Button1->setDefault(true);  // Enter in the box saves

    setTabOrder(Edit1, Button1);
    Edit1->setFocus();
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    FormCreate();
}

void TCallsign::FormCreate() {
    move(DialogLeft, Form1.Top() + BelowMainWindow);
}

// Copies the text as it is, the empty text included.
void TCallsign::Button1Click() {
    Form1.SetCallSign(Edit1->text().toLatin1().toStdString());
    close();
}

}  // namespace skimby
