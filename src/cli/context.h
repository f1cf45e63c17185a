#pragma once
// What every command of the command-line tool gets: its arguments after the
// command name, the global options and the output.
#include <optional>
#include <string>
#include <vector>

#include "cli/output.h"

namespace lv::cli {

struct Context {
    bool cp932 = false;
    std::optional<std::string> home;  // --home: program folder
    std::optional<std::string> doc;   // --doc: document file
    std::vector<std::string> args;    // after the command name
    Output out{false};
};

// Thrown by a command for bad usage; main prints the usage and exits 2.
struct UsageError {
    std::string message;
};

// Takes the value of an option such as "--model M" out of args; absent: nullopt.
std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name);
// Takes a flag such as "--force" out of args.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
// Text typed on the command line (UTF-8, or raw with --cp932) as code page 932.
std::string FromArg(const Context& ctx, const std::string& arg);

int CmdParse(Context& ctx);

}  // namespace lv::cli
