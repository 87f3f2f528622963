// The telnet filter on arbitrary bytes from the cluster, cut into reads at
// arbitrary places. Besides the sanitizers' checks: every reply is a
// well-formed negotiation reply or the terminal type, and the data and the
// option replies do not depend on where the reads were cut (only the
// terminal-type answer may, since a subnegotiation's data is counted per
// read).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "net/TelnetFilter.h"

namespace {

using namespace skimby;
using namespace std::string_literals;

const std::string TerminalReply =
    "\xff\xfa\x18\x00"
    "dumb\xff\xf0"s;

struct TRun {
    std::string Data;
    std::vector<std::string> OptionReplies;
    std::size_t TerminalReplies = 0;
};

void Record(TRun& run, std::string_view reply) {
    if (reply == TerminalReply) {
        ++run.TerminalReplies;
        return;
    }
    const auto command = static_cast<unsigned char>(reply.size() == 3 ? reply[1] : 0);
    if (reply.size() != 3 || static_cast<unsigned char>(reply[0]) != telnet::IAC ||
        command < telnet::WILL || command > telnet::DONT || command == telnet::SB)
        fuzz::Broken("a reply that is no negotiation reply");
    run.OptionReplies.emplace_back(reply);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> reads = fuzz::Pieces(data, size);

    TRun pieces;
    TFilterState state = TFilterState::StateData;
    std::string terminal;  // empty: the filter must fall back to "dumb"
    const TNegotiationSender recordPiece = [&](std::string_view r) { Record(pieces, r); };
    std::string whole;
    for (std::string_view read : reads) {
        TelnetFilter(read, state, terminal, recordPiece, pieces.Data);
        whole.append(read);
    }
    if (pieces.TerminalReplies > 0 && terminal != "dumb")
        fuzz::Broken("terminal type not set to dumb");

    TRun once;
    TFilterState onceState = TFilterState::StateData;
    std::string onceTerminal = "dumb";
    TelnetFilter(
        whole, onceState, onceTerminal, [&](std::string_view r) { Record(once, r); }, once.Data);

    if (once.Data != pieces.Data) fuzz::Broken("data depends on the read boundaries");
    if (once.OptionReplies != pieces.OptionReplies)
        fuzz::Broken("option replies depend on the read boundaries");
    if (onceState != state) fuzz::Broken("end state depends on the read boundaries");
    if (once.Data.size() > whole.size()) fuzz::Broken("more data than bytes");
    return 0;
}
