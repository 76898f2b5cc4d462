#include "cli/Password.h"

#include <cstdlib>
#include <fstream>

#include "cli/Console.h"
#include "cli/Terminal.h"

namespace cli {

std::optional<std::string> ObtainPassword(const std::string& passwordFile, bool confirm, const std::string& context)
{
    Console& console = Console::Get();
    if (!passwordFile.empty()) {
        std::ifstream in(passwordFile);
        std::string line;
        if (!in || !std::getline(in, line)) {
            console.Error(passwordFile, "cannot read a password from it");
            return std::nullopt;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }
    if (const char* env = std::getenv("FERNPACK_PASSWORD"))
        return std::string(env);
    if (console.BeforeStderr)
        console.BeforeStderr();
    auto first = ReadSecret("Password: ");
    if (!first) {
        console.Error(context, "a password is needed: give --password-file or set FERNPACK_PASSWORD");
        return std::nullopt;
    }
    if (confirm) {
        auto again = ReadSecret("Password again: ");
        if (!again || *again != *first) {
            console.Error(context, "the passwords differ");
            return std::nullopt;
        }
    }
    return first;
}

}  // namespace cli
