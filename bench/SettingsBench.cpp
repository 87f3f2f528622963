// Reading a long "telnet.ini": the start-up cost of a hand-kept server list.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/ServerList.h"

namespace skimby {
namespace {

// A 10,000-line server list written once to a folder of its own.
class TBenchServerFile {
  public:
    TBenchServerFile() {
        char pattern[] = "/tmp/skimby-bench-XXXXXX";
        if (mkdtemp(pattern) != nullptr) FFolder = pattern;
        std::ofstream out(FileName(), std::ios::binary);
        for (int i = 0; i < 10000; ++i)
            out << "Cluster " << i << "\tnode" << i << ".cluster.example.net\t" << 7000 + i % 100
                << "\r\n";
    }
    ~TBenchServerFile() {
        std::error_code ec;
        std::filesystem::remove_all(FFolder, ec);
    }
    std::string FileName() const { return FFolder + "/telnet.ini"; }

  private:
    std::string FFolder;
};

void BM_ServerList(benchmark::State& state) {
    static const TBenchServerFile file;
    TServerList list;
    for (auto _ : state) {
        list.LoadFromFile(file.FileName());
        benchmark::DoNotOptimize(list.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * list.RowCount());
}
BENCHMARK(BM_ServerList)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace skimby
