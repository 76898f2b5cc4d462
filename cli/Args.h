// Command-line parsing for fernpack-cli: options may stand before or after
// the positional arguments, "--" ends the options, and an option that takes
// a value takes the next argument (or the part after '=').
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

struct OptionSpec {
    std::set<std::string> Flags;        // e.g. "--tsv", "--recurse"
    std::set<std::string> WithValue;    // e.g. "-d", "--level"
};

struct ParsedArgs {
    std::vector<std::string> Positional;
    std::set<std::string> Flags;
    std::map<std::string, std::string> Values;  // the last value given wins

    bool Has(const std::string& flag) const { return Flags.count(flag) != 0; }
    std::optional<std::string> Value(const std::string& option) const;
};

// Parses `args` (without the program and command names). On a usage error
// returns nullopt and sets `error` to a line for the user.
std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args, const OptionSpec& known, std::string& error);

}  // namespace cli
