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
CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

}  // namespace lv::test
