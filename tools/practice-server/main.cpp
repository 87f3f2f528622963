// skimby-practice: a made-up spot cluster and member list on 127.0.0.1, so
// Skimby can be tried without a radio, a club or the internet.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <random>
#include <string_view>
#include <vector>

#include "practice-server/PracticeOptions.h"
#include "practice-server/PracticeServer.h"
#include "practice-server/Sockets.h"

namespace {

using namespace skimby::practice;

std::atomic<TPracticeServer*> Running{nullptr};

extern "C" void OnStopSignal(int) {
    if (TPracticeServer* server = Running.load()) server->Stop();
}

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string error;
    auto options = ParseOptions(args, error);
    if (!options) {
        std::cerr << "skimby-practice: " << error << "\nTry 'skimby-practice --help'.\n";
        return 2;
    }
    if (options->Help) {
        std::cout << UsageText();
        return 0;
    }
    TPracticeConfig& config = options->Config;
    if (!options->SeedGiven) config.Seed = std::random_device{}();
    if (!options->Quiet) config.Log = &std::cout;
    try {
        TPracticeServer server(config);
        server.Open();
        std::cout << "skimby-practice: telnet cluster on 127.0.0.1:" << server.TelnetPort()
                  << ", member data on http://127.0.0.1:" << server.HttpPort()
                  << "/rbndata2.php?mycall=<call>\n"
                  << "  " << config.Rate << " spot lines a second, " << config.MemberShare * 100
                  << " % of them from " << config.MemberCount << " club members; seed "
                  << config.Seed << ". Ctrl+C stops." << std::endl;
        CatchStopSignals();
        Running = &server;
        server.Run();
        Running = nullptr;
        std::cout << "skimby-practice: stopped." << std::endl;
    } catch (const TPracticeError& e) {
        std::cerr << "skimby-practice: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
