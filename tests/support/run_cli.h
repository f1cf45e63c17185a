#pragma once
// Runs the built command-line tool and captures what it printed.
#include <string>
#include <vector>

namespace lv::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Arguments are passed as given (no shell); `env` entries are "NAME=value".
// With interruptAfterMs >= 0 the tool gets Ctrl+C (SIGINT on POSIX) after that
// long. A tool still running after two minutes is killed.
CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                 int interruptAfterMs = -1);

// The lines of a tool's output, without their line ends.
std::vector<std::string> Lines(const std::string& output);

}  // namespace lv::test
