#include "cli/Console.h"

#include <cstdio>

#include "zipformat/NameText.h"

namespace cli {

namespace {

void Escape(std::string& out, unsigned char c)
{
    static const char hex[] = "0123456789abcdef";
    out += "\\x";
    out += hex[c >> 4];
    out += hex[c & 15];
}

}  // namespace

std::string Printable(std::string_view text, bool lineBreaks)
{
    std::string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = p[i];
        if (lineBreaks && c == '\r' && i + 1 < text.size() && p[i + 1] == '\n') {
            out += '\n';
            i += 2;
        } else if (lineBreaks && c == '\n') {
            out += '\n';
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            Escape(out, c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (std::size_t n = fernpack::zip::Utf8Length(p + i, text.size() - i);
                   n == 0 || (c == 0xC2 && p[i + 1] < 0xA0)) {
            // Not UTF-8, or a C1 control (U+0080 to U+009F), which some
            // terminals obey like the escape character.
            Escape(out, c);
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

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
