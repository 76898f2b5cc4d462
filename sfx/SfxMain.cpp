// ZIPSFX.BIN, the self-extractor stub: a program that extracts the ZIP
// archive carried behind it (after its 256-byte settings header) and then
// runs the command line of the settings. Questions are asked on the
// terminal; --yes takes every default, so it also runs unattended.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "CommandLine.h"
#include "Console.h"
#include "Extraction.h"
#include "Selection.h"
#include "SfxArchive.h"
#include "TargetFolder.h"
#include "zipformat/DosDateTime.h"

namespace {

using namespace sfx;

enum ExitCode {
    kDone = 0,
    kFilesFailed = 1,
    kUsage = 2,
    kDamaged = 3,
    kNoFolder = 4,
    kCommandNotStarted = 5,
    kCommandFailed = 6,
    kCancelled = 7,
};

const char kUsageText[] =
    "Usage: %s [--yes] [-d FOLDER] [--list | --test | --help]\n"
    "Extracts the files this self-extracting program carries, then runs its\n"
    "command, asking on the terminal where to put them.\n"
    "\n"
    "  -y, --yes          take the default answer of every question (an existing\n"
    "                     file is then kept unless the program says to replace\n"
    "                     it); passwords of encrypted files are still asked\n"
    "  -d, --dir FOLDER   extract into FOLDER (made when missing) without asking\n"
    "  -l, --list         list the files and stop\n"
    "  -t, --test         check every file's data and stop; nothing is written\n"
    "  -h, --help         show this help\n"
    "\n"
    "Answers are read a line at a time from standard input; when it ends before\n"
    "a question is answered, the program stops.\n"
    "\n"
    "Exit codes:\n"
    "  0  done\n"
    "  1  some files could not be extracted or tested (the command is then not run)\n"
    "  2  unknown or incomplete options\n"
    "  3  this program is damaged: its archive or settings cannot be read, or a\n"
    "     file in it is packed by a method this program cannot extract\n"
    "  4  the target folder cannot be made or opened\n"
    "  5  the command after extraction could not be started\n"
    "  6  the command after extraction failed\n"
    "  7  cancelled: input ended before a question was answered\n";

struct Options {
    bool yes = false, list = false, test = false, help = false;
    bool haveDir = false;
    std::string dir;
};

bool ParseOptions(int argc, char** argv, Options* o, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-y" || arg == "--yes")
            o->yes = true;
        else if (arg == "-l" || arg == "--list")
            o->list = true;
        else if (arg == "-t" || arg == "--test")
            o->test = true;
        else if (arg == "-h" || arg == "--help")
            o->help = true;
        else if (arg == "-d" || arg == "--dir") {
            if (++i == argc) {
                *error = arg + " needs a folder";
                return false;
            }
            o->haveDir = true;
            o->dir = argv[i];
        } else if (arg.compare(0, 6, "--dir=") == 0) {
            o->haveDir = true;
            o->dir = arg.substr(6);
        } else {
            *error = "unknown option " + arg;
            return false;
        }
    }
    if (o->list && o->test) {
        *error = "--list and --test do not go together";
        return false;
    }
    if (o->haveDir && o->dir.empty()) {
        *error = "the folder of -d is empty";
        return false;
    }
    return true;
}

void ShowMembers(const std::string& caption, const std::vector<zipcore::ZipEntry>& entries)
{
    std::printf("%s\n\n", caption.empty() ? "Self-extracting archive" : Printable(caption).c_str());
    if (entries.empty()) {
        std::puts("The archive holds no files.");
        return;
    }
    std::puts("    #         Size  Modified             Name");
    // The total never wraps: past what 64 bits hold it is "more than" that.
    unsigned long long total = 0;
    bool more = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const zipcore::ZipEntry& e = entries[i];
        std::printf("%5zu %12llu  %s  %s%s\n", i + 1, (unsigned long long)e.uncompressedSize,
                    fernpack::zip::DateTimeText(fernpack::zip::PackDosDateTime(e.dosDate, e.dosTime)).c_str(),
                    PrintableName(e.name, e.flags).c_str(), e.NeedsPassword() ? "  (encrypted)" : "");
        more |= __builtin_add_overflow(total, e.uncompressedSize, &total);
    }
    std::printf("%zu member%s, %s%llu bytes\n\n", entries.size(), entries.size() == 1 ? "" : "s",
                more ? "more than " : "", more ? ~0ULL : total);
}

const char* ModeName(OverwriteMode mode)
{
    return mode == OverwriteMode::Always ? "always" : mode == OverwriteMode::Never ? "never" : "ask";
}

void Summary(const char* verb, const RunCounts& counts)
{
    std::printf("%d %s", counts.done, verb);
    if (counts.skipped)
        std::printf(", %d kept", counts.skipped);
    if (counts.failed)
        std::printf(", %d failed", counts.failed);
    std::puts(".");
}

int Cancelled()
{
    std::puts("Cancelled: no answer.");
    return kCancelled;
}

int Run(int argc, char** argv)
{
    const char* self = argc > 0 ? argv[0] : "ZIPSFX.BIN";
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "%s: %s (try --help)\n", self, error.c_str());
        return kUsage;
    }
    if (options.help) {
        std::printf(kUsageText, self);
        return kDone;
    }

    // The program's own file, also when it was started through a link or
    // has been renamed since; argv[0] only where /proc is missing.
    SfxArchive archive;
    const char* own = access("/proc/self/exe", R_OK) == 0 ? "/proc/self/exe" : self;
    if (!archive.Open(own, &error)) {
        std::fprintf(stderr, "%s: %s\n", self, error.c_str());
        return kDamaged;
    }
    const SfxSettings& settings = archive.Settings();
    const auto& entries = archive.Entries();
    ShowMembers(settings.caption, entries);
    if (options.list)
        return kDone;

    Console console(options.yes);
    std::vector<std::size_t> selection;
    for (std::size_t i = 0; i < entries.size(); ++i)
        selection.push_back(i);

    if (options.test) {
        Extraction test(archive, console, selection);
        RunCounts counts = test.Test();
        if (counts.cancelled)
            return Cancelled();
        Summary("tested", counts);
        return counts.unreadable ? kDamaged : counts.failed ? kFilesFailed : kDone;
    }
    if (entries.empty())
        return kDone;

    std::string answer;
    if (settings.askFiles) {
        for (;;) {
            if (!console.Ask("Files to extract (numbers such as 1 3-5, or patterns such as *.txt)", "all", &answer))
                return Cancelled();
            if (ParseSelection(answer, entries, &selection, &error))
                break;
            std::printf("%s\n", Printable(error).c_str());
        }
    }

    std::string folderAnswer = options.dir;
    if (!options.haveDir) {
        std::string question = "Extract to folder ('><' is a new folder in " + TemporaryDirectory() + ")";
        if (!console.Ask(question, DefaultFolderAnswer(settings.defaultDir), &folderAnswer))
            return Cancelled();
    }

    OverwriteMode mode = settings.overwrite;
    if (!settings.hideOverwrite) {
        for (;;) {
            if (!console.Ask("When a file exists: ask, always replace, never replace? (ask/always/never)",
                             ModeName(mode), &answer))
                return Cancelled();
            int pick = PickChoice(answer, {"ask", "always", "never"});
            if (pick >= 0) {
                mode = pick == 0 ? OverwriteMode::Ask : pick == 1 ? OverwriteMode::Always : OverwriteMode::Never;
                break;
            }
            std::puts("Please answer ask, always or never.");
        }
    }

    bool runCommand = !ParseCommandLine(settings.commandLine, "/").program.empty();
    if (runCommand && settings.askCommandLine) {
        for (;;) {
            if (!console.Ask("Run the command \"" + settings.commandLine + "\" after extracting? (yes/no)", "yes",
                             &answer))
                return Cancelled();
            int pick = PickChoice(answer, {"yes", "no"});
            if (pick >= 0) {
                runCommand = pick == 0;
                break;
            }
            std::puts("Please answer yes or no.");
        }
    }

    std::string folder;
    if (!PrepareFolder(folderAnswer, &folder, &error)) {
        std::fprintf(stderr, "%s: %s\n", self, error.c_str());
        return kNoFolder;
    }
    int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        std::fprintf(stderr, "%s: cannot open folder %s: %s\n", self, folder.c_str(), std::strerror(errno));
        return kNoFolder;
    }
    std::printf("Extracting to %s\n", Printable(folder).c_str());
    Extraction extraction(archive, console, selection);
    RunCounts counts = extraction.Extract(folderFd, mode);
    close(folderFd);
    if (counts.cancelled)
        return Cancelled();
    Summary("extracted", counts);
    if (counts.failed) {
        if (runCommand)
            std::puts("The command was not run, since not every file was extracted.");
        return counts.unreadable ? kDamaged : kFilesFailed;
    }
    if (!runCommand)
        return kDone;

    ParsedCommand command = ParseCommandLine(settings.commandLine, folder);
    std::printf("Running %s\n", Printable(DescribeCommand(command)).c_str());
    switch (RunCommand(command, &error)) {
    case RunResult::Succeeded:
        return kDone;
    case RunResult::CannotStart:
        std::fprintf(stderr, "%s: cannot run %s: %s\n", self, Printable(command.program).c_str(), error.c_str());
        return kCommandNotStarted;
    case RunResult::Failed:
        std::fprintf(stderr, "%s: the command %s\n", self, error.c_str());
        return kCommandFailed;
    }
    return kDone;
}

}  // namespace

int main(int argc, char** argv)
{
    int code = Run(argc, argv);
    std::fflush(stdout);
    return code;
}
