#include "settings/Settings.h"

#include "settings/IniFile.h"

namespace skimby {

namespace {

const std::string Telnet = "Telnet";
const std::string Form = "Form";

void ApplyServerItems(TSettingsWindow& window, TServerList& servers, int servnr) {
    for (int row = 0; row < servers.RowCount(); ++row) window.AddServerItem(servers.Name(row));
    if (servnr >= 0 && servnr < window.ItemCount()) {
        window.SetItemIndex(servnr);
        servers.SetServerRow(servnr);
    } else {
        window.SetItemIndex(-1);
    }
}

}  // namespace

void LoadSettings(TSettingsWindow& window, TServerList& servers, const std::string& programFolder,
                  const std::string& settingsFile) {
    servers.LoadFromFile(programFolder + "telnet.ini");

    const TIniFile ini(settingsFile);
    const int servnr = ini.ReadInteger(Telnet, "Servnr", 0);
    const std::string myCall = ini.ReadString(Telnet, "MyCall", "NOCALL");
    const int w = ini.ReadInteger(Form, "W", DefaultWidth);
    const int h = ini.ReadInteger(Form, "H", DefaultHeight);
    const int left = ini.ReadInteger(Form, "Left", DefaultLeft(window.PrimaryScreenWidth()));
    const int top = ini.ReadInteger(Form, "Top", DefaultTop);
    const bool onTop = ini.ReadBool(Form, "OnTop", true);

    window.SetCallSign(myCall);
    // Used as read, even when they put the window off the screen.
    window.SetWidth(w);
    window.SetHeight(h);
    window.SetLeft(left);
    window.SetTop(top);
    window.SetAlwaysOnTop(onTop);
    window.SetAlwaysOnTopCheck(onTop);
    window.SetStayOnTopStyle(onTop);
    ApplyServerItems(window, servers, servnr);
}

void SaveSettings(const TSettingsWindow& window, const std::string& settingsFile) {
    TIniFile ini(settingsFile);
    ini.WriteInteger(Telnet, "Servnr", window.ItemIndex());
    ini.WriteString(Telnet, "Mycall", window.CallSign());
    if (window.Maximized()) {
        ini.WriteInteger(Form, "W", DefaultWidth);
        ini.WriteInteger(Form, "H", DefaultHeight);
        ini.WriteInteger(Form, "Left", DefaultLeft(window.PrimaryScreenWidth()));
        ini.WriteInteger(Form, "Top", DefaultTop);
    } else {
        ini.WriteInteger(Form, "W", window.Width());
        ini.WriteInteger(Form, "H", window.Height());
        ini.WriteInteger(Form, "Left", window.Left());
        ini.WriteInteger(Form, "Top", window.Top());
    }
    ini.WriteBool(Form, "OnTop", window.AlwaysOnTop());
}

}  // namespace skimby
