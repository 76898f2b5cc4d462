#include "cli/Password.h"

#include <cstdlib>
#include <fstream>

#include "cli/Session.h"
#include "cli/Terminal.h"

namespace cli {

std::optional<std::string> ObtainPassword(const ParsedArgs& args, bool confirm)
{
    if (auto file = args.Value("--password-file")) {
        std::ifstream in(*file);
        std::string line;
        if (!in || !std::getline(in, line)) {
            Session::Complain(*file + ": cannot read a password from it");
            return std::nullopt;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }
    if (const char* env = std::getenv("FERNPACK_PASSWORD"))
        return std::string(env);
    auto first = ReadSecret("Password: ");
    if (!first) {
        Session::Complain("a password is needed: give --password-file or set FERNPACK_PASSWORD");
        return std::nullopt;
    }
    if (confirm) {
        auto again = ReadSecret("Password again: ");
        if (!again || *again != *first) {
            Session::Complain("the passwords differ");
            return std::nullopt;
        }
    }
    return first;
}

}  // namespace cli
