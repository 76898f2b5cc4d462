// The user's choice of members to extract: numbers of the listing (from 1),
// ranges of them ("3-5"), and name patterns with '*' and '?' (matched as
// the archive component matches them), separated by blanks or commas; "all"
// or "*" or an empty answer takes every member.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "libs/zipcore/ArchiveReader.h"

namespace sfx {

// The chosen members' indexes in archive order. False with a reason when a
// number is out of range or a pattern matches nothing.
bool ParseSelection(const std::string& answer, const std::vector<zipcore::ZipEntry>& entries,
                    std::vector<std::size_t>* chosen, std::string* error);

}  // namespace sfx
