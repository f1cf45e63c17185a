// Managing recorder profiles: the same checks and the same order as the
// profile dialog, and the document's list of names follows as the list dialog
// makes it follow.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/context.h"
#include "core/ini/ini_file.h"
#include "core/library/title_doc.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/messages.h"

namespace lv::cli {

namespace {

namespace fs = std::filesystem;

// What the profile dialog's fields hold.
struct Fields {
    std::string model, host;
    int port = 80;
    int auth = 0;
    std::string user, password;
};

void FillFromProfile(CNetNaviSetting& setting, const std::string& name, Fields& f) {
    if (!setting.SetName(name) || !setting.Load()) return;
    f.model = setting.GetModel();
    f.host = setting.GetHost();
    f.port = setting.GetPort();
    f.auth = setting.GetAuth();
    f.user = setting.GetUser();
    f.password = setting.GetPassword();
}

// Field values given on the command line; they replace what the profile holds.
struct FieldOptions {
    std::optional<std::string> model, host, user, password;
    std::optional<int> port, auth;

    void ApplyTo(Fields& f) const {
        if (model) f.model = *model;
        if (host) f.host = *host;
        if (port) f.port = *port;
        if (auth) f.auth = *auth;
        if (user) f.user = *user;
        if (password) f.password = *password;
    }
};

FieldOptions TakeFieldOptions(Context& ctx) {
    auto& args = ctx.args;
    FieldOptions o;
    if (auto v = TakeOption(args, "--model")) o.model = FromArg(ctx, *v);
    if (auto v = TakeOption(args, "--host")) o.host = FromArg(ctx, *v);
    if (auto v = TakeOption(args, "--port")) {
        auto port = ini::ParseInt(*v);
        // A sign only in front: "80-1" is not port 80.
        const std::size_t digits = (!v->empty() && ((*v)[0] == '+' || (*v)[0] == '-')) ? 1 : 0;
        if (!port || v->find_first_not_of("0123456789", digits) != std::string::npos)
            throw UsageError{"--port needs a number: " + *v};
        o.port = *port;
    }
    if (TakeFlag(args, "--auth")) o.auth = 1;
    if (TakeFlag(args, "--no-auth")) o.auth = 0;
    if (auto v = TakeOption(args, "--user")) o.user = FromArg(ctx, *v);
    if (auto v = TakeOption(args, "--password")) o.password = FromArg(ctx, *v);
    return o;
}

// The dialog's order of checks; the first refusal is the message.
int ApplyFields(const Context& ctx, CNetNaviSetting& setting, const Fields& f) {
    if (!setting.SetModel(f.model)) return Fail(ctx, msg::BadModel());
    if (!setting.SetHost(f.host)) return Fail(ctx, msg::BadHost());
    if (!setting.SetPort(f.port)) return Fail(ctx, msg::BadPort());
    if (!setting.SetAuth(f.auth)) return Fail(ctx, msg::BadAuth());
    if (!setting.SetUser(f.user)) return Fail(ctx, msg::BadUser());
    if (!setting.SetPassword(f.password)) return Fail(ctx, msg::BadPassword());
    return 0;
}

int FailWithFileError(const Context& ctx, const CNetNaviSetting& setting, std::string_view message) {
    if (!setting.GetErrorText().empty()) std::fprintf(stderr, "%s\n", setting.GetErrorText().c_str());
    return Fail(ctx, message);
}

// Saves the profile under `name`: a new name must be free, or its old files
// are deleted first when `force` allows; then the profile moves and is saved.
int SaveUnder(const Context& ctx, CNetNaviSetting& setting, const std::string& name, bool force) {
    if (name != setting.GetName() || name.empty()) {
        CNetNaviSetting scratch(ProgramFolder(ctx));
        if (!scratch.SetName(name)) return Fail(ctx, msg::BadName());
        std::error_code ec;
        std::string folder = scratch.GetCacheFolder();
        folder.pop_back();
        if (fs::exists(fs::symlink_status(scratch.GetIniPath(), ec)) || fs::exists(fs::symlink_status(folder, ec))) {
            if (!force) {
                std::fprintf(stderr, "librovista-cli: recorder %s already exists (--force overwrites it)\n",
                             ctx.out.Encode(name).c_str());
                return 1;
            }
            if (!scratch.Delete()) return FailWithFileError(ctx, scratch, msg::SaveFailed());
        }
        if (!setting.Rename(name)) return FailWithFileError(ctx, setting, msg::SaveFailed());
    }
    if (!setting.Save()) return FailWithFileError(ctx, setting, msg::SaveFailed());
    return 0;
}

int SaveDocument(CRDTitleDoc& doc) {
    if (doc.OnSaveDocument(doc.GetPathName())) return 0;
    std::fprintf(stderr, "librovista-cli: cannot write the document %s\n", doc.GetPathName().c_str());
    return 1;
}

// The entry NAME of the document, or a message.
std::vector<std::string>::iterator ListedName(CRDTitleDoc& doc, const std::string& name, const std::string& shown) {
    auto& names = doc.GetRecorderNames();
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) std::fprintf(stderr, "librovista-cli: the document has no recorder %s\n", shown.c_str());
    return it;
}

std::string TakeName(Context& ctx, const char* what) {
    if (ctx.args.empty() || ctx.args.front().rfind("--", 0) == 0) throw UsageError{std::string(what) + " needs NAME"};
    std::string name = FromArg(ctx, ctx.args.front());
    ctx.args.erase(ctx.args.begin());
    return name;
}

void NoMoreArguments(const Context& ctx) {
    if (!ctx.args.empty()) throw UsageError{"unexpected argument: " + ctx.args.front()};
}

int Add(Context& ctx) {
    Fields f;
    TakeFieldOptions(ctx).ApplyTo(f);
    const bool force = TakeFlag(ctx.args, "--force");
    const std::string name = TakeName(ctx, "recorder add");
    NoMoreArguments(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    CNetNaviSetting setting(ProgramFolder(ctx));
    if (int rc = ApplyFields(ctx, setting, f)) return rc;
    if (int rc = SaveUnder(ctx, setting, name, force)) return rc;
    auto& names = doc->GetRecorderNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    return SaveDocument(*doc);
}

int Set(Context& ctx) {
    const FieldOptions options = TakeFieldOptions(ctx);
    const std::string name = TakeName(ctx, "recorder set");
    NoMoreArguments(ctx);
    Fields f;
    CNetNaviSetting setting(ProgramFolder(ctx));
    FillFromProfile(setting, name, f);
    options.ApplyTo(f);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    if (ListedName(*doc, name, ctx.out.Encode(name)) == doc->GetRecorderNames().end()) return 1;
    if (int rc = ApplyFields(ctx, setting, f)) return rc;
    return SaveUnder(ctx, setting, name, false);
}

int Rename(Context& ctx) {
    const bool force = TakeFlag(ctx.args, "--force");
    const std::string oldName = TakeName(ctx, "recorder rename");
    const std::string newName = TakeName(ctx, "recorder rename");
    NoMoreArguments(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    auto& names = doc->GetRecorderNames();
    auto entry = ListedName(*doc, oldName, ctx.out.Encode(oldName));
    if (entry == names.end()) return 1;
    const std::size_t index = static_cast<std::size_t>(entry - names.begin());
    Fields f;
    CNetNaviSetting setting(ProgramFolder(ctx));
    FillFromProfile(setting, oldName, f);
    if (int rc = ApplyFields(ctx, setting, f)) return rc;
    if (int rc = SaveUnder(ctx, setting, newName, force)) return rc;
    if (newName == oldName) return 0;
    // The entry takes the new name in place; another entry of that name goes.
    std::size_t other = names.size();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (i != index && names[i] == newName) {
            other = i;
            break;
        }
    names[index] = newName;
    if (other != names.size()) names.erase(names.begin() + static_cast<std::ptrdiff_t>(other));
    return SaveDocument(*doc);
}

int Delete(Context& ctx) {
    const std::string name = TakeName(ctx, "recorder delete");
    NoMoreArguments(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    auto entry = ListedName(*doc, name, ctx.out.Encode(name));
    if (entry == doc->GetRecorderNames().end()) return 1;
    CNetNaviSetting setting(ProgramFolder(ctx));
    if (!setting.SetName(name)) return Fail(ctx, msg::BadName());
    if (!setting.Delete()) {
        std::fprintf(stderr, "%s\n", setting.GetErrorText().c_str());
        return 1;
    }
    doc->GetRecorderNames().erase(entry);
    return SaveDocument(*doc);
}

int Show(Context& ctx) {
    const bool password = TakeFlag(ctx.args, "--password");
    const std::string name = TakeName(ctx, "recorder show");
    NoMoreArguments(ctx);
    CNetNaviSetting setting(ProgramFolder(ctx));
    if (!setting.SetName(name)) return Fail(ctx, msg::BadName());
    setting.Load();
    const std::string cls = std::to_string(setting.GetModelClass()), port = std::to_string(setting.GetPort()),
                      auth = std::to_string(setting.GetAuth());
    ctx.out.Line({"Name", setting.GetName()});
    ctx.out.Line({"Model", setting.GetModel()});
    ctx.out.Line({"ModelClass", cls});
    ctx.out.Line({"Host", setting.GetHost()});
    ctx.out.Line({"Port", port});
    ctx.out.Line({"Auth", auth});
    ctx.out.Line({"User", setting.GetUser()});
    if (password) ctx.out.Line({"Password", setting.GetPassword()});
    return 0;
}

}  // namespace

int CmdRecorder(Context& ctx) {
    if (ctx.args.empty()) throw UsageError{"recorder needs add, set, show, rename or delete"};
    const std::string sub = ctx.args.front();
    ctx.args.erase(ctx.args.begin());
    if (sub == "add") return Add(ctx);
    if (sub == "set") return Set(ctx);
    if (sub == "show") return Show(ctx);
    if (sub == "rename") return Rename(ctx);
    if (sub == "delete") return Delete(ctx);
    throw UsageError{"unknown recorder command " + sub};
}

}  // namespace lv::cli
