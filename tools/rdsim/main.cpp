// rdsim: a recorder's web interface on this machine, for trying the program
// without a recorder and for the tests that drive the built programs.
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "rdsim/rdsim.h"

int main(int argc, char** argv) {
    using namespace lv::rdsim;
    CommandLine cl;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), cl, error)) {
        std::fprintf(stderr, "rdsim: %s\n%s", error.c_str(), Usage().c_str());
        return 2;
    }
    if (cl.bHelp) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (cl.bVersion) {
        std::printf("%s %s\n", std::filesystem::path(argv[0]).filename().c_str(), LV_VERSION_TEXT);
        return 0;
    }

    // The server's threads inherit this mask; only the main thread takes the
    // signals. A shell starts background jobs with SIGINT ignored, and an
    // ignored signal never reaches sigwait, so the default goes back first.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (!cl.bQuiet) {
        cl.options.onRequest = [](const RequestRecord& r) {
            std::fprintf(stderr, "%s %s %s %d\n", r.strMethod.c_str(), r.strPath.c_str(), r.strVersion.c_str(),
                         r.nStatus);
        };
    }
    RdSim sim(cl.options);
    if (!cl.strDir.empty()) {
        if (!sim.LoadDir(cl.strDir, &error)) {
            std::fprintf(stderr, "rdsim: %s\n", error.c_str());
            return 1;
        }
    } else {
        const int discs = cl.nDiscs >= 0 ? cl.nDiscs : std::min(9999, std::max(1, cl.nGenerate / 30));
        sim.Generate({.titles = cl.nGenerate, .discs = discs, .modelClass = 0, .seed = cl.nSeed});
    }
    if (!cl.strSave.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(cl.strSave, ec);
        if (!sim.Sample()->WriteRecorderFiles(cl.strSave, &error)) {
            std::fprintf(stderr, "rdsim: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    for (const auto& [path, fault] : cl.faults) sim.SetFault(path, fault);

    if (sim.Start(&error) < 0) {
        std::fprintf(stderr, "rdsim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", sim.Url().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    sim.Stop();
    return 0;
}
