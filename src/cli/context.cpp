#include "cli/context.h"

#include "core/text/codec.h"

namespace lv::cli {

std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 >= args.size()) throw UsageError{name + " needs a value"};
        std::string value = args[i + 1];
        args.erase(args.begin() + i, args.begin() + i + 2);
        return value;
    }
    return std::nullopt;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + i);
            return true;
        }
    }
    return false;
}

std::string FromArg(const Context& ctx, const std::string& arg) {
    return ctx.cp932 ? arg : text::Utf8ToCp932(arg);
}

}  // namespace lv::cli
