// librovista-cli: the library, headless.
#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "cli/console.h"
#include "cli/context.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"

namespace {

struct Command {
    const char* name;
    int (*run)(lv::cli::Context&);
    bool lists = false;  // prints the library: incomplete, and failed, when a cache could not be read
};

const Command kCommands[] = {
    {"parse", lv::cli::CmdParse},         {"recorders", lv::cli::CmdRecorders, true},
    {"titles", lv::cli::CmdTitles, true}, {"discs", lv::cli::CmdDiscs, true},
    {"labels", lv::cli::CmdLabels, true}, {"description", lv::cli::CmdDescription, true},
    {"recorder", lv::cli::CmdRecorder},   {"fetch", lv::cli::CmdFetch},
    {"describe", lv::cli::CmdDescribe},   {"search", lv::cli::CmdSearch, true},
    {"genres", lv::cli::CmdGenres},       {"clean", lv::cli::CmdClean},
    {"history", lv::cli::CmdHistory},     {"new", lv::cli::CmdNew, true},
    {"export", lv::cli::CmdExport, true},
};

const char kUsage[] =
    "usage: librovista-cli [-v] [--cp932] [--json] [--home DIR] [--doc FILE] COMMAND [ARGS]\n"
    "       librovista-cli [--home DIR] --version\n"
    "\n"
    "commands:\n"
    "  parse [--model NAME] [--name RECORDER] [--disc DISC_CSV] [--library LIBRARY_CSV]\n"
    "  recorders\n"
    "  titles [RECORDER]\n"
    "  new [RECORDER]\n"
    "  discs [RECORDER]\n"
    "  labels [RECORDER]\n"
    "  description RECORDER INDEX\n"
    "  recorder add NAME --model M --host H [--port P] [--auth] [--user U] [--password P] [--force]\n"
    "  recorder set NAME [--model M] [--host H] [--port P] [--auth|--no-auth] [--user U] [--password P]\n"
    "  recorder show NAME [--password]\n"
    "  recorder rename OLD NEW [--force]\n"
    "  recorder delete NAME\n"
    "  fetch RECORDER | fetch --all\n"
    "  describe RECORDER (INDEX ... | --all)\n"
    "  search [--recorder R] [--disc D] [--text T] [--from YYYY/MM/DD] [--to YYYY/MM/DD]\n"
    "         [--genre CODE|NAME] [--dvd-titles]\n"
    "  genres\n"
    "  clean (library|unused|all) RECORDER\n"
    "  history | history add TEXT\n"
    "  export (csv|html|json) [search options] [-o FILE]\n"
    "\n"
    "--home DIR is the program folder (profiles, caches, settings); --doc FILE the\n"
    "document (default: Default.lbv in the program folder, created when missing).\n"
    "--version prints the version and the program folder; -v adds the HTTP client's\n"
    "own detail (and a refused login's headers) to a failed transfer's message.\n"
    "\n"
    "Output is UTF-8, or the stored code page 932 bytes with --cp932; --json prints\n"
    "every listing as a JSON array (UTF-8). export writes the rows of a search as the\n"
    "window's list shows them (its columns, sort and recording mode) to FILE or stdout;\n"
    "its CSV is UTF-8 with a byte-order mark, or code page 932 with --cp932.\n";

int Usage(const std::string& why) {
    if (!why.empty()) lv::cli::Print(stderr, "librovista-cli: %s\n", why.c_str());
    lv::cli::Write(stderr, kUsage, false);
    return 2;
}

int Run(lv::cli::Context& ctx, int argc, char** argv) {
    const std::vector<std::string> words = lv::cli::StartConsole(argc, argv);
    const std::size_t count = words.size();
    std::size_t i = 1;
    bool version = false;
    for (; i < count && words[i].starts_with('-'); ++i) {
        const std::string& opt = words[i];
        if (opt == "--cp932") {
            ctx.cp932 = true;
        } else if (opt == "--json") {
            ctx.json = true;
        } else if (opt == "-v" || opt == "--verbose") {
            ctx.verbose = true;
        } else if ((opt == "--home" || opt == "--doc") && i + 1 < count) {
            (opt == "--home" ? ctx.home : ctx.doc) = words[++i];
        } else if (opt == "--help" || opt == "-h") {
            lv::cli::Write(stdout, kUsage, false);
            return 0;
        } else if (opt == "--version") {
            version = true;
        } else {
            return Usage("unknown option " + opt);
        }
    }
    // After the loop, so that a --home given with it is the folder shown.
    if (version) {
        lv::cli::Print(stdout, "librovista-cli %s\nprogram folder: %s\n", LV_VERSION_TEXT,
                       lv::cli::ProgramFolder(ctx).c_str());
        return 0;
    }
    if (i >= count) return Usage("no command given");
    const std::string& name = words[i++];
    ctx.args.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
    ctx.out = lv::cli::Output(ctx.cp932);
    ctx.out.SetJson(ctx.json);
    for (const auto& c : kCommands) {
        if (name != c.name) continue;
        try {
            const int rc = c.run(ctx);
            ctx.out.EndList(rc != 0);
            return rc == 0 && c.lists && ctx.cacheUnreadable ? 1 : rc;
        } catch (const lv::cli::UsageError& e) {
            return Usage(e.message);
        }
    }
    return Usage("unknown command " + name);
}

}  // namespace

int main(int argc, char** argv) {
    lv::cli::Context ctx;
    std::string failure;  // code page 932
    try {
        const int rc = Run(ctx, argc, argv);
        lv::cli::FinishOutput();
        return rc;
    } catch (const lv::cli::WriteError& e) {
        // A reader that left (`| head`) wants no more and no message.
        if (e.error == EPIPE) return 1;
        failure = "write error: " + lv::text::SystemErrorText(e.error);
    } catch (const std::bad_alloc&) {
        failure = lv::msg::OutOfMemory();
    } catch (const std::exception& e) {
        failure = lv::msg::UnexpectedError() + " (" + e.what() + ")";
    }
    return lv::cli::Fail(ctx, "librovista-cli: " + failure);
}
