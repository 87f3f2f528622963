// The program started as main starts it, but in a temporary program folder,
// with a recording sound service and message boxes, and fake network
// clients.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "FakeNetwork.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "platform/NumberText.h"
#include "support/QtTestApp.h"
#include "support/TempFolder.h"

namespace skimby {

struct TShownText {
    std::string Title;
    std::string Text;
    bool operator==(const TShownText&) const = default;
};

inline void PrintTo(const TShownText& t, std::ostream* os) {
    *os << "{\"" << t.Title << "\", \"" << t.Text << "\"}";
}

class AppTest : public testing::Test {
  protected:
    static constexpr const char* ThreeServers =
        "Main\tmain.example.net\t7000\r\n"
        "Backup\t10.0.0.2\t7300\r\n"
        "Third\tthird.example.net\t0x17\r\n";

    AppTest() : SavedMark(DecimalSeparator()) {
        // Closing a window ends a test, not the test program.
        QApplication::setQuitOnLastWindowClosed(false);
        WriteBytes(Dir.File("telnet.ini"), ThreeServers);
    }
    ~AppTest() override {
        Program.reset();
        SetDecimalSeparator(SavedMark);
    }

    void WriteSettings(const std::string& text) { WriteBytes(Dir.File("Skimby.ini"), text); }

    // Creates the windows (running the start-up) and, unless told not to,
    // shows the main window.
    TProgram& Start(bool show = true) {
        TFormEnvironment env;
        env.ProgramFolder = [this] { return Dir.Path(); };
        env.Sound = [this](const char* name, void*, unsigned flags) {
            Played.push_back(name);
            PlayFlags = flags;
            return true;
        };
        env.ShowErrorBox = [this](const std::string& title, const std::string& text) {
            Errors.push_back({title, text});
        };
        env.ShowMessageDialog = [this](const std::string& title, const std::string& text) {
            Messages.push_back({title, text});
        };
        PlugNetwork(env);
        Program = std::make_unique<TProgram>(std::move(env));
        if (show) {
            Program->Show();
            QApplication::processEvents();
        }
        return *Program;
    }

    TForm1& Form() { return Program->Form1(); }

    // Fakes that do what the window asks at once; a test of the real
    // clients plugs those in instead.
    virtual void PlugNetwork(TFormEnvironment& env) {
        auto telnet = std::make_unique<TFakeTelnet>();
        Telnet = telnet.get();
        env.Telnet = std::move(telnet);
        auto http = std::make_unique<TFakeFetcher>();
        Http = http.get();
        env.Http = std::move(http);
    }

    QApplication& App = QtTestApp();  // before any widget
    TTempFolder Dir;
    char SavedMark;
    std::unique_ptr<TProgram> Program;
    TFakeTelnet* Telnet = nullptr;
    TFakeFetcher* Http = nullptr;
    std::vector<std::string> Played;
    unsigned PlayFlags = 0;
    std::vector<TShownText> Errors;
    std::vector<TShownText> Messages;
};

}  // namespace skimby
