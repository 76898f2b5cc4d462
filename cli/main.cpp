// fernpack-cli: the command-line front end. Drives the archive component
// exactly as the main window does, for users and scripts.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "cli/Commands.h"
#include "cli/Session.h"

namespace cli {

std::string UsageText()
{
    return "Usage: fernpack-cli COMMAND [OPTIONS] ARGUMENTS\n"
           "\n"
           "Options may stand before or after the arguments; \"--\" ends the options.\n"
           "\n"
           "Commands:\n"
           "  list [--tsv] ARCHIVE\n"
           "      Lists the members of a ZIP archive or self-extracting program, in\n"
           "      archive order, then their count. Default output has aligned columns:\n"
           "      compressed size, size, date and time, name. With --tsv, a fixed\n"
           "      format for scripts: '#first-header-offset<TAB>N', one line per member\n"
           "      'name<TAB>compressed<TAB>size<TAB>YYYY-MM-DD hh:mm:ss<TAB>crc32<TAB>\n"
           "      method<TAB>flags', then '#count<TAB>N'. In names TAB, CR, LF and\n"
           "      backslash are written \\t, \\r, \\n and \\\\.\n"
           "  help, --help\n"
           "      Shows this text.\n"
           "\n"
           "Messages go to stderr as 'CODE: text'. Exit status: 0 on success, 1 after\n"
           "an error or a message with a positive code, 2 on a usage error.\n";
}

}  // namespace cli

int main(int argc, char** argv)
{
    using namespace cli;
    if (argc < 2) {
        std::cerr << UsageText();
        return ExitUsage;
    }
    const std::string command = argv[1];
    Arguments args(argv + 2, argv + argc);
    try {
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
        if (command == "list")
            return RunList(args);
        Session::Complain("unknown command " + command);
        std::cerr << UsageText();
        return ExitUsage;
    } catch (const std::exception& e) {
        Session::Complain(e.what());
        return ExitFailed;
    }
}
