// Fetching a library of 100,000 titles when its cache is present (the same
// library, or one without its first title) against a first fetch of the same
// library: `librovista-cli fetch` as a whole process against the emulator, its
// CPU time and peak memory read from wait4. Then the comparison of two
// libraries of 5,000,000 titles (one title apart, every line moved) against
// one load of them, and the class 1 disc list derived from 10,000 to 80,000
// distinct discs.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/library/new_titles.h"
#include "core/library/recorder_library.h"
#include "core/net/http_thread.h"
#include "ratio_main.h"
#include "sample/sample_library.h"

namespace {

constexpr char kModel[] = "RD-XS41";

std::filesystem::path TempFolder(const std::string& what) {
    auto dir = std::filesystem::temp_directory_path() / ("lvbench-" + what + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

// Starts a program; its output goes to /dev/null. 0 when it could not be started.
pid_t Spawn(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return err == 0 ? pid : 0;
}

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool Listening(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

// The emulator serving 100,000 titles, and a program folder with a profile for
// it. The emulator runs as a process of its own: a child's peak memory starts
// from what its parent holds when it is started, so this process stays small.
struct Recorder {
    pid_t sim = 0;
    std::filesystem::path home = TempFolder("fetch");

    Recorder() {
        const int port = FreePort();
        sim = Spawn({LV_RDSIM_PATH, "--generate", "100000", "--discs", "120", "--seed", "11", "--model", kModel,
                     "--port", std::to_string(port), "--quiet"});
        for (int i = 0; i < 600 && sim && !Listening(port); ++i) usleep(50000);
        std::ofstream(home / "RD.ini") << "[NetNavi]\r\nHost=127.0.0.1\r\nPort=" << port << "\r\nModel=" << kModel
                                       << "\r\n";
        std::ofstream(home / "Default.lbv") << "RD\r\n";
    }
    ~Recorder() {
        if (sim) {
            kill(sim, SIGTERM);
            waitpid(sim, nullptr, 0);
        }
        std::filesystem::remove_all(home);
    }
};

Recorder& GetRecorder() {
    static Recorder recorder;
    return recorder;
}

struct ChildUse {
    double cpuSeconds = 0;
    long peakKb = 0;
    bool ok = false;
};

// Runs `librovista-cli fetch RD` and reads what the process used.
ChildUse RunFetch(const Recorder& r) {
    ChildUse use;
    const pid_t pid = Spawn({LV_CLI_PATH, "--home", r.home.string() + "/", "fetch", "RD"});
    if (!pid) return use;
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid) return use;
    use.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    use.cpuSeconds = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                     static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    use.peakKb = ru.ru_maxrss;
    return use;
}

long g_firstFetchPeakKb = 0;  // the least over the first fetches' runs

void BM_FirstFetch(benchmark::State& state) {
    Recorder& r = GetRecorder();
    long peak = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(r.home / "RD");
        const ChildUse use = RunFetch(r);
        if (!use.ok) state.SkipWithError("fetch failed");
        state.SetIterationTime(use.cpuSeconds);
        peak = peak ? std::min(peak, use.peakKb) : use.peakKb;
    }
    g_firstFetchPeakKb = peak;
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
}
BENCHMARK(BM_FirstFetch)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);

// A library with its first title gone, copied a piece at a time: this
// process's peak would count as its children's.
void CopyWithoutFirstLine(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::ifstream in(from, std::ios::binary);
    std::string first;
    std::getline(in, first);
    std::ofstream(to, std::ios::binary) << in.rdbuf();
}

// Fetches over the cache of a first fetch, each after `change` had its way
// with the cached library.
void FetchesWithCache(benchmark::State& state, void (*change)(const std::filesystem::path& library)) {
    Recorder& r = GetRecorder();
    const std::filesystem::path cached = r.home / "RD" / "Library.csv";
    if (!std::filesystem::exists(cached) && !RunFetch(r).ok) state.SkipWithError("first fetch failed");
    long peak = 0;
    for (auto _ : state) {
        change(cached);
        const ChildUse use = RunFetch(r);
        if (!use.ok) state.SkipWithError("fetch failed");
        state.SetIterationTime(use.cpuSeconds);
        peak = peak ? std::min(peak, use.peakKb) : use.peakKb;
    }
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
    if (g_firstFetchPeakKb > 0)
        state.counters["peak_mem/first_fetch"] = static_cast<double>(peak) / static_cast<double>(g_firstFetchPeakKb);
}

void BM_FetchWithCache(benchmark::State& state) {
    FetchesWithCache(state, [](const std::filesystem::path&) {});
}
BENCHMARK(BM_FetchWithCache)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same when the cache differs from what the recorder sends (its first
// title gone), so that the two libraries are compared title by title.
void BM_FetchWithChangedCache(benchmark::State& state) {
    FetchesWithCache(state, [](const std::filesystem::path& library) {
        const std::filesystem::path shorter = library.string() + ".bench";
        CopyWithoutFirstLine(library, shorter);
        std::filesystem::rename(shorter, library);
    });
}
BENCHMARK(BM_FetchWithChangedCache)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);

// 5,000,000 titles in one library file, from ten generated libraries, and
// two libraries before it: the same without its first title, as a download
// finds it, and the same ten in the opposite order without the first title,
// where no line is where it was and every title is compared.
struct BigLibrary {
    std::filesystem::path dir = TempFolder("big");
    std::string path = (dir / "Library.csv").string();
    std::string before = (dir / "Before.csv").string();
    std::string moved = (dir / "Moved.csv").string();

    BigLibrary() {
        std::ofstream out(path, std::ios::binary);
        std::vector<std::streamoff> starts;
        for (unsigned seed = 1; seed <= 10; ++seed) {
            lv::sample::SampleOptions o;
            o.titles = 500000;
            o.discs = 2000;
            o.seed = seed;
            starts.push_back(out.tellp());
            out << lv::sample::GenerateLibraryCsv(o);
        }
        starts.push_back(out.tellp());
        out.close();
        const std::string reversed = before + ".reversed";
        std::ifstream in(path, std::ios::binary);
        std::ofstream back(reversed, std::ios::binary);
        std::vector<char> piece;
        for (std::size_t i = starts.size() - 1; i > 0; --i) {
            piece.resize(static_cast<std::size_t>(starts[i] - starts[i - 1]));
            in.seekg(starts[i - 1]);
            in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
            back.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
        back.close();
        CopyWithoutFirstLine(reversed, moved);
        std::filesystem::remove(reversed);
        CopyWithoutFirstLine(path, before);
    }
    ~BigLibrary() { std::filesystem::remove_all(dir); }
};

const BigLibrary& GetBigLibrary() {
    static BigLibrary library;
    return library;
}

void BM_LoadBig(benchmark::State& state) {
    const BigLibrary& big = GetBigLibrary();
    for (auto _ : state) {
        CRDRecorderLibrary lib("RD");
        lib.SetModel(kModel);
        if (!lib.LoadTitleList(big.path)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(lib.Titles().data());
    }
}
BENCHMARK(BM_LoadBig)->Iterations(3)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void CompareBig(benchmark::State& state, const std::string& before) {
    const BigLibrary& big = GetBigLibrary();
    for (auto _ : state) {
        const NEWTITLES news = CompareLibraryFiles(kModel, before, big.path);
        if (news.aNew.size() != 1 || news.nRemoved != 0) state.SkipWithError("not one title new");
    }
}
void BM_CompareBig(benchmark::State& state) { CompareBig(state, GetBigLibrary().before); }
BENCHMARK(BM_CompareBig)->Iterations(3)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
void BM_CompareBigMoved(benchmark::State& state) { CompareBig(state, GetBigLibrary().moved); }
BENCHMARK(BM_CompareBigMoved)->Iterations(3)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A class 1 library with `discs` distinct disc keys, each on two lines.
struct DiscLibrary {
    std::filesystem::path dir = TempFolder("discs");
    std::string path = (dir / "Library.csv").string();
    std::string out = (dir / "Disc.csv").string();

    explicit DiscLibrary(int discs) {
        std::string text;
        char line[96];
        for (int copy = 0; copy < 2; ++copy)
            for (int i = 0; i < discs; ++i) {
                std::snprintf(line, sizeof line, "\"%d\",\"Title %d\",\"2005/12/01\",\"21:00\",\"%04d%02d:00\"\r\n",
                              i * 2 + copy, i, i % 10000, i / 10000 % 100);
                text += line;
            }
        std::ofstream(path, std::ios::binary) << text;
    }
    ~DiscLibrary() { std::filesystem::remove_all(dir); }
};

void BM_DiscList(benchmark::State& state) {
    const DiscLibrary library(static_cast<int>(state.range(0)));
    const std::string home = library.dir.string() + "/";
    CDownloadLibraryThread thread(home, {}, nullptr);
    for (auto _ : state)
        if (!thread.BuildDiscList(library.path, library.out)) state.SkipWithError("disc list not written");
    state.counters["lines"] = static_cast<double>(state.range(0) * 2);
}
BENCHMARK(BM_DiscList)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    return lv::bench::RunWithRatios(
        argc, argv,
        {{"BM_FetchWithCache/iterations:8/manual_time", "BM_FirstFetch/iterations:8/manual_time", 1.5},
         {"BM_FetchWithCache/iterations:8/manual_time", "counter:peak_mem/first_fetch", 2.0},
         {"BM_FetchWithChangedCache/iterations:8/manual_time", "BM_FirstFetch/iterations:8/manual_time", 1.5},
         {"BM_FetchWithChangedCache/iterations:8/manual_time", "counter:peak_mem/first_fetch", 2.0},
         {"BM_CompareBig/iterations:3/process_time", "BM_LoadBig/iterations:3/process_time", 2.0},
         // Every title compared: both files are read and split (about 1.2 loads
         // by themselves) and one library's ids are kept for the exact check,
         // in fresh memory. This guards that whole comparison against getting
         // slower; the comparison a download meets is held to the line above.
         {"BM_CompareBigMoved/iterations:3/process_time", "BM_LoadBig/iterations:3/process_time", 3.5},
         {"BM_DiscList/80000/min_time:1.000", "BM_DiscList/40000/min_time:1.000", 2.5}});
}
