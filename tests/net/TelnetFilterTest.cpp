// Telnet commands taken out of the text, and the negotiation replies byte
// for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "net/TelnetFilter.h"

namespace skimby {
namespace {

// Filters the reads one after the other with one state, as a connection does.
struct TFiltered {
    std::vector<std::string> Data;  // one per read
    std::vector<std::string> Replies;
    TFilterState State = TFilterState::StateData;
    std::string Terminal = "dumb";

    explicit TFiltered(const std::vector<std::string>& reads) {
        for (const auto& read : reads) Filter(read);
    }
    void Filter(const std::string& read) {
        std::string data;
        TelnetFilter(
            read, State, Terminal, [this](std::string_view r) { Replies.emplace_back(r); }, data);
        Data.push_back(data);
    }
};

TEST(TelnetFilter, EveryNegotiationGetsItsFixedReply) {
    const struct {
        std::string received;
        std::string sent;
    } cases[] = {
        {Bytes({255, 251, 1}), Bytes({255, 253, 1})},      // WILL ECHO: DO
        {Bytes({255, 251, 25}), Bytes({255, 253, 25})},    // WILL END-OF-RECORD: DO
        {Bytes({255, 251, 3}), Bytes({255, 254, 3})},      // WILL SUPPRESS-GO-AHEAD: DONT
        {Bytes({255, 251, 24}), Bytes({255, 254, 24})},    // WILL anything else: DONT
        {Bytes({255, 253, 1}), Bytes({255, 251, 1})},      // DO ECHO: WILL
        {Bytes({255, 253, 24}), Bytes({255, 251, 24})},    // DO TERMINAL-TYPE: WILL
        {Bytes({255, 253, 3}), Bytes({255, 252, 3})},      // DO SUPPRESS-GO-AHEAD: WONT
        {Bytes({255, 253, 31}), Bytes({255, 252, 31})},    // DO NAWS: WONT
        {Bytes({255, 253, 37}), Bytes({255, 252, 37})},    // DO AUTHENTICATION: WONT
        {Bytes({255, 253, 25}), Bytes({255, 252, 25})},    // DO END-OF-RECORD: WONT
        {Bytes({255, 252, 1}), Bytes({255, 254, 1})},      // WONT x: DONT x
        {Bytes({255, 252, 200}), Bytes({255, 254, 200})},  //
        {Bytes({255, 254, 1}), Bytes({255, 252, 1})},      // DONT x: WONT x
        {Bytes({255, 254, 24}), Bytes({255, 252, 24})},    //
        {Bytes({255, 254, 255}), Bytes({255, 252, 255})},  // the option byte may be 255
    };
    for (const auto& c : cases) {
        TFiltered f({"a" + c.received + "b"});
        EXPECT_EQ(f.Data, std::vector<std::string>{"ab"});
        EXPECT_EQ(f.Replies, std::vector<std::string>{c.sent});
    }
}

TEST(TelnetFilter, RequestsAreAnsweredEveryTime) {
    TFiltered f({Bytes({255, 251, 1, 255, 251, 1}), Bytes({255, 253, 1})});
    EXPECT_EQ(f.Replies, (std::vector<std::string>{Bytes({255, 253, 1}), Bytes({255, 253, 1}),
                                                   Bytes({255, 251, 1})}));
    EXPECT_EQ(f.Data, (std::vector<std::string>{"", ""}));
}

TEST(TelnetFilter, DataBytesPassUnchanged) {
    std::string all;
    for (int b = 0; b < 255; ++b) all += static_cast<char>(b);
    TFiltered f({all + Bytes({255, 255}) + "x", Bytes({255, 241, 255, 249, 255, 239}) + "y"});
    EXPECT_EQ(f.Data, (std::vector<std::string>{all + "\xff"
                                                      "x",
                                                "y"}));  // NOP, GA, EOR dropped
    EXPECT_TRUE(f.Replies.empty());
}

TEST(TelnetFilter, ACommandCutByAReadBoundaryIsStillAnswered) {
    for (std::size_t cut = 1; cut < 5; ++cut) {
        std::string read = "ab" + Bytes({255, 253, 24}) + "cd";
        TFiltered f({read.substr(0, cut + 1), read.substr(cut + 1)});
        EXPECT_EQ(f.Replies, std::vector<std::string>{Bytes({255, 251, 24})}) << cut;
        EXPECT_EQ(f.Data[0] + f.Data[1], "abcd");
    }
    TFiltered iac({"x" + Bytes({255}), Bytes({255}) + "y"});
    EXPECT_EQ(iac.Data, (std::vector<std::string>{"x",
                                                  "\xff"
                                                  "y"}));
}

TEST(TelnetFilter, TerminalTypeSubnegotiation) {
    const std::string dumb = Bytes({255, 250, 24, 0, 'd', 'u', 'm', 'b', 255, 240});
    const struct {
        const char* name;
        std::vector<std::string> reads;
        std::vector<std::string> replies;
        std::string data;
    } cases[] = {
        {"send", {Bytes({255, 250, 24, 1, 255, 240})}, {dumb}, ""},
        {"no data", {Bytes({255, 250, 24, 255, 240})}, {}, ""},
        {"is, not send", {Bytes({255, 250, 24, 0, 255, 240})}, {}, ""},
        {"any option whose last byte is send", {Bytes({255, 250, 31, 0, 1, 255, 240})}, {dumb}, ""},
        {"cut before send", {Bytes({255, 250, 24}), Bytes({1, 255, 240})}, {dumb}, ""},
        {"cut after send", {Bytes({255, 250, 24, 1}), Bytes({255, 240})}, {}, ""},
        {"escaped 255 last", {Bytes({255, 250, 24, 1, 255, 255, 255, 240})}, {}, ""},
        {"another begins at once",
         {Bytes({255, 250, 24, 1, 255, 250, 24, 1, 255, 240})},
         {dumb, dumb},
         ""},
        {"IAC and another byte end it", {Bytes({255, 250, 24, 1, 255, 1}) + "z"}, {}, "z"},
        {"IAC right after SB", {Bytes({255, 250, 255, 7}) + "z"}, {}, "z"},
    };
    for (const auto& c : cases) {
        TFiltered f(c.reads);
        EXPECT_EQ(f.Replies, c.replies) << c.name;
        std::string data;
        for (const auto& d : f.Data) data += d;
        EXPECT_EQ(data, c.data) << c.name;
        EXPECT_EQ(f.State, TFilterState::StateData) << c.name;
    }
}

TEST(TelnetFilter, EmptyTerminalBecomesDumb) {
    TFiltered f({});
    f.Terminal = "";
    f.Filter(Bytes({255, 250, 24, 1, 255, 240}));
    EXPECT_EQ(f.Terminal, "dumb");
    EXPECT_EQ(f.Replies,
              std::vector<std::string>{Bytes({255, 250, 24, 0, 'd', 'u', 'm', 'b', 255, 240})});
    f.Terminal = "vt100";
    f.Filter(Bytes({255, 250, 24, 1, 255, 240}));
    EXPECT_EQ(f.Replies.back(), Bytes({255, 250, 24, 0}) + "vt100" + Bytes({255, 240}));
}

}  // namespace
}  // namespace skimby
