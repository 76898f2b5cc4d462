// The texts of a member's row in the grid: the name as stored, the two
// sizes in plain signed decimals, and the date and time in the user's
// short formats ("ddddd  t"). A date or time that is no calendar value shows
// as 1980-01-01 00:00, the earliest moment a ZIP can hold, so the column
// still sorts as dates.
#pragma once

#include <cstdint>
#include <string>

namespace app {

std::string MemberDateText(std::uint32_t lastModDateTime);

// The tag a name cell's object slot carries when the member's UTF-8 flag is
// set; the slot travels with the row when the grid sorts.
void* Utf8NameTag();

}  // namespace app
