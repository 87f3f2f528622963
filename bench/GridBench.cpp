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

#include "display/GridColors.h"
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

// Call, name, QTH, worked flag, QSO count; the operator is OH1KAV.
const char Members[] =
    "RW1M\tIvan\tSt Petersburg\tNo\t0\r\n"
    "OH2BH\tMartti\tEspoo\tYes\t12\r\n"
    "DL9ABC\tHans\tBerlin\tNo\t0\r\n"
    "K1ABC\tBob\tBoston\tYes\t3\r\n"
    "OH1KAV\tOperator\tTurku\tNo\t0\r\n"
    "SM5AAA\tLars\tStockholm\tNo\t0\r\n"
    "VK3ZZZ\tBruce\tMelbourne\tYes\t1";
const char OperatorCall[] = "OH1KAV";

struct TBenchSpot {
    TSpot Spot;
    int Member = 0;  // its row in the member table
};

// The program's own spot table on a grid model, started up as the program
// does, with an alert that returns at once.
struct TBenchTable {
    explicit TBenchTable(TGridModel& model)
        : Table(model, Player, [] { return std::string(OperatorCall); }) {
        MemberList.FillMemberTable(Members);
        Table.PrepareSpotTable();
    }
    // What the received-text handler does for a member spot line.
    void Add(const TBenchSpot& s) {
        Table.TrimSpotTable();
        Table.AddMemberSpot(s.Spot, MemberList, s.Member);
    }
    TAlertPlayer Player{[](const char*, void*, unsigned) { return true; }};
    TMemberTable MemberList;
    TSpotTable Table;
};

// A few hundred distinct spots looking like RBN member spots, reused in
// turn. Each member is spotted by two skimmers in a row, so half the rows
// are new calls (coloured and bold) and half are not.
std::vector<TBenchSpot> MakeSpots() {
    const char* skimmers[] = {"LZ4UX-#", "KM3T-2-#", "DK9IP-#", "W3OA-#", "VE6WZ-#", "OH6BG-#"};
    const char* calls[] = {"RW1M", "OH2BH", "DL9ABC", "K1ABC", "OH1KAV", "SM5AAA", "VK3ZZZ"};
    TMemberTable members;
    members.FillMemberTable(Members);
    std::vector<TBenchSpot> spots;
    for (int i = 0; i < 420; ++i) {
        TBenchSpot s;
        s.Spot.Spotter = skimmers[i % 6];
        s.Spot.Frequency =
            std::to_string(7000 + (i / 2 * 37) % 7000) + "," + std::to_string(i % 10);
        s.Spot.Call = calls[i / 2 % 7];
        s.Spot.Info = "CW    " + std::to_string(5 + i % 30) + " dB  " +
                      std::to_string(18 + i % 12) + " WPM  CQ      " +
                      std::to_string(1000 + i % 1300) + "Z";
        s.Member = *members.LookupMember(s.Spot.Call);
        spots.push_back(std::move(s));
    }
    return spots;
}

// The same spots as the program shows them: each row's texts, look and
// balloon, read back from a grid model that the spot table filled, so the
// stock table shows the same thing.
struct TStockRow {
    QString Cells[TGridModel::ColCount];
    QString Tip;
    QColor Color;  // invalid: the table's own text colour
    bool Bold = false;
};

std::vector<TStockRow> StockRows(const std::vector<TBenchSpot>& spots) {
    TGridModel model;
    TBenchTable table(model);
    for (const TBenchSpot& s : spots) table.Add(s);
    std::vector<TStockRow> rows;
    for (int r = 1; r <= static_cast<int>(spots.size()); ++r) {
        TStockRow row;
        for (int c = 0; c < TGridModel::ColCount; ++c)
            row.Cells[c] = QString::fromLatin1(model.Cells(c, r).c_str());
        const TGridCell& cell = model.Cell(0, r);
        row.Tip = QString::fromLatin1(cell.Balloon->Text.c_str());
        if (cell.Attributes->FontColor != clWindowText)
            row.Color = GridColor(cell.Attributes->FontColor, QPalette());
        row.Bold = cell.Attributes->Bold;
        rows.push_back(std::move(row));
    }
    return rows;
}

constexpr int ViewHeight = 4 + 18 * (ViewRows + 1);  // border, header and 30 rows

// A visible spot grid, prepared as at start-up, 30 rows high.
struct TBenchGrid {
    TBenchGrid() : Grid((BenchApp(), Model)), Table(Model) {
        Grid.resize(500, ViewHeight);
        Grid.show();
        QApplication::processEvents();
    }
    TGridModel Model;
    TSpotGrid Grid;
    TBenchTable Table;
};

// Runs the batches; each iteration is one batch, so time per spot is the
// per-iteration time divided by BatchSize (reported as "per_spot"). The
// resident size is compared with its value after the first trims.
template <typename TItem, typename AddFn>
void RunBatches(benchmark::State& state, const std::vector<TItem>& items, AddFn add) {
    std::size_t next = 0;
    long rssAfterFirstTrim = 0;
    int added = 0;
    for (auto _ : state) {
        for (int i = 0; i < BatchSize; ++i) add(items[next++ % items.size()]);
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
    RunBatches(state, MakeSpots(), [&](const TBenchSpot& s) { bench.Table.Add(s); });
}
BENCHMARK(BM_GridAppend)
    ->Iterations(SpotCount / BatchSize)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// The same rows into the table a Qt developer would reach for, trimmed at
// the same size.
void BM_GridAppendStock(benchmark::State& state) {
    BenchApp();
    const std::vector<TStockRow> rows = StockRows(MakeSpots());
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
    auto add = [&](const TStockRow& s) {
        if (table.rowCount() == TrimAt - 1) table.model()->removeRows(0, TrimCount);
        const int row = table.rowCount() - 1;
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(s.Cells[c]);
            if (c == 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
            if (s.Bold) item->setFont(bold);
            if (s.Color.isValid()) item->setForeground(s.Color);
            item->setToolTip(s.Tip);
            table.setItem(row, c, item);
        }
        table.insertRow(table.rowCount());
        table.setCurrentCell(table.rowCount() - 1, 0);
    };
    RunBatches(state, rows, add);
}
BENCHMARK(BM_GridAppendStock)
    ->Iterations(SpotCount / BatchSize)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_GridPaint(benchmark::State& state) {
    TBenchGrid bench;
    const std::vector<TBenchSpot> spots = MakeSpots();
    for (int i = 0; i < 200; ++i) bench.Table.Add(spots[i]);
    QApplication::processEvents();
    for (auto _ : state) bench.Grid.viewport()->repaint();
    state.counters["rows"] = bench.Grid.VisibleRowCount();
}
BENCHMARK(BM_GridPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace skimby
