// The fernpack-cli commands. Each takes the arguments after its name and
// returns the process exit status (0 success, 1 failure, 2 usage error).
#pragma once

#include <string>
#include <vector>

namespace cli {

using Arguments = std::vector<std::string>;

int RunList(const Arguments& args);

// Usage text of every command, for --help and usage errors.
std::string UsageText();

}  // namespace cli
