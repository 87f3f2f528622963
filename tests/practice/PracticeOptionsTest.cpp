#include "practice-server/PracticeOptions.h"

#include <gtest/gtest.h>

namespace skimby::practice {
namespace {

std::optional<TPracticeOptions> Parse(std::vector<std::string_view> args, std::string& error) {
    error.clear();
    return ParseOptions(args, error);
}

TEST(PracticeOptions, DefaultsAndEveryOption) {
    std::string error;
    const auto defaults = Parse({}, error);
    ASSERT_TRUE(defaults) << error;
    EXPECT_EQ(defaults->Config.TelnetPort, 7300);
    EXPECT_EQ(defaults->Config.HttpPort, 8073);
    EXPECT_FALSE(defaults->Help || defaults->Quiet || defaults->SeedGiven);

    const auto all = Parse({"--telnet-port", "7000", "--http-port=8080", "--rate", "300",
                            "--member-share=0.1", "--members", "12", "--seed", "99", "--quiet"},
                           error);
    ASSERT_TRUE(all) << error;
    EXPECT_EQ(all->Config.TelnetPort, 7000);
    EXPECT_EQ(all->Config.HttpPort, 8080);
    EXPECT_EQ(all->Config.Rate, 300);
    EXPECT_EQ(all->Config.MemberShare, 0.1);
    EXPECT_EQ(all->Config.MemberCount, 12);
    EXPECT_EQ(all->Config.Seed, 99u);
    EXPECT_TRUE(all->SeedGiven && all->Quiet);

    for (auto help : {"--help", "-h"}) {
        const auto h = Parse({"--rate", "2", help}, error);
        ASSERT_TRUE(h) << error;
        EXPECT_TRUE(h->Help);
    }
    const auto edges = Parse(
        {"--telnet-port", "0", "--http-port", "0", "--rate", "1e5", "--member-share", "1"}, error);
    ASSERT_TRUE(edges) << error;
    EXPECT_EQ(edges->Config.Rate, 100000);
}

TEST(PracticeOptions, WrongOptionsSayWhatIsWrong) {
    struct Case {
        std::vector<std::string_view> args;
        std::string error;
    } cases[] = {
        {{"--port", "7300"}, "unknown option '--port'"},
        {{"7300"}, "unknown option '7300'"},
        {{"--rate"}, "option '--rate' needs a value"},
        {{"--help=yes"}, "option '--help' takes no value"},
        {{"--telnet-port", "70000"},
         "option '--telnet-port': '70000' is not a port number (0 to 65535)"},
        {{"--http-port", "-1"}, "option '--http-port': '-1' is not a port number (0 to 65535)"},
        {{"--http-port", "80x"}, "option '--http-port': '80x' is not a port number (0 to 65535)"},
        {{"--http-port="}, "option '--http-port': '' is not a port number (0 to 65535)"},
        {{"--rate", "0"},
         "option '--rate': '0' is not a rate of lines a second (above 0, up to 100000)"},
        {{"--rate", "fast"},
         "option '--rate': 'fast' is not a rate of lines a second (above 0, up to 100000)"},
        {{"--rate", "nan"},
         "option '--rate': 'nan' is not a rate of lines a second (above 0, up to 100000)"},
        {{"--rate", "1e6"},
         "option '--rate': '1e6' is not a rate of lines a second (above 0, up to 100000)"},
        {{"--member-share", "1.5"},
         "option '--member-share': '1.5' is not a share from 0 to 1 (0.1 for a tenth)"},
        {{"--member-share", "10%"},
         "option '--member-share': '10%' is not a share from 0 to 1 (0.1 for a tenth)"},
        {{"--members", "0"}, "option '--members': '0' is not a number of members (1 to 100000)"},
        {{"--seed", "-3"}, "option '--seed': '-3' is not a whole number from 0 up"},
        {{"--telnet-port", "8073"}, "the telnet and HTTP ports must differ (both are 8073)"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
}  // namespace skimby::practice
