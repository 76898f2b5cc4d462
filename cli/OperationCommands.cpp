// add, extract, delete and test: each fills the archive component's
// properties and FSpecArgs exactly as the main window's commands do, runs
// the component's operation, and reports the count in the system's words.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "abi/ProgressSteps.h"
#include "cli/Commands.h"
#include "cli/Password.h"
#include "cli/Session.h"
#include "cli/Terminal.h"
#include "platform/FileSystem.h"

namespace cli {

using engine::AddOpts;
using engine::AddOptsEnum;
using engine::ExtrOpts;
using engine::ExtrOptsEnum;
using engine::TRezEdidiv;

namespace {

// Members with the encryption flag need a password before the operation.
bool PasswordIfEncrypted(Session& session, const ParsedArgs& args)
{
    TRezEdidiv& z = session.Archive;
    const bool encrypted =
        std::any_of(z.Entries.begin(), z.Entries.end(), [](const auto& e) { return (e->GeneralFlags & 1) != 0; });
    if (!encrypted)
        return true;
    auto password = ObtainPassword(args, false);
    if (password)
        z.SetPassword(*password);
    return password.has_value();
}

// Progress steps an extract or test of the whole archive will report.
std::int64_t ListedSteps(const TRezEdidiv& archive)
{
    std::int64_t steps = 0;
    for (const auto& e : archive.Entries)
        steps += fernpack::ProgressSteps<std::int64_t>(static_cast<std::int64_t>(e->RealUncompressedSize()));
    return steps;
}

int Outcome(Session& session, std::int32_t handled)
{
    return session.ErrorReported() || handled <= 0 ? ExitFailed : ExitOk;
}

}  // namespace

int RunAdd(const Arguments& args)
{
    const OptionSpec known{{"--recurse", "--dirnames", "--encrypt", "--move", "--update", "--freshen", "--hidden"},
                          {"--level", "--password-file"}};
    auto parsed = ParseCommand(args, known, 2, -1, "add takes an ARCHIVE and at least one PATH");
    if (!parsed)
        return ExitUsage;
    if (parsed->Has("--update") && parsed->Has("--freshen")) {
        ParseCommand({}, known, 1, 0, "--update and --freshen exclude each other");
        return ExitUsage;
    }
    int level = 9;
    if (auto text = parsed->Value("--level")) {
        try {
            std::size_t used = 0;
            level = std::stoi(*text, &used);
            if (used != text->size())
                throw std::invalid_argument(*text);
        } catch (const std::exception&) {
            ParseCommand({}, known, 1, 0, "--level takes a whole number");
            return ExitUsage;
        }
    }

    Session session;
    const std::string& given = parsed->Positional[0];
    session.Open(given, platform::AbsolutePath(given));
    session.ResetErrors();
    TRezEdidiv& z = session.Archive;
    z.AddCompLevel = level;
    z.AddOptions = AddOpts{};
    z.AddOptions.Set(AddOptsEnum::AddRecurseDirs, parsed->Has("--recurse"));
    z.AddOptions.Set(AddOptsEnum::AddDirNames, parsed->Has("--dirnames"));
    z.AddOptions.Set(AddOptsEnum::AddEncrypt, parsed->Has("--encrypt"));
    z.AddOptions.Set(AddOptsEnum::AddMove, parsed->Has("--move"));
    z.AddOptions.Set(AddOptsEnum::AddUpdate, parsed->Has("--update"));
    z.AddOptions.Set(AddOptsEnum::AddFreshen, parsed->Has("--freshen"));
    z.AddOptions.Set(AddOptsEnum::AddHiddenFiles, parsed->Has("--hidden"));
    if (parsed->Has("--encrypt")) {
        auto password = ObtainPassword(*parsed, true);
        if (!password)
            return ExitFailed;
        z.SetPassword(*password);
    }

    z.FSpecArgs().clear();
    for (std::size_t i = 1; i < parsed->Positional.size(); ++i) {
        std::string path = platform::AbsolutePath(parsed->Positional[i]);
        if (platform::DirectoryExists(path))
            path += (path == "/" ? "*.*" : "/*.*");  // a folder means everything in it
        z.FSpecArgs().push_back(path);
    }
    std::int32_t steps = 0;
    z.CountAddFiles(steps);
    session.Progress.SetTotalSteps(steps);
    CatchInterrupt();
    z.AddFiles();
    std::cout << CountText(z.ProcessedCount, "added") << '\n';
    return Outcome(session, z.ProcessedCount);
}

int RunExtract(const Arguments& args)
{
    const OptionSpec known{{"--dirnames", "--overwrite", "--update", "--freshen"}, {"-d", "--password-file"}};
    auto parsed = ParseCommand(args, known, 1, -1, "extract takes an ARCHIVE and optional member NAMEs");
    if (!parsed)
        return ExitUsage;
    if (parsed->Has("--update") && parsed->Has("--freshen")) {
        ParseCommand({}, known, 1, 0, "--update and --freshen exclude each other");
        return ExitUsage;
    }
    if (!platform::FileExists(platform::AbsolutePath(parsed->Positional[0]))) {
        Session::Complain(parsed->Positional[0] + ": no such file");
        return ExitFailed;
    }
    std::string target = platform::GetCurrentDir();
    if (auto d = parsed->Value("-d")) {
        target = platform::AbsolutePath(*d);
        std::error_code error;
        std::filesystem::create_directories(target, error);
        if (!platform::DirectoryExists(target)) {
            Session::Complain(*d + ": cannot create the folder");
            return ExitFailed;
        }
    }

    Session session;
    if (!session.OpenExisting(parsed->Positional[0]) || !PasswordIfEncrypted(session, *parsed))
        return ExitFailed;
    session.ResetErrors();
    TRezEdidiv& z = session.Archive;
    z.ExtrBaseDir = target;
    z.ExtrOptions = ExtrOpts{};
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrDirNames, parsed->Has("--dirnames"));
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrOverWrite, parsed->Has("--overwrite"));
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrUpdate, parsed->Has("--update"));
    z.ExtrOptions.Set(ExtrOptsEnum::ExtrFreshen, parsed->Has("--freshen"));
    z.FSpecArgs().assign(parsed->Positional.begin() + 1, parsed->Positional.end());
    session.Progress.SetTotalSteps(ListedSteps(z));
    CatchInterrupt();
    z.ExtractFiles();
    std::cout << CountText(z.ProcessedCount, "extracted") << '\n';
    return Outcome(session, z.ProcessedCount);
}

int RunDelete(const Arguments& args)
{
    auto parsed = ParseCommand(args, OptionSpec{}, 2, -1, "delete takes an ARCHIVE and at least one member NAME");
    if (!parsed)
        return ExitUsage;
    Session session;
    if (!session.OpenExisting(parsed->Positional[0]))
        return ExitFailed;
    session.ResetErrors();
    TRezEdidiv& z = session.Archive;
    z.FSpecArgs().assign(parsed->Positional.begin() + 1, parsed->Positional.end());
    CatchInterrupt();
    z.DeleteFiles();
    std::cout << CountText(z.ProcessedCount, "deleted") << '\n';
    return Outcome(session, z.ProcessedCount);
}

int RunTest(const Arguments& args)
{
    auto parsed = ParseCommand(args, OptionSpec{{}, {"--password-file"}}, 1, 1, "test takes exactly one ARCHIVE");
    if (!parsed)
        return ExitUsage;
    Session session;
    if (!session.OpenExisting(parsed->Positional[0]))
        return ExitFailed;
    session.ResetErrors();
    TRezEdidiv& z = session.Archive;
    if (z.EntryCount() < 1) {
        Session::Complain("Error - nothing to Test");
        return ExitFailed;
    }
    if (!PasswordIfEncrypted(session, *parsed))
        return ExitFailed;
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrTest};
    z.FSpecArgs() = {"*.*"};
    session.Progress.SetTotalSteps(ListedSteps(z));
    CatchInterrupt();
    z.ExtractFiles();
    const std::int32_t n = z.EntryCount();
    const std::int32_t k = z.ProcessedCount;
    if (n == k) {
        std::cout << "All " << n << " files tested OK\n";
        return session.ErrorReported() ? ExitFailed : ExitOk;
    }
    std::cout << "ERROR: " << (n - k) << " files tested BAD, or skipped!\n";
    return ExitFailed;
}

}  // namespace cli
