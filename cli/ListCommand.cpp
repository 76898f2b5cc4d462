#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Listing.h"
#include "cli/Session.h"
#include "platform/FileSystem.h"

namespace cli {

int RunList(const Arguments& args)
{
    auto parsed = ParseCommand(args, OptionSpec{{"--tsv"}, {}}, 1, 1, "list takes exactly one ARCHIVE");
    if (!parsed)
        return ExitUsage;
    const std::string& given = parsed->Positional[0];
    const std::string path = platform::AbsolutePath(given);

    // The component says nothing about a missing archive; the user should
    // hear about it.
    if (!platform::FileExists(path)) {
        Session::Complain(given + ": no such file");
        return ExitFailed;
    }
    Session session;
    session.Open(given, path);
    PrintListing(std::cout, session.Archive, parsed->Has("--tsv"));
    return session.ErrorReported() ? ExitFailed : ExitOk;
}

}  // namespace cli
