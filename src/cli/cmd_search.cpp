// Searching the document's library, and the genre table the searches use.
#include <cstdio>

#include "cli/context.h"
#include "core/library/title_doc.h"
#include "core/search/condition_fields.h"
#include "core/search/genres.h"
#include "core/search/search_condition.h"
#include "core/text/codec.h"

namespace lv::cli {

namespace {

std::string TakeDate(std::vector<std::string>& args, const char* option) {
    auto v = TakeOption(args, option);
    if (!v) return {};
    if (!IsConditionDate(*v)) throw UsageError{std::string(option) + " needs YYYY/MM/DD: " + *v};
    return *v;
}

struct PrintRows : CConditionSink {
    Output& out;
    std::size_t rows = 0;
    explicit PrintRows(Output& o) : out(o) {}
    void OnDisc(const CRDRecorderLibrary&, const CRDDiscInfo& disc) override {
        out.Disc(disc);
        ++rows;
    }
    void OnTitle(const CRDRecorderLibrary& rec, const CRDTitleInfo& title) override {
        out.Title(rec.GetName(), title);
        ++rows;
    }
};

}  // namespace

CSearchCondition TakeSearchCondition(Context& ctx) {
    auto& args = ctx.args;
    CONDITION_FIELDS f;
    if (auto v = TakeOption(args, "--recorder")) f.strRecorder = FromArg(ctx, *v);
    if (auto v = TakeOption(args, "--disc")) f.strDisc = FromArg(ctx, *v);
    if (auto v = TakeOption(args, "--text")) f.strText = FromArg(ctx, *v);
    f.strDateFrom = TakeDate(args, "--from");
    f.strDateTo = TakeDate(args, "--to");
    if (auto v = TakeOption(args, "--genre")) {
        const std::optional<int> genre = ParseGenre(FromArg(ctx, *v));
        if (!genre) throw UsageError{"unknown genre: " + *v};
        f.nGenre = *genre;
    }
    f.bDvdTitles = TakeFlag(args, "--dvd-titles");
    if (!args.empty()) throw UsageError{"unexpected argument: " + args.front()};
    return MakeCondition(f);
}

int CmdSearch(Context& ctx) {
    const CSearchCondition cond = TakeSearchCondition(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    ctx.out.BeginList();
    PrintRows sink(ctx.out);
    RunCondition(cond, *doc, sink);
    return 0;
}

int CmdGenres(Context& ctx) {
    if (!ctx.args.empty()) throw UsageError{"unexpected argument: " + ctx.args.front()};
    ctx.out.BeginList();
    for (const GENRE_ENTRY& g : g_aGenres) {
        char code[16];
        // Hexadecimal in the line; JSON has no hexadecimal numbers.
        std::snprintf(code, sizeof code, ctx.out.IsJson() ? "%d" : "0x%X", g.nCode);
        const std::string image = std::to_string(GetGenreImage(g.nCode));
        ctx.out.Record({{"code", code, FIELD::NUMBER},
                        {"image", image, FIELD::NUMBER},
                        {"subGenre", IsMainGenre(g.nCode) ? "0" : "1", FIELD::BOOL},
                        {"name", g.pszName}});
    }
    return 0;
}

}  // namespace lv::cli
