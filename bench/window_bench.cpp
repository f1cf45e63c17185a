// The window with 100,000 titles under the offscreen platform: a tree
// selection until the list is filled and sorted, a header-click sort, and
// the list narrowed key by key while the user types, each against the core's
// own computation of the same rows (for typing: the quick search's match).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/app.h"
#include "app/shell/main_frame.h"
#include "app/views/list_view.h"
#include "app/views/tree_view.h"
#include "core/library/title_doc.h"
#include "core/search/search_condition.h"
#include "core/text/codec.h"
#include "core/text/fold.h"
#include "core/views/list_rows.h"
#include "core/views/row_filter.h"
#include "ratio_main.h"
#include "sample/sample_library.h"

namespace {

constexpr int kTitles = 100000;
constexpr int kDateColumn = 3;

struct Window {
    std::filesystem::path dir;
    std::unique_ptr<CLibrovistaApp> app;
    QTreeWidgetItem* recorder = nullptr;

    Window() {
        dir = std::filesystem::temp_directory_path() / ("lvbench-window-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "RD");
        lv::sample::SampleOptions o;
        o.titles = kTitles;
        o.discs = 120;
        o.modelClass = 2;
        lv::sample::WriteSampleCache(o, (dir / "RD").string() + "/");
        std::ofstream(dir / "RD.ini") << "[NetNavi]\r\nHost=127.0.0.1\r\nModel=RD-XS41\r\n";
        std::ofstream(dir / "Default.lbv") << "RD\r\n";
        qputenv("LIBROVISTA_HOME", QByteArray::fromStdString(dir.string() + "/"));
        app = std::make_unique<CLibrovistaApp>();
        app->InitInstance({QStringLiteral("librovista")});
        QTreeWidget* tree = app->GetMainFrame()->GetTreeView();
        // By name: the fixed nodes before the recorders may grow in number.
        QTreeWidgetItem* root = tree->topLevelItem(0);
        for (int i = 0; i < root->childCount() && !recorder; ++i)
            if (root->child(i)->text(0) == QStringLiteral("RD")) recorder = root->child(i);
        if (!recorder) qFatal("the recorder's node is missing");
    }
    ~Window() {
        app.reset();
        std::filesystem::remove_all(dir);
    }
};

std::unique_ptr<Window> g_window;

Window& GetWindow() {
    if (!g_window) g_window = std::make_unique<Window>();
    return *g_window;
}

// The rows the list shows for the recorder node, as the core computes them:
// references to the records.
struct RowCollector : CConditionSink {
    std::vector<CListRowRef> rows;
    void OnDisc(const CRDRecorderLibrary&, const CRDDiscInfo& d) override {
        rows.push_back({&d.m_strRDName, nullptr, &d});
    }
    void OnTitle(const CRDRecorderLibrary& r, const CRDTitleInfo& t) override {
        rows.push_back({&r.GetName(), &t, nullptr});
    }
};

// Rows in sorted order: the rows themselves stay put, their order is sorted.
struct SortedRows {
    std::vector<CListRowRef> rows;
    std::vector<int> order;
};

void SortOrder(SortedRows& s, int sortKey) {
    s.order.resize(s.rows.size());
    for (std::size_t i = 0; i < s.order.size(); ++i) s.order[i] = static_cast<int>(i);
    std::stable_sort(s.order.begin(), s.order.end(),
                     [&](int a, int b) { return CompareRows(s.rows[a], s.rows[b], sortKey) < 0; });
}

SortedRows CoreRows(int sortKey) {
    CSearchCondition cond;
    cond.m_nFlags = SC_RECORDER;
    cond.m_strRecorder = "RD";
    RowCollector c;
    RunCondition(cond, *GetWindow().app->GetDocument(), c);
    SortedRows s{std::move(c.rows), {}};
    SortOrder(s, sortKey);
    return s;
}

void BM_CoreSelect(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CoreRows(0).order.data());
}
BENCHMARK(BM_CoreSelect)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// With filtering as you type on, a fill also folds the rows' names.
void WindowSelect(benchmark::State& state, bool filterAsYouType) {
    Window& w = GetWindow();
    w.app->m_settings.m_bFilterAsYouType = filterAsYouType;
    QTreeWidget* tree = w.app->GetMainFrame()->GetTreeView();
    CRDListView* list = w.app->GetMainFrame()->GetListView();
    double heap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tree->setCurrentItem(tree->topLevelItem(0));
        QApplication::processEvents();
        const std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        tree->setCurrentItem(w.recorder);
        QApplication::processEvents();
        benchmark::DoNotOptimize(list->GetDetailsView()->model()->rowCount());
        state.PauseTiming();
        // The heap the selection holds beyond the emptied list.
        heap = (static_cast<double>(mallinfo2().uordblks) - static_cast<double>(before)) / (1 << 20);
        state.ResumeTiming();
    }
    state.counters["heap_MiB"] = heap;
    state.counters["rows"] = list->GetDetailsView()->model()->rowCount();
    w.app->m_settings.m_bFilterAsYouType = 0;
}

void BM_WindowSelect(benchmark::State& state) { WindowSelect(state, false); }
BENCHMARK(BM_WindowSelect)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WindowSelectFilterOn(benchmark::State& state) { WindowSelect(state, true); }
BENCHMARK(BM_WindowSelectFilterOn)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CoreSortByDate(benchmark::State& state) {
    SortedRows s = CoreRows(0);
    bool descending = false;
    for (auto _ : state) {
        SortOrder(s, kDateColumn | (descending ? SORT_DESCENDING : 0));
        descending = !descending;
        benchmark::DoNotOptimize(s.order.data());
    }
}
BENCHMARK(BM_CoreSortByDate)->Unit(benchmark::kMillisecond);

void BM_WindowHeaderClick(benchmark::State& state) {
    Window& w = GetWindow();
    QTreeWidget* tree = w.app->GetMainFrame()->GetTreeView();
    CRDListView* list = w.app->GetMainFrame()->GetListView();
    tree->setCurrentItem(w.recorder);
    QApplication::processEvents();
    for (auto _ : state) {
        list->OnColumnClick(kDateColumn);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_WindowHeaderClick)->Unit(benchmark::kMillisecond);

// The box's text after each key: a word typed, one Backspace, the box emptied.
std::vector<std::string> TypingSteps() {
    std::vector<std::string> steps;
    for (const char* utf8 : {"ニ", "ニュ", "ニュー", "ニュース", "ニュー", ""})
        steps.push_back(lv::text::Utf8ToCp932(utf8));
    return steps;
}

// Baseline: the quick search's match of each step's text over the same titles.
void BM_CoreQuickMatchTyping(benchmark::State& state) {
    const SortedRows s = CoreRows(0);
    const std::vector<std::string> steps = TypingSteps();
    std::vector<int> found;
    for (auto _ : state) {
        for (const std::string& text : steps) {
            lv::text::CFoldedMatcher matcher(text);
            found.clear();
            for (int row : s.order)
                if (matcher.Contains(s.rows[static_cast<std::size_t>(row)].m_pTitle->Field(TF_TITLE)))
                    found.push_back(row);
            benchmark::DoNotOptimize(found.data());
        }
    }
}
BENCHMARK(BM_CoreQuickMatchTyping)->Unit(benchmark::kMillisecond);

// The filter alone: the names folded in the fill's order, as a new list
// folds them, then every step.
void BM_CoreRowFilterTyping(benchmark::State& state) {
    const SortedRows s = CoreRows(0);
    const std::vector<std::string> steps = TypingSteps();
    for (auto _ : state) {
        CRowFilter filter;
        filter.SetRows(s.rows);
        for (const std::string& text : steps) benchmark::DoNotOptimize(filter.Match(text).data());
    }
}
BENCHMARK(BM_CoreRowFilterTyping)->Unit(benchmark::kMillisecond);

// The window with filtering as you type on: the first range(0) steps each
// narrow a freshly filled list, and the events they cause are handled. The
// first step alone is the slowest: it searches every row.
void BM_WindowFilterTyping(benchmark::State& state) {
    Window& w = GetWindow();
    w.app->m_settings.m_bFilterAsYouType = 1;
    QTreeWidget* tree = w.app->GetMainFrame()->GetTreeView();
    CRDListView* list = w.app->GetMainFrame()->GetListView();
    std::vector<std::string> steps = TypingSteps();
    steps.resize(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        list->SetFilterText("");
        tree->setCurrentItem(tree->topLevelItem(0));
        QApplication::processEvents();
        tree->setCurrentItem(w.recorder);
        QApplication::processEvents();
        state.ResumeTiming();
        for (const std::string& text : steps) {
            list->SetFilterText(text);
            QApplication::processEvents();
        }
    }
    state.counters["steps"] = static_cast<double>(steps.size());
    w.app->m_settings.m_bFilterAsYouType = 0;
}
BENCHMARK(BM_WindowFilterTyping)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    int r = lv::bench::RunWithRatios(argc, argv,
                                     {{"BM_WindowSelect/min_time:2.000", "BM_CoreSelect/min_time:2.000", 1.5},
                                      {"BM_WindowSelect/min_time:2.000", "counter:heap_MiB", 10.0},
                                      {"BM_WindowHeaderClick", "BM_CoreSortByDate", 2.0},
                                      {"BM_WindowSelectFilterOn/min_time:2.000", "BM_WindowSelect/min_time:2.000", 1.2},
                                      {"BM_WindowFilterTyping/6", "BM_CoreQuickMatchTyping", 1.0},
                                      {"BM_CoreRowFilterTyping", "BM_CoreQuickMatchTyping", 0.5}});
    g_window.reset();  // the window goes before the application object
    return r;
}
