// The quick search (text in titles, every recorder, disk and DVDs) over
// 1,000,000 titles, against a plain memmem for the same text over the same
// titles; and from Enter to the hits sorted in the list's model, against the
// search alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell/app.h"
#include "app/views/list_model.h"
#include "core/library/title_doc.h"
#include "core/search/search_condition.h"
#include "core/text/codec.h"
#include "ratio_main.h"
#include "sample_recorders.h"

namespace {

constexpr int kRecorders = 10;
constexpr int kTitlesEach = 100000;

using lv::bench::Recorders;

const Recorders& GetRecorders() {
    static const Recorders recs = lv::bench::SampleRecorders(kRecorders, kTitlesEach, 200);
    return recs;
}

struct Counter : CConditionSink {
    std::size_t titles = 0;
    void OnDisc(const CRDRecorderLibrary&, const CRDDiscInfo&) override {}
    void OnTitle(const CRDRecorderLibrary&, const CRDTitleInfo&) override { ++titles; }
};

const char* const kTexts[] = {"ニュース", "nhk", "ガンダム"};

void BM_Memmem(benchmark::State& state) {
    const Recorders& recs = GetRecorders();
    const std::string needle = lv::text::Utf8ToCp932(kTexts[state.range(0)]);
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& rec : recs) {
            for (const CRDTitleInfo& t : rec->Titles()) {
                std::string_view title = t.Field(TF_TITLE);
                if (memmem(title.data(), title.size(), needle.data(), needle.size())) ++hits;
            }
        }
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_Memmem)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_QuickSearch(benchmark::State& state) {
    const Recorders& recs = GetRecorders();
    CSearchCondition cond;
    cond.m_nFlags = SC_DVD_TITLES | SC_TEXT;
    cond.m_strText = lv::text::Utf8ToCp932(kTexts[state.range(0)]);
    std::size_t hits = 0;
    for (auto _ : state) {
        Counter counter;
        RunCondition(cond, recs, counter);
        hits = counter.titles;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_QuickSearch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// What the list view does on Enter: the hits go into the model, which sorts them.
struct ModelSink : CConditionSink {
    CListModel& model;
    explicit ModelSink(CListModel& m) : model(m) {}
    void OnDisc(const CRDRecorderLibrary&, const CRDDiscInfo& disc) override { model.AddDisc(disc); }
    void OnTitle(const CRDRecorderLibrary& recorder, const CRDTitleInfo& title) override {
        model.AddTitle(recorder, title);
    }
};

// Arguments: the text, and the sort key (by title, or newest first).
void BM_QuickSearchToModel(benchmark::State& state) {
    static CLibrovistaApp app;
    static const CRDTitleDoc doc("");
    const Recorders& recs = GetRecorders();
    CSearchCondition cond;
    cond.m_nFlags = SC_DVD_TITLES | SC_TEXT;
    cond.m_strText = lv::text::Utf8ToCp932(kTexts[state.range(0)]);
    CListModel model(app.m_settings, app.m_images, doc);
    for (auto _ : state) {
        model.BeginFill(VIEW_TITLES);
        ModelSink sink(model);
        RunCondition(cond, recs, sink);
        model.EndFill();
        model.Sort(static_cast<int>(state.range(1)));
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["rows"] = static_cast<double>(model.rowCount());
}
BENCHMARK(BM_QuickSearchToModel)->ArgsProduct({{0, 1, 2}, {0, 3 | SORT_DESCENDING}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    std::vector<lv::bench::Ratio> ratios;
    for (int text = 0; text < 3; ++text) {
        const std::string n = std::to_string(text);
        ratios.push_back({"BM_QuickSearch/" + n, "BM_Memmem/" + n, 3.0});
        for (int key : {0, 3 | SORT_DESCENDING})
            ratios.push_back({"BM_QuickSearchToModel/" + n + "/" + std::to_string(key), "BM_QuickSearch/" + n, 2.0});
    }
    return lv::bench::RunWithRatios(argc, argv, ratios);
}
