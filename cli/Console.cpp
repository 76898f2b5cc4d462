#include "cli/Console.h"

#include <cstdio>

#include "zipformat/NameText.h"

namespace cli {

std::string Printable(std::string_view text, bool lineBreaks) { return fernpack::zip::VisibleText(text, lineBreaks); }

Console& Console::Get()
{
    static Console console;
    return console;
}

void Console::Write(const std::string& context, const std::string& text)
{
    if (BeforeStderr)
        BeforeStderr();
    std::string line = "fernpack-cli: ";
    if (!context.empty())
        line += Printable(context) + ": ";
    line += text;
    line += '\n';
    std::fflush(stdout);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void Console::Error(const std::string& context, const std::string& text) { Write(context, Printable(text)); }

void Console::Warning(const std::string& context, const std::string& text)
{
    if (!Quiet())
        Write(context, "warning: " + Printable(text));
}

void Console::Note(const std::string& context, const std::string& text)
{
    if (!Quiet())
        Write(context, Printable(text));
}

void Console::Info(const std::string& context, const std::string& text)
{
    if (Verbose())
        Write(context, Printable(text));
}

void Console::Message(const std::string& context, std::int32_t code, const std::string& text)
{
    if (code <= 0)
        Information(context, code, text);
    else
        Write(context, Printable(text, true) + (Verbose() ? " (code " + std::to_string(code) + ")" : ""));
}

void Console::Information(const std::string& context, std::int32_t code, const std::string& text)
{
    if (Verbose())
        Write(context, Printable(text, true) + " (code " + std::to_string(code) + ")");
}

void Console::Summary(const std::string& line)
{
    if (Quiet())
        return;
    if (BeforeStderr)
        BeforeStderr();
    std::fputs((Printable(line) + "\n").c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace cli
