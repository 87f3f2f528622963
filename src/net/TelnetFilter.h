// Takes telnet commands (RFC 854) out of received bytes and answers every
// option negotiation at once with a fixed reply: DO for WILL ECHO and WILL
// END-OF-RECORD, WILL for DO ECHO and DO TERMINAL-TYPE, and refusals for
// everything else; a subnegotiation whose last data byte is SEND (1) gets
// the terminal type (RFC 1091). The state survives from one call to the
// next, so a command cut by a read boundary is still understood; the data
// of a subnegotiation is counted per call only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace skimby {

enum class TFilterState : std::uint8_t {
    StateData = 0,       // plain data
    StateIac = 1,        // after IAC
    StateSb = 2,         // after IAC SB
    StateWill = 3,       // after IAC WILL
    StateDo = 4,         // after IAC DO
    StateWont = 5,       // after IAC WONT
    StateDont = 6,       // after IAC DONT
    StateSbIac = 7,      // after IAC SB IAC
    StateSbData = 8,     // subnegotiation data
    StateSbDataIac = 9,  // IAC inside subnegotiation data
};

namespace telnet {
constexpr unsigned char IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr unsigned char ECHO = 1, SUPPRESS_GO_AHEAD = 3, TERMINAL_TYPE = 24, END_OF_RECORD = 25,
                        NAWS = 31, AUTHENTICATION = 37;
constexpr unsigned char IS = 0, SEND = 1;
}  // namespace telnet

// Sends one reply at once; its error leaves the filter.
using TNegotiationSender = std::function<void(std::string_view reply)>;

// Appends the data bytes of text to data, in order (IAC IAC gives one 255),
// sending the replies on the way. An empty terminal is set to "dumb" when
// the terminal type is asked for.
void TelnetFilter(std::string_view text, TFilterState& state, std::string& terminal,
                  const TNegotiationSender& send, std::string& data);

}  // namespace skimby
