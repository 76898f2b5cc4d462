// extract: members into a folder (with their folders unless -j), the
// question about existing files asked once before the library starts, or
// members to stdout as the library decodes them (-p), in archive order.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "abi/ProgressSteps.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Format.h"
#include "cli/Parts.h"
#include "cli/Password.h"
#include "cli/Session.h"
#include "cli/Terminal.h"
#include "platform/FileSystem.h"

namespace cli {

using engine::ExtrOpts;
using engine::ExtrOptsEnum;
using engine::TRezEdidiv;
using engine::ZipDirEntry;

namespace {

bool IsFolderEntry(const ZipDirEntry& e) { return !e.FullName().empty() && e.FullName().back() == '/'; }

// Where the library will write `name` under `dir`, or "" for a name it
// refuses (absolute, with "..", a drive or a backslash).
std::string TargetOf(const std::string& dir, const std::string& name, bool junk)
{
    if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos ||
        (name.size() >= 2 && name[1] == ':'))
        return "";
    std::string relative, last;
    for (std::size_t pos = 0; pos <= name.size();) {
        std::size_t slash = name.find('/', pos);
        if (slash == std::string::npos)
            slash = name.size();
        const std::string part = name.substr(pos, slash - pos);
        pos = slash + 1;
        if (part == "..")
            return "";
        if (part.empty() || part == ".")
            continue;
        relative += (relative.empty() ? "" : "/") + part;
        last = part;
    }
    if (last.empty())
        return "";
    return dir + "/" + (junk ? last : relative);
}

// Existing files the members would land on (folders do not count: the
// library reports a folder in a file's way as a failure).
std::vector<std::string> ExistingTargets(const std::vector<const ZipDirEntry*>& members, const std::string& dir,
                                         bool junk)
{
    std::vector<std::string> existing;
    for (const ZipDirEntry* e : members) {
        if (IsFolderEntry(*e))
            continue;
        const std::string target = TargetOf(dir, e->FullName(), junk);
        struct stat st;
        if (!target.empty() && ::lstat(target.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            existing.push_back(target);
    }
    std::sort(existing.begin(), existing.end());
    existing.erase(std::unique(existing.begin(), existing.end()), existing.end());
    return existing;
}

enum class Answer { Overwrite, Keep, NoAnswer };

// Asks once on the terminal; [l]ist shows the files and asks again.
Answer AskAboutExisting(const std::vector<std::string>& existing, const std::string& shownDir)
{
    const std::string question = std::to_string(existing.size()) + (existing.size() == 1 ? " file already exists" : " files already exist") +
                                 " in " + Printable(shownDir) + ": overwrite " + (existing.size() == 1 ? "it" : "them") +
                                 "? [y]es, [n]o, [l]ist ";
    for (;;) {
        auto line = AskLine(question);
        if (!line)
            return Answer::NoAnswer;
        const std::string a = *line;
        if (a == "y" || a == "Y" || a == "yes")
            return Answer::Overwrite;
        if (a == "n" || a == "N" || a == "no")
            return Answer::Keep;
        if (a == "l" || a == "L" || a == "list") {
            std::string list;
            for (const auto& path : existing)
                list += "  " + Printable(path) + "\n";
            std::fputs(list.c_str(), stderr);
        }
    }
}

}  // namespace

int RunExtract(const ExtractOptions& o)
{
    Session session(o.Archive);
    std::string target = platform::GetCurrentDir();
    if (!o.Dir.empty()) {
        target = platform::AbsolutePath(o.Dir);
        struct stat st;
        if (::stat(target.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
            Console::Get().Error(o.Dir, "not a folder");
            return ExitFailed;
        }
    }
    if (!session.Open(true))
        return ExitFailed;
    TRezEdidiv& z = session.Archive;

    auto patterns = z.ChooseMembers(o.Names);
    std::vector<const ZipDirEntry*> members;
    std::uint64_t bytes = 0;
    for (const auto& e : z.Entries) {
        if (patterns.Selects(e->FullName())) {
            members.push_back(e.get());
            bytes = AddSaturated(bytes, e->RealUncompressedSize());
        }
    }
    if (z.NeedsPassword(o.Names)) {
        auto password = ObtainPassword(o.PasswordFile, false, o.Archive);
        if (!password)
            return ExitFailed;
        z.SetPassword(*password);
    }

    bool overwrite = o.Overwrite;
    bool keptByChoice = o.NeverOverwrite || o.Update || o.Freshen;
    if (o.ToStdout) {
        if (ClosedAtStart(STDOUT_FILENO)) {
            session.Error("cannot write to standard output: it is closed");
            return ExitFailed;
        }
        // The library writes to stdout itself; a reader that goes away (a
        // pipe into head) ends the extract quietly, not this program.
        std::signal(SIGPIPE, SIG_IGN);
        target.clear();
    } else {
        std::error_code error;
        std::filesystem::create_directories(target, error);
        if (!platform::DirectoryExists(target)) {
            Console::Get().Error(o.Dir, "cannot make the folder: " + error.message());
            return ExitFailed;
        }
        if (!overwrite && !keptByChoice && IsTerminal(STDIN_FILENO) && IsTerminal(STDERR_FILENO)) {
            const auto existing = ExistingTargets(members, target, o.JunkPaths);
            if (!existing.empty()) {
                const Answer answer = AskAboutExisting(existing, o.Dir.empty() ? "the current folder" : o.Dir);
                overwrite = answer == Answer::Overwrite;
                keptByChoice = answer == Answer::Keep;
            }
        }
    }

    z.ExtrBaseDir = target;
    z.ExtrToStdout = o.ToStdout;
    z.ExtrOptions = ExtrOpts{};
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrDirNames, !o.JunkPaths);
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrOverWrite, overwrite);
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrUpdate, o.Update);
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrFreshen, o.Freshen);
    session.Progress.SetTotals(members.size(), bytes);
    const std::string home = platform::GetCurrentDir();
    CatchInterrupt();
    const auto parts = o.Names.empty() ? std::vector<std::vector<std::string>>{{}} : InParts(o.Names);
    if (parts.size() > 1)
        Console::Get().Note(o.Archive, "more than " + std::to_string(ZREC_MAX_SPECS) + " names: extracting in " +
                                           std::to_string(parts.size()) + " parts");
    for (const auto& part : parts) {
        if (Interrupted())
            break;
        z.FSpecArgs() = part;
        session.Run(&TRezEdidiv::ExtractFiles);
    }
    platform::SetCurrentDir(home);  // the component works from the target folder

    const std::uint64_t done = session.Done.Processed;
    const std::uint64_t failed = session.Done.FailedMembers;
    const std::uint64_t skipped = session.Done.Skipped;
    const std::uint64_t chosen = std::max<std::uint64_t>(members.size(), done + failed + skipped);
    // Members the library never came to: it could not start, or a fault
    // inside it ended the extraction early.
    const std::uint64_t notReached = Interrupted() ? 0 : chosen - done - failed - skipped;
    if (Interrupted())
        session.Error("interrupted");
    bool ok = session.Done.Errors == 0 && failed == 0 && !Interrupted();
    if (o.ToStdout) {
        // stdout holds the members' bytes and nothing else. What went
        // wrong was said member by member; this counts the members that
        // did not get out. A reader that stopped reading is no failure.
        if (!Interrupted() && failed > 0)
            session.Error(std::to_string(failed) + " of " + Count(chosen, "file") + " could not be extracted");
        return ok ? ExitOk : ExitFailed;
    }
    std::string line = Count(done, "file") + " extracted";
    if (const std::uint64_t replaced = session.Done.Replaced; replaced > 0)
        line += " (" + std::to_string(replaced) + " of them replaced a member of the same name" +
                (o.JunkPaths ? ": extract without -j to keep folders)" : ")");
    if (skipped > 0) {
        line += ", " + std::to_string(skipped) + " skipped (";
        line += o.Update || o.Freshen ? "not newer, or not on disk to freshen"
                : keptByChoice       ? "already exist"
                                     : "already exist; use -o to overwrite";
        line += ")";
        ok = ok && keptByChoice;
    }
    if (failed > 0)
        line += ", " + std::to_string(failed) + " failed";
    if (notReached > 0) {
        line += ", " + std::to_string(notReached) + " not attempted";
        ok = false;
    }
    if (const std::size_t unmatched = patterns.Unmatched().size(); unmatched > 0) {
        line += ", " + Count(unmatched, "name") + " matched nothing";
        ok = false;
    }
    Console::Get().Summary(line);
    return ok ? ExitOk : ExitFailed;
}

}  // namespace cli
