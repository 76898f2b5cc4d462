// How a stored name becomes text to show, the one rule for the window, its
// grid and fernpack-cli: a name whose UTF-8 flag is set, or whose bytes are
// valid UTF-8, is UTF-8; any other name is read in code page 437, the MS-DOS
// set ZIP names default to (as other ZIP tools read names whose flag is
// clear). Valid UTF-8 without the flag stays UTF-8 because that is how
// zip on Linux stores such names. The stored bytes themselves never change:
// a member is named back to the libraries byte for byte.
//
// Decoding replaces nothing but bytes that a flagged name holds and UTF-8
// cannot read (each becomes U+FFFD). Showing is a second rule, the same for
// every place a name or message reaches a person (the window's grid, boxes
// and memo, fernpack-cli's listing, messages and progress line, the
// libraries' messages): a character that would act on the text around it
// or show as nothing -- a control character (Unicode category Cc), a format
// character (Cf: zero-width characters, the byte order mark, bidirectional
// marks, embeddings, overrides and isolates) or a line or paragraph
// separator -- is written as an escape, so `a\u200bb.txt` never passes for
// `ab.txt` and U+202E cannot reverse what follows it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fernpack::zip {

// Length of the valid UTF-8 sequence at `p` (at most `left` bytes, `left`
// at least 1): 1 for ASCII, 2 to 4 for a well-formed sequence, 0 for
// anything else (a stray continuation byte, an overlong form, a surrogate,
// a value beyond U+10FFFF, a sequence cut short).
std::size_t Utf8Length(const unsigned char* p, std::size_t left);

bool IsUtf8(std::string_view bytes);

// The code point code page 437 gives byte `b` (ASCII bytes as themselves),
// and the byte that gives code point `c`, or -1 when none does.
char32_t Cp437Char(unsigned char b);
int Cp437Byte(char32_t c);

// The code point of the valid UTF-8 sequence of `n` bytes at `p` (`n` as
// Utf8Length gave it).
char32_t Utf8Char(const unsigned char* p, std::size_t n);

// The stored name `bytes` as UTF-8 text, by the rule above.
std::string NameText(std::string_view bytes, bool utf8Flag = false);

// A control, format, line separator or paragraph separator character.
bool IsHiddenCharacter(char32_t c);

// Appends the escape that shows `c`: \x1b below U+0080, \u200b up to
// U+FFFF, \U000e0001 beyond (lower-case hexadecimal digits).
void AppendEscape(std::string& out, char32_t c);

// `text` as it is shown: every hidden character as its escape, and every
// byte that is not part of valid UTF-8 as \xNN (its value, 80 to ff, so it
// cannot be taken for a character's escape). With `lineBreaks`, CR LF, LF
// and CR each stay one line break (LF), for the few texts of more than one
// line (a two-line message, an archive comment).
std::string VisibleText(std::string_view text, bool lineBreaks = false);

// A stored name as it is shown: NameText, then VisibleText.
std::string VisibleName(std::string_view bytes, bool utf8Flag = false);

// Printable ASCII (and, with `lineFeeds`, line feeds): NameText and
// VisibleText give it back as it is, in every code page. Most names and
// messages are such, and a long operation shows one of each per member.
inline bool IsPlainText(std::string_view bytes, bool lineFeeds = false)
{
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 || c > 0x7e) && !(lineFeeds && c == '\n'))
            return false;
    }
    return true;
}

}  // namespace fernpack::zip
