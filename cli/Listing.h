// How fernpack-cli prints an archive listing: aligned columns for people
// (with the encrypted mark, a totals line and the archive comment; names as
// text by zipformat/NameText.h, at most the 256 bytes the listing keeps),
// and a fixed tab-separated format for scripts (whole names as stored, which
// the other commands take back). Totals that 64 bits cannot hold are said
// to be more than the largest such number, never wrapped. Dates are zipformat's DateTimeText in both:
// "YYYY-MM-DD hh:mm:ss", or "0000-00-00 00:00:00" for a stored value that
// is no calendar date and time.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/ZipDirEntry.h"

namespace cli {

// A stored name for the tab-separated format: TAB, CR, LF and backslash as
// \t, \r, \n and \\, every other control or format character as the
// escape zipformat shows it with (\x1b, \u200b; zipformat/NameText.h), and
// every other byte as it is.
std::string EscapeTsv(const std::string& name, bool utf8Flag);

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
