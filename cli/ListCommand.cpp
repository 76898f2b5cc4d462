// list: the members as the component's listing found them, chosen by the
// patterns, with the comment and totals the end record and the sizes give.
#include <iostream>

#include "cli/Commands.h"
#include "cli/Listing.h"
#include "cli/Session.h"

namespace cli {

int RunList(const ListOptions& options)
{
    Session session(options.Archive);
    if (!session.Open(true))
        return ExitFailed;
    const engine::TRezEdidiv& z = session.Archive;
    auto patterns = z.ChooseMembers(options.Patterns);
    ListingInput input;
    for (const auto& e : z.Entries)
        if (patterns.Selects(e->FullName()))
            input.Members.push_back(e.get());
    input.FirstHeaderOffset = z.FirstHeaderOffset;
    input.AllMembers = z.Entries.size();
    input.Chosen = !options.Patterns.empty();
    input.Comment = z.ArchiveComment();
    // A listing that failed before it found a member has nothing to show:
    // an empty table or "#count 0" would read as a valid archive without
    // members. One that failed part way shows what it read.
    bool failed = session.ListingFailed();
    if (!failed || !z.Entries.empty()) {
        if (options.Tsv)
            PrintTsv(std::cout, input);
        else
            PrintTable(std::cout, input);
        std::cout.flush();
    }
    for (const auto& unused : patterns.Unmatched()) {
        session.Error("no member matches " + unused);
        failed = true;
    }
    return failed ? ExitFailed : ExitOk;
}

}  // namespace cli
