// Shows the spot grid filled with a screenful of member spots, for looking
// at it and taking screenshots. The spots come from sample cluster text run
// through the real data handler, so colours, bold type and balloons are the
// ones the program gives. With --tip, the pointer is made to rest on a spot
// cell so its balloon tip shows too; with --zoom N the text is N points
// larger.
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetDecimalSeparator(',');
    TGridModel model;
    TSpotGrid grid(model);
    TAlertPlayer player([](const char*, void*, unsigned) { return true; });
    TSpotTable spots(model, player, [] { return std::string(OperatorCall); });
    spots.SetSoundOn(false);
    spots.PrepareSpotTable();
    TMemberTable members;
    members.FillMemberTable(MemberList);
    TNoStatus status;
    TReceivedText handler(spots, members, status, nullptr, nullptr);
    handler.Telnet1DataAvailable(ClusterText);

    grid.setWindowTitle("Skimby");
    grid.move(0, 0);
    grid.resize(560, 4 + 18 * 23);
    grid.show();
    if (argc > 2 && std::strcmp(argv[1], "--zoom") == 0) grid.ZoomBy(std::atoi(argv[2]));
    if (argc > 1 && std::strcmp(argv[1], "--tip") == 0) {
        QTimer::singleShot(300, &grid, [&grid] {
            const QPoint at = grid.CellRect(2, 5).center() + QPoint(10, 0);
            QMouseEvent move(QEvent::MouseMove, at, grid.viewport()->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(grid.viewport(), &move);
        });
    }
    return app.exec();
}
