// What the settings read and set of the main window. The window implements
// it; the settings code stays free of any windowing library.
#pragma once

#include <string>

namespace skimby {

class TSettingsWindow {
  public:
    virtual ~TSettingsWindow() = default;

    // Outer geometry in screen pixels, frame included.
    virtual int Width() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int value) = 0;
    virtual int Left() const = 0;
    virtual void SetLeft(int value) = 0;
    virtual int Top() const = 0;
    virtual void SetTop(int value) = 0;
    virtual bool Maximized() const = 0;

    // The call-sign box's text.
    virtual std::string CallSign() const = 0;
    virtual void SetCallSign(const std::string& value) = 0;

    // The always-on-top flag the window keeps, the "Always on top" box's
    // tick and the window's stay-on-top style are three separate things.
    virtual bool AlwaysOnTop() const = 0;
    virtual void SetAlwaysOnTop(bool value) = 0;
    virtual void SetAlwaysOnTopCheck(bool checked) = 0;
    virtual void SetStayOnTopStyle(bool onTop) = 0;

    // The server selector: its items and the selected index, -1 for none.
    virtual void AddServerItem(const std::string& name) = 0;
    virtual int ItemCount() const = 0;
    virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int index) = 0;

    virtual int PrimaryScreenWidth() const = 0;
};

}  // namespace skimby
