// The main window, Form1: server selector, Connect button, call-sign box,
// "Sound" and "Always on top", the spot grid and the status bar. It owns the
// spot and member tables, the server list, the alert player and the network
// clients, runs the program's start-up and close, and shows every error
// that escapes one of its handlers in a message box.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <string_view>

#include "app/FormEnvironment.h"
#include "app/PaintPacer.h"
#include "app/QtWindowServices.h"
#include "display/GridModel.h"
#include "net/AntiFreeze.h"
#include "settings/DecimalMark.h"
#include "settings/ServerList.h"
#include "settings/SettingsWindow.h"
#include "spots/AlertPlayer.h"
#include "spots/MemberTable.h"
#include "spots/ReceivedText.h"
#include "spots/SpotTable.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QCheckBox;

namespace skimby {

class TCallsign;
class TMouseUpCheckBox;
class TPanel;
class TSpotGrid;
class TStatusBar;

// The address the member list is fetched from for a call sign, which goes
// in unchanged; on the member-data server given, or the built-in one.
std::string MemberListUrl(const std::string& host, const std::string& callSign);
std::string MemberListUrl(const std::string& callSign);

class TForm1 : public QWidget, public TSettingsWindow, public TStatusPanel {
  public:
    // Builds the window with every control as designed and runs FormCreate.
    explicit TForm1(TFormEnvironment environment, QWidget* parent = nullptr);
    ~TForm1() override;

    // The call-sign dialog FormShow opens; created after this window.
    void SetCallsignDialog(TCallsign* dialog) { Callsign = dialog; }

    // Handlers. The window's events run them through Guarded; called
    // directly, their errors reach the caller.
    void FormCreate();
    void FormShow();
    void FormClose();
    void CheckBox1Click();
    void CheckBox2MouseUp(Qt::MouseButton button);
    void Button1Click();
    void ComboBox1Change();
    void Telnet1Connected();
    void Telnet1Disconnected();
    void Telnet1Status(int status, const std::string& text);
    void Telnet1DataAvailable(std::string_view text) { Received.Telnet1DataAvailable(text); }

    // Runs a handler; an error that escapes it is shown in the error box.
    // False when one did.
    template <typename F>
    bool Guarded(F&& handler);
    // Shows an error's message the way every escaped error is shown.
    void ShowException(std::string_view message);

    // TSettingsWindow: geometry is the window's outer one, frame included.
    int Width() const override;
    void SetWidth(int value) override;
    int Height() const override;
    void SetHeight(int value) override;
    int Left() const override;
    void SetLeft(int value) override;
    int Top() const override;
    void SetTop(int value) override;
    bool Maximized() const override;
    std::string CallSign() const override;
    void SetCallSign(const std::string& value) override;
    bool AlwaysOnTop() const override { return OnTopFlag; }
    void SetAlwaysOnTop(bool value) override { OnTopFlag = value; }
    void SetAlwaysOnTopCheck(bool checked) override;
    void SetStayOnTopStyle(bool onTop) override;
    void AddServerItem(const std::string& name) override;
    int ItemCount() const override;
    int ItemIndex() const override;
    void SetItemIndex(int index) override;
    int PrimaryScreenWidth() const override;

    // TStatusPanel
    void SetPanelText(int panel, std::string_view text) override;
    std::string PanelText(int panel) const;

    // What the window keeps, for the program's start and for tests.
    const std::string& SettingsFile() const { return SettingsPath; }
    bool SoundOn() const { return Spots.SoundOn(); }
    const TServerList& ServerList() const { return Servers; }
    const TMemberTable& MemberTable() const { return Members; }
    TGridModel& SpotModel() { return Model; }
    bool FetchRunning() const { return Fetching; }

    TPanel* Panel1;
    QPushButton* Button1;
    QComboBox* ComboBox1;
    QLineEdit* Edit3;
    QCheckBox* CheckBox1;
    TMouseUpCheckBox* CheckBox2;
    TSpotGrid* SpotGrid1;
    TStatusBar* StatusBar1;

  protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void BuildControls();
    void ConnectHandlers();
    void ConnectTelnetEvents();
    int FrameExtraWidth() const;
    int FrameExtraHeight() const;
    void ApplyOuterSize();
    void FitOuterSizeToFrame();
    void LayoutControls();

    // Before the network clients, so that waits stay sliced and the window
    // responsive for as long as the clients live.
    TQtWindowServices WindowServices;
    TAntiFreeze AntiFreeze1{WindowServices};
    TFormEnvironment Environment;
    std::string AppTitle;
    TDecimalMark DecimalMark;
    std::string FolderName;
    std::string SettingsPath;

    TGridModel Model;
    TAlertPlayer Player;
    TSpotTable Spots;
    TMemberTable Members;
    TServerList Servers;
    TReceivedText Received;
    TTelnetLink* Telnet1;  // owned by Environment
    TTextFetcher* HTTP;    // owned by Environment

    TCallsign* Callsign = nullptr;
    TPaintPacer* Pacer;
    bool OnTopFlag = true;  // on until the settings say otherwise
    bool Fetching = false;
    bool FetchAbandoned = false;
    // The outer size asked for, until the window system has told us the
    // frame's size and the client area has been fitted to it.
    bool OuterSizePending = false;
    int OuterWidth = 0;
    int OuterHeight = 0;
};

template <typename F>
bool TForm1::Guarded(F&& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unexpected error");
    }
    return false;
}

}  // namespace skimby
