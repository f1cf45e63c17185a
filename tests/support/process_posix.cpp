#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/process.h"

extern char** environ;

namespace lv::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& env, bool) {
    // Built before the fork: the child of a threaded program may only exec.
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        bool replaced = false;
        for (const auto& mine : env)
            replaced = replaced || var.compare(0, mine.find('=') + 1, mine, 0, mine.find('=') + 1) == 0;
        if (!replaced) vars.push_back(var);
    }
    vars.insert(vars.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (auto& v : vars) envp.push_back(v.data());
    envp.push_back(nullptr);

    // Close-on-exec, so that a child started by another thread does not keep them open.
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(devnull, 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(devnull);
    ::close(out[1]);
    ::close(err[1]);
    m_out = out[0];
    m_err = err[0];
    if (m_pid < 0) CloseOutput();
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0 && !m_waited) {
        Kill();
        Wait();
    }
    CloseOutput();
}

void ChildProcess::CloseOutput() {
    for (int* fd : {&m_out, &m_err}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

bool ChildProcess::Started() const { return m_pid > 0; }

std::string ChildProcess::ReadLine() {
    std::string line;
    char c;
    while (m_out >= 0 && ::read(m_out, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

void ChildProcess::ReadAll(std::string& out, std::string& err) {
    pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    int open = (m_out >= 0) + (m_err >= 0);
    char buf[65536];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? out : err).append(buf, static_cast<std::size_t>(n));
            }
        }
    }
    CloseOutput();
}

bool ChildProcess::Interrupt() { return m_pid > 0 && !m_waited && ::kill(m_pid, SIGINT) == 0; }

void ChildProcess::Terminate() {
    if (m_pid > 0 && !m_waited) ::kill(m_pid, SIGTERM);
}

void ChildProcess::Kill() {
    if (m_pid > 0 && !m_waited) ::kill(m_pid, SIGKILL);
}

int ChildProcess::Wait() {
    if (m_pid <= 0 || m_waited) return m_exitCode;
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_waited = true;
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_exitCode;
}

}  // namespace lv::test
