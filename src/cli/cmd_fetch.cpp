// fetch and describe: transfers with a recorder, with the status-bar texts
// on stderr and Ctrl+C for the stop command.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "cli/context.h"
#include "core/library/title_doc.h"
#include "core/net/http_thread.h"
#include "core/shell/app_settings.h"

namespace lv::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

class StatusPrinter : public CTransferListener {
public:
    StatusPrinter(const Context& ctx, std::string prefix) : m_out(ctx.cp932, stderr), m_prefix(std::move(prefix)) {}
    void OnTransferStatus(int status) override {
        const std::string& text = TransferStatusText(status);
        if (!text.empty()) m_out.Text(m_prefix + text, stderr);
    }

private:
    Output m_out;
    std::string m_prefix;
};

PROXY_SETTINGS ProxyOf(const std::string& appDir) {
    CAppSettings settings;
    settings.LoadSettings(GetSettingsPath(appDir));
    return ProxyFromSettings(settings);
}

// Runs the transfer to its end; Ctrl+C stops it as the stop command does.
int RunTransfer(const Context& ctx, CHttpThread& thread) {
    g_interrupted = 0;
    auto previous = std::signal(SIGINT, OnInterrupt);
    thread.Start();
    bool aborted = false;
    while (thread.GetExitCode() == TRANSFER_STILL_RUNNING) {
        if (g_interrupted && !aborted) {
            thread.Abort();
            aborted = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    thread.Wait();
    std::signal(SIGINT, previous);
    if (thread.GetExitCode() == 0) return 0;
    std::string text = thread.GetErrorText();
    if (!text.empty()) Fail(ctx, text);
    return 1;
}

int FetchOne(const Context& ctx, const std::string& appDir, const std::string& name, const std::string& prefix) {
    StatusPrinter printer(ctx, prefix);
    CDownloadLibraryThread thread(appDir, ProxyOf(appDir), &printer);
    thread.m_strRecorderName = name;
    return RunTransfer(ctx, thread);
}

}  // namespace

int CmdFetch(Context& ctx) {
    auto& args = ctx.args;
    bool all = TakeFlag(args, "--all");
    if (all == (args.size() == 1) || args.size() > 1) throw UsageError{"fetch RECORDER | fetch --all"};
    std::string appDir = ProgramFolder(ctx);
    if (!all) return FetchOne(ctx, appDir, FromArg(ctx, args[0]), "");
    auto doc = OpenDocument(ctx);
    if (!doc) return 1;
    int result = 0;
    for (const auto& name : doc->GetRecorderNames()) {
        if (name.empty()) continue;
        int r = FetchOne(ctx, appDir, name, name + ": ");
        Output(ctx.cp932, stderr).Text(name + ": " + (r == 0 ? "OK" : "FAILED"), stderr);
        if (r != 0) result = 1;
        if (g_interrupted) break;
    }
    return result;
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
    StatusPrinter printer(ctx, "");
    CDownloadTitleThread thread(appDir, ProxyOf(appDir), &printer);
    std::vector<TITLEINFO> titles(indices.size());
    for (std::size_t k = 0; k < indices.size(); ++k) {
        lib->Title(indices[k]).GetInfo(titles[k]);
        titles[k].pszRDName = name.c_str();
    }
    // The recorder is named even when it has no titles to fetch.
    thread.m_strRecorderName = name;
    thread.QueueTitles(titles);
    return RunTransfer(ctx, thread);
}

}  // namespace lv::cli
