#include <iostream>

#include "cli/Commands.h"
#include "cli/Session.h"

namespace cli {

std::string UsageText()
{
    return R"(Usage: fernpack-cli COMMAND [OPTIONS] ARGUMENTS

Options may stand before or after the arguments; "--" ends the options.
Paths are taken from the current folder.

Commands:
  list [--tsv] ARCHIVE
      Lists the members of a ZIP archive or self-extracting program in archive
      order (compressed size, size, date and time, name), then their count.
      --tsv prints a fixed format for scripts: '#first-header-offset<TAB>N',
      one line per member 'name<TAB>compressed<TAB>size<TAB>YYYY-MM-DD
      hh:mm:ss<TAB>crc32<TAB>method<TAB>flags', then '#count<TAB>N'. In names
      TAB, CR, LF and backslash are written \t, \r, \n and \\.
  add [--recurse] [--dirnames] [--encrypt] [--level N] [--move]
      [--update|--freshen] [--hidden] ARCHIVE PATH...
      Adds files to ARCHIVE (created when missing; a new name ending in .exe
      becomes a self-extracting program). A PATH may hold wildcards (* and ?)
      in its last part; a folder means every file in it. --recurse enters
      subfolders, --dirnames keeps folder names, --level 0..9 (0 stores),
      --move deletes the files once added, --update adds new and newer files,
      --freshen only replaces older members, --hidden takes dot-files too,
      --encrypt protects the members with AES-256 and a password.
  extract [-d DIR] [--dirnames] [--overwrite] [--update|--freshen]
      ARCHIVE [NAME...]
      Extracts every member, or the NAMEs (wildcards allowed), into DIR
      (created when missing; default the current folder). --dirnames
      recreates stored folders, --overwrite replaces existing files.
  delete ARCHIVE NAME...
      Deletes the named members (wildcards allowed).
  test ARCHIVE
      Tests every member; says "All N files tested OK" or how many failed.
  sfx [--caption T] [--dir D] [--command C] [--overwrite ask|always|never]
      [--ask-command] [--ask-files] [--hide-overwrite] ARCHIVE.zip
      Turns the archive into a self-extracting program ARCHIVE.exe. In the
      command '|' separates the program from its arguments and '><' stands
      for the extraction folder; --dir '><' means a new temporary folder.
  unsfx PROGRAM.exe
      Turns a self-extracting program back into a plain archive.
  help, --help
      Shows this text.

Passwords are asked on the terminal without echo, or read from the first line
of --password-file F, or from the environment variable FERNPACK_PASSWORD;
never from a plain argument. Ctrl-C stops a running operation and leaves the
archive as it was.

Messages go to stderr as 'CODE: text'. Exit status: 0 on success; 1 after an
error, a message with a positive code, a missing archive, or when nothing was
handled (for test: when any member failed); 2 on a usage error.
)";
}

std::optional<ParsedArgs> ParseCommand(const Arguments& args, const OptionSpec& known, std::size_t minPositional,
                                       int maxPositional, const std::string& problem)
{
    std::string error;
    auto parsed = ParseArgs(args, known, error);
    if (parsed) {
        const std::size_t n = parsed->Positional.size();
        if (n >= minPositional && (maxPositional < 0 || n <= static_cast<std::size_t>(maxPositional)))
            return parsed;
        error = problem;
    }
    Session::Complain(error);
    std::cerr << UsageText();
    return std::nullopt;
}

}  // namespace cli
