#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppTestSupport.h"
#include "app/CallsignDialog.h"
#include "app/Controls.h"
#include "display/SpotGrid.h"
#include "platform/PlaySound.h"

namespace skimby {
namespace {

using MainWindowTest = AppTest;

// The control among the given ones that has the focus, or holds the widget
// that has it (the selector's edit field).
QWidget* FocusedOf(const std::vector<QWidget*>& controls) {
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        for (QWidget* c : controls)
            if (c == w) return c;
    }
    return nullptr;
}

TEST_F(MainWindowTest, ControlsSitWhereDesignedWithTheirTextsAndTabOrder) {
    WriteSettings("[Telnet]\nMycall=DL9ABC\n[Form]\nW=500\nH=420\nLeft=10\nTop=20\n");
    Start();
    TForm1& f = Form();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Skimby"));
    EXPECT_FALSE(f.windowIcon().pixmap(32).isNull());

    const struct {
        const char* Name;
        QWidget* Control;
        QRect Geometry;
        QString Text;
    } table[] = {
        {"Button1", f.Button1, {82, 8, 67, 22}, "Connect"},
        {"ComboBox1", f.ComboBox1, {9, 7, 68, 21}, "Main"},
        {"Edit3", f.Edit3, {9, 32, 68, 21}, "DL9ABC"},
        {"CheckBox1", f.CheckBox1, {85, 35, 57, 17}, "Sound"},
        {"CheckBox2", f.CheckBox2, {160, 11, 97, 17}, "Always on top"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Control->parentWidget(), f.Panel1);
        EXPECT_EQ(c.Control->geometry(), c.Geometry);
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(c.Control)) text = b->text();
        if (auto* e = qobject_cast<QLineEdit*>(c.Control)) text = e->text();
        if (auto* s = qobject_cast<QComboBox*>(c.Control)) text = s->currentText();
        EXPECT_EQ(text, c.Text);
    }
    EXPECT_EQ(f.Button1->toolTip(), QStringLiteral("Connect to RBN cluster"));
    EXPECT_TRUE(f.ComboBox1->isEditable());
    EXPECT_TRUE(f.CheckBox1->isChecked());

    // The settings give the outer size; the controls live in the client area.
    EXPECT_EQ(f.frameGeometry(), QRect(10, 20, 500, 420));
    EXPECT_EQ(f.Width(), 500);
    EXPECT_EQ(f.Height(), 420);
    EXPECT_EQ(f.Left(), 10);
    EXPECT_EQ(f.Top(), 20);

    // Panel along the top, status bar along the bottom, the grid between.
    const int w = f.width(), h = f.height();
    EXPECT_EQ(f.Panel1->geometry(), QRect(0, 0, w, 65));
    EXPECT_EQ(f.StatusBar1->geometry(), QRect(0, h - 19, w, 19));
    EXPECT_EQ(f.StatusBar1->PanelWidth(0), 150);
    EXPECT_EQ(f.StatusBar1->PanelWidth(1), 120);
    EXPECT_EQ(f.SpotGrid1->geometry().top(), 65);
    EXPECT_EQ(f.SpotGrid1->width(), w);
    EXPECT_GE(f.SpotGrid1->geometry().bottom() + 1, h - 19 - 15);
    EXPECT_LE(f.SpotGrid1->geometry().bottom() + 1, h - 19 + 2);

    // Tab goes through the controls in their designed order.
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    const std::vector<QWidget*> order = {f.Button1, f.ComboBox1, f.Edit3, f.CheckBox1, f.CheckBox2};
    f.Button1->setFocus();
    for (std::size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(FocusedOf(order), order[i]) << "tab " << i;
    }
}

// Each text must fit its control's designed size in the chosen font.
TEST_F(MainWindowTest, TextsFitTheirControls) {
    Start();
    TForm1& f = Form();
    f.Button1->setText(QStringLiteral("Disconnect"));  // the longer caption
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(f.Button1), static_cast<QAbstractButton*>(f.CheckBox1),
          static_cast<QAbstractButton*>(f.CheckBox2)}) {
        const QFontMetrics fm(b->font());
        const int textWidth = fm.horizontalAdvance(b->text());
        if (qobject_cast<QCheckBox*>(b)) {
            EXPECT_LE(b->sizeHint().width(), b->width()) << b->text().toStdString();
        } else {
            EXPECT_LE(textWidth + 8, b->width()) << b->text().toStdString();
        }
        EXPECT_LE(fm.height(), b->height() - 4) << b->text().toStdString();
    }
    const QFontMetrics fm(f.Edit3->font());
    EXPECT_LE(fm.horizontalAdvance(QStringLiteral("DL9ABCD")) + 8, f.Edit3->width());
    EXPECT_LE(fm.height() + 6, f.Edit3->height());

    TCallsign& d = Program->Callsign();
    EXPECT_LE(d.Label1->sizeHint().width(), d.width() - d.Label1->x());
    EXPECT_LE(QFontMetrics(d.Button1->font()).horizontalAdvance(d.Button1->text()) + 8,
              d.Button1->width());
}

TEST_F(MainWindowTest, StartUpPlaysTheSoundAppliesTheSettingsAndPreparesTheGrid) {
    WriteSettings(
        "[Telnet]\nServnr=1\nMycall=DL9ABC\n[Form]\nW=400\nH=300\nLeft=33\nTop=44\nOnTop=0\n");
    Start(/*show=*/false);
    TForm1& f = Form();
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(f.SettingsFile(), Dir.File("Skimby.ini"));
    ASSERT_EQ(Played, std::vector<std::string>{Dir.File("x.wav")});
    EXPECT_EQ(PlayFlags, SND_FILENAME);  // synchronous, once, default sound allowed

    EXPECT_EQ(f.CallSign(), "DL9ABC");
    EXPECT_EQ(f.ItemCount(), 3);
    EXPECT_EQ(f.ItemIndex(), 1);
    EXPECT_EQ(f.ServerList().ServerRow(), 1);
    EXPECT_FALSE(f.AlwaysOnTop());
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    Program->Show();
    QApplication::processEvents();
    EXPECT_EQ(f.frameGeometry(), QRect(33, 44, 400, 300));
    EXPECT_EQ(f.SpotModel().ColWidth(0), 90);
    EXPECT_EQ(f.SpotModel().ColWidth(1), 70);
    EXPECT_EQ(f.SpotModel().ColWidth(2), 80);
    EXPECT_EQ(f.SpotModel().Cells(3, 0), "Info");
    EXPECT_TRUE(f.SpotModel().BalloonEnabled());
    EXPECT_EQ(f.SpotModel().CurrentRow(), 1);
    EXPECT_FALSE(Program->Callsign().isVisible());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindowTest, OnTopSettingGivesTheStayOnTopStyle) {
    WriteSettings("[Form]\nOnTop=1\n");
    Start();
    EXPECT_TRUE(Form().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(Form().CheckBox2->isChecked());
    EXPECT_TRUE(Form().AlwaysOnTop());
}

// The case that occurs: no server list. The box says so, and the window
// opens as designed, with the steps after the failing one skipped.
TEST_F(MainWindowTest, MissingServerListIsShownAndTheWindowOpensAsDesigned) {
    std::remove(Dir.File("telnet.ini").c_str());
    WriteSettings("[Telnet]\nMycall=DL9ABC\n[Form]\nW=400\nOnTop=0\n");
    Start();
    TForm1& f = Form();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0],
              (TShownText{"skimby_tests_app", "Cannot open file " + Dir.File("telnet.ini") + "."}));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(Played.size(), 1u);  // the steps before it ran
    EXPECT_EQ(DecimalSeparator(), ',');

    EXPECT_EQ(f.pos(), QPoint(244, 158));
    EXPECT_EQ(f.size(), QSize(451, 473));  // the client area
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(f.CallSign(), "NOCALL");
    EXPECT_EQ(f.ItemCount(), 0);
    EXPECT_EQ(f.ComboBox1->currentText(), QString());
    EXPECT_FALSE(f.SpotModel().BalloonEnabled());  // not prepared
    EXPECT_NE(f.SpotModel().ColWidth(0), 90);
    EXPECT_TRUE(Program->Callsign().isVisible());  // "NOCALL"

    // Closing still saves, with no server selected.
    EXPECT_TRUE(f.close());
    EXPECT_NE(ReadBytes(Dir.File("Skimby.ini")).find("Servnr=-1"), std::string::npos);
}

TEST_F(MainWindowTest, CallsignDialogShowsForNoCallOrEmptyBelowTheSavedTop) {
    const struct {
        std::string Settings;
        bool Shown;
    } cases[] = {
        {"[Telnet]\nMycall=NOCALL\n", true},
        {"[Telnet]\nMycall=\n", true},
        {"", true},  // the default call sign is "NOCALL"
        {"[Telnet]\nMycall=DL9ABC\n", false},
        {"[Telnet]\nMycall=NOCALL2\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Settings);
        WriteSettings(c.Settings + "[Form]\nLeft=700\nTop=300\n");
        Start();
        EXPECT_EQ(Program->Callsign().isVisible(), c.Shown);
        EXPECT_EQ(Program->Callsign().pos(), QPoint(500, 325));
        EXPECT_TRUE(Form().isVisible());  // not modal: the main window goes on
        Program.reset();
    }
}

TEST_F(MainWindowTest, CallsignDialogLooksAsDesigned) {
    Start();
    TCallsign& d = Program->Callsign();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Callsign"));
    EXPECT_EQ(d.size(), QSize(275, 149));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());  // not resizable
    EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(d.Label1->text(), QStringLiteral("Your Callsign please!"));
    EXPECT_EQ(d.Label1->pos(), QPoint(72, 40));
    EXPECT_EQ(d.Edit1->geometry(), QRect(48, 64, 73, 21));
    EXPECT_EQ(d.Edit1->text(), QString());
    EXPECT_EQ(d.Button1->geometry(), QRect(136, 62, 75, 25));
    EXPECT_EQ(d.Button1->text(), QStringLiteral("Save"));
    EXPECT_EQ(d.Edit1->nextInFocusChain(), d.Button1);
}

TEST_F(MainWindowTest, SaveCopiesTheTextEvenWhenEmptyAndTheFrameChangesNothing) {
    Start();
    TCallsign& d = Program->Callsign();
    ASSERT_TRUE(d.isVisible());
    QTest::keyClicks(d.Edit1, "dl9abc");
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("DL9ABC"));  // typed in capitals
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_EQ(Form().CallSign(), "DL9ABC");
    EXPECT_FALSE(d.isVisible());

    d.show();
    d.Edit1->clear();
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_EQ(Form().CallSign(), "");
    EXPECT_FALSE(d.isVisible());

    d.show();
    QTest::keyClicks(d.Edit1, "k9abc");
    d.close();  // the frame's close button
    EXPECT_EQ(Form().CallSign(), "");
    EXPECT_FALSE(d.isVisible());

    // Saved only when the main window closes.
    EXPECT_FALSE(Exists(Dir.File("Skimby.ini")));
    EXPECT_TRUE(Form().close());
    EXPECT_NE(ReadBytes(Dir.File("Skimby.ini")).find("Mycall=\n"), std::string::npos);
}

TEST_F(MainWindowTest, CallSignBoxTypesCapitals) {
    Start();
    QLineEdit* e = Form().Edit3;
    e->clear();
    QTest::keyClicks(e, "oh2bh/p");
    EXPECT_EQ(Form().CallSign(), "OH2BH/P");
    // Typed or pasted text goes through the same rule.
    e->clear();
    e->insert(QString::fromUtf8("s\xC3\xA4\xC3\xBF"));  // Latin-1 letters; no capital y-diaeresis
    EXPECT_EQ(Form().CallSign(), "S\xC4\xFF");
    e->insert(QString::fromUtf8("\xE2\x82\xAC"));  // not 8-bit text: refused
    EXPECT_EQ(Form().CallSign(), "S\xC4\xFF");
}

TEST_F(MainWindowTest, AlwaysOnTopChangesByMouseOnlyAndThenAsksForARestart) {
    WriteSettings("[Telnet]\nMycall=DL9ABC\n[Form]\nOnTop=0\n");
    Start();
    TForm1& f = Form();
    TMouseUpCheckBox* box = f.CheckBox2;

    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(f.AlwaysOnTop());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], (TShownText{"skimby_tests_app", "Restart application to activate!"}));
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));  // at the next start

    // By keyboard: the tick changes, the flag does not, no message.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(f.AlwaysOnTop());
    EXPECT_EQ(Messages.size(), 1u);

    // The right button: the message, and the flag takes the tick as it stands.
    QTest::mouseClick(box, Qt::RightButton);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(f.AlwaysOnTop());
    EXPECT_EQ(Messages.size(), 2u);

    EXPECT_TRUE(f.close());
    EXPECT_NE(ReadBytes(Dir.File("Skimby.ini")).find("OnTop=0"), std::string::npos);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindowTest, SoundBoxSetsTheSoundFlagByMouseAndKeyboard) {
    Start();
    TForm1& f = Form();
    EXPECT_TRUE(f.SoundOn());
    QTest::mouseClick(f.CheckBox1, Qt::LeftButton);
    EXPECT_FALSE(f.SoundOn());
    f.CheckBox1->setFocus();
    QTest::keyClick(f.CheckBox1, Qt::Key_Space);
    EXPECT_TRUE(f.SoundOn());
}

TEST_F(MainWindowTest, CloseSavesTheSettingsAndPutsTheDecimalMarkBack) {
    SetDecimalSeparator('.');
    WriteSettings("[Telnet]\nServnr=2\nMycall=DL9ABC\n[Form]\nW=400\nH=300\nLeft=33\nTop=44\n");
    Start();
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_TRUE(Form().close());
    EXPECT_EQ(DecimalSeparator(), '.');
    EXPECT_FALSE(Program->Callsign().isVisible());
    const std::string saved = ReadBytes(Dir.File("Skimby.ini"));
    for (const char* line :
         {"Servnr=2", "Mycall=DL9ABC", "W=400", "H=300", "Left=33", "Top=44", "OnTop=1"}) {
        EXPECT_NE(saved.find(line), std::string::npos) << line;
    }
}

// A settings file that cannot be written stops the close; closing again
// tries again.
TEST_F(MainWindowTest, UnwritableSettingsFileKeepsTheWindowOpen) {
    Start();
    const std::string file = Dir.File("Skimby.ini");
    ASSERT_EQ(mkdir(file.c_str(), 0700), 0);  // a folder where the file should be

    EXPECT_FALSE(Form().close());
    EXPECT_TRUE(Form().isVisible());
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], (TShownText{"skimby_tests_app", "Unable to write to " + file + "."}));
    EXPECT_EQ(DecimalSeparator(), ',');  // the close did not get that far

    ASSERT_EQ(rmdir(file.c_str()), 0);
    EXPECT_TRUE(Form().close());
    EXPECT_FALSE(Form().isVisible());
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(Errors.size(), 1u);
}

}  // namespace
}  // namespace skimby
