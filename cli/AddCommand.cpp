// add: the front end chooses the files and their stored names (AddPlan),
// hands the component file patterns that take exactly those, in parts of
// at most ZREC_MAX_SPECS, and reports what the library returned.
#include <tuple>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

#include "cli/AddPlan.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Format.h"
#include "cli/Parts.h"
#include "cli/Password.h"
#include "cli/Session.h"
#include "cli/Terminal.h"
#include "platform/FileSystem.h"

namespace cli {

using engine::AddOpts;
using engine::AddOptsEnum;
using engine::TRezEdidiv;

namespace {

using MemberState = std::tuple<std::uint32_t, std::uint64_t, std::uint64_t, std::uint32_t>;

std::unordered_map<std::string, MemberState> Snapshot(const TRezEdidiv& z)
{
    std::unordered_map<std::string, MemberState> members;
    for (const auto& e : z.Entries)
        members[e->FullName()] = {e->Crc32, e->RealCompressedSize(), e->RealUncompressedSize(), e->LastModDateTime};
    return members;
}

}  // namespace

int RunAdd(const AddOptions& o)
{
    Session session(o.Archive);
    if (platform::DirectoryExists(session.Path())) {
        session.Error("is a folder");
        return ExitFailed;
    }
    AddRequest request;
    request.Paths = o.Paths;
    request.StdinName = o.StdinName;
    request.Recurse = !o.NoRecurse;
    request.JunkPaths = o.JunkPaths;
    request.Hidden = o.Hidden;
    request.ArchivePath = session.Path();
    const AddPlan plan = PlanAdd(request);
    for (const auto& e : plan.Errors)
        session.Error(e.Path + ": " + e.Text);
    for (const auto& c : plan.Collisions)
        session.Warning(c.Path + ": " + c.Text);
    if (plan.DroppedPrefix)
        session.Warning("a leading '/' and '..' parts are left out of the stored names");

    std::uint64_t failed = plan.Errors.size();
    const std::uint64_t collided = plan.Collisions.size();
    auto summary = [&](std::uint64_t added, const std::string& sizes, std::uint64_t skipped, const std::string& why) {
        std::string line = Count(added, "file") + " added" + sizes;
        if (skipped > 0)
            line += ", " + std::to_string(skipped) + " skipped (" + why + ")";
        if (failed > 0)
            line += ", " + std::to_string(failed) + " failed";
        if (collided > 0)
            line += ", " + std::to_string(collided) + " not added (stored name taken)";
        Console::Get().Summary(line);
    };
    if (plan.Specs.empty() && !plan.Stdin) {
        summary(0, "", 0, "");
        return ExitFailed;
    }

    std::optional<std::string> password;
    if (o.Encrypt && !(password = ObtainPassword(o.PasswordFile, true, o.Archive)))
        return ExitFailed;
    CatchInterrupt();
    if (!session.Open(false))
        return ExitFailed;
    const auto before = Snapshot(session.Archive);

    TRezEdidiv& z = session.Archive;
    z.AddCompLevel = o.Level;
    z.AddOptions = AddOpts{};
    z.AddOptions.Set(AddOptsEnum::AddDirNames, !o.JunkPaths);
    z.AddOptions.Set(AddOptsEnum::AddRecurseDirs, !o.NoRecurse);
    z.AddOptions.Set(AddOptsEnum::AddEncrypt, o.Encrypt);
    z.AddOptions.Set(AddOptsEnum::AddMove, o.Move);
    z.AddOptions.Set(AddOptsEnum::AddUpdate, o.Update);
    z.AddOptions.Set(AddOptsEnum::AddFreshen, o.Freshen);
    z.AddOptions.Set(AddOptsEnum::AddHiddenFiles, plan.HiddenFiles);
    if (password)
        z.SetPassword(*password);
    // Standard input's size is learnt as it is read.
    session.Progress.SetTotals(plan.Files + (plan.Stdin ? 1 : 0), plan.Bytes);

    const auto parts = InParts(plan.Specs);
    const std::size_t partCount = parts.size() + (plan.Stdin && !parts.empty() ? 1 : 0);
    if (parts.size() > 1)
        Console::Get().Note(o.Archive, "more than " + std::to_string(ZREC_MAX_SPECS) + " names: adding them in " +
                                           std::to_string(partCount) + " parts, each one complete");
    std::size_t written = 0;
    for (const auto& part : parts) {
        if (Interrupted())
            break;
        z.FSpecArgs() = part;
        session.Run(&TRezEdidiv::AddFiles);
        written += Interrupted() ? 0 : 1;
    }
    if (plan.Stdin && !Interrupted() && ClosedAtStart(STDIN_FILENO)) {
        session.Error("cannot read standard input: it is closed");  // counted as not added below
    } else if (plan.Stdin && !Interrupted()) {
        // The library reads standard input itself, straight into the new
        // archive, and stores it under the name chosen for it.
        z.AddFromStdin = true;
        z.FSpecArgs() = {plan.StdinStoredName};
        session.Run(&TRezEdidiv::AddFiles);
        z.AddFromStdin = false;
        written += Interrupted() ? 0 : 1;
    }
    if (Interrupted()) {
        session.Error(written == 0 ? "interrupted; the archive was left as it was"
                                   : "interrupted after " + std::to_string(written) + " of " +
                                         std::to_string(partCount) + " parts; those parts were written, the rest "
                                                                     "was not");
    }

    // Bytes in and out: the members the add wrote, as the new listing shows.
    std::unordered_set<std::string> chosen(plan.StoredNames.begin(), plan.StoredNames.end());
    if (plan.Stdin)
        chosen.insert(plan.StdinStoredName);
    std::uint64_t in = 0, out = 0;
    for (const auto& e : z.Entries) {
        if (!chosen.count(e->FullName()))
            continue;
        // Without -u and -f every chosen file was written; with them, only
        // the members that changed were.
        auto old = before.find(e->FullName());
        if (!(o.Update || o.Freshen) || old == before.end() ||
            old->second !=
                MemberState{e->Crc32, e->RealCompressedSize(), e->RealUncompressedSize(), e->LastModDateTime}) {
            in += e->RealUncompressedSize();
            out += e->RealCompressedSize();
        }
    }
    const std::uint64_t added = session.Done.Processed;
    std::string sizes;
    if (added > 0 && !session.RelistingFailed())
        sizes = " (" + HumanSize(in) + " in, " + HumanSize(out) + " out, ratio " +
                std::to_string(Percent(out, in)) + "%)";
    const std::uint64_t expected = plan.Files + (plan.Stdin ? 1 : 0);
    const std::uint64_t notDone = Interrupted() || expected < added ? 0 : expected - added;
    std::uint64_t skipped = 0;
    if (o.Update || o.Freshen) {
        const std::uint64_t broken = std::min(notDone, session.Done.FailedMembers);
        skipped = notDone - broken;
        failed += broken;
    } else {
        failed += notDone;
    }
    summary(added, sizes, skipped, o.Update ? "up to date" : "not newer, or not in the archive");
    const bool ok = failed == 0 && collided == 0 && session.Done.Errors == 0 && !Interrupted();
    return ok ? ExitOk : ExitFailed;
}

}  // namespace cli
