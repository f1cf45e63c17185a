// librovista-cli as a whole process over a cache of 1,000,000 titles (ten
// recorders of 100,000): `titles` against iconv converting the same bytes
// from code page 932 to UTF-8, and `export csv` against `titles`; each with
// its peak memory against the cache's bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ratio_main.h"
#include "sample_cache.h"

namespace {

using lv::bench::RunChild;

const lv::bench::SampleCache& GetCache() {
    static const lv::bench::SampleCache cache("lvclibench");
    return cache;
}

void Measure(benchmark::State& state, const std::vector<std::string>& args) {
    const lv::bench::SampleCache& cache = GetCache();
    if (cache.bytes == 0) {
        state.SkipWithError("the cache could not be written");
        return;
    }
    double peak = 0;
    for (auto _ : state) {
        const double p = RunChild(args);
        if (p < 0) {
            state.SkipWithError((args.front() + " failed").c_str());
            return;
        }
        peak = std::max(peak, p);
    }
    state.counters["peak_MiB"] = peak / (1 << 20);
    state.counters["peak_mem/cache_bytes"] = peak / static_cast<double>(cache.bytes);
}

std::vector<std::string> Cli(std::vector<std::string> command) {
    command.insert(command.begin(), {LV_CLI_PATH, "--home", GetCache().dir.string() + "/"});
    return command;
}

void BM_Iconv(benchmark::State& state) {
    std::vector<std::string> args{"iconv", "-f", "CP932", "-t", "UTF-8"};
    for (const std::string& f : GetCache().Files()) args.push_back(f);
    Measure(state, args);
}
BENCHMARK(BM_Iconv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CliTitles(benchmark::State& state) { Measure(state, Cli({"titles"})); }
BENCHMARK(BM_CliTitles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CliExportCsv(benchmark::State& state) { Measure(state, Cli({"export", "csv"})); }
BENCHMARK(BM_CliExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same into a file, which is replaced atomically (and flushed to disk).
void BM_CliExportCsvFile(benchmark::State& state) {
    Measure(state, Cli({"export", "csv", "-o", (GetCache().dir / "export.csv").string()}));
}
BENCHMARK(BM_CliExportCsvFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    const std::string suffix = "/iterations:3/real_time";
    return lv::bench::RunWithRatios(argc, argv,
                                    {{"BM_CliTitles" + suffix, "BM_Iconv" + suffix, 2.0},
                                     {"BM_CliExportCsv" + suffix, "BM_CliTitles" + suffix, 1.5},
                                     {"BM_CliTitles" + suffix, "counter:peak_mem/cache_bytes", 1.2},
                                     {"BM_CliExportCsv" + suffix, "counter:peak_mem/cache_bytes", 1.2},
                                     {"BM_CliExportCsvFile" + suffix, "counter:peak_mem/cache_bytes", 1.2}});
}
