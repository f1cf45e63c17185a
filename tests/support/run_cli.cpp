#include "support/run_cli.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "support/process.h"

namespace lv::test {

namespace {
// A tool that hangs is killed, so that the test fails instead of hanging too.
constexpr std::chrono::seconds kTimeLimit{120};
}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env, int interruptAfterMs) {
    CliResult r;
    ChildProcess child(LV_CLI_PATH, args, env, interruptAfterMs >= 0);
    if (!child.Started()) return r;
    std::mutex m;
    std::condition_variable cv;
    bool ended = false, killed = false;
    std::thread supervisor([&] {
        std::unique_lock lock(m);
        if (interruptAfterMs >= 0 &&
            !cv.wait_for(lock, std::chrono::milliseconds(interruptAfterMs), [&] { return ended; }))
            child.Interrupt();
        if (!cv.wait_for(lock, kTimeLimit, [&] { return ended; })) {
            killed = true;
            child.Kill();
        }
    });
    child.ReadAll(r.out, r.err);
    {
        std::lock_guard lock(m);
        ended = true;
    }
    cv.notify_one();
    supervisor.join();
    r.exitCode = child.Wait();
    if (killed) r.err += "\n[killed after " + std::to_string(kTimeLimit.count()) + " s]\n";
    return r;
}

std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t nl; (nl = s.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(s.substr(start, nl - start));
    return out;
}

}  // namespace lv::test
