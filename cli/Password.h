// Where fernpack-cli takes a password from: a file named by
// --password-file (its first line, which may hold no more than a password
// can: 255 bytes), the environment variable
// FERNPACK_PASSWORD, or the terminal without echo. Never a plain argument.
#pragma once

#include <optional>
#include <string>

namespace cli {

// nullopt when a password is needed and none can be had (the reason is
// printed, about `context`). `confirm` asks twice on the terminal, for a
// new password.
std::optional<std::string> ObtainPassword(const std::string& passwordFile, bool confirm, const std::string& context);

}  // namespace cli
