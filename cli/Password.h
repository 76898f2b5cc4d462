// Where fernpack-cli takes a password from: a file named by
// --password-file (its first line), the environment variable
// FERNPACK_PASSWORD, or the terminal without echo. Never a plain argument.
#pragma once

#include <optional>
#include <string>

#include "cli/Args.h"

namespace cli {

// nullopt when a password is needed and none can be had (the reason is
// printed). `confirm` asks twice on the terminal, for a new password.
std::optional<std::string> ObtainPassword(const ParsedArgs& args, bool confirm);

}  // namespace cli
