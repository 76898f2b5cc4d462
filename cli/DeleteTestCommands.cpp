// delete and test: the component's operations on the listed archive, with
// the counts the library returned.
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Format.h"
#include "cli/Parts.h"
#include "cli/Password.h"
#include "cli/Session.h"
#include "cli/Terminal.h"

namespace cli {

using engine::ExtrOpts;
using engine::ExtrOptsEnum;
using engine::TRezEdidiv;

int RunDelete(const DeleteOptions& o)
{
    Session session(o.Archive);
    if (!session.Open(true))
        return ExitFailed;
    TRezEdidiv& z = session.Archive;
    auto patterns = z.ChooseMembers(o.Names);
    std::uint64_t chosen = 0;
    for (const auto& e : z.Entries)
        chosen += patterns.Selects(e->FullName()) ? 1 : 0;
    const std::uint64_t unmatched = patterns.Unmatched().size();
    session.Progress.SetTotals(chosen, 0);

    const auto parts = InParts(o.Names);
    if (parts.size() > 1)
        Console::Get().Note(o.Archive, "more than " + std::to_string(ZREC_MAX_SPECS) + " names: deleting in " +
                                           std::to_string(parts.size()) + " parts, each one complete");
    CatchInterrupt();
    std::size_t written = 0;
    for (const auto& part : parts) {
        if (Interrupted())
            break;
        z.FSpecArgs() = part;
        session.Run(&TRezEdidiv::DeleteFiles);
        written += Interrupted() ? 0 : 1;
    }
    if (Interrupted())
        session.Error(written == 0 ? "interrupted; the archive was left as it was"
                                   : "interrupted after " + std::to_string(written) + " of " +
                                         std::to_string(parts.size()) + " parts; those parts were written");
    std::string line = Count(session.Done.Processed, "member") + " deleted";
    if (unmatched > 0)
        line += ", " + Count(unmatched, "name") + " matched nothing";
    Console::Get().Summary(line);
    const bool ok = session.Done.Errors == 0 && unmatched == 0 && !Interrupted();
    return ok ? ExitOk : ExitFailed;
}

int RunTest(const TestOptions& o)
{
    Session session(o.Archive);
    if (!session.Open(true))
        return ExitFailed;
    TRezEdidiv& z = session.Archive;
    if (session.EmptyArchive()) {
        Console::Get().Summary("OK: 0 files");
        return ExitOk;
    }
    if (z.EntryCount() < 1) {
        session.Error("Error - nothing to Test");
        return ExitFailed;
    }
    std::uint64_t bytes = 0;
    for (const auto& e : z.Entries)
        bytes = AddSaturated(bytes, e->RealUncompressedSize());
    if (z.NeedsPassword({})) {
        auto password = ObtainPassword(o.PasswordFile, false, o.Archive);
        if (!password)
            return ExitFailed;
        z.SetPassword(*password);
    }
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrTest};
    z.FSpecArgs() = {"*.*"};
    session.Progress.SetTotals(z.Entries.size(), bytes);
    CatchInterrupt();
    session.Run(&TRezEdidiv::ExtractFiles);
    const std::uint64_t total = std::max<std::uint64_t>(z.Entries.size(), session.Done.Processed);
    const std::uint64_t bad = std::max(total - session.Done.Processed, session.Done.FailedMembers);
    if (Interrupted())
        session.Error("interrupted");
    if (bad == 0 && session.Done.Errors == 0 && !Interrupted()) {
        Console::Get().Summary("OK: " + Count(total, "file"));
        return ExitOk;
    }
    Console::Get().Summary("FAILED: " + std::to_string(bad) + " of " + Count(total, "file"));
    return ExitFailed;
}

}  // namespace cli
