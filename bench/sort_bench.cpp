// Sorting the list's rows of 1,000,000 titles (ten recorders of 100,000)
// by title, disc number, recording date and channel, against a stable sort
// of the same row references by memcmp on the raw title bytes (and, for
// comparison, an unstable one).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/views/list_rows.h"
#include "ratio_main.h"
#include "sample_recorders.h"

namespace {

constexpr int kRecorders = 10;
constexpr int kTitlesEach = 100000;

struct Library {
    lv::bench::Recorders recorders = lv::bench::SampleRecorders(kRecorders, kTitlesEach, 300);
    std::vector<CListRowRef> rows;  // in load order
};

const Library& GetLibrary() {
    static const Library lib = [] {
        Library l;
        for (const auto& rec : l.recorders)
            for (const CRDTitleInfo& t : rec->Titles()) l.rows.push_back(CListRowRef::OfTitle(rec->GetName(), t));
        return l;
    }();
    return lib;
}

// Argument: 1 for a stable sort.
void BM_MemcmpSort(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<CListRowRef> rows = GetLibrary().rows;
        if (state.range(0))
            std::stable_sort(rows.begin(), rows.end(), lv::bench::MemcmpTitleLess);
        else
            std::sort(rows.begin(), rows.end(), lv::bench::MemcmpTitleLess);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_MemcmpSort)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Argument: the sort key (0 title, 1 disc number, 3 recording date, 4 channel).
void BM_SortRows(benchmark::State& state) {
    const int sortKey = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<CListRowRef> rows = GetLibrary().rows;
        SortRows(rows, sortKey);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_SortRows)
    ->Arg(0)
    ->Arg(0 | SORT_DESCENDING)
    ->Arg(1)
    ->Arg(3)
    ->Arg(3 | SORT_DESCENDING)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const std::string base = "BM_MemcmpSort/1";
    const std::string descending = std::to_string(SORT_DESCENDING);
    return lv::bench::RunWithRatios(argc, argv,
                                    {{"BM_SortRows/0", base, 1.5},
                                     {"BM_SortRows/" + descending, base, 1.5},
                                     {"BM_SortRows/1", base, 1.0},
                                     {"BM_SortRows/3", base, 1.0},
                                     {"BM_SortRows/" + std::to_string(3 | SORT_DESCENDING), base, 1.0},
                                     {"BM_SortRows/4", base, 1.0},
                                     {"BM_SortRows/0", "BM_MemcmpSort/0", 1.5}});
}
