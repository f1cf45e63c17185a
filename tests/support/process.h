#pragma once
// A built program run by a test as a child process: its output read through
// pipes, stopped as a user stops it. fork and exec on POSIX, CreateProcessW
// on Windows.
#include <cstdint>
#include <string>
#include <vector>

namespace lv::test {

class ChildProcess {
public:
    // Starts `program` with `args` (no shell; UTF-8 on Windows); `env`
    // entries "NAME=value" are set on top of this process's environment.
    // Standard input reads nothing; standard output and error are pipes.
    // An `interruptible` child gets a console of its own on Windows (without
    // a window) for Interrupt to send Ctrl+C to; others get none.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env = {}, bool interruptible = false);
    // A child still running is killed.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const;
    // One line of standard output without its "\n"; at the end, what is left.
    std::string ReadLine();
    // Standard output and error until the child closes both.
    void ReadAll(std::string& out, std::string& err);

    // What Ctrl+C does: SIGINT; on Windows a Ctrl+C in the child's console.
    // False when it could not be sent (on Windows, to a child not started
    // `interruptible`).
    bool Interrupt();
    // SIGTERM; on Windows there is no such request and this kills.
    void Terminate();
    void Kill();
    // Waits for the end: the exit code, or 128 plus the signal that ended it.
    int Wait();

private:
    void CloseOutput();

#ifdef _WIN32
    void* m_process = nullptr;
    std::uint32_t m_id = 0;
    void* m_out = nullptr;
    void* m_err = nullptr;
    bool m_interruptible = false;
#else
    int m_pid = -1;
    int m_out = -1;
    int m_err = -1;
#endif
    bool m_waited = false;
    int m_exitCode = -1;
};

}  // namespace lv::test
