// The handler of the cluster's text on arbitrary deliveries: lines cut
// across deliveries, the byte counter, the login answer, spot parsing,
// member lookup and the spot table with its trimming. The first piece of
// the input is added to the member list (as the member-data service would
// send it); every further piece is one delivery. Besides the sanitizers'
// checks: the grid never holds more rows than the table allows, and the
// text kept between deliveries stays bounded.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "platform/NumberText.h"
#include "spots/ReceivedText.h"

namespace {

using namespace skimby;

constexpr std::string_view Members =
    "DL9ABC\tHans\tBerlin\tYes\t3\r\n"
    "K9ABC\tBob\tChicago\tNo\t0\r\n"
    "OH2XX\tOwn\tHelsinki\tYes\t12\r\n"
    "\t\t\t\t\r\n";

struct TNoStatus : TStatusPanel {
    void SetPanelText(int, std::string_view text) override { Last.assign(text); }
    std::string Last;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetDecimalSeparator(',');  // as the program runs from start-up on
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> pieces = fuzz::Pieces(data, size);

    TMemberTable members;
    members.FillMemberTable(std::string(Members) + std::string(pieces[0]));
    TGridModel grid;
    TAlertPlayer player([](const char*, void*, unsigned) { return true; });
    TSpotTable table(grid, player, [] { return std::string("OH2XX"); });
    table.PrepareSpotTable();
    TNoStatus status;
    std::size_t answers = 0;
    TReceivedText text(
        table, members, status, [&](const std::string&) { ++answers; },
        [] { return std::string("OH2XX"); });

    // The same deliveries through a cutter of its own, to see what it keeps.
    TLineCutter cutter;
    std::size_t lines = 0;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        // An empty piece stands for a new connection, as after a reconnect.
        if (pieces[i].empty()) {
            text.ConnectionOpened();
            cutter.Reset();
            continue;
        }
        text.Telnet1DataAvailable(pieces[i]);
        if (grid.RowCount() > TSpotTable::MaxRows) fuzz::Broken("spot table past its limit");
        cutter.Cut(pieces[i], [&](std::string_view) { ++lines; });
        if (cutter.KeptPiece().size() > TLineCutter::MaxKept)
            fuzz::Broken("kept text past its limit");
    }
    if (!status.Last.empty() && status.Last.rfind("Bytes received: ", 0) != 0)
        fuzz::Broken("counter text");
    if (answers > lines) fuzz::Broken("more login answers than lines");
    return 0;
}
