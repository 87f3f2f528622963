#include "spots/ReceivedText.h"

#include <charconv>

namespace skimby {

TReceivedText::TReceivedText(TSpotTable& spots, const TMemberTable& members, TStatusPanel& status,
                             TSendLine sendLine, TCallSignSource callSign)
    : Spots(spots),
      Members(members),
      Status(status),
      SendLine(std::move(sendLine)),
      CallSign(std::move(callSign)) {}

void TReceivedText::Telnet1DataAvailable(std::string_view chunk) {
    Cutter.Cut(chunk, [this](std::string_view line) { HandleLine(line); });
}

void TReceivedText::HandleLine(std::string_view line) {
    CountBytes(line.size());
    Spots.TrimSpotTable();
    if (line.find(LoginPrompt) != std::string_view::npos) {
        SendLine(CallSign ? CallSign() : std::string());
    }
    if (IsSpotLine(line)) HandleSpotLine(line);
}

void TReceivedText::CountBytes(std::size_t length) {
    Bytes += static_cast<std::uint32_t>(length);
    constexpr std::string_view Label = "Bytes received: ";
    char text[Label.size() + 12];
    Label.copy(text, Label.size());
    const auto end = std::to_chars(text + Label.size(), text + sizeof text, BytesReceived()).ptr;
    Status.SetPanelText(CounterPanel, std::string_view(text, end - text));
}

void TReceivedText::HandleSpotLine(std::string_view line) {
    // A frequency that does not convert makes the line no spot; reading
    // goes on with the next line.
    if (!ParseSpotLine(line, Spot)) return;
    if (const auto row = Members.LookupMember(Spot.Call)) {
        Spots.AddMemberSpot(Spot, Members, *row);
    }
}

}  // namespace skimby
