#include "app/MessageBoxes.h"

#include <QMessageBox>

namespace skimby {

namespace {

// Without a parent the box is centred on the screen; kept on top so that a
// main window which stays on top cannot hide it.
void ShowBox(QMessageBox::Icon icon, const std::string& title, const std::string& text) {
    QMessageBox box(icon, QString::fromLatin1(title), QString::fromLatin1(text), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void ShowErrorBox(const std::string& title, const std::string& text) {
    ShowBox(QMessageBox::Critical, title, text);
}

void ShowMessageDialog(const std::string& title, const std::string& text) {
    ShowBox(QMessageBox::NoIcon, title, text);
}

}  // namespace skimby
