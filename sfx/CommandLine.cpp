#include "CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sfx {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string ReplaceArrows(const std::string& text, const std::string& folder)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '>' && i + 1 < text.size() && text[i + 1] == '<') {
            out += folder;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> SplitArguments(const std::string& text)
{
    std::vector<std::string> parts;
    std::string current;
    bool inWord = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsBlank(c) && !quoted) {
            if (inWord)
                parts.push_back(current);
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord)
        parts.push_back(current);
    return parts;
}

}  // namespace

ParsedCommand ParseCommandLine(const std::string& text, const std::string& extractDir)
{
    std::string folder = extractDir;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    ParsedCommand command;
    std::size_t bar = text.find('|');
    std::string program = Trim(text.substr(0, bar));
    if (program.size() >= 2 && program.front() == '"' && program.back() == '"')
        program = program.substr(1, program.size() - 2);
    command.program = ReplaceArrows(program, folder);
    if (bar != std::string::npos)
        for (const std::string& argument : SplitArguments(text.substr(bar + 1)))
            command.arguments.push_back(ReplaceArrows(argument, folder));
    if (command.program.empty())
        command.arguments.clear();
    return command;
}

std::string DescribeCommand(const ParsedCommand& command)
{
    auto quote = [](const std::string& word) {
        bool plain = !word.empty() && word.find_first_of(" \t\"") == std::string::npos;
        return plain ? word : "\"" + word + "\"";
    };
    std::string text = quote(command.program);
    for (const std::string& argument : command.arguments)
        text += " " + quote(argument);
    return text;
}

RunResult RunCommand(const ParsedCommand& command, std::string* detail)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(command.program.c_str()));
    for (const std::string& argument : command.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The child reports a failed exec through a pipe that closes by itself
    // when the exec succeeds.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        *detail = std::strerror(errno);
        return RunResult::CannotStart;
    }
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) {
        *detail = std::strerror(errno);
        close(report[0]);
        close(report[1]);
        return RunResult::CannotStart;
    }
    if (child == 0) {
        close(report[0]);
        execvp(argv[0], argv.data());
        int err = errno;
        ssize_t written = write(report[1], &err, sizeof(err));
        (void)written;
        _exit(127);
    }
    close(report[1]);
    int err = 0;
    ssize_t got;
    do
        got = read(report[0], &err, sizeof(err));
    while (got < 0 && errno == EINTR);
    close(report[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (got == sizeof(err)) {
        *detail = std::strerror(err);
        return RunResult::CannotStart;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return RunResult::Succeeded;
    char text[64];
    if (WIFSIGNALED(status))
        std::snprintf(text, sizeof(text), "ended by signal %d", WTERMSIG(status));
    else
        std::snprintf(text, sizeof(text), "ended with exit status %d", WEXITSTATUS(status));
    *detail = text;
    return RunResult::Failed;
}

}  // namespace sfx
