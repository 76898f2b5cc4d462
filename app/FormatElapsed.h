// The elapsed-time text of the main window's TimeLabel: whole minutes and
// seconds between two millisecond tick counts, as "mm:ss" (minutes may run
// past two digits: 6,000,000 ms is "100:00").
#pragma once

#include <cstdint>
#include <string>

namespace app {

// Ticks wrap at 2^32; an interval across the wrap still comes out right.
std::string FormatElapsed(std::uint32_t start, std::uint32_t finish);

}  // namespace app
