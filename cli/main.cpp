// fernpack-cli: the command-line front end. Drives the archive component
// exactly as the main window does, for users and scripts.
#include <exception>
#include <iostream>
#include <map>
#include <string>

#include "cli/Commands.h"
#include "cli/Session.h"

int main(int argc, char** argv)
{
    using namespace cli;
    if (argc < 2) {
        std::cerr << UsageText();
        return ExitUsage;
    }
    const std::string command = argv[1];
    const Arguments args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << UsageText();
        return ExitOk;
    }
    for (const auto& a : args) {
        if (a == "--")
            break;
        if (a == "--help") {
            std::cout << UsageText();
            return ExitOk;
        }
    }
    static const std::map<std::string, int (*)(const Arguments&)> commands = {
        {"list", RunList},       {"add", RunAdd},   {"extract", RunExtract}, {"delete", RunDelete},
        {"test", RunTest},       {"sfx", RunSfx},   {"unsfx", RunUnsfx},
    };
    const auto found = commands.find(command);
    if (found == commands.end()) {
        Session::Complain("unknown command " + command);
        std::cerr << UsageText();
        return ExitUsage;
    }
    try {
        return found->second(args);
    } catch (const std::exception& e) {
        Session::Complain(e.what());
        return ExitFailed;
    }
}
