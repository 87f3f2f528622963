// The handler of the cluster's text: cuts each delivery into lines and, per
// line, counts the received bytes, keeps the spot table trimmed, answers the
// login prompt and adds the spots of club members to the spot table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "spots/LineCutter.h"
#include "spots/MemberTable.h"
#include "spots/SpotLine.h"
#include "spots/SpotTable.h"

namespace skimby {

// The window's status bar, as far as the handler needs it.
class TStatusPanel {
  public:
    virtual ~TStatusPanel() = default;
    virtual void SetPanelText(int panel, std::string_view text) = 0;
};

// Sends a text followed by CR LF to the cluster; may throw.
using TSendLine = std::function<void(const std::string& text)>;

class TReceivedText {
  public:
    static constexpr int CounterPanel = 0;

    TReceivedText(TSpotTable& spots, const TMemberTable& members, TStatusPanel& status,
                  TSendLine sendLine, TCallSignSource callSign);

    // One delivery of received text. An error of SendLine leaves at once;
    // the rest of the delivery is not handled.
    void Telnet1DataAvailable(std::string_view chunk);

    // One line, without its line end.
    void HandleLine(std::string_view line);

    // A new connection: text kept from the old one is dropped.
    void ConnectionOpened() { Cutter.Reset(); }

    // Counts every byte of every handled line except line ends; wraps past
    // 2147483647 to negative values. Never reset.
    std::int32_t BytesReceived() const { return static_cast<std::int32_t>(Bytes); }
    // Lets tests start the counter near its wrap.
    void SetBytesReceived(std::int32_t bytes) { Bytes = static_cast<std::uint32_t>(bytes); }

  private:
    void CountBytes(std::size_t length);
    void HandleSpotLine(std::string_view line);

    TSpotTable& Spots;
    const TMemberTable& Members;
    TStatusPanel& Status;
    TSendLine SendLine;
    TCallSignSource CallSign;
    TLineCutter Cutter;
    std::uint32_t Bytes = 0;  // unsigned, so the wrap is well defined
    TSpot Spot;               // reused from line to line
};

}  // namespace skimby
