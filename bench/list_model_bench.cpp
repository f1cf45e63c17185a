// The title list's model with 100,000 titles: filling and sorting it against
// the core sorting the same rows alone (and, for comparison, sorting copies
// of the rows), a click on each column's header against a memcmp sort of the
// same rows by title, the heap the filled model holds, and the texts of one
// screenful of cells (decoded for display) against the same texts as code
// page 932 bytes.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/app.h"
#include "app/views/list_model.h"
#include "core/library/recorder_library.h"
#include "core/library/title_doc.h"
#include "ratio_main.h"
#include "sample/sample_library.h"
#include "sample_recorders.h"

namespace {

constexpr int kTitles = 100000;
constexpr int kSortKey = 3 | SORT_DESCENDING;  // by recording date, newest first
constexpr int kScreenRows = 40;

const CRDRecorderLibrary& Library() {
    static std::unique_ptr<CRDRecorderLibrary> lib = [] {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("lvbench-list-" + std::to_string(getpid()));
        lv::sample::SampleOptions o;
        o.titles = kTitles;
        o.discs = 120;
        o.modelClass = 2;
        const std::string folder = dir.string() + "/";
        std::filesystem::create_directories(folder);
        lv::sample::WriteSampleCache(o, folder);
        auto l = std::make_unique<CRDRecorderLibrary>("RD");
        l->SetModel("RD-XS41");
        l->LoadDiscList(folder + "Disc.csv");
        l->LoadTitleList(folder + "Library.csv");
        std::filesystem::remove_all(dir);
        return l;
    }();
    return *lib;
}

CLibrovistaApp& App() {
    static CLibrovistaApp app;
    return app;
}

// The model keeps the document's recorders of the moment; these rows are the bench's own.
const CRDTitleDoc& Doc() {
    static const CRDTitleDoc doc("");
    return doc;
}

void BM_SortRowCopies(benchmark::State& state) {
    const CRDRecorderLibrary& lib = Library();
    for (auto _ : state) {
        std::vector<CListRow> rows;
        rows.reserve(lib.Titles().size());
        for (const CRDTitleInfo& t : lib.Titles()) rows.push_back(CListRow::FromTitle(lib.GetName(), t));
        std::stable_sort(rows.begin(), rows.end(),
                         [](const CListRow& a, const CListRow& b) { return CompareRows(a, b, kSortKey) < 0; });
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_SortRowCopies)->Unit(benchmark::kMillisecond);

std::vector<CListRowRef> RowRefs(const CRDRecorderLibrary& lib) {
    std::vector<CListRowRef> rows;
    rows.reserve(lib.Titles().size());
    for (const CRDTitleInfo& t : lib.Titles()) rows.push_back(CListRowRef::OfTitle(lib.GetName(), t));
    return rows;
}

// The core's own sort: references to the records, their order sorted.
void BM_SortRowRefs(benchmark::State& state) {
    const CRDRecorderLibrary& lib = Library();
    for (auto _ : state) {
        benchmark::DoNotOptimize(SortOrder(RowRefs(lib), kSortKey).data());
    }
}
BENCHMARK(BM_SortRowRefs)->Unit(benchmark::kMillisecond);

// The same references sorted by memcmp on the raw title bytes.
void BM_MemcmpSort(benchmark::State& state) {
    const CRDRecorderLibrary& lib = Library();
    for (auto _ : state) {
        std::vector<CListRowRef> rows = RowRefs(lib);
        std::stable_sort(rows.begin(), rows.end(), lv::bench::MemcmpTitleLess);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_MemcmpSort)->Unit(benchmark::kMillisecond);

void Fill(CListModel& model, const CRDRecorderLibrary& lib) {
    model.BeginFill(VIEW_TITLES);
    for (const CRDTitleInfo& t : lib.Titles()) model.AddTitle(lib, t);
    model.EndFill();
    model.Sort(kSortKey);
}

void BM_FillAndSortModel(benchmark::State& state) {
    const CRDRecorderLibrary& lib = Library();
    {
        // What a filled model holds on the heap beyond an empty one.
        CListModel model(App().m_settings, App().m_images, Doc());
        const std::size_t before = mallinfo2().uordblks;
        Fill(model, lib);
        state.counters["heap_MiB"] = static_cast<double>(mallinfo2().uordblks - before) / (1 << 20);
    }
    CListModel model(App().m_settings, App().m_images, Doc());
    for (auto _ : state) {
        Fill(model, lib);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_FillAndSortModel)->Unit(benchmark::kMillisecond);

// A click on a column's header (argument: the column) of the filled model,
// each time from the order of another column.
void BM_HeaderClick(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    CListModel model(App().m_settings, App().m_images, Doc());
    Fill(model, Library());
    for (auto _ : state) {
        state.PauseTiming();
        model.Sort(column == 0 ? kSortKey : 0);
        state.ResumeTiming();
        model.Sort(column);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_HeaderClick)->DenseRange(0, TITLE_COLUMNS - 1)->Unit(benchmark::kMillisecond);

void BM_ScreenfulAsBytes(benchmark::State& state) {
    const CRDRecorderLibrary& lib = Library();
    std::vector<CListRow> rows;
    for (int i = 0; i < kScreenRows; ++i) rows.push_back(CListRow::FromTitle(lib.GetName(), lib.Titles()[i * 997]));
    for (auto _ : state)
        for (const CListRow& row : rows)
            for (int c = 0; c < TITLE_COLUMNS; ++c) benchmark::DoNotOptimize(GetCellText(row, c, 0));
}
BENCHMARK(BM_ScreenfulAsBytes)->Unit(benchmark::kMicrosecond);

void BM_ScreenfulDecoded(benchmark::State& state) {
    const CRDRecorderLibrary& lib = Library();
    CListModel model(App().m_settings, App().m_images, Doc());
    model.BeginFill(VIEW_TITLES);
    for (int i = 0; i < kScreenRows; ++i) model.AddTitle(lib, lib.Titles()[i * 997]);
    model.EndFill();
    for (auto _ : state)
        for (int r = 0; r < kScreenRows; ++r)
            for (int c = 0; c < TITLE_COLUMNS; ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c), Qt::DisplayRole));
}
BENCHMARK(BM_ScreenfulDecoded)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    std::vector<lv::bench::Ratio> ratios{{"BM_FillAndSortModel", "BM_SortRowRefs", 1.5},
                                         {"BM_FillAndSortModel", "counter:heap_MiB", 10.0},
                                         {"BM_ScreenfulDecoded", "BM_ScreenfulAsBytes", 8.0}};
    for (int c = 0; c < TITLE_COLUMNS; ++c)
        ratios.push_back({"BM_HeaderClick/" + std::to_string(c), "BM_MemcmpSort", 2.0});
    return lv::bench::RunWithRatios(argc, argv, ratios);
}
