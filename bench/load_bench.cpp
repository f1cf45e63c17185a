// Loading a cache of 1,000,000 titles (ten recorders of 100,000) against
// reading the same files and counting their lines; the title lists by each
// level of the loader against the plain level and the next simpler one; the
// document's load, which spreads the recorders over the cores, against
// loading them one by one; and `librovista-cli recorders` as a whole process
// against `wc -l` over the files.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/library/recorder_library.h"
#include "core/library/title_doc.h"
#include "core/library/title_loader.h"
#include "ratio_main.h"
#include "sample_cache.h"

namespace {

using Cache = lv::bench::SampleCache;
constexpr int kRecorders = Cache::kRecorders;

const Cache& GetCache() {
    static const Cache cache("lvbench");
    return cache;
}

long StatusKb(const char* key) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

std::size_t CountLines(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    static char buf[1 << 16];
    std::size_t lines = 0, n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        for (const char* p = buf; (p = static_cast<const char*>(std::memchr(p, '\n', buf + n - p))); ++p) ++lines;
    std::fclose(f);
    return lines;
}

void BM_CountLines(benchmark::State& state) {
    const Cache& cache = GetCache();
    for (auto _ : state) {
        std::size_t lines = 0;
        for (const auto& folder : cache.folders)
            lines += CountLines(folder + "Disc.csv") + CountLines(folder + "Library.csv");
        benchmark::DoNotOptimize(lines);
    }
    state.counters["MB"] = static_cast<double>(cache.bytes) / 1e6;
}
BENCHMARK(BM_CountLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Every recorder's disc and title lists, one after another.
std::vector<std::unique_ptr<CRDRecorderLibrary>> LoadAll(const Cache& cache) {
    std::vector<std::unique_ptr<CRDRecorderLibrary>> libs;
    for (int i = 0; i < kRecorders; ++i) {
        auto lib = std::make_unique<CRDRecorderLibrary>("RD" + std::to_string(i));
        lib->SetModel(Cache::Model(i));
        lib->LoadDiscList(cache.folders[i] + "Disc.csv");
        lib->LoadTitleList(cache.folders[i] + "Library.csv");
        libs.push_back(std::move(lib));
    }
    return libs;
}

void BM_LoadLibraries(benchmark::State& state) {
    const Cache& cache = GetCache();
    double peakRatio = 0;
    std::size_t titles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Reset the peak so that it tells what this load needed.
        std::ofstream("/proc/self/clear_refs") << "5";
        long before = StatusKb("VmRSS:");
        state.ResumeTiming();
        auto libs = LoadAll(cache);
        state.PauseTiming();
        long peak = StatusKb("VmHWM:");
        titles = 0;
        for (const auto& l : libs) titles += l->GetTitleCount();
        peakRatio = (peak - before) * 1024.0 / static_cast<double>(cache.bytes);
        libs.clear();
        malloc_trim(0);  // give the memory back, so that the next round measures afresh
        state.ResumeTiming();
    }
    state.counters["titles"] = static_cast<double>(titles);
    state.counters["peak_mem/file_size"] = peakRatio;
}
BENCHMARK(BM_LoadLibraries)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The title lists alone, by one level of the loader; a level the processor
// or the build lacks is reported as not run.
void BM_LoadLevel(benchmark::State& state, lv::LoaderLevel level) {
    if (level > lv::TopLoaderLevel()) {
        state.SkipWithError("not run by this processor or build");
        return;
    }
    const Cache& cache = GetCache();
    lv::CapLoaderLevel(level);
    std::size_t titles = 0;
    for (auto _ : state) {
        auto libs = LoadAll(cache);
        state.PauseTiming();
        titles = 0;
        for (const auto& l : libs) titles += l->Titles().size();
        libs.clear();
        malloc_trim(0);
        state.ResumeTiming();
    }
    lv::CapLoaderLevel(lv::LoaderLevel::Avx512);
    state.counters["titles"] = static_cast<double>(titles);
}
BENCHMARK_CAPTURE(BM_LoadLevel, plain, lv::LoaderLevel::Plain)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_LoadLevel, sse2, lv::LoaderLevel::Sse2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_LoadLevel, avx2, lv::LoaderLevel::Avx2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_LoadLevel, avx512, lv::LoaderLevel::Avx512)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The whole document as the window and the tool open it: profiles, then every
// recorder's lists, the recorders on as many threads as there are cores.
void BM_OpenDocument(benchmark::State& state) {
    const Cache& cache = GetCache();
    const std::string appDir = cache.dir.string() + "/";
    std::size_t titles = 0;
    for (auto _ : state) {
        CRDTitleDoc doc(appDir);
        if (!doc.OnOpenDocument(appDir + "Default.lbv")) state.SkipWithError("document not read");
        titles = 0;
        for (const auto& r : doc.GetRecorders()) titles += r->Titles().size();
        state.PauseTiming();
        doc.DeleteContents();
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["titles"] = static_cast<double>(titles);
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Runs a program with its output thrown away; false when it did not exit 0.
bool RunQuiet(const std::vector<std::string>& args) { return lv::bench::RunChild(args) >= 0; }

void BM_WcLines(benchmark::State& state) {
    const Cache& cache = GetCache();
    std::vector<std::string> args{"wc", "-l"};
    for (const auto& folder : cache.folders) {
        args.push_back(folder + "Disc.csv");
        args.push_back(folder + "Library.csv");
    }
    for (auto _ : state)
        if (!RunQuiet(args)) state.SkipWithError("wc failed");
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CliRecorders(benchmark::State& state) {
    const Cache& cache = GetCache();
    const std::vector<std::string> args{LV_CLI_PATH, "--home", cache.dir.string() + "/", "recorders"};
    for (auto _ : state)
        if (!RunQuiet(args)) state.SkipWithError("librovista-cli failed");
}
BENCHMARK(BM_CliRecorders)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    return lv::bench::RunWithRatios(argc, argv,
                                    {{"BM_LoadLibraries/min_time:2.000", "BM_CountLines/min_time:2.000", 4.0},
                                     {"BM_LoadLibraries/min_time:2.000", "counter:peak_mem/file_size", 1.0},
                                     {"BM_OpenDocument/min_time:2.000", "BM_CountLines/min_time:2.000", 2.5},
                                     // Recorders load side by side: less wall time than one after another.
                                     {"BM_OpenDocument/min_time:2.000", "BM_LoadLibraries/min_time:2.000", 0.8},
                                     {"BM_CliRecorders/min_time:2.000", "BM_WcLines/min_time:2.000", 6.0},
                                     // Each level against the plain one, and at least 10% over the next simpler one.
                                     {"BM_LoadLevel/sse2/min_time:2.000", "BM_LoadLevel/plain/min_time:2.000", 0.8},
                                     {"BM_LoadLevel/avx2/min_time:2.000", "BM_LoadLevel/plain/min_time:2.000", 0.7},
                                     {"BM_LoadLevel/avx512/min_time:2.000", "BM_LoadLevel/plain/min_time:2.000", 0.65},
                                     {"BM_LoadLevel/avx2/min_time:2.000", "BM_LoadLevel/sse2/min_time:2.000", 0.9},
                                     {"BM_LoadLevel/avx512/min_time:2.000", "BM_LoadLevel/avx2/min_time:2.000", 0.9}});
}
