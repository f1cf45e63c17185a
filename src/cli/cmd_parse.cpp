#include "cli/console.h"
#include "cli/context.h"
#include "core/library/recorder_library.h"

namespace lv::cli {

// Loads one recorder from the given cache files, discs first, as the document does.
int CmdParse(Context& ctx) {
    auto& args = ctx.args;
    std::string model = FromArg(ctx, TakeOption(args, "--model").value_or(""));
    std::string name = FromArg(ctx, TakeOption(args, "--name").value_or("RD"));
    auto disc = TakeOption(args, "--disc");
    auto library = TakeOption(args, "--library");
    if (!args.empty()) throw UsageError{"unexpected argument: " + args.front()};

    CRDRecorderLibrary lib(name);
    lib.SetModel(model);
    // An unreadable file gives what the document would show: nothing of it.
    auto note = [](const std::string& path) {
        if (*NotAFileNote(path)) Print(stderr, "librovista-cli: cannot read %s: not a regular file\n", path.c_str());
    };
    if (disc && !lib.LoadDiscList(*disc)) note(*disc);
    if (library && !lib.LoadTitleList(*library)) note(*library);
    ctx.out.BeginList();
    ctx.out.Labels(lib);
    for (const auto& d : lib.Discs()) ctx.out.Disc(d);
    for (const auto& t : lib.Titles()) ctx.out.Title(lib.GetName(), t);
    return 0;
}

}  // namespace lv::cli
