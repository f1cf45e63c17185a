#include <charconv>
#include <limits>

#include "rdsim/rdsim.h"

namespace lv::rdsim {

namespace {

bool ToNumber(const std::string& text, long long low, long long high, long long& value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && !text.empty() && value >= low && value <= high;
}

// "VALUE" or "VALUE@PATH": the path the fault is for, "" for every path.
void SplitAt(const std::string& arg, std::string& value, std::string& path) {
    const std::size_t at = arg.find('@');
    value = arg.substr(0, at);
    path = at == std::string::npos ? std::string() : arg.substr(at + 1);
}

}  // namespace

std::string Usage() {
    return "usage: rdsim [--dir DIR | --generate N [--discs D] [--seed S] [--save DIR]]\n"
           "             [--model NAME] [--port PORT] [--bind ADDRESS] [--user NAME --password TEXT]\n"
           "             [--busy[=PATH]] [--status CODE[@PATH]] [--cut BYTES[@PATH]]\n"
           "             [--slow MS[@PATH]] [--chunk BYTES[@PATH]] [--huge MB[@PATH]]\n"
           "             [--long-header BYTES[@PATH]] [--quiet] [--version]\n"
           "\n"
           "Serves a recorder's library on http://ADDRESS:PORT/ until interrupted.\n"
           "  --dir DIR        Library.csv, Disc.csv and details pages from a folder\n"
           "  --generate N     a generated library of N titles (default 1000)\n"
           "  --discs D        DVDs of the generated library (default: one per 30 titles)\n"
           "  --seed S         seed of the generated library (default 1)\n"
           "  --save DIR       write the generated recorder files into DIR and exit\n"
           "  --model NAME     recorder model, decides the model class (default RD-XS41)\n"
           "  --port PORT      port to listen on; 0 picks a free one (default 0)\n"
           "  --bind ADDRESS   address to listen on (default 127.0.0.1)\n"
           "  --user, --password   ask for Basic authentication\n"
           "  --busy           answer with a 'busy' page instead of the content\n"
           "  --status CODE    answer with this status\n"
           "  --cut BYTES      close the connection after BYTES of the body\n"
           "  --slow MS        send the body in small chunks, MS apart\n"
           "  --chunk BYTES    with --slow: the size of each chunk (default 512; 1 makes a trickle)\n"
           "  --huge MB        repeat the body up to MB megabytes\n"
           "  --long-header BYTES  add one header line of BYTES bytes to the answer\n"
           "  --quiet          do not print the requests\n"
           "  --version        print the version and exit\n"
           "A fault option with @PATH applies to that path only, e.g. --status 500@/library/DiscList_.csv\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& cl, std::string& error) {
    cl.options.strModel = "RD-XS41";
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string inlineValue;
        bool hasInline = false;
        if (name.rfind("--", 0) == 0) {
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
                hasInline = true;
            }
        }
        auto value = [&](std::string& out) {
            if (hasInline) {
                out = inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](long long low, long long high, long long& out) {
            std::string text;
            if (!value(text)) return false;
            if (!ToNumber(text, low, high, out)) {
                error = "bad value for " + name + ": " + text;
                return false;
            }
            return true;
        };
        // A fault option: a number, optionally "@PATH".
        auto fault = [&](long long low, long long high, auto apply) {
            std::string text, number, path;
            if (!value(text)) return false;
            SplitAt(text, number, path);
            long long v = 0;
            if (!ToNumber(number, low, high, v) || (!path.empty() && path[0] != '/')) {
                error = "bad value for " + name + ": " + text;
                return false;
            }
            apply(cl.faults[path], v);
            return true;
        };
        long long n = 0;
        if (name == "--help" || name == "-h") {
            cl.bHelp = true;
        } else if (name == "--version") {
            cl.bVersion = true;
        } else if (name == "--dir") {
            if (!value(cl.strDir)) return false;
        } else if (name == "--generate") {
            if (!number(0, 10'000'000, n)) return false;
            cl.nGenerate = static_cast<int>(n);
        } else if (name == "--discs") {
            if (!number(0, 9999, n)) return false;
            cl.nDiscs = static_cast<int>(n);
        } else if (name == "--seed") {
            if (!number(0, std::numeric_limits<unsigned>::max(), n)) return false;
            cl.nSeed = static_cast<unsigned>(n);
        } else if (name == "--save") {
            if (!value(cl.strSave)) return false;
        } else if (name == "--model") {
            if (!value(cl.options.strModel)) return false;
        } else if (name == "--port") {
            if (!number(0, 65535, n)) return false;
            cl.options.nPort = static_cast<int>(n);
        } else if (name == "--bind") {
            if (!value(cl.options.strBind)) return false;
            if (cl.options.strBind.empty()) {
                error = "--bind needs an address";
                return false;
            }
        } else if (name == "--user") {
            if (!value(cl.options.strUser)) return false;
        } else if (name == "--password") {
            if (!value(cl.options.strPassword)) return false;
        } else if (name == "--busy") {
            if (hasInline && (inlineValue.empty() || inlineValue[0] != '/')) {
                error = "bad value for --busy: " + inlineValue;
                return false;
            }
            cl.faults[hasInline ? inlineValue : std::string()].bBusy = true;
        } else if (name == "--status") {
            if (!fault(100, 599, [](Fault& f, long long v) { f.nStatus = static_cast<int>(v); })) return false;
        } else if (name == "--cut") {
            if (!fault(0, std::numeric_limits<long long>::max(), [](Fault& f, long long v) { f.nCutAfter = v; }))
                return false;
        } else if (name == "--slow") {
            if (!fault(1, 60'000, [](Fault& f, long long v) { f.nSlowMs = static_cast<int>(v); })) return false;
        } else if (name == "--chunk") {
            if (!fault(1, 1'000'000, [](Fault& f, long long v) { f.nSlowChunk = static_cast<std::size_t>(v); }))
                return false;
        } else if (name == "--long-header") {
            if (!fault(1, 100'000'000, [](Fault& f, long long v) { f.nHeaderBytes = static_cast<std::size_t>(v); }))
                return false;
        } else if (name == "--huge") {
            if (!fault(1, 1'000'000, [](Fault& f, long long v) { f.nHugeBytes = v * 1024 * 1024; })) return false;
        } else if (name == "--quiet") {
            cl.bQuiet = true;
        } else {
            error = "unknown option: " + args[i];
            return false;
        }
    }
    if (!cl.strDir.empty() && cl.nGenerate >= 0) {
        error = "--dir and --generate exclude each other";
        return false;
    }
    if (!cl.strSave.empty() && !cl.strDir.empty()) {
        error = "--save writes a generated library; it does not go with --dir";
        return false;
    }
    if (cl.strDir.empty() && cl.nGenerate < 0) cl.nGenerate = 1000;
    return true;
}

}  // namespace lv::rdsim
