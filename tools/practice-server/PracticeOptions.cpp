#include "practice-server/PracticeOptions.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace skimby::practice {

namespace {

template <typename T>
bool ReadNumber(std::string_view text, T& value) {
    if (text.empty() || text.front() == '+' || text.front() == ' ') return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

}  // namespace

std::string UsageText() {
    return "Usage: skimby-practice [options]\n"
           "\n"
           "A practice spot cluster and member-data service on 127.0.0.1, for trying\n"
           "Skimby without a radio, a club or the internet. Every spot is made up.\n"
           "\n"
           "  --telnet-port N    telnet spot cluster port (default 7300; 0 picks a free one)\n"
           "  --http-port N      member-data HTTP port (default 8073; 0 picks a free one)\n"
           "  --rate R           spot lines a second for each operator (default 5; up to 100000)\n"
           "  --member-share F   share of spot lines from club members, 0 to 1 (default 0.2)\n"
           "  --members N        number of club members (default 150)\n"
           "  --seed N           repeat the members and spots of an earlier run\n"
           "  --quiet            no line per connection and request\n"
           "  --help             this text\n"
           "\n"
           "Connect Skimby (or telnet 127.0.0.1 7300) and log in with a call sign; the\n"
           "member list is at http://127.0.0.1:8073/rbndata2.php?mycall=<call>.\n"
           "Ctrl+C stops the server.\n";
}

std::optional<TPracticeOptions> ParseOptions(const std::vector<std::string_view>& args,
                                             std::string& error) {
    TPracticeOptions options;
    TPracticeConfig& config = options.Config;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> value;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != name.npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const bool flag = name == "--help" || name == "-h" || name == "--quiet";
        if (flag) {
            if (value) {
                error = "option '" + std::string(name) + "' takes no value";
                return std::nullopt;
            }
            (name == "--quiet" ? options.Quiet : options.Help) = true;
            continue;
        }
        const bool known = name == "--telnet-port" || name == "--http-port" || name == "--rate" ||
                           name == "--member-share" || name == "--members" || name == "--seed";
        if (!known) {
            error = "unknown option '" + std::string(args[i]) + "'";
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                error = "option '" + std::string(name) + "' needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        auto bad = [&](const std::string& wanted) {
            error = "option '" + std::string(name) + "': '" + std::string(*value) + "' is not " +
                    wanted;
            return std::nullopt;
        };
        if (name == "--telnet-port" || name == "--http-port") {
            int port = 0;
            if (!ReadNumber(*value, port) || port < 0 || port > 65535)
                return bad("a port number (0 to 65535)");
            (name == "--telnet-port" ? config.TelnetPort : config.HttpPort) = port;
        } else if (name == "--rate") {
            double rate = 0;
            if (!ReadNumber(*value, rate) || !std::isfinite(rate) || rate <= 0 || rate > 100000)
                return bad("a rate of lines a second (above 0, up to 100000)");
            config.Rate = rate;
        } else if (name == "--member-share") {
            double share = 0;
            if (!ReadNumber(*value, share) || !(share >= 0 && share <= 1))
                return bad("a share from 0 to 1 (0.1 for a tenth)");
            config.MemberShare = share;
        } else if (name == "--members") {
            int count = 0;
            if (!ReadNumber(*value, count) || count < 1 || count > 100000)
                return bad("a number of members (1 to 100000)");
            config.MemberCount = count;
        } else {
            std::uint64_t seed = 0;
            if (!ReadNumber(*value, seed)) return bad("a whole number from 0 up");
            config.Seed = seed;
            options.SeedGiven = true;
        }
    }
    if (config.TelnetPort != 0 && config.TelnetPort == config.HttpPort) {
        error = "the telnet and HTTP ports must differ (both are " +
                std::to_string(config.TelnetPort) + ")";
        return std::nullopt;
    }
    return options;
}

}  // namespace skimby::practice
