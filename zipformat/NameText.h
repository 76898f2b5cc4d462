// How a stored name becomes text to show, the one rule for the window, its
// grid and fernpack-cli: a name whose UTF-8 flag is set, or whose bytes are
// valid UTF-8, is UTF-8; any other name is read in code page 437, the MS-DOS
// set ZIP names default to (as other ZIP tools read names whose flag is
// clear). Valid UTF-8 without the flag stays UTF-8 because that is how
// zip on Linux stores such names. The stored bytes themselves never change:
// a member is named back to the libraries byte for byte.
//
// Decoding only; it replaces nothing but bytes that a flagged name holds
// and UTF-8 cannot read (each becomes U+FFFD). Hiding control characters
// is for whoever prints the text.
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

// The stored name `bytes` as UTF-8 text, by the rule above.
std::string NameText(std::string_view bytes, bool utf8Flag = false);

}  // namespace fernpack::zip
