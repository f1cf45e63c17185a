// Managing recorder profiles from the command line: the options fill the
// profile dialog's fields, and --force answers its overwrite question.
#include <algorithm>
#include <cstdio>

#include "cli/console.h"
#include "cli/context.h"
#include "core/ini/ini_file.h"
#include "core/library/title_doc.h"
#include "core/settings/netnavi_setting.h"
#include "core/shell/recorder_profiles.h"
#include "core/text/messages.h"

namespace lv::cli {

namespace {

// The file error, then the program's message, as the dialogs show them.
int Report(const Context& ctx, const PROFILE_RESULT& r) {
    if (r.Ok()) return 0;
    if (!r.strFileError.empty()) Fail(ctx, r.strFileError);
    return r.strMessage.empty() ? 1 : Fail(ctx, r.strMessage);
}

// Field values given on the command line; they replace what the profile holds.
struct FieldOptions {
    std::optional<std::string> model, host, user, password;
    std::optional<int> port, auth;

    void ApplyTo(PROFILE_FIELDS& f) const {
        if (model) f.strModel = *model;
        if (host) f.strHost = *host;
        if (port) f.nPort = *port;
        if (auth) f.bAuth = *auth;
        if (user) f.strUser = *user;
        if (password) f.strPassword = *password;
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

// The document's names, written to its file as the entry changes.
RECORDER_LIST ListOf(CRDTitleDoc& doc, int index) {
    return {&doc.GetRecorderNames(), index, [&doc] { return doc.OnSaveDocument(doc.GetPathName()); }};
}

// Saves the profile under `name`; overwriting another recorder's files needs --force.
int Save(const Context& ctx, CNetNaviSetting& setting, const PROFILE_FIELDS& f, const std::string& name, bool force,
         RECORDER_LIST* list = nullptr) {
    const PROFILE_RESULT r = SaveProfile(
        setting, f, name, [force](const std::string&) { return force; }, list);
    if (r.nStep == PROFILE_DECLINED) {
        return Fail(ctx, "librovista-cli: recorder " + name + " already exists (--force overwrites it)");
    }
    if (r.nStep == PROFILE_DOCUMENT_FAILED && list)
        Print(stderr, "librovista-cli: cannot write the document; nothing was changed\n");
    return Report(ctx, r);
}

int SaveDocument(CRDTitleDoc& doc) {
    if (doc.OnSaveDocument(doc.GetPathName())) return 0;
    Print(stderr, "librovista-cli: cannot write the document %s\n", doc.GetPathName().c_str());
    return 1;
}

// The entry NAME of the document, or a message.
std::vector<std::string>::iterator ListedName(const Context& ctx, CRDTitleDoc& doc, const std::string& name) {
    auto& names = doc.GetRecorderNames();
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) Fail(ctx, "librovista-cli: the document has no recorder " + name);
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
    PROFILE_FIELDS f;
    TakeFieldOptions(ctx).ApplyTo(f);
    const bool force = TakeFlag(ctx.args, "--force");
    const std::string name = TakeName(ctx, "recorder add");
    NoMoreArguments(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    CNetNaviSetting setting(ProgramFolder(ctx));
    RECORDER_LIST list = ListOf(*doc, -1);
    return Save(ctx, setting, f, name, force, &list);
}

int Set(Context& ctx) {
    const FieldOptions options = TakeFieldOptions(ctx);
    const std::string name = TakeName(ctx, "recorder set");
    NoMoreArguments(ctx);
    PROFILE_FIELDS f;
    CNetNaviSetting setting(ProgramFolder(ctx));
    LoadProfileFields(setting, name, f);
    options.ApplyTo(f);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    if (ListedName(ctx, *doc, name) == doc->GetRecorderNames().end()) return 1;
    return Save(ctx, setting, f, name, false);
}

int Rename(Context& ctx) {
    const bool force = TakeFlag(ctx.args, "--force");
    const std::string oldName = TakeName(ctx, "recorder rename");
    const std::string newName = TakeName(ctx, "recorder rename");
    NoMoreArguments(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    auto& names = doc->GetRecorderNames();
    auto entry = ListedName(ctx, *doc, oldName);
    if (entry == names.end()) return 1;
    int index = static_cast<int>(entry - names.begin());
    PROFILE_FIELDS f;
    CNetNaviSetting setting(ProgramFolder(ctx));
    // A rename killed after the profile moved: its values are under the new name.
    const bool resumed = IsInterruptedRename(ProgramFolder(ctx), oldName, newName, names);
    LoadProfileFields(setting, resumed ? newName : oldName, f);
    setting.SetName(oldName);
    RECORDER_LIST list = ListOf(*doc, index);
    return Save(ctx, setting, f, newName, force, &list);
}

int Delete(Context& ctx) {
    const std::string name = TakeName(ctx, "recorder delete");
    NoMoreArguments(ctx);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    auto& names = doc->GetRecorderNames();
    auto entry = ListedName(ctx, *doc, name);
    if (entry == names.end()) return 1;
    if (int rc = Report(ctx, DeleteRecorder(ProgramFolder(ctx), names, static_cast<int>(entry - names.begin()))))
        return rc;
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
    if (ctx.out.IsJson()) {
        const std::string name = setting.GetName(), model = setting.GetModel(), host = setting.GetHost(),
                          user = setting.GetUser(), secret = setting.GetPassword();
        ctx.out.BeginList();
        ctx.out.Record({{"name", name},
                        {"model", model},
                        {"modelClass", cls, FIELD::NUMBER},
                        {"host", host},
                        {"port", port, FIELD::NUMBER},
                        {"auth", auth, FIELD::BOOL},
                        {"user", user},
                        {"password", secret, password ? FIELD::TEXT : FIELD::NONE}});
        return 0;
    }
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
