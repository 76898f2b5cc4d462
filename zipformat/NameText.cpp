#include "zipformat/NameText.h"

#include <cstdint>

namespace fernpack::zip {

namespace {

// Code page 437, bytes 0x80 to 0xFF.
constexpr char16_t Cp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

constexpr char32_t Replacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        // Code page 437 and U+FFFD stay within the first plane.
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::size_t Utf8Length(const unsigned char* p, std::size_t left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    const std::size_t n = c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
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

bool IsUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8Length(p + i, bytes.size() - i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

char32_t Utf8Char(const unsigned char* p, std::size_t n)
{
    if (n <= 1)
        return p[0];
    char32_t c = p[0] & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i)
        c = (c << 6) | (p[i] & 0x3F);
    return c;
}

char32_t Cp437Char(unsigned char b) { return b < 0x80 ? b : Cp437High[b - 0x80]; }

int Cp437Byte(char32_t c)
{
    if (c < 0x80)
        return static_cast<int>(c);
    for (int i = 0; i < 128; ++i)
        if (Cp437High[i] == c)
            return 0x80 + i;
    return -1;
}

std::string NameText(std::string_view bytes, bool utf8Flag)
{
    const bool utf8 = IsUtf8(bytes);
    std::string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size();) {
        // Whole sequences of a text that is (or says it is) UTF-8 stay;
        // every other byte is a character of its own.
        const std::size_t n = utf8 || utf8Flag ? Utf8Length(p + i, bytes.size() - i) : 0;
        if (n > 0) {
            out.append(bytes.data() + i, n);
            i += n;
        } else {
            AppendUtf8(out, utf8Flag ? Replacement : Cp437Char(p[i++]));
            i += utf8Flag ? 1 : 0;
        }
    }
    return out;
}

namespace {

// The format characters (Unicode category Cf) as ranges, and the line and
// paragraph separators (Zl, Zp).
constexpr char32_t Hidden[][2] = {
    {0x00AD, 0x00AD}, {0x0600, 0x0605}, {0x061C, 0x061C}, {0x06DD, 0x06DD}, {0x070F, 0x070F},
    {0x0890, 0x0891}, {0x08E2, 0x08E2}, {0x180E, 0x180E}, {0x200B, 0x200F}, {0x2028, 0x202E},
    {0x2060, 0x2064}, {0x2066, 0x206F}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFB}, {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

void AppendHex(std::string& out, std::uint32_t value, int digits)
{
    static const char hex[] = "0123456789abcdef";
    while (digits-- > 0)
        out += hex[(value >> (4 * digits)) & 15];
}

}  // namespace

bool IsHiddenCharacter(char32_t c)
{
    if (c < 0x80)
        return c < 0x20 || c == 0x7F;
    if (c <= 0x9F)
        return true;
    for (const auto& range : Hidden)
        if (c >= range[0] && c <= range[1])
            return true;
    return false;
}

void AppendEscape(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += "\\x";
        AppendHex(out, c, 2);
    } else if (c <= 0xFFFF) {
        out += "\\u";
        AppendHex(out, c, 4);
    } else {
        out += "\\U";
        AppendHex(out, c, 8);
    }
}

std::string VisibleText(std::string_view text, bool lineBreaks)
{
    std::string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        // Printable ASCII, most of any name or message, goes through in runs.
        std::size_t run = i;
        while (run < text.size() && p[run] >= 0x20 && p[run] < 0x7F)
            ++run;
        if (run > i) {
            out.append(text.data() + i, run - i);
            i = run;
            continue;
        }
        const std::size_t n = Utf8Length(p + i, text.size() - i);
        if (n == 0) {
            out += "\\x";
            AppendHex(out, p[i++], 2);
            continue;
        }
        const char32_t c = Utf8Char(p + i, n);
        if (lineBreaks && (c == '\r' || c == '\n')) {
            out += '\n';
            i += c == '\r' && i + 1 < text.size() && p[i + 1] == '\n' ? 2 : 1;
            continue;
        }
        if (IsHiddenCharacter(c))
            AppendEscape(out, c);
        else
            out.append(text.data() + i, n);
        i += n;
    }
    return out;
}

std::string VisibleName(std::string_view bytes, bool utf8Flag) { return VisibleText(NameText(bytes, utf8Flag)); }

}  // namespace fernpack::zip
