// Shows the spot grid filled with a screenful of member spots, for looking
// at it and taking screenshots. With --tip, the pointer is made to rest on
// a spot cell so its balloon tip shows too; with --zoom N the text is N
// points larger.
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/GridModel.h"
#include "display/SpotGrid.h"

namespace {

using namespace skimby;

struct TPreviewSpot {
    const char* From;
    const char* Freq;
    const char* Call;
    const char* Info;
    TColor Color;
    bool Bold;
};

// Red and bold: a new call; green and bold: a new call already worked;
// blue: the operator's own call; plain: the same member spotted again.
const TPreviewSpot Spots[] = {
    {"LZ4UX-#", "7018,3", "RW1M", "CW    13 dB  18 WPM  CQ      2259Z", clRed, true},
    {"DK9IP-#", "7018,4", "RW1M", "CW    21 dB  18 WPM  CQ      2259Z", clWindowText, false},
    {"KM3T-2-#", "14025,0", "OH2BH", "CW     9 dB  24 WPM  CQ      2300Z", clGreen, true},
    {"W3OA-#", "14025,1", "OH2BH", "CW    17 dB  24 WPM  CQ      2300Z", clWindowText, false},
    {"OH6BG-#", "3523,5", "DL9ABC", "CW    30 dB  22 WPM  CQ      2301Z", clRed, true},
    {"SM7IUN-#", "3523,6", "DL9ABC", "CW    25 dB  22 WPM  CQ      2301Z", clWindowText, false},
    {"VE6WZ-#", "21032,2", "K1ABC", "CW     6 dB  28 WPM  CQ      2302Z", clGreen, true},
    {"DF4UE-#", "10114,0", "OH1KAV", "CW    19 dB  20 WPM  CQ      2303Z", clBlue, true},
    {"LZ4UX-#", "10114,0", "OH1KAV", "CW    22 dB  20 WPM  CQ      2303Z", clBlue, false},
    {"G4ZFE-#", "7005,9", "SM5AAA", "CW    11 dB  26 WPM  CQ      2304Z", clRed, true},
    {"EA5WU-#", "7006,0", "SM5AAA", "CW    14 dB  26 WPM  CQ      2304Z", clWindowText, false},
    {"KM3T-2-#", "18082,1", "JA1ZZZ", "CW     4 dB  30 WPM  CQ      2305Z", clRed, true},
    {"OH6BG-#", "14040,6", "OH2XX", "CW    28 dB  19 WPM  CQ      2306Z", clGreen, true},
    {"DK9IP-#", "14040,7", "OH2XX", "CW    24 dB  19 WPM  CQ      2306Z", clWindowText, false},
    {"S50ARX-#", "3512,2", "G4XYZ", "CW    16 dB  25 WPM  CQ      2307Z", clRed, true},
    {"W3OA-#", "28020,5", "VK3ZZZ", "CW     8 dB  23 WPM  CQ      2308Z", clGreen, true},
    {"VE6WZ-#", "28020,6", "VK3ZZZ", "CW    12 dB  23 WPM  CQ      2308Z", clWindowText, false},
    {"LZ4UX-#", "7030,0", "OH3AC", "CW    20 dB  21 WPM  CQ      2309Z", clRed, true},
    {"DF4UE-#", "7030,1", "OH3AC", "CW    18 dB  21 WPM  CQ      2309Z", clWindowText, false},
    {"SM7IUN-#", "1826,5", "OH2BH", "CW    26 dB  24 WPM  CQ      2310Z", clGreen, true},
};

void Fill(TGridModel& model) {
    const char* headers[] = {"From", "Freq", "Call", "Info"};
    const int widths[] = {90, 70, 80, 220};
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        model.SetCells(c, 0, headers[c]);
        model.SetColWidth(c, widths[c]);
    }
    model.SetBalloonEnabled(true);
    for (const TPreviewSpot& s : Spots) {
        const int row = model.CurrentRow();
        const char* cells[] = {s.From, s.Freq, s.Call, s.Info};
        for (int c = 0; c < TGridModel::ColCount; ++c) {
            model.SetCells(c, row, cells[c]);
            if (s.Bold) model.SetCellFontStyleBold(c, row, true);
            if (s.Color != clWindowText) model.SetCellFontColor(c, row, s.Color);
            model.AddCellBalloon(c, row, "KAVRA",
                                 std::string("Call: ") + s.Call +
                                     "\r\nName: Hans\r\nQTH: Berlin\r\nQSO:s: 3\r\nWorked: Yes",
                                 biInfo);
        }
        model.SetRowCount(model.RowCount() + 1);
        model.SetCurrentRow(model.RowCount() - 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TGridModel model;
    TSpotGrid grid(model);
    Fill(model);
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
