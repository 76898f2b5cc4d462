// The fernpack-cli commands. Each takes the arguments after its name and
// returns the process exit status (0 success, 1 failure, 2 usage error).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Args.h"

namespace cli {

using Arguments = std::vector<std::string>;

int RunList(const Arguments& args);
int RunAdd(const Arguments& args);
int RunExtract(const Arguments& args);
int RunDelete(const Arguments& args);
int RunTest(const Arguments& args);
int RunSfx(const Arguments& args);
int RunUnsfx(const Arguments& args);

// Usage text of every command, for --help and usage errors.
std::string UsageText();

// Parses a command's arguments and checks the count of positional ones
// (maxPositional -1: no upper limit). On a usage error prints `problem`
// (or the parser's complaint) and the usage text, and returns nullopt.
std::optional<ParsedArgs> ParseCommand(const Arguments& args, const OptionSpec& known, std::size_t minPositional,
                                       int maxPositional, const std::string& problem);

}  // namespace cli
