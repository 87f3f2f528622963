// The Connect button, the server selector and the telnet connection's
// events: fetching the member list, opening and closing the connection,
// and keeping the caption, the selector and the status text in step.
#include <QComboBox>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "platform/Exception.h"
#include "platform/IntegerText.h"

#ifndef SKIMBY_MEMBER_HOST
#error "SKIMBY_MEMBER_HOST must name the member-data web server"
#endif

namespace skimby {

namespace {

constexpr int StatusPanel = 1;

// Marks a fetch as running for as long as the object lives.
class TFetchScope {
  public:
    explicit TFetchScope(bool& running) : Running(running) { Running = true; }
    ~TFetchScope() { Running = false; }
    TFetchScope(const TFetchScope&) = delete;
    TFetchScope& operator=(const TFetchScope&) = delete;

  private:
    bool& Running;
};

}  // namespace

std::string BuiltInMemberHost() {
    return SKIMBY_MEMBER_HOST;
}

std::string MemberListUrl(const std::string& host, const std::string& callSign) {
    return "http://" + host + "/rbndata2.php?mycall=" + callSign;
}

std::string MemberListUrl(const std::string& callSign) {
    return MemberListUrl(BuiltInMemberHost(), callSign);
}

void TForm1::ConnectTelnetEvents() {
    if (!Telnet1) return;
    Telnet1->OnStatus = [this](int status, const std::string& text) {
        Telnet1Status(status, text);
    };
    Telnet1->OnConnected = [this] { Telnet1Connected(); };
    Telnet1->OnDisconnected = [this] { Telnet1Disconnected(); };
    // Not guarded: an error here goes back to the reader, which stops and
    // ends the connection.
    Telnet1->OnDataAvailable = [this](std::string_view text) { Telnet1DataAvailable(text); };
}

void TForm1::Button1Click() {
    if (!Telnet1 || !HTTP) return;
    // The window keeps working while the member list is fetched, so the
    // button can be pressed again meanwhile; the one fetch goes on alone.
    if (Fetching) return;
    if (Telnet1->IsOpen()) {
        Telnet1->Close();  // the disconnected handler sets caption and selector
        return;
    }

    std::string body;
    {
        // From here on a second press is ignored and a close abandons the
        // fetch, also while the text below is painted.
        const TFetchScope fetch(Fetching);
        SetPanelText(TReceivedText::CounterPanel, "Fetching user list...");
        // Painted before the fetch begins.
        WindowServices.ProcessMessages();
        Pacer->PaintNow();
        try {
            if (!FetchAbandoned)
                body = HTTP->FetchText(MemberListUrl(Environment.MemberHost, CallSign()));
        } catch (...) {
            if (!FetchAbandoned) throw;
        }
    }
    if (FetchAbandoned) {
        // The window was closed during the fetch: close it now, as usual.
        FetchAbandoned = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    Members.FillMemberTable(body);

    // Read only now: a server chosen during the fetch is the one used.
    const int row = Servers.ServerRow();
    Telnet1->SetHost(Servers.Host(row));
    const std::string& portText = Servers.Port(row);
    const std::optional<std::int32_t> port = TextToInt(portText);
    if (!port) throw EConvertError("'" + portText + "' is not a valid integer value");
    Telnet1->SetPort(*port);
    // A partial line kept from the last server must not join this one's text.
    Received.ConnectionOpened();
    Telnet1->Open();
}

// Typed text selects the item of that name; text that names no item leaves
// the selection, and with it the server row, as it is.
void TForm1::ComboBox1Change() {
    const int typed = ComboBox1->findText(ComboBox1->currentText(), Qt::MatchExactly);
    if (typed >= 0 && typed != ComboBox1->currentIndex()) ComboBox1->setCurrentIndex(typed);
    const int index = ComboBox1->currentIndex();
    if (index >= 0 && index < Servers.RowCount()) Servers.SetServerRow(index);
}

void TForm1::Telnet1Connected() {
    Button1->setText(QStringLiteral("Disconnect"));
    ComboBox1->setEnabled(false);
}

void TForm1::Telnet1Disconnected() {
    Button1->setText(QStringLiteral("Connect"));
    ComboBox1->setEnabled(true);
}

void TForm1::Telnet1Status(int, const std::string& text) {
    SetPanelText(StatusPanel, text);
}

}  // namespace skimby
