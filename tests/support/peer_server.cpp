#include "support/peer_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace lv::test {

namespace {

#ifdef _WIN32
using Socket = SOCKET;
void CloseSocket(SOCKET s) { ::closesocket(s); }
Socket OpenSocket() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started ? ::socket(AF_INET, SOCK_STREAM, 0) : INVALID_SOCKET;
}
// nginx and tinyproxy are programs of Debian; Windows has neither.
const char kNoPeers[] = " is not available on Windows";
#else
using Socket = int;
void CloseSocket(int s) { ::close(s); }
Socket OpenSocket() { return ::socket(AF_INET, SOCK_STREAM, 0); }
#endif

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

#ifndef _WIN32
std::string Which(const char* name) {
    for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"}) {
        std::string p = std::string(dir) + name;
        if (access(p.c_str(), X_OK) == 0) return p;
    }
    return {};
}
#endif
}  // namespace

int FreeLoopbackPort() {
    Socket s = OpenSocket();
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    CloseSocket(s);
    return port;
}

bool WaitForPort(int port, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        Socket s = OpenSocket();
        sockaddr_in a = Loopback(port);
        bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        CloseSocket(s);
        if (ok) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

#ifdef _WIN32
bool PeerProcess::Start(const std::vector<std::string>&, int) { return false; }

void PeerProcess::Stop() {}

std::string NginxServer::Start(const std::string&, const std::string&, const std::string&, const std::string&) {
    return std::string("nginx") + kNoPeers;
}

std::string TinyProxy::Start(const std::string&) { return std::string("tinyproxy") + kNoPeers; }
#else
bool PeerProcess::Start(const std::vector<std::string>& argv, int port) {
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    m_pid = pid;
    if (WaitForPort(port, 5000)) return true;
    Stop();
    return false;
}

void PeerProcess::Stop() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(m_pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (waitpid(m_pid, &status, WNOHANG) == 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
}

std::string NginxServer::Start(const std::string& workDir, const std::string& root, const std::string& user,
                               const std::string& password) {
    std::string nginx = Which("nginx");
    if (nginx.empty()) return "nginx is not installed";
    m_port = FreeLoopbackPort();
    std::filesystem::create_directories(workDir + "/logs");
    std::ofstream(workDir + "/htpasswd") << user << ":{PLAIN}" << password << "\n";
    std::ofstream conf(workDir + "/nginx.conf");
    if (geteuid() == 0) conf << "user root;\n";
    conf << "daemon off;\nmaster_process off;\nworker_processes 1;\npid " << workDir << "/nginx.pid;\n"
         << "error_log " << workDir << "/logs/error.log;\nevents { worker_connections 64; }\n"
         << "http {\n  access_log " << workDir << "/logs/access.log;\n"
         << "  client_body_temp_path " << workDir << "/body;\n  proxy_temp_path " << workDir << "/proxy;\n"
         << "  fastcgi_temp_path " << workDir << "/fcgi;\n  uwsgi_temp_path " << workDir << "/uwsgi;\n"
         << "  scgi_temp_path " << workDir << "/scgi;\n"
         << "  types { text/csv csv; text/html htm html; }\n"
         << "  server {\n    listen 127.0.0.1:" << m_port << ";\n    root " << root << ";\n";
    if (!user.empty()) conf << "    auth_basic \"RD\";\n    auth_basic_user_file " << workDir << "/htpasswd;\n";
    conf << "  }\n}\n";
    conf.close();
    if (!m_process.Start({nginx, "-p", workDir, "-c", workDir + "/nginx.conf"}, m_port))
        return "nginx did not start (see " + workDir + "/logs/error.log)";
    return {};
}

std::string TinyProxy::Start(const std::string& workDir) {
    std::string proxy = Which("tinyproxy");
    if (proxy.empty()) return "tinyproxy is not installed";
    m_port = FreeLoopbackPort();
    m_log = workDir + "/tinyproxy.log";
    std::ofstream conf(workDir + "/tinyproxy.conf");
    conf << "Port " << m_port << "\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\nLogLevel Info\n"
         << "LogFile \"" << m_log << "\"\nPidFile \"" << workDir << "/tinyproxy.pid\"\nMaxClients 8\n";
    conf.close();
    if (!m_process.Start({proxy, "-d", "-c", workDir + "/tinyproxy.conf"}, m_port)) return "tinyproxy did not start";
    return {};
}

#endif

std::string TinyProxy::Log() const {
    std::ifstream f(m_log);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace lv::test
