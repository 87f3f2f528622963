// A main window stand-in that only remembers what it is told.
#pragma once

#include <string>
#include <vector>

#include "settings/SettingsWindow.h"

namespace skimby {

class TFakeSettingsWindow : public TSettingsWindow {
  public:
    // As the window is built, before any settings are applied.
    int W = 467, H = 511, L = 244, T = 158;
    bool IsMaximized = false;
    std::string Call = "NOCALL";
    bool OnTopFlag = true, OnTopCheck = false, OnTopStyle = true;
    std::vector<std::string> Items;
    int Index = -1;
    int ScreenWidth = 1920;

    int Width() const override { return W; }
    void SetWidth(int value) override { W = value; }
    int Height() const override { return H; }
    void SetHeight(int value) override { H = value; }
    int Left() const override { return L; }
    void SetLeft(int value) override { L = value; }
    int Top() const override { return T; }
    void SetTop(int value) override { T = value; }
    bool Maximized() const override { return IsMaximized; }
    std::string CallSign() const override { return Call; }
    void SetCallSign(const std::string& value) override { Call = value; }
    bool AlwaysOnTop() const override { return OnTopFlag; }
    void SetAlwaysOnTop(bool value) override { OnTopFlag = value; }
    void SetAlwaysOnTopCheck(bool checked) override { OnTopCheck = checked; }
    void SetStayOnTopStyle(bool onTop) override { OnTopStyle = onTop; }
    void AddServerItem(const std::string& name) override { Items.push_back(name); }
    int ItemCount() const override { return static_cast<int>(Items.size()); }
    int ItemIndex() const override { return Index; }
    void SetItemIndex(int index) override { Index = index; }
    int PrimaryScreenWidth() const override { return ScreenWidth; }
};

}  // namespace skimby
