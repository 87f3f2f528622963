#include "app/MessageText.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/MessageBoxes.h"
#include "support/QtTestApp.h"

namespace skimby {
namespace {

TEST(ErrorBoxTextTest, AppendsAFullStopOnlyAfterBytesThatComeAfterIt) {
    const struct {
        std::string Message;
        std::string Shown;
    } cases[] = {
        {"abc", "abc."},
        {"server not responding", "server not responding."},
        {"Socket Error # 10061\r\nConnection refused",
         "Socket Error # 10061\r\nConnection refused."},
        {"x9", "x9."},
        {"x/", "x/."},  // "/" comes right after "."
        {"x.", "x."},
        {"x!", "x!"},
        {"x)", "x)"},
        {"'23 ' is not a valid integer value", "'23 ' is not a valid integer value."},
        {"'x'", "'x'"},
        {"x\"", "x\""},
        {"x-", "x-"},  // "-" comes right before "."
        {"x ", "x "},
        {"caf\xE9", "caf\xE9."},  // a byte above 127 is after "."
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.Message), c.Shown) << c.Message;
}

TEST(ApplicationTitleTest, IsTheFileNameUpToItsFirstDotWithTheRestInLowerCase) {
    const struct {
        std::string File;
        std::string Title;
    } cases[] = {
        {"Skimby.exe", "Skimby"}, {"skimby", "skimby"},        {"SKIMBY", "Skimby"},
        {"sKIMBY.Ex", "skimby"},  {"Skimby.v2.exe", "Skimby"}, {".hidden", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ApplicationTitle(c.File), c.Title) << c.File;
}

// The real box, answered by a timer once it is up.
TEST(ErrorBoxTest, HasTheErrorIconOneOkButtonAndTheTitle) {
    QtTestApp();
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Skimby"));
        EXPECT_EQ(box->text(), QString::fromLatin1("Cannot open file /x/telnet.ini."));
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    ShowErrorBox("Skimby", "Cannot open file /x/telnet.ini.");
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace skimby
