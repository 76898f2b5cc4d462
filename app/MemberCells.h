// The texts of a member's row in the grid: the name as stored, the two
// sizes in plain signed decimals, and the date and time in the user's
// short formats ("ddddd  t"). A stored value that is no calendar date and
// time shows as "0000-00-00 00:00:00", as in fernpack-cli's listing
// (zipformat/DosDateTime.h), which no real date can be mistaken for; the
// column still sorts in time order, such values first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "grid/SortTypes.h"

namespace app {

std::string MemberDateText(std::uint32_t lastModDateTime);

// The grid's begin-sort step: a date column that holds the text of an
// invalid value does not convert as dates, so it is given an order of its
// own instead of the text order the grid falls back to.
void KeepMemberDatesInTimeOrder(int Col, grid::TSortOptions& Options);

// The tag a name cell's object slot carries when the member's UTF-8 flag is
// set; the slot travels with the row when the grid sorts.
void* Utf8NameTag();

// Which listed member a row shows: the place of its entry in the listing,
// carried in the object slot of the row's second cell (it travels with the
// row too). The name cell holds the text to show, at most the 256 bytes the
// listing keeps; the member's whole name, by which the libraries know it,
// is the entry's (ZipDirEntry::FullName).
void* MemberTag(std::size_t index);
// The place a tag carries; -1 for a slot without one.
std::ptrdiff_t MemberIndex(const void* tag);
inline constexpr int MemberTagColumn = 1;

}  // namespace app
