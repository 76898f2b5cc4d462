// fernpack-cli's command line, parsed with CLI11: the commands, their
// options (every one with a long form), help, version and usage errors.
// Options may stand before or after the arguments, "--" ends them, and a
// value may follow its option as the next argument or after '=' (also for
// the short forms, "-d=DIR").
#include <CLI/CLI.hpp>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <exception>
#include <optional>
#include <set>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExtractHere.h"
#include "cli/Help.h"
#include "cli/Session.h"

namespace cli {

namespace {

const char* const ProgramDescription =
    "Lists, creates, extracts, tests and deletes from ZIP archives and self-extracting programs, and turns "
    "one into the other.";

const char* const ProgramNotes = R"(Run 'fernpack-cli COMMAND --help' or 'fernpack-cli help COMMAND' for the options of one command.

Paths are taken from the current folder. Options may stand before or after the arguments; '--' ends the options, so that a name starting with '-' can follow.

Passwords are asked on the terminal without echo, or taken from the first line of the file given with --password-file, or from the environment variable FERNPACK_PASSWORD; never from an argument.

Messages are in English whatever the locale, for scripts that read them (the desktop program speaks the user's language).

Errors and warnings go to stderr as 'fernpack-cli: ARCHIVE: text'; each operation ends with one summary line on stdout. On a terminal a progress line shows the current file, files and bytes done, the rate and the time left. Ctrl-C (or SIGTERM, SIGHUP) stops a running operation: the archive stays as it was (for an add in several parts, the summary says which parts were written). Another program's lock on the archive is waited for up to 10 seconds.

Exit status:
  0  everything asked for was done (files kept because of -n count as done)
  1  something failed or was not done: a damaged member, a wrong password,
     a name or pattern that matched nothing, existing files kept without -n
  2  the command line was wrong (unknown option, missing argument, bad value))";

const char* const ListNotes = R"(Prints one line per member in archive order: packed size, size, date and time, name; a '*' before the name marks an encrypted member. Then a totals line (members, packed, size, ratio of packed to size), and before everything the archive comment, when there is one. PATTERNs choose members: '*' and '?' are wildcards, and a pattern ending in '.*' also takes names without an extension.

--tsv prints a fixed format for scripts: '#first-header-offset<TAB>N', one line per member 'name<TAB>compressed<TAB>size<TAB>YYYY-MM-DD hh:mm:ss<TAB>crc32<TAB>method<TAB>flags', then '#count<TAB>N'. Names are whole, also beyond the 256 bytes the table shows. In names TAB, CR, LF and backslash are written \t, \r, \n and \\, other control and format characters as \x1b, \u200b and so on.)";

const char* const AddNotes = R"(Adds files to ARCHIVE, creating it when missing (a new name ending in .exe becomes a self-extracting program). Names are stored as typed, relative to the current folder: 'add x.zip doc' stores doc/... with everything below doc. A leading '/' and '..' parts are left out of the stored names. A PATH may hold '*' and '?' in its last part (quoted, so the shell leaves them alone). Files and folders whose names start with '.' are left out of folders unless --hidden is given; a dot-file named on the command line is always added. When two files would be stored under one name, the first is added and the others are reported.

'-' reads standard input and stores it as '-', or under the name given with --name. More than 4097 names are added in several parts, each one complete.)";

const char* const ExtractNotes = R"(Extracts every member, or those the NAMEs choose ('*' and '?' are wildcards), into DIR or the current folder, with their folders. Existing files: -o replaces them, -n keeps them; with neither, fernpack-cli asks once on a terminal, and keeps them (with exit status 1) when there is no terminal to ask. Members that land on one file (with -j, one name in several folders) replace each other: each that replaced another is named, and the summary counts them.

--here extracts into the archive's own folder when every member stands under one top-level name, else into a new folder beside the archive named after it (x.zip gives x, or 'x (2)' when x is taken): a file manager's "Extract Here".)";

const char* const SfxNotes = R"(Turns ARCHIVE.zip into the self-extracting program ARCHIVE.exe, which replaces it. In the command, '|' separates the program from its arguments and '><' stands for the extraction folder; --dir '><' means a new temporary folder. An existing ARCHIVE.exe is kept unless --force is given.)";

struct Parsed {
    ListOptions list;
    AddOptions add;
    ExtractOptions extract;
    DeleteOptions del;
    TestOptions test;
    SfxOptions sfx;
    UnsfxOptions unsfx;
    std::vector<std::string> listArgs, addArgs, extractArgs, deleteArgs, testArgs, sfxArgs, unsfxArgs, helpArgs;
    bool verbose = false, quiet = false, version = false, helpAll = false;
};

CLI::App* Command(CLI::App& app, const std::string& name, const std::string& description, const std::string& arguments,
                  std::vector<std::string>& args, const std::string& notes = "")
{
    CLI::App* sub = app.add_subcommand(name, description);
    sub->add_option("args", args)->group("")->type_name(arguments);
    sub->footer(notes);
    return sub;
}

void Build(CLI::App& app, Parsed& p)
{
    app.formatter(std::make_shared<HelpFormatter>());
    app.description(ProgramDescription);
    app.footer(ProgramNotes);
    app.require_subcommand(0, 1);
    app.fallthrough();
    app.set_help_flag("-h,--help", "Show this help and exit");
    auto* verbose = app.add_flag("-v,--verbose", p.verbose, "Also show information lines and every message's code");
    app.add_flag("-q,--quiet", p.quiet, "Show nothing but errors (no summary, no progress)")->excludes(verbose);
    app.add_flag("--version", p.version, "Show the version and the libraries' versions, and exit");
    app.add_flag("--help-all", p.helpAll, "")->group("");

    auto* list = Command(app, "list", "List the members of an archive", "[OPTIONS] ARCHIVE [PATTERN...]",
                         p.listArgs, ListNotes);
    list->add_flag("--tsv", p.list.Tsv, "Print tab-separated values for scripts");

    auto* add = Command(app, "add", "Add files and folders to an archive", "[OPTIONS] ARCHIVE PATH...", p.addArgs,
                        AddNotes);
    add->add_flag("--no-recurse", p.add.NoRecurse, "Take only the files directly in a folder, not its subfolders");
    add->add_flag("-j,--junk-paths", p.add.JunkPaths, "Store file names only, without their folders");
    add->add_flag("--hidden", p.add.Hidden, "Also take dot-files and dot-folders found in folders");
    add->add_option("-l,--level", p.add.Level, "Compression level: 0 stores, 1 is fastest, 9 (the default) smallest")
        ->type_name("N")
        ->check(CLI::Range(0, 9).description(""));
    add->add_flag("-e,--encrypt", p.add.Encrypt, "Protect the new members with AES-256 and a password");
    add->add_flag("-m,--move", p.add.Move, "Delete the files once they are safely in the archive");
    auto* update = add->add_flag("-u,--update", p.add.Update, "Add only new files and files newer than their members");
    add->add_flag("-f,--freshen", p.add.Freshen, "Only replace members that are older than their files")
        ->excludes(update);
    add->add_option("--password-file", p.add.PasswordFile, "Read the password from the first line of FILE")
        ->type_name("FILE");
    add->add_option("--name", p.add.StdinName, "Store standard input ('-') under NAME")->type_name("NAME");

    auto* extract = Command(app, "extract", "Extract members of an archive", "[OPTIONS] ARCHIVE [NAME...]",
                            p.extractArgs, ExtractNotes);
    auto* dir = extract->add_option("-d,--dir", p.extract.Dir, "Extract into DIR (created when missing)")->type_name("DIR");
    extract->add_flag("-j,--junk-paths", p.extract.JunkPaths, "Put every file in DIR itself, without its folders");
    auto* overwrite = extract->add_flag("-o,--overwrite", p.extract.Overwrite, "Replace existing files without asking");
    extract->add_flag("-n,--never-overwrite", p.extract.NeverOverwrite, "Keep existing files without asking")
        ->excludes(overwrite);
    auto* xupdate = extract->add_flag("-u,--update", p.extract.Update,
                                      "Extract only files that are missing or older on disk");
    extract->add_flag("-f,--freshen", p.extract.Freshen, "Only replace files on disk that are older")
        ->excludes(xupdate);
    auto* toStdout = extract->add_flag("-p,--stdout", p.extract.ToStdout,
                                       "Write the members' contents to stdout, in archive order, and nothing else");
    extract->add_flag("--here", p.extract.Here, "Extract beside the archive, in a folder of its own when it holds "
                                                "several top-level names")
        ->excludes(dir)
        ->excludes(toStdout);
    extract->add_option("--password-file", p.extract.PasswordFile, "Read the password from the first line of FILE")
        ->type_name("FILE");

    Command(app, "delete", "Delete members from an archive", "[OPTIONS] ARCHIVE NAME...", p.deleteArgs,
            "Deletes the members the NAMEs choose ('*' and '?' are wildcards). Deleting every member leaves a valid "
            "empty archive.");

    auto* test = Command(app, "test", "Test every member of an archive", "[OPTIONS] ARCHIVE", p.testArgs,
                         "Reads every member and checks its data; prints 'OK: N files' or 'FAILED: K of N files'.");
    test->add_option("--password-file", p.test.PasswordFile, "Read the password from the first line of FILE")
        ->type_name("FILE");

    auto* sfx = Command(app, "sfx", "Turn an archive into a self-extracting program", "[OPTIONS] ARCHIVE.zip",
                        p.sfxArgs, SfxNotes);
    sfx->add_option("--caption", p.sfx.Caption, "The program's window caption")->type_name("TEXT");
    sfx->add_option("--dir", p.sfx.Dir, "The program's default extraction folder")->type_name("DIR");
    sfx->add_option("--command", p.sfx.Command, "A command the program runs after extracting")->type_name("COMMAND");
    sfx->add_option("--overwrite", p.sfx.Existing, "What the program does with existing files: ask, always or never")
        ->type_name("MODE")
        ->check(CLI::IsMember({"ask", "always", "never"}).description(""));
    sfx->add_flag("--ask-command", p.sfx.AskCommand, "Let the program's user change the command");
    sfx->add_flag("--ask-files", p.sfx.AskFiles, "Let the program's user choose the files");
    sfx->add_flag("--hide-overwrite", p.sfx.HideOverwrite, "Hide the program's choice for existing files");
    sfx->add_option("--stub", p.sfx.Stub,
                    "Use FILE as the self-extractor stub instead of ZIPSFX.BIN (small enough for a listing to "
                    "find the archive behind it, and without a local header signature)")
        ->type_name("FILE");
    sfx->add_flag("--force", p.sfx.Force, "Replace an existing ARCHIVE.exe");

    auto* unsfx = Command(app, "unsfx", "Turn a self-extracting program back into an archive", "[OPTIONS] PROGRAM.exe",
                          p.unsfxArgs, "Turns PROGRAM.exe back into PROGRAM.zip, which replaces it. An existing "
                                       "PROGRAM.zip is kept unless --force is given.");
    unsfx->add_flag("--force", p.unsfx.Force, "Replace an existing PROGRAM.zip");

    Command(app, "help", "Show the help of the program or of one command", "[COMMAND]", p.helpArgs);
}

// Arguments as CLI11 should see them: "-X=VALUE" split for the short options
// that take a value, and everything after "--" held back (returned in
// `afterDashes`) to be added to the command's arguments as they are.
// An argument where the command should be that names none is returned in
// `unknown`.
std::vector<std::string> Prepare(CLI::App& app, int argc, char** argv, std::vector<std::string>& afterDashes,
                                 CLI::App** command, std::string* unknown)
{
    std::vector<std::string> args;
    *command = nullptr;
    std::set<std::string> takeValues;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (!*command && !arg.empty() && arg[0] != '-') {
            try {
                *command = app.get_subcommand(arg);
                for (const CLI::Option* opt : (*command)->get_options())
                    if (opt->get_expected_max() > 0)
                        for (const auto& s : opt->get_snames())
                            takeValues.insert("-" + s);
            } catch (const CLI::OptionNotFound&) {
                *unknown = arg;
                return {};
            }
        }
        if (arg.size() > 3 && arg[0] == '-' && arg[1] != '-' && arg[2] == '=' && takeValues.count(arg.substr(0, 2))) {
            args.push_back(arg.substr(0, 2));
            args.push_back(arg.substr(3));
        } else {
            args.push_back(arg);
        }
    }
    for (++i; i < argc; ++i)
        afterDashes.emplace_back(argv[i]);
    std::reverse(args.begin(), args.end());  // CLI11 takes them last first
    return args;
}

int UsageError(const std::string& text, const CLI::App* command)
{
    const std::string name = command ? command->get_name() : "";
    std::fprintf(stderr, "fernpack-cli: %s%s\nTry 'fernpack-cli %s--help'\n", name.empty() ? "" : (name + ": ").c_str(),
                 Printable(text).c_str(), name.empty() ? "" : (name + " ").c_str());
    return ExitUsage;
}

std::string UsageText(const CLI::Error& e)
{
    if (const auto* extras = dynamic_cast<const CLI::ExtrasError*>(&e)) {
        (void)extras;
        std::string what = e.what();
        const std::string prefix = "The following argument was not expected: ";
        const std::string prefixes = "The following arguments were not expected: ";
        if (what.rfind(prefix, 0) == 0)
            return "unknown option or argument " + what.substr(prefix.size());
        if (what.rfind(prefixes, 0) == 0)
            return "unknown options or arguments " + what.substr(prefixes.size());
        return what;
    }
    return e.what();
}

// Positional arguments: before "--" as parsed, then those after it.
std::vector<std::string> Arguments(std::vector<std::string>& parsed, const std::vector<std::string>& afterDashes)
{
    std::vector<std::string> all = parsed;
    all.insert(all.end(), afterDashes.begin(), afterDashes.end());
    return all;
}

bool HasEmpty(const std::vector<std::string>& values)
{
    return std::any_of(values.begin(), values.end(), [](const std::string& v) { return v.empty(); });
}

}  // namespace

int RunCommandLine(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "");
    CLI::App app("", "fernpack-cli");
    Parsed p;
    Build(app, p);
    std::vector<std::string> afterDashes;
    CLI::App* command = nullptr;
    std::string unknown;
    std::vector<std::string> args = Prepare(app, argc, argv, afterDashes, &command, &unknown);
    if (!unknown.empty())
        return UsageError("no command named " + unknown, nullptr);
    try {
        app.parse(args);
    } catch (const CLI::CallForHelp&) {
        std::fputs((command ? command->help() : app.help()).c_str(), stdout);
        return ExitOk;
    } catch (const CLI::ParseError& e) {
        return UsageError(UsageText(e), command);
    }
    Console::Get().Level = p.quiet ? Verbosity::Quiet : p.verbose ? Verbosity::Verbose : Verbosity::Normal;

    if (p.version) {
        std::fputs(VersionText().c_str(), stdout);
        return ExitOk;
    }
    if (p.helpAll) {
        std::fputs(FullHelp(app).c_str(), stdout);
        return ExitOk;
    }
    if (!command)
        return UsageError("no command given", nullptr);
    const std::string name = command->get_name();
    auto need = [&](std::vector<std::string>& parsed, std::size_t least, std::size_t most,
                    const std::string& what) -> std::optional<std::vector<std::string>> {
        std::vector<std::string> all = Arguments(parsed, afterDashes);
        if (all.size() < least || all.size() > most) {
            UsageError("expects " + what, command);
            return std::nullopt;
        }
        if (HasEmpty(all)) {
            UsageError("an empty argument names no file", command);
            return std::nullopt;
        }
        return all;
    };
    const std::size_t many = static_cast<std::size_t>(-1);
    try {
        if (name == "help") {
            auto all = Arguments(p.helpArgs, afterDashes);
            if (all.empty()) {
                std::fputs(app.help().c_str(), stdout);
                return ExitOk;
            }
            try {
                std::fputs(app.get_subcommand(all[0])->help().c_str(), stdout);
                return ExitOk;
            } catch (const CLI::OptionNotFound&) {
                return UsageError("no command named " + all[0], nullptr);
            }
        }
        if (name == "list") {
            auto all = need(p.listArgs, 1, many, "an ARCHIVE and optional PATTERNs");
            if (!all)
                return ExitUsage;
            p.list.Archive = all->front();
            p.list.Patterns.assign(all->begin() + 1, all->end());
            return RunList(p.list);
        }
        if (name == "add") {
            auto all = need(p.addArgs, 2, many, "an ARCHIVE and at least one PATH");
            if (!all)
                return ExitUsage;
            if (p.add.PasswordFile.empty() && command->count("--password-file"))
                return UsageError("an empty argument names no file", command);
            if (p.add.StdinName.empty())
                return UsageError("--name needs a name", command);
            p.add.Archive = all->front();
            p.add.Paths.assign(all->begin() + 1, all->end());
            return RunAdd(p.add);
        }
        if (name == "extract") {
            auto all = need(p.extractArgs, 1, many, "an ARCHIVE and optional member NAMEs");
            if (!all)
                return ExitUsage;
            if ((p.extract.Dir.empty() && command->count("--dir")) ||
                (p.extract.PasswordFile.empty() && command->count("--password-file")))
                return UsageError("an empty argument names no file", command);
            p.extract.Archive = all->front();
            p.extract.Names.assign(all->begin() + 1, all->end());
            return p.extract.Here ? RunExtractHere(p.extract) : RunExtract(p.extract);
        }
        if (name == "delete") {
            auto all = need(p.deleteArgs, 2, many, "an ARCHIVE and at least one member NAME");
            if (!all)
                return ExitUsage;
            p.del.Archive = all->front();
            p.del.Names.assign(all->begin() + 1, all->end());
            return RunDelete(p.del);
        }
        if (name == "test") {
            auto all = need(p.testArgs, 1, 1, "exactly one ARCHIVE");
            if (!all)
                return ExitUsage;
            p.test.Archive = all->front();
            return RunTest(p.test);
        }
        if (name == "sfx") {
            auto all = need(p.sfxArgs, 1, 1, "exactly one ARCHIVE");
            if (!all)
                return ExitUsage;
            if (p.sfx.Stub.empty() && command->count("--stub"))
                return UsageError("an empty argument names no file", command);
            p.sfx.Archive = all->front();
            return RunSfx(p.sfx);
        }
        auto all = need(p.unsfxArgs, 1, 1, "exactly one PROGRAM");
        if (!all)
            return ExitUsage;
        p.unsfx.Program = all->front();
        return RunUnsfx(p.unsfx);
    } catch (const std::exception& e) {
        Console::Get().Error("", e.what());
        return ExitFailed;
    }
}

}  // namespace cli
