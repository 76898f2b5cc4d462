#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Listing.h"
#include "cli/Session.h"
#include "engine/EngineErrors.h"
#include "platform/FileSystem.h"

namespace cli {

int RunList(const Arguments& args)
{
    std::string error;
    auto parsed = ParseArgs(args, OptionSpec{{"--tsv"}, {}}, error);
    if (parsed && parsed->Positional.size() != 1)
        error = "list takes exactly one ARCHIVE";
    if (!parsed || parsed->Positional.size() != 1) {
        Session::Complain(error);
        std::cerr << UsageText();
        return ExitUsage;
    }
    const std::string& given = parsed->Positional[0];
    const std::string path = platform::AbsolutePath(given);

    // The component says nothing about a missing archive; the user should
    // hear about it.
    if (!platform::FileExists(path)) {
        Session::Complain(given + ": no such file");
        return ExitFailed;
    }

    Session session;
    try {
        session.Archive.SetZipFilename(path);
    } catch (const EFileStreamError& e) {
        PrintListing(std::cout, session.Archive, parsed->Has("--tsv"));
        std::cout.flush();
        Session::Complain(given + ": " + e.what());
        return ExitFailed;
    }
    PrintListing(std::cout, session.Archive, parsed->Has("--tsv"));
    return session.ErrorReported() ? ExitFailed : ExitOk;
}

}  // namespace cli
