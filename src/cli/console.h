#pragma once
// What the command-line tool meets differently on each system: how its
// arguments arrive, how text reaches a console window and how Ctrl+C reaches
// a transfer. console_posix.cpp and console_win32.cpp hold the two sides.
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace lv::cli {

// A Windows command line is Unicode whatever --cp932 says; elsewhere the
// arguments are the bytes the terminal sent.
#ifdef _WIN32
inline constexpr bool kUnicodeCommandLine = true;
#else
inline constexpr bool kUnicodeCommandLine = false;
#endif

// The arguments, argv[0] included: as given on POSIX, UTF-8 from the UTF-16
// command line on Windows. Also puts stdout and stderr in binary mode there,
// so that the bytes written are the bytes a pipe or file receives.
std::vector<std::string> StartConsole(int argc, char** argv);

// A write to stdout that failed, with the system's error number: the command
// stops and main reports it once. A failed write to stderr has nowhere to be told.
struct WriteError {
    int error;
};

// fwrite, but a failed write to stdout throws WriteError.
inline void WriteBytes(std::FILE* to, std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), to) != bytes.size() && to == stdout)
        throw WriteError{errno ? errno : EIO};
}
// Flushes and closes stdout: what a full disk refuses may show only here.
// Throws WriteError.
void FinishOutput();

// Writes `bytes` to stdout or stderr as they are, except to a Windows
// console, which shows the characters they encode: code page 932 when
// `cp932`, else UTF-8.
void Write(std::FILE* to, std::string_view bytes, bool cp932);
// A message of the tool itself, formatted as printf does. Its values are
// typed arguments and paths (UTF-8 on Windows), or code page 932 text.
void Print(std::FILE* to, const char* format, ...) __attribute__((format(printf, 2, 3)));

// While one lives, Ctrl+C (and Ctrl+Break on Windows) no longer ends the
// program but sets Interrupted(), so that a transfer stops as the stop
// command stops it.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*m_previous)(int) = nullptr;
};
bool Interrupted();

}  // namespace lv::cli
