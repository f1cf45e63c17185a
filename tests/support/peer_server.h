#pragma once
// Real servers we did not write, started on a free loopback port for one test:
// nginx serving a folder with Basic authentication, tinyproxy as a proxy.
#include <sys/types.h>

#include <string>
#include <vector>

namespace lv::test {

// A free TCP port on 127.0.0.1 at the moment of asking.
int FreeLoopbackPort();
// Waits until something accepts on 127.0.0.1:port; false after the timeout.
bool WaitForPort(int port, int timeoutMs);

class PeerProcess {
public:
    PeerProcess() = default;
    ~PeerProcess() { Stop(); }
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    bool Start(const std::vector<std::string>& argv, int port);
    void Stop();
    bool Running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

// nginx serving `root` at "/" on a free port; `user`/`password` turn on Basic
// authentication. Empty error when started; otherwise why it could not be.
class NginxServer {
public:
    std::string Start(const std::string& workDir, const std::string& root, const std::string& user,
                      const std::string& password);
    int Port() const { return m_port; }

private:
    PeerProcess m_process;
    int m_port = 0;
};

class TinyProxy {
public:
    std::string Start(const std::string& workDir);
    int Port() const { return m_port; }
    // Lines of its log, to see that a request went through it.
    std::string Log() const;

private:
    PeerProcess m_process;
    int m_port = 0;
    std::string m_log;
};

}  // namespace lv::test
