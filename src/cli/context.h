#pragma once
// What every command of the command-line tool gets: its arguments after the
// command name, the global options and the output.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/output.h"
#include "core/search/search_condition.h"

class CRDTitleDoc;

namespace lv::cli {

struct Context {
    bool cp932 = false;
    bool json = false;                // --json: listings print JSON
    bool verbose = false;             // -v: failures add the HTTP client's own detail
    std::optional<std::string> home;  // --home: program folder
    std::optional<std::string> doc;   // --doc: document file
    std::vector<std::string> args;    // after the command name
    // Set by OpenDocument when a recorder's cache could not be read: what a
    // listing shows of the library is then incomplete.
    mutable bool cacheUnreadable = false;
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

// ": not a regular file" for a FIFO, device or folder at `path`, else "":
// the reason a file the user named reads as unreadable.
const char* NotAFileNote(const std::string& path);

// The program folder (--home, else the usual one), ending in "/".
std::string ProgramFolder(const Context& ctx);
// The document path: --doc, else "Default.lbv" in the program folder, created
// empty when missing. Empty (after a message) when there is none.
std::string DocumentPath(const Context& ctx);
// The document, opened with every recorder's cache; null after a message.
// A cache that could not be read is told on stderr, its recorder left empty.
std::unique_ptr<CRDTitleDoc> OpenDocument(const Context& ctx);
// A message on stderr in the chosen encoding; returns 1 for the exit code.
int Fail(const Context& ctx, std::string_view cp932);

int CmdParse(Context& ctx);
int CmdRecorders(Context& ctx);
int CmdTitles(Context& ctx);
int CmdNew(Context& ctx);
int CmdDiscs(Context& ctx);
int CmdLabels(Context& ctx);
int CmdDescription(Context& ctx);
int CmdRecorder(Context& ctx);
int CmdFetch(Context& ctx);
int CmdDescribe(Context& ctx);
// The condition that search options (--recorder, --disc, --text, --from,
// --to, --genre, --dvd-titles) make; any other argument is a usage error.
CSearchCondition TakeSearchCondition(Context& ctx);

int CmdSearch(Context& ctx);
int CmdExport(Context& ctx);
int CmdGenres(Context& ctx);
int CmdClean(Context& ctx);
int CmdHistory(Context& ctx);

}  // namespace lv::cli
