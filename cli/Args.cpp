#include "cli/Args.h"

namespace cli {

std::optional<std::string> ParsedArgs::Value(const std::string& option) const
{
    auto it = Values.find(option);
    if (it == Values.end())
        return std::nullopt;
    return it->second;
}

std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args, const OptionSpec& known, std::string& error)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.Positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        if (known.Flags.count(name) && !inlineValue) {
            parsed.Flags.insert(name);
        } else if (known.WithValue.count(name)) {
            if (inlineValue) {
                parsed.Values[name] = *inlineValue;
            } else if (i + 1 < args.size()) {
                parsed.Values[name] = args[++i];
            } else {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    return parsed;
}

}  // namespace cli
