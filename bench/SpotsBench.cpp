// Throughput of the received-text handler on cluster text shaped like a busy
// contest evening, and the cost of a member lookup as the list grows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "display/GridModel.h"
#include "platform/NumberText.h"
#include "spots/AlertPlayer.h"
#include "spots/MemberTable.h"
#include "spots/ReceivedText.h"
#include "spots/SpotTable.h"

namespace skimby {
namespace {

constexpr std::size_t DeliverySize = 32768;  // what the telnet reader hands over at most
constexpr std::size_t TextSize = 10 * 1024 * 1024;
constexpr int MemberCount = 20000;

// Call signs such as K9ABC, DL1XY, OH2BH, VK3ZZZ; seeded per use so runs repeat.
class TCallMaker {
  public:
    explicit TCallMaker(unsigned seed) : Random(seed) {}
    std::string Call() {
        static const char* prefixes[] = {"K",  "W",  "N",  "DL", "OH", "G",  "F",
                                         "I",  "JA", "VK", "SM", "LZ", "RW", "EA",
                                         "PA", "ON", "OK", "SP", "UA", "VE"};
        std::string call = prefixes[Random() % std::size(prefixes)];
        call += static_cast<char>('0' + Random() % 10);
        const int suffix = 1 + static_cast<int>(Random() % 3);
        for (int i = 0; i < suffix; ++i) call += static_cast<char>('A' + Random() % 26);
        return call;
    }
    std::mt19937& Engine() { return Random; }

  private:
    std::mt19937 Random;
};

// Distinct member calls, the same in every run.
std::vector<std::string> MemberCalls(int count) {
    TCallMaker maker(1);
    std::unordered_set<std::string> seen;
    std::vector<std::string> calls;
    while (calls.size() < static_cast<std::size_t>(count)) {
        std::string call = maker.Call();
        if (seen.insert(call).second) calls.push_back(std::move(call));
    }
    return calls;
}

std::string MemberList(const std::vector<std::string>& calls) {
    std::string body;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        body += calls[i] + "\tName" + std::to_string(i) + "\tTown\t" + (i % 3 ? "No" : "Yes") +
                "\t" + std::to_string(i % 50) + "\r\n";
    }
    return body;
}

// About TextSize bytes of RBN-style spot lines, one in twenty a member.
const std::string& ClusterText() {
    static const std::string text = [] {
        const auto members = MemberCalls(MemberCount);
        const std::unordered_set<std::string> memberSet(members.begin(), members.end());
        TCallMaker maker(2);
        auto otherCall = [&] {
            for (;;) {
                std::string call = maker.Call();
                if (!memberSet.contains(call)) return call;
            }
        };
        auto& random = maker.Engine();
        std::vector<std::string> skimmers;
        for (int i = 0; i < 300; ++i) skimmers.push_back(maker.Call() + (i % 10 ? "-#" : "-2-#"));
        const double bands[] = {1820, 3520, 7020, 10110, 14020, 18075, 21020, 24895, 28020};
        struct TMode {
            const char* name;
            const char* speed;
            const char* kind;
        } modes[] = {{"CW", "WPM", "CQ"},
                     {"CW", "WPM", "DX"},
                     {"RTTY", "BPS", "CQ"},
                     {"CW", "WPM", "BEACON"}};
        std::string out;
        out.reserve(TextSize + 200);
        char line[200];
        while (out.size() < TextSize) {
            const std::string& skimmer = skimmers[random() % skimmers.size()];
            const std::string call =
                random() % 20 == 0 ? members[random() % members.size()] : otherCall();
            const double khz = bands[random() % std::size(bands)] + (random() % 600) / 10.0 +
                               (random() % 8 == 0 ? 0.05 : 0.0);
            const TMode& mode = modes[random() % std::size(modes)];
            const int pad = 24 - 6 - static_cast<int>(skimmer.size()) - 1;
            std::snprintf(
                line, sizeof line, "DX de %s:%*.*f  %-13s  %-4s %3d dB  %2d %s  %-6s  %04dZ\r\n",
                skimmer.c_str(), pad, random() % 8 == 0 ? 2 : 1, khz, call.c_str(), mode.name,
                static_cast<int>(random() % 40), 15 + static_cast<int>(random() % 25), mode.speed,
                mode.kind, static_cast<int>(random() % 2400));
            out += line;
        }
        return out;
    }();
    return text;
}

struct TStatusSink : TStatusPanel {
    std::string Text;
    void SetPanelText(int, std::string_view text) override { Text.assign(text); }
};

// Counts the member spots that reach the grid.
struct TAppendCounter : TGridObserver {
    std::int64_t Rows = 0;
    void CellChanged(int, int) override {}
    void RowsAppended(int, int count) override { Rows += count; }
    void RowsRemoved(int, int, int) override {}
    void CurrentRowChanged(int) override {}
    void ColWidthChanged(int) override {}
};

void BM_ReceivedText(benchmark::State& state) {
    const char savedMark = DecimalSeparator();
    SetDecimalSeparator(',');
    const std::string& text = ClusterText();
    std::int64_t lines = 0;
    for (char c : text) lines += c == '\r';

    TMemberTable members;
    members.FillMemberTable(MemberList(MemberCalls(MemberCount)));
    TGridModel grid;
    TAlertPlayer player([](const char*, void*, unsigned) { return true; });
    TSpotTable table(grid, player, [] { return std::string("OH2XX"); });
    table.PrepareSpotTable();
    table.SetSoundOn(false);
    TStatusSink status;
    TAppendCounter appended;
    grid.AddObserver(&appended);
    TReceivedText handler(
        table, members, status, [](const std::string&) {}, [] { return std::string("OH2XX"); });

    for (auto _ : state) {
        for (std::size_t at = 0; at < text.size(); at += DeliverySize)
            handler.Telnet1DataAvailable(std::string_view(text).substr(at, DeliverySize));
        benchmark::DoNotOptimize(status.Text.data());
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.counters["member_share"] =
        static_cast<double>(appended.Rows) / static_cast<double>(state.iterations() * lines);
    SetDecimalSeparator(savedMark);
}
BENCHMARK(BM_ReceivedText)->Unit(benchmark::kMillisecond);

void BM_LookupMember(benchmark::State& state) {
    const auto calls = MemberCalls(static_cast<int>(state.range(0)));
    TMemberTable members;
    members.FillMemberTable(MemberList(calls));
    // Half of the looked-up calls are members, the others random calls.
    TCallMaker maker(3);
    std::vector<std::string> queries;
    for (int i = 0; i < 4096; ++i)
        queries.push_back(i % 2 ? calls[maker.Engine()() % calls.size()] : maker.Call());
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(members.LookupMember(queries[i]));
        i = (i + 1) % queries.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookupMember)->Arg(200)->Arg(20000);

}  // namespace
}  // namespace skimby
