// The command-line tool on Windows: the command line is UTF-16, a console
// window takes UTF-16 text, and Ctrl+C arrives through the console.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>

#include "cli/console.h"
#include "core/platform/path.h"
#include "core/text/codec.h"

namespace lv::cli {

namespace {

std::atomic<bool> g_interrupted{false};

// The console behind stdout and stderr, asked once: null for a file or a pipe.
HANDLE g_console[2] = {nullptr, nullptr};

HANDLE ConsoleOf(std::FILE* f) {
    HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(f)));
    DWORD mode = 0;
    return h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) ? h : nullptr;
}

HANDLE ConsoleBehind(std::FILE* to) { return to == stdout ? g_console[0] : to == stderr ? g_console[1] : nullptr; }

void ShowOnConsole(HANDLE console, std::FILE* to, std::string_view utf8) {
    // Whatever the C runtime still holds goes first, in order.
    std::fflush(to);
    const std::wstring text = platform::Widen(utf8);
    for (std::size_t i = 0; i < text.size();) {
        const DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size() - i, 8192));
        DWORD written = 0;
        if (!::WriteConsoleW(console, text.data() + i, n, &written, nullptr) || written == 0) return;
        i += written;
    }
}

bool IsUtf8(std::string_view s) {
    return s.empty() ||
           ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0) > 0;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    g_interrupted = true;
    return TRUE;
}

}  // namespace

std::vector<std::string> StartConsole(int argc, char** argv) {
    // "\n" stays one byte: the output is the same as on Linux, and a CR LF
    // that a text writes itself is not doubled.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    g_console[0] = ConsoleOf(stdout);
    g_console[1] = ConsoleOf(stderr);

    int n = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i) args.push_back(platform::Narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

void Write(std::FILE* to, std::string_view bytes, bool cp932) {
    if (HANDLE console = ConsoleBehind(to)) {
        ShowOnConsole(console, to, cp932 ? text::Cp932ToUtf8(bytes) : std::string(bytes));
        return;
    }
    WriteBytes(to, bytes);
}

void Print(std::FILE* to, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    // A message names paths and typed words (UTF-8 here) or quotes the
    // program's code page 932 texts; the console is shown whichever it holds.
    Write(to, text, !IsUtf8(text));
}

InterruptGuard::InterruptGuard() {
    g_interrupted = false;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

InterruptGuard::~InterruptGuard() { ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE); }

bool Interrupted() { return g_interrupted; }

}  // namespace lv::cli
