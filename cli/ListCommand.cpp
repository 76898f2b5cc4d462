#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Listing.h"
#include "cli/Session.h"

namespace cli {

int RunList(const Arguments& args)
{
    auto parsed = ParseCommand(args, OptionSpec{{"--tsv"}, {}}, 1, 1, "list takes exactly one ARCHIVE");
    if (!parsed)
        return ExitUsage;
    Session session;
    if (!session.OpenExisting(parsed->Positional[0]))
        return ExitFailed;
    PrintListing(std::cout, session.Archive, parsed->Has("--tsv"));
    return session.ErrorReported() ? ExitFailed : ExitOk;
}

}  // namespace cli
