// The keyword history and the cache clean-ups of the program folder.
#include "cli/console.h"
#include "cli/context.h"
#include "core/library/title_doc.h"
#include "core/shell/cache_cleanup.h"
#include "core/shell/keyword_history.h"

namespace lv::cli {

int CmdHistory(Context& ctx) {
    auto& args = ctx.args;
    const std::string path = GetHistoryPath(ProgramFolder(ctx));
    std::vector<std::string> list;
    if (args.empty()) {
        if (!LoadHistory(list, path)) {
            Print(stderr, "librovista-cli: cannot read %s\n", path.c_str());
            return 1;
        }
        ctx.out.BeginList();
        for (const std::string& keyword : list) ctx.out.Record({{"keyword", keyword}});
        return 0;
    }
    if (args[0] != "add" || args.size() != 2) throw UsageError{"history takes nothing, or add TEXT"};
    const std::string text = FromArg(ctx, args[1]);
    if (text.empty()) throw UsageError{"history add needs a keyword"};
    // The history holds one keyword a line; a line break would make two of them.
    if (text.find_first_of("\r\n") != std::string::npos) throw UsageError{"a keyword is one line"};
    LoadHistory(list, path);
    AddKeyword(list, text);
    if (!SaveHistory(list, path)) {
        Print(stderr, "librovista-cli: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

int CmdClean(Context& ctx) {
    auto& args = ctx.args;
    if (args.size() != 2) throw UsageError{"clean needs library, unused or all, and RECORDER"};
    const std::string what = args[0];
    const std::string recorder = FromArg(ctx, args[1]);
    const std::string appDir = ProgramFolder(ctx);
    CLEANUPRESULT result;
    if (what == "library") {
        result = DeleteLibraryCache(appDir, recorder);
    } else if (what == "all") {
        result = DeleteAllDescriptions(appDir, recorder);
    } else if (what == "unused") {
        auto doc = OpenDocument(ctx);
        if (!doc) return 1;
        // Its titles unknown, every description would look unused.
        const CRDRecorderLibrary* lib = doc->FindRecorder(recorder);
        if (lib && !lib->LoadError().empty()) return 1;
        result = DeleteUnusedDescriptions(*doc, appDir, recorder);
    } else {
        throw UsageError{"clean needs library, unused or all: " + what};
    }
    if (result.bFailed) return Fail(ctx, result.strError);
    ctx.out.Text(CleanupResultText(result.nCount), stdout);
    return 0;
}

}  // namespace lv::cli
