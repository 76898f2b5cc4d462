// How fernpack-cli prints an archive listing: aligned columns for people,
// a fixed tab-separated format for scripts.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace engine {
class TRezEdidiv;
}

namespace cli {

// "YYYY-MM-DD hh:mm:ss", or "0000-00-00 00:00:00" when the MS-DOS value is
// no real calendar date and time.
std::string FormatDosDateTime(std::uint32_t packed);

// TAB, CR, LF and backslash as \t, \r, \n and \\; every other byte as it is.
std::string EscapeTsv(const std::string& text);

void PrintListing(std::ostream& out, const engine::TRezEdidiv& archive, bool tsv);

}  // namespace cli
