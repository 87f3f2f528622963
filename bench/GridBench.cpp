// Cost of showing member spots in the spot grid: appending them as the
// cluster delivers them (against a stock QTableWidget set up alike) and
// repainting a full view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <cstdio>
#include <string>
#include <vector>

#include "display/GridModel.h"
#include "display/SpotGrid.h"
#include "spots/SpotTable.h"

namespace skimby {
namespace {

constexpr int SpotCount = 100000;
constexpr int BatchSize = 20;  // spots in one delivery of the cluster
constexpr int ViewRows = 30;
constexpr int TrimAt = 1000;
constexpr int TrimCount = 100;

QApplication& BenchApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "skimby_bench";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals may already be gone.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

long ResidentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

struct TBenchSpot {
    std::string From, Freq, Call, Info, Balloon;
    TColor Color;
    bool Bold;
};

// A few hundred distinct spots looking like RBN member spots, reused in turn.
std::vector<TBenchSpot> MakeSpots() {
    const char* skimmers[] = {"LZ4UX-#", "KM3T-2-#", "DK9IP-#", "W3OA-#", "VE6WZ-#", "OH6BG-#"};
    const char* calls[] = {"DL9ABC", "OH2BH", "K1ABC", "G4XYZ", "SM5AAA", "JA1ZZZ", "VK3ZZZ"};
    const TColor colors[] = {clRed, clGreen, clBlue, clWindowText};
    std::vector<TBenchSpot> spots;
    for (int i = 0; i < 420; ++i) {
        TBenchSpot s;
        s.From = skimmers[i % 6];
        s.Freq = std::to_string(7000 + (i * 37) % 7000) + "," + std::to_string(i % 10);
        s.Call = calls[i % 7];
        s.Info = "CW    " + std::to_string(5 + i % 30) + " dB  " + std::to_string(18 + i % 12) +
                 " WPM  CQ      " + std::to_string(1000 + i % 1300) + "Z";
        s.Balloon = "Call: " + s.Call + "\r\nName: Hans\r\nQTH: Berlin\r\nQSO:s: 3\r\nWorked: Yes";
        s.Color = colors[i % 4];
        s.Bold = i % 2 == 0;
        spots.push_back(std::move(s));
    }
    return spots;
}

// The spot table's start-up look: header, widths, balloons, current row.
void StartUp(TGridModel& model) {
    TAlertPlayer silent([](const char*, void*, unsigned) { return true; });
    TSpotTable(model, silent, nullptr).PrepareSpotTable();
}

// What the spot table does for each received member spot line.
void AddSpot(TGridModel& model, const TBenchSpot& s) {
    if (model.RowCount() == TrimAt) model.DeleteRows(1, TrimCount);
    const int row = model.CurrentRow();
    const std::string* cells[] = {&s.From, &s.Freq, &s.Call, &s.Info};
    for (int c = 0; c < TGridModel::ColCount; ++c) model.SetCells(c, row, *cells[c]);
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        if (s.Bold) model.SetCellFontStyleBold(c, row, true);
        if (s.Color != clWindowText) model.SetCellFontColor(c, row, s.Color);
        model.AddCellBalloon(c, row, "KAVRA", s.Balloon, biInfo);
    }
    model.SetRowCount(model.RowCount() + 1);
    model.SetCurrentRow(model.RowCount() - 1);
}

constexpr int ViewHeight = 4 + 18 * (ViewRows + 1);  // border, header and 30 rows

// A visible spot grid, prepared as at start-up, 30 rows high.
struct TBenchGrid {
    TBenchGrid() : Grid((BenchApp(), Model)) {
        StartUp(Model);
        Grid.resize(500, ViewHeight);
        Grid.show();
        QApplication::processEvents();
    }
    TGridModel Model;
    TSpotGrid Grid;
};

// Runs the batches; each iteration is one batch, so time per spot is the
// per-iteration time divided by BatchSize (reported as "per_spot"). The
// resident size is compared with its value after the first trims.
template <typename AddFn>
void RunBatches(benchmark::State& state, AddFn add) {
    const std::vector<TBenchSpot> spots = MakeSpots();
    std::size_t next = 0;
    long rssAfterFirstTrim = 0;
    int added = 0;
    for (auto _ : state) {
        for (int i = 0; i < BatchSize; ++i) add(spots[next++ % spots.size()]);
        added += BatchSize;
        QApplication::processEvents();
        if (added == 2 * TrimAt) rssAfterFirstTrim = ResidentKiB();
    }
    state.counters["per_spot"] = benchmark::Counter(
        double(added), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["rss_growth_KiB"] = double(ResidentKiB() - rssAfterFirstTrim);
}

void BM_GridAppend(benchmark::State& state) {
    TBenchGrid bench;
    RunBatches(state, [&](const TBenchSpot& s) { AddSpot(bench.Model, s); });
}
BENCHMARK(BM_GridAppend)
    ->Iterations(SpotCount / BatchSize)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// The same spots into the table a Qt developer would reach for.
void BM_GridAppendStock(benchmark::State& state) {
    BenchApp();
    QTableWidget table(1, 4);
    table.setHorizontalHeaderLabels({"From", "Freq", "Call", "Info"});
    table.verticalHeader()->hide();
    table.verticalHeader()->setDefaultSectionSize(18);
    table.verticalHeader()->setMinimumSectionSize(18);
    table.horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {90, 70, 80};
    for (int c = 0; c < 3; ++c) table.setColumnWidth(c, widths[c]);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.resize(500, ViewHeight);
    table.show();
    QApplication::processEvents();
    QFont bold = table.font();
    bold.setBold(true);
    auto add = [&](const TBenchSpot& s) {
        if (table.rowCount() == TrimAt - 1) table.model()->removeRows(0, TrimCount);
        const int row = table.rowCount() - 1;
        const std::string* cells[] = {&s.From, &s.Freq, &s.Call, &s.Info};
        const QString tip = QString::fromLatin1(s.Balloon.c_str());
        const QColor color = s.Color == clRed     ? QColor(Qt::red)
                             : s.Color == clGreen ? QColor(0, 128, 0)
                             : s.Color == clBlue  ? QColor(Qt::blue)
                                                  : QColor();
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(QString::fromLatin1(cells[c]->c_str()));
            if (c == 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
            if (s.Bold) item->setFont(bold);
            if (color.isValid()) item->setForeground(color);
            item->setToolTip(tip);
            table.setItem(row, c, item);
        }
        table.insertRow(table.rowCount());
        table.setCurrentCell(table.rowCount() - 1, 0);
    };
    RunBatches(state, add);
}
BENCHMARK(BM_GridAppendStock)
    ->Iterations(SpotCount / BatchSize)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_GridPaint(benchmark::State& state) {
    TBenchGrid bench;
    const std::vector<TBenchSpot> spots = MakeSpots();
    for (int i = 0; i < 200; ++i) AddSpot(bench.Model, spots[i]);
    QApplication::processEvents();
    for (auto _ : state) bench.Grid.viewport()->repaint();
    state.counters["rows"] = bench.Grid.VisibleRowCount();
}
BENCHMARK(BM_GridPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace skimby
