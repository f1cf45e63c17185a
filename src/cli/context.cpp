#include "cli/context.h"

#include <cstdio>
#include <filesystem>

#include "cli/console.h"
#include "core/ini/atomic_file.h"
#include "core/library/title_doc.h"
#include "core/shell/app_settings.h"
#include "core/text/codec.h"

namespace lv::cli {

std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 >= args.size()) throw UsageError{name + " needs a value"};
        std::string value = args[i + 1];
        args.erase(args.begin() + i, args.begin() + i + 2);
        return value;
    }
    return std::nullopt;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + i);
            return true;
        }
    }
    return false;
}

const char* NotAFileNote(const std::string& path) { return IsSpecialFile(path) ? ": not a regular file" : ""; }

std::string FromArg(const Context& ctx, const std::string& arg) {
    return ctx.cp932 && !kUnicodeCommandLine ? arg : text::Utf8ToCp932(arg);
}

std::string ProgramFolder(const Context& ctx) {
    if (!ctx.home) return GetProgramFolder(nullptr);
    std::string dir = *ctx.home;
    // As the program folder is spelled everywhere: "/" ends it too.
    constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (dir.empty() || (dir.back() != '/' && dir.back() != kSeparator)) dir += kSeparator;
    return dir;
}

std::string DocumentPath(const Context& ctx) {
    if (ctx.doc) return *ctx.doc;
    std::string path = EnsureDefaultDocument(ProgramFolder(ctx));
    if (path.empty())
        Print(stderr, "librovista-cli: cannot create %sDefault.lbv%s\n", ProgramFolder(ctx).c_str(),
              NotAFileNote(ProgramFolder(ctx) + "Default.lbv"));
    return path;
}

std::unique_ptr<CRDTitleDoc> OpenDocument(const Context& ctx) {
    std::string path = DocumentPath(ctx);
    if (path.empty()) return nullptr;
    auto doc = std::make_unique<CRDTitleDoc>(ProgramFolder(ctx));
    if (!doc->OnOpenDocument(path)) {
        Print(stderr, "librovista-cli: cannot read the document %s%s\n", path.c_str(), NotAFileNote(path));
        return nullptr;
    }
    if (const std::string errors = doc->LoadErrorsText(); !errors.empty()) {
        Fail(ctx, errors);
        ctx.cacheUnreadable = true;
    }
    return doc;
}

int Fail(const Context& ctx, std::string_view cp932) {
    Output err(ctx.cp932, stderr);
    err.Text(cp932, stderr);
    return 1;
}

}  // namespace lv::cli
