#include "net/TelnetFilter.h"

#include <cstring>

namespace skimby {

using namespace telnet;

namespace {

void Reply(const TNegotiationSender& send, unsigned char command, unsigned char option) {
    const char reply[3] = {static_cast<char>(IAC), static_cast<char>(command),
                           static_cast<char>(option)};
    send(std::string_view(reply, 3));
}

void HandleSubnegotiation(std::int64_t subCount, int subLast, std::string& terminal,
                          const TNegotiationSender& send) {
    if (subCount <= 0 || subLast != SEND) return;
    if (terminal.empty()) terminal = "dumb";
    std::string reply = "\xff\xfa\x18";
    reply += static_cast<char>(IS);
    reply += terminal;
    reply += "\xff\xf0";
    send(reply);
}

}  // namespace

void TelnetFilter(std::string_view text, TFilterState& state, std::string& terminal,
                  const TNegotiationSender& send, std::string& data) {
    using S = TFilterState;
    std::int64_t subCount = 0;  // data bytes of the subnegotiation seen in this call
    int subLast = -1;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        if (state == S::StateData) {
            // Plain text runs up to the next IAC: copy it in one piece.
            const void* iac = std::memchr(p, IAC, static_cast<std::size_t>(end - p));
            const char* stop = iac != nullptr ? static_cast<const char*>(iac) : end;
            data.append(p, static_cast<std::size_t>(stop - p));
            if (stop == end) break;
            p = stop + 1;
            state = S::StateIac;
            continue;
        }
        const auto b = static_cast<unsigned char>(*p++);
        switch (state) {
            case S::StateIac:
                switch (b) {
                    case IAC:
                        data.push_back(static_cast<char>(IAC));
                        state = S::StateData;
                        break;
                    case SB:
                        subCount = 0;
                        state = S::StateSb;
                        break;
                    case WILL:
                        state = S::StateWill;
                        break;
                    case WONT:
                        state = S::StateWont;
                        break;
                    case DO:
                        state = S::StateDo;
                        break;
                    case DONT:
                        state = S::StateDont;
                        break;
                    default:
                        state = S::StateData;
                        break;  // SE, NOP, GA, EOR...: dropped
                }
                break;
            case S::StateWill:
                state = S::StateData;
                Reply(send, b == ECHO || b == END_OF_RECORD ? DO : DONT, b);
                break;
            case S::StateDo:
                state = S::StateData;
                Reply(send, b == ECHO || b == TERMINAL_TYPE ? WILL : WONT, b);
                break;
            case S::StateWont:
                state = S::StateData;
                Reply(send, DONT, b);
                break;
            case S::StateDont:
                state = S::StateData;
                Reply(send, WONT, b);
                break;
            case S::StateSb:
                if (b == IAC) {
                    state = S::StateSbIac;
                } else {  // the option byte, not looked at again
                    subCount = 0;
                    state = S::StateSbData;
                }
                break;
            case S::StateSbIac:
                state = S::StateData;
                break;
            case S::StateSbData:
                if (b == IAC) {
                    state = S::StateSbDataIac;
                } else {
                    ++subCount;
                    subLast = b;
                }
                break;
            case S::StateSbDataIac:
                if (b == SE) {
                    state = S::StateData;
                    HandleSubnegotiation(subCount, subLast, terminal, send);
                } else if (b == SB) {  // a new subnegotiation begins at once
                    state = S::StateSb;
                    HandleSubnegotiation(subCount, subLast, terminal, send);
                } else if (b == IAC) {
                    ++subCount;
                    subLast = IAC;
                    state = S::StateSbData;
                } else {
                    state = S::StateData;
                }
                break;
            case S::StateData:
                break;  // handled above
        }
    }
}

}  // namespace skimby
