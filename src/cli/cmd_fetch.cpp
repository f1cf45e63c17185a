// fetch and describe: transfers with a recorder, with the status-bar texts
// on stderr and Ctrl+C for the stop command.
#include <chrono>
#include <thread>

#include "cli/console.h"
#include "cli/context.h"
#include "core/library/new_titles.h"
#include "core/library/title_doc.h"
#include "core/net/fetch_all.h"
#include "core/net/http_thread.h"
#include "core/shell/app_settings.h"
#include "core/text/cp932.h"

namespace lv::cli {

namespace {

class StatusPrinter : public CTransferListener {
public:
    explicit StatusPrinter(const Context& ctx, const CFetchAllLibraries* all = nullptr)
        : m_out(ctx.cp932, stderr), m_pAll(all) {}
    void OnTransferStatus(int status) override {
        const std::string& text = TransferStatusText(status);
        if (!text.empty()) m_out.Text(m_pAll ? m_pAll->StatusText(text) : text, stderr);
    }

private:
    Output m_out;
    const CFetchAllLibraries* m_pAll;  // "n/N name" before each text
};

PROXY_SETTINGS ProxyOf(const std::string& appDir) {
    CAppSettings settings;
    settings.LoadSettings(GetSettingsPath(appDir));
    return ProxyFromSettings(settings);
}

// Runs the transfer to its end; false when it failed. The error text is
// printed unless `quiet`; with -v the detail follows, named when `quiet`.
bool RunTransfer(const Context& ctx, CHttpThread& thread, bool quiet = false) {
    thread.Start();
    bool aborted = false;
    while (thread.GetExitCode() == TRANSFER_STILL_RUNNING) {
        if (Interrupted() && !aborted) {
            thread.Abort();
            aborted = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    thread.Wait();
    if (thread.GetExitCode() == 0) return true;
    std::string text = thread.GetErrorText();
    if (!text.empty() && !quiet) Fail(ctx, text);
    // -v: what the client or the server said, where it adds to the message.
    std::string detail = thread.GetErrorDetail();
    lv::text::TrimRight(detail, "\r\n");
    lv::text::TrimRight(text, "\r\n");
    if (ctx.verbose && !detail.empty() && detail != text)
        Output(ctx.cp932, stderr).Text(quiet ? thread.m_strRecorderName + ": " + detail : detail, stderr);
    return false;
}

// The window's texts: the news after a download, the failures at the end.
int FetchAll(const Context& ctx, const std::string& appDir) {
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    CFetchAllLibraries all(*doc);
    StatusPrinter printer(ctx, &all);
    const PROXY_SETTINGS proxy = ProxyOf(appDir);
    InterruptGuard guard;
    while (auto thread = all.Next(appDir, proxy, &printer)) {
        RunTransfer(ctx, *thread, true);
        all.Finished(*thread);
        if (Interrupted()) all.Stop();
    }
    Output err(ctx.cp932, stderr);
    if (all.AnySucceeded()) err.Text(all.NewsText(), stderr);
    if (all.Failures().empty()) return 0;
    err.Text(all.SummaryText(), stderr);
    return 1;
}

}  // namespace

int CmdFetch(Context& ctx) {
    auto& args = ctx.args;
    bool all = TakeFlag(args, "--all");
    if (all == (args.size() == 1) || args.size() > 1) throw UsageError{"fetch RECORDER | fetch --all"};
    std::string appDir = ProgramFolder(ctx);
    if (all) return FetchAll(ctx, appDir);
    StatusPrinter printer(ctx);
    CDownloadLibraryThread thread(appDir, ProxyOf(appDir), &printer);
    thread.m_strRecorderName = FromArg(ctx, args[0]);
    InterruptGuard guard;
    if (!RunTransfer(ctx, thread)) return 1;
    Output(ctx.cp932, stderr).Text(thread.GetNewsText(), stderr);
    return 0;
}

int CmdDescribe(Context& ctx) {
    auto& args = ctx.args;
    bool all = TakeFlag(args, "--all");
    if (args.empty() || (all && args.size() != 1) || (!all && args.size() < 2))
        throw UsageError{"describe RECORDER (INDEX ... | --all)"};
    std::string name = FromArg(ctx, args[0]);
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    const CRDRecorderLibrary* lib = doc->FindRecorder(name);
    if (!lib) return Fail(ctx, name + ": no such recorder in the document");
    std::vector<int> indices;
    if (all) {
        for (int i = 0; i < lib->GetTitleCount(); ++i) indices.push_back(i);
    } else {
        for (std::size_t k = 1; k < args.size(); ++k) {
            char* end = nullptr;
            long i = std::strtol(args[k].c_str(), &end, 10);
            if (*end || end == args[k].c_str()) throw UsageError{"not an index: " + args[k]};
            if (i < 0 || i >= lib->GetTitleCount()) return Fail(ctx, "index out of range: " + args[k]);
            indices.push_back(static_cast<int>(i));
        }
    }
    std::string appDir = ProgramFolder(ctx);
    StatusPrinter printer(ctx);
    CDownloadTitleThread thread(appDir, ProxyOf(appDir), &printer);
    std::vector<TITLEINFO> titles(indices.size());
    for (std::size_t k = 0; k < indices.size(); ++k) {
        lib->Title(indices[k]).GetInfo(titles[k]);
        titles[k].pszRDName = name.c_str();
    }
    // The recorder is named even when it has no titles to fetch.
    thread.m_strRecorderName = name;
    thread.QueueTitles(titles);
    InterruptGuard guard;
    return RunTransfer(ctx, thread) ? 0 : 1;
}

}  // namespace lv::cli
