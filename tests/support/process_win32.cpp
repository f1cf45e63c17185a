#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <thread>

#include "core/platform/path.h"
#include "support/process.h"

namespace lv::test {

namespace {

using lv::platform::Widen;

// Handles are inherited by whichever child is created next: children are
// created one at a time, and the pipes' other ends closed before the next.
std::mutex g_creating;

// A Ctrl+C reaches the processes of one console, the sender's own. The test's
// console stays as it is: a copy of the test program, started without one,
// attaches to the child's console and sends it from there.
const wchar_t kSendCtrlC[] = L"LV_TEST_SEND_CTRL_C";

int SendCtrlC(DWORD target) {
    // The child's console exists once it has started.
    bool attached = false;
    for (int i = 0; i < 500 && !(attached = ::AttachConsole(target)); ++i) ::Sleep(10);
    if (!attached) return 1;
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    return ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) ? 0 : 1;
}

// Runs before main in the copy, which does nothing else.
const bool g_isSender = [] {
    if (const wchar_t* target = ::_wgetenv(kSendCtrlC)) ::ExitProcess(SendCtrlC(std::wcstoul(target, nullptr, 10)));
    return false;
}();

// Quoted as the C runtime splits a command line.
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring q = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        q += c;
    }
    q.append(2 * backslashes, L'\\');
    return q + L"\"";
}

bool SameName(const std::wstring& var, const std::wstring& name) {
    return var.size() > name.size() && var[name.size()] == L'=' &&
           ::_wcsnicmp(var.c_str(), name.c_str(), name.size()) == 0;
}

// This process's environment with `env` set on top, as CreateProcessW takes it.
std::wstring EnvironmentBlock(const std::vector<std::wstring>& env) {
    std::vector<std::wstring> vars;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += std::wcslen(p) + 1) vars.emplace_back(p);
        ::FreeEnvironmentStringsW(block);
    }
    for (const std::wstring& e : env) {
        const std::wstring name = e.substr(0, e.find(L'='));
        std::erase_if(vars, [&](const std::wstring& v) { return SameName(v, name); });
        vars.push_back(e);
    }
    std::wstring out;
    for (const std::wstring& v : vars) out.append(v).push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

struct Spawned {
    HANDLE process = nullptr;
    DWORD id = 0;
};

Spawned Create(const std::wstring& program, std::wstring commandLine, const std::wstring& env, DWORD flags, HANDLE in,
               HANDLE out, HANDLE err) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          flags | CREATE_UNICODE_ENVIRONMENT, const_cast<wchar_t*>(env.c_str()), nullptr, &si, &pi))
        return {};
    ::CloseHandle(pi.hThread);
    return {pi.hProcess, pi.dwProcessId};
}

bool ReadSome(void* pipe, std::string& to) {
    char buf[65536];
    DWORD n = 0;
    if (!pipe || !::ReadFile(pipe, buf, sizeof buf, &n, nullptr) || n == 0) return false;
    to.append(buf, n);
    return true;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& env, bool interruptible)
    : m_interruptible(interruptible) {
    std::wstring commandLine = Quote(Widen(program));
    for (const std::string& a : args) commandLine += L" " + Quote(Widen(a));
    std::vector<std::wstring> wideEnv;
    for (const std::string& e : env) wideEnv.push_back(Widen(e));
    const std::wstring block = EnvironmentBlock(wideEnv);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    std::lock_guard lock(g_creating);
    if (!::CreatePipe(&outRead, &outWrite, &inherit, 0)) return;
    if (!::CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        ::CloseHandle(outRead);
        ::CloseHandle(outWrite);
        return;
    }
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul =
        ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    // A console is a process of its own (conhost): one killed with its child
    // while starting would outlive the test, holding its output open. Only a
    // child that takes Ctrl+C gets one.
    const Spawned s = Create(Widen(program), commandLine, block, interruptible ? CREATE_NO_WINDOW : DETACHED_PROCESS,
                             nul, outWrite, errWrite);
    ::CloseHandle(nul);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    m_out = outRead;
    m_err = errRead;
    m_process = s.process;
    m_id = s.id;
    if (!m_process) CloseOutput();
}

ChildProcess::~ChildProcess() {
    if (m_process && !m_waited) {
        Kill();
        Wait();
    }
    CloseOutput();
    if (m_process) ::CloseHandle(m_process);
}

void ChildProcess::CloseOutput() {
    for (void** h : {&m_out, &m_err}) {
        if (*h) ::CloseHandle(*h);
        *h = nullptr;
    }
}

bool ChildProcess::Started() const { return m_process != nullptr; }

std::string ChildProcess::ReadLine() {
    std::string line;
    char c;
    DWORD n = 0;
    while (m_out && ::ReadFile(m_out, &c, 1, &n, nullptr) && n == 1 && c != '\n') line += c;
    return line;
}

void ChildProcess::ReadAll(std::string& out, std::string& err) {
    // Two pipes without poll: one thread each, so that neither fills up.
    std::thread errReader([&] {
        while (ReadSome(m_err, err)) {
        }
    });
    while (ReadSome(m_out, out)) {
    }
    errReader.join();
    CloseOutput();
}

bool ChildProcess::Interrupt() {
    if (!m_process || m_waited || !m_interruptible) return false;
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return false;
    const std::wstring block = EnvironmentBlock({std::wstring(kSendCtrlC) + L"=" + std::to_wstring(m_id)});
    HANDLE sender;
    {
        std::lock_guard lock(g_creating);
        sender = Create(self, Quote(self), block, DETACHED_PROCESS, nullptr, nullptr, nullptr).process;
    }
    if (!sender) return false;
    DWORD code = 1;
    if (::WaitForSingleObject(sender, 30000) != WAIT_OBJECT_0 || !::GetExitCodeProcess(sender, &code)) code = 1;
    ::CloseHandle(sender);
    return code == 0;
}

void ChildProcess::Terminate() { Kill(); }

void ChildProcess::Kill() {
    if (m_process && !m_waited) ::TerminateProcess(m_process, 137);
}

int ChildProcess::Wait() {
    if (!m_process || m_waited) return m_exitCode;
    ::WaitForSingleObject(m_process, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    m_waited = true;
    m_exitCode = static_cast<int>(code);
    return m_exitCode;
}

}  // namespace lv::test
