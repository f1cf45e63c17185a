// Describing 1,000 titles from the emulator (served in this process on
// loopback) against libcurl fetching the same 1,000 pages in one process with
// one easy handle, the bodies kept in memory or each written to a new file.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/net/http_thread.h"
#include "core/net/request_path.h"
#include "ratio_main.h"
#include "rdsim/rdsim.h"

namespace {

constexpr int kTitles = 1000;
constexpr char kModel[] = "RD-XS41";

struct Recorder {
    lv::rdsim::RdSim sim{{.strModel = kModel}};
    std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("lvbench-describe-" + std::to_string(::getpid()));
    int port = -1;

    Recorder() {
        sim.Generate({.titles = kTitles, .discs = 30, .seed = 5});
        port = sim.Start();
        std::filesystem::create_directories(home);
        std::ofstream(home / "RD.ini") << "[NetNavi]\r\nHost=127.0.0.1\r\nPort=" << port << "\r\nModel=" << kModel
                                       << "\r\n";
    }
    ~Recorder() {
        sim.Stop();
        std::filesystem::remove_all(home);
    }
    // Moved out of the way, not deleted, until the process ends: a file system
    // that passes over recently freed inodes each time it makes a file (ext4
    // without a journal, for minutes) would charge the next iteration for the
    // 1,000 files this one deleted.
    void SetAside(const std::filesystem::path& path) {
        std::filesystem::create_directories(home / "aside");
        std::error_code ec;
        std::filesystem::rename(path, home / "aside" / std::to_string(++aside), ec);
    }
    int aside = 0;
    std::string Page(int i) const { return "/library/" + lv::net::EscapePageName(sim.Sample()->Titles()[i].strPage); }
};

Recorder& GetRecorder() {
    static Recorder recorder;
    return recorder;
}

void BM_CurlPages(benchmark::State& state) {
    Recorder& r = GetRecorder();
    const std::string base = "http://127.0.0.1:" + std::to_string(r.port);
    CURL* c = curl_easy_init();
    std::string body;
    auto keep = +[](char* data, std::size_t size, std::size_t n, void* out) {
        static_cast<std::string*>(out)->append(data, size * n);
        return size * n;
    };
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, keep);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    for (auto _ : state) {
        for (int i = 0; i < kTitles; ++i) {
            body.clear();
            curl_easy_setopt(c, CURLOPT_URL, (base + r.Page(i)).c_str());
            if (curl_easy_perform(c) != CURLE_OK) state.SkipWithError("a page failed");
        }
    }
    curl_easy_cleanup(c);
}
BENCHMARK(BM_CurlPages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same with each page written to a new file of its own, as `curl -o` does,
// without flushing: what creating 1,000 files costs on this disk.
void BM_CurlPagesToNewFiles(benchmark::State& state) {
    Recorder& r = GetRecorder();
    const std::string base = "http://127.0.0.1:" + std::to_string(r.port);
    const std::filesystem::path dir = r.home / "curl";
    CURL* c = curl_easy_init();
    std::FILE* file = nullptr;
    auto put = +[](char* data, std::size_t size, std::size_t n, void* out) {
        return std::fwrite(data, size, n, *static_cast<std::FILE**>(out)) * size;
    };
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, put);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &file);
    for (auto _ : state) {
        state.PauseTiming();
        r.SetAside(dir);
        std::filesystem::create_directories(dir);
        state.ResumeTiming();
        for (int i = 0; i < kTitles; ++i) {
            file = std::fopen((dir / (std::to_string(i) + ".htm")).c_str(), "wb");
            curl_easy_setopt(c, CURLOPT_URL, (base + r.Page(i)).c_str());
            if (!file || curl_easy_perform(c) != CURLE_OK) state.SkipWithError("a page failed");
            if (file) std::fclose(file);
        }
    }
    curl_easy_cleanup(c);
}
BENCHMARK(BM_CurlPagesToNewFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Arg 0: no description yet; 1: each as the page gives it; 2: each different.
void BM_Describe(benchmark::State& state) {
    Recorder& r = GetRecorder();
    PROXY_SETTINGS direct;
    direct.bUseIE = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (state.range(0) == 0) r.SetAside(r.home / "RD");
        if (state.range(0) == 2)
            for (int i = 0; i < kTitles; ++i)
                std::ofstream(r.home / "RD" / (std::to_string(i) + ".txt"), std::ios::binary) << "old\r\n";
        state.ResumeTiming();
        CDownloadTitleThread t(r.home.string() + "/", direct, nullptr);
        t.m_strRecorderName = "RD";
        for (int i = 0; i < kTitles; ++i) {
            auto d = std::make_unique<CDownloadTitle>();
            d->m_strPage = r.sim.Sample()->Titles()[i].strPage;
            d->m_strTextFile = std::to_string(i) + ".txt";
            t.m_aTitles.push_back(std::move(d));
        }
        t.Start();
        t.Wait();
        if (t.GetExitCode() != 0) state.SkipWithError(t.GetErrorText().c_str());
    }
}
BENCHMARK(BM_Describe)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    const std::string suffix = "/iterations:5/real_time";
    return lv::bench::RunWithRatios(argc, argv,
                                    {{"BM_Describe/0" + suffix, "BM_CurlPages" + suffix, 3.0},
                                     {"BM_Describe/1" + suffix, "BM_CurlPages" + suffix, 3.0},
                                     {"BM_Describe/2" + suffix, "BM_CurlPages" + suffix, 3.0},
                                     {"BM_Describe/0" + suffix, "BM_CurlPagesToNewFiles" + suffix, 3.0}});
}
