#include "Console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <termios.h>
#include <unistd.h>

#include "zipformat/Flags.h"
#include "zipformat/NameText.h"

namespace sfx {

std::string Printable(const std::string& text)
{
    return fernpack::zip::VisibleText(text);
}

std::string PrintableName(const std::string& stored, std::uint16_t flags)
{
    return fernpack::zip::VisibleName(stored, fernpack::zip::HasUtf8Name(flags));
}

bool Console::ReadLine(std::string* line)
{
    char* buffer = nullptr;
    std::size_t capacity = 0;
    ssize_t n = getline(&buffer, &capacity, stdin);
    if (n < 0) {
        std::free(buffer);
        return false;
    }
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r'))
        --n;
    line->assign(buffer, std::size_t(n));
    std::free(buffer);
    return true;
}

bool Console::Ask(const std::string& question, const std::string& fallback, std::string* answer)
{
    std::fputs(Printable(question).c_str(), stdout);
    if (!fallback.empty())
        std::printf(" [%s]", Printable(fallback).c_str());
    std::fputs(": ", stdout);
    if (assumeDefaults_) {
        std::puts(Printable(fallback).c_str());
        *answer = fallback;
        return true;
    }
    std::fflush(stdout);
    if (!ReadLine(answer)) {
        std::fputc('\n', stdout);
        return false;
    }
    if (!isatty(STDIN_FILENO))
        std::puts(Printable(*answer).c_str());  // a piped answer shows in the log
    if (answer->empty())
        *answer = fallback;
    return true;
}

bool Console::AskPassword(const std::string& question, std::string* answer)
{
    std::printf("%s: ", Printable(question).c_str());
    std::fflush(stdout);
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    bool ok = ReadLine(answer);
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stdout);
    return ok;
}

int PickChoice(const std::string& answer, std::initializer_list<const char*> choices)
{
    if (answer.empty())
        return -1;
    int index = 0;
    for (const char* choice : choices) {
        if (strcasecmp(answer.c_str(), choice) == 0)
            return index;  // an exact answer wins over a shared prefix
        ++index;
    }
    index = 0;
    for (const char* choice : choices) {
        if (strncasecmp(answer.c_str(), choice, answer.size()) == 0 && answer.size() < std::strlen(choice))
            return index;
        ++index;
    }
    return -1;
}

}  // namespace sfx
