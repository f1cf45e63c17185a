// rdsim: a recorder's web interface on this machine, for trying the program
// without a recorder and for the tests that drive the built programs.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <pthread.h>
#include <signal.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/path.h"
#include "rdsim/rdsim.h"

namespace {

// The arguments after the program's name: on Windows from the UTF-16 command
// line, as UTF-8 paths, with the output in binary mode so that a line ends
// in "\n" as everywhere.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    int n = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &n)) {
        std::vector<std::string> args;
        for (int i = 1; i < n; ++i) args.push_back(lv::platform::Narrow(wide[i]));
        ::LocalFree(wide);
        return args;
    }
#endif
    return std::vector<std::string>(argv + 1, argv + argc);
}

// What stops the server: Ctrl+C or SIGTERM; on Windows Ctrl+C, Ctrl+Break or
// the console closing. Set up before the server's threads start.
class StopRequest {
public:
    StopRequest();
#ifdef _WIN32
    ~StopRequest();
#endif
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;
    // Blocks until a stop is asked for.
    void Wait();

#ifdef _WIN32
private:
    static BOOL WINAPI OnConsoleEvent(DWORD event);
    static inline HANDLE s_asked = nullptr;
    static inline HANDLE s_done = nullptr;
#else
private:
    sigset_t m_signals;
#endif
};

#ifdef _WIN32
StopRequest::StopRequest() {
    s_asked = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s_done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A process started without Ctrl+C (a background job) still takes it.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopRequest::~StopRequest() { ::SetEvent(s_done); }

void StopRequest::Wait() { ::WaitForSingleObject(s_asked, INFINITE); }

BOOL WINAPI StopRequest::OnConsoleEvent(DWORD event) {
    ::SetEvent(s_asked);
    // The process ends when this returns from a closed console, a log-off or
    // a shutdown: the server gets a few seconds to close its connections.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) ::WaitForSingleObject(s_done, 4000);
    return TRUE;
}
#else
StopRequest::StopRequest() {
    // The server's threads inherit this mask; only the main thread takes the
    // signals. A shell starts background jobs with SIGINT ignored, and an
    // ignored signal never reaches sigwait, so the default goes back first.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    sigemptyset(&m_signals);
    sigaddset(&m_signals, SIGINT);
    sigaddset(&m_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void StopRequest::Wait() {
    int signal = 0;
    sigwait(&m_signals, &signal);
}
#endif

int Run(int argc, char** argv) {
    using namespace lv::rdsim;
    using lv::Result;
    Result<CommandLine> parsed = ParseCommandLine(Arguments(argc, argv));
    if (!parsed) {
        std::fprintf(stderr, "rdsim: %s\n%s", parsed.Error().c_str(), Usage().c_str());
        return 2;
    }
    CommandLine& cl = *parsed;
    if (cl.bHelp) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (cl.bVersion) {
        std::filesystem::path name = std::filesystem::path(argv[0]).filename();
#ifdef _WIN32
        name.replace_extension();
#endif
        std::printf("%s %s\n", name.string().c_str(), LV_VERSION_TEXT);
        return 0;
    }

    StopRequest stop;

    if (!cl.bQuiet) {
        cl.options.onRequest = [](const RequestRecord& r) {
            std::fprintf(stderr, "%s %s %s %d\n", r.strMethod.c_str(), r.strPath.c_str(), r.strVersion.c_str(),
                         r.nStatus);
        };
    }
    RdSim sim(cl.options);
    if (!cl.strDir.empty()) {
        if (Result<> loaded = sim.LoadDir(cl.strDir); !loaded) {
            std::fprintf(stderr, "rdsim: %s\n", loaded.Error().c_str());
            return 1;
        }
    } else {
        const int discs = cl.nDiscs >= 0 ? cl.nDiscs : std::min(9999, std::max(1, cl.nGenerate / 30));
        sim.Generate({.titles = cl.nGenerate, .discs = discs, .modelClass = 0, .seed = cl.nSeed});
    }
    if (!cl.strSave.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(lv::platform::FsPath(cl.strSave), ec);
        if (Result<> saved = sim.Sample()->WriteRecorderFiles(cl.strSave); !saved) {
            std::fprintf(stderr, "rdsim: %s\n", saved.Error().c_str());
            return 1;
        }
        return 0;
    }
    for (const auto& [path, fault] : cl.faults) sim.SetFault(path, fault);

    std::string error;
    if (sim.Start(&error) < 0) {
        std::fprintf(stderr, "rdsim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", sim.Url().c_str());
    std::fflush(stdout);

    stop.Wait();
    sim.Stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rdsim: %s\n", e.what());
        return 1;
    }
}
