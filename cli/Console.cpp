#include "cli/Console.h"

#include <cstdio>

namespace cli {

namespace {

// Length of the valid UTF-8 sequence at `p` (at most `left` bytes), or 0.
std::size_t Utf8Length(const unsigned char* p, std::size_t left)
{
    const unsigned char c = p[0];
    std::size_t n = c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
    if (n == 0 || n > left)
        return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and values above U+10FFFF.
    if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] > 0x9F) || (c == 0xF0 && p[1] < 0x90) ||
        (c == 0xF4 && p[1] > 0x8F))
        return 0;
    return n;
}

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
        } else if (std::size_t n = Utf8Length(p + i, text.size() - i); n == 0 || (c == 0xC2 && p[i + 1] < 0xA0)) {
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
    if (code <= 0 && !Verbose())
        return;
    std::string line = Printable(text, true);
    if (Verbose())
        line += " (code " + std::to_string(code) + ")";
    Write(context, line);
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
