// Shows the spot grid filled with a screenful of member spots, for looking
// at it and taking screenshots. The spots come from sample cluster text run
// through the real data handler, so colours, bold type and balloons are the
// ones the program gives.
//   --tip          the pointer rests on a spot cell, so its balloon shows
//   --zoom N       zoom in steps of 3 points, as the Ctrl-wheel does, towards N
//   --lines N      hand over only the first N lines of the sample text
//   --window WxH   show the grid in a W x H window between a top panel and
//                  a status bar, as the main window holds it
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "display/GridModel.h"
#include "display/SpotGrid.h"
#include "platform/NumberText.h"
#include "spots/ReceivedText.h"

namespace {

using namespace skimby;

// Call, name, QTH, worked flag, QSO count; CR LF between members.
const char MemberList[] =
    "RW1M\tIvan\tSt Petersburg\tNo\t0\r\n"
    "OH2BH\tMartti\tEspoo\tYes\t12\r\n"
    "DL9ABC\tHans\tBerlin\tNo\t0\r\n"
    "K1ABC\tBob\tBoston\tYes\t3\r\n"
    "OH1KAV\tOperator\tTurku\tNo\t0\r\n"
    "SM5AAA\tLars\tStockholm\tNo\t0\r\n"
    "JA1ZZZ\tTaro\tTokyo\tNo\t0\r\n"
    "OH2XX\tPekka\tHelsinki\tYes\t7\r\n"
    "G4XYZ\tJohn\tLondon\tNo\t0\r\n"
    "VK3ZZZ\tBruce\tMelbourne\tYes\t1\r\n"
    "OH3AC\tClub\tLahti\tNo\t0\r\n";

const char OperatorCall[] = "OH1KAV";

// Member spots among other stations' spots, as the cluster sends them.
const char ClusterText[] =
    "DX de LZ4UX-#:    7018.3  RW1M           CW    13 dB  18 WPM  CQ      2259Z\r\n"
    "DX de DK9IP-#:    7018.4  RW1M           CW    21 dB  18 WPM  CQ      2259Z\r\n"
    "DX de W3OA-#:    14031.2  N0NE           CW    12 dB  25 WPM  CQ      2259Z\r\n"
    "DX de KM3T-2-#: 14025.0  OH2BH          CW     9 dB  24 WPM  CQ      2300Z\r\n"
    "DX de W3OA-#:    14025.1  OH2BH          CW    17 dB  24 WPM  CQ      2300Z\r\n"
    "DX de OH6BG-#:    3523.5  DL9ABC         CW    30 dB  22 WPM  CQ      2301Z\r\n"
    "DX de SM7IUN-#:   3523.6  DL9ABC         CW    25 dB  22 WPM  CQ      2301Z\r\n"
    "DX de VE6WZ-#:   21032.2  K1ABC          CW     6 dB  28 WPM  CQ      2302Z\r\n"
    "DX de DF4UE-#:   10114.0  OH1KAV         CW    19 dB  20 WPM  CQ      2303Z\r\n"
    "DX de LZ4UX-#:   10114.0  OH1KAV         CW    22 dB  20 WPM  CQ      2303Z\r\n"
    "DX de G4ZFE-#:    7005.9  SM5AAA         CW    11 dB  26 WPM  CQ      2304Z\r\n"
    "DX de EA5WU-#:    7006.0  SM5AAA         CW    14 dB  26 WPM  CQ      2304Z\r\n"
    "DX de KM3T-2-#: 18082.1  JA1ZZZ         CW     4 dB  30 WPM  CQ      2305Z\r\n"
    "DX de OH6BG-#:   14040.6  OH2XX          CW    28 dB  19 WPM  CQ      2306Z\r\n"
    "DX de DK9IP-#:   14040.7  OH2XX          CW    24 dB  19 WPM  CQ      2306Z\r\n"
    "DX de S50ARX-#:   3512.2  G4XYZ          CW    16 dB  25 WPM  CQ      2307Z\r\n"
    "DX de W3OA-#:    28020.5  VK3ZZZ         CW     8 dB  23 WPM  CQ      2308Z\r\n"
    "DX de VE6WZ-#:   28020.6  VK3ZZZ         CW    12 dB  23 WPM  CQ      2308Z\r\n"
    "DX de LZ4UX-#:    7030.0  OH3AC          CW    20 dB  21 WPM  CQ      2309Z\r\n"
    "DX de DF4UE-#:    7030.1  OH3AC          CW    18 dB  21 WPM  CQ      2309Z\r\n"
    "DX de SM7IUN-#:   1826.5  OH2BH          CW    26 dB  24 WPM  CQ      2310Z\r\n";

class TNoStatus : public TStatusPanel {
  public:
    void SetPanelText(int, std::string_view) override {}
};

struct TOptions {
    bool Tip = false;
    int Zoom = 0;
    int Lines = -1;  // all
    QSize Window;    // empty: the grid alone
};

TOptions ParseOptions(int argc, char** argv) {
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--tip") {
            options.Tip = true;
        } else if (arg == "--zoom") {
            options.Zoom = std::atoi(value);
            ++i;
        } else if (arg == "--lines") {
            options.Lines = std::atoi(value);
            ++i;
        } else if (arg == "--window") {
            int w = 0, h = 0;
            if (std::sscanf(value, "%dx%d", &w, &h) == 2) options.Window = QSize(w, h);
            ++i;
        }
    }
    return options;
}

// The first lines of the sample text, or all of it.
std::string_view FirstLines(std::string_view text, int lines) {
    std::size_t end = 0;
    for (int n = 0; lines >= 0 && n < lines && end < text.size(); ++n)
        end = text.find('\n', end) + 1;
    return lines < 0 ? text : text.substr(0, end);
}

// A top panel and a two-panel status bar around the grid, as in the
// program's main window.
QMainWindow* WindowAround(TSpotGrid* grid, QSize size) {
    auto* window = new QMainWindow;
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* panel = new QWidget;
    auto* row = new QHBoxLayout(panel);
    row->addWidget(new QPushButton("Connect"));
    row->addWidget(new QLabel(OperatorCall));
    row->addStretch();
    layout->addWidget(panel);
    layout->addWidget(grid);
    window->setCentralWidget(central);
    window->statusBar()->addWidget(new QLabel("1575"), 1);
    window->statusBar()->addWidget(new QLabel("Connected."), 3);
    window->resize(size);
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const TOptions options = ParseOptions(argc, argv);
    SetDecimalSeparator(',');
    TGridModel model;
    auto* grid = new TSpotGrid(model);
    TAlertPlayer player([](const char*, void*, unsigned) { return true; });
    TSpotTable spots(model, player, [] { return std::string(OperatorCall); });
    spots.SetSoundOn(false);
    spots.PrepareSpotTable();
    TMemberTable members;
    members.FillMemberTable(MemberList);
    TNoStatus status;
    TReceivedText handler(spots, members, status, nullptr, nullptr);

    QWidget* shown = grid;
    if (options.Window.isEmpty())
        grid->resize(560, 4 + 18 * 23);
    else
        shown = WindowAround(grid, options.Window);
    shown->setWindowTitle("Skimby");
    shown->move(0, 0);
    shown->show();
    handler.Telnet1DataAvailable(FirstLines(ClusterText, options.Lines));
    for (int step = 0; step < std::abs(options.Zoom) / 3; ++step)
        grid->ZoomBy(options.Zoom > 0 ? 3 : -3);
    if (options.Tip) {
        QTimer::singleShot(300, grid, [grid] {
            const QPoint at = grid->CellRect(2, 5).center() + QPoint(10, 0);
            QMouseEvent move(QEvent::MouseMove, at, grid->viewport()->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(grid->viewport(), &move);
        });
    }
    const int result = app.exec();
    delete shown;  // before the model the grid observes
    return result;
}
