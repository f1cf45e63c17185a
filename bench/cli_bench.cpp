// librovista-cli as a whole process over a cache of 1,000,000 titles (ten
// recorders of 100,000): `titles` against iconv converting the same bytes
// from code page 932 to UTF-8, and `export csv` against `titles`; each with
// its peak memory against the cache's bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ratio_main.h"
#include "sample/sample_library.h"

namespace {

constexpr int kRecorders = 10;
constexpr int kTitlesEach = 100000;

struct Cache {
    std::filesystem::path dir;
    std::vector<std::string> files;
    double bytes = 0;

    Cache() {
        dir = std::filesystem::temp_directory_path() / ("lvclibench-" + std::to_string(getpid()));
        for (int i = 0; i < kRecorders; ++i) {
            const std::string folder = (dir / ("RD" + std::to_string(i))).string() + "/";
            files.push_back(folder + "Disc.csv");
            files.push_back(folder + "Library.csv");
        }
        // Made by a child: a child's peak memory counts this process's as it
        // was when the child started, so this process stays small.
        const pid_t pid = fork();
        if (pid == 0) _exit(Write() ? 0 : 1);
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return;
        for (const std::string& f : files) bytes += static_cast<double>(std::filesystem::file_size(f));
    }
    bool Write() const {
        for (int i = 0; i < kRecorders; ++i) {
            lv::sample::SampleOptions o;
            o.titles = kTitlesEach;
            o.discs = 120;
            o.modelClass = 1 + i % 3;
            o.seed = 100 + i;
            const std::string folder = (dir / ("RD" + std::to_string(i))).string() + "/";
            std::filesystem::create_directories(folder);
            if (!lv::sample::WriteSampleCache(o, folder)) return false;
            const char* model = i % 3 == 0 ? "RD-XS40" : i % 3 == 1 ? "RD-XS41" : "RD-Z1";
            std::ofstream(dir / ("RD" + std::to_string(i) + ".ini"))
                << "[NetNavi]\r\nModel=" << model << "\r\nHost=h\r\nPort=80\r\n";
            std::ofstream(dir / "Default.lbv", std::ios::app) << "RD" << i << "\r\n";
        }
        return true;
    }
    ~Cache() { std::filesystem::remove_all(dir); }
};

const Cache& GetCache() {
    static Cache cache;
    return cache;
}

// Runs a program with its output thrown away; its peak resident bytes, or
// -1 when it did not exit 0.
double RunPeak(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage use {};
    if (err != 0 || wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return static_cast<double>(use.ru_maxrss) * 1024.0;
}

void Measure(benchmark::State& state, const std::vector<std::string>& args) {
    const Cache& cache = GetCache();
    if (cache.bytes <= 0) {
        state.SkipWithError("the cache could not be written");
        return;
    }
    double peak = 0;
    for (auto _ : state) {
        const double p = RunPeak(args);
        if (p < 0) {
            state.SkipWithError((args.front() + " failed").c_str());
            return;
        }
        peak = std::max(peak, p);
    }
    state.counters["peak_MiB"] = peak / (1 << 20);
    state.counters["peak_mem/cache_bytes"] = peak / cache.bytes;
}

std::vector<std::string> Cli(std::vector<std::string> command) {
    command.insert(command.begin(), {LV_CLI_PATH, "--home", GetCache().dir.string() + "/"});
    return command;
}

void BM_Iconv(benchmark::State& state) {
    std::vector<std::string> args{"/usr/bin/iconv", "-f", "CP932", "-t", "UTF-8"};
    for (const std::string& f : GetCache().files) args.push_back(f);
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
