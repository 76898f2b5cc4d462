// The order of a sort: choosing a style from a column's texts, comparing two
// entries, and putting a list of entries in order.
//
// CompareSortEntries is the comparison as the grid defines it: texts folded
// to upper case (a to z only) unless case matters, compared by style, a
// conversion failure counting as equal, ties broken by the earlier row index
// (never reversed), and the result negated for a descending sort.
//
// SortEntries gives exactly the order that comparison gives, but converts
// (and folds) each text once instead of on every comparison. It sorts with a
// merge sort that stays within bounds even when the comparison is not a
// consistent order (a forced style over texts that do not convert, a custom
// comparison that contradicts itself). Conversions use the settings in force
// (platform::FormatSettings). Toolkit-free.
#pragma once

#include <string>
#include <vector>

#include "grid/SortTypes.h"

namespace grid {

// Upper case for the bytes a..z only; every other byte is left as it is.
std::string FoldCase(const std::string& text);

// The style that suits a column holding `texts` (never ssAutomatic or
// ssCustom): numeric, else date-and-time, else time, else alphabetic. An
// empty list gives ssNumeric.
TSortStyle DetectStyle(const std::vector<const std::string*>& texts);

// The comparison of two entries under `options`, exactly as defined above.
int CompareSortEntries(const TSortedListEntry& A, const TSortedListEntry& B, const TSortOptions& options);

// Puts `entries` in the order of CompareSortEntries. A custom comparison's
// failure propagates with `entries` unchanged.
void SortEntries(std::vector<TSortedListEntry>& entries, const TSortOptions& options);

}  // namespace grid
