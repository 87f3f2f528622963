// Fetching a 5 MB member list from a loopback server through the HTTP
// client as the program sets it up (HTTP/1.0, 1024-byte receives), once
// with a Content-Length and once chunked.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "net/HttpClient.h"
#include "support/ScriptedHttpServer.h"

namespace skimby {
namespace {

constexpr std::size_t ListSize = 5'000'000;
constexpr std::size_t ChunkSize = 8192;  // what a typical web server writes per chunk

std::string MemberList() {
    std::string body;
    for (int i = 0; body.size() < ListSize; ++i)
        body += "DL" + std::to_string(i) + "ABC\tName " + std::to_string(i) + "\tSome Town\t" +
                (i % 3 ? "No" : "Yes") + "\t" + std::to_string(i % 50) + "\r\n";
    body.resize(ListSize);
    return body;
}

std::string Chunked(const std::string& body) {
    std::string chunked;
    for (std::size_t at = 0; at < body.size(); at += ChunkSize) {
        const std::size_t size = std::min(ChunkSize, body.size() - at);
        char line[24];
        std::snprintf(line, sizeof line, "%zx\r\n", size);
        chunked += line;
        chunked.append(body, at, size);
        chunked += "\r\n";
    }
    return chunked + "0\r\n\r\n";
}

void BM_HttpFetch(benchmark::State& state, bool chunked) {
    const std::string body = MemberList();
    const std::string headers = chunked ? "Transfer-Encoding: chunked\r\n"
                                        : "Content-Length: " + std::to_string(body.size()) + "\r\n";
    TScriptedHttpServer server;
    server.SetRepeat(TCannedReply{"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n" + headers +
                                  "\r\n" + (chunked ? Chunked(body) : body)});
    THttpClient client;
    UseMemberListSettings(client);
    const std::string url = server.Url("/rbndata2.php?mycall=DL1ABC");

    for (auto _ : state) {
        const std::string text = client.FetchText(url);
        if (text.size() != body.size()) state.SkipWithError("wrong body size");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}

BENCHMARK_CAPTURE(BM_HttpFetch, counted, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_HttpFetch, chunked, true)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace skimby
