// Throughput of the telnet path: the command filter alone on cluster text
// with occasional negotiation, and the whole connection, from a loopback
// server through the reader and the delivery into a user-interface thread.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/AntiFreeze.h"
#include "net/TelnetClient.h"
#include "net/TelnetFilter.h"
#include "support/EventLoopThread.h"
#include "support/LoopbackServer.h"

namespace skimby {
namespace {

constexpr std::size_t ReadSize = 32768;    // the reader's largest receive
constexpr std::size_t StreamChunks = 100;  // of about 1 MB each

// At least size bytes of spot lines in the cluster's column layout, CR LF
// ended, with a negotiation or an escaped 255 every few hundred lines.
std::string ClusterText(std::size_t size, bool withCommands) {
    static const char* modes[] = {"CW", "RTTY", "FT8"};
    static const char* kinds[] = {"CQ", "DX", "BEACON"};
    static const std::string commands[] = {"\xff\xfb\x01", "\xff\xfd\x18",
                                           "\xff\xfa\x18\x01\xff\xf0", "\xff\xff"};
    std::mt19937 random(7);
    auto below = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    auto letter = [&] { return static_cast<char>('A' + below(26)); };
    std::string text;
    text.reserve(size + 128);
    char line[128];
    for (int n = 0; text.size() < size; ++n) {
        const char spotter[] = {letter(), letter(), static_cast<char>('0' + below(10)),
                                letter(), letter(), '\0'};
        const char call[] = {letter(), letter(), static_cast<char>('0' + below(10)),
                             letter(), letter(), letter(),
                             '\0'};
        std::snprintf(line, sizeof line,
                      "DX de %s-#:   %6u.%u  %-14s %-5s %2u dB  %2u WPM  %-7s %02u%02uZ\r\n",
                      spotter, 1800 + below(26000), below(10), call, modes[below(3)], below(40),
                      10 + below(30), kinds[below(3)], below(24), below(60));
        text += line;
        if (withCommands && n % 300 == 299) text += commands[below(4)];
    }
    return text;  // whole lines: no command is cut at the end
}

void BM_TelnetFilter(benchmark::State& state) {
    const std::string text = ClusterText(8 * 1024 * 1024, true);
    TFilterState filterState = TFilterState::StateData;
    std::string terminal = "dumb";
    std::size_t replies = 0;
    const TNegotiationSender send = [&](std::string_view) { ++replies; };
    std::string data;
    for (auto _ : state) {
        for (std::size_t at = 0; at < text.size(); at += ReadSize) {
            data.clear();
            TelnetFilter(std::string_view(text).substr(at, ReadSize), filterState, terminal, send,
                         data);
            benchmark::DoNotOptimize(data.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["replies"] = static_cast<double>(replies);
}
BENCHMARK(BM_TelnetFilter)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TelnetStream(benchmark::State& state) {
    const std::string chunk = ClusterText(1000 * 1000, true);
    TEventLoopThread ui;
    TAntiFreeze antiFreeze(ui);
    std::size_t delivered = 0;
    std::size_t deliveries = 0;
    for (auto _ : state) {
        TLoopbackServer server([&](TPeer& peer) {
            for (std::size_t i = 0; i < StreamChunks; ++i) peer.Send(chunk);
            // Read the client's negotiation replies while it closes: closing
            // with them unread would reset the connection and lose data.
            peer.ShutdownSend();
            peer.WaitClosed();
        });
        std::atomic<std::size_t> received{0};
        std::atomic<std::size_t> calls{0};
        TTelnetClient client(ui);
        client.OnDataAvailable = [&](const std::string& text) {
            received.store(received.load(std::memory_order_relaxed) + text.size(),
                           std::memory_order_relaxed);
            calls.store(calls.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        };
        client.Host = "127.0.0.1";
        client.Port = server.Port();
        client.Open();
        // The reader ends after the server's close and the last delivery.
        while (client.ReaderRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        delivered = received;
        deliveries = calls;
        server.Join();
        if (!server.Error().empty()) state.SkipWithError(server.Error().c_str());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * StreamChunks * chunk.size()));
    state.counters["delivered_MB"] = static_cast<double>(delivered) / 1e6;
    state.counters["bytes_per_delivery"] =
        deliveries > 0 ? static_cast<double>(delivered) / static_cast<double>(deliveries) : 0;
}
BENCHMARK(BM_TelnetStream)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace skimby
