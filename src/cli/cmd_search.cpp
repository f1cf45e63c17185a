// Searching the document's library, and the genre table the searches use.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "cli/context.h"
#include "core/library/title_doc.h"
#include "core/search/genres.h"
#include "core/search/search_condition.h"
#include "core/text/codec.h"

namespace lv::cli {

namespace {

// "YYYY/MM/DD" as the recorder writes dates, so that text order is date order.
bool IsDate(const std::string& s) {
    if (s.size() != 10 || s[4] != '/' || s[7] != '/') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// A code in decimal or 0x-hexadecimal, or a name of the genre table.
int ParseGenre(const Context& ctx, const std::string& arg) {
    if (!arg.empty()) {
        const bool hex = arg.size() > 2 && arg[0] == '0' && (arg[1] == 'x' || arg[1] == 'X');
        const char* digits = arg.c_str() + (hex ? 2 : 0);
        char* end = nullptr;
        long value = std::strtol(digits, &end, hex ? 16 : 10);
        const bool number = std::isxdigit(static_cast<unsigned char>(*digits)) != 0;  // no sign, no space
        if (number && end != digits && *end == '\0' && value >= 0 && value <= 0x7FFFFFFF)
            return static_cast<int>(value);
        if (const GENRE_ENTRY* g = FindGenre(FromArg(ctx, arg))) return g->nCode;
    }
    throw UsageError{"unknown genre: " + arg};
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
        out.Title(rec.Name(), title);
        ++rows;
    }
};

}  // namespace

int CmdSearch(Context& ctx) {
    auto& args = ctx.args;
    CSearchCondition cond;
    if (auto v = TakeOption(args, "--recorder")) {
        cond.m_nFlags |= SC_RECORDER;
        cond.m_strRecorder = FromArg(ctx, *v);
    }
    if (auto v = TakeOption(args, "--disc")) {
        cond.m_nFlags |= SC_DISC;
        cond.m_strDisc = FromArg(ctx, *v);
    }
    if (auto v = TakeOption(args, "--text")) {
        cond.m_nFlags |= SC_TEXT;
        cond.m_strText = FromArg(ctx, *v);
    }
    if (auto v = TakeOption(args, "--from")) {
        if (!IsDate(*v)) throw UsageError{"--from needs YYYY/MM/DD: " + *v};
        cond.m_nFlags |= SC_DATE_FROM;
        cond.m_strDateFrom = *v;
    }
    if (auto v = TakeOption(args, "--to")) {
        if (!IsDate(*v)) throw UsageError{"--to needs YYYY/MM/DD: " + *v};
        cond.m_nFlags |= SC_DATE_TO;
        cond.m_strDateTo = *v;
    }
    if (auto v = TakeOption(args, "--genre")) {
        cond.m_nFlags |= SC_GENRE;
        cond.m_nGenre = ParseGenre(ctx, *v);
    }
    if (TakeFlag(args, "--dvd-titles")) cond.m_nFlags |= SC_DVD_TITLES;
    if (!args.empty()) throw UsageError{"unexpected argument: " + args.front()};

    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    PrintRows sink(ctx.out);
    RunCondition(cond, *doc, sink);
    return 0;
}

int CmdGenres(Context& ctx) {
    if (!ctx.args.empty()) throw UsageError{"unexpected argument: " + ctx.args.front()};
    for (const GENRE_ENTRY& g : g_aGenres) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%X", g.nCode);
        const std::string image = std::to_string(GetGenreImage(g.nCode));
        ctx.out.Line({code, image, IsMainGenre(g.nCode) ? "0" : "1", g.pszName});
    }
    return 0;
}

}  // namespace lv::cli
