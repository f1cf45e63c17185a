// Cutting the description out of a page that arrives in 4096-byte chunks,
// with the text as one line without breaks (the worst case of a hostile
// recorder) and as short lines, against a plain copy of the same chunks.
// Time per byte must not grow with the size of the page: sixteen times the
// page costs about sixteen times the time.
#include <benchmark/benchmark.h>

#include <string>

#include "core/net/textarea.h"
#include "ratio_main.h"

namespace {

constexpr std::size_t kChunk = 4096;

std::string Page(std::size_t bytes, bool lines) {
    std::string page = "<HTML><BODY>\r\n<TEXTAREA rows=10>";
    while (page.size() < bytes) page += lines ? "a description line\r\n" : "a description without breaks ";
    return page;
}

void BM_Copy(benchmark::State& state) {
    const std::string page = Page(static_cast<std::size_t>(state.range(0)) << 20, false);
    std::string out;
    for (auto _ : state) {
        std::size_t written = 0;
        for (std::size_t at = 0; at < page.size(); at += kChunk) {
            out.assign(page.data() + at, std::min(kChunk, page.size() - at));
            benchmark::DoNotOptimize(out.data());
            written += out.size();
        }
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Copy)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Extract(benchmark::State& state) {
    const std::string page = Page(static_cast<std::size_t>(state.range(0)) << 20, state.range(1) != 0);
    std::string out;
    for (auto _ : state) {
        lv::net::CTextAreaExtractor x;
        std::size_t written = 0;
        for (std::size_t at = 0; at < page.size(); at += kChunk) {
            out.clear();
            x.Write(page.data() + at, std::min(kChunk, page.size() - at), out);
            written += out.size();
        }
        out.clear();
        x.Finish(out);
        benchmark::DoNotOptimize(written += out.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Extract)->Args({1, 0})->Args({16, 0})->Args({16, 1})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The extraction looks at every byte, a copy does not; what matters is
    // that a page sixteen times larger costs no more than about sixteen times.
    return lv::bench::RunWithRatios(argc, argv,
                                    {{"BM_Extract/1/0", "BM_Copy/1", 200.0},
                                     {"BM_Extract/16/0", "BM_Extract/1/0", 20.0},
                                     {"BM_Extract/16/1", "BM_Extract/1/0", 20.0}});
}
