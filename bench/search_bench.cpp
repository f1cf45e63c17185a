// The quick search (text in titles, every recorder, disk and DVDs) over
// 1,000,000 titles, against a plain memmem for the same text over the same
// titles.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/library/recorder_library.h"
#include "core/search/search_condition.h"
#include "core/text/codec.h"
#include "ratio_main.h"
#include "sample/sample_library.h"

namespace {

constexpr int kRecorders = 10;
constexpr int kTitlesEach = 100000;

using Recorders = std::vector<std::unique_ptr<CRDRecorderLibrary>>;

Recorders Build() {
    Recorders recs;
    for (int i = 0; i < kRecorders; ++i) {
        lv::sample::SampleOptions o;
        o.titles = kTitlesEach;
        o.discs = 120;
        o.modelClass = 2;
        o.seed = 200 + i;
        lv::sample::SampleLibrary sample(o);
        auto lib = std::make_unique<CRDRecorderLibrary>("RD" + std::to_string(i));
        for (const auto& t : sample.Titles()) {
            TITLEINFO info{};
            info.apszField[TF_DISC] = sample.Discs()[t.nDisc].strNo.c_str();
            info.apszField[TF_TITLE] = t.strTitle.c_str();
            info.apszField[TF_GENRE] = t.strGenre.c_str();
            info.apszField[TF_DATE] = t.strDate.c_str();
            info.apszField[TF_WEEK] = t.strWeek.c_str();
            info.apszField[TF_TIME] = t.strTime.c_str();
            info.apszField[TF_CHANNEL] = t.strChannel.c_str();
            info.apszField[TF_PAGE] = t.strPage.c_str();
            info.nGenre = t.GenreCode();
            lib->AddTitle(info);
        }
        recs.push_back(std::move(lib));
    }
    return recs;
}

const Recorders& GetRecorders() {
    static const Recorders recs = Build();
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

}  // namespace

int main(int argc, char** argv) {
    return lv::bench::RunWithRatios(argc, argv,
                                    {{"BM_QuickSearch/0", "BM_Memmem/0", 3.0},
                                     {"BM_QuickSearch/1", "BM_Memmem/1", 3.0},
                                     {"BM_QuickSearch/2", "BM_Memmem/2", 3.0}});
}
