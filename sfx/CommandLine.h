// The command a self-extracting program runs after extracting. In its text
// a vertical bar '|' separates the program from its arguments; the
// arguments are split at blanks, with double quotes grouping blanks into one
// argument (the quotes themselves are dropped); every '><' in the program or
// an argument stands for the extract folder, with a trailing '/'. Without a
// bar the whole text names the program. The program runs directly (PATH is
// searched for a bare name), never through a shell, so nothing in the text
// is interpreted beyond these rules.
#pragma once

#include <string>
#include <vector>

namespace sfx {

struct ParsedCommand {
    std::string program;  // empty: nothing to run
    std::vector<std::string> arguments;
};

// `extractDir` is the folder the files went to; a '/' is added when missing.
ParsedCommand ParseCommandLine(const std::string& text, const std::string& extractDir);

// The command as the user would read it, arguments with blanks in quotes.
std::string DescribeCommand(const ParsedCommand& command);

enum class RunResult { Succeeded, CannotStart, Failed };

// Runs the command and waits for it. `detail` receives the reason it could
// not start, or how it ended when it failed.
RunResult RunCommand(const ParsedCommand& command, std::string* detail);

}  // namespace sfx
