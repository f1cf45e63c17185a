// The command-line tool on POSIX: arguments and output are bytes, Ctrl+C is SIGINT.
#include <csignal>
#include <cstdarg>

#include "cli/console.h"

namespace lv::cli {

namespace {
volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }
}  // namespace

std::vector<std::string> StartConsole(int argc, char** argv) { return {argv, argv + argc}; }

void Write(std::FILE* to, std::string_view bytes, bool) { WriteBytes(to, bytes); }

void Print(std::FILE* to, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(to, format, args);
    va_end(args);
}

InterruptGuard::InterruptGuard() : m_previous(std::signal(SIGINT, OnInterrupt)) { g_interrupted = 0; }

InterruptGuard::~InterruptGuard() { std::signal(SIGINT, m_previous); }

bool Interrupted() { return g_interrupted != 0; }

}  // namespace lv::cli
