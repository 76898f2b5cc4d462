// The names new members are stored under, the one rule for the writer and
// for fernpack-cli, which must know the names before the writer runs. A
// source path becomes a stored name that uses '/', never starts with '/',
// and has no empty, "." or ".." components (".." is resolved against the
// components before it, and one that would climb above the start is
// dropped), so every name we write is one the extraction library accepts.
// Backslashes, which other systems read as separators, become '_', and a
// drive-like start ("c:", an ASCII letter and a colon) becomes "c_".
// Byte for byte and locale-independent; nothing here touches the file
// system.
#pragma once

#include <string>

namespace fernpack::zip {

// The normalised components of `path` joined by '/'; with `keepDirs` false
// only the last one. Empty when nothing is left (such as "/" or "..").
std::string StoredName(const std::string& path, bool keepDirs);

// One name component as an upper-case MS-DOS 8.3 name: at most eight
// characters before a single dot and three after it, characters MS-DOS does
// not allow replaced by '_'.
std::string DosComponent(const std::string& component);

// Every component of a stored name turned into its 8.3 form.
std::string ForceDosName(const std::string& storedName);

// True when the name holds bytes outside 7-bit ASCII and all of it is valid
// UTF-8: it then gets the UTF-8 flag. Any other name keeps its bytes with
// the flag clear (as Info-ZIP zip stores them), since a flag that promises
// UTF-8 over bytes that are not stops other readers (Python's zipfile)
// from opening the archive at all.
bool NeedsUtf8Flag(const std::string& name);

}  // namespace fernpack::zip
