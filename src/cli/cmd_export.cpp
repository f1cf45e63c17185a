// A search's result written as the window's list would show it: CSV, HTML or JSON.
#include <cstdio>

#include "cli/console.h"
#include "cli/context.h"
#include "core/library/title_doc.h"
#include "core/shell/app_settings.h"
#include "core/views/list_export.h"

namespace lv::cli {

namespace {

struct CollectRows : CConditionSink {
    CSortedRows& rows;
    explicit CollectRows(CSortedRows& r) : rows(r) {}
    void OnDisc(const CRDRecorderLibrary&, const CRDDiscInfo& disc) override { rows.Add(CListRowRef::OfDisc(disc)); }
    void OnTitle(const CRDRecorderLibrary& rec, const CRDTitleInfo& title) override {
        rows.Add(CListRowRef::OfTitle(rec.GetName(), title));
    }
};

}  // namespace

int CmdExport(Context& ctx) {
    auto& args = ctx.args;
    const auto file = TakeOption(args, "-o");
    if (args.empty()) throw UsageError{"export needs csv, html or json"};
    const std::string kind = args.front();
    args.erase(args.begin());
    EXPORT_FORMAT format = EXPORT_JSON;
    if (kind == "csv")
        format = ctx.cp932 ? EXPORT_CSV_CP932 : EXPORT_CSV_UTF8;
    else if (kind == "html")
        format = EXPORT_HTML;
    else if (kind != "json")
        throw UsageError{"export needs csv, html or json: " + kind};
    const CSearchCondition cond = TakeSearchCondition(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;

    // The layout the window left: its shown columns, sort and recording mode.
    CAppSettings settings;
    settings.LoadSettings(GetSettingsPath(ProgramFolder(ctx)));
    COLUMN_DESCS descs{};
    for (int i = 0; i < COLUMN_COUNT; ++i) {
        COLUMN_SETTING s{};
        settings.GetColumnSetting(i, s);
        descs[static_cast<std::size_t>(i)] = DescFromSetting(s);
    }
    LIST_EXPORT list;
    list.nViewMode = cond.NeedsDiscView() ? VIEW_DISCS : VIEW_TITLES;
    list.columns = ShownColumns(descs, list.nViewMode);
    list.nSortKey = GetSortKey(descs, list.nViewMode);
    list.nRecMode = settings.m_nRecMode;
    list.pDoc = doc.get();
    CSortedRows rows;
    CollectRows sink(rows);
    RunCondition(cond, *doc, sink);
    rows.Sort(list.nSortKey);
    list.pSorted = &rows;
    // The catalogue groups rows by disc and needs them all at hand.
    if (format == EXPORT_HTML) {
        list.rows.reserve(rows.size());
        rows.ForEach([&](const CListRowRef& row) {
            list.rows.push_back(row);
            return true;
        });
        list.pSorted = nullptr;
    }

    if (!file) {
        // A failed write throws, and main tells it.
        WriteExport(list, format, [&](std::string_view piece) {
            Write(stdout, piece, format == EXPORT_CSV_CP932);
            return true;
        });
        return 0;
    }
    std::string error;
    return ExportListToFile(list, format, *file, error) ? 0 : Fail(ctx, error);
}

}  // namespace lv::cli
