// How fernpack-cli prints an archive listing: aligned columns for people
// (with the encrypted mark, a totals line and the archive comment; names as
// text by zipformat/NameText.h), and a fixed tab-separated format for
// scripts (names as stored). Dates are zipformat's DateTimeText in both:
// "YYYY-MM-DD hh:mm:ss", or "0000-00-00 00:00:00" for a stored value that
// is no calendar date and time.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/ZipDirEntry.h"

namespace cli {

// TAB, CR, LF and backslash as \t, \r, \n and \\; every other byte as it is.
std::string EscapeTsv(const std::string& text);

struct ListingInput {
    std::vector<const engine::ZipDirEntry*> Members;  // those to print
    std::int32_t FirstHeaderOffset = 0;
    std::uint64_t AllMembers = 0;  // in the archive, chosen or not
    bool Chosen = false;           // patterns chose the members
    std::string Comment;
};

void PrintTsv(std::ostream& out, const ListingInput& input);
void PrintTable(std::ostream& out, const ListingInput& input);

}  // namespace cli
