// Reading the document's library: recorders, their titles, discs, labels and
// title descriptions.
#include <algorithm>
#include <cstdio>

#include "cli/console.h"
#include "cli/context.h"
#include "core/ini/ini_file.h"
#include "core/library/description_path.h"
#include "core/library/new_titles.h"
#include "core/library/title_doc.h"

namespace lv::cli {

namespace {

// The optional RECORDER argument; false (after a message) for a name the
// document does not list.
bool TakeRecorderFilter(Context& ctx, const CRDTitleDoc& doc, std::optional<std::string>& filter) {
    if (ctx.args.size() > 1) throw UsageError{"unexpected argument: " + ctx.args[1]};
    if (ctx.args.empty()) return true;
    filter = FromArg(ctx, ctx.args.front());
    const auto& names = doc.GetRecorderNames();
    if (std::find(names.begin(), names.end(), *filter) != names.end()) return true;
    Print(stderr, "librovista-cli: the document has no recorder %s\n", ctx.args.front().c_str());
    return false;
}

template <class Print>
int ForEachRecorder(Context& ctx, Print print) {
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    std::optional<std::string> filter;
    if (!TakeRecorderFilter(ctx, *doc, filter)) return 1;
    ctx.out.BeginList();
    for (const auto& lib : doc->GetRecorders())
        if (!filter || lib->GetName() == *filter) print(*lib);
    return 0;
}

}  // namespace

int CmdRecorders(Context& ctx) {
    if (!ctx.args.empty()) throw UsageError{"unexpected argument: " + ctx.args.front()};
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    // Libraries exist for a subset of the names, in the same order.
    const auto& libs = doc->GetRecorders();
    std::size_t next = 0;
    ctx.out.BeginList();
    for (const auto& name : doc->GetRecorderNames()) {
        if (next < libs.size() && libs[next]->GetName() == name) {
            const CRDRecorderLibrary& lib = *libs[next++];
            const std::string model = lib.GetModel(), cls = std::to_string(lib.GetModelClass()),
                              discs = std::to_string(lib.GetDiscCount()), titles = std::to_string(lib.GetTitleCount());
            ctx.out.Record({{"name", name},
                            {"model", model},
                            {"modelClass", cls, FIELD::NUMBER},
                            {"discs", discs, FIELD::NUMBER},
                            {"titles", titles, FIELD::NUMBER}});
        } else if (ctx.out.IsJson()) {
            // The same keys, null where there is no library.
            ctx.out.Record({{"name", name},
                            {"model", "", FIELD::NONE},
                            {"modelClass", "", FIELD::NONE},
                            {"discs", "", FIELD::NONE},
                            {"titles", "", FIELD::NONE}});
        } else {
            ctx.out.Line({name, "-"});
        }
    }
    return 0;
}

int CmdTitles(Context& ctx) {
    return ForEachRecorder(ctx, [&](const CRDRecorderLibrary& lib) {
        for (const auto& t : lib.Titles()) ctx.out.Title(lib.GetName(), t);
    });
}

int CmdNew(Context& ctx) {
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    std::optional<std::string> filter;
    if (!TakeRecorderFilter(ctx, *doc, filter)) return 1;
    ctx.out.BeginList();
    CLibraryNews news;
    news.Load(doc->AppDir(), doc->ShareRecorders());
    for (const auto& lib : doc->GetRecorders()) {
        if (filter && lib->GetName() != *filter) continue;
        for (const auto& t : lib->Titles())
            if (news.IsNew(t)) ctx.out.Title(lib->GetName(), t);
    }
    return 0;
}

int CmdDiscs(Context& ctx) {
    return ForEachRecorder(ctx, [&](const CRDRecorderLibrary& lib) {
        for (const auto& d : lib.Discs()) ctx.out.Disc(d);
    });
}

int CmdLabels(Context& ctx) {
    return ForEachRecorder(ctx, [&](const CRDRecorderLibrary& lib) { ctx.out.Labels(lib); });
}

int CmdDescription(Context& ctx) {
    if (ctx.args.size() != 2) throw UsageError{"description needs RECORDER and INDEX"};
    auto index = ini::ParseInt(ctx.args[1]);
    if (!index || ctx.args[1].find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"INDEX must be a number: " + ctx.args[1]};
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    const std::string name = FromArg(ctx, ctx.args[0]);
    const CRDRecorderLibrary* lib = doc->FindRecorder(name);
    if (!lib) {
        Print(stderr, "librovista-cli: the document has no library for %s\n", ctx.args[0].c_str());
        return 1;
    }
    if (*index >= lib->GetTitleCount()) {
        Print(stderr, "librovista-cli: %s has %d titles\n", ctx.args[0].c_str(), lib->GetTitleCount());
        return 1;
    }
    // A library exists only for a loadable profile, so the name is a profile's.
    doc->LoadDescription(DescriptionPath(doc->AppDir(), name, lib->Title(*index).Field(TF_TEXTFILE)).value_or(""));
    ctx.out.Text(doc->GetDescription(), stdout);
    return 0;
}

}  // namespace lv::cli
