#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

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

// The arguments one option at a time: "--name VALUE" or "--name=VALUE".
class OptionReader {
public:
    explicit OptionReader(const std::vector<std::string>& args) : m_args(args) {}

    // Moves to the next option; false after the last.
    bool Next() {
        if (m_next >= m_args.size()) return false;
        m_i = m_next++;
        m_name = m_args[m_i];
        m_inline.reset();
        const std::size_t eq = m_name.find('=');
        if (m_name.rfind("--", 0) == 0 && eq != std::string::npos) {
            m_inline = m_name.substr(eq + 1);
            m_name.resize(eq);
        }
        return true;
    }
    const std::string& Name() const { return m_name; }
    // The option as typed, "=VALUE" and all.
    const std::string& Typed() const { return m_args[m_i]; }
    // The value given after "=", which an option without a value of its own may take.
    const std::optional<std::string>& Inline() const { return m_inline; }

    // The option's value: after "=", or else the next argument.
    Result<std::string> Value() {
        if (m_inline) return *m_inline;
        if (m_next >= m_args.size()) return Failure{m_name + " needs a value"};
        return m_args[m_next++];
    }
    Result<> Text(std::string& field) {
        Result<std::string> value = Value();
        if (!value) return Failure{value.Error()};
        field = std::move(*value);
        return {};
    }
    template <class N>
    Result<> Number(long long low, long long high, N& field) {
        Result<std::string> value = Value();
        if (!value) return Failure{value.Error()};
        long long n = 0;
        if (!ToNumber(*value, low, high, n)) return Bad(*value);
        field = static_cast<N>(n);
        return {};
    }
    Failure Bad(const std::string& value) const { return {"bad value for " + m_name + ": " + value}; }

private:
    const std::vector<std::string>& m_args;
    std::size_t m_i = 0;     // the option's argument
    std::size_t m_next = 0;  // the argument after it and its value
    std::string m_name;
    std::optional<std::string> m_inline;
};

// The faults that take a number, with its range: "NUMBER" or "NUMBER@PATH".
struct FaultOption {
    std::string_view name;
    long long low, high;
    void (*apply)(Fault&, long long);
};
constexpr FaultOption kFaultOptions[] = {
    {"--status", 100, 599, [](Fault& f, long long v) { f.nStatus = static_cast<int>(v); }},
    {"--cut", 0, std::numeric_limits<long long>::max(), [](Fault& f, long long v) { f.nCutAfter = v; }},
    {"--slow", 1, 60'000, [](Fault& f, long long v) { f.nSlowMs = static_cast<int>(v); }},
    {"--chunk", 1, 1'000'000, [](Fault& f, long long v) { f.nSlowChunk = static_cast<std::size_t>(v); }},
    {"--long-header", 1, 100'000'000, [](Fault& f, long long v) { f.nHeaderBytes = static_cast<std::size_t>(v); }},
    {"--huge", 1, 1'000'000, [](Fault& f, long long v) { f.nHugeBytes = v * 1024 * 1024; }},
};

Result<> ReadFault(OptionReader& in, const FaultOption& option, CommandLine& cl) {
    Result<std::string> text = in.Value();
    if (!text) return Failure{text.Error()};
    std::string number, path;
    SplitAt(*text, number, path);
    long long v = 0;
    if (!ToNumber(number, option.low, option.high, v) || (!path.empty() && path[0] != '/')) return in.Bad(*text);
    option.apply(cl.faults[path], v);
    return {};
}

// "--busy" for every path, "--busy=PATH" for one.
Result<> ReadBusy(const OptionReader& in, CommandLine& cl) {
    const std::optional<std::string>& path = in.Inline();
    if (path && (path->empty() || (*path)[0] != '/')) return in.Bad(*path);
    cl.faults[path.value_or(std::string())].bBusy = true;
    return {};
}

Result<> ReadOption(OptionReader& in, CommandLine& cl) {
    const std::string& name = in.Name();
    if (name == "--help" || name == "-h") {
        cl.bHelp = true;
    } else if (name == "--version") {
        cl.bVersion = true;
    } else if (name == "--quiet") {
        cl.bQuiet = true;
    } else if (name == "--dir") {
        return in.Text(cl.strDir);
    } else if (name == "--save") {
        return in.Text(cl.strSave);
    } else if (name == "--model") {
        return in.Text(cl.options.strModel);
    } else if (name == "--user") {
        return in.Text(cl.options.strUser);
    } else if (name == "--password") {
        return in.Text(cl.options.strPassword);
    } else if (name == "--bind") {
        Result<> read = in.Text(cl.options.strBind);
        if (read && cl.options.strBind.empty()) return Failure{"--bind needs an address"};
        return read;
    } else if (name == "--generate") {
        return in.Number(0, 10'000'000, cl.nGenerate);
    } else if (name == "--discs") {
        return in.Number(0, 9999, cl.nDiscs);
    } else if (name == "--seed") {
        return in.Number(0, std::numeric_limits<unsigned>::max(), cl.nSeed);
    } else if (name == "--port") {
        return in.Number(0, 65535, cl.options.nPort);
    } else if (name == "--busy") {
        return ReadBusy(in, cl);
    } else {
        for (const FaultOption& option : kFaultOptions)
            if (name == option.name) return ReadFault(in, option, cl);
        return Failure{"unknown option: " + in.Typed()};
    }
    return {};
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

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    cl.options.strModel = "RD-XS41";
    OptionReader in(args);
    while (in.Next()) {
        if (Result<> read = ReadOption(in, cl); !read) return Failure{read.Error()};
    }
    if (!cl.strDir.empty() && cl.nGenerate >= 0) return Failure{"--dir and --generate exclude each other"};
    if (!cl.strSave.empty() && !cl.strDir.empty())
        return Failure{"--save writes a generated library; it does not go with --dir"};
    if (cl.strDir.empty() && cl.nGenerate < 0) cl.nGenerate = 1000;
    return cl;
}

}  // namespace lv::rdsim
